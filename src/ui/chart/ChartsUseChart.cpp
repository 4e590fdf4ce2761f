#include "ChartsUseChart.h"

#include <QCursor>
#include <QLocale>
#include <QToolTip>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// The least of 1, 2, 5 × 10^n that is at least `rough`, and never under 1.
double RoundStep(double rough) {
    double scale = 1;
    while (scale * 5 < rough) {
        scale *= 10;
    }
    for (const double step : {scale, scale * 2, scale * 5}) {
        if (step >= rough) {
            return step;
        }
    }
    return scale * 10;
}

}  // namespace

ChartsUseChart::ChartsUseChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("Chart"));
    setFocusPolicy(Qt::NoFocus);
    setRenderHint(QPainter::Antialiasing);
    // The view's own chart: a chart set in its place would leave this one
    // to its caller to delete.
    QChart* drawn = chart();
    drawn->legend()->hide();
    drawn->setAnimationOptions(QChart::NoAnimation);
    drawn->setBackgroundRoundness(0);
    drawn->setMargins(QMargins(4, 4, 4, 4));
    // The axes write numbers as the user's locale does.
    drawn->setLocalizeNumbers(true);
    drawn->setLocale(locale());
    // Room for the upright day labels and six value labels with their
    // padding: a lower chart shows every number as "...". Counted in the
    // font's own pixels, it holds at any scale.
    const QFontMetrics metrics(font());
    setMinimumHeight(metrics.horizontalAdvance(QStringLiteral("00.00")) +
                     8 * metrics.lineSpacing() + 16);
}

void ChartsUseChart::Show(const ChartBars& bars) {
    QChart* drawn = chart();
    drawn->removeAllSeries();
    for (QAbstractAxis* axis : drawn->axes()) {
        drawn->removeAxis(axis);
        delete axis;
    }
    const QPalette colours = palette();
    drawn->setBackgroundBrush(colours.color(QPalette::Window));
    drawn->setPlotAreaBackgroundVisible(false);

    auto* set = new QBarSet(QString());
    double top = 0;
    for (const double value : bars.Values) {
        set->append(value);
        top = std::max(top, value);
    }
    if (bars.Current) {
        set->selectBar(*bars.Current);
    }
    set->setColor(QColor(74, 126, 187));
    set->setBorderColor(QColor(74, 126, 187));
    set->setSelectedColor(QColor(230, 126, 34));
    auto* series = new QBarSeries();
    series->setBarWidth(0.75);
    series->append(set);
    drawn->addSeries(series);

    auto* x = new QBarCategoryAxis();
    x->append(bars.Labels);
    // Whole labels, never cut to "01.1...".
    x->setLabelsAngle(bars.UprightLabels ? -90 : 0);
    x->setTruncateLabels(false);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    x->setLabelsFont(small);
    auto* y = new QValueAxis();
    if (bars.Decimals == 0) {
        // Whole numbers at round steps, about four of them: 0/200/400/600/800.
        const double step = RoundStep(top / 4);
        const double steps = std::max(1.0, std::ceil(top / step));
        y->setRange(0, steps * step);
        y->setTickCount(static_cast<int>(steps) + 1);
        y->setLabelFormat(QStringLiteral("%.0f"));
    } else {
        y->setRange(0, top > 0 ? top : 1);
        y->setLabelFormat(QStringLiteral("%.") + QString::number(bars.Decimals) + QLatin1Char('f'));
        y->applyNiceNumbers();
    }
    y->setTitleText(bars.Unit);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        axis->setLabelsBrush(colours.color(QPalette::WindowText));
        axis->setTitleBrush(colours.color(QPalette::WindowText));
        axis->setLinePenColor(colours.color(QPalette::Mid));
        axis->setGridLineColor(colours.color(QPalette::Midlight));
    }
    x->setGridLineVisible(false);
    drawn->addAxis(x, Qt::AlignBottom);
    drawn->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    if (bars.Current) {
        // Today is marked also when it has no bar to colour: a dashed line
        // through its place, in the colour of its bar.
        auto* today = new QLineSeries();
        today->setName(bars.CurrentName);
        today->append(*bars.Current, 0);
        today->append(*bars.Current, y->max());
        today->setPen(QPen(set->selectedColor(), 2, Qt::DashLine));
        drawn->addSeries(today);
        today->attachAxis(x);
        today->attachAxis(y);
    }

    connect(set, &QBarSet::hovered, this,
            [this, set, labels = bars.Labels, unit = bars.Unit](bool inside, int index) {
                if (inside && index >= 0 && index < labels.size()) {
                    QToolTip::showText(QCursor::pos(),
                                       labels[index] + QStringLiteral(": ") +
                                           locale().toString(set->at(index), 'f', 2) +
                                           QLatin1Char(' ') + unit);
                } else {
                    QToolTip::hideText();
                }
            });
}
