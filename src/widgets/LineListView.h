#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <cstddef>
#include <string>
#include <vector>

// A read-only view of text lines that draws only the lines in sight, so a
// report of a million lines shows as fast as one of ten. Lines are kept as
// given (UTF-8) and converted when drawn. No wrapping: the horizontal scroll
// bar reaches the end of the longest line.
//
// Whole lines are selected: by click, by drag, by Shift with a click or the
// arrow keys, or all with Ctrl+A; Ctrl+C (or the context menu) copies them,
// one line each, to the clipboard. It draws in its palette's Text colour.
class LineListView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit LineListView(QWidget* parent = nullptr);

    void SetLines(std::vector<std::string> lines);
    const std::vector<std::string>& Lines() const { return lines_; }
    std::size_t LineCount() const { return lines_.size(); }
    // All lines, separated by line feeds.
    QString Text() const;
    // The selected lines, separated by line feeds; empty for no selection.
    QString SelectedText() const;
    void SelectAll();
    void Copy() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int LineHeight() const;
    int VisibleLineCount() const;
    // The line under a point of the viewport, clamped to the lines there are.
    std::ptrdiff_t LineAt(int y) const;
    // Moves the current line, extending the selection or starting a new one.
    void MoveTo(std::ptrdiff_t line, bool extend);
    void UpdateScrollBars();
    QString LineText(std::size_t index) const;

    std::vector<std::string> lines_;
    // Characters of the longest line; the width is measured on that line.
    QString widest_;
    // The selection runs from anchor_ to current_, both included; -1 for none.
    std::ptrdiff_t anchor_ = -1;
    std::ptrdiff_t current_ = -1;
};
