#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/NumberText.h"

namespace {

using testing::StrEq;
using testing::ThrowsMessage;

// The users' form (Russian and Ukrainian: "," and a no-break space), American
// English, and a form whose separators are two UTF-8 bytes each (Arabic).
const NumberSeparators kRussian{",", "\xC2\xA0"};
const NumberSeparators kEnglish{".", ","};
const NumberSeparators kArabic{"\xD9\xAB", "\xD9\xAC"};
const NumberSeparators kForms[] = {kRussian, kEnglish, kArabic};

// Texts below are written with "," for the decimal and "_" for the group
// separator and translated into the form under test.
std::string In(const NumberSeparators& form, std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c == ',') {
            result += form.Decimal;
        } else if (c == '_') {
            result += form.Group;
        } else {
            result += c;
        }
    }
    return result;
}

const struct {
    double value;
    const char* text;
} kGeneralForms[] = {
    {3.6, "3,6"},
    {0.125, "0,125"},
    {5, "5"},
    {-0.18, "-0,18"},
    {0.1 + 0.2, "0,3"},
    {1e-5, "1E-5"},
    {1.5e20, "1,5E20"},
    {-2.5e-300, "-2,5E-300"},
    {123456789012345, "123456789012345"},
    {1234567890123456, "1,23456789012346E15"},
    {0, "0"},
    {std::numeric_limits<double>::quiet_NaN(), "NAN"},
    {std::numeric_limits<double>::infinity(), "INF"},
    {-std::numeric_limits<double>::infinity(), "-INF"},
};

void ExpectGeneralForms() {
    for (const NumberSeparators& form : kForms) {
        for (const auto& c : kGeneralForms) {
            EXPECT_EQ(FloatToStr(c.value, form.Decimal), In(form, c.text))
                << c.value << " with decimal " << form.Decimal;
        }
    }
}

const struct {
    const char* text;
    double value;
} kFloatTexts[] = {
    {"3,6", 3.6}, {" -0,5 ", -0.5},   {"990,", 990},    {",5", 0.5},
    {"+2", 2},    {"1E3", 1000},      {"1,5e-1", 0.15}, {"-0,0", 0},
    {"0012", 12}, {"\t3,6\r\n", 3.6}, {"2E+2", 200},
};

void ExpectFloatTexts() {
    for (const NumberSeparators& form : kForms) {
        for (const auto& c : kFloatTexts) {
            EXPECT_EQ(StrToFloat(In(form, c.text), form.Decimal), c.value)
                << c.text << " with decimal " << form.Decimal;
        }
    }
}

struct FieldValueCase {
    const char* text;
    double value;
};

const FieldValueCase kFieldValues[] = {
    {"", 0.0},
    {"-", 0.0},
    {"3,6", 3.6},
    {"-3,6", -3.6},
    {"-,5", -0.5},
    {",6", 0.0},
    {"-0,5", -0.5},
    {"12", 12.0},
    {"990,", 990.0},
    {"1_234,5", 1234.5},
    {"3,65", 3.65},
    {"0,05", 0.05},
    {"-1_234,5", -1234.5},
    // The sign counts behind blanks the integer reading skips.
    {" -5", -5.0},
    {" -0,5", -0.5},
};

void ExpectFieldValues() {
    for (const NumberSeparators& form : kForms) {
        for (const FieldValueCase& c : kFieldValues) {
            EXPECT_DOUBLE_EQ(FloatFieldValue(In(form, c.text), form), c.value)
                << c.text << " with decimal " << form.Decimal;
        }
    }
}

const struct {
    double value;
    const char* text;
} kOneDecimalForms[] = {
    {0.0, "0,0"},
    {3.6, "3,6"},
    // Halves go away from zero even where the double lies just below the half.
    {3.65, "3,7"},
    {3.64, "3,6"},
    {-3.65, "-3,7"},
    {0.05, "0,1"},
    {1.45, "1,5"},
    {2.25, "2,3"},
    {-0.04, "0,0"},
    {-0.0, "0,0"},
    {9.95, "10,0"},
    {990.0, "990,0"},
    {1234.5, "1_234,5"},
    {999.95, "1_000,0"},
    {-1234567.0, "-1_234_567,0"},
    {std::numeric_limits<double>::denorm_min(), "0,0"},
    // No text stands for these; they show as zero instead of reading past
    // the formatted digits.
    {std::numeric_limits<double>::quiet_NaN(), "0,0"},
    {-std::numeric_limits<double>::infinity(), "0,0"},
};

void ExpectOneDecimalForms() {
    for (const NumberSeparators& form : kForms) {
        for (const auto& c : kOneDecimalForms) {
            EXPECT_EQ(FormatOneDecimal(c.value, form), In(form, c.text))
                << c.value << " with decimal " << form.Decimal;
        }
    }
}

TEST(FloatToStr, WritesTheGeneralFormWithTheSeparatorGiven) {
    ExpectGeneralForms();
}

TEST(StrToFloat, ReadsSignedDecimalsWithTheSeparatorGiven) {
    ExpectFloatTexts();
}

TEST(StrToFloat, RefusesWhatIsNoNumberWithTheRunTimesText) {
    // "\xC2\xA0" is a no-break space: no blank here.
    for (const char* text :
         {"", "-", ",", "1,2,3", "1E", "1E+", "abc", "5 5", "1e999", "--1", "1,5-",
          "\xC2\xA0"
          "5",
          "0x10"}) {
        for (const NumberSeparators& form : kForms) {
            const std::string translated = In(form, text);
            EXPECT_THAT([&] { StrToFloat(translated, form.Decimal); },
                        ThrowsMessage<EConvertError>(
                            StrEq("'" + translated + "' is not a valid floating point value")));
        }
    }
}

TEST(StrToFloat, RefusesAnotherFormsSeparator) {
    const struct {
        const char* text;
        const NumberSeparators& form;
    } cases[] = {{"3.6", kRussian}, {"3,6", kEnglish}, {"3,6", kArabic}};
    for (const auto& c : cases) {
        EXPECT_THAT([&] { StrToFloat(c.text, c.form.Decimal); },
                    ThrowsMessage<EConvertError>(StrEq("'" + std::string(c.text) +
                                                       "' is not a valid floating point value")));
    }
}

TEST(FloatFieldValue, ReadsInEveryForm) {
    ExpectFieldValues();
}

TEST(FloatFieldValue, ErrorsNameTheIntegerPartOrTheWholeText) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"ab", "'ab' is not a valid integer value"},
        {"1-", "'1-' is not a valid integer value"},
        {"x,5", "'x' is not a valid integer value"},
        {"--1", "'--1' is not a valid integer value"},
        {"99999999999", "'99999999999' is not a valid integer value"},
        {"1,2,3", "'1,2,3' is not a valid floating point value"},
        {"1,5e1", "'1,5e1' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        for (const NumberSeparators& form : kForms) {
            EXPECT_THAT([&] { FloatFieldValue(In(form, c.text), form); },
                        ThrowsMessage<EConvertError>(StrEq(In(form, c.message))));
        }
    }
}

TEST(FormatOneDecimal, FormatsInEveryForm) {
    ExpectOneDecimalForms();
}

// The Qt application sets the C library's locale from the environment; in the
// users' ru_RU.UTF-8 printf writes "3,6" and strtod stops reading "3.6" at the
// point. The conversions must not follow it.
TEST(NumberText, DoesNotFollowTheCLibrarysLocale) {
    struct RestoreLocale {
        std::string name = std::setlocale(LC_ALL, nullptr);
        ~RestoreLocale() { std::setlocale(LC_ALL, name.c_str()); }
    } restore;
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr) {
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed";
    }
    ExpectGeneralForms();
    ExpectFloatTexts();
    ExpectFieldValues();
    ExpectOneDecimalForms();
}

}  // namespace
