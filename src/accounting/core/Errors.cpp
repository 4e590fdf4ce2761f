#include "core/Errors.h"

#include "core/Translation.h"

std::string InvalidIntegerText(const std::string& text) {
    return FillText(TranslateText("Errors", "'%1' is not a valid integer value"), {text});
}

std::string InvalidDateText(const std::string& text) {
    return FillText(TranslateText("Errors", "'%1' is not a valid date"), {text});
}

std::string InvalidFloatText(const std::string& text) {
    return FillText(TranslateText("Errors", "'%1' is not a valid floating point value"), {text});
}

std::string DateExceedsMaximumText(const std::string& today) {
    return FillText(TranslateText("Errors", "Date exceeds maximum of %1"), {today});
}

std::string CannotOpenFileText(const std::string& fileName) {
    return FillText(TranslateText("Errors", "Cannot open file %1"), {fileName});
}

std::string CannotCreateFileText(const std::string& fileName) {
    return FillText(TranslateText("Errors", "Cannot create file %1"), {fileName});
}
