// The UI tests run on Qt's offscreen platform with one application object;
// OZMAR_TEST_PLATFORM names another (scripts/waylandSession.sh: wayland).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* platform = std::getenv("OZMAR_TEST_PLATFORM");
    ::setenv("QT_QPA_PLATFORM", platform != nullptr ? platform : "offscreen", 1);
    ::setenv("LC_ALL", "C", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
