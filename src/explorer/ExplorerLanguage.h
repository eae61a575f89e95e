// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The languages the explorer components show their own texts in.
enum class ExplorerLanguage { lnFrench, lnEnglish, lnSpanish, lnGerman, lnItalian };
