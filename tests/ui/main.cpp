#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widget tests need a QApplication; they run on the offscreen platform with
// a fixed locale set by CMake.
int main(int argc, char** argv) {
    // Listing the tests at discovery time runs without CMake's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Ukraine));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
