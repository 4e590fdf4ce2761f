#pragma once

#include "core/DateTime.h"

#include <QDate>

// Conversions between the date pickers' dates and date-times (whole days).
QDate ToQDate(TDateTime value);
TDateTime FromQDate(const QDate& date);
