// Test entry point: a QApplication with the GL surface format the program uses, when a display exists.
#include <QApplication>
#include <QSurfaceFormat>
#include <gtest/gtest.h>

#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);

    // Without a display (and no platform chosen) GUI tests skip themselves instead of aborting.
    std::unique_ptr<QApplication> app;
    if (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
