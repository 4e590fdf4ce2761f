#include "SettingsPage.h"

#include "AutoRun.h"
#include "CustomMaskEdit.h"
#include "Fonts.h"
#include "LocaleNumbers.h"
#include "PageColours.h"
#include "core/NumberText.h"
#include "ui_SettingsPage.h"

SettingsPage::SettingsPage(QWidget* parent, ConnectionMeter& meter, MessageBoxes& boxes,
                           AutostartStore& autostart, const OsPlatform& platform, bool isNT,
                           TopLevelErrorHandler& errors, const QLocale& locale)
    : QFrame(parent),
      ui_(std::make_unique<Ui::SettingsPage>()),
      meter_(meter),
      boxes_(boxes),
      autostart_(autostart),
      platform_(platform),
      locale_(locale),
      isNT_(isNT) {
    ui_->setupUi(this);
    page_colours::Apply(*this);
    for (QLabel* label : {ui_->Label4, ui_->Label13}) {
        label->setFont(controls::Tightened(label->font()));
    }
    // The text the field carries before the settings are loaded: 3.6 in the
    // user's number form, stored as is.
    ui_->MaskEdit1->QLineEdit::setText(
        QString::fromStdString(FloatToStr(3.6, SeparatorsOf(locale_).Decimal)));
    connect(ui_->MaskEdit1, &TMaskEdit::ErrorRaised, this,
            [&errors](const QString& message) { errors.ShowMessage(message.toStdString()); });
    connect(ui_->BitBtn6, &QPushButton::clicked, this,
            [this, &errors] { errors.Guard([this] { BitBtn6Click(); }); });
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::LoadProp() {
    // A missing file is written from the still blank record, which writes the
    // default record.
    if (!meter_.PropFileExists()) {
        CreateProp(meter_.Prop());
    }
    meter_.ReadProp();
    const TPropRecord& prop = meter_.Prop();
    ui_->Label5->setText(QString::fromStdString(prop.FirstDate));
    ui_->Label5->adjustSize();
    // The stored cost is shown cut to the field's four characters as it
    // stands (0.125 shows "0,12"), without the field's one-decimal rewrite,
    // so a save that leaves the field alone keeps as much of it as fits.
    const std::string decimal = SeparatorsOf(locale_).Decimal;
    const QString cost = QString::fromStdString(FloatToStr(prop.MinuteCost, decimal));
    ui_->MaskEdit1->QLineEdit::setText(cost.left(TMaskEdit::kMaxLength));
    ui_->MaskEdit1->setCursorPosition(0);
    ui_->CheckBox1->setChecked(isNT_ ? prop.AutoRunNT : prop.AutoRun9x);
}

void SettingsPage::CreateProp(const TPropRecord& record) {
    const TPropRecord written = meter_.SaveProp(record);
    SetAutoRun(isNT_ ? written.AutoRunNT : written.AutoRun9x, autostart_, platform_);
}

void SettingsPage::BitBtn6Click() {
    const TPropRecord& current = meter_.Prop();
    TPropRecord saved;
    saved.MinuteCost =
        StrToFloat(ui_->MaskEdit1->text().toStdString(), SeparatorsOf(locale_).Decimal);
    saved.AutoRunNT = isNT_ ? ui_->CheckBox1->isChecked() : current.AutoRunNT;
    saved.AutoRun9x = isNT_ ? current.AutoRun9x : ui_->CheckBox1->isChecked();
    saved.FirstDate = current.FirstDate.substr(0, TPropRecord::kMaxDateLength);
    // The money texts use the new cost from now on, even if writing fails.
    CreateProp(saved);
    boxes_.Beep();
    boxes_.Information("\r" + tr(kSettingsSaved).toStdString());
}
