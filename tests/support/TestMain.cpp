#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char **argv)
{
    // Plain "offscreen" (as test.sh sets it) gets the tests' own screen too.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() || platform == "offscreen" ? KPX_TEST_PLATFORM : platform);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
