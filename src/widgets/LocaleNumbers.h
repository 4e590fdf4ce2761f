#pragma once

#include <QLocale>

#include "core/NumberText.h"

// The separators of `locale`'s number form for the number texts, as UTF-8
// (Russian and Ukrainian group digits with a no-break space, two bytes there).
inline NumberSeparators SeparatorsOf(const QLocale& locale) {
    return NumberSeparators{locale.decimalPoint().toStdString(),
                            locale.groupSeparator().toStdString()};
}
