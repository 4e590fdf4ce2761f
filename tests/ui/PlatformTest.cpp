#include "UiFakes.h"
#include "WindowActivation.h"

#include <gtest/gtest.h>

TEST(StartupIdTime, IsTheServerTimeAtTheIdsEnd) {
    const struct {
        const char* id;
        std::optional<std::uint32_t> time;
    } cases[] = {
        {"gnome-shell/Vimo/2208-3-host_TIME4017", 4017},
        // The last mark counts: a host may carry the word in its name.
        {"host_TIME1-vimo-7_TIME4294967295", 4294967295u},
        {"xdotool-12", std::nullopt},
        {"vimo_TIME", std::nullopt},
        {"vimo_TIME12a", std::nullopt},
        {"vimo_TIME-5", std::nullopt},
        {"vimo_TIME4294967296", std::nullopt},  // more than a server time holds
        {"vimo_TIME0", std::nullopt},           // X's "now", no action's time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(StartupIdTime(c.id), c.time);
    }
}
