#include "ui/startup_options_dialog.h"

#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace quarnel {
namespace {

using test::ModalScript;
using test::Press;

int Checked(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

TEST(StartupOptionsDialogTest, BothBoxesCanBeSetAtOnce) {
    StartupOptionsDialog startupDialog;
    ModalScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(Checked(dialog, IDC_STARTUP_ADHOC), BST_UNCHECKED);
        EXPECT_EQ(Checked(dialog, IDC_STARTUP_INFRA), BST_UNCHECKED);
        Press(dialog, IDC_STARTUP_ADHOC);
        Press(dialog, IDC_STARTUP_INFRA);
        test::PressOk(dialog);
    });
    RunStartOption(startupDialog);

    EXPECT_EQ(script.done, 1);
    EXPECT_EQ(startupDialog.adHocOnBoot, 1);
    EXPECT_EQ(startupDialog.infrastructureOnBoot, 1);

    // Each box is its own member.
    ModalScript again;
    again.Then([](HWND dialog) {
        Press(dialog, IDC_STARTUP_ADHOC);
        test::PressOk(dialog);
    });
    RunStartOption(startupDialog);
    EXPECT_EQ(startupDialog.adHocOnBoot, 0);
    EXPECT_EQ(startupDialog.infrastructureOnBoot, 1);
}

TEST(StartupOptionsDialogTest, CancelPutsBothMembersBack) {
    StartupOptionsDialog startupDialog;
    startupDialog.adHocOnBoot = 1;
    ModalScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(Checked(dialog, IDC_STARTUP_ADHOC), BST_CHECKED);
        EXPECT_EQ(Checked(dialog, IDC_STARTUP_INFRA), BST_UNCHECKED);
        Press(dialog, IDC_STARTUP_ADHOC);
        Press(dialog, IDC_STARTUP_INFRA);
        test::PressCancel(dialog);
    });
    RunStartOption(startupDialog);

    EXPECT_EQ(script.done, 1);
    EXPECT_EQ(startupDialog.adHocOnBoot, 1);
    EXPECT_EQ(startupDialog.infrastructureOnBoot, 0);
}

}  // namespace
}  // namespace quarnel
