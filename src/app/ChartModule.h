#pragma once

#include "UseChart.h"

#include <iostream>

// The overview's chart from the module "vimo-charts.so" beside the program.
// Where it cannot be loaded (a copy of the program made without it, Qt
// Charts missing) the overview goes without its chart, and `log` gets a
// notice line that says why.
UseChartMaker ChartFromModule(std::ostream& log = std::cerr);
