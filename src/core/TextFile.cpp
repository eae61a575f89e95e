// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextFile.h"

#include "FileLayer.h"
#include "Utf8.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Every what() text of this file is UTF-8: the French texts are written as UTF-8 here and
// the project's own Windows-1252 bytes are converted before they go into a message.

namespace stavio {

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr char kEndOfFile = 0x1A;

bool FolderExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string MessageFor(int errnoValue, const std::string& path) {
    // A missing file and a missing folder on its way both come back as ENOENT; the user is
    // told which of the two it was.
    if (errnoValue == ENOENT && !path.empty() && !FolderExists(ParentFolder(path)))
        return FileError::TextFor(ENOTDIR);
    return FileError::TextFor(errnoValue);
}

void Check(int error, const std::string& path) {
    if (error != 0)
        throw FileError(error, path);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Errors

FileError::FileError(int errnoValue, std::string path)
    : std::runtime_error(MessageFor(errnoValue, path)), errno_(errnoValue), path_(std::move(path)) {
}

std::string FileError::TextFor(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return "Fichier introuvable";
    case ENOTDIR:
        return "Chemin d'accès introuvable";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // opening a folder as a file is refused, as it always was
        return "Accès refusé";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disque plein";
    case NotRegularFile:
        return "Pas un fichier ordinaire";
    case ELOOP:
        return "Trop de niveaux de liens symboliques";
    case ENAMETOOLONG:
        return "Nom de fichier trop long";
    case EMFILE:
    case ENFILE:
        return "Trop de fichiers ouverts";
    case ENOMEM:
        return "Mémoire insuffisante";
    case EBUSY:
    case ETXTBSY:
        return "Fichier en cours d'utilisation";
    case EEXIST:
        return "Le fichier existe déjà";
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return "Périphérique introuvable";
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
    case ETIMEDOUT:
        return "Partage réseau indisponible";
    default: // EIO, and whatever else the system may answer
        return "Erreur d'entrée/sortie";
    }
}

namespace {

std::string ConvertMessage(const std::string& lineText) {
    std::string message = "'";
    message += Cp1252ToUtf8(lineText);
    message += "' n'est pas une valeur entière correcte";
    return message;
}

} // namespace

ConvertError::ConvertError(const std::string& lineText)
    : std::runtime_error(ConvertMessage(lineText)) {}

int StrToInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        throw ConvertError(text);
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            throw ConvertError(text);
        value = value * 10 + (c - '0');
        if (value > limit)
            throw ConvertError(text);
    }
    return static_cast<int>(negative ? -value : value);
}

// ---------------------------------------------------------------------------------------
// Reading

TextLineReader::TextLineReader(const std::string& path) : path_(path) {
    // Only ordinary files are read: a named pipe would wait for a writer forever and a
    // device such as /dev/zero would give one endless line.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid())
        throw FileError(errno, path);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw FileError(S_ISDIR(st.st_mode) ? EISDIR : EACCES, path);
    file_ = ::fdopen(fd.Get(), "rb");
    if (!file_)
        throw FileError(errno, path);
    (void)fd.Release(); // the stream closes it
}

TextLineReader::~TextLineReader() {
    if (file_)
        std::fclose(file_);
}

// Makes sure at least one unread byte is in the buffer unless the file is done; returns the
// number of unread bytes. The byte 0x1A is left in the buffer: callers stop at it.
int TextLineReader::Fill() {
    if (pos_ < buffer_.size())
        return static_cast<int>(buffer_.size() - pos_);
    buffer_.clear();
    pos_ = 0;
    if (eof_)
        return 0;
    buffer_.resize(kChunkSize);
    const size_t got = std::fread(buffer_.data(), 1, kChunkSize, file_);
    buffer_.resize(got);
    if (got == 0) {
        eof_ = true;
        if (std::ferror(file_))
            throw FileError(errno ? errno : EIO, path_);
    }
    return static_cast<int>(got);
}

int TextLineReader::Peek() {
    if (Fill() == 0 || buffer_[pos_] == kEndOfFile)
        return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool TextLineReader::AtEnd() {
    return Peek() < 0;
}

std::string TextLineReader::ReadLine() {
    std::string line;
    while (Fill() > 0) {
        const char* start = buffer_.data() + pos_;
        const size_t available = buffer_.size() - pos_;
        size_t n = 0;
        while (n < available && start[n] != '\r' && start[n] != kEndOfFile)
            ++n;
        line.append(start, n);
        pos_ += n;
        if (n == available)
            continue; // the line goes on in the next chunk
        if (start[n] == kEndOfFile)
            return line; // stays unconsumed: the file ends here
        ++pos_;          // the CR
        if (Peek() == '\n')
            ++pos_;
        return line;
    }
    return line;
}

// ---------------------------------------------------------------------------------------
// Writing

TextLineWriter::TextLineWriter(const std::string& path) : path_(path) {
    fd_ = UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd_.Valid())
        throw FileError(errno, path);
    buffer_.reserve(kChunkSize + 1024);
}

TextLineWriter::~TextLineWriter() {
    Abandon();
}

void TextLineWriter::WriteLine(const std::string& line) {
    if (!fd_.Valid())
        throw FileError(EBADF, path_);
    if (line.size() >= kChunkSize) {
        Flush();
        Check(WriteAll(fd_.Get(), line), path_);
    } else {
        buffer_ += line;
    }
    buffer_ += "\r\n";
    if (buffer_.size() >= kChunkSize)
        Flush();
}

void TextLineWriter::Flush() {
    Check(WriteAll(fd_.Get(), buffer_), path_);
    buffer_.clear();
}

void TextLineWriter::Commit() {
    if (!fd_.Valid())
        throw FileError(EBADF, path_);
    try {
        Flush();
        Check(SyncFile(fd_.Get()), path_);
    } catch (...) {
        Abandon();
        throw;
    }
    if (fd_.Close() != 0 && errno != EINTR)
        throw FileError(errno, path_);
}

void TextLineWriter::Abandon() {
    buffer_.clear();
    fd_.Reset();
}

// ---------------------------------------------------------------------------------------
// Replacing a file safely

void AtomicTextFile::WriteLine(const std::string& line) {
    save_.Write(line);
    save_.Write("\r\n");
}

// ---------------------------------------------------------------------------------------
// Windows-1252

namespace {

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 control of the
// same number, so every byte survives a round trip.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int Cp1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighTable[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

std::string Cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x80)
            out += ch;
        else if (byte < 0xA0)
            AppendUtf8(out, kHighTable[byte - 0x80]);
        else
            AppendUtf8(out, byte);
    }
    return out;
}

std::string Utf8ToCp1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8At(text, i, c);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        const int byte = Cp1252Byte(c);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += length;
    }
    return out;
}

bool InCp1252(char32_t c) {
    return Cp1252Byte(c) >= 0;
}

} // namespace stavio
