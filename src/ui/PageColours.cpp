#include "PageColours.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

#include <optional>
#include <stdexcept>
#include <string>

namespace page_colours {
namespace {

constexpr QRgb kBlack = 0x000000;
constexpr QRgb kBlue = 0x0000ff;
constexpr QRgb kNavy = 0x000080;
constexpr QRgb kRed = 0xff0000;
constexpr QRgb kWhite = 0xffffff;
constexpr QRgb kMintGreen = 0xc0dcc0;
constexpr QRgb kPaleBlue = 0xd7e4f2;
constexpr QRgb kCream = 0xffffe1;
constexpr QRgb kPeach = 0xf0caa6;
constexpr QRgb kLightGrey = 0xe3e3e3;
constexpr QRgb kYellow = 0xffff00;

// Ink is the text of labels, fields and buttons; paper, where a control has
// its own, is the fill of its window, field and button faces.
struct ControlColours {
    const char* page;
    const char* control;
    QRgb ink;
    std::optional<QRgb> paper;
};

constexpr ControlColours kTable[] = {
    {"Main", "Panel1", kBlack, kMintGreen},
    {"Main", "Panel2", kWhite, kPaleBlue},
    {"Main", "GroupBox1", kBlue, kMintGreen},
    {"Main", "GroupBox2", kBlue, kMintGreen},
    {"Main", "ComboBox1", kBlack, kCream},
    {"Main", "DateTimePicker1", kBlack, kCream},
    {"Main", "DateTimePicker2", kBlack, kCream},
    {"Main", "DateTimePicker3", kBlack, kCream},
    {"Main", "Edit1", kNavy, kPeach},
    {"Main", "Edit2", kNavy, kPeach},
    {"Main", "Edit3", kNavy, kPeach},
    {"Main", "Edit4", kNavy, kLightGrey},
    {"Main", "Edit5", kNavy, kLightGrey},
    {"Main", "Edit6", kNavy, kLightGrey},
    {"Statistics", "Statistics", kBlue, kMintGreen},
    {"Statistics", "RadioGroup1", kBlue, kMintGreen},
    {"Statistics", "StatWnd", kBlue, kMintGreen},
    {"Statistics", "DateTimePicker4", kBlack, kCream},
    {"Statistics", "DateTimePicker5", kBlack, kCream},
    {"Statistics", "DateTimePicker6", kBlack, kCream},
    {"Statistics", "ComboBox2", kBlack, kCream},
    {"Statistics", "SpinEdit1", kBlack, kCream},
    {"Statistics", "Memo1", kBlue, std::nullopt},
    {"Statistics", "BitBtn1", kBlue, std::nullopt},
    {"Statistics", "BitBtn5", kBlue, std::nullopt},
    {"Properties", "Properties", kBlue, kMintGreen},
    {"Properties", "GroupBox3", kBlue, kMintGreen},
    {"Properties", "MaskEdit1", kBlack, kWhite},
    {"About", "About", kBlack, kMintGreen},
    {"About", "StaticText1", kBlue, kYellow},
    {"About", "Label8", kRed, std::nullopt},
    {"About", "Edit7", kBlack, kMintGreen},
    {"About", "Edit8", kBlack, kMintGreen},
};

QWidget& Control(QWidget& page, const QString& name) {
    if (page.objectName() == name) {
        return page;
    }
    auto* control = page.findChild<QWidget*>(name);
    if (control == nullptr) {
        throw std::logic_error("page " + page.objectName().toStdString() + " has no control " +
                               name.toStdString());
    }
    return *control;
}

// Only the roles set here are the control's own; the rest still follow its
// parent and the application.
QPalette PaletteOf(const ControlColours& colours) {
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            palette.setColor(group, role, QColor(colours.ink));
        }
        if (colours.paper) {
            for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
                palette.setColor(group, role, QColor(*colours.paper));
            }
        }
    }
    return palette;
}

}  // namespace

void Apply(QWidget& page) {
    const QString pageName = page.objectName();
    for (const ControlColours& colours : kTable) {
        if (pageName == QLatin1String(colours.page)) {
            Control(page, QLatin1String(colours.control)).setPalette(PaletteOf(colours));
        }
    }
}

}  // namespace page_colours
