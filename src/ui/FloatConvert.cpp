#include "FloatConvert.h"

#include "Errors.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

QString FloatToStr(double value, const QString& decimalSeparator) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string text = buffer;
    // "1E-05" and "1E+20" are written "1E-5" and "1E20".
    if (const auto e = text.find('E'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent.front() == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        text = text.substr(0, e + 1) + (negative ? "-" : "") + exponent;
    }
    return QString::fromStdString(text).replace(QLatin1Char('.'), decimalSeparator);
}

double StrToFloat(const QString& text, const QString& decimalSeparator) {
    const auto invalid = [&text] { return EConvertError(InvalidFloatText(text.toStdString())); };
    const QString trimmed = text.trimmed();
    std::string plain;
    int digits = 0;
    bool separatorSeen = false;
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
        if (trimmed[i] == QLatin1Char('-')) {
            plain += '-';
        }
        ++i;
    }
    while (i < trimmed.size()) {
        const QChar c = trimmed[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            plain += static_cast<char>(c.unicode());
            ++digits;
            ++i;
        } else if (!separatorSeen && !decimalSeparator.isEmpty() &&
                   trimmed.mid(i, decimalSeparator.size()) == decimalSeparator) {
            plain += '.';
            separatorSeen = true;
            i += decimalSeparator.size();
        } else {
            break;
        }
    }
    if (digits == 0) {
        throw invalid();
    }
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('e') || trimmed[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < trimmed.size() &&
            (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) {
            plain += static_cast<char>(trimmed[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        while (i < trimmed.size() && trimmed[i] >= QLatin1Char('0') &&
               trimmed[i] <= QLatin1Char('9')) {
            plain += static_cast<char>(trimmed[i].unicode());
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0) {
            throw invalid();
        }
    }
    if (i != trimmed.size()) {
        throw invalid();
    }
    double value = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    // from_chars takes no "+" and reads "-" itself.
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        throw invalid();
    }
    return value;
}
