#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Buttons get their texts set explicitly so that in Russian the captions
// stay the standard English ones whatever translations Qt has loaded; the
// Ukrainian and English catalogues give theirs.
QMessageBox::ButtonRole ShowBox(QMessageBox::Icon icon, const QString& caption,
                                const std::string& text, bool yesNo) {
    // The texts start with a carriage return for an empty first line; Qt
    // breaks lines only at line feeds.
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, caption, shown);
    QPushButton* yes = nullptr;
    if (yesNo) {
        yes = box.addButton(QtMessageBoxes::tr("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QtMessageBoxes::tr("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
    } else {
        box.addButton(QtMessageBoxes::tr("OK"), QMessageBox::AcceptRole);
    }
    box.exec();
    if (yesNo) {
        return box.clickedButton() == yes ? QMessageBox::YesRole : QMessageBox::NoRole;
    }
    return QMessageBox::AcceptRole;
}

}  // namespace

void QtMessageBoxes::Beep() {
    QApplication::beep();
}

void QtMessageBoxes::Warning(const std::string& text) {
    ShowBox(QMessageBox::Warning, tr("Warning"), text, false);
}

void QtMessageBoxes::Information(const std::string& text) {
    ShowBox(QMessageBox::Information, tr("Information"), text, false);
}

bool QtMessageBoxes::Confirm(const std::string& text) {
    return ShowBox(QMessageBox::Question, tr("Confirm"), text, true) == QMessageBox::YesRole;
}

void QtMessageBoxes::Error(const std::string& caption, const std::string& text) {
    ShowBox(QMessageBox::Critical, QString::fromStdString(caption), text, false);
}

MessageBoxes::SaveAnswer QtMessageBoxes::AskToSave(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vimo"), QString::fromStdString(text));
    QPushButton* save = box.addButton(tr("&Сохранить"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("&Не сохранять"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return SaveAnswer::Save;
    }
    return box.clickedButton() == discard ? SaveAnswer::Discard : SaveAnswer::Cancel;
}
