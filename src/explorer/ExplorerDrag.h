// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QUrl>

class QMimeData;

// Drags from the explorer carry this private format and the dragged files and folders as
// text/uri-list, so other programs (a player, a file manager) take them too. A drop target
// of this program reads the explorer's selection and tells the source apart with
// QDropEvent::source().
QString ExplorerDragFormat();
QMimeData* NewExplorerDragData(const QList<QUrl>& urls = {});
bool IsExplorerDrag(const QMimeData* data);
