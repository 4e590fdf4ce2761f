#include "PlanSettingsPanel.h"

#include "LocaleNumbers.h"
#include "core/DataFiles.h"
#include "core/Errors.h"
#include "plan/PlanFile.h"
#include "plan/PlanFileWriter.h"
#include "ui_PlanSettingsPanel.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QListWidgetItem>
#include <QPalette>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QStyledItemDelegate>
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
// A wrong cell that is selected: the selection colour would hide the tint.
const QColor kFaultySelectedCell(220, 90, 90);
constexpr int kFaultRole = Qt::UserRole + 1;

// Paints a wrong cell red also while it is selected.
class FaultTintDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem tinted(option);
        if (index.data(kFaultRole).toBool()) {
            tinted.palette.setColor(QPalette::Highlight, kFaultySelectedCell);
            tinted.palette.setColor(QPalette::HighlightedText, Qt::black);
        }
        QStyledItemDelegate::paint(painter, tinted, index);
    }
};

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A field's name as its label shows it, without the mnemonic and the colon.
QString FieldName(const QLabel* label) {
    QString name = label->text().remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':'))) {
        name.chop(1);
    }
    return name;
}

// The panel's own Russian words: the plan file's English texts belong to
// the file's error box, not to a person typing into a field.
QString Worded(const QString& field, const FieldProblem& problem) {
    return QString("«%1»: %2").arg(field, Text(problem.Hint));
}

void Mark(QLabel* label, const QLabel* fieldLabel, const std::optional<FieldProblem>& problem) {
    label->setText(problem ? Text(problem->Hint) : QString());
    label->setToolTip(problem ? Worded(FieldName(fieldLabel), *problem) : QString());
}

// Widens a field until its placeholder shows whole in the font it has.
void FitPlaceholder(QLineEdit* edit) {
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    const QMargins margins = edit->textMargins();
    // QLineEdit keeps 2 px of its own on either side of the text; a blank's
    // room keeps the text off the frame.
    const QString shown = edit->placeholderText() + QLatin1Char(' ');
    const int width = edit->fontMetrics().horizontalAdvance(shown) + 2 * frame + margins.left() +
                      margins.right() + 2 * 2;
    edit->setMinimumWidth(std::max(edit->minimumWidth(), width));
    edit->setMaximumWidth(std::max(edit->maximumWidth(), width));
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
    ui_->ratesTable->setItemDelegate(new FaultTintDelegate(ui_->ratesTable));
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        FitPlaceholder(edit);
    }
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
    connect(ui_->providerButton, &QPushButton::clicked, this, [this] { GiveProviderFigures(); });
    Reload();
}

void PlanSettingsPanel::GiveProviderFigures() {
    QLineEdit* const edits[] = {ui_->providerKopecksEdit, ui_->providerMinutesEdit,
                                ui_->providerMegabytesEdit};
    const ProviderFieldsReading read =
        ReadProviderFields({edits[0]->text().toStdString(), edits[1]->text().toStdString(),
                            edits[2]->text().toStdString()});
    if (read.Problem) {
        ui_->providerStatus->setStyleSheet(QStringLiteral("color: #b00000;"));
        ui_->providerStatus->setText(Text(read.Problem->Hint));
        edits[read.ProblemField.value_or(0)]->setFocus();
        return;
    }
    emit ProviderFiguresGiven({read.Kopecks, read.Minutes, read.Megabytes});
}

void PlanSettingsPanel::ProviderFiguresTaken(TDateTime at) {
    for (QLineEdit* edit :
         {ui_->providerKopecksEdit, ui_->providerMinutesEdit, ui_->providerMegabytesEdit}) {
        edit->clear();
    }
    ui_->providerStatus->setStyleSheet(QString());
    ui_->providerStatus->setText(tr("Сверено %1 %2").arg(Text(DateText(at)), Text(ClockText(at))));
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
        SetStatus(fault + '\n' + tr("Файл не изменён: исправьте его и нажмите «Перечитать»."),
                  true);
    } else {
        SetStatus(QString(), false);
    }
    Check();
}

void PlanSettingsPanel::Save() {
    const PlanFieldsReading reading = ReadPlanFields(Fields(), loaded_, separators_);
    Check();
    if (loadFailed_ || reading.Problems.Any()) {
        SetStatus(tr("Не сохранено: исправьте отмеченные поля."), true);
        return;
    }
    bool written = false;
    try {
        const std::string current = ReadPlanText(folder_);
        if (current != loadedText_ &&
            !boxes_.Confirm(tr("Файл Vimo.toml изменён после того, как панель его прочла. "
                               "Записать поверх него значения из окна?")
                                .toStdString())) {
            SetStatus(tr("Не сохранено: файл изменён вне окна; «Перечитать» покажет его."), true);
            return;
        }
        const std::string text = PlanTextWith(current, reading.Settings);
        // Nothing typed, nothing written: an untouched panel over no file
        // would otherwise leave an empty one. What it shows is still put in
        // force, as the file may have been mended by hand.
        written = text != current;
        if (written) {
            WritePlanFile(folder_, text);
        }
        loadedText_ = text;
        loaded_ = ParsePlanText(text);
    } catch (const EInOutError& error) {
        SetStatus(tr("Не сохранено (%1): %2")
                      .arg(Text(std::string(datafiles::kPlan)), Text(error.what())),
                  true);
        return;
    } catch (const std::exception& error) {
        SetStatus(tr("Не сохранено: %1").arg(Text(error.what())), true);
        return;
    }
    Show(FieldsOf(loaded_, interfaces_.Names(), separators_));
    Check();
    SetStatus(written ? tr("Сохранено.") : tr("Изменений нет: файл не записан."), false);
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
    switch (boxes_.AskToSave(
        tr("Изменения плана и бюджета не сохранены. Сохранить их в Vimo.toml?").toStdString())) {
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
            SetStatus(tr("Показан Vimo.toml, изменённый вне окна."), false);
        }
        return;
    }
    SetStatus(
        tr("Vimo.toml изменён вне окна; ваши правки не сохранены. «Перечитать» покажет файл."),
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
    struct Field {
        const QLabel* name;
        QLabel* problemLabel;
        const std::optional<FieldProblem>& problem;
    };
    // Top to bottom, as the fields stand: the first wrong one is named
    // beside the button, which may sit far below it.
    const Field fields[] = {
        {ui_->startDayLabel, ui_->startDayProblem, problems.StartDay},
        {ui_->budgetKopecksLabel, ui_->budgetKopecksProblem, problems.BudgetKopecks},
        {ui_->budgetMinutesLabel, ui_->budgetMinutesProblem, problems.BudgetMinutes},
        {ui_->budgetMegabytesLabel, ui_->budgetMegabytesProblem, problems.BudgetMegabytes},
        {ui_->alertsLabel, ui_->alertsProblem, problems.Alerts},
        {ui_->connectionFeeLabel, ui_->connectionFeeProblem, problems.ConnectionFee},
        {ui_->includedMinutesLabel, ui_->includedMinutesProblem, problems.IncludedMinutes},
        {ui_->kopecksPerMbLabel, ui_->kopecksPerMbProblem, problems.KopecksPerMegabyte}};
    QString first;
    for (const Field& field : fields) {
        Mark(field.problemLabel, field.name, field.problem);
        if (field.problem && first.isEmpty()) {
            first = Worded(FieldName(field.name), *field.problem);
        }
    }

    // The rates' faults under the table, by row, and their cells tinted.
    QTableWidget* table = ui_->ratesTable;
    const QSignalBlocker blocker(table);
    QStringList lines;
    QStringList tips;
    const auto columnName = [table](int column) {
        return table->horizontalHeaderItem(column)->text();
    };
    const auto tint = [](QTableWidgetItem* cell, bool faulty) {
        cell->setBackground(faulty ? QBrush(kFaultyCell) : QBrush());
        cell->setData(kFaultRole, faulty ? QVariant(true) : QVariant());
    };
    for (int row = 0; row < table->rowCount(); ++row) {
        const RateProblems none;
        const RateProblems& rate =
            static_cast<std::size_t>(row) < problems.Rates.size() ? problems.Rates[row] : none;
        for (int day = 0; day < kDayColumns; ++day) {
            tint(table->item(row, day), rate.Days.has_value());
        }
        const std::pair<QString, const std::optional<FieldProblem>*> cells[] = {
            {tr("дни"), &rate.Days},
            {"«" + columnName(kFromColumn) + "»", &rate.From},
            {"«" + columnName(kToColumn) + "»", &rate.To},
            {"«" + columnName(kPriceColumn) + "»", &rate.KopecksPerMinute}};
        tint(table->item(row, kFromColumn), rate.From.has_value());
        tint(table->item(row, kToColumn), rate.To.has_value());
        tint(table->item(row, kPriceColumn), rate.KopecksPerMinute.has_value());
        for (const auto& [column, problem] : cells) {
            if (*problem) {
                const QString tip =
                    tr("Правило %1, %2: %3").arg(row + 1).arg(column, Text((*problem)->Hint));
                lines << tr("Правило %1: %2").arg(row + 1).arg(Text((*problem)->Hint));
                tips << tip;
                if (first.isEmpty()) {
                    first = tip;
                }
            }
        }
    }
    ui_->ratesProblem->setText(lines.join('\n'));
    ui_->ratesProblem->setToolTip(tips.join('\n'));
    // While the file itself is refused, the status beside the button says so.
    ui_->saveBlockedLabel->setText(
        loadFailed_ || first.isEmpty() ? QString() : tr("Не сохраняется: %1").arg(first));
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
    Mark(ui_->newInterfaceProblem, ui_->newInterfaceLabel, problem);
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
