#pragma once

#include <filesystem>
#include <optional>
#include <string>

class QWidget;

// What a save dialog is asked to show. Texts are UTF-8; `Filter` is one entry
// in Qt's form, "Description (*.ext)".
struct SaveDialogRequest {
    std::string Title;
    std::string Filter;
    std::string DefaultSuffix;
    std::string FileName;
};

// The modal dialog in which the user picks a file to save to. It asks before
// an existing file is overwritten and never moves the working folder.
class SaveFileDialog {
  public:
    virtual ~SaveFileDialog() = default;
    // The confirmed file, or nullopt when the user cancelled.
    virtual std::optional<std::filesystem::path> Run(QWidget* parent,
                                                     const SaveDialogRequest& request) = 0;
};

// Qt's own file dialog rather than the desktop's, so the title, the filter and
// the overwrite question are the same on every desktop.
class QtSaveFileDialog final : public SaveFileDialog {
  public:
    std::optional<std::filesystem::path> Run(QWidget* parent,
                                             const SaveDialogRequest& request) override;
};
