#pragma once

#include "MessageBoxes.h"

#include <exception>
#include <functional>
#include <iostream>
#include <string>

// The text of an error box: a full stop is appended when the message's last
// character sorts after "." (so "Disk full" gets one, "1." or "abc," do not).
std::string ErrorBoxText(const std::string& message);

// The text of the box shown when the program cannot even build its window:
// "Exception <class> in module <module> at <address>.\n<message>" with a full
// stop appended when the message is not empty and does not end with one.
std::string ApplicationErrorText(const std::string& className, const std::string& moduleName,
                                 const void* address, const std::string& message);

// The line `log` gets for each error box, so a program started from a
// terminal or a session log keeps a record: "vimo: error: <text>", the text on
// one line, followed by " (<file>)" when the error names the file it was for.
std::string ErrorLogLine(const std::string& text, const std::string& file = {});

// Shows an error that stopped the program before its window existed, in the
// "Application Error" box, and returns the program's exit code, 1.
int ReportApplicationError(MessageBoxes& boxes, const std::exception& error,
                           const std::string& moduleName, std::ostream& log = std::cerr);

// The application's top-level handler. Every event handler and the tick run
// through Guard, so no exception ever reaches Qt's event loop; an error ends
// the operation and is shown in a box with the error icon, "OK" and the
// application's empty title as caption, and written to `log` as a line.
class TopLevelErrorHandler {
  public:
    explicit TopLevelErrorHandler(MessageBoxes& boxes, std::ostream& log = std::cerr)
        : boxes_(boxes), log_(log) {}

    // At most this many error boxes stand open inside one another (a box
    // waits modally while the minute tick goes on); further errors go to the
    // standard error stream only, so unattended failures cannot pile up
    // without bound.
    static constexpr int kMaxOpenBoxes = 10;

    void Show(const std::exception& error);
    // The same for an error already turned into its message.
    void ShowMessage(const std::string& message);
    // Runs `action`; returns false when it ended with an error (already shown).
    bool Guard(const std::function<void()>& action);

  private:
    void ShowText(const std::string& text, const std::string& file = {});

    MessageBoxes& boxes_;
    std::ostream& log_;
    int openBoxes_ = 0;
};
