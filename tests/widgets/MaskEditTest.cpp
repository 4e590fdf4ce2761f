#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "CustomMaskEdit.h"
#include "LocaleNumbers.h"
#include "core/Errors.h"

namespace {

using testing::StrEq;
using testing::ThrowsMessage;

// The field takes the system's number form as in the program; ctest runs
// these cases under C.UTF-8 ("3.6"), ru_RU.UTF-8 and uk_UA.UTF-8 ("3,6").
// Texts are written with "," and translated.
class MaskEditTest : public testing::Test {
  protected:
    void SetUp() override {
        TMaskEdit::SetOverwriteMode(false);
        QObject::connect(&edit, &TMaskEdit::ErrorRaised, [this](const QString& message) {
            errors.push_back(message.toStdString());
        });
    }
    void TearDown() override { TMaskEdit::SetOverwriteMode(false); }

    QString L(const char* text) const {
        return QString::fromUtf8(text).replace(QLatin1Char(','), locale.decimalPoint());
    }
    // Puts a text into the field as it is, as earlier editing may have left it.
    void Start(const char* text, int caret) {
        edit.QLineEdit::setText(L(text));
        edit.setCursorPosition(caret);
    }
    void Type(const char* keys) { QTest::keyClicks(&edit, L(keys)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&edit, key, modifiers);
    }

    QLocale locale = QLocale::system();
    TMaskEdit edit;
    std::vector<std::string> errors;
};

// QApplication sets the C library's locale from the environment, as it does
// in the program; the cases only show that the field's texts do not follow
// that locale if it really is the user's here.
TEST(MaskEditEnvironment, CLibraryLocaleIsTheEnvironments) {
    const char* wanted = std::getenv("LC_ALL");
    if (wanted == nullptr || *wanted == '\0') {
        GTEST_SKIP() << "LC_ALL is not set";
    }
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), wanted)
        << "is the locale installed? (locale -a)";
}

TEST(SeparatorsOf, GivesTheLocalesSeparatorsInUtf8) {
    const struct {
        QLocale::Language language;
        QLocale::Territory territory;
        const char* decimal;
        const char* group;
    } cases[] = {
        {QLocale::Russian, QLocale::Russia, ",", "\xC2\xA0"},
        {QLocale::Ukrainian, QLocale::Ukraine, ",", "\xC2\xA0"},
        {QLocale::English, QLocale::UnitedStates, ".", ","},
        {QLocale::Arabic, QLocale::Egypt, "\xD9\xAB", "\xD9\xAC"},
    };
    for (const auto& c : cases) {
        const NumberSeparators separators = SeparatorsOf(QLocale(c.language, c.territory));
        EXPECT_EQ(separators.Decimal, c.decimal)
            << QLocale::languageToString(c.language).toStdString();
        EXPECT_EQ(separators.Group, c.group) << QLocale::languageToString(c.language).toStdString();
    }
}

TEST_F(MaskEditTest, StartsAsZero) {
    EXPECT_EQ(edit.Text(), L("0,0"));
    EXPECT_EQ(edit.maxLength(), 4);
}

struct TypingCase {
    const char* name;
    const char* start;
    int caret;
    const char* typed;
    const char* text;
    int caretAfter;
};

// The typed-character filter, the length limit and the rewriting after each key.
const TypingCase kTyping[] = {
    {"digit into empty field", "", 0, "5", "5,0", 1},
    {"two digits into empty field", "", 0, "12", "12,0", 2},
    {"second separator refused", "5,0", 1, ",", "5,0", 1},
    {"separator at end refused", "3,6", 3, ",", "3,6", 3},
    {"second decimal rounded away", "3,6", 3, "5", "3,7", 3},
    {"second decimal rounded down", "3,6", 3, "4", "3,6", 3},
    {"minus into empty field", "", 0, "-", "0,0", 1},
    {"minus in front", "3,6", 0, "-", "-3,6", 1},
    {"second minus refused", "-3,6", 0, "-", "-3,6", 0},
    {"minus after start refused", "3,6", 1, "-", "3,6", 1},
    {"digit in front of minus refused", "-3,6", 0, "7", "-3,6", 0},
    {"digit after minus", "-3", 1, "1", "-13,", 2},
    {"full field refuses digit", "99,0", 4, "1", "99,0", 4},
    {"letters refused", "3,6", 3, "a+ e", "3,6", 3},
    {"minus into empty field is lost", "", 0, "-7", "7,0", 2},
    {"separator in front of minus refused", "-3", 0, ",", "-3", 0},
};

TEST_F(MaskEditTest, Typing) {
    for (const TypingCase& c : kTyping) {
        Start(c.start, c.caret);
        Type(c.typed);
        EXPECT_EQ(edit.Text(), L(c.text)) << c.name;
        EXPECT_EQ(edit.cursorPosition(), c.caretAfter) << c.name;
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MaskEditTest, SelectAllThenTypeReplacesTheText) {
    edit.SetText(L("3,6"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Type("1");
    EXPECT_EQ(edit.Text(), L("1,0"));
    Type("2");
    EXPECT_EQ(edit.Text(), L("12,0"));
}

struct DeletingCase {
    const char* name;
    const char* start;
    int caret;
    Qt::Key key;
    const char* text;
};

const DeletingCase kDeleting[] = {
    {"backspace before separator", "3,6", 1, Qt::Key_Backspace, "0,0"},
    {"backspace the separator", "99,0", 3, Qt::Key_Backspace, "990,"},
    {"backspace the decimal", "3,6", 3, Qt::Key_Backspace, "3,0"},
    {"backspace at start", "3,6", 0, Qt::Key_Backspace, "3,6"},
    {"delete the separator", "3,6", 1, Qt::Key_Delete, "36,0"},
    {"delete at end", "3,6", 3, Qt::Key_Delete, "3,6"},
    {"delete the minus", "-3,6", 0, Qt::Key_Delete, "3,6"},
};

TEST_F(MaskEditTest, Deleting) {
    for (const DeletingCase& c : kDeleting) {
        Start(c.start, c.caret);
        Key(c.key);
        EXPECT_EQ(edit.Text(), L(c.text)) << c.name;
        EXPECT_LE(edit.cursorPosition(), edit.Text().size()) << c.name;
    }
}

TEST_F(MaskEditTest, DeletingASelection) {
    edit.SetText(L("12,5"));
    edit.setSelection(0, 2);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), L("0,0"));
}

TEST_F(MaskEditTest, OverwriteModeReplacesTheNextCharacterInEveryField) {
    TMaskEdit other;
    Key(Qt::Key_Insert);
    EXPECT_TRUE(TMaskEdit::OverwriteMode());

    Start("3,6", 2);
    Type("7");
    EXPECT_EQ(edit.Text(), L("3,7"));
    Start("99,0", 0);
    Type("5");
    EXPECT_EQ(edit.Text(), L("59,0"));

    // The mode belongs to all fields: the other one overwrites too, and the
    // Insert key there switches both back.
    other.QLineEdit::setText(L("3,6"));
    other.setCursorPosition(0);
    QTest::keyClicks(&other, QStringLiteral("4"));
    EXPECT_EQ(other.Text(), L("4,6"));
    QTest::keyClick(&other, Qt::Key_Insert);
    Start("3,6", 0);
    Type("4");
    EXPECT_EQ(edit.Text(), L("43,6"));
}

TEST_F(MaskEditTest, AssigningText) {
    edit.SetText(L("3,6"));
    edit.setCursorPosition(2);
    edit.SetText(L("3,6"));
    EXPECT_EQ(edit.cursorPosition(), 2) << "an equal text must change nothing";

    edit.SetText(L("3,65"));
    EXPECT_EQ(edit.Text(), L("3,7"));
    EXPECT_EQ(edit.cursorPosition(), 0);

    edit.SetText(L("12345"));
    EXPECT_EQ(edit.Text(), L("123,"));
    edit.SetText(L("-5"));
    EXPECT_EQ(edit.Text(), L("-5,0"));
}

TEST_F(MaskEditTest, AssigningANonNumberThrowsAndKeepsTheText) {
    EXPECT_THAT([this] { edit.SetText(QStringLiteral("abc")); },
                ThrowsMessage<EConvertError>(StrEq("'abc' is not a valid integer value")));
    EXPECT_EQ(edit.Text(), QStringLiteral("abc"));
    EXPECT_THROW(edit.FloatValue(), EConvertError);
}

TEST_F(MaskEditTest, PasteSkipsTheFilterButNotTheLength) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(L("12,5"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), L("12,5"));

    // Too long as a whole: nothing goes in, the replaced selection stays gone.
    clipboard->setText(QStringLiteral("12345"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit.Text(), L("0,0"));
    EXPECT_FALSE(TMaskEdit::OverwriteMode()) << "Shift+Insert must not toggle the mode";
    EXPECT_TRUE(errors.empty());
}

TEST_F(MaskEditTest, PastedNonNumberIsReportedAndKept) {
    QGuiApplication::clipboard()->setText(QStringLiteral("ab"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), QStringLiteral("ab"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "'ab' is not a valid integer value");

    // Editing that text again reports again instead of throwing through Qt.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), QStringLiteral("a"));
    EXPECT_EQ(errors.size(), 2u);
}

std::vector<std::string> warnings;

void RecordWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg) {
        warnings.push_back(message.toStdString());
    }
}

TEST(MaskEditWithoutReceiver, WarnsOfTheError) {
    TMaskEdit edit;
    QGuiApplication::clipboard()->setText(QStringLiteral("ab"));
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordWarning);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    qInstallMessageHandler(previous);
    EXPECT_EQ(edit.Text(), QStringLiteral("ab"));
    EXPECT_THAT(warnings, testing::ElementsAre("'ab' is not a valid integer value"));
}

TEST_F(MaskEditTest, CutAndCopy) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    edit.SetText(L("3,6"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), L("3,6"));
    EXPECT_EQ(edit.Text(), L("3,6"));

    edit.SetText(L("12,5"));
    edit.setSelection(0, 1);
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("1"));
    EXPECT_EQ(edit.Text(), L("2,5"));
}

TEST_F(MaskEditTest, ShortcutsThatWouldBypassTheRulesDoNothing) {
    edit.SetText(L("12,5"));
    edit.setCursorPosition(4);
    Key(Qt::Key_Backspace, Qt::ControlModifier);  // delete a word
    Key(Qt::Key_Z, Qt::ControlModifier);          // undo
    Key(Qt::Key_K, Qt::ControlModifier);          // delete to the end
    EXPECT_EQ(edit.Text(), L("12,5"));
}

TEST_F(MaskEditTest, ReadOnlyFieldIgnoresEditing) {
    edit.SetText(L("3,6"));
    edit.setReadOnly(true);
    edit.setCursorPosition(0);
    Type("5-");
    Key(Qt::Key_Delete);
    QGuiApplication::clipboard()->setText(QStringLiteral("7"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), L("3,6"));
}

}  // namespace
