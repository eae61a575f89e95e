// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderWatcher.h"

#include "FileOperations.h"

#include <QFileSystemWatcher>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

#ifdef __linux__
#include <sys/inotify.h>
#endif

FolderWatcher::FolderWatcher(QObject* parent, bool fileWrites)
    : QObject(parent), fileWrites_(fileWrites) {
#ifdef __linux__
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0) {
        notifier_ = new QSocketNotifier(inotify_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &FolderWatcher::ReadEvents);
        return;
    }
#endif
    // No inotify (another system, or no instance left): Qt's watcher, for UTF-8 names.
    fallback_ = new QFileSystemWatcher(this);
    connect(fallback_, &QFileSystemWatcher::directoryChanged, this, &FolderWatcher::FolderChanged);
}

FolderWatcher::~FolderWatcher() {
    if (inotify_ >= 0)
        ::close(inotify_);
}

bool FolderWatcher::AddPath(const QString& folder) {
    if (fallback_)
        return fallback_->addPath(folder);
#ifdef __linux__
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                          IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                          (fileWrites_ ? IN_CLOSE_WRITE : 0u);
    const int wd = ::inotify_add_watch(inotify_, HostBytes(folder).constData(), mask);
    if (wd < 0)
        return false;
    folders_.insert(wd, folder);
    return true;
#else
    return false;
#endif
}

void FolderWatcher::RemovePath(const QString& folder) {
    if (fallback_) {
        fallback_->removePath(folder);
        return;
    }
#ifdef __linux__
    for (auto it = folders_.begin(); it != folders_.end();) {
        if (it.value() == folder) {
            ::inotify_rm_watch(inotify_, it.key());
            it = folders_.erase(it);
        } else {
            ++it;
        }
    }
#endif
}

void FolderWatcher::RemoveAll() {
    for (const QString& folder : Folders())
        RemovePath(folder);
}

QStringList FolderWatcher::Folders() const {
    if (fallback_)
        return fallback_->directories();
    QStringList folders = folders_.values();
    folders.removeDuplicates();
    return folders;
}

void FolderWatcher::ReadEvents() {
#ifdef __linux__
    // One notice per folder per reading, however many entries changed.
    QStringList changed;
    alignas(inotify_event) char buffer[16 * 1024];
    while (true) {
        const ssize_t got = ::read(inotify_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) { // notices were lost: any folder may have changed
                for (const QString& folder : Folders()) {
                    if (!changed.contains(folder))
                        changed.append(folder);
                }
                continue;
            }
            const QString folder = folders_.value(event->wd);
            if (folder.isEmpty())
                continue;
            if (event->mask & IN_IGNORED) // the folder is gone, or no longer watched
                folders_.remove(event->wd);
            if (!changed.contains(folder))
                changed.append(folder);
        }
    }
    for (const QString& folder : changed)
        emit FolderChanged(folder);
#endif
}
