// SPDX-License-Identifier: GPL-3.0-or-later
// Aliases are given once and kept: siblings that come and go, later runs and a damaged or
// unwritable memory never shift the list name of an existing file.

#include "NameMemory.h"
#include "FolderReader.h"
#include "ListOperations.h"
#include "NamingService.h"
#include "ShortNames.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace stavio {
namespace {

using test::TempDir;

// Whatever the environment, the tests of this program remember their names in a folder of
// their own, made for the run and removed after it: the state folder of every program state
// made from now on.
class RunStateFolder : public ::testing::Environment {
public:
    void SetUp() override {
        folder_ = std::make_unique<TempDir>();
        ::setenv("XDG_STATE_HOME", folder_->Path().c_str(), 1);
    }
    void TearDown() override { folder_.reset(); }

private:
    static inline std::unique_ptr<TempDir> folder_;
};
[[maybe_unused]] auto* const kRunStateFolder =
    ::testing::AddGlobalTestEnvironment(new RunStateFolder);

std::map<std::string, std::string> Named(const std::vector<std::string>& names,
                                         const AliasTable& remembered) {
    const std::vector<std::string> shortNames = GenerateShortNames(names, remembered);
    std::map<std::string, std::string> result;
    for (size_t i = 0; i < names.size(); ++i)
        result[names[i]] = shortNames[i];
    return result;
}

TEST(RememberedAliasesTest, KeptWhileFreeNewEntriesTakeTheSmallestFreeNumber) {
    struct Case {
        const char* what;
        AliasTable remembered;
        std::vector<std::string> names;
        std::map<std::string, std::string> expected;
    };
    const Case cases[] = {
        {"a sibling that sorts first appears",
         {{"My Song.mp3", "MYSONG~1.MP3"}},
         {"My Song.mp3", "My Song 2.mp3"},
         {{"My Song.mp3", "MYSONG~1.MP3"}, {"My Song 2.mp3", "MYSONG~2.MP3"}}},
        {"a sibling is deleted; the newcomer takes its number",
         {{"My Song 1.mp3", "MYSONG~1.MP3"}, {"My Song 2.mp3", "MYSONG~2.MP3"}},
         {"My Song 2.mp3", "My Song 3.mp3"},
         {{"My Song 2.mp3", "MYSONG~2.MP3"}, {"My Song 3.mp3", "MYSONG~1.MP3"}}},
        {"newcomers seen together take the free numbers in byte order",
         {{"My Song 5.mp3", "MYSONG~2.MP3"}},
         {"My Song 5.mp3", "My Song 9.mp3", "My Song 0.mp3", "My Song 7.mp3"},
         {{"My Song 5.mp3", "MYSONG~2.MP3"},
          {"My Song 0.mp3", "MYSONG~1.MP3"},
          {"My Song 7.mp3", "MYSONG~3.MP3"},
          {"My Song 9.mp3", "MYSONG~4.MP3"}}},
        {"a file named like a remembered alias does not take it",
         {{"My Song.mp3", "MYSONG~1.MP3"}},
         {"My Song.mp3", "mysong~1.mp3"},
         {{"My Song.mp3", "MYSONG~1.MP3"}, {"mysong~1.mp3", "MYSONG~2.MP3"}}},
        {"an alias that no longer fits is not taken from a valid name of its own",
         {{"Other.mp3", "OTHER~1.MP3"}},
         {"Other Song.mp3"},
         {{"Other Song.mp3", "OTHERS~1.MP3"}}},
        {"valid 8.3 names keep their own name",
         {{"My Song.mp3", "MYSONG~1.MP3"}},
         {"My Song.mp3", "SONG.MP3"},
         {{"My Song.mp3", "MYSONG~1.MP3"}, {"SONG.MP3", "SONG.MP3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Named(c.names, c.remembered), c.expected);
    }
}

// Every test gets a memory of its own; a second "process" is the same memory file read
// again by a program that has named nothing yet.
class NameMemoryTest : public ::testing::Test {
protected:
    void NewProcess() { names_ = std::make_unique<NamingService>(state_.Path()); }
    void UseFolderReader(FolderReader& reader) {
        names_ = std::make_unique<NamingService>(state_.Path(), reader);
    }
    NamingService& Naming() { return *names_; }
    std::string ShortNameFromPath(const std::string& path) {
        return names_->ShortNameFromPath(path);
    }
    std::string ListNameFromPath(const std::string& path) { return names_->ListNameFromPath(path); }
    std::string MemoryFile() const { return state_ / "stavio/short-names"; }

    TempDir state_;
    TempDir dir_;
    std::unique_ptr<NamingService> names_ = std::make_unique<NamingService>(state_.Path());
};

TEST_F(NameMemoryTest, SiblingsComingAndGoingNeverRenameAFileAcrossRuns) {
    const std::string song = dir_.File("My Song.mp3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");

    // Each step runs in a fresh process: a sibling appears, others come and go.
    NewProcess();
    const std::string second = dir_.File("My Song 2.mp3"); // sorts before "My Song.mp3"
    EXPECT_EQ(ShortNameFromPath(second), "MYSONG~2.MP3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");

    NewProcess();
    std::filesystem::remove(song);
    const std::string third = dir_.File("My Song 1.mp3");
    EXPECT_EQ(ShortNameFromPath(second), "MYSONG~2.MP3");
    EXPECT_EQ(ShortNameFromPath(third), "MYSONG~1.MP3") << "the freed number is reused";

    NewProcess();
    dir_.File("My Song.mp3"); // the first file back: a new entry, the smallest free number
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~3.MP3");
    EXPECT_EQ(ShortNameFromPath(second), "MYSONG~2.MP3");
    EXPECT_EQ(ShortNameFromPath(third), "MYSONG~1.MP3");
}

// The window's case: a file added to a list folder, then a sibling that sorts before it
// appears on the disk and is added to the same folder.
TEST_F(NameMemoryTest, ASiblingAddedLaterToTheSameListFolderGetsItsOwnName) {
    ListTree tree;
    LinkList links;
    tree.Select(tree.Root());
    tree.Select(AddFolderNode("ROCK", tree, links));
    const ListNode* first = AddFileNode(dir_.File("My Song.mp3"), tree, links, Naming());
    ASSERT_NE(first, nullptr);
    const ListNode* second = AddFileNode(dir_.File("My Song 2.mp3"), tree, links, Naming());
    ASSERT_NE(second, nullptr) << "the newcomer must not take the name already in the list";
    EXPECT_EQ(first->Text(), "MYSONG~1.MP3");
    EXPECT_EQ(second->Text(), "MYSONG~2.MP3");
}

TEST_F(NameMemoryTest, ManySiblingsStayDistinctAndEightDotThreeAndKeepTheirNames) {
    std::vector<std::string> paths;
    std::map<std::string, std::string> first;
    for (int i = 0; i < 40; i += 2) {
        paths.push_back(dir_.File("Long track name " + std::to_string(i) + ".mp3"));
        first[paths.back()] = ShortNameFromPath(paths.back());
    }
    NewProcess();
    for (int i = 1; i < 40; i += 2)
        paths.push_back(dir_.File("Long track name " + std::to_string(i) + ".mp3"));
    for (int i = 0; i < 10; ++i) {
        std::filesystem::remove(paths[i]);
        first.erase(paths[i]);
    }
    NewProcess();
    std::set<std::string> seen;
    for (size_t i = 10; i < paths.size(); ++i) {
        const std::string name = ShortNameFromPath(paths[i]);
        EXPECT_TRUE(IsValidShortName(name)) << name;
        EXPECT_TRUE(seen.insert(name).second) << name;
        if (first.count(paths[i])) {
            EXPECT_EQ(name, first[paths[i]]) << paths[i];
        }
    }
}

TEST_F(NameMemoryTest, FoldersAreRememberedApartAndGoneEntriesForgotten) {
    const std::string a = dir_.File("one/My Song.mp3");
    const std::string b = dir_.File("two/My Song.mp3");
    dir_.File("two/My Song 0.mp3");
    {
        const ShortNameBatch batch(Naming()); // one write at the end
        EXPECT_EQ(ShortNameFromPath(a), "MYSONG~1.MP3");
        EXPECT_EQ(ShortNameFromPath(b), "MYSONG~2.MP3");
    }
    NameMemory memory(MemoryFile());
    ASSERT_NE(memory.Find(dir_ / "two"), nullptr);
    EXPECT_EQ(*memory.Find(dir_ / "two"),
              (AliasTable{{"My Song.mp3", "MYSONG~2.MP3"}, {"My Song 0.mp3", "MYSONG~1.MP3"}}));

    std::filesystem::remove(dir_ / "two/My Song 0.mp3");
    std::filesystem::remove(a);
    dir_.File("one/SONG.MP3");
    NewProcess();
    EXPECT_EQ(ShortNameFromPath(b), "MYSONG~2.MP3");
    EXPECT_EQ(ShortNameFromPath(dir_ / "one/SONG.MP3"), "SONG.MP3");
    NameMemory later(MemoryFile());
    EXPECT_EQ(*later.Find(dir_ / "two"), (AliasTable{{"My Song.mp3", "MYSONG~2.MP3"}}));
    EXPECT_EQ(later.Find(dir_ / "one"), nullptr) << "a folder without aliases is forgotten";
}

TEST_F(NameMemoryTest, NamesWithAnyByteSurviveTheFile) {
    const std::vector<std::string> names = {"tab\there.mp3", "line\nbreak.mp3", "back\\slash.mp3",
                                            "cr\rx.mp3", "\\t.mp3"};
    std::map<std::string, std::string> first;
    for (const std::string& name : names)
        first[name] = ShortNameFromPath(dir_.File(name));
    NewProcess();
    dir_.File("a first sibling.mp3");
    for (const std::string& name : names)
        EXPECT_EQ(ShortNameFromPath(dir_ / name), first[name]) << name;
}

TEST_F(NameMemoryTest, DamagedMemoryIsIgnoredAndNamingFallsBackToFirstSight) {
    const std::string song = dir_.File("My Song.mp3");
    dir_.File("My Song 2.mp3");
    const std::string folder = dir_.Path();
    const std::string good =
        "stavio short names 1\nD\t1\t" + folder + "\n\tMYSONG~7.MP3\tMy Song.mp3\nend\t1\n";
    struct Case {
        const char* what;
        std::string content;
        const char* expected;
    };
    const Case cases[] = {
        {"an intact memory is used", good, "MYSONG~7.MP3"},
        {"another header", "stavio short names 2" + good.substr(20), "MYSONG~2.MP3"},
        {"no trailer", good.substr(0, good.size() - 6), "MYSONG~2.MP3"},
        {"a wrong folder count", good.substr(0, good.size() - 2) + "2\n", "MYSONG~2.MP3"},
        {"cut in the middle of a line", good.substr(0, good.size() - 12), "MYSONG~2.MP3"},
        {"an alias that is not 8.3",
         "stavio short names 1\nD\t1\t" + folder + "\n\tMYSONG~777.MP3\tMy Song.mp3\nend\t1\n",
         "MYSONG~2.MP3"},
        {"an alias twice in a folder",
         "stavio short names 1\nD\t1\t" + folder +
             "\n\tMYSONG~7.MP3\tMy Song.mp3\n\tMYSONG~7.MP3\tMy Song 2.mp3\nend\t1\n",
         "MYSONG~2.MP3"},
        {"an unknown escape",
         "stavio short names 1\nD\t1\t" + folder + "\n\tMYSONG~7.MP3\tMy\\q Song.mp3\nend\t1\n",
         "MYSONG~2.MP3"},
        {"an alias before any folder",
         "stavio short names 1\n\tMYSONG~7.MP3\tMy Song.mp3\nend\t0\n", "MYSONG~2.MP3"},
        {"binary garbage", std::string("\x00\xFF\x1A\r\n", 5), "MYSONG~2.MP3"},
        {"empty", "", "MYSONG~2.MP3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::create_directories(state_ / "stavio");
        std::ofstream(MemoryFile(), std::ios::binary) << c.content;
        NewProcess();
        EXPECT_EQ(ShortNameFromPath(song), c.expected);
        // The memory written back is whole again.
        NameMemory memory(MemoryFile());
        ASSERT_NE(memory.Find(folder), nullptr);
        EXPECT_EQ(memory.Find(folder)->at("My Song.mp3"), c.expected);
    }
}

// A song of another format stands in the lists as the MP3 file it becomes.
TEST_F(NameMemoryTest, ASongOfAnotherFormatIsNamedAsTheMp3FileItBecomes) {
    using Names = std::vector<std::pair<const char*, const char*>>; // file, list name
    struct Case {
        const char* what;
        std::vector<Names> steps; // each: its files are made, then their names asked
    };
    const Case cases[] = {
        {"beside MP3 files of the same stem",
         {{{"song.mp3", "SONG.MP3"},
           {"song.ogg", "SONG~1.MP3"},
           {"My Song.mp3", "MYSONG~1.MP3"},
           {"My Song.flac", "MYSONG~2.MP3"}}}},
        {"an MP3 file that comes later takes its own name back",
         {{{"song.ogg", "SONG.MP3"}}, {{"song.mp3", "SONG.MP3"}, {"song.ogg", "SONG~1.MP3"}}}},
        {"two songs of one stem keep their names when a third comes",
         {{{"song.wav", "SONG~1.MP3"}, {"song.ogg", "SONG.MP3"}},
          {{"song.aif", "SONG~2.MP3"}, {"song.ogg", "SONG.MP3"}, {"song.wav", "SONG~1.MP3"}}}},
    };
    int folder = 0;
    for (const Case& c : cases)
        for (const bool backwards : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (backwards ? ", in the other order" : ""));
            const std::string prefix = std::to_string(++folder) + "/";
            for (Names step : c.steps) {
                if (backwards)
                    std::reverse(step.begin(), step.end());
                for (const auto& [name, listName] : step)
                    dir_.File(prefix + name, "x");
                NewProcess();
                for (const auto& [name, listName] : step)
                    EXPECT_EQ(ListNameFromPath(dir_ / (prefix + name)), listName) << name;
            }
        }
}

TEST_F(NameMemoryTest, UnwritableMemoryIsNoError) {
    std::ofstream(state_ / "stavio") << "a file where the folder should be";
    NewProcess();
    const std::string song = dir_.File("My Song.mp3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
    dir_.File("My Song 2.mp3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3") << "kept for the rest of the run";
    NewProcess();
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~2.MP3") << "first sight again";
}

TEST_F(NameMemoryTest, TwoProcessesWritingKeepEachOthersFolders) {
    const std::string a = dir_.File("one/My Song.mp3");
    const std::string b = dir_.File("two/Your Song.mp3");
    NameMemory first(MemoryFile());
    NameMemory second(MemoryFile());
    EXPECT_EQ(second.Find(dir_ / "two"), nullptr); // read before the first one wrote
    first.Store(dir_ / "one", {{"My Song.mp3", "MYSONG~4.MP3"}});
    second.Store(dir_ / "two", {{"Your Song.mp3", "YOURSO~9.MP3"}});
    NewProcess();
    EXPECT_EQ(ShortNameFromPath(a), "MYSONG~4.MP3");
    EXPECT_EQ(ShortNameFromPath(b), "YOURSO~9.MP3");
}

// A damaged memory keeps its intact folders; one that is there but cannot be read is left
// as it is, and never holds the program up.
TEST_F(NameMemoryTest, DamagedMemoryKeepsItsIntactFoldersUnreadableOneIsNeverReplaced) {
    dir_.File("My Song.mp3");
    dir_.File("My Song 2.mp3");
    const auto folder = [](const std::string& path, const char* alias) {
        return "D\t1\t" + path + "\n\t" + alias + "\tMy Song.mp3\n";
    };
    const std::string header = "stavio short names 1\n";
    const std::string mine = folder(dir_.Path(), "MYSONG~7.MP3");
    const std::string kept = folder("/kept", "MYSONG~5.MP3");
    struct Case {
        const char* what;
        std::function<void(const std::string&)> prepare;
        const char* expected;
        bool replaced;
    };
    const auto bytes = [](std::string content) {
        return [content](const std::string& path) { test::WriteBytes(path, content); };
    };
    const Case cases[] = {
        {"a damaged line",
         bytes(header + kept + folder("/bad", "X~1") + "junk\n" + mine + "end\t3\n"),
         "MYSONG~7.MP3", true},
        {"cut short", bytes(header + kept + mine + folder("/bad", "X~1").substr(0, 9)),
         "MYSONG~7.MP3", true},
        {"a named pipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); },
         "MYSONG~2.MP3", false},
        {"too large to be a memory",
         [&](const std::string& path) {
             test::WriteBytes(path, header + kept + mine + "end\t2\n");
             ::truncate(path.c_str(), NameMemory::kMaxFileBytes + 1);
         },
         "MYSONG~2.MP3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(MemoryFile());
        std::filesystem::create_directories(state_ / "stavio");
        c.prepare(MemoryFile());
        struct stat before {
        }, after{};
        ::stat(MemoryFile().c_str(), &before);
        NewProcess();
        EXPECT_EQ(ShortNameFromPath(dir_ / "My Song.mp3"), c.expected);
        ::stat(MemoryFile().c_str(), &after);
        EXPECT_EQ(after.st_ino != before.st_ino, c.replaced);
        if (c.replaced) {
            NameMemory memory(MemoryFile());
            EXPECT_NE(memory.Find("/kept"), nullptr);
            EXPECT_EQ(memory.Find("/bad"), nullptr);
        }
    }
}

// Two processes name a folder that gains a file between their listings; the first pauses
// between its decision and its write. The second must start from the first's aliases.
TEST_F(NameMemoryTest, TwoProcessesNamingAChangingFolderHandOutOneAlias) {
    const std::string song = dir_.File("My Song.mp3");
    const std::string pause = state_ / "paused";
    const auto start = [&](bool paused, int& output) {
        int channel[2];
        EXPECT_EQ(::pipe(channel), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            if (paused)
                ::setenv(NameMemory::kPauseVariable, pause.c_str(), 1);
            NewProcess();
            const std::string name = ShortNameFromPath(song);
            ::_exit(::write(channel[1], name.data(), name.size()) < 0);
        }
        ::close(channel[1]);
        output = channel[0];
        return child;
    };
    const auto finish = [](pid_t child, int output) {
        char name[64] = {};
        EXPECT_GT(::read(output, name, sizeof name - 1), 0);
        ::close(output);
        ::waitpid(child, nullptr, 0);
        return std::string(name);
    };
    int firstOutput, secondOutput;
    const pid_t first = start(true, firstOutput);
    for (int i = 0; i < 1000 && !std::filesystem::exists(pause); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(std::filesystem::exists(pause)) << "the first never decided";
    dir_.File("My Song 2.mp3"); // sorts first: named afresh, it would take ~1
    const pid_t second = start(false, secondOutput);
    // Unless it waits for the first, the second is done well within this.
    siginfo_t done{};
    for (int i = 0; i < 100 && done.si_pid == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::waitid(P_PID, static_cast<id_t>(second), &done, WEXITED | WNOHANG | WNOWAIT);
    }
    std::filesystem::remove(pause);
    EXPECT_EQ(finish(first, firstOutput), "MYSONG~1.MP3");
    EXPECT_EQ(finish(second, secondOutput), "MYSONG~1.MP3");
}

// Two services on one memory folder: the second names while the first holds its decision, not
// yet written. It has to wait for the first, then start from the first's aliases and keep them.
TEST_F(NameMemoryTest, ASecondServiceNamingWhileTheFirstDecidesStartsFromItsAliases) {
    struct Case {
        const char* what;
        const char* arrives; // made, then named by the second, while the first decides
        const char* secondAsks;
        const char* secondGets;
    };
    const Case cases[] = {
        {"the same folder, which gained a file that sorts first", "one/My Song A.mp3",
         "one/My Song B.mp3", "MYSONG~1.MP3"},
        {"another folder", "two/My Song.mp3", "two/My Song.mp3", "MYSONG~1.MP3"},
    };
    NamingService second(state_.Path());
    // It has read the memory before: what it read then is stale once the first has written.
    EXPECT_EQ(second.ShortNameFromPath(dir_.File("0/My Song.mp3")), "MYSONG~1.MP3");
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = std::to_string(++row) + "/";
        const std::string first = dir_.File(folder + "one/My Song B.mp3");
        std::string secondGot;
        std::thread actor;
        std::promise<void> done;
        bool brought = false;
        Naming().SetBeforeMemoryWrite([&] {
            if (std::exchange(brought, true))
                return;
            dir_.File(folder + c.arrives);
            actor = std::thread([&] {
                secondGot = second.ShortNameFromPath(dir_ / (folder + c.secondAsks));
                done.set_value();
            });
            // Unless it waits for the first, the second is done well within this.
            done.get_future().wait_for(std::chrono::milliseconds(200));
        });
        EXPECT_EQ(ShortNameFromPath(first), "MYSONG~1.MP3");
        ASSERT_TRUE(brought);
        actor.join();
        EXPECT_EQ(secondGot, c.secondGets);
        NameMemory memory(MemoryFile());
        for (const std::string& named : {first, dir_ / (folder + c.secondAsks)})
            EXPECT_NE(memory.Find(std::filesystem::canonical(named).parent_path()), nullptr)
                << named;
    }
}

// What a FAT volume answers: each entry's stored short name, used as it is.
class FatFolder : public FolderReader {
public:
    explicit FatFolder(std::vector<FolderEntry> entries) : entries_(std::move(entries)) {}
    bool List(const std::string&, std::vector<FolderEntry>& entries) override {
        entries.insert(entries.end(), entries_.begin(), entries_.end());
        return true;
    }

private:
    std::vector<FolderEntry> entries_;
};

TEST_F(NameMemoryTest, OnFatTheVolumesOwnShortNamesAreTheListNames) {
    FatFolder fat({{"My Song.mp3", "MYSONG~3.MP3"},
                   {"My Song 2.mp3", "MYSONG~1.MP3"},
                   {"track_01.mp3", "TRACK_01.MP3"},
                   {"readme.txt", "readme.txt"}, // an entry with no long name
                   {"\xC3\xA9t\xC3\xA9.mp3", "ETE~1.MP3"}});
    UseFolderReader(fat);
    struct Case {
        const char* name;
        const char* listName;
    };
    const Case cases[] = {
        {"My Song.mp3", "MYSONG~3.MP3"},        {"My Song 2.mp3", "MYSONG~1.MP3"},
        {"track_01.mp3", "TRACK-01.MP3"},       {"readme.txt", "README.TXT"},
        {"\xC3\xA9t\xC3\xA9.mp3", "ETE~1.MP3"}, {"gone.mp3", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) != "gone.mp3") {
            dir_.File(c.name);
        }
        EXPECT_EQ(ShortNameFromPath(dir_ / c.name), c.listName);
    }
    EXPECT_FALSE(std::filesystem::exists(MemoryFile())) << "the volume remembers them itself";
}

TEST_F(NameMemoryTest, WhereTheVolumeGivesNoShortNamesTheGeneratorNames) {
    // The system's reader on this machine's own file system: names without short names.
    std::vector<FolderEntry> entries;
    dir_.File("My Song.mp3");
    ASSERT_TRUE(SystemFolderReader().List(dir_.Path(), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "My Song.mp3");
    EXPECT_EQ(entries[0].shortName, "");
    EXPECT_FALSE(SystemFolderReader().List(dir_ / "missing", entries));

    FatFolder refused({{"My Song.mp3", ""}, {"My Song 2.mp3", ""}});
    UseFolderReader(refused);
    EXPECT_EQ(ShortNameFromPath(dir_ / "My Song.mp3"), "MYSONG~2.MP3");
}

} // namespace
} // namespace stavio
