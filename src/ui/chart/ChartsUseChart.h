#pragma once

#include "UseChart.h"

#include <QtCharts/QChartView>

// The overview's chart drawn with Qt Charts: the bars, the value axis in the
// user's numbers, a dashed line through today's place and a tip over a bar.
class ChartsUseChart final : public QChartView, public UseChart {
  public:
    explicit ChartsUseChart(QWidget* parent);

    QWidget* Widget() override { return this; }
    void Show(const ChartBars& bars) override;
};
