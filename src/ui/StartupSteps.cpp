// The start-up steps that load the window's data and fill its pages.
#include "DateBridge.h"
#include "Errors.h"
#include "FileIO.h"
#include "MainWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QSignalBlocker>
#include <QSpinBox>

void TMainWindow::LoadTable() {
    UsageTable.LoadTable();
}

void TMainWindow::LoadStatistics() {
    const CalendarDate today = SplitToday(clock_);
    const TDateTime todayDate = EncodeDate(today.Year, today.Month, today.Day);
    {
        const QSignalBlocker quiet(ComboBox2);
        ComboBox2->setCurrentIndex(CurrentMonth(clock_) - 1);
    }
    for (QDateEdit* picker : {DateTimePicker4, DateTimePicker5, DateTimePicker6}) {
        const QSignalBlocker quiet(picker);
        picker->setDate(ToQDate(todayDate));
    }
    const TDateTime firstDate = ParseDate(Prop.FirstDate);
    for (QDateEdit* picker : {DateTimePicker4, DateTimePicker5, DateTimePicker6}) {
        const QSignalBlocker quiet(picker);
        picker->setMaximumDate(ToQDate(todayDate));
        if (CompareDays(firstDate, todayDate) == 1) {
            throw Exception("Date exceeds maximum of " + DateText(todayDate));
        }
        picker->setMinimumDate(ToQDate(firstDate));
    }
    const int year = YearOfDateStr(DateText(todayDate));
    SpinEdit1->setRange(YearOfDateStr(Prop.FirstDate), year + 1);
    SpinEdit1->setValue(year);
    try {
        CreateEmptyFile(InFolder("Static.txt"));
    } catch (const Exception&) {
        // A history that cannot be created now is reported when a report
        // reads it.
    }
}

void TMainWindow::ChangeIcon(bool online) {
    const char* file = online ? "Res/OnLine.ico" : "Res/OffLine.ico";
    Tray().LoadIconFromFile(QString::fromStdString(InFolder(file).string()));
}
