// Test entry for the window tests: one QApplication on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/fake_ui_seam.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A script left unrun means the checks inside it never happened.
    tavo::test::reportUnrunScript = [](const std::string& what) { ADD_FAILURE() << what; };
    return RUN_ALL_TESTS();
}
