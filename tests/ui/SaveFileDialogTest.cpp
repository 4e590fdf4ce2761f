#include "SaveFileDialog.h"
#include "TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const SaveDialogRequest kRequest{"Запись статистики в файл", "Текстовый файл (*.txt)", "txt",
                                 "Linkminutes (15.08.2003)"};

// Runs the real dialog and hands it to `act` once it shows.
std::optional<std::filesystem::path> RunDialog(const SaveDialogRequest& request,
                                               const std::function<void(QFileDialog&)>& act) {
    QTimer::singleShot(0, [&act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
    QtSaveFileDialog saveDialog;
    return saveDialog.Run(nullptr, request);
}

QString FileNameField(QFileDialog& dialog) {
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return field != nullptr ? field->text() : QStringLiteral("<no field>");
}

TEST(QtSaveFileDialog, IsQtsOwnDialogWithTheTitleFilterAndProposedName) {
    bool seen = false;
    const auto chosen = RunDialog(kRequest, [&seen](QFileDialog& dialog) {
        seen = true;
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Запись статистики в файл"));
        EXPECT_EQ(dialog.nameFilters(), QStringList{QString::fromUtf8("Текстовый файл (*.txt)")});
        EXPECT_EQ(dialog.defaultSuffix(), "txt");
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(FileNameField(dialog), "Linkminutes (15.08.2003).txt");
        dialog.reject();
    });
    EXPECT_TRUE(seen);
    EXPECT_FALSE(chosen);
}

TEST(QtSaveFileDialog, ReturnsTheConfirmedFileAndKeepsAPlainExtension) {
    TempDir dir;
    SaveDialogRequest request = kRequest;
    request.FileName = "report.csv";
    const auto chosen = RunDialog(request, [&dir](QFileDialog& dialog) {
        EXPECT_EQ(FileNameField(dialog), "report.csv");
        dialog.selectFile(QString::fromStdString((dir / "saved.txt").string()));
        QMetaObject::invokeMethod(&dialog, "accept");  // the Save button
    });
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir / "saved.txt");
}

}  // namespace
