// The statistics page: day, month and period reports of the connection
// history, and saving a report to a text file.
#include "DateBridge.h"
#include "Errors.h"
#include "HistoryReport.h"
#include "MainWindow.h"
#include "MonthBounds.h"
#include "WorkDir.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {

TDateTime PickedDay(const QDateEdit* picker) {
    return FromQDate(picker->date());
}

}  // namespace

// The history is read once and filtered outside the widget; the memo gets the
// report's text in one assignment. There is no size limit of its own: the
// report's lines are already in memory, and the memo holds what they hold.
void TMainWindow::ShowStatistics(TDateTime from, TDateTime to) {
    HistoryReport report = ::ShowStatistics(InFolder("Static.txt"), from, to);
    QString text;
    for (std::size_t i = 0; i < report.Lines.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char('\n');
        }
        text += QString::fromStdString(report.Lines[i]);
    }
    Memo1->setPlainText(text);
    reportLines_ = std::move(report.Lines);
    if (report.Error) {
        throw EConvertError(*report.Error);
    }
}

void TMainWindow::RadioGroup1Click() {
    for (QWidget* panel : {static_cast<QWidget*>(SelectDay), static_cast<QWidget*>(SelectMonth),
                           static_cast<QWidget*>(Period), static_cast<QWidget*>(StatWnd)}) {
        panel->hide();
    }
    if (RadioGroup1Day->isChecked()) {
        SelectDay->show();
    } else if (RadioGroup1Month->isChecked()) {
        SelectMonth->show();
    } else if (RadioGroup1Period->isChecked()) {
        Period->show();
    }
}

void TMainWindow::BitBtn2Click() {
    SelectDay->hide();
    StatWnd->show();
    const TDateTime day = PickedDay(DateTimePicker4);
    ShowStatistics(day, day);
    Label16->setText(QString::fromStdString(DateText(day)));
    Label16->adjustSize();
}

void TMainWindow::BitBtn3Click() {
    const int month = ComboBox2->currentIndex() + 1;
    const int year = SpinEdit1->value();
    const std::string firstDay = MonthFirstDayText(month, year);
    const std::string lastDay = MonthLastDayText(month, year);
    if (CompareDays(ParseDate(lastDay), ParseDate(Prop.FirstDate)) == -1) {
        boxes_.Beep();
        boxes_.Warning(kStatisticsSince + Prop.FirstDate);
        return;
    }
    if (CompareDays(ParseDate(firstDay), clock_.Now()) == 1) {
        boxes_.Beep();
        boxes_.Warning(kDateNotYetCome);
        return;
    }
    SelectMonth->hide();
    StatWnd->show();
    ShowStatistics(ParseDate(firstDay), ParseDate(lastDay));
    Label16->setText(QString::fromStdString(firstDay + " - " + lastDay));
    Label16->adjustSize();
}

void TMainWindow::BitBtn4Click() {
    const TDateTime first = PickedDay(DateTimePicker5);
    const TDateTime last = PickedDay(DateTimePicker6);
    if (CompareDays(first, last) == 1) {
        boxes_.Beep();
        boxes_.Warning(kPeriodWarning);
        return;
    }
    Period->hide();
    StatWnd->show();
    ShowStatistics(first, last);
    Label16->setText(QString::fromStdString(DateText(first) + " - " + DateText(last)));
    Label16->adjustSize();
}

void TMainWindow::BitBtn5Click() {
    StatWnd->hide();
    RadioGroup1Click();
}

void TMainWindow::BitBtn1Click() {
    const SaveDialogRequest request{kSaveDialogTitle, kSaveDialogFilter, "txt",
                                    "Linkminutes (" + Label16->text().toStdString() + ")"};
    // Whatever happens in the dialog or while writing, the program's own
    // files stay in its folder.
    try {
        if (const auto file = saveDialog_.Run(this, request)) {
            SaveReport(*file, reportLines_);
        }
    } catch (...) {
        RestoreWorkDir(autostart_, platform_);
        throw;
    }
    RestoreWorkDir(autostart_, platform_);
}
