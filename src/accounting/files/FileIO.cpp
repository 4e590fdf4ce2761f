#include "files/FileIO.h"

#include "core/Translation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <limits>

namespace {

// Closes a descriptor on every path out of a file step.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now, reporting the failure that a deferred close would hide.
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            throw InOutErrorFromErrno(errno);
    }

    // Hands the descriptor over to the caller.
    void Release() { fd_ = -1; }

  private:
    int fd_;
};

int OpenOrThrow(const std::filesystem::path& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw InOutErrorFromErrno(errno);
    return fd;
}

// Opens a data file for reading when it is a regular file. The open does not
// wait (a FIFO would block until a writer came), and anything but a regular
// file is refused before a byte is read: a device such as /dev/zero never
// ends, a FIFO may never answer.
int OpenRegularForReading(const std::filesystem::path& path) {
    Descriptor fd(OpenOrThrow(path, O_RDONLY | O_NONBLOCK));
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        throw InOutErrorFromErrno(errno);
    if (S_ISDIR(st.st_mode))
        throw InOutErrorFromErrno(EISDIR);
    if (!S_ISREG(st.st_mode))
        throw NotARegularFile({});
    // Reads of a regular file never wait; the flag goes all the same.
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw InOutErrorFromErrno(errno);
    const int open = fd.Get();
    fd.Release();
    return open;
}

// Reads into `buffer` until it is full or the file ends; returns the count.
std::size_t ReadFully(int fd, char* buffer, std::size_t size, off_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, buffer + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw InOutErrorFromErrno(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void WriteFully(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw InOutErrorFromErrno(errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void SyncFolderOf(const std::filesystem::path& path) {
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    Descriptor dir(OpenOrThrow(folder, O_RDONLY | O_DIRECTORY));
    if (::fsync(dir.Get()) != 0 && errno != EINVAL)
        throw InOutErrorFromErrno(errno);
    dir.Close();
}

constexpr std::string_view kTemporaryMark = ".tmp.";

// Runs one file step on `path` and names that file in the error it throws,
// so a report can tell which file failed; a temporary file's failure is
// named after the file it replaces.
template <typename Step>
auto NamingFile(const std::filesystem::path& path, Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (EInOutError& error) {
        if (error.File.empty()) {
            error.File = path.filename().string();
        }
        throw;
    }
}

std::filesystem::path TemporaryNameFor(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    return path.parent_path() / TemporaryFileName(path.filename().string(), ::getpid(), counter++);
}

}  // namespace

EInOutError InOutErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return EInOutError(EInOutError::kFileNotFound,
                               TranslateText("Errors", "File not found"));
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:  // a folder standing where a data file belongs
            return EInOutError(EInOutError::kAccessDenied,
                               TranslateText("Errors", "File access denied"));
        case ENOSPC:
        case EDQUOT:
            return EInOutError(EInOutError::kDiskFull, TranslateText("Errors", "Disk full"));
        default:
            return EInOutError(
                error, FillText(TranslateText("Errors", "I/O error %1"), {std::to_string(error)}));
    }
}

EInOutError NotARegularFile(std::string_view fileName) {
    return EInOutError(EInOutError::kNotRegularFile, TranslateText("Errors", "Not a regular file"),
                       std::string(fileName));
}

EInOutError ReadBeyondEndOfFile(std::string_view fileName) {
    return EInOutError(EInOutError::kReadBeyondEnd,
                       TranslateText("Errors", "Read beyond end of file"), std::string(fileName));
}

std::string TemporaryFileName(std::string_view fileName, pid_t writer, unsigned serial) {
    return std::string(fileName) + std::string(kTemporaryMark) + std::to_string(writer) + "." +
           std::to_string(serial);
}

std::optional<pid_t> TemporaryFileWriter(std::string_view name, std::string_view fileName) {
    if (!name.starts_with(fileName) || !name.substr(fileName.size()).starts_with(kTemporaryMark)) {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(fileName.size() + kTemporaryMark.size());
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos || dot + 1 == rest.size() ||
        rest.find_first_not_of("0123456789", dot + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    pid_t writer = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + dot, writer);
    if (error != std::errc() || end != rest.data() + dot || writer <= 0) {
        return std::nullopt;
    }
    return writer;
}

HeldFolder::HeldFolder(const std::filesystem::path& path)
    : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

HeldFolder::~HeldFolder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool HeldFolder::StandsAt(const std::filesystem::path& path) const {
    if (fd_ < 0) {
        return true;
    }
    struct stat held {};
    struct stat now {};
    return ::fstat(fd_, &held) == 0 && held.st_nlink > 0 && ::stat(path.c_str(), &now) == 0 &&
           now.st_dev == held.st_dev && now.st_ino == held.st_ino;
}

bool FileExists(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ReadWholeFile(const std::filesystem::path& path, std::size_t most) {
    return NamingFile(path, [&] {
        Descriptor fd(OpenRegularForReading(path));
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0) {
            throw InOutErrorFromErrno(errno);
        }
        // One byte more than the file's size, so the end is seen in one pass;
        // a file that grows while it is read is taken in further steps, up to
        // one byte beyond `most`.
        const std::size_t cap = most == std::numeric_limits<std::size_t>::max() ? most : most + 1;
        std::string bytes;
        std::size_t capacity = std::min(static_cast<std::size_t>(st.st_size) + 1, cap);
        while (capacity > 0) {
            const std::size_t had = bytes.size();
            bytes.resize(had + capacity);
            const std::size_t got =
                ReadFully(fd.Get(), bytes.data() + had, capacity, static_cast<off_t>(had));
            bytes.resize(had + got);
            if (got < capacity) {
                break;
            }
            capacity = std::min(std::max<std::size_t>(bytes.size(), 65536), cap - bytes.size());
        }
        fd.Close();
        return bytes;
    });
}

void ReadInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                  const std::function<std::size_t(std::string_view, bool)>& consume) {
    NamingFile(path, [&] {
        Descriptor fd(OpenRegularForReading(path));
        std::string window;
        off_t offset = 0;
        bool atEnd = false;
        while (!atEnd) {
            const std::size_t had = window.size();
            window.resize(had + pieceSize);
            const std::size_t got = ReadFully(fd.Get(), window.data() + had, pieceSize, offset);
            window.resize(had + got);
            offset += static_cast<off_t>(got);
            atEnd = got < pieceSize;
            const std::size_t taken = consume(window, atEnd);
            window.erase(0, taken);
        }
        fd.Close();
    });
}

std::string ReadPrefix(const std::filesystem::path& path, std::size_t size) {
    return NamingFile(path, [&] {
        Descriptor fd(OpenRegularForReading(path));
        std::string bytes(size, '\0');
        bytes.resize(ReadFully(fd.Get(), bytes.data(), size, 0));
        fd.Close();
        return bytes;
    });
}

std::string ReadTail(const std::filesystem::path& path, std::size_t size) {
    return NamingFile(path, [&] {
        Descriptor fd(OpenRegularForReading(path));
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0)
            throw InOutErrorFromErrno(errno);
        const auto length = static_cast<std::size_t>(st.st_size);
        const std::size_t take = length < size ? length : size;
        std::string bytes(take, '\0');
        bytes.resize(ReadFully(fd.Get(), bytes.data(), take, static_cast<off_t>(length - take)));
        fd.Close();
        return bytes;
    });
}

void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    NamingFile(path, [&] {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                throw InOutErrorFromErrno(EISDIR);
            if (::access(path.c_str(), W_OK) != 0)
                throw InOutErrorFromErrno(errno);
        }
        const std::filesystem::path temp = TemporaryNameFor(path);
        try {
            Descriptor fd(OpenOrThrow(temp, O_WRONLY | O_CREAT | O_EXCL, 0666));
            WriteFully(fd.Get(), bytes);
            if (::fsync(fd.Get()) != 0)
                throw InOutErrorFromErrno(errno);
            fd.Close();
            if (::rename(temp.c_str(), path.c_str()) != 0)
                throw InOutErrorFromErrno(errno);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
        SyncFolderOf(path);
    });
}

void AppendDurably(const std::filesystem::path& path, std::string_view bytes, bool create) {
    NamingFile(path, [&] {
        Descriptor fd(OpenOrThrow(path, O_WRONLY | O_APPEND | (create ? O_CREAT : 0), 0666));
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0)
            throw InOutErrorFromErrno(errno);
        ssize_t n;
        do {
            n = ::write(fd.Get(), bytes.data(), bytes.size());
        } while (n < 0 && errno == EINTR);
        if (n != static_cast<ssize_t>(bytes.size())) {
            const int error = n < 0 ? errno : ENOSPC;
            if (n > 0) {
                // Take the half-written line back off; the file keeps what it had.
                [[maybe_unused]] const int ignored = ::ftruncate(fd.Get(), st.st_size);
            }
            throw InOutErrorFromErrno(error);
        }
        if (::fdatasync(fd.Get()) != 0)
            throw InOutErrorFromErrno(errno);
        fd.Close();
    });
}

void CreateEmptyFile(const std::filesystem::path& path) {
    NamingFile(path, [&] {
        Descriptor fd(OpenOrThrow(path, O_WRONLY | O_CREAT, 0666));
        fd.Close();
    });
}

void DeleteFileIgnoringResult(const std::filesystem::path& path) {
    ::unlink(path.c_str());
}

void SyncFolder(const std::filesystem::path& folder) {
    SyncFolderOf(folder / ".");
}
