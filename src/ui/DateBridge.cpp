#include "DateBridge.h"

#include <cmath>

namespace {
const QDate kDayZero(1899, 12, 30);
}

QDate ToQDate(TDateTime value) {
    return kDayZero.addDays(static_cast<qint64>(std::floor(value)));
}

TDateTime FromQDate(const QDate& date) {
    return static_cast<TDateTime>(kDayZero.daysTo(date));
}
