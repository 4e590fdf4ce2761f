#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

// What the overview's chart shows: a bar for each day of the cycle or for
// each of the last cycles, in one unit.
struct ChartBars {
    std::vector<double> Values;
    QStringList Labels;
    std::optional<int> Current;  // today's bar or this cycle's, marked
    QString CurrentName;         // the mark's name
    QString Unit;                // the value axis' title, and the tips' unit
    bool UprightLabels = false;  // a cycle's thirty-odd days fit only so
    // 0: whole numbers at round steps; otherwise the chart's own nice
    // numbers with this many decimals.
    int Decimals = 0;
};

// The overview's chart. It is drawn with Qt Charts in a module of its own,
// loaded when the overview is first opened, so that the program idling in
// the tray never maps the chart library. The object is its own widget, which
// belongs to the parent it was made in.
class UseChart {
  public:
    virtual QWidget* Widget() = 0;
    virtual void Show(const ChartBars& bars) = 0;

  protected:
    ~UseChart() = default;
};

// Makes the chart inside `parent`; none where it cannot be made.
using UseChartMaker = std::function<UseChart*(QWidget* parent)>;
