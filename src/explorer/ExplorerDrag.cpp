#include "ExplorerDrag.h"

#include <QMimeData>

QString ExplorerDragFormat() {
    return QStringLiteral("application/x-stavio-explorer-drag");
}

QMimeData* NewExplorerDragData() {
    auto* data = new QMimeData;
    data->setData(ExplorerDragFormat(), QByteArray());
    return data;
}

bool IsExplorerDrag(const QMimeData* data) {
    return data && data->hasFormat(ExplorerDragFormat());
}
