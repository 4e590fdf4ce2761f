#include <gtest/gtest.h>

#include <QApplication>
#include <optional>

// Widget tests need a QApplication; listing the tests (CMake's test
// discovery, run without the offscreen platform) does not.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::optional<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app.emplace(argc, argv);
    }
    return RUN_ALL_TESTS();
}
