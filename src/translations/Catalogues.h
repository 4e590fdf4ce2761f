#pragma once

#include "system/UiLanguage.h"

#include <memory>

class QTranslator;

// The texts of a language: Vimo's own catalogue, built into the program, and
// Qt's for its buttons and dialogs, from Qt's translations folder. Russian,
// the program's own language, needs only Qt's; where no language was asked
// for, nothing is loaded and every text is as it always was.
class Catalogues {
  public:
    explicit Catalogues(std::optional<UiLanguage> language);
    ~Catalogues();
    Catalogues(const Catalogues&) = delete;
    Catalogues& operator=(const Catalogues&) = delete;

    // Puts the catalogues in force: for the application's tr() and its forms
    // when there is an application, and for the core's texts in any case.
    // Called once, before any window is built or any other thread starts;
    // the catalogues must outlive every text looked up, and take themselves
    // out of force when they go.
    void Install();

    // Whether Vimo's catalogue of the language loaded; never for Russian.
    bool HasOwnCatalogue() const;

  private:
    std::unique_ptr<QTranslator> own_;
    std::unique_ptr<QTranslator> qt_;
    bool installed_ = false;
};
