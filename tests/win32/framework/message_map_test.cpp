#include <gtest/gtest.h>

#include "test_support.h"

namespace quarnel::test {
namespace {

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    HWND Item(int id) { return dialog.GetDlgItem(id); }
    LRESULT Command(int id, UINT code) {
        return SendMessageA(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(Item(id)));
    }

    MessageBoxRecorder boxes;
    FieldsDialog dialog;
};

TEST_F(MessageMapTest, NotificationsReachTheHandlerOfTheirCodeAndControl) {
    SendMessageA(Item(IDC_ACTION), BM_CLICK, 0, 0);  // a real click
    EXPECT_EQ(dialog.actionClicks, 1);
    Command(IDC_CHECK, BN_CLICKED);  // same code, other control
    Command(IDC_ACTION, BN_DOUBLECLICKED);  // same control, other code
    EXPECT_EQ(dialog.actionClicks, 1);

    SetFocus(Item(IDC_INT_A));
    const int intAKillFocus = dialog.intAKillFocus;
    const int textAKillFocus = dialog.textAKillFocus;
    SetFocus(Item(IDC_TEXT_A));
    EXPECT_EQ(dialog.intAKillFocus, intAKillFocus + 1);
    EXPECT_EQ(dialog.textAKillFocus, textAKillFocus);
    SetFocus(Item(IDC_INT_B));
    EXPECT_EQ(dialog.textAKillFocus, textAKillFocus + 1);

    Command(IDC_COMBO, CBN_SELCHANGE);
    Command(IDC_COMBO, CBN_DROPDOWN);
    EXPECT_EQ(dialog.comboSelChanges, 1);
    EXPECT_EQ(dialog.cancels, 0);
}

TEST_F(MessageMapTest, MessageHandlersGiveTheirResults) {
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_TEST_ECHO, 40, 2), 42);
    // A message returned directly by the dialog procedure.
    dialog.dragIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
    ASSERT_NE(dialog.dragIcon, nullptr);
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_QUERYDRAGICON, 0, 0),
              reinterpret_cast<LRESULT>(dialog.dragIcon));
    // An unmapped user message gets the default answer.
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_APP + 50, 1, 1), 0);
}

TEST_F(MessageMapTest, DefaultRunsTheSystemProcessingOfTheCurrentMessage) {
    // The paint handler only calls Default: that must validate the window.
    InvalidateRect(dialog.GetHwnd(), nullptr, TRUE);
    UpdateWindow(dialog.GetHwnd());
    EXPECT_GE(dialog.paints, 1);
    EXPECT_FALSE(GetUpdateRect(dialog.GetHwnd(), nullptr, FALSE));

    // Close from the system menu: the default turns it into Cancel.
    SendMessageA(dialog.GetHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog.cancels > 0; }));
    EXPECT_EQ(dialog.sysCommands, 1);
    EXPECT_EQ(dialog.cancels, 1);
    EXPECT_FALSE(IsWindowVisible(dialog.GetHwnd()));  // a modeless dialog ended is hidden
    EXPECT_NE(dialog.GetHwnd(), nullptr);
}

TEST_F(MessageMapTest, AnExceptionInAHandlerStaysInsideTheDialog) {
    dialog.throwOnAction = true;
    SendMessageA(Item(IDC_ACTION), BM_CLICK, 0, 0);
    Command(IDC_ACTION, BN_CLICKED);
    EXPECT_TRUE(IsWindow(dialog.GetHwnd()));
    dialog.throwOnAction = false;
    Command(IDC_ACTION, BN_CLICKED);
    EXPECT_EQ(dialog.actionClicks, 1);
    EXPECT_EQ(SendMessageA(dialog.GetHwnd(), WM_TEST_ECHO, 1, 1), 2);  // still dispatching
}

TEST_F(MessageMapTest, TheWindowForgetsTheObjectBeforeItGoes) {
    HWND hwnd = dialog.GetHwnd();
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&dialog));
    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(dialog.DestroyWindow());
}

TEST(DialogLifetime, DeletingTheObjectDestroysTheWindow) {
    auto* dialog = new FieldsDialog;
    ASSERT_TRUE(dialog->Create());
    HWND hwnd = dialog->GetHwnd();
    EXPECT_FALSE(dialog->Create());  // one window per object
    delete dialog;
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace quarnel::test
