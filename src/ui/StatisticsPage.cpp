#include "StatisticsPage.h"

#include "DateBridge.h"
#include "Fonts.h"
#include "PageColours.h"
#include "core/Errors.h"
#include "core/MoneyTexts.h"
#include "core/MonthBounds.h"
#include "files/FileIO.h"
#include "files/HistoryReport.h"
#include "files/UsageTable.h"
#include "ui_StatisticsPage.h"

#include <QSignalBlocker>

StatisticsPage::StatisticsPage(QWidget* parent, const Ledger& books, std::filesystem::path history,
                               const Clock& clock, MessageBoxes& boxes, SaveFileDialog& saveDialog,
                               TopLevelErrorHandler& errors)
    : QFrame(parent),
      ui_(std::make_unique<Ui::StatisticsPage>()),
      books_(books),
      history_(std::move(history)),
      clock_(clock),
      boxes_(boxes),
      saveDialog_(saveDialog) {
    ui_->setupUi(this);
    page_colours::Apply(*this);
    ui_->Label15->setFont(controls::Tightened(ui_->Label15->font()));
    for (QPushButton* button : {ui_->BitBtn1, ui_->BitBtn5}) {
        button->setFont(controls::WindowFont(9));
    }
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(11);
    ui_->Memo1->setFont(courier);
    for (int month = 1; month <= 12; ++month) {
        ui_->ComboBox2->addItem(QString::fromStdString(MonthName(month)));
    }
    auto guard = [&errors](auto handler) { return [&errors, handler] { errors.Guard(handler); }; };
    for (QRadioButton* item :
         {ui_->RadioGroup1Day, ui_->RadioGroup1Month, ui_->RadioGroup1Period}) {
        connect(item, &QRadioButton::clicked, this, guard([this] { RadioGroup1Click(); }));
    }
    connect(ui_->BitBtn1, &QPushButton::clicked, this, guard([this] { BitBtn1Click(); }));
    connect(ui_->BitBtn2, &QPushButton::clicked, this, guard([this] { BitBtn2Click(); }));
    connect(ui_->BitBtn3, &QPushButton::clicked, this, guard([this] { BitBtn3Click(); }));
    connect(ui_->BitBtn4, &QPushButton::clicked, this, guard([this] { BitBtn4Click(); }));
    connect(ui_->BitBtn5, &QPushButton::clicked, this, guard([this] { BitBtn5Click(); }));
}

StatisticsPage::~StatisticsPage() = default;

void StatisticsPage::LoadStatistics() {
    const CalendarDate today = SplitToday(clock_);
    const TDateTime todayDate = EncodeDate(today.Year, today.Month, today.Day);
    {
        const QSignalBlocker quiet(ui_->ComboBox2);
        ui_->ComboBox2->setCurrentIndex(today.Month - 1);
    }
    const auto pickers = {ui_->DateTimePicker4, ui_->DateTimePicker5, ui_->DateTimePicker6};
    for (QDateEdit* picker : pickers) {
        const QSignalBlocker quiet(picker);
        picker->setDate(ToQDate(todayDate));
    }
    const std::string& firstText = books_.Prop().FirstDate;
    const TDateTime firstDate = ParseDate(firstText);
    for (QDateEdit* picker : pickers) {
        const QSignalBlocker quiet(picker);
        picker->setMaximumDate(ToQDate(todayDate));
        if (CompareDays(firstDate, todayDate) == 1) {
            throw Exception(DateExceedsMaximumText(DateText(todayDate)));
        }
        picker->setMinimumDate(ToQDate(firstDate));
    }
    ui_->SpinEdit1->setRange(YearOfDateStr(firstText), today.Year + 1);
    ui_->SpinEdit1->setValue(today.Year);
    try {
        CreateEmptyFile(history_);
    } catch (const Exception&) {
        // A history that cannot be created now is reported when a report
        // reads it.
    }
}

// The history is read once and filtered outside the widget; the memo draws
// only the lines in sight, so a report of a million lines shows at once.
void StatisticsPage::ShowStatistics(TDateTime from, TDateTime to) {
    HistoryReport report = ::ShowStatistics(history_, from, to);
    ui_->Memo1->SetLines(std::move(report.Lines));
    if (report.Error) {
        throw EConvertError(*report.Error);
    }
}

void StatisticsPage::ShowReportOf(QWidget* chooser, TDateTime from, TDateTime to,
                                  const std::string& range) {
    chooser->hide();
    ui_->StatWnd->show();
    ShowStatistics(from, to);
    ui_->Label16->setText(QString::fromStdString(range));
    ui_->Label16->adjustSize();
}

void StatisticsPage::RadioGroup1Click() {
    for (QWidget* panel : {ui_->SelectDay, ui_->SelectMonth, ui_->Period, ui_->StatWnd}) {
        panel->hide();
    }
    if (ui_->RadioGroup1Day->isChecked()) {
        ui_->SelectDay->show();
    } else if (ui_->RadioGroup1Month->isChecked()) {
        ui_->SelectMonth->show();
    } else if (ui_->RadioGroup1Period->isChecked()) {
        ui_->Period->show();
    }
}

void StatisticsPage::BitBtn2Click() {
    const TDateTime day = FromQDate(ui_->DateTimePicker4->date());
    ShowReportOf(ui_->SelectDay, day, day, DateText(day));
}

void StatisticsPage::BitBtn3Click() {
    const int month = ui_->ComboBox2->currentIndex() + 1;
    const int year = ui_->SpinEdit1->value();
    const std::string firstDay = MonthFirstDayText(month, year);
    const std::string lastDay = MonthLastDayText(month, year);
    const std::string& firstRecording = books_.Prop().FirstDate;
    if (CompareDays(ParseDate(lastDay), ParseDate(firstRecording)) == -1) {
        boxes_.Beep();
        boxes_.Warning(
            "\r" + tr(kStatisticsSince).arg(QString::fromStdString(firstRecording)).toStdString());
        return;
    }
    if (CompareDays(ParseDate(firstDay), clock_.Now()) == 1) {
        boxes_.Beep();
        boxes_.Warning("\r" + tr(kDateNotYetCome).toStdString());
        return;
    }
    ShowReportOf(ui_->SelectMonth, ParseDate(firstDay), ParseDate(lastDay),
                 firstDay + " - " + lastDay);
}

void StatisticsPage::BitBtn4Click() {
    const TDateTime first = FromQDate(ui_->DateTimePicker5->date());
    const TDateTime last = FromQDate(ui_->DateTimePicker6->date());
    if (CompareDays(first, last) == 1) {
        boxes_.Beep();
        boxes_.Warning("\r" + PeriodOrderText());
        return;
    }
    ShowReportOf(ui_->Period, first, last, DateText(first) + " - " + DateText(last));
}

void StatisticsPage::BitBtn5Click() {
    ui_->StatWnd->hide();
    RadioGroup1Click();
}

void StatisticsPage::BitBtn1Click() {
    const SaveDialogRequest request{tr(kSaveDialogTitle).toStdString(),
                                    tr(kSaveDialogFilter).toStdString(), "txt",
                                    "Linkminutes (" + ui_->Label16->text().toStdString() + ")"};
    if (const auto file = saveDialog_.Run(window(), request)) {
        SaveReport(*file, ui_->Memo1->Lines());
    }
}
