#include "ErrorHandler.h"

#include "Errors.h"

#include <cstdint>
#include <cstdio>

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
    std::string text = "Exception " + className + " in module " + moduleName + " at " +
                       addressText + ".\n" + message;
    if (!message.empty() && message.back() != '.') {
        text += ".";
    }
    return text;
}

int ReportApplicationError(MessageBoxes& boxes, const std::exception& error,
                           const std::string& moduleName) {
    const auto* known = dynamic_cast<const Exception*>(&error);
    // No code address is known for a C++ exception; the field shows zero.
    boxes.Error("Application Error",
                ApplicationErrorText(known != nullptr ? known->ClassName() : "Exception",
                                     moduleName, nullptr, error.what()));
    return 1;
}

void TopLevelErrorHandler::Show(const std::exception& error) {
    ShowMessage(error.what());
}

void TopLevelErrorHandler::ShowMessage(const std::string& message) {
    ShowText(ErrorBoxText(message));
}

void TopLevelErrorHandler::ShowText(const std::string& text) {
    if (openBoxes_ >= kMaxOpenBoxes) {
        std::fprintf(stderr, "vimo: error (no further box while %d are open): %s\n", openBoxes_,
                     text.c_str());
        return;
    }
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
        ShowText("Unknown error.");
    }
    return false;
}
