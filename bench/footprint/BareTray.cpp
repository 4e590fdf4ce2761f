// The floor of what any Qt tray program costs: an application that shows one
// QSystemTrayIcon and nothing else, measured beside the real program.
#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The same picture the real program starts with, when given.
    const QIcon icon = argc > 1 ? QIcon(QString::fromLocal8Bit(argv[1]))
                                : QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    QSystemTrayIcon tray(icon);
    tray.setToolTip(QStringLiteral("bare tray"));
    tray.show();
    return QApplication::exec();
}
