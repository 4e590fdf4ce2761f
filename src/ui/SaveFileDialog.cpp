#include "SaveFileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace {

// Qt adds the default suffix only to a name without any dot, and takes
// "Linkminutes (15.08.2003)" as one ending in ".2003)". The proposed name
// therefore carries the suffix itself unless it ends in a plain extension, so
// the overwrite question is asked about the file really written.
QString WithDefaultSuffix(const QString& name, const QString& suffix) {
    static const QRegularExpression kPlainExtension(QStringLiteral("\\.[A-Za-z0-9]+$"));
    if (suffix.isEmpty() || name.isEmpty() || kPlainExtension.match(name).hasMatch()) {
        return name;
    }
    return name + QLatin1Char('.') + suffix;
}

}  // namespace

std::optional<std::filesystem::path> QtSaveFileDialog::Run(QWidget* parent,
                                                           const SaveDialogRequest& request) {
    const QString suffix = QString::fromStdString(request.DefaultSuffix);
    QFileDialog dialog(parent, QString::fromStdString(request.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromStdString(request.Filter));
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(WithDefaultSuffix(QString::fromStdString(request.FileName), suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}
