// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileOperations.h"

#include <functional>

class QWidget;

// Runs a batch of file operations on the job runner's worker. Meanwhile the window keeps
// handling its events (it repaints, nothing freezes), and once the batch has taken a
// moment a progress window shows how far it got, with a Cancel button that stops it
// between two blocks of data. Returns when the batch has ended.
FileBatchResult RunFileBatch(QWidget* parent, const QString& label, const QString& cancelText,
                             const std::function<FileBatchResult(FileBatchControl*)>& work);

// The delay before the progress window appears; a quick batch never shows it.
constexpr int kFileBatchWindowDelayMs = 300;
