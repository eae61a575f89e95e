// SPDX-License-Identifier: GPL-3.0-or-later
// A render onto a real FAT image, mounted through FUSE for the time of the test: a volume
// that ignores case, keeps times to two seconds and keeps a folder's entries in the order
// they were written, which is the order a player plays them.

#include "Render.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/mount.h>
#include <unistd.h>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::Quoted;
using test::ReadBytes;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

class FatRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0 || !fs::exists("/dev/fuse"))
            GTEST_SKIP() << "mounting through FUSE needs root and /dev/fuse";
        if (!Shell("command -v fusefat") || !Shell("command -v mdir") ||
            !Shell("PATH=$PATH:/sbin:/usr/sbin command -v mkfs.vfat"))
            GTEST_SKIP() << "fusefat, mtools or mkfs.vfat is missing";
        ASSERT_TRUE(Shell("PATH=$PATH:/sbin:/usr/sbin mkfs.vfat -C " + Quoted(image) + " 4096"));
        ASSERT_TRUE(Mount());
        state.ResetProject();
        state.CurrentProject->TargetPath = player;
    }
    void TearDown() override {
        if (mounted)
            ::umount2(player.c_str(), MNT_DETACH);
    }
    bool Mount() {
        return mounted = Shell("fusefat -o rw+ " + Quoted(image) + " " + Quoted(player));
    }
    // Unmounted, so that the image holds everything written.
    void Unmount() {
        ASSERT_EQ(::umount(player.c_str()), 0);
        mounted = false;
    }
    void Add(const std::string& name, const std::string& content) {
        test::AddEntry(state.CopyTree, state.CurrentProject->CopyLinks, "ROCK",
                       dir.File("music/" + name, content), state.Names);
    }
    RenderSummary Render() {
        RenderPipeline render(state);
        render.WriteScript(progress);
        const std::atomic<bool> never{false};
        render.CopyMedia(progress, never);
        return render.Summary();
    }

    test::TempDir dir;
    std::string image = dir / "player.img";
    std::string player = dir.Folder("player");
    bool mounted = false;
    ProgramState state{dir.Path() + "/"};
    test::RecordingProgress progress;
};

TEST_F(FatRenderTest, ACaseVariantIsReplacedAndTheFolderKeepsThePlansOrder) {
    // The user's own copy under a name in another case: the render writes over it, once.
    fs::create_directory(player + "/00000001");
    test::WriteBytes(player + "/00000001/song1.mp3", "the user's older song");
    for (const char* name : {"song1.mp3", "zulu.mp3", "alpha.mp3", "mike.mp3"})
        Add(name, std::string("new ") + name);

    const RenderSummary first = Render();
    EXPECT_EQ(first.filesCopied, 4);
    EXPECT_EQ(ReadBytes(player + "/00000001/SONG1.MP3"), "new song1.mp3");
    EXPECT_EQ(test::FolderEntries(player + "/00000001").size(), 4u);
    const RenderSummary second = Render();
    EXPECT_EQ(second.filesUnchanged, 4) << "FAT's times are recognised";

    Unmount();
    // mdir lists a folder's entries as they stand on the volume.
    const std::string listing = test::CommandOutput("mdir -b -i " + Quoted(image) + " ::/00000001");
    const size_t song1 = listing.find("SONG1.MP3");
    const size_t zulu = listing.find("ZULU.MP3");
    const size_t alpha = listing.find("ALPHA.MP3");
    const size_t mike = listing.find("MIKE.MP3");
    EXPECT_TRUE(song1 < zulu && zulu < alpha && alpha < mike) << listing;
    EXPECT_EQ(listing.find(".TMP"), std::string::npos) << listing;
}

} // namespace
} // namespace stavio
