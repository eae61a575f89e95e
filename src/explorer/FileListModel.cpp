// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileListModel.h"

#include "ExplorerTexts.h"
#include "FileOperations.h"
#include "FileTagLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Time given to one slice of reading; the rest of the tick belongs to the window.
constexpr int kSliceMs = 20;
// The first slice is longer, so an ordinary folder is complete when Load returns.
constexpr int kFirstSliceMs = 50;

// The desktop's short date and time; the C locale's own is long, so a numeric one.
QString ShortDateTime(const QDateTime& when) {
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return when.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return locale.toString(when, QLocale::ShortFormat);
}

} // namespace

QRegularExpression WildcardExpression(const QString& pattern) {
    QString expression;
    QString literal;
    for (const QChar c : pattern) {
        if (c != QLatin1Char('*') && c != QLatin1Char('?')) {
            literal += c;
            continue;
        }
        expression += QRegularExpression::escape(literal);
        literal.clear();
        expression += c == QLatin1Char('*') ? QStringLiteral(".*") : QStringLiteral(".");
    }
    expression += QRegularExpression::escape(literal);
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

QCollator FileListModel::NaturalCollator() {
    // The C locale's collation is a plain comparison of code units, with neither numbers
    // nor case: English rules stand in for it.
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

void FileListModel::DirCloser::operator()(void* dir) const {
    ::closedir(static_cast<DIR*>(dir));
}

FileListModel::FileListModel(QObject* parent)
    : QAbstractTableModel(parent), collator_(NaturalCollator()) {
    fileIcon_ = QFileIconProvider().icon(QFileIconProvider::File);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, &FileListModel::ReadNextSlice);
    stageTimer_.setInterval(0);
    stageTimer_.setSingleShot(true);
    connect(&stageTimer_, &QTimer::timeout, this, &FileListModel::NextStage);
    SetMask(QStringLiteral("*.mp3"));
}

FileListModel::~FileListModel() = default;

void FileListModel::SetMask(const QString& mask) {
    mask_ = mask;
    patterns_.clear();
    for (const QString& part : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patterns_.push_back(WildcardExpression(part.trimmed()));
    }
}

bool FileListModel::Matches(const QString& name) const {
    const QString shown = DisplayName(name);
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const QRegularExpression& re) { return re.match(shown).hasMatch(); });
}

void FileListModel::SetLanguage(ExplorerLanguage language) {
    language_ = language;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!entries_.empty())
        emit dataChanged(index(0, SizeColumn), index(rowCount() - 1, TypeColumn));
}

void FileListModel::SetTagSource(const FileTagLoader* tags) {
    tags_ = tags;
    TagsChanged();
}

void FileListModel::SetTagCaptions(const QStringList& captions) {
    tagCaptions_ = captions;
    emit headerDataChanged(Qt::Horizontal, TitleColumn, LengthColumn);
}

void FileListModel::TagsChanged() {
    if (!entries_.empty())
        emit dataChanged(index(0, TitleColumn), index(rowCount() - 1, LengthColumn));
}

QVariant FileListModel::TagData(const QString& name, int column, int role) const {
    const FileTags* tags = tags_ ? tags_->Tags(name) : nullptr;
    if (!tags)
        return {};
    if (role == Qt::UserRole) // the sort key
        return column == TrackColumn ? QVariant(tags->track)
                                     : (column == LengthColumn ? QVariant(tags->lengthSeconds)
                                                               : TagData(name, column, 0));
    switch (column) {
    case TitleColumn:
        return tags->title;
    case ArtistColumn:
        return tags->artist;
    case AlbumColumn:
        return tags->album;
    case TrackColumn:
        return tags->track > 0 ? QString::number(tags->track) : QString();
    case LengthColumn:
        return tags->lengthText;
    default:
        return {};
    }
}

void FileListModel::CloseFolder() {
    sliceTimer_.stop();
    stageTimer_.stop();
    stage_ = Stage::Idle;
    dir_.reset();
}

void FileListModel::Load(const QString& folder) {
    CloseFolder();
    beginResetModel();
    entries_.clear();
    rows_.clear();
    folder_ = folder;
    readError_.clear();
    endResetModel();
    if (folder.isEmpty()) {
        emit LoadingFinished();
        return;
    }
    // Read with the system's own calls: every name comes as its bytes, also one that is
    // not UTF-8.
    const QByteArray path = HostBytes(folder);
    DIR* dir = ::opendir(path.constData());
    // A folder whose names may be read but not its files (no search right) would look empty.
    if (dir && ::faccessat(AT_FDCWD, path.constData(), X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        ::closedir(dir);
        dir = nullptr;
        errno = error;
    }
    if (!dir) {
        readError_ = ReasonOfErrno(errno);
        emit LoadingFinished();
        return;
    }
    dir_.reset(dir);
    stage_ = Stage::Reading;
    if (ReadSlice(kFirstSliceMs))
        Complete();
    else
        sliceTimer_.start();
}

void FileListModel::FinishLoading() {
    if (dir_)
        ReadSlice(-1);
    Complete();
}

void FileListModel::ReadNextSlice() {
    if (!ReadSlice(kSliceMs))
        return;
    // A folder read over several turns is sorted in a turn of its own, and the news that
    // it is complete (which brings the selection back) comes in the next: each is a pause
    // the user does not feel, where all three at once would be.
    sliceTimer_.stop();
    stage_ = Stage::Sorting;
    stageTimer_.start();
}

void FileListModel::NextStage() {
    if (stage_ == Stage::Sorting) {
        SortEntries();
        stage_ = Stage::Announcing;
        stageTimer_.start();
    } else if (stage_ == Stage::Announcing) {
        stage_ = Stage::Idle;
        emit LoadingFinished();
    }
}

void FileListModel::Complete() {
    if (dir_ == nullptr && stage_ == Stage::Reading)
        stage_ = Stage::Sorting;
    sliceTimer_.stop();
    stageTimer_.stop();
    while (stage_ != Stage::Idle)
        NextStage();
}

bool FileListModel::ReadSlice(int budgetMs) {
    if (!dir_)
        return true;
    auto* dir = static_cast<DIR*>(dir_.get());
    const int fd = ::dirfd(dir);
    QElapsedTimer clock;
    clock.start();
    std::vector<Entry> slice;
    bool done = false;
    while (true) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (!d) {
            if (errno != 0)
                readError_ = ReasonOfErrno(errno);
            done = true;
            break;
        }
        // Files only (a link counts as what it points to); folders, pipes, sockets and
        // devices are never listed. Hidden files are listed like the others.
        if (d->d_type != DT_REG && d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
            continue;
        Entry e;
        e.name = HostString(QByteArray(d->d_name));
        if (!Matches(e.name))
            continue;
        struct stat st = {};
        if (::fstatat(fd, d->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        e.shown = DisplayName(e.name);
        e.size = st.st_size;
        e.modifiedMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        e.key = collator_.sortKey(e.shown);
        slice.push_back(std::move(e));
        if (budgetMs >= 0 && slice.size() % 64 == 0 && clock.elapsed() >= budgetMs)
            break;
    }
    if (!slice.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(slice.size()) - 1);
        std::move(slice.begin(), slice.end(), std::back_inserter(entries_));
        endInsertRows();
    }
    if (done)
        dir_.reset();
    return done;
}

void FileListModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column;
    sortOrder_ = order;
    if (!IsLoading())
        SortEntries();
}

void FileListModel::SortEntries() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QStringList names;
    names.reserve(before.size());
    for (const QModelIndex& i : before)
        names.append(FileName(i.row()));

    // The type is the suffix's, and the texts of the tags sort like the names; their keys
    // are worked out once per entry, not once per comparison.
    std::vector<std::optional<QCollatorSortKey>> textKeys;
    std::vector<std::size_t> order(entries_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const bool byText = sortColumn_ == TypeColumn || sortColumn_ == TitleColumn ||
                        sortColumn_ == ArtistColumn || sortColumn_ == AlbumColumn;
    if (byText) {
        textKeys.reserve(entries_.size());
        for (const Entry& e : entries_)
            textKeys.push_back(collator_.sortKey(
                sortColumn_ == TypeColumn ? QFileInfo(e.shown).suffix()
                                          : TagData(e.name, sortColumn_, Qt::UserRole).toString()));
    }
    const auto compare = [&](std::size_t ia, std::size_t ib) {
        const Entry& a = entries_[ia];
        const Entry& b = entries_[ib];
        int c = 0;
        switch (sortColumn_) {
        case SizeColumn:
            c = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
            break;
        case TypeColumn:
        case TitleColumn:
        case ArtistColumn:
        case AlbumColumn:
            c = textKeys[ia]->compare(*textKeys[ib]);
            break;
        case ModifiedColumn:
            c = a.modifiedMs < b.modifiedMs ? -1 : (a.modifiedMs > b.modifiedMs ? 1 : 0);
            break;
        case TrackColumn:
        case LengthColumn: {
            const int x = TagData(a.name, sortColumn_, Qt::UserRole).toInt();
            const int y = TagData(b.name, sortColumn_, Qt::UserRole).toInt();
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        default:
            break;
        }
        if (c == 0)
            c = a.key->compare(*b.key);
        if (c == 0)
            c = QString::compare(a.name, b.name);
        return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    };
    std::sort(order.begin(), order.end(), compare);
    std::vector<Entry> sorted;
    sorted.reserve(entries_.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(entries_[i]));
    entries_ = std::move(sorted);
    IndexRows();

    // Names are unique in a folder: they carry the selection over the new order.
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rows_.value(names[i], -1), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileListModel::IndexRows() {
    rows_.clear();
    rows_.reserve(static_cast<qsizetype>(entries_.size()));
    for (std::size_t i = 0; i < entries_.size(); ++i)
        rows_.insert(entries_[i].name, static_cast<int>(i));
}

QString FileListModel::FileName(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    return entries_[static_cast<std::size_t>(row)].name;
}

QString FileListModel::FilePath(int row) const {
    const QString name = FileName(row);
    return name.isEmpty() ? QString() : JoinPath(folder_, name);
}

int FileListModel::RowOfName(const QString& name) const {
    if (!IsLoading())
        return rows_.value(name, -1);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FileListModel::TypeText(const QString& name) const {
    const QString suffix = QFileInfo(name).suffix();
    if (suffix.isEmpty())
        return ExplorerTextOf(language_, ExplorerText::FileTypePlain);
    return ExplorerTextOf(language_, ExplorerText::FileType).arg(suffix.toUpper());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& e = entries_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case NameColumn:
            return e.shown;
        case SizeColumn:
            return ExplorerTextOf(language_, ExplorerText::SizeInKb)
                .arg(ExplorerLocale(language_).toString((e.size + 1023) / 1024));
        case TypeColumn:
            return TypeText(e.shown);
        case ModifiedColumn:
            return ShortDateTime(QDateTime::fromMSecsSinceEpoch(e.modifiedMs));
        default:
            return TagData(e.name, index.column(), role);
        }
    }
    if (role == Qt::DecorationRole && index.column() == NameColumn)
        return fileIcon_;
    if (role == Qt::TextAlignmentRole &&
        (index.column() == SizeColumn || index.column() == TrackColumn ||
         index.column() == LengthColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn:
        return ExplorerTextOf(language_, ExplorerText::ColumnName);
    case SizeColumn:
        return ExplorerTextOf(language_, ExplorerText::ColumnSize);
    case TypeColumn:
        return ExplorerTextOf(language_, ExplorerText::ColumnType);
    case ModifiedColumn:
        return ExplorerTextOf(language_, ExplorerText::ColumnModified);
    default:
        return tagCaptions_.value(section - TitleColumn);
    }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid())
        f |= Qt::ItemIsDragEnabled;
    if (index.isValid() && index.column() == NameColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != NameColumn)
        return false;
    const int row = index.row();
    const QString oldName = FileName(row);
    // The name as typed; one without an extension keeps the old one.
    QString newName = value.toString();
    // A name shown with replacement characters and confirmed as it is stays as it is.
    if (newName == entries_[static_cast<std::size_t>(row)].shown)
        newName = oldName;
    const qsizetype oldDot = oldName.lastIndexOf(QLatin1Char('.'));
    if (newName != oldName && !newName.isEmpty() && oldDot > 0 &&
        newName.lastIndexOf(QLatin1Char('.')) <= 0)
        newName += oldName.mid(oldDot);
    QString reason;
    const RenameOutcome outcome = RenameInFolder(folder_, oldName, newName, &reason);
    if (outcome == RenameOutcome::Unchanged)
        return true;
    if (outcome != RenameOutcome::Renamed) {
        emit RenameRefused(newName, static_cast<int>(outcome), reason);
        return false;
    }
    emit Renamed(JoinPath(folder_, oldName));
    if (!Matches(newName)) {
        // Renamed out of the mask: the file leaves the list.
        beginRemoveRows({}, row, row);
        entries_.erase(entries_.begin() + row);
        IndexRows();
        endRemoveRows();
        return true;
    }
    Entry& e = entries_[static_cast<std::size_t>(row)];
    rows_.remove(e.name);
    e.name = newName;
    e.shown = DisplayName(newName);
    e.key = collator_.sortKey(e.shown);
    rows_.insert(newName, row);
    emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    return true;
}
