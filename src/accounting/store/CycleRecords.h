#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/DateTime.h"

// Where the stop at the budget stands in a billing cycle.
enum class StopPhase {
    // Warned: the connection is stopped at Due unless the user says no.
    Pending,
    // "15 more minutes": warned again at Due.
    Deferred,
    // "Not until the end of the cycle".
    Declined,
    // Stopped at Due; a connection made again is warned about again.
    Stopped,
    // The stop could not be made; not tried again in the cycle.
    Failed,
};

// The stop of one cycle, as "Vimo.db" keeps it.
struct StopState {
    TDateTime CycleFirst = 0;
    StopPhase Phase = StopPhase::Pending;
    // Pending: the stop; Deferred: the next warning; Stopped and Failed:
    // when it was tried.
    TDateTime Due = 0;
    // The history head of the connection warned about or stopped.
    std::string Session;
    friend bool operator==(const StopState&, const StopState&) = default;
};

// The provider's own figures of a cycle so far, as a person typed them in,
// and how far each was from Vimo's count at that moment. The cycle's use is
// Vimo's count plus the difference from then on.
struct ProviderAdjustment {
    TDateTime CycleFirst = 0;
    TDateTime At = 0;
    std::optional<int64_t> Kopecks;
    std::optional<int64_t> Minutes;
    std::optional<int64_t> Megabytes;
    // The provider's figure less Vimo's: kopecks, minutes, bytes.
    int64_t KopecksDifference = 0;
    int64_t MinutesDifference = 0;
    int64_t BytesDifference = 0;
    friend bool operator==(const ProviderAdjustment&, const ProviderAdjustment&) = default;
};
