#pragma once
// What the window tests share besides their fixtures.

#include "text.h"

#include <QString>

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Entry k of table in English, as the windows show it.
inline QString EnglishText(const stavio::TextTable& table, int k) {
    return QString::fromStdString(stavio::TextUtf8(table, stavio::Language::English, k));
}
