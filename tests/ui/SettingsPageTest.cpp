#include "AutoRun.h"
#include "Form1Harness.h"
#include "TrayIcon.h"
#include "files/PropRecord.h"

#include "CustomMaskEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string PropBytes(const Form1Harness& h) {
    return ReadBytes(h.dir / "Propert.dat");
}

double StoredCost(const Form1Harness& h) {
    double cost = 0;
    std::memcpy(&cost, PropBytes(h).data(), sizeof cost);
    return cost;
}

void Save(TForm1& form) {
    Ctl<QPushButton>(form, "BitBtn6")->click();
}

// A field text written with a comma, in the user's number form.
QString Num(const char* commaText) {
    return QString::fromUtf8(commaText).replace(QLatin1Char(','), QLocale().decimalPoint());
}

const RecordingBoxes::Shown kSaved{"Information", "Information", "\rДанные успешно сохранены"};

TEST(SettingsPage, FirstStartWritesTheDefaultRecordAndRemovesALeftOverAutostartEntry) {
    Form1Harness h;
    h.autostart.path = (h.dir / "vimo").string();
    TForm1& form = h.Start();
    const std::string bytes = PropBytes(h);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(std::bit_cast<uint64_t>(StoredCost(h)), 0x400CCCCCCCCCCCCDu);
    EXPECT_EQ(bytes.substr(8, 13), std::string("\0\0\x0A", 3) + "15.08.2004");
    EXPECT_FALSE(h.autostart.path);
    EXPECT_EQ(Ctl<TMaskEdit>(form, "MaskEdit1")->text(), Num("3,6"));
    EXPECT_FALSE(Ctl<QCheckBox>(form, "CheckBox1")->isChecked());
    EXPECT_EQ(Ctl<QLabel>(form, "Label5")->text(), "15.08.2004");
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(SettingsPage, DeletingTheSettingsFileResetsTariffAutostartAndFirstRecordingDate) {
    Form1Harness h;
    WritePropFile(h.dir.Path(), TPropRecord{5.5, false, true, "15.08.2003"}, h.clock);
    h.autostart.path = (h.dir / "vimo").string();
    TForm1& form = h.Start();
    EXPECT_EQ(Ctl<TMaskEdit>(form, "MaskEdit1")->text(), Num("5,5"));
    EXPECT_TRUE(Ctl<QCheckBox>(form, "CheckBox1")->isChecked());
    EXPECT_EQ(Ctl<QLabel>(form, "Label5")->text(), "15.08.2003");

    h.Kill();
    fs::remove(h.dir / "Propert.dat");
    h.clock.Set(2004, 9, 1, 8, 0, 0);
    TForm1& again = h.Start();
    EXPECT_EQ(Ctl<TMaskEdit>(again, "MaskEdit1")->text(), Num("3,6"));
    EXPECT_FALSE(Ctl<QCheckBox>(again, "CheckBox1")->isChecked());
    EXPECT_EQ(Ctl<QLabel>(again, "Label5")->text(), "01.09.2004");
    EXPECT_EQ(again.Meter().Prop().MinuteCost, 3.6);
    EXPECT_FALSE(h.autostart.path);
}

TEST(SettingsPage, SavingWithTheBoxCheckedSetsOnlyTheRunningFamilysByte) {
    const struct {
        OsFamily family;
        bool other;        // the other family's byte as stored before
        std::size_t byte;  // the byte that follows the box
    } cases[] = {
        {OsFamily::Linux, false, 9},    {OsFamily::Linux, true, 9},
        {OsFamily::WindowsNT, true, 9}, {OsFamily::Windows9x, false, 8},
        {OsFamily::Windows9x, true, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.family) * 10 + c.other);
        Form1Harness h(c.family);
        const bool boxIs9x = c.byte == 8;
        WritePropFile(
            h.dir.Path(),
            TPropRecord{2.5, boxIs9x ? false : c.other, boxIs9x ? c.other : false, "15.08.2003"},
            h.clock);
        const std::string before = PropBytes(h);
        TForm1& form = h.Start();
        EXPECT_FALSE(Ctl<QCheckBox>(form, "CheckBox1")->isChecked());
        Ctl<QCheckBox>(form, "CheckBox1")->setChecked(true);
        Save(form);
        std::string expected = before;
        expected[c.byte] = 1;
        EXPECT_EQ(PropBytes(h), expected);
        EXPECT_EQ(h.autostart.path, (h.dir / "vimo").string());
        EXPECT_EQ(h.boxes.beeps, 1);
        EXPECT_EQ(h.boxes.shown, std::vector<RecordingBoxes::Shown>{kSaved});

        // Unchecking removes the entry again and clears the byte.
        Ctl<QCheckBox>(form, "CheckBox1")->setChecked(false);
        Save(form);
        EXPECT_EQ(PropBytes(h), before);
        EXPECT_FALSE(h.autostart.path);
    }
}

TEST(SettingsPage, SavingTwiceKeepsOneEntryWithThePathOfThisRun) {
    Form1Harness h;
    h.platform.executable = (h.dir / "vimo").string();
    TForm1& form = h.Start();
    Ctl<QCheckBox>(form, "CheckBox1")->setChecked(true);
    Save(form);
    EXPECT_EQ(h.autostart.path, (h.dir / "vimo").string());

    h.Kill();
    h.platform.executable = (h.dir / "vimo-renamed").string();
    TForm1& again = h.Start();
    EXPECT_TRUE(Ctl<QCheckBox>(again, "CheckBox1")->isChecked());
    Save(again);
    Save(again);
    EXPECT_EQ(h.autostart.path, (h.dir / "vimo-renamed").string());
}

TEST(SettingsPage, AnAutostartFolderThatCannotBeWrittenChangesNothingAndSaysNothing) {
    Form1Harness h;
    h.autostart.locked = true;
    TForm1& form = h.Start();
    Ctl<QCheckBox>(form, "CheckBox1")->setChecked(true);
    Save(form);
    EXPECT_FALSE(h.autostart.path);
    EXPECT_EQ(PropBytes(h)[9], 1);  // the choice is still recorded
    EXPECT_EQ(h.boxes.shown, std::vector<RecordingBoxes::Shown>{kSaved});
}

TEST(SettingsPage, TheFirstRecordingDateSurvivesAnyNumberOfSaves) {
    Form1Harness h;
    h.clock.Set(2004, 1, 2, 10, 0, 0);
    TForm1& form = h.Start();
    const std::string date = PropBytes(h).substr(10, 11);
    for (const char* cost : {"1,5", "7,0", "0,1", "12,3", "3,6"}) {
        h.clock.AdvanceDays(40);
        Ctl<TMaskEdit>(form, "MaskEdit1")->SetText(Num(cost));
        Save(form);
        EXPECT_EQ(PropBytes(h).substr(10, 11), date);
        EXPECT_EQ(form.Meter().Prop().FirstDate, "02.01.2004");
    }
    EXPECT_EQ(StoredCost(h), 3.6);
    EXPECT_EQ(Ctl<QLabel>(form, "Label5")->text(), "02.01.2004");
}

TEST(SettingsPage, AStoredCostLongerThanTheFieldShowsCutAndSavesTheCutValue) {
    const struct {
        double stored;
        const char* shown;
        double saved;
    } cases[] = {
        {0.125, "0,12", 0.12}, {3.6, "3,6", 3.6},     {12.75, "12,7", 12.7},
        {100, "100", 100},     {-0.18, "-0,1", -0.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        Form1Harness h;
        WritePropFile(h.dir.Path(), TPropRecord{c.stored, false, false, "15.08.2003"}, h.clock);
        TForm1& form = h.Start();
        EXPECT_EQ(Ctl<TMaskEdit>(form, "MaskEdit1")->text(), Num(c.shown));
        Save(form);
        EXPECT_EQ(StoredCost(h), c.saved);
        EXPECT_EQ(form.Meter().Prop().MinuteCost, c.saved);
    }
}

TEST(SettingsPage, ARecordWithAnEmptyDateSavesTheDefaultRecordInstead) {
    Form1Harness h;
    std::string bytes(TPropRecord{5.0, false, true, "15.08.2003"}.Serialize().data(), 24);
    bytes[10] = 0;
    WriteBytes(h.dir / "Propert.dat", bytes);
    h.autostart.path = (h.dir / "vimo").string();
    TForm1& form = h.Start();
    EXPECT_EQ(Ctl<QLabel>(form, "Label5")->text(), "");
    EXPECT_EQ(Ctl<TMaskEdit>(form, "MaskEdit1")->text(), Num("5"));
    EXPECT_TRUE(Ctl<QCheckBox>(form, "CheckBox1")->isChecked());
    h.boxes.shown.clear();  // start-up reports the empty date to the main page

    Save(form);
    EXPECT_EQ(PropBytes(h),
              std::string(DefaultPropRecord(h.clock).Serialize().data(), TPropRecord::kSize));
    EXPECT_FALSE(h.autostart.path);                  // the default record has autostart off
    EXPECT_EQ(form.Meter().Prop().MinuteCost, 5.0);  // what the page showed, until the next start
    EXPECT_TRUE(form.Meter().Prop().AutoRunNT);
    EXPECT_EQ(h.boxes.shown, std::vector<RecordingBoxes::Shown>{kSaved});
}

TEST(SettingsPage, ATariffThatIsNotANumberIsRefusedAndNothingIsSaved) {
    Form1Harness h;
    TForm1& form = h.Start();
    const std::string before = PropBytes(h);
    // The separator of the other number form is no separator here.
    const std::string foreign = QLocale().decimalPoint() == "," ? "1.5" : "1,5";
    for (const std::string& text :
         {std::string("ab"), std::string(), std::string("-"), foreign, Num("1,2,").toStdString()}) {
        SCOPED_TRACE(text);
        h.boxes.shown.clear();
        // Pasted text skips the field's filter and can leave such texts.
        Ctl<TMaskEdit>(form, "MaskEdit1")->QLineEdit::setText(QString::fromStdString(text));
        Ctl<QCheckBox>(form, "CheckBox1")->setChecked(true);
        Save(form);
        EXPECT_EQ(h.boxes.Errors(),
                  std::vector<std::string>{"'" + text + "' is not a valid floating point value."});
        EXPECT_EQ(h.boxes.shown.size(), 1u);  // no confirmation
        EXPECT_EQ(PropBytes(h), before);
        EXPECT_EQ(form.Meter().Prop().MinuteCost, 3.6);
        EXPECT_FALSE(h.autostart.path);
    }
}

TEST(SettingsPage, ANegativeTariffIsTypedSavedAndShownWithAMinusEverywhere) {
    Form1Harness h;
    TForm1& form = h.Start();
    for (int i = 0; i < 36; ++i) {
        h.Tick(true);
    }
    Ctl<TMaskEdit>(form, "MaskEdit1")->SetText(Num("0,5"));
    Ctl<TMaskEdit>(form, "MaskEdit1")->setCursorPosition(0);
    QKeyEvent minus(QEvent::KeyPress, Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    QApplication::sendEvent(Ctl<TMaskEdit>(form, "MaskEdit1"), &minus);
    ASSERT_EQ(Ctl<TMaskEdit>(form, "MaskEdit1")->text(), Num("-0,5"));
    Save(form);
    EXPECT_EQ(StoredCost(h), -0.5);

    h.Tick(false);
    h.Kill();
    TForm1& again = h.Start();
    EXPECT_EQ(Ctl<TMaskEdit>(again, "MaskEdit1")->text(), Num("-0,5"));
    EXPECT_EQ(Ctl<QLineEdit>(again, "Edit2")->text(), "-18 коп.");  // 36 minutes today
    EXPECT_EQ(Ctl<QLineEdit>(again, "Edit1")->text(), "-18 коп.");
    EXPECT_TRUE(h.form->TrayIcon1().Hint().contains(QString::fromUtf8("(-0,18 гр.)")))
        << h.form->TrayIcon1().Hint().toStdString();
    Save(again);
    EXPECT_EQ(StoredCost(h), -0.5);
}

TEST(SetAutoRun, WritesOneDesktopEntryForThisRunAndRemovesIt) {
    TempDir dir;
    DesktopAutostartStore store(dir / "autostart" / "Vimo.desktop");
    FakePlatform platform;
    platform.executable = "/home/user/first/vimo";
    SetAutoRun(true, store, platform);
    platform.executable = "/home/user/second place/vimo";
    SetAutoRun(true, store, platform);
    EXPECT_EQ(store.ReadProgramPath(), "/home/user/second place/vimo");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "autostart"), {}), 1);
    SetAutoRun(false, store, platform);
    EXPECT_FALSE(fs::exists(store.File()));
    SetAutoRun(false, store, platform);  // nothing to remove: nothing happens
}

TEST(SetAutoRun, AnEntryThatCannotBeWrittenOrAPathUnknownChangesNothingSilently) {
    TempDir dir;
    WriteBytes(dir / "config", "a plain file where the folder should be");
    DesktopAutostartStore blocked(dir / "config" / "autostart" / "Vimo.desktop");
    FakePlatform platform;
    EXPECT_NO_THROW(SetAutoRun(true, blocked, platform));
    EXPECT_NO_THROW(SetAutoRun(false, blocked, platform));

    DesktopAutostartStore store(dir / "autostart" / "Vimo.desktop");
    SetAutoRun(true, store, platform);
    platform.executable.reset();
    SetAutoRun(true, store, platform);
    EXPECT_EQ(store.ReadProgramPath(), "/opt/vimo/vimo");  // the entry there stays
}

}  // namespace
