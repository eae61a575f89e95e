// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListTreeModel.h"

#include "TextFile.h"

#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPalette>

using stavio::ListNode;

ListTreeModel::ListTreeModel(stavio::ListTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    tree_.AddObserver(this);
}

ListTreeModel::~ListTreeModel() {
    tree_.RemoveObserver(this);
}

QIcon ListTreeModel::ListImage(int index) {
    static const QIcon images[] = {
        QIcon(QStringLiteral(":/icons/folder-closed.svg")),
        QIcon(QStringLiteral(":/icons/media.svg")),
        QIcon(QStringLiteral(":/icons/folder-open.svg")),
        QIcon(QStringLiteral(":/icons/player.svg")),
    };
    return index >= 0 && index < 4 ? images[index] : QIcon();
}

QModelIndex ListTreeModel::IndexOf(const ListNode* node) const {
    if (!node)
        return {};
    return createIndex(node->Row(), 0, const_cast<ListNode*>(node));
}

ListNode* ListTreeModel::NodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<ListNode*>(index.internalPointer()) : nullptr;
}

QModelIndex ListTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 ? IndexOf(tree_.Root()) : QModelIndex();
    const ListNode* node = NodeAt(parent);
    if (row >= rowCount(parent))
        return {};
    return createIndex(row, 0, node->Child(row));
}

QModelIndex ListTreeModel::parent(const QModelIndex& child) const {
    const ListNode* node = NodeAt(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int ListTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return 1; // the root "PLAYER"
    if (parent.column() != 0 || bulk_)
        return 0;
    return NodeAt(parent)->ChildCount();
}

int ListTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ListTreeModel::data(const QModelIndex& index, int role) const {
    const ListNode* node = NodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(stavio::Cp1252ToUtf8(node->Text()));
    case Qt::DecorationRole:
        return ListImage(node == shownSelected_ ? node->SelectedIndex() : node->ImageIndex());
    // An entry whose source is missing is greyed, with its source as the tooltip.
    case Qt::ForegroundRole:
        if (node->MissingSource())
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::ToolTipRole:
        if (const QString tip = toolTips_ ? toolTips_(node) : QString(); !tip.isEmpty())
            return tip;
        if (const std::string* source = node->MissingSource())
            return QFile::decodeName(QByteArray::fromStdString(*source));
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ListTreeModel::flags(const QModelIndex& index) const {
    // Drops are handled by the view for the whole tree; nothing is edited or dragged.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ListTreeModel::SetSelectionModel(QItemSelectionModel* selection) {
    selection_ = selection;
    connect(selection_, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { CurrentChanged(current); });
    SelectionChanged(tree_.Selected());
}

void ListTreeModel::SetToolTips(std::function<QString(const ListNode*)> toolTips) {
    toolTips_ = std::move(toolTips);
}

void ListTreeModel::CurrentChanged(const QModelIndex& current) {
    if (syncing_)
        return;
    ListNode* node = NodeAt(current);
    if (node && node != tree_.Selected())
        tree_.Select(node);
}

void ListTreeModel::NodeAboutToBeInserted(ListNode* parent, int row) {
    beginInsertRows(IndexOf(parent), row, row);
}

void ListTreeModel::NodeInserted(ListNode*) {
    endInsertRows();
}

void ListTreeModel::NodesAboutToBeRemoved(ListNode* parent, int first, int last) {
    beginRemoveRows(IndexOf(parent), first, last);
}

void ListTreeModel::NodesRemoved(ListNode*, int, int) {
    endRemoveRows();
}

void ListTreeModel::SelectionChanged(ListNode* selected) {
    // The tree moves its selection before it removes nodes, so the old one is alive here.
    ListNode* previous = shownSelected_;
    shownSelected_ = selected;
    for (ListNode* node : {previous, selected})
        if (node) {
            const QModelIndex index = IndexOf(node);
            emit dataChanged(index, index, {Qt::DecorationRole});
        }
    ShowSelection(selected);
}

void ListTreeModel::NodeChanged(ListNode* node) {
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index, {Qt::ForegroundRole, Qt::ToolTipRole});
}

void ListTreeModel::BulkChangeBegins() {
    beginResetModel();
    bulk_ = true;
    shownSelected_ = nullptr; // may go with the nodes
    endResetModel();
}

void ListTreeModel::BulkChangeEnded() {
    // One reset instead of a row at a time: the views lay the tree out once.
    beginResetModel();
    bulk_ = false;
    shownSelected_ = tree_.Selected();
    endResetModel();
    ShowSelection(shownSelected_);
}

void ListTreeModel::ShowSelection(ListNode* selected) {
    if (selection_) {
        syncing_ = true;
        const QModelIndex index = IndexOf(selected);
        if (index.isValid())
            selection_->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        else
            selection_->clearCurrentIndex();
        syncing_ = false;
    }
    emit SelectedNodeChanged();
}
