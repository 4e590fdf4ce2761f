#include "AboutPage.h"

#include "Fonts.h"
#include "PageColours.h"
#include "ui_AboutPage.h"

#include <algorithm>

AboutPage::AboutPage(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::AboutPage>()) {
    ui_->setupUi(this);
    page_colours::Apply(*this);
    // Font sizes other than the window's are set here: a form stores points,
    // and the places were made for pixel sizes.
    ui_->StaticText1->setFont(controls::WindowFont(21, true));
    ui_->Label8->setFont(controls::WindowFont(13));
    ui_->Edit7->setFont(controls::Tightened(ui_->Edit7->font()));
    // The address whole: as wide as its text with the field's inner margins,
    // up to the picture beside it, a pixel smaller at a time where that is
    // short. The form's fonts are in pixels.
    QLineEdit* address = ui_->Edit7;
    const int room = ui_->Image1->x() - address->x();
    const auto needed = [address] {
        return address->fontMetrics().horizontalAdvance(address->text()) + 6;
    };
    QFont font = address->font();
    while (needed() > room && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
        address->setFont(font);
    }
    address->resize(std::min(needed(), room), address->height());
}

AboutPage::~AboutPage() = default;
