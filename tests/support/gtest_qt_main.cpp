// Test entry point: one QApplication for the whole program, offscreen unless a
// display platform was chosen, so that widget tests run on a headless machine.
#include <QApplication>
#include <cstdlib>
#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
