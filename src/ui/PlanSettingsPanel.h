#pragma once

#include "InterfaceList.h"
#include "MessageBoxes.h"
#include "core/NumberText.h"
#include "plan/PlanAccount.h"
#include "plan/PlanFields.h"
#include "plan/PlanSettings.h"

#include <QLocale>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>

namespace Ui {
class PlanSettingsPanel;
}
class QLabel;
class QLineEdit;

// The settings panel of the plan file "Vimo.toml" in the working folder: the
// billing cycle, the budget and its alerts, the plan's prices and the
// interfaces that count, each field with its fault beside it. "Сохранить"
// stays disabled while a field is wrong, the first wrong one named beside it,
// or while the file on disk is one the program refuses (it is then left for
// the person to mend). A save writes
// the file atomically, keeps what the panel does not show, and asks before
// it replaces a file changed on disk since the panel read it. Numbers are
// shown and read with the separators of `locale`.
class PlanSettingsPanel : public QWidget {
    Q_OBJECT

  public:
    // `folder` is the working folder; `interfaces` lists the machine's
    // interfaces for ticking, besides those the file names; `boxes` asks
    // before a changed file is replaced. Reads the file at once.
    PlanSettingsPanel(std::filesystem::path folder, const InterfaceList& interfaces,
                      MessageBoxes& boxes, QWidget* parent = nullptr,
                      const QLocale& locale = QLocale());
    ~PlanSettingsPanel() override;

    // Reads "Vimo.toml" again and shows it; what was typed and not saved is
    // dropped.
    void Reload();
    // Writes the fields to "Vimo.toml" when none is wrong and they change
    // it; the outcome shows beside the button.
    void Save();
    // Something typed says other than the file as read: a field is wrong or
    // the settings it gives differ from the file's.
    bool HasUnsavedEdits() const;
    // Before the window closes: with unsaved edits, asks whether to save
    // them, drop them (the file is shown again) or stay. True when it may
    // close; a save that fails keeps it open with its reason in sight.
    bool MayClose();
    // After the program's look at the file: a changed file is shown when
    // nothing is typed; typed edits are kept and the change is said beside
    // "Сохранить", whose question before overwriting stays.
    void FollowFile();

    // The provider's figures were taken at `at`: the fields are emptied and
    // the moment is said beside them.
    void ProviderFiguresTaken(TDateTime at);

  signals:
    // "Vimo.toml" holds what the panel shows: written, or already so (an
    // untouched panel writes nothing).
    void Saved();
    // "Сверить" with figures that read: the cycle is to count from them.
    void ProviderFiguresGiven(const PlanAccount::ProviderFigures& figures);

  private:
    void Show(const PlanFields& fields);
    void ShowRates(const std::vector<RateFields>& rates);
    PlanFields Fields() const;
    std::vector<RateFields> Rates() const;
    // Every field's fault beside it, and the button enabled when none is.
    void Check();
    void AddRate();
    void RemoveRate();
    void MoveRate(int by);
    void AddInterface();
    void AddInterfaceRow(const std::string& name, bool counted);
    void SetStatus(const QString& text, bool fault);
    void GiveProviderFigures();

    std::unique_ptr<Ui::PlanSettingsPanel> ui_;
    std::filesystem::path folder_;
    const InterfaceList& interfaces_;
    MessageBoxes& boxes_;
    NumberSeparators separators_;
    // The file as read (or last written) and what it says.
    std::string loadedText_;
    PlanSettings loaded_;
    // The file on disk could not be read or is refused: nothing is saved.
    bool loadFailed_ = false;
    // Widgets being filled from the file: their signals are not checks.
    bool filling_ = false;
};
