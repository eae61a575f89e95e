// SPDX-License-Identifier: GPL-3.0-or-later
// The explorer's folder is remembered by its real bytes, also when its name is not UTF-8:
// the refresh buttons reopen it, and the next start opens it again.

#include "AppFixture.h"

#include "FileOperations.h"
#include "Settings.h"

#include <filesystem>

namespace {

class ForeignNameFolderTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        latin_ = QFile::encodeName(root_).toStdString() + "/Alb\xE9";
        std::filesystem::create_directory(latin_);
        std::FILE* file = std::fopen((latin_ + "/song.mp3").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    void TearDown() override {
        AppFixture::TearDown();
        // QTemporaryDir cannot remove the names that are not UTF-8.
        std::error_code ignored;
        std::filesystem::remove_all(latin_, ignored);
    }

    std::string latin_;
};

TEST_F(ForeignNameFolderTest, TheRefreshButtonsAndTheNextStartReopenTheFolder) {
    Start();
    const QString folder = HostString(QByteArray::fromStdString(latin_));
    Browse(album_);
    Browse(folder);
    for (QToolButton* refresh : {Parts().SpeedButton4, Parts().SpeedButton5}) {
        refresh->click();
        EXPECT_EQ(HostBytes(Parts().LsDirTree211->SelectedPath()).toStdString(), latin_);
        EXPECT_EQ(HostBytes(Parts().LsFilelistView281->Directory()).toStdString(), latin_);
    }
    Parts().Exit1->trigger();
    stavio::SettingsValues values;
    stavio::ReadSettings(ExecutablePath(), values);
    EXPECT_EQ(values.lastExplorerDirectory, latin_);

    Start();
    EXPECT_EQ(HostBytes(Parts().LsDirTree211->SelectedPath()).toStdString(), latin_);
    EXPECT_EQ(HostBytes(Parts().LsFilelistView281->Directory()).toStdString(), latin_);
}

} // namespace
