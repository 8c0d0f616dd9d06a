// A modal-window script that never runs fails its test, so checks inside it cannot be skipped.
#include <gtest/gtest-spi.h>

#include "support/fake_ui_seam.h"

namespace {

// A window that closes itself as it opens, as one does when it finds nothing to show.
class ClosingAtOnce : public QDialog {
    void showEvent(QShowEvent*) override { reject(); }
};

}  // namespace

TEST(FakeUiSeam, AScriptThatNeverRunsFailsTheTestNamingTheWindow) {
    EXPECT_NONFATAL_FAILURE(
        {
            tavo::test::FakeUiSeam ui;
            ui.modal["TF_Never"].push_back([](QDialog*) {});
        },
        "TF_Never never ran");
    EXPECT_NONFATAL_FAILURE(
        {
            tavo::test::FakeUiSeam ui;
            ClosingAtOnce window;
            window.setObjectName("TF_Closing");
            ui.modal["TF_Closing"].push_back([](QDialog*) {});
            ui.execModal(&window);
        },
        "TF_Closing did not run");
}
