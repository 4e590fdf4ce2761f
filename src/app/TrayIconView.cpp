#include "TrayIconView.h"

#include "QtTrayShell.h"
#include "Unit1.h"

TrayIconView::TrayIconView(TForm1& owner) : icon_(&owner, std::make_unique<QtTrayShell>()) {
    icon_.SetPopupMenu(owner.PopupMenu1);
    icon_.SetNoClose(true);
    icon_.OnDblClick = [&owner] { owner.Guarded([&owner] { owner.TrayIcon1DblClick(); }); };
    icon_.Loaded();
}
