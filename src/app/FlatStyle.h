// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The flat look of the dialogs: ordinary controls with a thin border that lights up while the
// pointer is over them.

#include <QRect>
#include <QString>

class QFrame;
class QWidget;

// The style sheet for buttons, entries and text areas below widget.
void ApplyFlatStyle(QWidget* widget);
QString FlatStyleSheet();

// A flat bevel: a thin sunken frame drawn behind other controls.
QFrame* MakeFlatBevel(QWidget* parent, const QString& name, const QRect& geometry);
