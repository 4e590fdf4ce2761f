#include "core/MonthBounds.h"

std::string MonthFirstDayText(int month, int year) {
    return "01." + std::to_string(month) + "." + std::to_string(year);
}

std::string MonthLastDayText(int month, int year) {
    std::string last;
    switch (month) {
        case 4:
        case 6:
        case 9:
        case 11:
            last = "30.";
            break;
        case 2:
            last = year % 4 == 0 ? "29." : "28.";
            break;
        default:
            last = "31.";
    }
    return last + std::to_string(month) + "." + std::to_string(year);
}
