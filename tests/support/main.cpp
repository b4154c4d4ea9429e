#include <QApplication>
#include <gtest/gtest.h>

// Every test program runs inside a QApplication (offscreen in CI), so that
// widgets, timers and Qt's SQL drivers behave as they do in the program.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
