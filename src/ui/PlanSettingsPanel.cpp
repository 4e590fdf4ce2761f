#include "PlanSettingsPanel.h"

#include "DataFiles.h"
#include "Errors.h"
#include "LocaleNumbers.h"
#include "PlanFile.h"
#include "PlanFileWriter.h"
#include "ui_PlanSettingsPanel.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QListWidgetItem>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidgetItem>

#include <algorithm>
#include <utility>

namespace {

// The columns of the rates table: the seven days, then the hours and the price.
constexpr int kDayColumns = 7;
constexpr int kFromColumn = 7;
constexpr int kToColumn = 8;
constexpr int kPriceColumn = 9;

const QColor kFaultyCell(255, 215, 215);

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void Mark(QLabel* label, const std::optional<FieldProblem>& problem) {
    label->setText(problem ? Text(problem->Hint) : QString());
    label->setToolTip(problem ? Text(problem->Text) : QString());
}

QTableWidgetItem* TextCell(const std::string& text) {
    auto* cell = new QTableWidgetItem(Text(text));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    return cell;
}

QTableWidgetItem* DayCell(bool ticked) {
    auto* cell = new QTableWidgetItem();
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    cell->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    return cell;
}

}  // namespace

PlanSettingsPanel::PlanSettingsPanel(std::filesystem::path folder, const InterfaceList& interfaces,
                                     MessageBoxes& boxes, QWidget* parent, const QLocale& locale)
    : QWidget(parent),
      ui_(std::make_unique<Ui::PlanSettingsPanel>()),
      folder_(std::move(folder)),
      interfaces_(interfaces),
      boxes_(boxes),
      separators_(SeparatorsOf(locale)) {
    ui_->setupUi(this);
    for (QLineEdit* edit : {ui_->startDayEdit, ui_->budgetKopecksEdit, ui_->budgetMinutesEdit,
                            ui_->budgetMegabytesEdit, ui_->alertsEdit, ui_->connectionFeeEdit,
                            ui_->includedMinutesEdit, ui_->kopecksPerMbEdit}) {
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!filling_) {
                Check();
            }
        });
    }
    connect(ui_->planGroup, &QGroupBox::toggled, this, [this] {
        if (!filling_) {
            Check();
        }
    });
    connect(ui_->ratesTable, &QTableWidget::itemChanged, this, [this] {
        if (!filling_) {
            Check();
        }
    });
    connect(ui_->addRateButton, &QPushButton::clicked, this, [this] { AddRate(); });
    connect(ui_->removeRateButton, &QPushButton::clicked, this, [this] { RemoveRate(); });
    connect(ui_->rateUpButton, &QPushButton::clicked, this, [this] { MoveRate(-1); });
    connect(ui_->rateDownButton, &QPushButton::clicked, this, [this] { MoveRate(1); });
    connect(ui_->addInterfaceButton, &QPushButton::clicked, this, [this] { AddInterface(); });
    connect(ui_->newInterfaceEdit, &QLineEdit::returnPressed, this, [this] { AddInterface(); });
    connect(ui_->saveButton, &QPushButton::clicked, this, [this] { Save(); });
    connect(ui_->reloadButton, &QPushButton::clicked, this, [this] { Reload(); });
    Reload();
}

PlanSettingsPanel::~PlanSettingsPanel() = default;

void PlanSettingsPanel::Reload() {
    loadFailed_ = false;
    QString fault;
    try {
        loadedText_ = ReadPlanText(folder_);
        loaded_ = ParsePlanText(loadedText_);
    } catch (const EPlanFileError& error) {
        fault = Text(error.what());
    } catch (const EInOutError& error) {
        fault = Text(std::string(datafiles::kPlan) + ": " + error.what());
    }
    if (!fault.isEmpty()) {
        // Nothing is written over a file the program refuses: the person
        // mends it, and the panel reads it again.
        loadFailed_ = true;
        loaded_ = {};
    }
    Show(FieldsOf(loaded_, interfaces_.Names(), separators_));
    ui_->fields->setEnabled(!loadFailed_);
    if (loadFailed_) {
        SetStatus(fault + "\nФайл не изменён: исправьте его и нажмите «Перечитать».", true);
    } else {
        SetStatus(QString(), false);
    }
    Check();
}

void PlanSettingsPanel::Save() {
    const PlanFieldsReading reading = ReadPlanFields(Fields(), loaded_, separators_);
    Check();
    if (loadFailed_ || reading.Problems.Any()) {
        SetStatus("Не сохранено: исправьте отмеченные поля.", true);
        return;
    }
    try {
        const std::string current = ReadPlanText(folder_);
        if (current != loadedText_ &&
            !boxes_.Confirm("Файл Vimo.toml изменён после того, как панель его прочла. "
                            "Записать поверх него значения из окна?")) {
            SetStatus("Не сохранено: файл изменён вне окна; «Перечитать» покажет его.", true);
            return;
        }
        const std::string text = PlanTextWith(current, reading.Settings);
        WritePlanFile(folder_, text);
        loadedText_ = text;
        loaded_ = ParsePlanText(text);
    } catch (const EInOutError& error) {
        SetStatus(Text("Не сохранено (" + std::string(datafiles::kPlan) + "): " + error.what()),
                  true);
        return;
    } catch (const std::exception& error) {
        SetStatus(Text(std::string("Не сохранено: ") + error.what()), true);
        return;
    }
    Show(FieldsOf(loaded_, interfaces_.Names(), separators_));
    Check();
    SetStatus("Сохранено.", false);
    emit Saved();
}

bool PlanSettingsPanel::HasUnsavedEdits() const {
    if (loadFailed_) {
        return false;
    }
    const PlanFieldsReading reading = ReadPlanFields(Fields(), loaded_, separators_);
    return reading.Problems.Any() || reading.Settings != loaded_;
}

bool PlanSettingsPanel::MayClose() {
    if (!HasUnsavedEdits()) {
        return true;
    }
    switch (boxes_.AskToSave("Изменения плана и бюджета не сохранены. Сохранить их в Vimo.toml?")) {
        case MessageBoxes::SaveAnswer::Save:
            Save();
            return !HasUnsavedEdits();
        case MessageBoxes::SaveAnswer::Discard:
            Reload();
            return true;
        case MessageBoxes::SaveAnswer::Cancel:
            break;
    }
    return false;
}

void PlanSettingsPanel::FollowFile() {
    std::string current;
    try {
        current = ReadPlanText(folder_);
    } catch (const EInOutError&) {
        // A file that cannot be read now is reported by the program's own
        // look at it; the panel keeps what it shows.
        return;
    }
    if (current == loadedText_) {
        return;
    }
    if (!HasUnsavedEdits()) {
        Reload();
        if (!loadFailed_) {
            SetStatus("Показан Vimo.toml, изменённый вне окна.", false);
        }
        return;
    }
    SetStatus("Vimo.toml изменён вне окна; ваши правки не сохранены. «Перечитать» покажет файл.",
              true);
}

void PlanSettingsPanel::Show(const PlanFields& fields) {
    filling_ = true;
    ui_->startDayEdit->setText(Text(fields.StartDay));
    ui_->budgetKopecksEdit->setText(Text(fields.BudgetKopecks));
    ui_->budgetMinutesEdit->setText(Text(fields.BudgetMinutes));
    ui_->budgetMegabytesEdit->setText(Text(fields.BudgetMegabytes));
    ui_->alertsEdit->setText(Text(fields.Alerts));
    ui_->planGroup->setChecked(fields.PlanOn);
    ui_->connectionFeeEdit->setText(Text(fields.ConnectionFee));
    ui_->includedMinutesEdit->setText(Text(fields.IncludedMinutes));
    ui_->kopecksPerMbEdit->setText(Text(fields.KopecksPerMegabyte));
    ShowRates(fields.Rates);
    ui_->interfacesList->clear();
    for (const InterfaceTick& tick : fields.Interfaces) {
        AddInterfaceRow(tick.Name, tick.Counted);
    }
    ui_->newInterfaceEdit->clear();
    ui_->newInterfaceProblem->clear();
    ui_->meteredOnlyCheck->setChecked(fields.MeteredOnly);
    filling_ = false;
}

void PlanSettingsPanel::ShowRates(const std::vector<RateFields>& rates) {
    const bool wasFilling = filling_;
    filling_ = true;
    QTableWidget* table = ui_->ratesTable;
    table->setRowCount(static_cast<int>(rates.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const RateFields& rate = rates[static_cast<std::size_t>(row)];
        for (int day = 0; day < kDayColumns; ++day) {
            table->setItem(row, day, DayCell(((rate.Days >> day) & 1u) != 0));
        }
        table->setItem(row, kFromColumn, TextCell(rate.From));
        table->setItem(row, kToColumn, TextCell(rate.To));
        table->setItem(row, kPriceColumn, TextCell(rate.KopecksPerMinute));
    }
    table->resizeColumnsToContents();
    filling_ = wasFilling;
}

std::vector<RateFields> PlanSettingsPanel::Rates() const {
    const QTableWidget* table = ui_->ratesTable;
    std::vector<RateFields> rates;
    const auto text = [table](int row, int column) {
        const QTableWidgetItem* cell = table->item(row, column);
        return cell != nullptr ? cell->text().toStdString() : std::string();
    };
    for (int row = 0; row < table->rowCount(); ++row) {
        RateFields rate;
        for (int day = 0; day < kDayColumns; ++day) {
            const QTableWidgetItem* cell = table->item(row, day);
            if (cell != nullptr && cell->checkState() == Qt::Checked) {
                rate.Days |= static_cast<uint8_t>(1u << day);
            }
        }
        rate.From = text(row, kFromColumn);
        rate.To = text(row, kToColumn);
        rate.KopecksPerMinute = text(row, kPriceColumn);
        rates.push_back(std::move(rate));
    }
    return rates;
}

PlanFields PlanSettingsPanel::Fields() const {
    PlanFields fields;
    fields.StartDay = ui_->startDayEdit->text().toStdString();
    fields.BudgetKopecks = ui_->budgetKopecksEdit->text().toStdString();
    fields.BudgetMinutes = ui_->budgetMinutesEdit->text().toStdString();
    fields.BudgetMegabytes = ui_->budgetMegabytesEdit->text().toStdString();
    fields.Alerts = ui_->alertsEdit->text().toStdString();
    fields.PlanOn = ui_->planGroup->isChecked();
    fields.ConnectionFee = ui_->connectionFeeEdit->text().toStdString();
    fields.IncludedMinutes = ui_->includedMinutesEdit->text().toStdString();
    fields.KopecksPerMegabyte = ui_->kopecksPerMbEdit->text().toStdString();
    fields.Rates = Rates();
    for (int row = 0; row < ui_->interfacesList->count(); ++row) {
        const QListWidgetItem* item = ui_->interfacesList->item(row);
        fields.Interfaces.push_back({item->data(Qt::UserRole).toByteArray().toStdString(),
                                     item->checkState() == Qt::Checked});
    }
    fields.MeteredOnly = ui_->meteredOnlyCheck->isChecked();
    return fields;
}

void PlanSettingsPanel::Check() {
    const PlanFieldProblems problems = ReadPlanFields(Fields(), loaded_, separators_).Problems;
    Mark(ui_->startDayProblem, problems.StartDay);
    Mark(ui_->budgetKopecksProblem, problems.BudgetKopecks);
    Mark(ui_->budgetMinutesProblem, problems.BudgetMinutes);
    Mark(ui_->budgetMegabytesProblem, problems.BudgetMegabytes);
    Mark(ui_->alertsProblem, problems.Alerts);
    Mark(ui_->connectionFeeProblem, problems.ConnectionFee);
    Mark(ui_->includedMinutesProblem, problems.IncludedMinutes);
    Mark(ui_->kopecksPerMbProblem, problems.KopecksPerMegabyte);

    // The rates' faults under the table, by row, and their cells tinted.
    QTableWidget* table = ui_->ratesTable;
    const QSignalBlocker blocker(table);
    QStringList lines;
    QStringList tips;
    for (int row = 0; row < table->rowCount(); ++row) {
        const RateProblems none;
        const RateProblems& rate =
            static_cast<std::size_t>(row) < problems.Rates.size() ? problems.Rates[row] : none;
        const std::pair<int, const std::optional<FieldProblem>*> cells[] = {
            {kFromColumn, &rate.From},
            {kToColumn, &rate.To},
            {kPriceColumn, &rate.KopecksPerMinute}};
        for (int day = 0; day < kDayColumns; ++day) {
            table->item(row, day)->setBackground(rate.Days ? QBrush(kFaultyCell) : QBrush());
        }
        for (const auto& cell : cells) {
            table->item(row, cell.first)
                ->setBackground(*cell.second ? QBrush(kFaultyCell) : QBrush());
        }
        for (const std::optional<FieldProblem>* problem :
             {&rate.Days, &rate.From, &rate.To, &rate.KopecksPerMinute}) {
            if (*problem) {
                lines << QString("Правило %1: %2").arg(row + 1).arg(Text((*problem)->Hint));
                tips << Text((*problem)->Text);
            }
        }
    }
    ui_->ratesProblem->setText(lines.join('\n'));
    ui_->ratesProblem->setToolTip(tips.join('\n'));
    ui_->saveButton->setEnabled(!loadFailed_ && !problems.Any());
}

void PlanSettingsPanel::AddRate() {
    std::vector<RateFields> rates = Rates();
    rates.push_back({0x7f, "", "", ""});
    ShowRates(rates);
    ui_->ratesTable->setCurrentCell(static_cast<int>(rates.size()) - 1, kPriceColumn);
    Check();
}

void PlanSettingsPanel::RemoveRate() {
    const int row = ui_->ratesTable->currentRow();
    std::vector<RateFields> rates = Rates();
    if (row < 0 || row >= static_cast<int>(rates.size())) {
        return;
    }
    rates.erase(rates.begin() + row);
    ShowRates(rates);
    Check();
}

void PlanSettingsPanel::MoveRate(int by) {
    const int row = ui_->ratesTable->currentRow();
    const int column = std::max(0, ui_->ratesTable->currentColumn());
    const int to = row + by;
    std::vector<RateFields> rates = Rates();
    if (row < 0 || to < 0 || to >= static_cast<int>(rates.size())) {
        return;
    }
    std::swap(rates[static_cast<std::size_t>(row)], rates[static_cast<std::size_t>(to)]);
    ShowRates(rates);
    ui_->ratesTable->setCurrentCell(to, column);
    Check();
}

void PlanSettingsPanel::AddInterface() {
    const std::string name = ui_->newInterfaceEdit->text().trimmed().toStdString();
    const std::optional<FieldProblem> problem = InterfaceNameProblem(name);
    Mark(ui_->newInterfaceProblem, problem);
    if (problem) {
        return;
    }
    for (int row = 0; row < ui_->interfacesList->count(); ++row) {
        QListWidgetItem* item = ui_->interfacesList->item(row);
        if (item->data(Qt::UserRole).toByteArray().toStdString() == name) {
            item->setCheckState(Qt::Checked);
            ui_->newInterfaceEdit->clear();
            return;
        }
    }
    AddInterfaceRow(name, true);
    ui_->newInterfaceEdit->clear();
}

void PlanSettingsPanel::AddInterfaceRow(const std::string& name, bool counted) {
    auto* item = new QListWidgetItem(Text(name), ui_->interfacesList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(counted ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, QByteArray::fromStdString(name));
}

void PlanSettingsPanel::SetStatus(const QString& text, bool fault) {
    ui_->statusLabel->setText(text);
    ui_->statusLabel->setStyleSheet(fault ? "color: #b00000;" : "");
}
