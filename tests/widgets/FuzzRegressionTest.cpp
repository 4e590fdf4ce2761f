// Inputs on which the tariff fuzz targets once stopped: a text with NUL
// bytes is refused with the integer part's error, whose text ends at the
// first NUL, and the field keeps what was assigned.
#include <gtest/gtest.h>

#include <filesystem>

#include "CustomMaskEdit.h"
#include "Errors.h"
#include "FileIO.h"
#include "FloatNumberText.h"

namespace {

QString Regression(const char* name) {
    const std::string bytes =
        ReadWholeFile(std::filesystem::path(VIMO_TEST_DATA_DIR) / "fuzz-regressions" / name);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

TEST(FuzzRegression, TariffTextWithNulBytesIsRefused) {
    const QString text = Regression("float-text-nul.bin");
    ASSERT_TRUE(text.contains(QChar(u'\0')));
    try {
        FloatFieldValue(text, NumberSeparators::Of(QLocale::c()));
        FAIL() << "a tariff text with NUL bytes was read";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'9");
    }

    TMaskEdit edit(nullptr, QLocale::c());
    EXPECT_THROW(edit.SetText(text), EConvertError);
    EXPECT_EQ(edit.Text(), text.left(TMaskEdit::kMaxLength));
}

}  // namespace
