#pragma once

#include "ErrorHandler.h"
#include "MessageBoxes.h"
#include "core/Clock.h"
#include "meter/ConnectionMeter.h"

#include <QFrame>

#include <cstdint>
#include <memory>

namespace Ui {
class MainPage;
}
class QLineEdit;

// The main page, `Main`: the time and cost of a month of this year, of a day,
// and, with "Период", of a run of days, from the meter's table at the tariff
// in force. Its handlers run through the top-level error handler.
class MainPage : public QFrame {
    Q_OBJECT

  public:
    static constexpr const char* kPeriodWarning = "\rПервая дата должна быть не больше второй";

    MainPage(QWidget* parent, const ConnectionMeter& meter, const Clock& clock, MessageBoxes& boxes,
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
    // The time and money of the days from `first` to `last`.
    void FillMoneyTime(QLineEdit* timeBox, QLineEdit* moneyBox, TDateTime first,
                       TDateTime last) const;

    std::unique_ptr<Ui::MainPage> ui_;
    const ConnectionMeter& meter_;
    const Clock& clock_;
    MessageBoxes& boxes_;
    // A reversed period is warned about once at a time: the tick keeps
    // running while the box waits, and must not stack further boxes on it.
    bool periodWarningOpen_ = false;
};
