#pragma once

#include <QString>

// What the window does with its tray icon: change its picture, set its
// two-line hint and let the program's own exit through. Production wraps the
// tray icon component; tests record the calls.
class TrayView {
  public:
    virtual ~TrayView() = default;
    // Throws EFOpenError "Cannot open file <path>" and keeps the old picture
    // when the file cannot be read as an icon.
    virtual void LoadIconFromFile(const QString& path) = 0;
    virtual void SetHint(const QString& hint) = 0;
    // The next close of the window really closes it instead of hiding it.
    virtual void AllowClose() = 0;
};
