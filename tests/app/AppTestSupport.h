// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window tests share besides their fixtures.

#include "../core/TempDir.h"
#include "text.h"

#include <QString>

using stavio::test::ReadBytes;

// Entry k of table in English, as the windows show it.
inline QString EnglishText(const stavio::TextTable& table, int k) {
    return QString::fromStdString(stavio::TextUtf8(table, stavio::Language::English, k));
}
