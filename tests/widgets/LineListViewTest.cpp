#include "LineListView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kLines = {"[01.03.2010] 10:00-10:05", "[02.03.2010] 11:00-11:45",
                                         "[03.03.2010] 12:00-12:01   Аварийное завершение !",
                                         "[04.03.2010] 13:00-13:30", "[05.03.2010] 14:00-14:10"};

class LineListViewTest : public testing::Test {
  protected:
    LineListViewTest() {
        view.resize(260, 152);
        view.SetLines(kLines);
        view.show();
        QApplication::clipboard()->clear();
    }
    // A point on the given line of the viewport.
    QPoint OnLine(int line) const {
        return {20, line * QFontMetrics(view.font()).lineSpacing() + 2};
    }
    void Click(int line, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, OnLine(line));
    }
    // What Ctrl+C puts on the clipboard.
    QString Copied() {
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }

    LineListView view;
};

TEST_F(LineListViewTest, SelectsWholeLinesAndCopiesThem) {
    const QString a = QString::fromStdString(kLines[0]), b = QString::fromStdString(kLines[1]),
                  c = QString::fromStdString(kLines[2]), d = QString::fromStdString(kLines[3]),
                  e = QString::fromStdString(kLines[4]);
    const struct {
        const char* name;
        std::function<void()> act;
        QString copied;
    } cases[] = {
        {"nothing selected", [] {}, ""},
        {"a click", [&] { Click(1); }, b},
        {"a click and a shift-click",
         [&] {
             Click(1);
             Click(3, Qt::ShiftModifier);
         },
         b + "\n" + c + "\n" + d},
        {"upwards",
         [&] {
             Click(4);
             Click(2, Qt::ShiftModifier);
         },
         c + "\n" + d + "\n" + e},
        {"a drag",
         [&] {
             QTest::mousePress(view.viewport(), Qt::LeftButton, {}, OnLine(0));
             QMouseEvent move(QEvent::MouseMove, OnLine(2), view.viewport()->mapToGlobal(OnLine(2)),
                              Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(view.viewport(), &move);
             QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, OnLine(2));
         },
         a + "\n" + b + "\n" + c},
        {"shift and the arrow keys",
         [&] {
             Click(2);
             QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
             QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
             QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);  // stays on the last
         },
         c + "\n" + d + "\n" + e},
        {"an arrow key alone",
         [&] {
             Click(2);
             QTest::keyClick(&view, Qt::Key_Up);
         },
         b},
        {"end",
         [&] {
             Click(0);
             QTest::keyClick(&view, Qt::Key_End);
         },
         e},
        {"all", [&] { QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier); }, view.Text()},
        {"below the last line", [&] { Click(9); }, e},
    };
    for (const auto& row : cases) {
        view.SetLines(kLines);  // a new report drops the old selection
        row.act();
        EXPECT_EQ(Copied(), row.copied) << row.name;
        EXPECT_EQ(view.SelectedText(), row.copied) << row.name;
    }
    EXPECT_EQ(view.Text(), a + "\n" + b + "\n" + c + "\n" + d + "\n" + e);
}

// A million lines: the scroll bars reach the last line and the end of the
// widest, a line far down is drawn when scrolled to, in the Text colour.
TEST_F(LineListViewTest, ScrollsThroughAMillionLinesAndDrawsThoseInSight) {
    std::vector<std::string> lines(1'000'000, "[06.03.2010] 15:00-15:20");
    lines[777'777] = kLines[2];  // the widest, with two-byte letters
    view.SetLines(lines);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Text, Qt::blue);
    view.setPalette(palette);

    const int visible = view.viewport()->height() / QFontMetrics(view.font()).lineSpacing();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 1'000'000 - visible);
    const int widest =
        QFontMetrics(view.font()).horizontalAdvance(QString::fromStdString(kLines[2]));
    EXPECT_GE(view.horizontalScrollBar()->maximum() + view.viewport()->width(), widest);
    EXPECT_LT(view.horizontalScrollBar()->maximum() + view.viewport()->width(), widest + 20);

    const auto blueRows = [this] {
        const QImage image = view.viewport()->grab().toImage();
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.blue() > 200 && pixel.red() < 100 && pixel.green() < 100) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    view.verticalScrollBar()->setValue(900'000);
    EXPECT_GT(blueRows(), visible * 3) << "the lines in sight are not drawn in blue";
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_EQ(view.SelectedText().toStdString(), lines.back());

    view.SetLines({});
    EXPECT_EQ(blueRows(), 0);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
}

}  // namespace
