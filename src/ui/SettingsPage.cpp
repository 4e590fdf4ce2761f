// The settings page and the settings file: the tariff, starting with the
// desktop session, and the first-recording date.
#include "AutoRun.h"
#include "CustomMaskEdit.h"
#include "FloatConvert.h"
#include "MainWindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>

void TMainWindow::LoadProp() {
    // A missing file is written from the still blank record, which writes the
    // default record.
    if (!PropFileExists(folder_)) {
        CreateProp(Prop);
    }
    Prop = ReadPropFile(folder_);
    Label5->setText(QString::fromStdString(Prop.FirstDate));
    Label5->adjustSize();
    // The stored cost is shown cut to the field's four characters as it
    // stands (0.125 shows "0,12"), without the field's one-decimal rewrite,
    // so a save that leaves the field alone keeps as much of it as fits.
    const QString cost = FloatToStr(Prop.MinuteCost, QLocale().decimalPoint());
    MaskEdit1->QLineEdit::setText(cost.left(TMaskEdit::kMaxLength));
    MaskEdit1->setCursorPosition(0);
    CheckBox1->setChecked(IsNT ? Prop.AutoRunNT : Prop.AutoRun9x);
}

void TMainWindow::CreateProp(const TPropRecord& record) {
    const TPropRecord written = WritePropFile(folder_, record, clock_);
    SetAutoRun(IsNT ? written.AutoRunNT : written.AutoRun9x, autostart_, platform_);
}

void TMainWindow::BitBtn6Click() {
    TPropRecord saved;
    saved.MinuteCost = StrToFloat(MaskEdit1->text(), QLocale().decimalPoint());
    saved.AutoRunNT = IsNT ? CheckBox1->isChecked() : Prop.AutoRunNT;
    saved.AutoRun9x = IsNT ? Prop.AutoRun9x : CheckBox1->isChecked();
    saved.FirstDate = Prop.FirstDate.substr(0, TPropRecord::kMaxDateLength);
    // The money texts use the new cost from now on, even if writing fails.
    Prop = saved;
    CreateProp(saved);
    boxes_.Beep();
    boxes_.Information(kSettingsSaved);
}
