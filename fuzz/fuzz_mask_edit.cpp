// The real tariff field on Qt's offscreen platform: assigning any text ends
// (the rewriting loop settles), leaves at most four characters, and a text
// that reads leaves the field in its settled one-decimal form.
#include <QApplication>
#include <cstdint>
#include <cstdlib>

#include "CustomMaskEdit.h"
#include "FuzzCheck.h"
#include "FuzzNumberInput.h"
#include "core/Errors.h"

namespace {

// Never destroyed: libFuzzer ends the process from inside its own loop, and
// Qt's teardown would then run against half-destroyed statics.
QApplication* application = nullptr;

bool Settled(const QString& text, const NumberSeparators& separators) {
    const QString formatted = QString::fromStdString(
        FormatOneDecimal(FloatFieldValue(text.toStdString(), separators), separators));
    return formatted == text || formatted.left(TMaskEdit::kMaxLength) == text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The harness chooses the platform; the field needs no screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    application = new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const FuzzNumberInput input = DecodeNumberInput(data, size);
    // The field takes its separators from the locale the input was decoded for.
    TMaskEdit edit(nullptr, input.Locale);
    const QString assigned =
        QString::fromUtf8(input.Text.data(), static_cast<qsizetype>(input.Text.size()));
    bool readable = true;
    try {
        edit.SetText(assigned);
    } catch (const EConvertError&) {
        readable = false;
    }
    const QString text = edit.Text();
    FUZZ_CHECK(text.size() <= TMaskEdit::kMaxLength);
    if (!readable) {
        // The unreadable text stays as assigned, cut to the field's length.
        FUZZ_CHECK(text == assigned.left(TMaskEdit::kMaxLength));
        return 0;
    }
    FUZZ_CHECK(Settled(text, input.Separators));
    // Settled means settled: rewriting again and assigning the same text
    // change nothing.
    edit.NormalizeText();
    FUZZ_CHECK(edit.Text() == text);
    edit.SetText(text);
    FUZZ_CHECK(edit.Text() == text);
    return 0;
}
