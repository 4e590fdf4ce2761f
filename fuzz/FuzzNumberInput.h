#pragma once

#include <QLocale>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "LocaleNumbers.h"
#include "core/NumberText.h"

// Turns fuzz bytes into the tariff field's world: a locale, its separators as
// the number texts take them, and a UTF-8 text made mostly of the characters
// that matter there.
struct FuzzNumberInput {
    QLocale Locale = QLocale::c();
    NumberSeparators Separators = SeparatorsOf(QLocale::c());
    std::string Text;
};

// Byte 0 picks the locale; byte 1 chooses between the rest taken as it is
// and the rest mapped onto digits, signs, blanks and the locale's separators.
inline FuzzNumberInput DecodeNumberInput(const uint8_t* data, std::size_t size) {
    static const QLocale kLocales[] = {
        QLocale::c(),
        QLocale(QLocale::Russian, QLocale::Russia),        // "," and a no-break space
        QLocale(QLocale::German, QLocale::Germany),        // "," and "."
        QLocale(QLocale::English, QLocale::UnitedStates),  // "." and ","
        QLocale(QLocale::French, QLocale::France),         // "," and a narrow no-break space
        QLocale(QLocale::German, QLocale::Switzerland),    // "." and a right quote
        QLocale(QLocale::Arabic, QLocale::Egypt),          // Arabic separators
    };
    FuzzNumberInput input;
    if (size < 2) {
        return input;
    }
    input.Locale = kLocales[data[0] % std::size(kLocales)];
    input.Separators = SeparatorsOf(input.Locale);
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const std::size_t restSize = size - 2;
    if (data[1] & 1) {
        input.Text.assign(rest, restSize);
        return input;
    }
    const std::string alphabet[] = {
        "0",
        "1",
        "2",
        "3",
        "4",
        "5",
        "6",
        "7",
        "8",
        "9",
        "-",
        "+",
        " ",
        "e",
        input.Separators.Decimal,
        input.Separators.Group,
    };
    for (std::size_t i = 0; i < restSize; ++i) {
        input.Text += alphabet[static_cast<uint8_t>(rest[i]) % std::size(alphabet)];
    }
    return input;
}
