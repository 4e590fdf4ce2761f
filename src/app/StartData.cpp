#include "StartData.h"

#include "AutoRun.h"
#include "core/DataFiles.h"
#include "core/DateTime.h"
#include "core/Errors.h"
#include "files/FileIO.h"
#include "files/UsageTable.h"

void PrepareSettings(ConnectionMeter& meter, AutostartStore& autostart, const OsPlatform& platform,
                     bool isNT) {
    if (!meter.PropFileExists()) {
        const TPropRecord written = meter.SaveProp(meter.Prop());
        SetAutoRun(isNT ? written.AutoRunNT : written.AutoRun9x, autostart, platform);
    }
    meter.ReadProp();
}

void CheckFirstDate(const ConnectionMeter& meter, const Clock& clock) {
    const CalendarDate today = SplitToday(clock);
    const TDateTime todayDate = EncodeDate(today.Year, today.Month, today.Day);
    if (CompareDays(ParseDate(meter.Prop().FirstDate), todayDate) == 1) {
        throw Exception(DateExceedsMaximumText(DateText(todayDate)));
    }
}

void PrepareHistory(const ConnectionMeter& meter) {
    // The year chooser's lower bound; a date it cannot read stops the step.
    YearOfDateStr(meter.Prop().FirstDate);
    try {
        CreateEmptyFile(meter.PathOf(datafiles::kStatic));
    } catch (const Exception&) {
        // Reported when a report reads the history.
    }
}
