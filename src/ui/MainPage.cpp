#include "MainPage.h"

#include "DateBridge.h"
#include "Fonts.h"
#include "PageColours.h"
#include "core/Errors.h"
#include "core/MoneyTexts.h"
#include "figures/Summaries.h"
#include "ui_MainPage.h"

#include <QSignalBlocker>

namespace {

// Upper bound first, then the lower one; a first-recording date after today
// (the clock was set back) is refused as the date control would refuse it.
void SetPickerBounds(QDateEdit* picker, TDateTime today, TDateTime firstDate) {
    const QSignalBlocker quiet(picker);
    picker->setMaximumDate(ToQDate(today));
    if (CompareDays(firstDate, today) == 1) {
        throw Exception(DateExceedsMaximumText(DateText(today)));
    }
    picker->setMinimumDate(ToQDate(firstDate));
}

}  // namespace

MainPage::MainPage(QWidget* parent, const Ledger& books, const Clock& clock, MessageBoxes& boxes,
                   TopLevelErrorHandler& errors)
    : QFrame(parent),
      ui_(std::make_unique<Ui::MainPage>()),
      books_(books),
      clock_(clock),
      boxes_(boxes) {
    ui_->setupUi(this);
    page_colours::Apply(*this);
    for (QLineEdit* money : {MonthMoney(), DayMoney(), PeriodMoney()}) {
        money->setFont(controls::WindowFont(12, true));
    }
    auto guard = [&errors](auto handler) { return [&errors, handler] { errors.Guard(handler); }; };
    connect(ui_->RadioButton1, &QRadioButton::clicked, this,
            guard([this] { RadioButton1Click(); }));
    connect(ui_->RadioButton2, &QRadioButton::clicked, this,
            guard([this] { RadioButton2Click(); }));
    connect(ui_->ComboBox1, &QComboBox::activated, this, guard([this] { ComboBox1Change(); }));
    connect(ui_->DateTimePicker1, &QDateEdit::dateChanged, this,
            guard([this] { DateTimePicker1Change(); }));
    connect(ui_->DateTimePicker2, &QDateEdit::dateChanged, this,
            guard([this] { DateTimePicker2Change(); }));
    connect(ui_->DateTimePicker3, &QDateEdit::dateChanged, this,
            guard([this] { DateTimePicker3Change(); }));
}

MainPage::~MainPage() = default;

QLineEdit* MainPage::MonthTime() const {
    return ui_->Edit4;
}

QLineEdit* MainPage::MonthMoney() const {
    return ui_->Edit1;
}

QLineEdit* MainPage::DayTime() const {
    return ui_->Edit5;
}

QLineEdit* MainPage::DayMoney() const {
    return ui_->Edit2;
}

QLineEdit* MainPage::PeriodTime() const {
    return ui_->Edit6;
}

QLineEdit* MainPage::PeriodMoney() const {
    return ui_->Edit3;
}

void MainPage::Show(const UseTexts& use, QLineEdit* timeBox, QLineEdit* moneyBox) {
    timeBox->setText(QString::fromStdString(use.Time));
    moneyBox->setText(QString::fromStdString(use.Money));
}

void MainPage::LoadMain() {
    const CalendarDate today = SplitToday(clock_);
    ui_->Label1->setText(QString::number(today.Year));
    ui_->Label1->adjustSize();
    ui_->Panel2->setText(QString::fromStdString(MonthName(today.Month)));

    {
        const QSignalBlocker quiet(ui_->ComboBox1);
        for (int month = 1; month <= today.Month; ++month) {
            ui_->ComboBox1->addItem(QString::fromStdString(MonthName(month)));
        }
        ui_->ComboBox1->setCurrentIndex(today.Month - 1);
    }

    const TDateTime todayDate = EncodeDate(today.Year, today.Month, today.Day);
    const auto pickers = {ui_->DateTimePicker1, ui_->DateTimePicker2, ui_->DateTimePicker3};
    for (QDateEdit* picker : pickers) {
        const QSignalBlocker quiet(picker);
        picker->setDate(ToQDate(todayDate));
    }
    for (QDateEdit* picker : pickers) {
        SetPickerBounds(picker, todayDate, ParseDate(books_.Prop().FirstDate));
    }

    SetMoneyTimeMonMain(today.Month);
    SetMoneyTimeDayMain();
    SetMoneyTimePeriodMain();
}

void MainPage::RefreshSummaries() {
    if (ui_->ComboBox1->currentIndex() >= 0) {
        SetMoneyTimeMonMain(ui_->ComboBox1->currentIndex() + 1);
    }
    SetMoneyTimeDayMain();
    SetMoneyTimePeriodMain();
}

void MainPage::SetMoneyTimeMonMain(int month) {
    Show(MonthUseTexts(books_, month, SplitToday(clock_).Year), MonthTime(), MonthMoney());
}

void MainPage::SetMoneyTimeDayMain() {
    const TDateTime day = FromQDate(ui_->DateTimePicker1->date());
    Show(UseTextsOf(books_, day, day), DayTime(), DayMoney());
}

void MainPage::SetMoneyTimePeriodMain() {
    const TDateTime first = FromQDate(ui_->DateTimePicker2->date());
    const TDateTime last = FromQDate(ui_->DateTimePicker3->date());
    if (CompareDays(first, last) == 1) {
        if (!periodWarningOpen_) {
            periodWarningOpen_ = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{periodWarningOpen_};
            boxes_.Beep();
            boxes_.Warning("\r" + PeriodOrderText());
        }
        PeriodMoney()->clear();
        PeriodTime()->clear();
        return;
    }
    Show(UseTextsOf(books_, first, last), PeriodTime(), PeriodMoney());
}

void MainPage::RadioButton1Click() {
    ui_->GroupBox1->show();
    ui_->GroupBox2->hide();
}

void MainPage::RadioButton2Click() {
    ui_->GroupBox2->show();
    ui_->GroupBox1->hide();
}

void MainPage::ComboBox1Change() {
    SetMoneyTimeMonMain(ui_->ComboBox1->currentIndex() + 1);
}

void MainPage::DateTimePicker1Change() {
    SetMoneyTimeDayMain();
}

void MainPage::DateTimePicker2Change() {
    SetMoneyTimePeriodMain();
}

void MainPage::DateTimePicker3Change() {
    SetMoneyTimePeriodMain();
}
