#include "DateBridge.h"
#include "Form1Harness.h"
#include "LineListView.h"
#include "StatisticsPage.h"
#include "core/Codec1251.h"
#include "files/PropRecord.h"
#include "system/WorkDir.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A history line as the session log writes it, started on `day` at `start`.
std::string Session(const std::string& day, const std::string& start, const std::string& end) {
    return "[" + day + "] " + start + "-" + end +
           "   время = 30 мин.       Linux       10.0.0.2       ";
}

QStringList MemoLines(const TForm1& form) {
    const QString text = Ctl<LineListView>(form, "Memo1")->Text();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QStringList Lines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& line : lines) {
        list << QString::fromStdString(line);
    }
    return list;
}

class StatisticsReports : public ::testing::Test {
  protected:
    // Starts the program on `today` with a history of `lines` (CR LF ends)
    // and connections recorded since 15.08.2003.
    TForm1& StartWith(const std::vector<std::string>& lines, CalendarDate today = {2004, 8, 15}) {
        std::string history;
        for (const auto& line : lines) {
            history += ToCp1251(line) + "\r\n";
        }
        WriteBytes(h.dir / "Static.txt", history);
        WritePropFile(h.dir.Path(), TPropRecord{3.6, false, false, "15.08.2003"}, h.clock);
        h.clock.Set(today.Year, today.Month, today.Day, 10, 0, 0);
        TForm1& form = h.Start();
        form.N2Click();
        return form;
    }

    void DayReport(TForm1& form, int year, int month, int day) {
        Ctl<QDateEdit>(form, "DateTimePicker4")->setDate(QDate(year, month, day));
        Ctl<QPushButton>(form, "BitBtn2")->click();
    }

    void MonthReport(TForm1& form, int month, int year) {
        Ctl<QRadioButton>(form, "RadioGroup1Month")->click();
        Ctl<QComboBox>(form, "ComboBox2")->setCurrentIndex(month - 1);
        Ctl<QSpinBox>(form, "SpinEdit1")->setValue(year);
        Ctl<QPushButton>(form, "BitBtn3")->click();
    }

    void PeriodReport(TForm1& form, QDate first, QDate last) {
        Ctl<QRadioButton>(form, "RadioGroup1Period")->click();
        Ctl<QDateEdit>(form, "DateTimePicker5")->setDate(first);
        Ctl<QDateEdit>(form, "DateTimePicker6")->setDate(last);
        Ctl<QPushButton>(form, "BitBtn4")->click();
    }

    Form1Harness h;
};

const std::vector<std::string> kAugust2004 = {
    Session("01.08.2004", "23:50", "00:20"), Session("02.08.2004", "09:00", "09:30"),
    Session("15.08.2004", "08:00", "08:30"), Session("14.08.2004", "21:00", "21:30"),
    Session("15.08.2004", "09:00", "09:30"),
};

TEST_F(StatisticsReports, DayReportsListTheDaysSessionsInFileOrder) {
    TForm1& form = StartWith(kAugust2004);
    const struct {
        int day;
        std::vector<std::string> expected;
    } cases[] = {
        {15, {kAugust2004[2], kAugust2004[4]}},
        {1, {kAugust2004[0]}},  // the session past midnight is listed on its first day only
        {2, {kAugust2004[1]}},
        {3, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        DayReport(form, 2004, 8, c.day);
        EXPECT_TRUE(Ctl<QFrame>(form, "SelectDay")->isHidden());
        EXPECT_FALSE(Ctl<QFrame>(form, "StatWnd")->isHidden());
        EXPECT_EQ(MemoLines(form), Lines(c.expected));
        EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(),
                  QString("%1.08.2004").arg(c.day, 2, 10, QLatin1Char('0')));
        Ctl<QPushButton>(form, "BitBtn5")->click();
        EXPECT_FALSE(Ctl<QFrame>(form, "SelectDay")->isHidden());
        EXPECT_TRUE(Ctl<QFrame>(form, "StatWnd")->isHidden());
    }
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST_F(StatisticsReports, MonthReportsCoverTheWholeMonthWithUnpaddedBounds) {
    const std::vector<std::string> history = {
        Session("20.08.2003", "10:00", "10:30"), Session("31.01.2004", "10:00", "10:30"),
        Session("01.02.2004", "10:00", "10:30"), Session("29.02.2004", "10:00", "10:30"),
        Session("01.03.2004", "10:00", "10:30"), Session("28.02.2005", "23:59", "00:29"),
        Session("01.03.2005", "10:00", "10:30"),
    };
    TForm1& form = StartWith(history, {2005, 3, 10});
    const struct {
        int month, year;
        const char* label;
        std::vector<std::string> expected;
    } cases[] = {
        {2, 2004, "01.2.2004 - 29.2.2004", {history[2], history[3]}},
        {2, 2005, "01.2.2005 - 28.2.2005", {history[5]}},
        {8, 2003, "01.8.2003 - 31.8.2003", {history[0]}},  // the month of the first recording
        {12, 2004, "01.12.2004 - 31.12.2004", {}},
        {3, 2005, "01.3.2005 - 31.3.2005", {history[6]}},  // the month under way
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MonthReport(form, c.month, c.year);
        EXPECT_TRUE(Ctl<QFrame>(form, "SelectMonth")->isHidden());
        EXPECT_FALSE(Ctl<QFrame>(form, "StatWnd")->isHidden());
        EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), c.label);
        EXPECT_EQ(MemoLines(form), Lines(c.expected));
        Ctl<QPushButton>(form, "BitBtn5")->click();
        EXPECT_FALSE(
            Ctl<QFrame>(form, "SelectMonth")->isHidden());  // back to the kind of report chosen
    }
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST_F(StatisticsReports, MonthsBeforeTheFirstRecordingOrNotYetBegunAreRefused) {
    TForm1& form = StartWith(kAugust2004);
    Ctl<QDateEdit>(form, "DateTimePicker4")->setDate(QDate(2004, 8, 15));
    Ctl<QPushButton>(form, "BitBtn2")->click();
    Ctl<QPushButton>(form, "BitBtn5")->click();
    const struct {
        int month, year;
        std::string warning;
    } cases[] = {
        {7, 2003, "\rСтатистика ведётся с 15.08.2003"},
        {9, 2004, "\rВыбранная вами дата ещё не наступила"},
        {1, 2005, "\rВыбранная вами дата ещё не наступила"},  // the year box allows next year
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warning);
        const int beeps = h.boxes.beeps;
        h.boxes.shown.clear();
        MonthReport(form, c.month, c.year);
        EXPECT_EQ(h.boxes.beeps, beeps + 1);
        EXPECT_EQ(h.boxes.shown,
                  (std::vector<RecordingBoxes::Shown>{{"Warning", "Warning", c.warning}}));
        EXPECT_FALSE(Ctl<QFrame>(form, "SelectMonth")->isHidden());
        EXPECT_TRUE(Ctl<QFrame>(form, "StatWnd")->isHidden());
        EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(),
                  "15.08.2004");  // the earlier report is untouched
        EXPECT_EQ(MemoLines(form).size(), 2);
    }
}

TEST_F(StatisticsReports, PeriodReportsIncludeBothEndsAndRefuseAReversedPeriod) {
    TForm1& form = StartWith(kAugust2004);
    PeriodReport(form, QDate(2004, 8, 2), QDate(2004, 8, 14));
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), "02.08.2004 - 14.08.2004");
    EXPECT_EQ(MemoLines(form), Lines({kAugust2004[1], kAugust2004[3]}));
    Ctl<QPushButton>(form, "BitBtn5")->click();
    EXPECT_FALSE(Ctl<QFrame>(form, "Period")->isHidden());

    PeriodReport(form, QDate(2004, 8, 15), QDate(2004, 8, 15));
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), "15.08.2004 - 15.08.2004");
    EXPECT_EQ(MemoLines(form), Lines({kAugust2004[2], kAugust2004[4]}));
    Ctl<QPushButton>(form, "BitBtn5")->click();

    PeriodReport(form, QDate(2004, 8, 3), QDate(2004, 8, 2));
    EXPECT_EQ(h.boxes.beeps, 1);
    EXPECT_EQ(h.boxes.shown, (std::vector<RecordingBoxes::Shown>{
                                 {"Warning", "Warning", std::string("\r") + kPeriodOrderText}}));
    EXPECT_FALSE(Ctl<QFrame>(form, "Period")->isHidden());
    EXPECT_TRUE(Ctl<QFrame>(form, "StatWnd")->isHidden());
}

TEST_F(StatisticsReports, AReportLeftAndComeBackToIsUnchanged) {
    TForm1& form = StartWith(kAugust2004);
    DayReport(form, 2004, 8, 15);
    const QString memo = Ctl<LineListView>(form, "Memo1")->Text();
    Ctl<QTabBar>(form, "TabControl1")->setCurrentIndex(0);
    EXPECT_TRUE(Ctl<QFrame>(form, "Statistics")->isHidden());
    Ctl<QTabBar>(form, "TabControl1")->setCurrentIndex(1);
    EXPECT_FALSE(Ctl<QFrame>(form, "StatWnd")->isHidden());
    EXPECT_EQ(Ctl<LineListView>(form, "Memo1")->Text(), memo);
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), "15.08.2004");

    Ctl<QPushButton>(form, "BitBtn5")->click();
    EXPECT_EQ(Ctl<QDateEdit>(form, "DateTimePicker4")->date(), QDate(2004, 8, 15));
    EXPECT_EQ(Ctl<LineListView>(form, "Memo1")->Text(), memo);
}

TEST_F(StatisticsReports, ADamagedLineStopsTheFilteringAndKeepsEverythingFromIt) {
    const std::vector<std::string> history = {
        Session("14.08.2004", "08:00", "08:30"),
        "",
        "short line",  // under 11 characters: skipped
        Session("15.08.2004", "08:00", "08:30"),
        "[xx.08.2004] 09:00-09:30   время = 30 мин.",
        Session("14.08.2004", "10:00", "10:30"),
        Session("15.08.2004", "11:00", "11:30"),
    };
    TForm1& form = StartWith(kAugust2004);
    DayReport(form, 2004, 8, 14);
    Ctl<QPushButton>(form, "BitBtn5")->click();
    // Every report reads the history afresh.
    std::string damaged;
    for (const auto& line : history) {
        damaged += ToCp1251(line) + "\r\n";
    }
    WriteBytes(h.dir / "Static.txt", damaged);

    DayReport(form, 2004, 8, 15);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"'xx.08.2004' is not a valid date."});
    EXPECT_EQ(MemoLines(form), Lines({history[3], history[4], history[5], history[6]}));
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(),
              "14.08.2004");  // the caption of the previous report
    EXPECT_FALSE(Ctl<QFrame>(form, "StatWnd")->isHidden());
}

TEST_F(StatisticsReports, AHistoryDeletedAfterStartUpIsReportedAndTheLastReportStays) {
    TForm1& form = StartWith(kAugust2004);
    DayReport(form, 2004, 8, 15);
    Ctl<QPushButton>(form, "BitBtn5")->click();
    fs::remove(h.dir / "Static.txt");
    DayReport(form, 2004, 8, 1);
    EXPECT_EQ(h.boxes.Errors(), std::vector<std::string>{"Cannot open file Static.txt."});
    EXPECT_FALSE(Ctl<QFrame>(form, "StatWnd")->isHidden());
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), "15.08.2004");
    EXPECT_EQ(MemoLines(form), Lines({kAugust2004[2], kAugust2004[4]}));

    // Saving still writes the report that shows.
    h.saveDialog.answer = h.dir / "kept.txt";
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_EQ(ReadBytes(h.dir / "kept.txt"),
              ToCp1251(kAugust2004[2]) + "\r\n" + ToCp1251(kAugust2004[4]) + "\r\n");
}

TEST_F(StatisticsReports, SaveProposesTheReportsRangeAsTheFileName) {
    const std::vector<std::string> history = {Session("15.08.2003", "10:00", "10:30")};
    TForm1& form = StartWith(history);
    DayReport(form, 2003, 8, 15);
    Ctl<QPushButton>(form, "BitBtn1")->click();
    Ctl<QPushButton>(form, "BitBtn5")->click();
    MonthReport(form, 8, 2003);
    Ctl<QPushButton>(form, "BitBtn1")->click();

    ASSERT_EQ(h.saveDialog.requests.size(), 2u);
    for (const auto& request : h.saveDialog.requests) {
        EXPECT_EQ(request.Title, "Запись статистики в файл");
        EXPECT_EQ(request.Filter, "Текстовый файл (*.txt)");
        EXPECT_EQ(request.DefaultSuffix, "txt");
    }
    EXPECT_EQ(h.saveDialog.requests[0].FileName, "Linkminutes (15.08.2003)");
    EXPECT_EQ(h.saveDialog.requests[1].FileName, "Linkminutes (01.8.2003 - 31.8.2003)");
    EXPECT_EQ(h.saveDialog.parentSeen, h.form.get());
    EXPECT_TRUE(h.boxes.shown.empty());  // cancelled: nothing written, nothing said
}

TEST_F(StatisticsReports, SavedReportsAreWindows1251WithCrLfAndNoHeader) {
    // A history with LF-only ends and a lone CR still saves CR LF ends.
    const std::string a = Session("15.08.2004", "08:00", "08:30");
    const std::string b = Session("15.08.2004", "09:00", "09:30");
    WritePropFile(h.dir.Path(), TPropRecord{3.6, false, false, "15.08.2003"}, h.clock);
    WriteBytes(h.dir / "Static.txt",
               ToCp1251(a) + "\n" + ToCp1251(Session("14.08.2004", "1", "2")) + "\r" + ToCp1251(b));
    TForm1& form = h.Start();
    DayReport(form, 2004, 8, 15);
    WriteBytes(h.dir / "old.txt", "an older file, longer than the report will be ...........");
    h.saveDialog.answer = h.dir / "old.txt";
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_EQ(ReadBytes(h.dir / "old.txt"), ToCp1251(a) + "\r\n" + ToCp1251(b) + "\r\n");
    EXPECT_NE(ReadBytes(h.dir / "old.txt").find("\xE2\xF0\xE5\xEC\xFF"),
              std::string::npos);  // "время"
}

TEST_F(StatisticsReports, AnEmptyHistoryGivesAnEmptyReportSavedAsAnEmptyFile) {
    TForm1& form = StartWith({});
    DayReport(form, 2004, 8, 15);
    EXPECT_EQ(Ctl<LineListView>(form, "Memo1")->Text(), "");
    EXPECT_EQ(Ctl<QLabel>(form, "Label16")->text(), "15.08.2004");
    h.saveDialog.answer = h.dir / "empty.txt";
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_TRUE(fs::exists(h.dir / "empty.txt"));
    EXPECT_EQ(ReadBytes(h.dir / "empty.txt"), "");
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST_F(StatisticsReports, AReportThatCannotBeWrittenIsReportedAndACancelSavesNothing) {
    TForm1& form = StartWith(kAugust2004);
    DayReport(form, 2004, 8, 15);
    // A folder below a plain file cannot be created, not even by root.
    const fs::path blocked = h.dir / "Static.txt" / "report.txt";
    h.saveDialog.answer = blocked;
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_EQ(h.boxes.Errors(),
              std::vector<std::string>{"Cannot create file " + blocked.string() + "."});
    EXPECT_EQ(h.saveDialog.parentSeen, &form);

    h.saveDialog.answer.reset();  // cancelled
    Ctl<QPushButton>(form, "BitBtn1")->click();
    EXPECT_EQ(h.saveDialog.requests.size(), 2u);
    EXPECT_EQ(h.boxes.Errors().size(), 1u);
}

TEST_F(StatisticsReports, TheNextMinutesFilesAreWrittenInTheProgramsFolderAfterSavingElsewhere) {
    // Started by the desktop from another folder; the entry names the program's.
    TempDir startedIn;
    h.autostart.path = (h.dir / "vimo").string();
    h.workDir = RestoreWorkDir(h.autostart.ReadProgramPath(), startedIn.Path());  // as main does
    TForm1& form = StartWith(kAugust2004);
    TempDir elsewhere;
    DayReport(form, 2004, 8, 15);
    h.saveDialog.answer = elsewhere / "report.txt";
    Ctl<QPushButton>(form, "BitBtn1")->click();

    h.Tick(true);
    EXPECT_TRUE(fs::exists(h.dir / "BegTime.txt"));
    EXPECT_EQ(h.CellOn(2004, 8, 15), 1);
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(elsewhere.Path()), {}),
              std::vector<fs::path>{elsewhere / "report.txt"});
    EXPECT_TRUE(fs::is_empty(startedIn.Path()));
}

}  // namespace
