// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's operations on the disk never damage a file: full volumes, pipes, renames,
// links, Cancel, and deletes on other volumes.
#include "../core/TempDir.h"
#include "FileOperations.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Every name below `root`, hidden ones too, relative and sorted.
QStringList AllNames(const QString& root) {
    QStringList names;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(it.next().mid(root.size() + 1));
    names.sort();
    return names;
}

// A small volume of its own (tmpfs), mounted while the object lives; needs root.
class SmallVolume {
public:
    explicit SmallVolume(const QString& path, const char* size) : path_(path) {
        const QByteArray options = QByteArray("size=") + size;
        mounted_ = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0,
                           options.constData()) == 0;
    }
    ~SmallVolume() {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    QString path_;
    bool mounted_ = false;
};

// Keeps opening a named pipe for writing without waiting, so that a reader that opened it
// by mistake gets an end of file instead of blocking the test for ever.
class PipeUnblocker {
public:
    explicit PipeUnblocker(const QByteArray& path)
        : thread_([this, path] {
              while (!stop_) {
                  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    ~PipeUnblocker() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FileSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
        music = MakeDir(dir, QStringLiteral("music"));
        other = MakeDir(dir, QStringLiteral("other"));
        list.SetDirectory(music);
        list.show();
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QAction* Action(const char* name) {
        return list.findChild<QAction*>(QString::fromLatin1(name));
    }

    static void PutOnClipboard(const QStringList& paths, bool cut) {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        data->setData(QStringLiteral("application/x-kde-cutselection"), cut ? "1" : "0");
        QGuiApplication::clipboard()->setMimeData(data);
    }

    // Pastes into the list's folder; returns the text of the report box ("" for none).
    QString PasteAndReadReport() {
        ModalScript boxes;
        boxes.Otherwise(ModalScript::Dismiss);
        Action("actionPaste")->trigger();
        QTest::qWait(50);
        return boxes.Texts().join(QLatin1Char('\n'));
    }

    QTemporaryDir tmp;
    QString dir, music, other;
    TLsFilelistView28 list;
};

TEST_F(FileSafetyTest, CutAndPasteOntoAFullVolumeLeavesNoPartialFile) {
    const QString small = MakeDir(dir, QStringLiteral("player"));
    SmallVolume volume(small, "100k");
    if (!volume.Mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root; FullDiskCopyLeavesNoPartialFile covers it";
    MakeFile(other, QStringLiteral("one.mp3"), 70 * 1024);
    MakeFile(other, QStringLiteral("two.mp3"), 70 * 1024);
    PutOnClipboard({other + QStringLiteral("/one.mp3"), other + QStringLiteral("/two.mp3")}, true);
    list.SetDirectory(small);
    const QString report = PasteAndReadReport();

    EXPECT_TRUE(report.contains(QStringLiteral("two.mp3 : Disque plein"))) << report.toStdString();
    // The first is moved whole, the second stays at its source; nothing else on the volume.
    EXPECT_EQ(AllNames(small), QStringList{QStringLiteral("one.mp3")});
    EXPECT_EQ(QFileInfo(small + QStringLiteral("/one.mp3")).size(), 70 * 1024);
    EXPECT_EQ(AllNames(other), QStringList{QStringLiteral("two.mp3")});
    EXPECT_EQ(QFileInfo(other + QStringLiteral("/two.mp3")).size(), 70 * 1024);
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("one.mp3")});
}

// The same rule without root: a file-size limit makes the writes fail as a full disk does.
TEST_F(FileSafetyTest, FullDiskCopyLeavesNoPartialFile) {
    MakeFile(other, QStringLiteral("big.mp3"), 150 * 1024);
    MakeFile(other, QStringLiteral("small.mp3"), 10 * 1024);
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{100 * 1024, 100 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &size);
        const FileBatchResult result =
            CopyInto({other + QStringLiteral("/big.mp3"), other + QStringLiteral("/small.mp3")},
                     music, ExplorerLanguage::lnEnglish);
        QByteArray text = result.done.join(QLatin1Char(',')).toUtf8() + '|';
        for (const FileProblem& problem : result.failed)
            text += QFileInfo(problem.path).fileName().toUtf8() + '=' + problem.reason.toUtf8();
        (void)!::write(channel[1], text.constData(), static_cast<size_t>(text.size()));
        ::_exit(0);
    }
    ::close(channel[1]);
    char buffer[512] = {};
    const ssize_t n = ::read(channel[0], buffer, sizeof buffer - 1);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(QString::fromUtf8(buffer, n), QStringLiteral("small.mp3|big.mp3=Disque plein"));
    EXPECT_EQ(AllNames(music), QStringList{QStringLiteral("small.mp3")});
}

// Another program takes the name while the copy is written: its file stays, the copy fails.
TEST_F(FileSafetyTest, ANameTakenDuringTheCopyKeepsTheOtherProgramsFile) {
    MakeFile(other, QStringLiteral("song.mp3"), 1000);
    FileBatchControl control;
    control.beforePlacing = [&] { MakeFile(music, QStringLiteral("song.mp3"), 7); };
    const FileBatchResult result = CopyInto({other + QStringLiteral("/song.mp3")}, music,
                                            ExplorerLanguage::lnEnglish, &control);
    ASSERT_EQ(result.failed.size(), 1);
    EXPECT_EQ(QFileInfo(result.failed[0].path).fileName(), QStringLiteral("song.mp3"));
    EXPECT_EQ(AllNames(music), QStringList{QStringLiteral("song.mp3")});
    EXPECT_EQ(QFileInfo(music + QStringLiteral("/song.mp3")).size(), 7);
}

TEST_F(FileSafetyTest, PipesSocketsAndDevicesAreSkippedNotOpened) {
    const QString album = MakeDir(other, QStringLiteral("album"));
    MakeFile(album, QStringLiteral("song.mp3"), 100);
    const QByteArray fifo = QFile::encodeName(album + QStringLiteral("/pipe"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
    const QByteArray socketPath = QFile::encodeName(album + QStringLiteral("/socket"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // Only the super-user makes devices: an ordinary user's copy takes the system's own.
    const bool made = ::mknod(QFile::encodeName(album + QStringLiteral("/null")).constData(),
                              S_IFCHR | 0666, makedev(1, 3)) == 0;
    ASSERT_TRUE(made || errno == EPERM);
    PipeUnblocker unblock(fifo);

    const QString into = MakeDir(dir, QStringLiteral("copied"));
    PutOnClipboard(made ? QStringList{album} : QStringList{album, QStringLiteral("/dev/null")},
                   false);
    list.SetDirectory(into);
    const QString report = PasteAndReadReport();
    for (const char* special : {"pipe", "socket", "null"})
        EXPECT_TRUE(report.contains(QString::fromLatin1(special) +
                                    QStringLiteral(" : special file (pipe, socket or device)")))
            << special << " " << report.toStdString();
    EXPECT_EQ(AllNames(into),
              (QStringList{QStringLiteral("album"), QStringLiteral("album/song.mp3")}));
    ::close(sock);
}

TEST_F(FileSafetyTest, CancelStopsABigCopyWhileTheWindowKeepsWorking) {
    // A sparse file: big to copy, no room taken at its source.
    const QString big = other + QStringLiteral("/big.mp3");
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(2) << 30));
    }
    int ticks = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
    heartbeat.start(10);
    bool sawProgress = false;
    ModalScript cancel;
    cancel.Otherwise([&](QWidget* modal) {
        if (auto* progress = qobject_cast<QProgressDialog*>(modal)) {
            sawProgress = true;
            ModalScript::Press(progress, QStringLiteral("Cancel"));
        } else {
            modal->close();
        }
    });
    PutOnClipboard({big}, false);
    Action("actionPaste")->trigger();
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(cancel.Texts().isEmpty()) << cancel.Texts().join(QLatin1Char(',')).toStdString();
    EXPECT_GT(ticks, 10); // the event loop ran while the copy did
    EXPECT_TRUE(AllNames(music).isEmpty()) << AllNames(music).join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(QFileInfo(big).size(), qint64(2) << 30);
}

TEST_F(FileSafetyTest, RenameTakesTheNameAsTypedAndKeepsTheExtension) {
    struct Case {
        const char* name;
        const char* typed;
        const char* selected; // what the editor offers for replacing
        const char* after;    // the names in the folder afterwards
        const char* message;  // part of the message shown, "" for none
    };
    const Case cases[] = {
        {"  leading space.mp3",
         "  leading space.mp3",
         "  leading space",
         {"  leading space.mp3"},
         ""},
        {"song.mp3", "tune", "song", "tune.mp3", ""},
        {"song.mp3", " tune ", "song", " tune .mp3", ""},
        {"song.mp3", "tune.MP3", "song", "tune.MP3", ""},
        {"song.mp3", "Song.mp3", "song", "Song.mp3", ""},
        {"song.mp3", "taken.mp3", "song", "song.mp3,taken.mp3", "already exists"},
        {"song.mp3", "taken", "song", "song.mp3,taken.mp3", "already exists"},
        {"song.mp3", "a/b.mp3", "song", "song.mp3", "is not a valid name"},
        {"noext", "other", "noext", "other", ""},
    };
    list.SetMask(QStringLiteral("*"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QDir(music).removeRecursively();
        QDir().mkpath(music);
        MakeFile(music, QString::fromUtf8(c.name));
        if (QString::fromUtf8(c.after).contains(QStringLiteral("taken.mp3")))
            MakeFile(music, QStringLiteral("taken.mp3"));
        list.Refresh();
        list.SelectCaptions({QString::fromUtf8(c.name)});
        list.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
        list.CurrentView()->setFocus();
        QTest::keyClick(list.CurrentView(), Qt::Key_F2);
        auto* editor = list.CurrentView()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->selectedText(), QString::fromUtf8(c.selected));
        ModalScript boxes;
        boxes.Otherwise(ModalScript::Dismiss);
        editor->setText(QString::fromUtf8(c.typed));
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::qWait(100);
        if (*c.message)
            EXPECT_TRUE(QTest::qWaitFor([&] { return !boxes.Texts().isEmpty(); }, 3000));
        else
            EXPECT_TRUE(boxes.Texts().isEmpty())
                << boxes.Texts().join(QLatin1Char(',')).toStdString();
        EXPECT_TRUE(boxes.Texts().join(QLatin1Char(',')).contains(QString::fromUtf8(c.message)));
        EXPECT_EQ(AllNames(music).join(QLatin1Char(',')), QString::fromUtf8(c.after));
    }
}

TEST_F(FileSafetyTest, ASecondClickOnASelectedFileDoesNotRename) {
    MakeFile(music, QStringLiteral("a.mp3"));
    list.Refresh();
    for (int style : {2, 3}) {
        list.SetViewStyle(style);
        QAbstractItemView* view = list.CurrentView();
        const QRect rect = view->visualRect(view->model()->index(0, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        EXPECT_EQ(view->viewport()->findChild<QLineEdit*>(), nullptr) << style;
        EXPECT_EQ(list.SelectedCaptions(), QStringList{QStringLiteral("a.mp3")});
    }
}

TEST_F(FileSafetyTest, NewFolderWithATakenNameSaysSo) {
    MakeDir(music, QStringLiteral("Live"));
    ModalScript answers;
    answers.Otherwise([](QWidget* modal) {
        if (auto* input = qobject_cast<QInputDialog*>(modal)) {
            input->setTextValue(QStringLiteral("Live"));
            input->accept();
        } else {
            qobject_cast<QDialog*>(modal)->reject();
        }
    });
    Action("actionNewFolder")->trigger();
    QTest::qWait(50);
    EXPECT_EQ(answers.Texts(),
              QStringList{QStringLiteral("A file or folder named \"Live\" already exists.")});
}

TEST_F(FileSafetyTest, DeleteQuestionsUseTheProgramsFrenchButtons) {
    MakeFile(music, QStringLiteral("a.mp3"));
    list.Refresh();
    list.SelectCaptions({QStringLiteral("a.mp3")});
    ModalScript script;
    script.Box(QStringLiteral("&Non"));
    Action("actionDelete")->trigger();
    ASSERT_TRUE(script.Finished());
    QStringList captions = script.Boxes.at(0).buttons;
    captions.sort();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("&Non"), QStringLiteral("&Oui")}));
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Confirmation")});
    EXPECT_TRUE(QFile::exists(music + QStringLiteral("/a.mp3")));
}

TEST_F(FileSafetyTest, AFolderIsNeverCopiedIntoItselfThroughALink) {
    const QString album = MakeDir(other, QStringLiteral("album"));
    MakeFile(album, QStringLiteral("sub/song.mp3"));
    ASSERT_TRUE(QFile::link(album + QStringLiteral("/sub"), other + QStringLiteral("/way-in")));
    for (bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "move" : "copy");
        PutOnClipboard({album}, cut);
        list.SetDirectory(other + QStringLiteral("/way-in"));
        ASSERT_EQ(list.Directory(), other + QStringLiteral("/way-in"));
        const QString report = PasteAndReadReport();
        EXPECT_EQ(report, QStringLiteral("Could not complete the operation: \nalbum : a folder "
                                         "cannot be copied into itself"));
        EXPECT_EQ(AllNames(album),
                  (QStringList{QStringLiteral("sub"), QStringLiteral("sub/song.mp3")}));
    }
}

TEST_F(FileSafetyTest, LinksStayLinksAndTimesAreKept) {
    const stavio::test::OtherFileSystem volume(
        QFile::encodeName(dir).toStdString(),
        QFile::encodeName(MakeDir(dir, QStringLiteral("moved"))).toStdString());
    const QString moved = QFile::decodeName(volume.Path().c_str());
    struct Case {
        const char* what;
        bool cut;
        QString into;
        bool needsVolume;
    };
    const Case cases[] = {
        {"copy", false, MakeDir(dir, QStringLiteral("copied")), false},
        {"move to another file system", true, moved, true},
    };
    const QDateTime old = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), QTimeZone::utc());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsVolume && moved.isEmpty())
            GTEST_SKIP() << volume.Why() << ": the move is not checked";
        const QString album = MakeDir(other, QStringLiteral("album"));
        const QString song = MakeFile(album, QStringLiteral("song.mp3"), 100);
        ASSERT_TRUE(QFile::link(QStringLiteral("song.mp3"), album + QStringLiteral("/relative")));
        ASSERT_TRUE(
            QFile::link(QStringLiteral("../gone.mp3"), album + QStringLiteral("/dangling")));
        ASSERT_TRUE(QFile::link(QStringLiteral("song.mp3"), other + QStringLiteral("/single.mp3")));
        QFile file(song);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
        file.close();
        const struct timespec times[2] = {{978307200, 0}, {978307200, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(album).constData(), times, 0), 0);

        PutOnClipboard({album, other + QStringLiteral("/single.mp3")}, c.cut);
        list.SetDirectory(c.into);
        EXPECT_EQ(PasteAndReadReport(), QString());
        const auto target = [](const QString& link) {
            char buffer[256] = {};
            const ssize_t n = ::readlink(QFile::encodeName(link).constData(), buffer, 255);
            return QString::fromUtf8(buffer, n < 0 ? 0 : n);
        };
        EXPECT_EQ(target(c.into + QStringLiteral("/album/relative")), QStringLiteral("song.mp3"));
        EXPECT_EQ(target(c.into + QStringLiteral("/album/dangling")),
                  QStringLiteral("../gone.mp3"));
        EXPECT_EQ(target(c.into + QStringLiteral("/single.mp3")), QStringLiteral("song.mp3"));
        EXPECT_EQ(QFileInfo(c.into + QStringLiteral("/album/song.mp3")).lastModified().toUTC(),
                  old);
        EXPECT_EQ(QFileInfo(c.into + QStringLiteral("/album")).lastModified().toUTC(),
                  QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()));
        EXPECT_EQ(QFileInfo::exists(album), !c.cut);
        QDir(album).removeRecursively();
        QFile::remove(other + QStringLiteral("/single.mp3"));
    }
}

} // namespace

namespace {

TEST_F(FileSafetyTest, DeleteOnAnotherVolumeOrWithoutTrashAsksToDeleteForGood) {
    const stavio::test::OtherFileSystem volume(
        QFile::encodeName(QDir::homePath()).toStdString(),
        QFile::encodeName(MakeDir(dir, QStringLiteral("player"))).toStdString());
    const QString player = QFile::decodeName(volume.Path().c_str());
    const QString trash = TrashFolder();
    struct Case {
        const char* what;
        QString folder;
        bool blockTrash;
        QStringList questions;
    };
    const Case cases[] = {
        {"on a player",
         player,
         false,
         {QStringLiteral(
             "This item is not on the disk of your home folder. Delete it permanently?")}},
        {"no trash can be made",
         music,
         true,
         {QStringLiteral("Are you sure you want to move this item to the Trash?"),
          QStringLiteral("This item cannot be moved to the Trash. Delete it permanently?")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder == player && player.isEmpty())
            continue; // skipped below
        QDir(trash).removeRecursively();
        if (c.blockTrash) {
            QDir().mkpath(QFileInfo(trash).absolutePath());
            MakeFile(QFileInfo(trash).absolutePath(), QStringLiteral("Trash"));
        }
        MakeFile(c.folder, QStringLiteral("song.mp3"));
        list.SetDirectory(c.folder);
        list.SelectCaptions({QStringLiteral("song.mp3")});
        ModalScript answers;
        answers.Otherwise([](QWidget* box) { ModalScript::Press(box, QStringLiteral("&Oui")); });
        list.findChild<QAction*>(QStringLiteral("actionDelete"))->trigger();
        EXPECT_EQ(answers.Texts(), c.questions);
        EXPECT_TRUE(AllNames(c.folder).isEmpty())
            << AllNames(c.folder).join(QLatin1Char(',')).toStdString();
        QFile::remove(trash);
    }
    if (player.isEmpty())
        GTEST_SKIP() << volume.Why() << ": the delete on a player is not checked";
}

TEST_F(FileSafetyTest, TrashEntriesEscapeTheirPathsAsTheDesktopTrashExpects) {
    const QString name = QStringLiteral("new\nline %.mp3");
    MakeFile(music, name);
    const FileBatchResult result = MoveToTrash({music + QLatin1Char('/') + name});
    ASSERT_EQ(result.done.size(), 1);
    QFile info(TrashFolder() + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo"));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = info.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "[Trash Info]");
    EXPECT_EQ(lines[1], "Path=" + QUrl::toPercentEncoding(music, "/") + "/new%0Aline%20%25.mp3");
    EXPECT_TRUE(lines[2].startsWith("DeletionDate=")) << lines[2].toStdString();
    EXPECT_TRUE(QFileInfo::exists(TrashFolder() + QStringLiteral("/files/") + name));
}

} // namespace
