#include "LineListView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

// The space left of each line, as a text edit leaves it.
constexpr int kMargin = 4;

std::size_t CharacterCount(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

LineListView::LineListView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

void LineListView::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    std::size_t widest = 0;
    std::size_t widestIndex = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        // Characters, not bytes: a Cyrillic letter takes two. A line of no
        // more bytes than the widest has characters cannot be wider.
        const std::size_t count = lines_[i].size() <= widest ? 0 : CharacterCount(lines_[i]);
        if (count > widest) {
            widest = count;
            widestIndex = i;
        }
    }
    widest_ = lines_.empty() ? QString() : LineText(widestIndex);
    anchor_ = current_ = -1;
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

QString LineListView::LineText(std::size_t index) const {
    return QString::fromStdString(lines_[index]);
}

QString LineListView::Text() const {
    QString text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0) {
            text += QLatin1Char('\n');
        }
        text += LineText(i);
    }
    return text;
}

QString LineListView::SelectedText() const {
    if (anchor_ < 0) {
        return {};
    }
    const std::ptrdiff_t low = std::min(anchor_, current_);
    QString text;
    for (std::ptrdiff_t i = low; i <= std::max(anchor_, current_); ++i) {
        if (i > low) {
            text += QLatin1Char('\n');
        }
        text += LineText(static_cast<std::size_t>(i));
    }
    return text;
}

void LineListView::SelectAll() {
    if (lines_.empty()) {
        return;
    }
    anchor_ = 0;
    current_ = static_cast<std::ptrdiff_t>(lines_.size()) - 1;
    viewport()->update();
}

void LineListView::Copy() const {
    if (anchor_ >= 0) {
        QApplication::clipboard()->setText(SelectedText());
    }
}

int LineListView::LineHeight() const {
    return std::max(1, QFontMetrics(font()).lineSpacing());
}

int LineListView::VisibleLineCount() const {
    return std::max(1, viewport()->height() / LineHeight());
}

std::ptrdiff_t LineListView::LineAt(int y) const {
    const std::ptrdiff_t line = verticalScrollBar()->value() + std::max(0, y) / LineHeight();
    return std::min(line, static_cast<std::ptrdiff_t>(lines_.size()) - 1);
}

void LineListView::UpdateScrollBars() {
    const int visible = VisibleLineCount();
    const auto count = static_cast<int>(std::min<std::size_t>(lines_.size(), INT_MAX));
    verticalScrollBar()->setRange(0, std::max(0, count - visible));
    verticalScrollBar()->setPageStep(visible);
    const QFontMetrics metrics(font());
    const int width = widest_.isEmpty() ? 0 : metrics.horizontalAdvance(widest_) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(std::max(1, metrics.averageCharWidth()));
}

void LineListView::MoveTo(std::ptrdiff_t line, bool extend) {
    if (lines_.empty()) {
        return;
    }
    line = std::clamp<std::ptrdiff_t>(line, 0, static_cast<std::ptrdiff_t>(lines_.size()) - 1);
    if (!extend || anchor_ < 0) {
        anchor_ = line;
    }
    current_ = line;
    QScrollBar* bar = verticalScrollBar();
    if (line < bar->value()) {
        bar->setValue(static_cast<int>(line));
    } else if (line >= bar->value() + VisibleLineCount()) {
        bar->setValue(static_cast<int>(line) - VisibleLineCount() + 1);
    }
    viewport()->update();
}

void LineListView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font());
    const int height = LineHeight();
    const int ascent = QFontMetrics(font()).ascent();
    const int x = kMargin - horizontalScrollBar()->value();
    const std::size_t first = static_cast<std::size_t>(verticalScrollBar()->value());
    const std::size_t last =
        std::min(lines_.size(), first + static_cast<std::size_t>(VisibleLineCount()) + 1);
    const auto low = std::min(anchor_, current_);
    const auto high = std::max(anchor_, current_);
    for (std::size_t i = first; i < last; ++i) {
        const int top = static_cast<int>(i - first) * height;
        const bool selected = anchor_ >= 0 && static_cast<std::ptrdiff_t>(i) >= low &&
                              static_cast<std::ptrdiff_t>(i) <= high;
        if (selected) {
            painter.fillRect(0, top, viewport()->width(), height, palette().highlight());
            painter.setPen(palette().color(QPalette::HighlightedText));
        } else {
            painter.setPen(palette().color(QPalette::Text));
        }
        painter.drawText(x, top + ascent, LineText(i));
    }
}

void LineListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void LineListView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateScrollBars();
        viewport()->update();
    }
}

void LineListView::mousePressEvent(QMouseEvent* event) {
    if (lines_.empty()) {
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const std::ptrdiff_t line = LineAt(static_cast<int>(event->position().y()));
    if (event->button() == Qt::LeftButton) {
        MoveTo(line, extend);
    } else if (event->button() == Qt::RightButton &&
               (anchor_ < 0 || line < std::min(anchor_, current_) ||
                line > std::max(anchor_, current_))) {
        MoveTo(line, false);  // the context menu acts on the line clicked
    }
}

void LineListView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::LeftButton) && !lines_.empty()) {
        const int y = static_cast<int>(event->position().y());
        // Dragging past an edge scrolls on, a line at a time.
        const std::ptrdiff_t line =
            y < 0 ? verticalScrollBar()->value() - 1
                  : (y >= viewport()->height() ? verticalScrollBar()->value() + VisibleLineCount()
                                               : LineAt(y));
        MoveTo(line, true);
    }
}

// The release ends a drag; the selection stays as the drag left it.
void LineListView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void LineListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const std::ptrdiff_t at = std::max<std::ptrdiff_t>(current_, 0);
    const std::ptrdiff_t page = VisibleLineCount();
    switch (event->key()) {
        case Qt::Key_Up:
            MoveTo(current_ < 0 ? 0 : at - 1, extend);
            break;
        case Qt::Key_Down:
            MoveTo(current_ < 0 ? 0 : at + 1, extend);
            break;
        case Qt::Key_PageUp:
            MoveTo(at - page, extend);
            break;
        case Qt::Key_PageDown:
            MoveTo(at + page, extend);
            break;
        case Qt::Key_Home:
            MoveTo(0, extend);
            break;
        case Qt::Key_End:
            MoveTo(static_cast<std::ptrdiff_t>(lines_.size()) - 1, extend);
            break;
        case Qt::Key_Left:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case Qt::Key_Right:
            horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void LineListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"), this, &LineListView::Copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(anchor_ >= 0);
    QAction* all = menu.addAction(tr("Select All"), this, &LineListView::SelectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!lines_.empty());
    menu.exec(event->globalPos());
}
