// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExplorerLanguage.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QRegularExpression>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class FileTagLoader;
class QDirIterator;
// A name pattern of the mask and of Find: "*" any run of characters, "?" any one character,
// every other character itself; case is ignored.
QRegularExpression WildcardExpression(const QString& pattern);

// The files of one folder that match the mask. A folder is read in slices on timer
// ticks, so a folder of tens of thousands of files never blocks the window; the rows
// are sorted once the reading ends, in natural order ("Track 2" before "Track 10",
// accents beside their letter). Names are the file system's bytes (see HostString);
// the view shows them with replacement characters where they are not UTF-8.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        SizeColumn,
        TypeColumn,
        ModifiedColumn,
        // The song's tags, as a FileTagLoader delivers them.
        TitleColumn,
        ArtistColumn,
        AlbumColumn,
        TrackColumn,
        LengthColumn,
        ColumnCount
    };
    static constexpr int kTagColumns = 5;

    explicit FileListModel(QObject* parent = nullptr);
    ~FileListModel() override;

    // Starts reading `folder` (empty: no files); the first slice is read at once.
    void Load(const QString& folder);
    QString Folder() const { return folder_; }
    // True until the folder is read, sorted and LoadingFinished has been sent.
    bool IsLoading() const { return stage_ != Stage::Idle; }
    // Why the folder could not be read ("" when it could).
    QString ReadError() const { return readError_; }
    // Reads what is left without returning to the event loop.
    void FinishLoading();

    // Masks separated by ';', compared without regard to case.
    void SetMask(const QString& mask);
    QString Mask() const { return mask_; }
    bool Matches(const QString& name) const;

    void SetLanguage(ExplorerLanguage language);
    // Where the tag columns take their texts from (none: they stay empty), and their
    // captions, Title, Artist, Album, Track and Length, in the program's language.
    void SetTagSource(const FileTagLoader* tags);
    void SetTagCaptions(const QStringList& captions);
    // Repaints the tag columns with what the source knows now.
    void TagsChanged();

    QString FileName(int row) const;
    QString FilePath(int row) const;
    int RowOfName(const QString& name) const;
    // The order the rows are sorted in: natural, then by the names' bytes.
    static QCollator NaturalCollator();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Editing the name renames the file on disk, never onto another file.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

signals:
    void LoadingFinished();
    // A rename was refused; `outcome` is a RenameOutcome, `reason` the system's reason.
    void RenameRefused(const QString& name, int outcome, const QString& reason);
    // A file was renamed; its old path names nothing now.
    void Renamed(const QString& oldPath);

private:
    struct Entry {
        QString name;  // host name, stray bytes escaped
        QString shown; // as displayed
        qint64 size = 0;
        qint64 modifiedMs = 0;
        std::optional<QCollatorSortKey> key;
    };

    enum class Stage { Idle, Reading, Sorting, Announcing };
    // Reads for about `budgetMs` (negative: to the end); true once the folder is read.
    bool ReadSlice(int budgetMs);
    void ReadNextSlice();
    void NextStage();
    // Sorts and announces at once what is read.
    void Complete();
    void SortEntries();
    void IndexRows();
    QString TypeText(const QString& name) const;
    QVariant TagData(const QString& name, int column, int role) const;
    void CloseFolder();

    QString folder_;
    QString mask_;
    std::vector<QRegularExpression> patterns_;
    std::vector<Entry> entries_;
    struct DirCloser {
        void operator()(void* dir) const;
    };
    std::unique_ptr<void, DirCloser> dir_;
    QString readError_;
    QCollator collator_;
    QHash<QString, int> rows_; // row of each name, valid once sorted
    QTimer sliceTimer_;
    QTimer stageTimer_;
    Stage stage_ = Stage::Idle;
    ExplorerLanguage language_ = ExplorerLanguage::lnEnglish;
    int sortColumn_ = NameColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QIcon fileIcon_;
    const FileTagLoader* tags_ = nullptr;
    QStringList tagCaptions_;
};
