#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Widget tests need a QApplication; CMake runs them on the offscreen platform
// with a fixed locale.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Ukraine));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
