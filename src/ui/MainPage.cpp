// The main page's month, day and period summaries and the tray hint.
#include "DateBridge.h"
#include "Errors.h"
#include "MainWindow.h"
#include "MoneyTexts.h"
#include "MonthBounds.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Upper bound first, then the lower one; a first-recording date after today
// (the clock was set back) is refused as the date control would refuse it.
void SetPickerBounds(QDateEdit* picker, TDateTime today, TDateTime firstDate) {
    const QSignalBlocker quiet(picker);
    picker->setMaximumDate(ToQDate(today));
    if (CompareDays(firstDate, today) == 1) {
        throw Exception("Date exceeds maximum of " + DateText(today));
    }
    picker->setMinimumDate(ToQDate(firstDate));
}

}  // namespace

void TMainWindow::FillMoneyTime(QLineEdit* timeBox, QLineEdit* moneyBox, uint32_t minutes) const {
    timeBox->setText(QString::fromStdString(MinToTimeStr(minutes)));
    moneyBox->setText(QString::fromStdString(MinToMoney(minutes, Prop.MinuteCost)));
}

void TMainWindow::LoadMain() {
    const CalendarDate today = SplitToday(clock_);
    Label1->setText(QString::number(today.Year));
    Label1->adjustSize();
    Panel2->setText(Utf8(MonthNames[static_cast<size_t>(today.Month - 1)]));

    {
        const QSignalBlocker quiet(ComboBox1);
        for (int month = 1; month <= today.Month; ++month) {
            ComboBox1->addItem(Utf8(MonthNames[static_cast<size_t>(month - 1)]));
        }
        ComboBox1->setCurrentIndex(today.Month - 1);
    }

    const TDateTime todayDate = EncodeDate(today.Year, today.Month, today.Day);
    for (QDateEdit* picker : {DateTimePicker1, DateTimePicker2, DateTimePicker3}) {
        const QSignalBlocker quiet(picker);
        picker->setDate(ToQDate(todayDate));
    }
    for (QDateEdit* picker : {DateTimePicker1, DateTimePicker2, DateTimePicker3}) {
        SetPickerBounds(picker, todayDate, ParseDate(Prop.FirstDate));
    }

    SetMoneyTimeMonMain(today.Month);
    SetMoneyTimeDayMain();
    SetMoneyTimePeriodMain();
    UpDateHint();
    ChangeIcon(false);
}

void TMainWindow::SetMoneyTimeMonMain(int month) {
    const int year = SplitToday(clock_).Year;
    const uint32_t minutes = UsageTable.MinutesFromPeriod(ParseDate(MonthFirstDayText(month, year)),
                                                          ParseDate(MonthLastDayText(month, year)));
    FillMoneyTime(Edit4, Edit1, minutes);
}

void TMainWindow::SetMoneyTimeDayMain() {
    const TDateTime day = FromQDate(DateTimePicker1->date());
    FillMoneyTime(Edit5, Edit2, UsageTable.MinutesFromPeriod(day, day));
}

void TMainWindow::SetMoneyTimePeriodMain() {
    const TDateTime first = FromQDate(DateTimePicker2->date());
    const TDateTime last = FromQDate(DateTimePicker3->date());
    if (CompareDays(first, last) == 1) {
        if (!periodWarningOpen_) {
            periodWarningOpen_ = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{periodWarningOpen_};
            boxes_.Beep();
            boxes_.Warning(kPeriodWarning);
        }
        Edit3->clear();
        Edit6->clear();
        return;
    }
    FillMoneyTime(Edit6, Edit3, UsageTable.MinutesFromPeriod(first, last));
}

void TMainWindow::UpDateHint() {
    const int month = CurrentMonth(clock_);
    const int year = CurrentYear(clock_);
    const uint32_t monthMinutes = UsageTable.MinutesFromPeriod(
        ParseDate(MonthFirstDayText(month, year)), ParseDate(MonthLastDayText(month, year)));
    const TDateTime now = clock_.Now();
    const uint32_t todayMinutes = UsageTable.MinutesFromPeriod(now, now);
    const double cost = Prop.MinuteCost;
    const std::string hint =
        "День : " + MinToTimeStr(todayMinutes) + " (" + MinToGrivn(todayMinutes, cost) +
        ")\nМес.  : " + MinToTimeStr(monthMinutes) + " (" + MinToGrivn(monthMinutes, cost) + ")";
    Tray().SetHint(QString::fromStdString(hint));
}

void TMainWindow::RadioButton1Click() {
    GroupBox1->show();
    GroupBox2->hide();
}

void TMainWindow::RadioButton2Click() {
    GroupBox2->show();
    GroupBox1->hide();
}

void TMainWindow::ComboBox1Change() {
    SetMoneyTimeMonMain(ComboBox1->currentIndex() + 1);
}

void TMainWindow::DateTimePicker1Change() {
    SetMoneyTimeDayMain();
}

void TMainWindow::DateTimePicker2Change() {
    SetMoneyTimePeriodMain();
}

void TMainWindow::DateTimePicker3Change() {
    SetMoneyTimePeriodMain();
}
