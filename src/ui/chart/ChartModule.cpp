#include "ChartsUseChart.h"

// The module's one entry, looked up by name when the overview first opens.
extern "C" __attribute__((visibility("default"))) UseChart* VimoMakeUseChart(QWidget* parent) {
    return new ChartsUseChart(parent);
}
