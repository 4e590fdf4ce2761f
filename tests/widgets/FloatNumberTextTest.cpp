#include <gtest/gtest.h>

#include <limits>

#include <ostream>

#include "Errors.h"
#include "FloatNumberText.h"

namespace {

// Texts below are written with "," for the decimal and " " for the group
// separator and translated into the locale under test.
const NumberSeparators kRussian = NumberSeparators::Of(QLocale(QLocale::Russian, QLocale::Russia));
const NumberSeparators kEnglish =
    NumberSeparators::Of(QLocale(QLocale::English, QLocale::UnitedStates));

QString In(const NumberSeparators& separators, const char* text) {
    QString result;
    for (const QChar c : QString::fromUtf8(text)) {
        if (c == QLatin1Char(',')) {
            result += separators.Decimal;
        } else if (c == QLatin1Char(' ')) {
            result += separators.Group;
        } else {
            result += c;
        }
    }
    return result;
}

TEST(NumberSeparatorsTest, TakenFromTheLocale) {
    EXPECT_EQ(kRussian.Decimal, QStringLiteral(","));
    EXPECT_EQ(kEnglish.Decimal, QStringLiteral("."));
    EXPECT_EQ(kEnglish.Group, QStringLiteral(","));
}

struct ValueCase {
    const char* text;
    double value;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class FloatFieldValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(FloatFieldValueTest, ReadsInBothLocales) {
    for (const NumberSeparators& separators : {kRussian, kEnglish}) {
        EXPECT_DOUBLE_EQ(FloatFieldValue(In(separators, GetParam().text), separators),
                         GetParam().value)
            << GetParam().text << " with decimal " << separators.Decimal.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, FloatFieldValueTest,
                         testing::Values(ValueCase{"", 0.0}, ValueCase{"-", 0.0},
                                         ValueCase{"3,6", 3.6}, ValueCase{"-3,6", -3.6},
                                         ValueCase{"-,5", -0.5}, ValueCase{",6", 0.0},
                                         ValueCase{"-0,5", -0.5}, ValueCase{"12", 12.0},
                                         ValueCase{"990,", 990.0}, ValueCase{"1 234,5", 1234.5},
                                         ValueCase{"3,65", 3.65}, ValueCase{"0,05", 0.05}));

TEST(FloatFieldValueErrors, BadIntegerPartNamesThatPart) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"ab", "'ab' is not a valid integer value"},
        {"1-", "'1-' is not a valid integer value"},
        {"x,5", "'x' is not a valid integer value"},
        {"--1", "'--1' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            FloatFieldValue(In(kRussian, c.text), kRussian);
            ADD_FAILURE() << c.text << " was read";
        } catch (const EConvertError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST(FloatFieldValueErrors, BadFractionNamesTheWholeText) {
    try {
        FloatFieldValue(QStringLiteral("1,2,3"), kRussian);
        ADD_FAILURE() << "a second separator was read";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'1,2,3' is not a valid floating point value");
    }
}

struct FormatCase {
    double value;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.value;
}

class FormatOneDecimalTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatOneDecimalTest, FormatsInBothLocales) {
    for (const NumberSeparators& separators : {kRussian, kEnglish}) {
        EXPECT_EQ(FormatOneDecimal(GetParam().value, separators), In(separators, GetParam().text))
            << GetParam().value;
    }
}

// Halves go away from zero even where the double lies just below the half.
INSTANTIATE_TEST_SUITE_P(
    Values, FormatOneDecimalTest,
    testing::Values(FormatCase{0.0, "0,0"}, FormatCase{3.6, "3,6"}, FormatCase{3.65, "3,7"},
                    FormatCase{3.64, "3,6"}, FormatCase{-3.65, "-3,7"}, FormatCase{0.05, "0,1"},
                    FormatCase{1.45, "1,5"}, FormatCase{2.25, "2,3"}, FormatCase{-0.04, "0,0"},
                    FormatCase{-0.0, "0,0"}, FormatCase{9.95, "10,0"}, FormatCase{990.0, "990,0"},
                    FormatCase{1234.5, "1 234,5"}, FormatCase{999.95, "1 000,0"},
                    FormatCase{-1234567.0, "-1 234 567,0"},
                    // No text stands for these; they show as zero instead of
                    // reading past the formatted digits.
                    FormatCase{std::numeric_limits<double>::quiet_NaN(), "0,0"},
                    FormatCase{-std::numeric_limits<double>::infinity(), "0,0"}));

}  // namespace
