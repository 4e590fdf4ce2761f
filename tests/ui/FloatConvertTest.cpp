#include "Errors.h"
#include "FloatConvert.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kComma = QStringLiteral(",");

TEST(FloatToStr, WritesTheGeneralFormWithTheSeparatorGiven) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {3.6, "3,6"},       {0.125, "0,125"},
        {5, "5"},           {-0.18, "-0,18"},
        {0.1 + 0.2, "0,3"}, {1e-5, "1E-5"},
        {1.5e20, "1,5E20"}, {123456789012345, "123456789012345"},
        {0, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToStr(c.value, kComma), c.text) << c.value;
    }
    EXPECT_EQ(FloatToStr(3.6, QStringLiteral(".")), "3.6");
}

TEST(StrToFloat, ReadsSignedDecimalsWithTheSeparatorGiven) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"3,6", 3.6},  {" -0,5 ", -0.5}, {"990,", 990}, {",5", 0.5},  {"+2", 2},
        {"1E3", 1000}, {"1,5e-1", 0.15}, {"-0,0", 0},   {"0012", 12},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StrToFloat(QString::fromUtf8(c.text), kComma), c.value) << c.text;
    }
    EXPECT_EQ(StrToFloat(QStringLiteral("3.6"), QStringLiteral(".")), 3.6);
}

TEST(StrToFloat, RefusesWhatIsNoNumberWithTheRunTimesText) {
    for (const char* text :
         {"", "-", ",", "3.6", "1,2,3", "1E", "1E+", "abc", "5 5", "1e999", "--1", "1,5-"}) {
        try {
            StrToFloat(QString::fromUtf8(text), kComma);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

}  // namespace
