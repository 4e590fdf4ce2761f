#pragma once

#include "MessageBoxes.h"

#include <QCoreApplication>

// Message boxes drawn by Qt with the standard English captions and buttons
// (in Russian; a catalogue gives its language's); the question about unsaved
// edits has the overview's buttons.
class QtMessageBoxes final : public MessageBoxes {
    Q_DECLARE_TR_FUNCTIONS(QtMessageBoxes)

  public:
    void Beep() override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    SaveAnswer AskToSave(const std::string& text) override;
};
