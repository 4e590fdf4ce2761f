#include "DateBridge.h"
#include "Form1Harness.h"
#include "TrayIcon.h"
#include "system/WorkDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<bool> PanelsShown(const TForm1& form) {
    return {!Ctl<QFrame>(form, "Main")->isHidden(), !Ctl<QFrame>(form, "Statistics")->isHidden(),
            !Ctl<QFrame>(form, "Properties")->isHidden(), !Ctl<QFrame>(form, "About")->isHidden()};
}

}  // namespace

TEST(Window, HasTheDesignedFrameTabsAndMenu) {
    Form1Harness h;
    TForm1& form = h.Start();
    EXPECT_FALSE(form.isVisible());  // the tray icon alone shows at start
    EXPECT_EQ(form.windowTitle(), Text("Vimo  1.0"));
    EXPECT_EQ(form.size(), QSize(287, 234));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.pos(), QPoint(375, 105));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    ASSERT_EQ(Ctl<QTabBar>(form, "TabControl1")->count(), 4);
    EXPECT_EQ(Ctl<QTabBar>(form, "TabControl1")->tabText(3), Text("О программе"));
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{true, false, false, false}));

    // As shown: "Не отключать" only while a stop at the budget is pending.
    QStringList menu, names;
    for (QAction* action : form.PopupMenu1()->actions()) {
        if (!action->isVisible()) {
            continue;
        }
        menu << (action->isSeparator() ? QStringLiteral("-") : action->text());
        names << action->objectName();
    }
    EXPECT_EQ(menu, (QStringList{Text("Главная"), Text("Статистика"), Text("Настройки"),
                                 Text("О программе"), Text("Обзор"), "-", Text("Выход")}));
    EXPECT_EQ(names, (QStringList{"N1", "N2", "N3", "N4", "N7", "N5", "N6"}));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit1")->geometry(), QRect(146, 24, 111, 21));
    // The About page's address is shown whole, within the field's margins.
    const auto* address = Ctl<QLineEdit>(form, "Edit7");
    EXPECT_LE(address->fontMetrics().horizontalAdvance(address->text()) + 4, address->width());
    EXPECT_EQ(Ctl<QDateEdit>(form, "DateTimePicker1")->displayFormat(),
              QStringLiteral("dd.MM.yyyy"));
    EXPECT_TRUE(Ctl<QDateEdit>(form, "DateTimePicker1")->calendarPopup());
    EXPECT_FALSE(Ctl<QLabel>(form, "Image1")->pixmap().isNull());  // the JPEG pictures decode
    EXPECT_EQ(Ctl<QLabel>(form, "Image1")->pixmap().size(), QSize(378, 353));
    EXPECT_EQ(Ctl<QLabel>(form, "Image2")->pixmap().size(), QSize(73, 68));
}

TEST(Window, TabsAndTrayMenuSwitchPagesEachKeepingItsOwnState) {
    Form1Harness h;
    TForm1& form = h.Start();

    Ctl<QTabBar>(form, "TabControl1")->setCurrentIndex(2);  // as a click on the tab does
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{false, false, true, false}));

    Ctl<QAction>(form, "N2")->trigger();  // "Статистика" while the window is hidden
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Ctl<QTabBar>(form, "TabControl1")->currentIndex(), 1);
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{false, true, false, false}));

    Ctl<QAction>(form, "N1")->trigger();
    Ctl<QRadioButton>(form, "RadioButton2")->click();  // period view on the main page
    EXPECT_TRUE(Ctl<QGroupBox>(form, "GroupBox1")->isHidden());
    Ctl<QAction>(form, "N4")->trigger();
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{false, false, false, true}));
    Ctl<QTabBar>(form, "TabControl1")->setCurrentIndex(0);
    EXPECT_FALSE(Ctl<QGroupBox>(form, "GroupBox2")->isHidden());

    form.hide();
    form.TrayIcon1DblClick();  // shows again on the page last shown
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{true, false, false, false}));

    Ctl<QAction>(form, "N3")->trigger();
    form.hide();
    form.ShowOnRequest("sway-1");  // another start in the folder: the page last shown again
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{false, false, true, false}));
    // The desktop's token of that start reaches the desktop; the tray's
    // own ways of showing have none.
    EXPECT_EQ(h.activation.tokens, (QStringList{"", "", "", "", "", "sway-1"}));

    form.ChangePage(7);  // no such page: none shows
    EXPECT_EQ(PanelsShown(form), (std::vector<bool>{false, false, false, false}));
}

TEST(Window, ExitAsksFirstAndOnlyYesEndsTheProgram) {
    Form1Harness h;
    TForm1& form = h.Start();
    bool closed = false;
    QObject::connect(&form, &TForm1::Closed, [&] { closed = true; });
    Ctl<QAction>(form, "N1")->trigger();

    h.boxes.confirmAnswer = false;
    Ctl<QAction>(form, "N6")->trigger();
    EXPECT_EQ(h.boxes.beeps, 1);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].kind, "Confirm");
    EXPECT_EQ(h.boxes.shown[0].text, "\rВы действительно хотите выключить программу ?");
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form.isVisible());

    h.boxes.confirmAnswer = true;
    Ctl<QAction>(form, "N6")->trigger();
    EXPECT_EQ(h.boxes.beeps, 2);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form.isVisible());
}

TEST(StartUp, RunsInOrderInTheProgramsFolderAndAFailingStepSkipsTheLaterOnes) {
    Form1Harness h;
    // Started by the desktop from elsewhere: the autostart entry names the
    // program's folder, which holds every file.
    TempDir startedIn;
    h.autostart.path = (h.dir / "vimo").string();
    h.workDir = RestoreWorkDir(h.autostart.ReadProgramPath(), startedIn.Path());  // as main does
    WriteBytes(h.dir / "Propert.dat", std::string(10, '\0'));  // too short to read
    TForm1& form = h.Start();

    EXPECT_EQ(form.OSName(), "Linux    ");  // Check_OS
    EXPECT_TRUE(form.IsNT());
    EXPECT_EQ(form.Meter().WorkDir(), h.dir.Path() / "");  // RestoreWorkDir
    EXPECT_TRUE(fs::exists(h.dir / "Table.dat"));          // LoadTable
    EXPECT_TRUE(fs::is_empty(startedIn.Path()));
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Read beyond end of file."});
    EXPECT_EQ(Ctl<QComboBox>(form, "ComboBox1")->count(), 0);  // LoadMain skipped
    EXPECT_TRUE(h.Tips().isEmpty());
    EXPECT_FALSE(fs::exists(h.dir / "Static.txt"));  // LoadStatistics skipped
    EXPECT_TRUE(form.Timer1()->isActive());          // and the program goes on
}

TEST(StartUp, AFirstRecordingDateAfterTodayIsReported) {
    Form1Harness h;
    h.Prepare({}, "16.08.2004");
    h.Start();
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Date exceeds maximum of 15.08.2004."});
    EXPECT_TRUE(h.Pictures().isEmpty());  // the rest of LoadMain was skipped
}

TEST(MainPage, ShowsMonthDayAndPeriodTotals) {
    Form1Harness h;
    h.Prepare({{{2004, 2, 29}, 30}, {{2004, 2, 1}, 10}, {{2004, 8, 1}, 525}, {{2004, 8, 15}, 75}},
              "01.01.2004");
    TForm1& form = h.Start();
    ASSERT_TRUE(h.boxes.shown.empty());

    EXPECT_EQ(Ctl<QComboBox>(form, "ComboBox1")->count(), 8);
    EXPECT_EQ(Ctl<QComboBox>(form, "ComboBox1")->itemText(0), Text("Январь"));
    EXPECT_EQ(Ctl<QComboBox>(form, "ComboBox1")->currentText(), Text("Август"));
    EXPECT_EQ(Ctl<QLabel>(form, "Panel2")->text(), Text("Август"));
    EXPECT_EQ(Ctl<QLabel>(form, "Label1")->text(), "2004");
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit4")->text(), Text("10 час."));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit1")->text(), Text("21 гр. 60 коп."));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit5")->text(), Text("1 ч. 15 мин."));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit2")->text(), Text("2 гр. 70 коп."));
    EXPECT_EQ(Ctl<QDateEdit>(form, "DateTimePicker1")->minimumDate(), QDate(2004, 1, 1));
    EXPECT_EQ(Ctl<QDateEdit>(form, "DateTimePicker3")->maximumDate(), QDate(2004, 8, 15));

    // February of a year divisible by 4 sums its 29th day.
    Ctl<QComboBox>(form, "ComboBox1")->setCurrentIndex(1);
    emit Ctl<QComboBox>(form, "ComboBox1")->activated(1);
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit4")->text(), Text("40 мин."));

    Ctl<QDateEdit>(form, "DateTimePicker1")->setDate(QDate(2004, 8, 14));  // a day without minutes
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit5")->text(), Text("0 мин."));
    EXPECT_FALSE(Ctl<QLineEdit>(form, "Edit2")->text().isEmpty());

    Ctl<QDateEdit>(form, "DateTimePicker2")->setDate(QDate(2004, 8, 1));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit6")->text(), Text("10 час."));  // 1st to 15th August
    Ctl<QDateEdit>(form, "DateTimePicker2")->setDate(QDate(2004, 8, 15));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit6")->text(),
              Text("1 ч. 15 мин."));  // one day, as the day view shows it
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(MainPage, AReversedPeriodWarnsOnceEmptiesAndRefillsWhenPutBack) {
    Form1Harness h;
    h.Prepare({{{2004, 8, 10}, 5}}, "01.01.2004");
    TForm1& form = h.Start();
    Ctl<QDateEdit>(form, "DateTimePicker2")->setDate(QDate(2004, 8, 10));
    Ctl<QDateEdit>(form, "DateTimePicker3")->setDate(QDate(2004, 8, 9));
    EXPECT_EQ(h.boxes.beeps, 1);
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0],
              (RecordingBoxes::Shown{"Warning", "Warning",
                                     "\rПервая дата должна быть не больше второй"}));
    EXPECT_TRUE(Ctl<QLineEdit>(form, "Edit3")->text().isEmpty());
    EXPECT_TRUE(Ctl<QLineEdit>(form, "Edit6")->text().isEmpty());

    Ctl<QDateEdit>(form, "DateTimePicker3")->setDate(QDate(2004, 8, 12));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit6")->text(), Text("5 мин."));
    EXPECT_EQ(Ctl<QLineEdit>(form, "Edit3")->text(), Text("18 коп."));
}

TEST(MainPage, TicksWhileAPeriodWarningIsOpenDoNotStackMoreBoxes) {
    Form1Harness h;
    h.Prepare({}, "01.01.2004");
    TForm1& form = h.Start();
    {
        const QSignalBlocker quiet(Ctl<QDateEdit>(form, "DateTimePicker2"));
        Ctl<QDateEdit>(form, "DateTimePicker2")->setDate(QDate(2004, 8, 15));
        Ctl<QDateEdit>(form, "DateTimePicker3")->blockSignals(true);
        Ctl<QDateEdit>(form, "DateTimePicker3")->setDate(QDate(2004, 8, 1));
        Ctl<QDateEdit>(form, "DateTimePicker3")->blockSignals(false);
    }
    int ticksDuringBox = 0;
    h.boxes.whileWarningOpen = [&] {
        if (ticksDuringBox++ < 3) {
            h.Tick(true);
        }
    };
    h.Tick(true);
    EXPECT_EQ(ticksDuringBox, 1);  // only the first box was ever open
    EXPECT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(form.Meter().SessionMinutes(), 2u);
    h.boxes.whileWarningOpen = nullptr;
    h.Tick(true);  // once closed, the next minute warns again
    EXPECT_EQ(h.boxes.shown.size(), 2u);
}

TEST(TrayHint, ShowsTodayAndThisMonth) {
    Form1Harness h;
    h.Prepare({{{2004, 8, 1}, 525}, {{2004, 8, 15}, 74}, {{2004, 7, 31}, 9}}, "01.01.2004");
    h.Start();
    h.Tick(true);  // the 75th minute of today
    EXPECT_EQ(h.form->TrayIcon1().Hint(),
              Text("День : 1 ч. 15 мин. (2,70 гр.)\nМес.  : 10 час. (21,60 гр.)"));

    h.clock.Set(2004, 9, 1, 0, 0, 0);  // the hint follows the date, not the start-up day
    h.form->UpDateHint();
    EXPECT_EQ(h.form->TrayIcon1().Hint(),
              Text("День : 0 мин. (0,00 гр.)\nМес.  : 0 мин. (0,00 гр.)"));
}

TEST(StartUp, PreparesTheStatisticsPageAndKeepsAnExistingHistory) {
    Form1Harness h;
    h.Prepare({}, "15.03.2003");
    WriteBytes(h.dir / "Static.txt", "an old line\r\n");
    TForm1& form = h.Start();
    ASSERT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(ReadBytes(h.dir / "Static.txt"), "an old line\r\n");
    EXPECT_EQ(Ctl<QComboBox>(form, "ComboBox2")->currentIndex(), 7);
    EXPECT_EQ(Ctl<QSpinBox>(form, "SpinEdit1")->minimum(), 2003);
    EXPECT_EQ(Ctl<QSpinBox>(form, "SpinEdit1")->maximum(), 2005);  // the year after the current one
    EXPECT_EQ(Ctl<QSpinBox>(form, "SpinEdit1")->value(), 2004);
    for (QDateEdit* picker :
         {Ctl<QDateEdit>(form, "DateTimePicker4"), Ctl<QDateEdit>(form, "DateTimePicker5"),
          Ctl<QDateEdit>(form, "DateTimePicker6")}) {
        EXPECT_EQ(picker->date(), QDate(2004, 8, 15));
        EXPECT_EQ(picker->minimumDate(), QDate(2003, 3, 15));
        EXPECT_EQ(picker->maximumDate(), QDate(2004, 8, 15));
    }
    EXPECT_EQ(Ctl<QLabel>(form, "Label5")->text(), "15.03.2003");
}

namespace {

// What the pages show, control by control: texts, choices and date bounds.
QStringList PagesOnScreen(const TForm1& form) {
    QStringList shown;
    for (const auto* label : form.findChildren<QLabel*>()) {
        shown << label->objectName() + "=" + label->text();
    }
    for (const auto* edit : form.findChildren<QLineEdit*>()) {
        shown << edit->objectName() + "=" + edit->text();
    }
    for (const auto* box : form.findChildren<QComboBox*>()) {
        shown << box->objectName() + "=" + QString::number(box->count()) + "/" +
                     QString::number(box->currentIndex());
    }
    for (const auto* spin : form.findChildren<QSpinBox*>()) {
        shown << spin->objectName() + "=" + QString::number(spin->minimum()) + ".." +
                     QString::number(spin->maximum()) + ":" + QString::number(spin->value());
    }
    for (const auto* picker : form.findChildren<QDateEdit*>()) {
        shown << picker->objectName() + "=" + picker->minimumDate().toString(Qt::ISODate) + ".." +
                     picker->maximumDate().toString(Qt::ISODate) + ":" +
                     picker->date().toString(Qt::ISODate);
    }
    for (const auto* check : form.findChildren<QCheckBox*>()) {
        shown << check->objectName() + "=" + (check->isChecked() ? "on" : "off");
    }
    return shown;
}

}  // namespace

// The pages are built when the window first opens; what they show then, and
// what start-up wrote and reported, is what pages built at start would show.
TEST(Window, PagesBuiltAtTheFirstOpeningShowWhatPagesBuiltAtStartShow) {
    const struct {
        const char* name;
        std::function<void(Form1Harness&)> prepare;
        int onlineMinutes;
    } cases[] = {
        {"minutes counted before the opening",
         [](Form1Harness& h) {
             h.Prepare({{{2004, 8, 1}, 525}, {{2004, 8, 15}, 74}});
         },
         3},
        {"no settings file yet", [](Form1Harness&) {}, 0},
        {"a settings file too short to read",
         [](Form1Harness& h) { WriteBytes(h.dir / "Propert.dat", std::string(10, '\0')); }, 0},
        {"a first recording date after today", [](Form1Harness& h) { h.Prepare({}, "16.08.2004"); },
         0},
        {"a first recording date that is no date",
         [](Form1Harness& h) { h.Prepare({}, "1x.08.2004"); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form1Harness early;
        Form1Harness late;
        c.prepare(early);
        c.prepare(late);
        early.Start();
        late.Start(/*pagesLater=*/true);
        for (int minute = 0; minute < c.onlineMinutes; ++minute) {
            early.Tick(true);
            late.Tick(true);
        }
        // Start-up's files are written before any page exists.
        for (const char* file : {"Propert.dat", "Static.txt", "Table.dat"}) {
            EXPECT_EQ(fs::exists(late.dir / file), fs::exists(early.dir / file)) << file;
        }
        EXPECT_EQ(late.autostart.path, early.autostart.path);
        EXPECT_EQ(late.form->findChild<QFrame*>(QStringLiteral("Main")), nullptr);

        late.form->TrayIcon1DblClick();
        EXPECT_EQ(PagesOnScreen(*late.form), PagesOnScreen(*early.form));
        EXPECT_EQ(late.boxes.Errors(), early.boxes.Errors());
        EXPECT_EQ(late.Pictures(), early.Pictures());
        EXPECT_EQ(late.Tips(), early.Tips());
        EXPECT_EQ(late.FileText("Propert.dat"), early.FileText("Propert.dat"));
    }
}
