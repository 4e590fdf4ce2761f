#include "core/ByteCounters.h"

ByteReading BytesMoved(const ByteReading& earlier, const ByteReading& now) {
    const auto moved = [](uint64_t before, uint64_t after) {
        return after >= before ? after - before : after;
    };
    return {moved(earlier.Received, now.Received), moved(earlier.Sent, now.Sent)};
}
