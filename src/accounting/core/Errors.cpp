#include "core/Errors.h"

std::string InvalidIntegerText(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

std::string InvalidDateText(const std::string& text) {
    return "'" + text + "' is not a valid date";
}

std::string InvalidFloatText(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}
