#include "ChartModule.h"

#include <QCoreApplication>
#include <QLibrary>

UseChartMaker ChartFromModule(std::ostream& log) {
    return [&log](QWidget* parent) -> UseChart* {
        using Make = UseChart* (*)(QWidget*);
        // Never unloaded: the chart it makes lives as long as the overview.
        QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/vimo-charts"));
        const auto make = reinterpret_cast<Make>(module.resolve("VimoMakeUseChart"));
        if (make == nullptr) {
            log << "vimo: notice: the overview shows no chart ("
                << module.errorString().toStdString() << ")" << std::endl;
            return nullptr;
        }
        return make(parent);
    };
}
