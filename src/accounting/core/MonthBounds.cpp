#include "core/MonthBounds.h"

namespace {

int MonthLastDay(int month, int year) {
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            return 30;
        case 2:
            return year % 4 == 0 ? 29 : 28;
        default:
            return 31;
    }
}

}  // namespace

std::string MonthFirstDayText(int month, int year) {
    return "01." + std::to_string(month) + "." + std::to_string(year);
}

std::string MonthLastDayText(int month, int year) {
    return std::to_string(MonthLastDay(month, year)) + "." + std::to_string(month) + "." +
           std::to_string(year);
}

DayRange MonthDays(int month, int year) {
    return {EncodeDate(year, month, 1), EncodeDate(year, month, MonthLastDay(month, year))};
}
