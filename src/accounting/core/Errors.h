#pragma once

#include <stdexcept>
#include <string>
#include <utility>

// The program's one family of errors. Each carries the exact text the user
// sees; the top-level handler shows `what()` and, for errors that stop the
// program before its window exists, `ClassName()`.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const noexcept { return "Exception"; }
};

// A failed file step. `Code` follows the run-time's numbering: 2 file not
// found, 5 access denied, 100 read beyond end of file, 101 disk full, and
// 1000, beyond every errno value, for something other than a regular file at
// a data file's name; any other failure carries the system's errno value. `File` names the file the
// step was for (its name in the working folder), empty when none is known; it
// is not part of the user's text, which stays the run-time's.
class EInOutError : public Exception {
  public:
    static constexpr int kFileNotFound = 2;
    static constexpr int kAccessDenied = 5;
    static constexpr int kReadBeyondEnd = 100;
    static constexpr int kDiskFull = 101;
    static constexpr int kNotRegularFile = 1000;

    EInOutError(int code, const std::string& message, std::string file = {})
        : Exception(message), Code(code), File(std::move(file)) {}
    const char* ClassName() const noexcept override { return "EInOutError"; }
    int Code;
    std::string File;
};

// A text that does not read as the number or date asked for.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EConvertError"; }
};

// Formats the run-time's texts with their single %s or %d filled in.
std::string InvalidIntegerText(const std::string& text);
std::string InvalidDateText(const std::string& text);
// "Date exceeds maximum of 08.12.2026": a date after today where the pages
// take none.
std::string DateExceedsMaximumText(const std::string& today);
std::string InvalidFloatText(const std::string& text);

// "Cannot open file <name>", "Cannot create file <name>", in the reader's
// language.
std::string CannotOpenFileText(const std::string& fileName);
std::string CannotCreateFileText(const std::string& fileName);

// A file that could not be opened or created as a whole, with its name.
class EFOpenError : public Exception {
  public:
    explicit EFOpenError(const std::string& fileName) : Exception(CannotOpenFileText(fileName)) {}
    const char* ClassName() const noexcept override { return "EFOpenError"; }
};

class EFCreateError : public Exception {
  public:
    explicit EFCreateError(const std::string& fileName)
        : Exception(CannotCreateFileText(fileName)) {}
    const char* ClassName() const noexcept override { return "EFCreateError"; }
};
