#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "core/Errors.h"

// File steps of the data files. Every failure throws EInOutError with the
// run-time's text: "File not found", "File access denied", "Disk full",
// "Read beyond end of file", else "I/O error %d" with the system's code, and
// the name of the file the step was for. The reads take regular files only:
// a FIFO, a device or a socket at a data file's name is refused with "Not a
// regular file" before a byte is read, and a folder with "File access denied".

// The error for a failed system call's errno value.
EInOutError InOutErrorFromErrno(int error);
// The error for something other than a regular file at `fileName`.
EInOutError NotARegularFile(std::string_view fileName);
// The error for the file `fileName` that ended before the expected number of
// bytes.
EInOutError ReadBeyondEndOfFile(std::string_view fileName);

// A folder held open, so that it can be told from one made later under its
// name: while it is held, its inode cannot be given to another.
class HeldFolder {
  public:
    // Holds the folder at `path`; holds nothing when it cannot be opened.
    explicit HeldFolder(const std::filesystem::path& path);
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // The held folder still stands at `path` (true when nothing is held).
    bool StandsAt(const std::filesystem::path& path) const;

  private:
    int fd_ = -1;
};

// A regular file (or anything but a folder) exists at `path`.
bool FileExists(const std::filesystem::path& path);

// The whole file; a file longer than `most` bytes gives only its first
// `most` + 1, so a caller can refuse it without reading it all.
std::string ReadWholeFile(const std::filesystem::path& path,
                          std::size_t most = std::numeric_limits<std::size_t>::max());
// Reads a file front to back in pieces of about `pieceSize` bytes. `consume`
// gets the bytes not yet consumed and whether the file ends there, and
// returns how many of them it took; the rest comes again with the next piece.
void ReadInPieces(const std::filesystem::path& path, std::size_t pieceSize,
                  const std::function<std::size_t(std::string_view, bool)>& consume);

// Up to `size` bytes from the start of the file; fewer when it is shorter.
std::string ReadPrefix(const std::filesystem::path& path, std::size_t size);
// Up to the last `size` bytes of the file.
std::string ReadTail(const std::filesystem::path& path, std::size_t size);

// The name of a replacement of the file `fileName` while process `writer`
// writes it, "<fileName>.tmp.<writer>.<serial>": the process id tells a
// leftover of a killed run from a file still being written.
std::string TemporaryFileName(std::string_view fileName, pid_t writer, unsigned serial);
// The writing process of `name` when it is such a temporary of `fileName`,
// else nullopt.
std::optional<pid_t> TemporaryFileWriter(std::string_view name, std::string_view fileName);

// Replaces `path` atomically: the bytes go to a temporary file in the same
// folder, which is flushed to disk and renamed over the old file, and then
// the folder itself is flushed so the rename survives a power cut. A crash at
// any instant leaves the old or the new contents, never a mix; a failure
// leaves the old file in place. An existing file that may not be written is
// refused with "File access denied", as an overwrite in place would be.
void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Appends `bytes` with a single write on an O_APPEND descriptor and flushes
// them with fdatasync; a write that only partly succeeded is cut back off so
// the file never ends in half a line. With `create` false a missing file
// fails with "File not found".
void AppendDurably(const std::filesystem::path& path, std::string_view bytes, bool create);

// Creates an empty file unless one exists.
void CreateEmptyFile(const std::filesystem::path& path);

// Flushes a folder's entries (a rename in it) to disk. Throws EInOutError.
void SyncFolder(const std::filesystem::path& folder);

// Deletes a file; the result is deliberately not examined.
void DeleteFileIgnoringResult(const std::filesystem::path& path);
