// A tiny program with a tray icon, for the desktop test: its window starts
// hidden, a double click on the icon shows it, the right button opens a menu.
// Every event is printed on a line of its own so the test can follow it.
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QString>
#include <QVBoxLayout>
#include <cstdio>

#include "QtTrayShell.h"
#include "TrayIcon.h"

namespace {

void Say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QIcon DrawnIcon() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 160, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 18, 18);
    return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget owner;
    owner.setWindowTitle(QStringLiteral("Vimo tray demo"));
    owner.resize(320, 160);
    auto* layout = new QVBoxLayout(&owner);
    layout->addWidget(new QLabel(QStringLiteral("The window behind the tray icon"), &owner));

    auto* tray = new TTrayIcon(&owner, std::make_unique<QtTrayShell>());
    QMenu menu;
    menu.setTitle(QStringLiteral("Vimo tray menu"));
    menu.addAction(QStringLiteral("Show window"), [&owner] { owner.show(); });
    menu.addAction(QStringLiteral("Exit"), [&] {
        tray->AllowClose();
        owner.close();
        QApplication::quit();
    });

    tray->SetNoClose(true);
    tray->SetPopupMenu(&menu);
    tray->SetHint(QStringLiteral("Vimo demo\nsecond line"));
    QObject::connect(tray, &TTrayIcon::DblClick, [&owner] {
        Say(QStringLiteral("DblClick"));
        owner.show();
        owner.raise();
        owner.activateWindow();
    });
    QObject::connect(tray, &TTrayIcon::Click, [] { Say(QStringLiteral("Click")); });
    QObject::connect(tray, &TTrayIcon::PopUp, [] { Say(QStringLiteral("PopUp")); });
    QObject::connect(tray, &TTrayIcon::MouseDown,
                     [](TMouseButton button, TShiftState shift, int x, int y) {
                         const char* names[] = {"left", "right", "middle"};
                         Say(QStringLiteral("MouseDown %1%2 at %3,%4")
                                 .arg(QLatin1String(names[static_cast<int>(button)]))
                                 .arg(QLatin1String((shift & ssDouble) ? " double" : ""))
                                 .arg(x)
                                 .arg(y));
                     });
    tray->SetIcon(DrawnIcon());
    tray->Loaded();
    Say(QStringLiteral("started"));
    return QApplication::exec();
}
