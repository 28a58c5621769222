#include <gtest/gtest.h>

#include <QStandardPaths>

#ifdef ZELP_WIDGET_TEST
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    TestApp app(argc, argv);
    return RUN_ALL_TESTS();
}
