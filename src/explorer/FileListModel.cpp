#include "FileListModel.h"

#include "ExplorerTexts.h"
#include "FileOperations.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

// Time given to one slice of reading; the rest of the tick belongs to the window.
constexpr int kSliceMs = 20;
// The first slice is longer, so an ordinary folder is complete when Load returns.
constexpr int kFirstSliceMs = 50;

int CompareNames(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c : QString::compare(a, b, Qt::CaseSensitive);
}

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

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {
    fileIcon_ = QFileIconProvider().icon(QFileIconProvider::File);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, [this] { ReadSlice(kSliceMs); });
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
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const QRegularExpression& re) { return re.match(name).hasMatch(); });
}

void FileListModel::SetLanguage(ExplorerLanguage language) {
    language_ = language;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!entries_.empty())
        emit dataChanged(index(0, SizeColumn), index(rowCount() - 1, TypeColumn));
}

void FileListModel::Load(const QString& folder) {
    sliceTimer_.stop();
    iterator_.reset();
    beginResetModel();
    entries_.clear();
    folder_ = folder;
    endResetModel();
    if (folder.isEmpty()) {
        emit LoadingFinished();
        return;
    }
    // Files only: folders are never listed. Hidden files are listed like the others.
    iterator_ = std::make_unique<QDirIterator>(folder, QDir::Files | QDir::Hidden);
    ReadSlice(kFirstSliceMs);
}

void FileListModel::FinishLoading() {
    if (iterator_)
        ReadSlice(-1);
}

void FileListModel::ReadSlice(int budgetMs) {
    if (!iterator_)
        return;
    QElapsedTimer clock;
    clock.start();
    std::vector<Entry> slice;
    bool done = false;
    while (true) {
        if (!iterator_->hasNext()) {
            done = true;
            break;
        }
        iterator_->next();
        const QFileInfo info = iterator_->fileInfo();
        if (!Matches(info.fileName()))
            continue;
        slice.push_back({info.fileName(), info.size(), info.lastModified()});
        if (budgetMs >= 0 && slice.size() % 64 == 0 && clock.elapsed() >= budgetMs)
            break;
    }
    if (!slice.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(slice.size()) - 1);
        std::move(slice.begin(), slice.end(), std::back_inserter(entries_));
        endInsertRows();
    }
    if (done) {
        sliceTimer_.stop();
        iterator_.reset();
        SortEntries();
        emit LoadingFinished();
    } else if (!sliceTimer_.isActive()) {
        sliceTimer_.start();
    }
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

    const auto less = [this](const Entry& a, const Entry& b) {
        int c = 0;
        switch (sortColumn_) {
        case SizeColumn:
            c = a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
            break;
        case TypeColumn:
            c = QString::compare(TypeText(a.name), TypeText(b.name), Qt::CaseInsensitive);
            break;
        case ModifiedColumn:
            c = a.modified < b.modified ? -1 : (b.modified < a.modified ? 1 : 0);
            break;
        default:
            break;
        }
        if (c == 0)
            c = CompareNames(a.name, b.name);
        return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    };
    std::sort(entries_.begin(), entries_.end(), less);

    // Names are unique in a folder: they carry the selection over the new order.
    QHash<QString, int> rows;
    if (!before.isEmpty()) {
        rows.reserve(static_cast<qsizetype>(entries_.size()));
        for (std::size_t i = 0; i < entries_.size(); ++i)
            rows.insert(entries_[i].name, static_cast<int>(i));
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(rows.value(names[i], -1), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
            return e.name;
        case SizeColumn:
            return ExplorerTextOf(language_, ExplorerText::SizeInKb)
                .arg(QLocale().toString((e.size + 1023) / 1024));
        case TypeColumn:
            return TypeText(e.name);
        case ModifiedColumn:
            return ShortDateTime(e.modified);
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == NameColumn)
        return fileIcon_;
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
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
        return {};
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
    if (!Matches(newName)) {
        // Renamed out of the mask: the file leaves the list.
        beginRemoveRows({}, row, row);
        entries_.erase(entries_.begin() + row);
        endRemoveRows();
        return true;
    }
    entries_[static_cast<std::size_t>(row)].name = newName;
    emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    return true;
}
