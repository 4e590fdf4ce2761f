#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need a QApplication; they run on the offscreen platform in the
// locale CMake sets (C.UTF-8, ru_RU.UTF-8, uk_UA.UTF-8 or en_US.UTF-8).
// QApplication sets the C library's locale from it, as it does in the
// program. The tests read the program's own Russian texts; the Languages
// table puts each catalogue in force itself.
int main(int argc, char** argv) {
    // Listing the tests at discovery time runs without CMake's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
