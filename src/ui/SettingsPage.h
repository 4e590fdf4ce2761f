#pragma once

#include "ErrorHandler.h"
#include "MessageBoxes.h"
#include "files/PropRecord.h"
#include "meter/ConnectionMeter.h"
#include "system/AutostartStore.h"
#include "system/OsPlatform.h"

#include <QFrame>
#include <QLocale>

#include <memory>

namespace Ui {
class SettingsPage;
}

// The settings page, `Properties`: the first-recording date, the tariff and
// starting with the desktop session. The record lives in the meter; the
// autostart entry follows the running family's choice. Numbers are read and
// written with the separators of `locale`, the user's number settings.
class SettingsPage : public QFrame {
    Q_OBJECT

  public:
    static constexpr const char* kSettingsSaved = QT_TR_NOOP("Данные успешно сохранены");

    SettingsPage(QWidget* parent, ConnectionMeter& meter, MessageBoxes& boxes,
                 AutostartStore& autostart, const OsPlatform& platform, bool isNT,
                 TopLevelErrorHandler& errors, const QLocale& locale = QLocale());
    ~SettingsPage() override;

    // Start-up: creates a missing settings file with the defaults, reads it
    // and shows it. `isNT` (construction) picks the running family's
    // autostart choice.
    void LoadProp();
    // Writes `record` (the default record when it is blank) and applies its
    // autostart choice.
    void CreateProp(const TPropRecord& record);
    void BitBtn6Click();

  private:
    std::unique_ptr<Ui::SettingsPage> ui_;
    ConnectionMeter& meter_;
    MessageBoxes& boxes_;
    AutostartStore& autostart_;
    const OsPlatform& platform_;
    QLocale locale_;
    bool isNT_ = false;
};
