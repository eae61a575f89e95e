// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileTagLoader.h"

#include "FileOperations.h"

#include <QThread>

#include <vector>

namespace {
// Files per worker task: small enough that the first tags show at once, large enough that
// handing them over costs the window nothing.
constexpr int kBatchSize = 32;
// The view repaints for new tags at most this often.
constexpr int kNotifyMs = 40;
} // namespace

FileTagLoader::FileTagLoader(QObject* parent)
    : QObject(parent), generation_(std::make_shared<std::atomic<int>>(0)) {
    // One core stays the window's: tags come a little later, the window never stutters.
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    notify_.setSingleShot(true);
    notify_.setInterval(kNotifyMs);
    connect(&notify_, &QTimer::timeout, this, &FileTagLoader::TagsArrived);
}

FileTagLoader::~FileTagLoader() {
    ++*generation_;
    pool_.clear();
    pool_.waitForDone();
}

void FileTagLoader::SetReader(FileTagReader reader) {
    reader_ = std::move(reader);
    Reset(folder_);
}

void FileTagLoader::Reset(const QString& folder) {
    ++*generation_;
    pool_.clear();
    runningBatches_ = 0;
    queue_.clear();
    queueHead_ = 0;
    requested_.clear();
    if (folder != folder_) {
        tags_.clear();
        folder_ = folder;
    }
}

void FileTagLoader::Request(const QStringList& names) {
    if (!reader_ || folder_.isEmpty())
        return;
    for (const QString& name : names) {
        if (requested_.contains(name))
            continue;
        requested_.insert(name);
        queue_.append(name);
    }
    StartBatches();
}

void FileTagLoader::StartBatches() {
    while (runningBatches_ < 2 * pool_.maxThreadCount() && queueHead_ < queue_.size()) {
        const QStringList files = queue_.mid(queueHead_, kBatchSize);
        queueHead_ += files.size();
        ++runningBatches_;
        const int generation = *generation_;
        pool_.start(
            [this, files, generation, current = generation_, reader = reader_, folder = folder_] {
                std::vector<Result> results;
                results.reserve(static_cast<std::size_t>(files.size()));
                for (const QString& name : files) {
                    if (*current != generation)
                        return; // dropped: the running count was reset with it
                    results.push_back({name, reader(JoinPath(folder, name))});
                }
                QMetaObject::invokeMethod(
                    this, [this, generation, results] { Deliver(generation, results); },
                    Qt::QueuedConnection);
            });
    }
    if (queueHead_ >= queue_.size()) {
        queue_.clear();
        queueHead_ = 0;
    }
}

void FileTagLoader::Deliver(int generation, const std::vector<Result>& results) {
    if (generation != *generation_)
        return;
    --runningBatches_;
    for (const Result& r : results) {
        if (r.tags)
            tags_.insert(r.name, *r.tags);
        else
            tags_.remove(r.name);
    }
    if (!notify_.isActive())
        notify_.start();
    StartBatches();
}

const FileTags* FileTagLoader::Tags(const QString& name) const {
    const auto it = tags_.constFind(name);
    return it == tags_.constEnd() ? nullptr : &*it;
}
