#pragma once

#include "ErrorHandler.h"
#include "MessageBoxes.h"
#include "core/Clock.h"
#include "core/ReportRange.h"
#include "figures/Summaries.h"
#include "meter/Ledger.h"

#include <QFrame>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class MainPage;
}
class QLineEdit;

// The main page, `Main`: the time and cost of a month of this year, of a day,
// and, with "Период", of a run of days, as the figures sum them from the
// ledger. Its handlers run through the top-level error handler.
class MainPage : public QFrame {
    Q_OBJECT

  public:
    MainPage(QWidget* parent, const Ledger& books, const Clock& clock, MessageBoxes& boxes,
             TopLevelErrorHandler& errors);
    ~MainPage() override;

    // Start-up: this year's months up to the current one, today in the date
    // pickers within the recorded range, and the three summaries.
    void LoadMain();
    void SetMoneyTimeMonMain(int month);
    void SetMoneyTimeDayMain();
    void SetMoneyTimePeriodMain();
    // A counted minute: the three summaries again. Without a month list
    // (start-up stopped before filling the page) there is no month to show.
    void RefreshSummaries();

    void RadioButton1Click();
    void RadioButton2Click();
    void ComboBox1Change();
    void DateTimePicker1Change();
    void DateTimePicker2Change();
    void DateTimePicker3Change();

  private:
    static void Show(const UseTexts& use, QLineEdit* timeBox, QLineEdit* moneyBox);
    // The boxes of each sum, time beside money.
    QLineEdit* MonthTime() const;
    QLineEdit* MonthMoney() const;
    QLineEdit* DayTime() const;
    QLineEdit* DayMoney() const;
    QLineEdit* PeriodTime() const;
    QLineEdit* PeriodMoney() const;

    std::unique_ptr<Ui::MainPage> ui_;
    const Ledger& books_;
    const Clock& clock_;
    MessageBoxes& boxes_;
    // A reversed period is warned about once at a time: the tick keeps
    // running while the box waits, and must not stack further boxes on it.
    bool periodWarningOpen_ = false;
};
