#pragma once

#include "MessageBoxes.h"

// Message boxes drawn by Qt with the standard English captions and buttons;
// the question about unsaved edits has the overview's Russian buttons.
class QtMessageBoxes final : public MessageBoxes {
  public:
    void Beep() override;
    void Warning(const std::string& text) override;
    void Information(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    SaveAnswer AskToSave(const std::string& text) override;
};
