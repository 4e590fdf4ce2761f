#include "UiFakes.h"

#include "core/Errors.h"

#include <QWidget>

#include <filesystem>

void FakeAutostart::Write(const std::string& programPath) {
    if (locked) {
        throw Exception("Cannot create file Vimo.desktop");
    }
    path = programPath;
}

void FakeAutostart::Remove() {
    if (locked && path) {
        throw Exception("Cannot remove file Vimo.desktop");
    }
    path.reset();
}

std::optional<std::filesystem::path> FakeSaveDialog::Run(QWidget* parent,
                                                         const SaveDialogRequest& request) {
    parentSeen = parent;
    requests.push_back(request);
    if (whileOpen) {
        whileOpen();
    }
    return answer;
}

void RecordingActivation::Activate(QWidget* window, const QString& token) {
    tokens << token;
    window->show();
}
