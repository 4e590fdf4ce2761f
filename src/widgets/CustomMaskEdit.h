#pragma once

#include <QLineEdit>
#include <QLocale>
#include <QString>
#include <exception>

#include "core/NumberText.h"

// The tariff field: a line edit for a signed decimal number of at most four
// characters, kept in the form with one digit after the decimal separator.
// Typed characters pass a filter (digits, "-" at the start, one separator
// after any "-"); pasted text skips the filter but not the length limit; every
// change ends in NormalizeText. The separators come from `locale`, which is
// the system's number settings in the program; the number texts themselves
// are NumberText's, whatever the C library's locale.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr int kMaxLength = 4;

    explicit TMaskEdit(QWidget* parent = nullptr, const QLocale& locale = QLocale());

    QString Text() const { return text(); }
    // Does nothing for the current text; otherwise stores the first four
    // characters, puts the caret at the start and runs NormalizeText, whose
    // EConvertError reaches the caller with the assigned text kept.
    void SetText(const QString& value);
    // Throws EConvertError; see FloatFieldValue.
    double FloatValue() const;
    // Rewrites the text in the one-decimal form until it no longer changes.
    void NormalizeText();

    // Insert toggles between inserting and overwriting, for every such field
    // of the program at once; inserting is the initial mode.
    static bool OverwriteMode() { return overwriteMode_; }
    static void SetOverwriteMode(bool value) { overwriteMode_ = value; }

    void Paste();
    void Cut();
    void Copy() const;

  signals:
    // An error raised while handling keys, the clipboard or the menu, with
    // its text; it never goes into Qt's event loop. Without a receiver the
    // text goes to qWarning.
    void ErrorRaised(const QString& message);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool Accepts(QChar typed) const;
    void InsertText(const QString& inserted);
    void DeleteBackward();
    void DeleteForward();
    void DeleteSelection();
    void ApplyEdit(const QString& edited, int caret);
    void Report(const std::exception& error);

    static inline bool overwriteMode_ = false;
    NumberSeparators separators_;
    // The typed-character filter compares QChars with it.
    QString decimalSeparator_;
};
