#pragma once

#include "TrayIcon.h"
#include "TrayView.h"

class TForm1;

// The window's tray icon `TrayIcon1` in the desktop's notification area: it
// carries the tray menu, keeps the window hidden at start, hides it instead of
// closing it, and shows it again on a double click.
class TrayIconView final : public TrayView {
  public:
    explicit TrayIconView(TForm1& owner);

    void LoadIconFromFile(const QString& path) override { icon_.LoadIconFromFile(path); }
    void SetHint(const QString& hint) override { icon_.SetHint(hint); }
    void AllowClose() override { icon_.AllowClose(); }

  private:
    TTrayIcon icon_;
};
