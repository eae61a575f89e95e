#include "TextFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

// Every what() text of this file is UTF-8: the French texts are written as UTF-8 here and
// the project's own Windows-1252 bytes are converted before they go into a message.

namespace stavio {

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr char kEndOfFile = 0x1A;

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

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

void WriteAll(int fd, const char* data, size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errno, path);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// fsync on a file system that cannot sync (EINVAL) is not an error of the file.
void SyncFile(int fd, const std::string& path) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        throw FileError(errno, path);
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
    default:
        return "Erreur d'E/S " + std::to_string(errnoValue);
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
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
        ::close(fd);
        throw FileError(error, path);
    }
    file_ = ::fdopen(fd, "rb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        throw FileError(error, path);
    }
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
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw FileError(errno, path);
    buffer_.reserve(kChunkSize + 1024);
}

TextLineWriter::~TextLineWriter() {
    Abandon();
}

void TextLineWriter::WriteLine(const std::string& line) {
    if (fd_ < 0)
        throw FileError(EBADF, path_);
    if (line.size() >= kChunkSize) {
        Flush();
        WriteAll(fd_, line.data(), line.size(), path_);
    } else {
        buffer_ += line;
    }
    buffer_ += "\r\n";
    if (buffer_.size() >= kChunkSize)
        Flush();
}

void TextLineWriter::Flush() {
    WriteAll(fd_, buffer_.data(), buffer_.size(), path_);
    buffer_.clear();
}

void TextLineWriter::Commit() {
    if (fd_ < 0)
        throw FileError(EBADF, path_);
    try {
        Flush();
        SyncFile(fd_, path_);
    } catch (...) {
        Abandon();
        throw;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw FileError(errno, path_);
}

void TextLineWriter::Abandon() {
    buffer_.clear();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

// ---------------------------------------------------------------------------------------
// Replacing a file safely

namespace {

// Creates an empty, unique hidden file beside path and returns its name. The file is made
// with 0666 so the umask gives it the permissions any new file of the user would get.
std::string CreateTempBeside(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::mt19937 random(device() ^ static_cast<unsigned>(::getpid()) ^
                        static_cast<unsigned>(std::time(nullptr)));
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "." + name + ".";
        for (int i = 0; i < 6; ++i)
            temp += kLetters[pick(random)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return temp;
        }
        if (errno != EEXIST)
            throw FileError(errno, path);
    }
    throw FileError(EEXIST, path);
}

void SyncFolderOf(const std::string& path) {
    const int fd = ::open(ParentFolder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: some file systems cannot sync a folder
        ::close(fd);
    }
}

} // namespace

namespace {

// The file a path stands for once its symbolic links are followed: saving through a link
// changes the file it points to and keeps the link. A link to a missing file gives that
// file's path, which the save then creates.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0)
            return current;
        target.resize(static_cast<size_t>(length));
        current = target.front() == '/' ? target : ParentFolder(current) + "/" + target;
    }
    throw FileError(ELOOP, path);
}

} // namespace

AtomicTextFile::AtomicTextFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
    struct stat st;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    // A file the user may not write is refused, although the folder would let us replace it.
    if (exists && S_ISREG(st.st_mode) &&
        ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        throw FileError(errno, path_);
    try {
        tempPath_ = CreateTempBeside(target_);
    } catch (const FileError& error) {
        // A folder the user cannot write, holding a file the user can: that file is written
        // in place, at the commit, as nothing else can be done.
        if (exists && S_ISREG(st.st_mode) && (error.Errno() == EACCES || error.Errno() == EPERM)) {
            inPlace_ = true;
            return;
        }
        throw FileError(error.Errno(), path_);
    }
    try {
        writer_ = std::make_unique<TextLineWriter>(tempPath_);
    } catch (const FileError& error) {
        ::unlink(tempPath_.c_str());
        throw FileError(error.Errno(), path_);
    }
}

AtomicTextFile::~AtomicTextFile() {
    if (!committed_ && !inPlace_) {
        writer_.reset();
        ::unlink(tempPath_.c_str());
    }
}

void AtomicTextFile::WriteLine(const std::string& line) {
    if (committed_ || (!writer_ && !inPlace_))
        throw FileError(EBADF, path_);
    if (inPlace_) {
        // Held back until the commit, so the file stays whole if the caller gives up.
        pending_.push_back(line);
        return;
    }
    try {
        writer_->WriteLine(line);
    } catch (const FileError& error) {
        throw FileError(error.Errno(), path_);
    }
}

void AtomicTextFile::Commit() {
    if (committed_ || (!writer_ && !inPlace_))
        throw FileError(EBADF, path_);
    if (inPlace_) {
        try {
            TextLineWriter writer(target_); // truncates; keeps the file's permissions
            for (const std::string& line : pending_)
                writer.WriteLine(line);
            writer.Commit();
        } catch (const FileError& error) {
            throw FileError(error.Errno(), path_);
        }
        committed_ = true;
        return;
    }
    try {
        writer_->Commit();
    } catch (const FileError& error) {
        throw FileError(error.Errno(), path_);
    }
    // A file that is replaced keeps its permissions.
    struct stat st;
    if (::stat(target_.c_str(), &st) == 0)
        ::chmod(tempPath_.c_str(), st.st_mode & 07777);
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        throw FileError(errno, path_);
    committed_ = true;
    SyncFolderOf(target_);
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

// Decodes one UTF-8 character at text[i]; returns its length, or 0 for an invalid byte.
size_t DecodeUtf8(const std::string& text, size_t i, char32_t& c) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    char32_t min;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
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
        const size_t length = DecodeUtf8(text, i, c);
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
