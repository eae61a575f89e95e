#pragma once

#include <QString>

class QMimeData;

// Drags from the explorer carry nothing but this format: a drop target reads the
// explorer's selection and tells the source apart with QDropEvent::source().
QString ExplorerDragFormat();
QMimeData* NewExplorerDragData();
bool IsExplorerDrag(const QMimeData* data);
