#pragma once

#include <string>

// The program's modal message boxes and the system beep. Texts are UTF-8.
// Production shows Qt message boxes; tests record what would be shown.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // The system's default beep, sounded before each user message.
    virtual void Beep() = 0;
    // Caption "Warning", exclamation icon, one button "OK".
    virtual void Warning(const std::string& text) = 0;
    // Caption "Information", information icon, one button "OK".
    virtual void Information(const std::string& text) = 0;
    // Caption "Confirm", question icon, buttons "&Yes" and "&No"; true for Yes.
    virtual bool Confirm(const std::string& text) = 0;
    // Error icon, one button "OK", with the caption given.
    virtual void Error(const std::string& caption, const std::string& text) = 0;

    enum class SaveAnswer { Save, Discard, Cancel };
    // Caption "Vimo", question icon, buttons "&Сохранить", "&Не сохранять"
    // and "Отмена"; Esc and the box's own close button answer Cancel.
    virtual SaveAnswer AskToSave(const std::string& text) = 0;
};
