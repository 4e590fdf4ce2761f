#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders for the window's controls, so every page is laid out with
// the same colours and fonts. Places are in pixels relative to the parent.
namespace controls {

inline const QColor kMoneyGreen(192, 220, 192);
inline const QColor kMoneyBox(240, 202, 166);
inline const QColor kInfoBk(255, 255, 225);
inline const QColor kGradientInactiveCaption(215, 228, 242);
inline const QColor k3DLight(227, 227, 227);

// The window's font: "MS Sans Serif" where installed, else the system's sans
// font, at the given pixel height.
QFont WindowFont(int pixelSize, bool bold = false);

void SetColours(QWidget* widget, const QColor& background, const QColor& text);
void SetTextColour(QWidget* widget, const QColor& text);

QFrame* Panel(QWidget* parent, int x, int y, int w, int h, QFrame::Shadow bevel);
QLabel* Label(QWidget* parent, int x, int y, const QString& text);
QGroupBox* GroupBox(QWidget* parent, int x, int y, int w, int h, const QString& caption);
QLineEdit* MoneyBox(QWidget* parent, int x, int y, int w, int h);
QLineEdit* DurationBox(QWidget* parent, int x, int y, int w, int h);
QDateEdit* DatePicker(QWidget* parent, int x, int y, int w, int h);
QPushButton* Button(QWidget* parent, int x, int y, int w, int h, const QString& caption);
QFrame* Rule(QWidget* parent, int x, int y, int w);

}  // namespace controls
