// The dialog object and its window: message routing, Default and the data
// exchange. (The application object, the message boxes and the controls serve
// every test of the real program.)
#include <gtest/gtest.h>

#include "test_support.h"

namespace quarnel::test {
namespace {

// A modeless fields dialog, shown with known member values.
class FieldsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.check = BST_INDETERMINATE;
        dialog.intA = 17;
        dialog.textA = "hello";
        dialog.intB = -3;
        dialog.limited = "abc";
        ASSERT_TRUE(dialog.Create());
    }

    HWND Item(int id) { return dialog.GetDlgItem(id); }
    void Type(int id, const char* text) { SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    LRESULT Command(int id, UINT code) {
        return SendMessageA(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }

    MessageBoxRecorder boxes;
    FieldsDialog dialog;
};

TEST_F(FieldsDialogTest, ShowsMembersBindsControlsAndCollectsEdits) {
    EXPECT_EQ(dialog.Text(IDC_INT_A), "17");
    EXPECT_EQ(dialog.Text(IDC_INT_B), "-3");
    EXPECT_EQ(dialog.Text(IDC_TEXT_A), "hello");
    EXPECT_EQ(SendMessageA(Item(IDC_CHECK), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(dialog.combo.GetHwnd(), Item(IDC_COMBO));

    Type(IDC_INT_A, " -250 ");
    Type(IDC_TEXT_A, "typed text");
    Type(IDC_INT_B, "+65536");
    Type(IDC_LIMITED, "12345");
    SendMessageA(Item(IDC_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.intA, -250);
    EXPECT_EQ(dialog.textA, "typed text");
    EXPECT_EQ(dialog.intB, 65536);
    EXPECT_EQ(dialog.limited, "12345");
    EXPECT_EQ(dialog.check, BST_CHECKED);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(dialog.WasCollected(IDC_INT_B));

    // Collecting writes nothing back: the blanks and sign stay as typed.
    EXPECT_EQ(dialog.Text(IDC_INT_A), " -250 ");
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.Text(IDC_INT_A), "-250");
}

TEST_F(FieldsDialogTest, RefusedFieldStopsTheExchangeThereAndTakesTheFocus) {
    SetFocus(Item(IDC_TEXT_A));
    const int killFocusBefore = dialog.textAKillFocus;
    SendMessageA(Item(IDC_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    Type(IDC_INT_A, "12x");
    Type(IDC_TEXT_A, "typed");
    Type(IDC_INT_B, "99");

    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter an integer.");
    EXPECT_EQ(boxes.boxes[0].caption, TEST_CAPTION);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    // Before the refused field: collected; from it on: untouched, controls too.
    EXPECT_EQ(dialog.check, BST_CHECKED);
    EXPECT_EQ(dialog.intA, 17);
    EXPECT_EQ(dialog.textA, "hello");
    EXPECT_EQ(dialog.Text(IDC_TEXT_A), "typed");
    EXPECT_TRUE(dialog.WasCollected(IDC_CHECK));
    EXPECT_FALSE(dialog.WasCollected(IDC_INT_A));
    EXPECT_FALSE(dialog.WasCollected(IDC_INT_B));
    // A field exchanged alone since leaves that answer as it was.
    EXPECT_TRUE(dialog.UpdateDataFor(IDC_INT_B, true));
    EXPECT_EQ(dialog.intB, 99);
    EXPECT_FALSE(dialog.WasCollected(IDC_INT_B));

    EXPECT_EQ(GetFocus(), Item(IDC_INT_A));
    DWORD start = 0, end = 0;
    SendMessageA(Item(IDC_INT_A), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 3u);
    // The focus left the text field during the exchange; its handler stayed quiet.
    EXPECT_EQ(dialog.textAKillFocus, killFocusBefore);
    // Once out of the exchange, notifications reach the handlers again.
    SetFocus(Item(IDC_TEXT_A));
    EXPECT_GE(dialog.intAKillFocus, 1);
}

TEST_F(FieldsDialogTest, MessagesReachTheHandlerOfTheirCodeAndControl) {
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

TEST_F(FieldsDialogTest, DefaultRunsTheSystemProcessingOfTheCurrentMessage) {
    // The paint handler only calls Default: that must validate the window.
    InvalidateRect(dialog.GetHwnd(), nullptr, TRUE);
    UpdateWindow(dialog.GetHwnd());
    EXPECT_GE(dialog.paints, 1);
    EXPECT_FALSE(GetUpdateRect(dialog.GetHwnd(), nullptr, FALSE));
}

}  // namespace
}  // namespace quarnel::test
