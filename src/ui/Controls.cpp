#include "Controls.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace controls {

QFont WindowFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void SetColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget->setPalette(palette);
}

QFrame* Panel(QWidget* parent, int x, int y, int w, int h, QFrame::Shadow bevel) {
    auto* panel = new QFrame(parent);
    panel->setGeometry(x, y, w, h);
    if (bevel != QFrame::Plain) {
        panel->setFrameStyle(QFrame::Panel | bevel);
        panel->setLineWidth(1);
    }
    return panel;
}

QLabel* Label(QWidget* parent, int x, int y, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QGroupBox* GroupBox(QWidget* parent, int x, int y, int w, int h, const QString& caption) {
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(x, y, w, h);
    SetColours(box, kMoneyGreen, Qt::blue);
    return box;
}

QLineEdit* MoneyBox(QWidget* parent, int x, int y, int w, int h) {
    auto* box = new QLineEdit(parent);
    box->setGeometry(x, y, w, h);
    box->setReadOnly(true);
    box->setFont(WindowFont(12, true));
    SetColours(box, kMoneyBox, Qt::darkBlue);
    return box;
}

QLineEdit* DurationBox(QWidget* parent, int x, int y, int w, int h) {
    auto* box = new QLineEdit(parent);
    box->setGeometry(x, y, w, h);
    box->setReadOnly(true);
    box->setFrame(false);
    box->setFont(WindowFont(11, true));
    SetColours(box, k3DLight, Qt::darkBlue);
    return box;
}

QDateEdit* DatePicker(QWidget* parent, int x, int y, int w, int h) {
    auto* picker = new QDateEdit(parent);
    picker->setGeometry(x, y, w, h);
    picker->setCalendarPopup(true);
    // A date typed digit by digit changes once it is complete, not at every
    // digit: half-typed dates would raise the period warning.
    picker->setKeyboardTracking(false);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    SetColours(picker, kInfoBk, Qt::black);
    return picker;
}

QPushButton* Button(QWidget* parent, int x, int y, int w, int h, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, y, w, h);
    return button;
}

QFrame* Rule(QWidget* parent, int x, int y, int w) {
    auto* rule = new QFrame(parent);
    rule->setGeometry(x, y, w, 2);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return rule;
}

}  // namespace controls
