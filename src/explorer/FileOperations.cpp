// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOperations.h"

#include "ExplorerTexts.h"
#include "FileLayer.h"
#include "TextFile.h"
#include "Utf8.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char32_t kEscapeBase = 0xDC00;
// The longest name a folder entry may have, in bytes (NAME_MAX of the common file systems).
constexpr qsizetype kNameMax = 255;

bool Exists(const QByteArray& path) {
    struct stat st = {};
    return ::lstat(path.constData(), &st) == 0;
}

bool IsSpecial(mode_t mode) {
    return S_ISFIFO(mode) || S_ISSOCK(mode) || S_ISCHR(mode) || S_ISBLK(mode);
}

// rename(2) that never replaces an existing name.
int RenameNoReplace(const QByteArray& from, const QByteArray& to) {
    return stavio::RenameNoReplaceAt(AT_FDCWD, from.constData(), AT_FDCWD, to.constData());
}

QByteArray ParentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return "/";
    return path.left(slash);
}

QByteArray Join(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The names in a folder, as bytes, without "." and "..".
bool ReadNames(const QByteArray& folder, std::vector<QByteArray>* names) {
    std::vector<std::string> read;
    if (!stavio::ReadNames(folder.toStdString(), read))
        return false;
    for (const std::string& name : read)
        names->emplace_back(QByteArray::fromStdString(name));
    return true;
}

void KeepTimesOfPath(const QByteArray& path, const struct stat& source, bool link) {
    const timespec times[2] = {source.st_atim, source.st_mtim};
    ::utimensat(AT_FDCWD, path.constData(), times, link ? AT_SYMLINK_NOFOLLOW : 0);
}

// One batch: its destination language, its control and its report.
class Batch {
public:
    Batch(ExplorerLanguage language, FileBatchControl* control)
        : language_(language), control_(control) {}

    bool Cancelled() const { return control_ && control_->cancel.load(); }

    void Fail(const QByteArray& path, const QString& reason) {
        result.failed.append({HostString(path), reason});
    }
    void FailErrno(const QByteArray& path, int error) { Fail(path, ReasonOfErrno(error)); }
    void Skip(const QByteArray& path) {
        result.skipped.append(
            {HostString(path), ExplorerTextOf(language_, ExplorerText::SpecialFileSkipped)});
    }
    void Refuse(const QByteArray& path, ExplorerText text) {
        Fail(path, ExplorerTextOf(language_, text));
    }

    void AddTotal(const QByteArray& path) {
        if (control_)
            control_->bytesTotal += TreeSize(path);
    }
    void Advance(qint64 bytes) {
        if (control_)
            control_->bytesDone += bytes;
    }
    void ItemDone() {
        if (control_)
            ++control_->itemsDone;
    }

    // Copies the entry at `from` to the new name `to`. Returns false when anything of it
    // was not copied (the reason is in the report) or the batch was cancelled.
    bool CopyEntry(const QByteArray& from, const QByteArray& to, bool removeSource) {
        if (Cancelled())
            return false;
        struct stat st = {};
        if (::lstat(from.constData(), &st) != 0) {
            FailErrno(from, errno);
            return false;
        }
        if (S_ISLNK(st.st_mode))
            return CopyLink(from, to, st, removeSource);
        if (IsSpecial(st.st_mode)) {
            Skip(from);
            return false;
        }
        if (S_ISDIR(st.st_mode))
            return CopyFolder(from, to, st, removeSource);
        if (!CopyFile(from, to))
            return false;
        if (removeSource && ::unlink(from.constData()) != 0) {
            FailErrno(from, errno);
            return false;
        }
        return true;
    }

    FileBatchResult result;

private:
    static qint64 TreeSize(const QByteArray& path) {
        struct stat st = {};
        if (::lstat(path.constData(), &st) != 0)
            return 0;
        if (S_ISREG(st.st_mode))
            return st.st_size;
        if (!S_ISDIR(st.st_mode))
            return 0;
        std::vector<QByteArray> names;
        ReadNames(path, &names);
        qint64 total = 0;
        for (const QByteArray& name : names)
            total += TreeSize(Join(path, name));
        return total;
    }

    bool CopyLink(const QByteArray& from, const QByteArray& to, const struct stat& st,
                  bool removeSource) {
        QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(from.constData(), target.data(), target.size());
        if (n < 0) {
            FailErrno(from, errno);
            return false;
        }
        target.truncate(n);
        if (::symlink(target.constData(), to.constData()) != 0) {
            FailErrno(from, errno);
            return false;
        }
        KeepTimesOfPath(to, st, true);
        if (removeSource && ::unlink(from.constData()) != 0) {
            FailErrno(from, errno);
            return false;
        }
        return true;
    }

    bool CopyFolder(const QByteArray& from, const QByteArray& to, const struct stat& st,
                    bool removeSource) {
        std::vector<QByteArray> names;
        if (!ReadNames(from, &names)) {
            FailErrno(from, errno);
            return false;
        }
        if (::mkdir(to.constData(), 0700) != 0) {
            FailErrno(from, errno);
            return false;
        }
        bool all = true;
        for (const QByteArray& name : names) {
            if (Cancelled()) {
                all = false;
                break;
            }
            all = CopyEntry(Join(from, name), Join(to, name), removeSource) && all;
        }
        ::chmod(to.constData(), st.st_mode & 07777);
        KeepTimesOfPath(to, st, false);
        // A folder moved in full leaves; one that keeps a skipped or failed item stays.
        if (removeSource && all && ::rmdir(from.constData()) != 0) {
            FailErrno(from, errno);
            return false;
        }
        return all;
    }

    // The file is written under a temporary name beside its destination and takes its
    // name only once complete and on the disk.
    bool CopyFile(const QByteArray& from, const QByteArray& to) {
        // O_NONBLOCK: should the file have become a pipe since it was looked at, the open
        // does not wait for a writer; fstat then tells.
        const stavio::UniqueFd in(
            ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!in.Valid()) {
            FailErrno(from, errno);
            return false;
        }
        struct stat opened = {};
        if (::fstat(in.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
            if (IsSpecial(opened.st_mode))
                Skip(from);
            else
                FailErrno(from, EIO);
            return false;
        }
        // A name another program takes meanwhile stays its own: the copy then fails.
        stavio::BesideFile out(to.toStdString(),
                               {.temporary = ".stavio-XXXXXX.part",
                                .replace = stavio::Replace::Never,
                                .flush = stavio::Flush::File,
                                .stampFrom = &opened,
                                .newFileMode = 0600, // until it takes the source's mode
                                .beforeRename = control_ ? control_->beforePlacing : nullptr});
        if (out.Error() != 0) {
            FailErrno(from, out.Error());
            return false;
        }
        int error = 0;
        std::vector<char> buffer(1 << 20);
        while (error == 0) {
            if (Cancelled()) {
                error = ECANCELED;
                break;
            }
            const ssize_t got = ::read(in.Get(), buffer.data(), buffer.size());
            if (got < 0) {
                if (errno != EINTR && errno != EAGAIN)
                    error = errno;
                continue;
            }
            if (got == 0)
                break;
            error = out.Write({buffer.data(), static_cast<size_t>(got)});
            Advance(got);
        }
        if (error == 0) {
            ::fchmod(out.Fd(), opened.st_mode & 07777);
            error = out.Place();
        }
        if (error != 0) {
            out.Discard();
            if (error != ECANCELED)
                FailErrno(from, error);
            return false;
        }
        return true;
    }

    ExplorerLanguage language_;
    FileBatchControl* control_;
};

// True when `inner` is `outer` or lies below it, both resolved (links followed).
bool ResolvedInside(const QString& inner, const QString& outer) {
    const QString a = QFileInfo(outer).canonicalFilePath();
    const QString b = QFileInfo(inner).canonicalFilePath();
    if (a.isEmpty() || b.isEmpty())
        return false;
    return b == a || b.startsWith(a == QLatin1String("/") ? a : a + QLatin1Char('/'));
}

QString NameOf(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    return clean.mid(clean.lastIndexOf(QLatin1Char('/')) + 1);
}

bool SameFile(const QByteArray& a, const QByteArray& b) {
    struct stat sa = {};
    struct stat sb = {};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Whether `folder` holds an entry spelt exactly `name`, byte for byte. On a volume that
// ignores case a path also answers to the other spellings of an entry's name.
bool HasEntrySpelt(const QByteArray& folder, const QByteArray& name) {
    std::vector<QByteArray> names;
    if (!ReadNames(folder, &names))
        return true; // unknown: assume the name is taken
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool RemoveTree(const QByteArray& path, Batch* batch) {
    struct stat st = {};
    if (::lstat(path.constData(), &st) != 0) {
        batch->FailErrno(path, errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        std::vector<QByteArray> names;
        if (!ReadNames(path, &names)) {
            batch->FailErrno(path, errno);
            return false;
        }
        bool all = true;
        for (const QByteArray& name : names) {
            if (batch->Cancelled())
                return false;
            all = RemoveTree(Join(path, name), batch) && all;
        }
        if (!all)
            return false;
        if (::rmdir(path.constData()) != 0) {
            batch->FailErrno(path, errno);
            return false;
        }
        return true;
    }
    if (::unlink(path.constData()) != 0) {
        batch->FailErrno(path, errno);
        return false;
    }
    return true;
}

} // namespace

QByteArray HostBytes(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    QString run;
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
            out += run.toUtf8();
            run.clear();
            out += static_cast<char>(u - kEscapeBase);
        } else {
            run += c;
        }
    }
    out += run.toUtf8();
    return out;
}

QString HostString(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const std::string_view text(bytes.constData(), bytes.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        const std::size_t length = stavio::DecodeUtf8At(text, i, code);
        if (length == 0) { // a stray byte
            out += QChar(static_cast<char16_t>(kEscapeBase + p[i]));
            ++i;
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i += length;
    }
    return out;
}

QString DisplayName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown) {
        if (c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF)
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QUrl UrlOfPath(const QString& path) {
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + HostBytes(path).toPercentEncoding("/"),
                             QUrl::StrictMode);
}

QString PathOfUrl(const QUrl& url) {
    return HostString(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

bool IsFolder(const QString& path) {
    struct stat st = {};
    return !path.isEmpty() && ::stat(HostBytes(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString UniqueName(const QString& folder, const QString& name) {
    const auto taken = [&](const QString& candidate) {
        return Exists(HostBytes(JoinPath(folder, candidate)));
    };
    if (!taken(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString tail = QStringLiteral(" (%1)%2").arg(n).arg(suffix);
        // A name holds at most kNameMax bytes: a long stem gives way to the number rather
        // than the copy failing for a name too long.
        QString head = stem;
        while (head.size() > 1 && HostBytes(head + tail).size() > kNameMax) {
            const bool pair =
                head.back().isLowSurrogate() && head.at(head.size() - 2).isHighSurrogate();
            head.chop(pair ? 2 : 1);
        }
        const QString candidate = head + tail;
        if (!taken(candidate))
            return candidate;
    }
}

QString ReasonOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QString::fromStdString(stavio::FileError::TextFor(error));
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

FileBatchResult CopyInto(const QStringList& sources, const QString& folder,
                         ExplorerLanguage language, FileBatchControl* control) {
    Batch batch(language, control);
    if (control)
        control->itemsTotal = static_cast<int>(sources.size());
    for (const QString& source : sources)
        batch.AddTotal(HostBytes(source));
    for (const QString& source : sources) {
        if (batch.Cancelled()) {
            batch.result.cancelled = true;
            break;
        }
        const QByteArray from = HostBytes(source);
        struct stat st = {};
        if (::lstat(from.constData(), &st) != 0) {
            batch.FailErrno(from, errno);
            continue;
        }
        // A folder is never copied into itself or below itself, also not through a link.
        if (S_ISDIR(st.st_mode) && ResolvedInside(folder, source)) {
            batch.Refuse(from, ExplorerText::FolderIntoItself);
            continue;
        }
        const QString name = UniqueName(folder, NameOf(source));
        const bool all = batch.CopyEntry(from, HostBytes(JoinPath(folder, name)), false);
        if (batch.Cancelled())
            batch.result.cancelled = true;
        // A folder with something left out still shows what it holds.
        if (all || (S_ISDIR(st.st_mode) && Exists(HostBytes(JoinPath(folder, name)))))
            batch.result.done.append(name);
        batch.ItemDone();
    }
    return batch.result;
}

FileBatchResult MoveInto(const QStringList& sources, const QString& folder,
                         ExplorerLanguage language, FileBatchControl* control) {
    Batch batch(language, control);
    if (control)
        control->itemsTotal = static_cast<int>(sources.size());
    for (const QString& source : sources) {
        if (batch.Cancelled()) {
            batch.result.cancelled = true;
            break;
        }
        const QByteArray from = HostBytes(source);
        const QString sourceName = NameOf(source);
        struct stat st = {};
        if (::lstat(from.constData(), &st) != 0) {
            batch.FailErrno(from, errno);
            continue;
        }
        if (SameFile(ParentOf(from), HostBytes(folder))) {
            batch.result.done.append(sourceName);
            continue;
        }
        if (S_ISDIR(st.st_mode) && ResolvedInside(folder, source)) {
            batch.Refuse(from, ExplorerText::FolderIntoItself);
            continue;
        }
        const QString name = UniqueName(folder, sourceName);
        const QByteArray to = HostBytes(JoinPath(folder, name));
        if (RenameNoReplace(from, to) == 0) {
            batch.result.done.append(name);
            batch.ItemDone();
            continue;
        }
        if (errno != EXDEV) {
            batch.FailErrno(from, errno);
            continue;
        }
        // Another file system: copied item by item, each source removed once its copy is
        // complete, so that a failure leaves every file whole in one place or the other.
        batch.AddTotal(from);
        const bool all = batch.CopyEntry(from, to, true);
        if (batch.Cancelled())
            batch.result.cancelled = true;
        if (all || Exists(to))
            batch.result.done.append(name);
        batch.ItemDone();
    }
    return batch.result;
}

FileBatchResult MoveToTrash(const QStringList& paths, FileBatchControl* control) {
    FileBatchResult result;
    if (control)
        control->itemsTotal = static_cast<int>(paths.size());
    // The desktop's trash of the user (the freedesktop.org trash): files/ holds the items,
    // info/ one .trashinfo each with the original path, percent-encoded, and the date.
    const QString trash = TrashFolder();
    const QByteArray files = HostBytes(trash + QStringLiteral("/files"));
    const QByteArray info = HostBytes(trash + QStringLiteral("/info"));
    QDir().mkpath(trash + QStringLiteral("/files"));
    QDir().mkpath(trash + QStringLiteral("/info"));
    for (const QString& path : paths) {
        if (control && control->cancel.load()) {
            result.cancelled = true;
            break;
        }
        if (control)
            ++control->itemsDone;
        const QByteArray source = HostBytes(QFileInfo(path).absoluteFilePath());
        const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
        // The .trashinfo file is made first, under a free name; it reserves that name.
        const QByteArray text = "[Trash Info]\nPath=" + source.toPercentEncoding("/") +
                                "\nDeletionDate=" +
                                QDateTime::currentDateTime()
                                    .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
                                    .toLatin1() +
                                '\n';
        int error = EEXIST;
        for (int n = 1; error == EEXIST && n < 10000; ++n) {
            const QByteArray entry = n == 1 ? name : name + ' ' + QByteArray::number(n);
            const QByteArray infoFile = Join(info, entry + ".trashinfo");
            stavio::UniqueFd fd(
                ::open(infoFile.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (!fd.Valid()) {
                error = errno;
                continue;
            }
            error =
                stavio::WriteAll(fd.Get(), {text.constData(), static_cast<size_t>(text.size())});
            if (fd.Close() != 0 && error == 0)
                error = errno;
            if (error == 0 && RenameNoReplace(source, Join(files, entry)) != 0)
                error = errno;
            if (error != 0)
                ::unlink(infoFile.constData());
        }
        if (error != 0) {
            result.failed.append({path, ReasonOfErrno(error)});
            continue;
        }
        result.done.append(path);
    }
    return result;
}

FileBatchResult DeletePermanently(const QStringList& paths, FileBatchControl* control) {
    Batch batch(ExplorerLanguage::lnEnglish, control);
    if (control)
        control->itemsTotal = static_cast<int>(paths.size());
    for (const QString& path : paths) {
        if (batch.Cancelled()) {
            batch.result.cancelled = true;
            break;
        }
        if (RemoveTree(HostBytes(path), &batch))
            batch.result.done.append(path);
        batch.ItemDone();
    }
    return batch.result;
}

QString TrashFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash");
}

bool OnHomeVolume(const QString& path) {
    struct stat item = {};
    if (::lstat(HostBytes(path).constData(), &item) != 0)
        return true;
    // The trash's volume: that of its nearest folder that exists.
    struct stat home = {};
    QString folder = TrashFolder();
    while (::stat(HostBytes(folder).constData(), &home) != 0) {
        const QString up = QFileInfo(folder).absolutePath();
        if (up == folder)
            return true;
        folder = up;
    }
    return item.st_dev == home.st_dev;
}

RenameOutcome RenameInFolder(const QString& folder, const QString& oldName, const QString& newName,
                             QString* reason) {
    if (newName == oldName)
        return RenameOutcome::Unchanged;
    if (newName.isEmpty() || newName.contains(QLatin1Char('/')) || newName == QLatin1String(".") ||
        newName == QLatin1String("..") || newName.contains(QChar(0)))
        return RenameOutcome::Invalid;
    const QByteArray from = HostBytes(JoinPath(folder, oldName));
    const QByteArray to = HostBytes(JoinPath(folder, newName));
    if (Exists(to)) {
        // The same file under another case: a volume that ignores case (FAT). It takes
        // the new spelling through a free intermediate name. Not every such volume gives
        // one file one inode number (FUSE), so a name that is not in the folder as spelt
        // tells it too.
        if (oldName.compare(newName, Qt::CaseInsensitive) != 0 ||
            !(SameFile(from, to) || !HasEntrySpelt(HostBytes(folder), HostBytes(newName))))
            return RenameOutcome::Exists;
        const QByteArray middle =
            HostBytes(JoinPath(folder, UniqueName(folder, QStringLiteral(".stavio-rename"))));
        if (RenameNoReplace(from, middle) != 0) {
            if (reason)
                *reason = ReasonOfErrno(errno);
            return RenameOutcome::Failed;
        }
        if (RenameNoReplace(middle, to) != 0) {
            const int error = errno;
            ::rename(middle.constData(), from.constData());
            if (reason)
                *reason = ReasonOfErrno(error);
            return RenameOutcome::Failed;
        }
        return RenameOutcome::Renamed;
    }
    if (RenameNoReplace(from, to) != 0) {
        const int error = errno;
        if (error == EEXIST)
            return RenameOutcome::Exists;
        if (reason)
            *reason = ReasonOfErrno(error);
        return RenameOutcome::Failed;
    }
    return RenameOutcome::Renamed;
}

QString MakeFolder(const QString& parent, const QString& name, ExplorerLanguage language,
                   QString* path) {
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..") || name.contains(QChar(0)))
        return ExplorerTextOf(language, ExplorerText::InvalidName).arg(DisplayName(name));
    const QString target = JoinPath(parent, name);
    if (::mkdir(HostBytes(target).constData(), 0777) != 0) {
        if (errno == EEXIST)
            return ExplorerTextOf(language, ExplorerText::NameExists).arg(DisplayName(name));
        return ExplorerTextOf(language, ExplorerText::OperationFailed)
            .arg(DisplayName(name) + QStringLiteral(" : ") + ReasonOfErrno(errno));
    }
    if (path)
        *path = target;
    return {};
}
