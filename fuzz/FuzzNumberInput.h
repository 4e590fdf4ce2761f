#pragma once

#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "FloatNumberText.h"

// Turns fuzz bytes into the tariff field's world: a locale whose separators
// the text uses, and a text made mostly of the characters that matter there.
struct FuzzNumberInput {
    NumberSeparators Separators;
    QString Text;
};

// Byte 0 picks the locale; byte 1 chooses between the rest read as UTF-8 and
// the rest mapped onto digits, signs, blanks and the locale's separators.
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
        input.Separators = NumberSeparators::Of(QLocale::c());
        return input;
    }
    const QLocale& locale = kLocales[data[0] % std::size(kLocales)];
    input.Separators = NumberSeparators::Of(locale);
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const auto restSize = static_cast<qsizetype>(size - 2);
    if (data[1] & 1) {
        input.Text = QString::fromUtf8(rest, restSize);
        return input;
    }
    const QString alphabet =
        QStringLiteral("0123456789-+ e") + input.Separators.Decimal + input.Separators.Group;
    for (qsizetype i = 0; i < restSize; ++i) {
        input.Text += alphabet.at(static_cast<uint8_t>(rest[i]) % alphabet.size());
    }
    return input;
}
