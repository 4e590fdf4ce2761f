#include "ErrorHandler.h"

#include "core/Translation.h"

#include "core/Errors.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

std::string ApplicationErrorText(const std::string& className, const std::string& moduleName,
                                 const void* address, const std::string& message) {
    char addressText[32];
    std::snprintf(addressText, sizeof addressText, "%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
    std::string text = FillText(TranslateText("Errors", "Exception %1 in module %2 at %3."),
                                {className, moduleName, addressText}) +
                       "\n" + message;
    if (!message.empty() && message.back() != '.') {
        text += ".";
    }
    return text;
}

namespace {

// An error's text on one line, with the file it names.
std::string OneLine(const std::string& text, const std::string& file) {
    std::string line = text;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (!file.empty()) {
        line += " (" + file + ")";
    }
    return line;
}

}  // namespace

std::string ErrorLogLine(const std::string& text, const std::string& file) {
    return "vimo: error: " + OneLine(text, file);
}

int ReportApplicationError(MessageBoxes& boxes, const std::exception& error,
                           const std::string& moduleName, std::ostream& log) {
    const auto* known = dynamic_cast<const Exception*>(&error);
    // No code address is known for a C++ exception; the field shows zero.
    const std::string text = ApplicationErrorText(
        known != nullptr ? known->ClassName() : "Exception", moduleName, nullptr, error.what());
    log << ErrorLogLine(text) << std::endl;
    boxes.Error(TranslateText("Errors", "Application Error"), text);
    return 1;
}

void TopLevelErrorHandler::Show(const std::exception& error) {
    const auto* fileStep = dynamic_cast<const EInOutError*>(&error);
    ShowText(ErrorBoxText(error.what()), fileStep != nullptr ? fileStep->File : std::string());
}

void TopLevelErrorHandler::ShowMessage(const std::string& message) {
    ShowText(ErrorBoxText(message));
}

void TopLevelErrorHandler::ShowText(const std::string& text, const std::string& file) {
    if (openBoxes_ >= kMaxOpenBoxes) {
        log_ << "vimo: error (no further box while " << openBoxes_
             << " are open): " << OneLine(text, file) << std::endl;
        return;
    }
    log_ << ErrorLogLine(text, file) << std::endl;
    ++openBoxes_;
    boxes_.Error("", text);
    --openBoxes_;
}

bool TopLevelErrorHandler::Guard(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        // Exception derives from std::exception; its what() is the user text.
        Show(error);
    } catch (...) {
        ShowText(TranslateText("Errors", "Unknown error."));
    }
    return false;
}
