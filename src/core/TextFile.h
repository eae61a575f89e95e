// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text files as the program has always read and written them: CR LF after every line;
// on reading, a line ends at CR (an LF right after it is skipped), a lone LF belongs to the
// line, the byte 0x1A ends the file, and reading past the end yields empty lines.

#include "SafeSave.h"
#include "UniqueFd.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace stavio {

// A file error carrying the runtime's French text ("Fichier introuvable", ...); never a bare
// error number.
class FileError : public std::runtime_error {
public:
    FileError(int errnoValue, std::string path);
    int Errno() const { return errno_; }
    const std::string& Path() const { return path_; }
    // The French runtime text alone, without the path.
    static std::string TextFor(int errnoValue);
    // Not an errno: a pipe, a device or a socket stands where a file is to be written.
    static constexpr int NotRegularFile = 1 << 16;

private:
    int errno_;
    std::string path_;
};

// Count line that is not an integer: "'%s' n'est pas une valeur entière correcte".
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const std::string& lineText);
};

// Integer conversion of a count line: optional leading blanks, optional sign, decimal
// digits, 32-bit range. Throws ConvertError otherwise.
int StrToInt(const std::string& text);

// Reads a file line by line with the rules above. Throws FileError when it cannot be opened
// or read.
class TextLineReader {
public:
    explicit TextLineReader(const std::string& path);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    std::string ReadLine();
    // True once the reader stands at the end of the file (or at a 0x1A byte).
    bool AtEnd();
    // The next byte without consuming it, or -1 at the end of the file.
    int Peek();

private:
    int Fill();
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    size_t pos_ = 0;
    bool eof_ = false;
};

// Writes lines ended by CR LF. Every write error throws FileError.
class TextLineWriter {
public:
    // Creates or replaces the file at path.
    explicit TextLineWriter(const std::string& path);
    ~TextLineWriter();
    TextLineWriter(const TextLineWriter&) = delete;
    TextLineWriter& operator=(const TextLineWriter&) = delete;

    void WriteLine(const std::string& line);
    // Flushes to the disk (fsync) and closes; throws FileError on failure.
    void Commit();
    // Closes without flushing; never throws.
    void Abandon();

private:
    void Flush();
    UniqueFd fd_;
    std::string path_;
    std::string buffer_;
};

// Writes a text file through SafeSave (see there), so that the previous file of that name
// survives any failure.
class AtomicTextFile {
public:
    explicit AtomicTextFile(const std::string& path) : save_(path) {}
    AtomicTextFile(const AtomicTextFile&) = delete;
    AtomicTextFile& operator=(const AtomicTextFile&) = delete;

    void WriteLine(const std::string& line);
    void Commit() { save_.Commit(); }

private:
    SafeSave save_;
};

// Windows-1252 <-> UTF-8, for the window and the command line.
std::string Cp1252ToUtf8(const std::string& text);
// Characters outside Windows-1252 become "?".
std::string Utf8ToCp1252(const std::string& text);
// Whether a project text can hold the character c.
bool InCp1252(char32_t c);

} // namespace stavio
