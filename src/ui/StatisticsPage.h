#pragma once

#include "ErrorHandler.h"
#include "MessageBoxes.h"
#include "SaveFileDialog.h"
#include "core/Clock.h"
#include "core/DateTime.h"
#include "core/ReportRange.h"
#include "meter/Ledger.h"

#include <QFrame>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class StatisticsPage;
}

// The statistics page, `Statistics`: day, month and period reports of the
// connection history, and saving a report to a text file. Its handlers run
// through the top-level error handler.
class StatisticsPage : public QFrame {
    Q_OBJECT

  public:
    // In Russian; shown through tr(), the warnings after an empty line.
    static constexpr const char* kStatisticsSince = QT_TR_NOOP("Статистика ведётся с %1");
    static constexpr const char* kDateNotYetCome =
        QT_TR_NOOP("Выбранная вами дата ещё не наступила");
    static constexpr const char* kSaveDialogTitle = QT_TR_NOOP("Запись статистики в файл");
    static constexpr const char* kSaveDialogFilter = QT_TR_NOOP("Текстовый файл (*.txt)");

    // `history` is the working folder's history file, which it reports.
    StatisticsPage(QWidget* parent, const Ledger& books, std::filesystem::path history,
                   const Clock& clock, MessageBoxes& boxes, SaveFileDialog& saveDialog,
                   TopLevelErrorHandler& errors);
    ~StatisticsPage() override;

    // Start-up: today in the pickers within the recorded range, this month
    // and year for the month report, and an empty history when none exists.
    void LoadStatistics();
    void ShowStatistics(TDateTime from, TDateTime to);

    void RadioGroup1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();

  private:
    void ShowReportOf(QWidget* chooser, TDateTime from, TDateTime to, const std::string& range);

    std::unique_ptr<Ui::StatisticsPage> ui_;
    const Ledger& books_;
    std::filesystem::path history_;
    const Clock& clock_;
    MessageBoxes& boxes_;
    SaveFileDialog& saveDialog_;
};
