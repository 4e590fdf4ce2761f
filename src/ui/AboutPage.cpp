#include "AboutPage.h"

#include "Fonts.h"
#include "ui_AboutPage.h"

AboutPage::AboutPage(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::AboutPage>()) {
    ui_->setupUi(this);
    // Font sizes other than the window's are set here: a form stores points,
    // and the places were made for pixel sizes.
    ui_->StaticText1->setFont(controls::WindowFont(21, true));
    ui_->Label8->setFont(controls::WindowFont(13));
    ui_->Edit7->setFont(controls::Tightened(ui_->Edit7->font()));
}

AboutPage::~AboutPage() = default;
