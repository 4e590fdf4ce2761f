#include "CustomMaskEdit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <algorithm>

#include "LocaleNumbers.h"
#include "core/Errors.h"

namespace {

bool IsNavigation(const QKeyEvent* event) {
    static const QKeySequence::StandardKey kMoves[] = {
        QKeySequence::MoveToNextChar,        QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,        QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,     QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,    QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar,        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,     QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,    QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument,
    };
    if (std::any_of(std::begin(kMoves), std::end(kMoves),
                    [event](QKeySequence::StandardKey key) { return event->matches(key); })) {
        return true;
    }
    const int key = event->key();
    return key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Left || key == Qt::Key_Right;
}

}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent, const QLocale& locale)
    : QLineEdit(parent),
      separators_(SeparatorsOf(locale)),
      decimalSeparator_(locale.decimalPoint()) {
    setMaxLength(kMaxLength);
    // Dropped text and input-method text would bypass the filter.
    setAcceptDrops(false);
    setDragEnabled(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    QLineEdit::setText(QString::fromStdString(FormatOneDecimal(0.0, separators_)));
}

void TMaskEdit::SetText(const QString& value) {
    if (value == text()) {
        return;
    }
    QLineEdit::setText(value.left(kMaxLength));
    setCursorPosition(0);
    NormalizeText();
}

double TMaskEdit::FloatValue() const {
    return FloatFieldValue(text().toStdString(), separators_);
}

void TMaskEdit::NormalizeText() {
    const QString formatted = QString::fromStdString(FormatOneDecimal(FloatValue(), separators_));
    // The assignment cuts to four characters; it ends the rewriting once the
    // cut form is what the field already holds ("-13,0" kept as "-13,").
    if (formatted != text() && formatted.left(kMaxLength) != text()) {
        SetText(formatted);
    }
}

// Digits anywhere except straight in front of a "-"; "-" only at the start of
// a text without one; the separator only once, and only behind any "-".
bool TMaskEdit::Accepts(QChar typed) const {
    const QString current = text();
    const int caret = cursorPosition();
    if (typed.isDigit() && typed.unicode() < 128) {
        return !(caret < current.size() && current.at(caret) == QLatin1Char('-'));
    }
    if (typed == QLatin1Char('-')) {
        return caret == 0 && !current.contains(QLatin1Char('-'));
    }
    if (QString(typed) == decimalSeparator_) {
        const qsizetype minus = current.indexOf(QLatin1Char('-'));
        return !current.contains(decimalSeparator_) && minus < caret;
    }
    return false;
}

// The selection goes first (or, overwriting, the character after the caret);
// the new text goes in only if the result fits, and what was deleted stays
// deleted either way.
void TMaskEdit::InsertText(const QString& inserted) {
    if (isReadOnly()) {
        return;
    }
    QString edited = text();
    int start = cursorPosition();
    if (hasSelectedText()) {
        start = selectionStart();
        edited.remove(start, selectionLength());
    } else if (overwriteMode_ && start < edited.size()) {
        edited.remove(start, 1);
    }
    int caret = start;
    if (edited.size() + inserted.size() <= kMaxLength) {
        edited.insert(start, inserted);
        caret = start + static_cast<int>(inserted.size());
    }
    ApplyEdit(edited, caret);
}

void TMaskEdit::DeleteSelection() {
    QString edited = text();
    const int start = selectionStart();
    edited.remove(start, selectionLength());
    ApplyEdit(edited, start);
}

void TMaskEdit::DeleteBackward() {
    if (isReadOnly()) {
        return;
    }
    if (hasSelectedText()) {
        DeleteSelection();
        return;
    }
    const int caret = cursorPosition();
    QString edited = text();
    if (caret > 0) {
        edited.remove(caret - 1, 1);
    }
    ApplyEdit(edited, std::max(caret - 1, 0));
}

void TMaskEdit::DeleteForward() {
    if (isReadOnly()) {
        return;
    }
    if (hasSelectedText()) {
        DeleteSelection();
        return;
    }
    const int caret = cursorPosition();
    QString edited = text();
    edited.remove(caret, 1);
    ApplyEdit(edited, caret);
}

// Stores the edited text as it is, normalises it and puts the caret back where
// the edit left it. A text that cannot be read stays in the field.
void TMaskEdit::ApplyEdit(const QString& edited, int caret) {
    QLineEdit::setText(edited);
    try {
        NormalizeText();
    } catch (const std::exception& error) {
        setCursorPosition(std::min(caret, static_cast<int>(text().size())));
        Report(error);
        return;
    }
    setCursorPosition(std::min(caret, static_cast<int>(text().size())));
}

void TMaskEdit::Report(const std::exception& error) {
    if (isSignalConnected(QMetaMethod::fromSignal(&TMaskEdit::ErrorRaised))) {
        emit ErrorRaised(QString::fromUtf8(error.what()));
    } else {
        qWarning("%s", error.what());
    }
}

void TMaskEdit::Paste() {
    InsertText(QGuiApplication::clipboard()->text());
}

void TMaskEdit::Copy() const {
    if (hasSelectedText()) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

void TMaskEdit::Cut() {
    if (isReadOnly() || !hasSelectedText()) {
        return;
    }
    Copy();
    DeleteSelection();
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::Cut)) {
        Cut();
    } else if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        overwriteMode_ = !overwriteMode_;
    } else if (event->key() == Qt::Key_Backspace && event->modifiers() == Qt::NoModifier) {
        DeleteBackward();
    } else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        DeleteForward();
    } else if (event->key() == Qt::Key_Escape) {
        deselect();
        event->ignore();  // a dialog around the field still sees Esc
    } else if (IsNavigation(event)) {
        QLineEdit::keyPressEvent(event);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
               event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        QLineEdit::keyPressEvent(event);
    } else if (!event->text().isEmpty() &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        for (const QChar typed : event->text()) {
            if (Accepts(typed)) {
                InsertText(QString(typed));
            }
        }
    }
    // Anything else (undo, word deletion, other shortcuts) would change the
    // text behind the filter's back, so it is swallowed.
}

void TMaskEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const bool selected = hasSelectedText();
    const bool writable = !isReadOnly();
    menu.addAction(tr("Cu&t"), this, &TMaskEdit::Cut)->setEnabled(selected && writable);
    menu.addAction(tr("&Copy"), this, &TMaskEdit::Copy)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &TMaskEdit::Paste)->setEnabled(writable);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &QLineEdit::selectAll)->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

// The X11 middle-button paste goes through the same steps as any paste.
void TMaskEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection()) {
            InsertText(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
