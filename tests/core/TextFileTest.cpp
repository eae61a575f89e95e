// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <vector>

namespace stavio {
namespace {

using test::FolderEntries;
using test::ReadBytes;
using test::TempDir;

std::vector<std::string> ReadLines(TextLineReader& reader) {
    std::vector<std::string> lines;
    while (!reader.AtEnd())
        lines.push_back(reader.ReadLine());
    return lines;
}

// ---------------------------------------------------------------------------------------

TEST(TextLineReaderTest, LineEndsAtCrAndLoneLfBelongsToTheLine) {
    TempDir dir;
    TextLineReader reader(dir.File("a.txt", "one\rtwo\r\nthree\nstill three\r\r\nlast"));
    EXPECT_EQ(ReadLines(reader),
              (std::vector<std::string>{"one", "two", "three\nstill three", "", "last"}));
}

TEST(TextLineReaderTest, ReadingPastTheEndGivesEmptyLines) {
    TempDir dir;
    TextLineReader reader(dir.File("a.txt", "x\r\n"));
    EXPECT_EQ(reader.ReadLine(), "x");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Peek(), -1);
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_TRUE(reader.AtEnd());
}

TEST(TextLineReaderTest, EmptyFileIsAtEndAtOnce) {
    TempDir dir;
    TextLineReader reader(dir.File("a.txt"));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "");
}

TEST(TextLineReaderTest, ByteOneAEndsTheFile) {
    TempDir dir;
    TextLineReader reader(dir.File("a.txt", std::string("a\r\nb\x1A"
                                                        "c\r\nd\r\n")));
    EXPECT_EQ(reader.ReadLine(), "a");
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "b");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Peek(), -1);
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.ReadLine(), "");
}

TEST(TextLineReaderTest, PeekShowsTheNextByteWithoutTakingIt) {
    TempDir dir;
    TextLineReader reader(dir.File("a.txt", "\xE9t\xE9\r\n\r\nz"));
    EXPECT_EQ(reader.Peek(), 0xE9); // a high byte is not mistaken for the end
    EXPECT_EQ(reader.Peek(), 0xE9);
    EXPECT_EQ(reader.ReadLine(), "\xE9t\xE9");
    EXPECT_EQ(reader.Peek(), '\r');
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.Peek(), 'z');
    EXPECT_EQ(reader.ReadLine(), "z");
    EXPECT_EQ(reader.Peek(), -1);
}

TEST(TextLineReaderTest, CrLfSplitAcrossReadChunksIsOneLineEnd) {
    TempDir dir;
    // The reader takes the file in large chunks; try every place around the usual sizes.
    for (const size_t length : {4095u, 8191u, 65535u, 65536u, 131071u}) {
        const std::string first(length, 'a');
        TextLineReader reader(dir.File("a.txt", first + "\r\nsecond\r\n"));
        EXPECT_EQ(reader.ReadLine(), first) << length;
        EXPECT_EQ(reader.ReadLine(), "second") << length;
        EXPECT_TRUE(reader.AtEnd()) << length;
    }
}

TEST(TextLineReaderTest, TenMegabyteLines) {
    TempDir dir;
    const std::string big(10 * 1024 * 1024, 'x');
    const std::string other(10 * 1024 * 1024 + 7, 'y');
    TextLineReader reader(dir.File("a.txt", big + "\r\n" + other));
    EXPECT_EQ(reader.ReadLine(), big);
    EXPECT_EQ(reader.ReadLine(), other);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(TextLineReaderTest, OpenErrorsCarryTheFrenchText) {
    TempDir dir;
    try {
        TextLineReader reader(dir / "missing.scp");
        FAIL();
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Fichier introuvable");
        EXPECT_EQ(error.Errno(), ENOENT);
        EXPECT_EQ(error.Path(), dir / "missing.scp");
    }
    try {
        TextLineReader reader(dir / "no folder/missing.scp");
        FAIL();
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Chemin d'accès introuvable");
    }
}

// ---------------------------------------------------------------------------------------

TEST(TextLineWriterTest, EveryLineEndsWithCrLf) {
    TempDir dir;
    const std::string path = dir / "out.txt";
    const std::string big(100'000, 'b');
    TextLineWriter writer(path);
    writer.WriteLine("a");
    writer.WriteLine("");
    writer.WriteLine("lone\nlf");
    writer.WriteLine(big);
    writer.WriteLine("\xE9");
    writer.Commit();
    EXPECT_EQ(ReadBytes(path), "a\r\n\r\nlone\nlf\r\n" + big + "\r\n\xE9\r\n");
}

TEST(TextLineWriterTest, WrittenFileReadsBackLineForLine) {
    TempDir dir;
    const std::vector<std::string> lines = {"Group", "", "x\ny", "\xE8", std::string(70'000, 'z'),
                                            "end"};
    {
        TextLineWriter writer(dir / "round.txt");
        for (const auto& line : lines)
            writer.WriteLine(line);
        writer.Commit();
    }
    TextLineReader reader(dir / "round.txt");
    EXPECT_EQ(ReadLines(reader), lines);
}

TEST(TextLineWriterTest, ReplacesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.File("out.txt", "old content that is longer\r\n");
    TextLineWriter writer(path);
    writer.WriteLine("new");
    writer.Commit();
    EXPECT_EQ(ReadBytes(path), "new\r\n");
}

TEST(TextLineWriterTest, ErrorsAreFileErrors) {
    TempDir dir;
    try {
        TextLineWriter writer(dir / "missing/out.txt");
        FAIL();
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Chemin d'accès introuvable");
    }
    try {
        TextLineWriter writer(dir.Folder("a folder"));
        FAIL();
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Accès refusé");
    }
    // The device that is always full: the error comes when the data reaches it.
    if (std::filesystem::exists("/dev/full")) {
        TextLineWriter writer("/dev/full");
        writer.WriteLine("x");
        try {
            writer.Commit();
            FAIL();
        } catch (const FileError& error) {
            EXPECT_STREQ(error.what(), "Disque plein");
        }
    }
    TextLineWriter writer(dir / "done.txt");
    writer.Commit();
    EXPECT_THROW(writer.WriteLine("late"), FileError);
}

// ---------------------------------------------------------------------------------------

TEST(AtomicTextFileTest, CommitReplacesTheFileAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.File("project.scp", "old\r\n");
    ::chmod(path.c_str(), 0640);
    {
        AtomicTextFile file(path);
        file.WriteLine("new");
        EXPECT_EQ(ReadBytes(path), "old\r\n"); // nothing changes before the commit
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"project.scp"});
}

TEST(AtomicTextFileTest, NewFileGetsTheUsualPermissions) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    {
        AtomicTextFile file(dir / "new.scp");
        file.WriteLine("x");
        file.Commit();
    }
    ::umask(mask);
    struct stat st;
    ASSERT_EQ(::stat((dir / "new.scp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(AtomicTextFileTest, OldFileSurvivesAWriteThatNeverCompletes) {
    TempDir dir;
    const std::string path = dir.File("project.scp", "old\r\n");
    {
        AtomicTextFile file(path);
        file.WriteLine("half");
        // Leaving without Commit, as an exception in the middle of a save does.
    }
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"project.scp"});
}

TEST(AtomicTextFileTest, FailedCommitKeepsWhatStoodThere) {
    TempDir dir;
    const std::string path = dir.Folder("taken");
    dir.File("taken/inside.txt", "keep");
    {
        AtomicTextFile file(path);
        file.WriteLine("x");
        EXPECT_THROW(file.Commit(), FileError); // a folder cannot be replaced by a file
    }
    EXPECT_EQ(ReadBytes(dir / "taken/inside.txt"), "keep");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"taken"});
}

TEST(AtomicTextFileTest, MissingFolderIsReportedAsSuch) {
    TempDir dir;
    try {
        AtomicTextFile file(dir / "gone/project.scp");
        FAIL();
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Chemin d'accès introuvable");
        EXPECT_EQ(error.Path(), dir / "gone/project.scp");
    }
}

// Saving through links, over read-only files and in folders the user cannot write.
TEST(AtomicTextFileTest, LinksPermissionsAndLockedFolders) {
    struct Case {
        const char* what;
        std::function<std::string(TempDir&)> prepare; // the path the save is given
        const char* error;                            // French text, or nullptr: saved
        const char* file;                             // the real file, relative to the folder
        const char* contents;                         // what it holds afterwards
        mode_t mode;                                  // and its permission bits
    };
    auto oldFile = [](TempDir& dir, const char* name, mode_t mode) {
        const std::string path = dir.File(name, "old\r\n");
        ::chmod(path.c_str(), mode);
        return path;
    };
    auto folder = [](TempDir& dir, const char* name, mode_t mode) {
        const std::string path = dir.Folder(name);
        ::chmod(path.c_str(), mode);
    };
    const Case cases[] = {
        {"a relative link to a file",
         [&](TempDir& dir) {
             oldFile(dir, "music/real.scp", 0640);
             ::symlink("music/real.scp", (dir / "link.scp").c_str());
             return dir / "link.scp";
         },
         nullptr, "music/real.scp", "new\r\n", 0640},
        {"a link to a link",
         [&](TempDir& dir) {
             oldFile(dir, "music/real.scp", 0604);
             ::symlink((dir / "music/real.scp").c_str(), (dir / "music/first").c_str());
             ::symlink("music/first", (dir / "second").c_str());
             return dir / "second";
         },
         nullptr, "music/real.scp", "new\r\n", 0604},
        {"a link to a file not yet there",
         [&](TempDir& dir) {
             folder(dir, "music", 0755);
             ::symlink("music/later.scp", (dir / "link.scp").c_str());
             return dir / "link.scp";
         },
         nullptr, "music/later.scp", "new\r\n", 0644},
        {"a read-only file in a folder anyone may write",
         [&](TempDir& dir) {
             folder(dir, "open", 0777);
             return oldFile(dir, "open/locked.scp", 0444);
         },
         "Accès refusé", "open/locked.scp", "old\r\n", 0444},
        {"a writable file in a folder the user cannot write",
         [&](TempDir& dir) {
             const std::string path = oldFile(dir, "shut/project.scp", 0666);
             folder(dir, "shut", 0555);
             return path;
         },
         nullptr, "shut/project.scp", "new\r\n", 0666},
        {"a new file in a folder the user cannot write",
         [&](TempDir& dir) {
             folder(dir, "shut", 0555);
             return dir / "shut/project.scp";
         },
         "Accès refusé", "shut/project.scp", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ::chmod(dir.Path().c_str(), 0755);
        const std::string path = c.prepare(dir);
        // The files are the user's own, as in a real home folder.
        if (::geteuid() == 0)
            for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
                ::lchown(entry.path().c_str(), 65534, 65534);
        const mode_t mask = ::umask(022);
        std::string error;
        const bool ran = test::AsOrdinaryUser([&] {
            try {
                AtomicTextFile file(path);
                file.WriteLine("new");
                file.Commit();
            } catch (const FileError& e) {
                error = e.what();
            }
        });
        ::umask(mask);
        if (!ran)
            GTEST_SKIP() << "cannot act as an ordinary user";
        EXPECT_EQ(error, c.error ? c.error : "");
        const std::string real = dir / c.file;
        EXPECT_EQ(ReadBytes(real), c.contents);
        struct stat st;
        if (c.mode != 0 && ::stat(real.c_str(), &st) == 0) {
            EXPECT_EQ(st.st_mode & 07777, c.mode);
        }
        struct stat link;
        if (path != real && ::lstat(path.c_str(), &link) == 0) {
            EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link was replaced";
        }
        ::chmod((dir / "shut").c_str(), 0755); // so the folder can be removed
    }
}

// ---------------------------------------------------------------------------------------

TEST(FileErrorTest, FrenchTextForEachKindOfFailure) {
    EXPECT_EQ(FileError::TextFor(ENOENT), "Fichier introuvable");
    EXPECT_EQ(FileError::TextFor(ENOTDIR), "Chemin d'accès introuvable");
    for (const int e : {EACCES, EPERM, EROFS})
        EXPECT_EQ(FileError::TextFor(e), "Accès refusé") << e;
    for (const int e : {ENOSPC, EDQUOT, EFBIG})
        EXPECT_EQ(FileError::TextFor(e), "Disque plein") << e;
    EXPECT_EQ(FileError::TextFor(ELOOP), "Trop de niveaux de liens symboliques");
    // Whatever the system answers, the user never reads a bare error number.
    for (int e = 1; e < 200; ++e)
        EXPECT_EQ(FileError::TextFor(e).find_first_of("0123456789"), std::string::npos) << e;
}

TEST(StrToIntTest, AcceptsBlanksSignAndTheFullRange) {
    EXPECT_EQ(StrToInt("12"), 12);
    EXPECT_EQ(StrToInt(" 12"), 12);
    EXPECT_EQ(StrToInt("\t 7"), 7);
    EXPECT_EQ(StrToInt("-5"), -5);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
}

TEST(StrToIntTest, RejectsEverythingElse) {
    for (const char* text : {"", " ", "12 ", "1 2", "+", "-", "- 5", "++1", "0x10", "$10", "1.0",
                             "2147483648", "-2147483649", "99999999999999999999", "abc"})
        EXPECT_THROW(StrToInt(text), ConvertError) << '"' << text << '"';
}

TEST(StrToIntTest, MessageQuotesTheLineInUtf8) {
    try {
        StrToInt("caf\xE9");
        FAIL();
    } catch (const ConvertError& error) {
        EXPECT_STREQ(error.what(), "'café' n'est pas une valeur entière correcte");
    }
}

// ---------------------------------------------------------------------------------------

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252Test, MapsTheWindowsRangeAndLatin1) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
    EXPECT_EQ(Cp1252ToUtf8("\x8C\x9C\x9F"), "ŒœŸ");
    EXPECT_EQ(Cp1252ToUtf8("\x93\x94\x96\x99"), "“”–™");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81"); // undefined byte: the control of that number
    EXPECT_EQ(Cp1252ToUtf8("syst\xE8me \xA0\xFF"), "système \xC2\xA0ÿ");
    EXPECT_EQ(Utf8ToCp1252("système €"), "syst\xE8me \x80");
    EXPECT_EQ(Utf8ToCp1252("Œuvre"), "\x8Cuvre");
}

TEST(Cp1252Test, WhatTheCodePageLacksBecomesAQuestionMark) {
    EXPECT_EQ(Utf8ToCp1252("日本 ok"), "?? ok");
    EXPECT_EQ(Utf8ToCp1252("\xC2\x85"), "?");       // a C1 control that Windows-1252 lacks
    EXPECT_EQ(Utf8ToCp1252("😀"), "?");              // four bytes, one character
    EXPECT_EQ(Utf8ToCp1252("a\xE9z"), "a?z");       // not UTF-8
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");           // cut short
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");      // overlong form
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???"); // surrogate
}

} // namespace
} // namespace stavio
