#include "QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The first pixel row of the label where anything is drawn, -1 for none.
int FirstInkRow(QLabel& label) {
    const QImage image = label.grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                return y;
            }
        }
    }
    return -1;
}

struct ShownBox {
    QString caption;
    QString text;
    int inkRow = -1;
    int lineSpacing = 0;
};

// Runs `show` and reads the box it opens, then closes it with its default
// button.
ShownBox Look(const std::function<void(QtMessageBoxes&)>& show) {
    ShownBox seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        seen.caption = box->windowTitle();
        seen.text = label->text();
        seen.inkRow = FirstInkRow(*label);
        seen.lineSpacing = QFontMetrics(label->font()).lineSpacing();
        box->done(0);
    });
    QtMessageBoxes boxes;
    show(boxes);
    return seen;
}

// The texts begin with a carriage return for an empty first line, which the
// box must show: the words stand on the second line.
TEST(QtMessageBoxes, ShowTheEmptyFirstLineOfATextThatStartsWithACarriageReturn) {
    const std::string saved = "\rДанные успешно сохранены";
    const struct {
        const char* name;
        std::function<void(QtMessageBoxes&)> show;
        const char* caption;
        bool firstLineEmpty;
    } cases[] = {
        {"information", [&](QtMessageBoxes& b) { b.Information(saved); }, "Information", true},
        {"warning", [&](QtMessageBoxes& b) { b.Warning(saved); }, "Warning", true},
        {"confirm", [&](QtMessageBoxes& b) { b.Confirm(saved); }, "Confirm", true},
        {"error", [](QtMessageBoxes& b) { b.Error("", "Disk full."); }, "", false},
        {"line ends inside",
         [](QtMessageBoxes& b) { b.Error("Application Error", "first\r\nsecond"); },
         "Application Error", false},
    };
    for (const auto& c : cases) {
        const ShownBox box = Look(c.show);
        EXPECT_EQ(box.caption, QString::fromUtf8(c.caption)) << c.name;
        EXPECT_FALSE(box.text.contains(QLatin1Char('\r'))) << c.name;
        ASSERT_GE(box.inkRow, 0) << c.name << ": nothing drawn";
        if (c.firstLineEmpty) {
            EXPECT_GE(box.inkRow, box.lineSpacing) << c.name << ": the words are on the first line";
        } else {
            EXPECT_LT(box.inkRow, box.lineSpacing) << c.name << ": an empty line above the words";
        }
    }
}

// Each button of the save question gives its own answer; Esc is "Отмена".
TEST(QtMessageBoxes, TheSaveQuestionAnswersByTheButtonPressed) {
    using Answer = MessageBoxes::SaveAnswer;
    for (const auto& [button, answer] : {std::pair{"&Сохранить", Answer::Save},
                                         {"&Не сохранять", Answer::Discard},
                                         {"", Answer::Cancel}}) {
        QTimer::singleShot(0, [button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* shown : box->buttons()) {
                if (shown->text() == QString::fromUtf8(button)) {
                    return shown->click();
                }
            }
            QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_EQ(QtMessageBoxes().AskToSave("unsaved"), answer) << button;
    }
}

}  // namespace
