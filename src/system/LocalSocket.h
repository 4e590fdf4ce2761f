#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

// A Unix stream socket at a path in the file system, through which a later
// start asks the running copy to show its window. Plain system calls: the
// program needs no network library for one line between two of its copies.

// An open descriptor, closed with its owner.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();

  private:
    int fd_ = -1;
};

// A listening socket; its file goes with it.
class LocalListener {
  public:
    LocalListener() = default;
    LocalListener(LocalListener&&) = delete;
    ~LocalListener();

    // Listens at `path`, which only its user may then connect to (the
    // folder it is in should be private as well), in place of a socket
    // file a killed copy left. Gives the errno of the step that failed, or
    // 0 when it listens.
    int Listen(const std::filesystem::path& path);

    // The listening descriptor, non-blocking; -1 before Listen worked.
    int Descriptor() const { return fd_.Get(); }

    // The next connection that waits, non-blocking; none when none waits.
    UniqueFd Accept() const;

  private:
    UniqueFd fd_;
    std::filesystem::path path_;
};

// Connects to the socket at `path` and sends `line`, within `patience` for
// the connection and as much again for the sending; false when either
// fails.
bool SendLocalLine(const std::filesystem::path& path, std::string_view line,
                   std::chrono::milliseconds patience);

// Reads what a non-blocking connection has ready into `into`, up to `limit`
// bytes in all; false once the other side closed or the connection failed.
bool ReadAvailable(int fd, std::string& into, std::size_t limit);
