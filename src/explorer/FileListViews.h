// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListView>
#include <QTreeView>

#include <functional>

// The two faces of the file list: icons and list (QListView) and details (QTreeView).
// They hand the start of a drag to the file list, which is the drag's source.

class FileIconView : public QListView {
    Q_OBJECT
public:
    FileIconView(std::function<void()> startDrag, QWidget* parent);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<void()> startDrag_;
};

class FileDetailsView : public QTreeView {
    Q_OBJECT
public:
    FileDetailsView(std::function<void()> startDrag, QWidget* parent);
    // The width the texts of a column need, among the rows the view measures.
    int ContentWidth(int column) const { return sizeHintForColumn(column); }

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    std::function<void()> startDrag_;
};
