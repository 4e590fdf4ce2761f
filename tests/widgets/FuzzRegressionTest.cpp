// Inputs on which the tariff fuzz targets once stopped: a text with NUL
// bytes is refused with the integer part's error, whose text ends at the
// first NUL, and the field keeps what was assigned.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "CustomMaskEdit.h"
#include "core/Errors.h"
#include "core/NumberText.h"
#include "files/FileIO.h"

namespace {

using testing::StrEq;
using testing::ThrowsMessage;

std::string Regression(const char* name) {
    return ReadWholeFile(std::filesystem::path(VIMO_TEST_DATA_DIR) / "fuzz-regressions" / name);
}

TEST(FuzzRegression, TariffTextWithNulBytesIsRefused) {
    const std::string bytes = Regression("float-text-nul.bin");
    ASSERT_NE(bytes.find('\0'), std::string::npos);
    EXPECT_THAT(
        [&] {
            FloatFieldValue(bytes, NumberSeparators{".", ","});
        },
        ThrowsMessage<EConvertError>(StrEq("'9")));

    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    TMaskEdit edit(nullptr, QLocale::c());
    EXPECT_THROW(edit.SetText(text), EConvertError);
    EXPECT_EQ(edit.Text(), text.left(TMaskEdit::kMaxLength));
}

}  // namespace
