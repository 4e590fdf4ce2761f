#include "UiFakes.h"

#include "Errors.h"

#include <filesystem>

void RecordingTray::LoadIconFromFile(const QString& path) {
    if (!std::filesystem::is_regular_file(path.toStdString())) {
        throw Exception("Cannot open file " + path.toStdString());
    }
    icons.push_back(path);
}
