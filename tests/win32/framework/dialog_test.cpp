// The dialog object and its window: message routing and Default. (The
// application object, the message boxes and the controls serve every test
// of the real program.)
#include <gtest/gtest.h>

#include "test_support.h"

namespace quarnel::test {
namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    HWND Item(int id) { return dialog.GetDlgItem(id); }
    LRESULT Command(int id, UINT code) {
        return SendMessageA(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }

    MessageBoxRecorder boxes;
    FieldsDialog dialog;
};

TEST_F(DialogTest, MessagesReachTheHandlerOfTheirCodeAndControl) {
    SendMessageA(Item(IDC_ACTION), BM_CLICK, 0, 0);  // a real click
    Command(IDC_CHECK, BN_CLICKED);                  // same code, other control
    Command(IDC_ACTION, BN_DOUBLECLICKED);           // same control, other code
    EXPECT_EQ(dialog.actionClicks, 1);

    SetFocus(Item(IDC_INT_A));
    const int intAKillFocus = dialog.intAKillFocus, textAKillFocus = dialog.textAKillFocus;
    SetFocus(Item(IDC_TEXT_A));
    EXPECT_EQ(dialog.intAKillFocus, intAKillFocus + 1);
    EXPECT_EQ(dialog.textAKillFocus, textAKillFocus);
    SetFocus(Item(IDC_INT_B));
    EXPECT_EQ(dialog.textAKillFocus, textAKillFocus + 1);

    Command(IDC_COMBO, CBN_SELCHANGE);
    Command(IDC_COMBO, CBN_DROPDOWN);
    EXPECT_EQ(dialog.comboSelChanges, 1);
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_TEST_ECHO, 40, 2), 42);
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_APP + 50, 1, 1), 0);  // unmapped: the default answer
}

TEST_F(DialogTest, DefaultRunsTheSystemProcessingOfTheCurrentMessage) {
    // The paint handler only calls Default: that must validate the window.
    InvalidateRect(dialog.GetHwnd(), nullptr, TRUE);
    UpdateWindow(dialog.GetHwnd());
    EXPECT_GE(dialog.paints, 1);
    EXPECT_FALSE(GetUpdateRect(dialog.GetHwnd(), nullptr, FALSE));
}

}  // namespace
}  // namespace quarnel::test
