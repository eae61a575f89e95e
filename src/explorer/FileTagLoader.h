// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// What the details view shows of a song's tags.
struct FileTags {
    QString title;
    QString artist;
    QString album;
    int track = 0;         // 0: none
    int lengthSeconds = 0; // 0: unknown
    QString lengthText;    // as the program writes lengths
};

// Reads one file's tags; empty when the file cannot be read. Called on worker threads, so it
// must be safe to call from several threads at once.
using FileTagReader = std::function<std::optional<FileTags>(const QString& path)>;

// Reads the tags of a folder's files on worker threads and hands them over on the window's
// thread as they come, in batches, so listing a folder never waits for them.
class FileTagLoader : public QObject {
    Q_OBJECT
public:
    explicit FileTagLoader(QObject* parent = nullptr);
    ~FileTagLoader() override;

    void SetReader(FileTagReader reader);
    bool HasReader() const { return static_cast<bool>(reader_); }

    // Another folder, or the same one read again: what is being read is dropped. The tags
    // known for the same folder stay shown until their files have been read again.
    void Reset(const QString& folder);
    // Queues these names of the folder, in order; names already queued are skipped.
    void Request(const QStringList& names);
    // The tags of a file of the folder; nullptr while they are unknown.
    const FileTags* Tags(const QString& name) const;
    // Nothing is queued or being read.
    bool IsIdle() const { return runningBatches_ == 0 && queue_.isEmpty(); }

signals:
    // New tags are in; sent at most every few tens of milliseconds.
    void TagsArrived();

private:
    struct Result {
        QString name;
        std::optional<FileTags> tags;
    };
    void Deliver(int generation, const std::vector<Result>& results);
    // Hands the workers the next batches of the queue, a few at a time, so queueing a big
    // folder costs the window nothing and a new folder's reads start at once.
    void StartBatches();

    FileTagReader reader_;
    QString folder_;
    QHash<QString, FileTags> tags_;
    QSet<QString> requested_;
    QStringList queue_; // names waiting for a worker, in order
    qsizetype queueHead_ = 0;
    int runningBatches_ = 0;
    // Raised by Reset: batches of an older generation stop reading and are not delivered.
    std::shared_ptr<std::atomic<int>> generation_;
    QThreadPool pool_;
    QTimer notify_;
};
