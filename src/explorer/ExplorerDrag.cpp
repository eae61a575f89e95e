// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplorerDrag.h"

#include <QMimeData>

QString ExplorerDragFormat() {
    return QStringLiteral("application/x-stavio-explorer-drag");
}

QMimeData* NewExplorerDragData(const QList<QUrl>& urls) {
    auto* data = new QMimeData;
    data->setData(ExplorerDragFormat(), QByteArray());
    if (!urls.isEmpty())
        data->setUrls(urls);
    return data;
}

bool IsExplorerDrag(const QMimeData* data) {
    return data && data->hasFormat(ExplorerDragFormat());
}
