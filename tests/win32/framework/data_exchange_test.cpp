#include <gtest/gtest.h>

#include "test_support.h"

namespace quarnel::test {
namespace {

// A modeless fields dialog, shown with known member values.
class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.check = BST_INDETERMINATE;
        dialog.intA = 17;
        dialog.textA = "hello";
        dialog.intB = -3;
        dialog.limited = "abc";
        dialog.label = "shown";
        ASSERT_TRUE(dialog.Create());
    }

    HWND Item(int id) { return dialog.GetDlgItem(id); }
    void Type(int id, const char* text) {
        SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }

    MessageBoxRecorder boxes;
    FieldsDialog dialog;
};

TEST_F(DataExchangeTest, ShowsMembersBindsControlsAndCollectsEdits) {
    EXPECT_EQ(dialog.Text(IDC_INT_A), "17");
    EXPECT_EQ(dialog.Text(IDC_TEXT_A), "hello");
    EXPECT_EQ(dialog.Text(IDC_INT_B), "-3");
    EXPECT_EQ(dialog.Text(IDC_LIMITED), "abc");
    EXPECT_EQ(dialog.Text(IDC_LABEL), "shown");
    EXPECT_EQ(SendMessageA(Item(IDC_CHECK), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(dialog.combo.GetHwnd(), Item(IDC_COMBO));
    EXPECT_EQ(dialog.ip.GetHwnd(), Item(IDC_IP));
    EXPECT_EQ(dialog.progress.GetHwnd(), Item(IDC_PROGRESS));

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

    // Collecting writes nothing back: the blanks and sign stay as typed.
    EXPECT_EQ(dialog.Text(IDC_INT_A), " -250 ");
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.Text(IDC_INT_A), "-250");
    EXPECT_EQ(dialog.Text(IDC_INT_B), "65536");

    dialog.check = 7;  // not a button state: shown unchecked
    dialog.UpdateData(false);
    EXPECT_EQ(SendMessageA(Item(IDC_CHECK), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(DataExchangeTest, NonIntegerStopsTheExchangeAtThatField) {
    SetFocus(Item(IDC_TEXT_A));
    ASSERT_EQ(GetFocus(), Item(IDC_TEXT_A));
    const int killFocusBefore = dialog.textAKillFocus;
    SendMessageA(Item(IDC_CHECK), BM_SETCHECK, BST_CHECKED, 0);
    Type(IDC_INT_A, "12x");
    Type(IDC_TEXT_A, "typed");
    Type(IDC_INT_B, "99");
    Type(IDC_LABEL, "relabelled");

    EXPECT_FALSE(dialog.UpdateData(true));

    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter an integer.");
    EXPECT_EQ(boxes.boxes[0].caption, kTestCaption);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(dialog.check, BST_CHECKED);  // before the refused field: collected
    EXPECT_EQ(dialog.intA, 17);
    EXPECT_EQ(dialog.textA, "hello");  // after it: untouched, and so is the control
    EXPECT_EQ(dialog.intB, -3);
    EXPECT_EQ(dialog.label, "shown");
    EXPECT_EQ(dialog.Text(IDC_INT_A), "12x");
    EXPECT_EQ(dialog.Text(IDC_TEXT_A), "typed");
    EXPECT_EQ(dialog.Text(IDC_INT_B), "99");

    EXPECT_EQ(GetFocus(), Item(IDC_INT_A));
    DWORD start = 0, end = 0;
    SendMessageA(Item(IDC_INT_A), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
    // The focus left the text field during the exchange; its handler stayed quiet.
    EXPECT_EQ(dialog.textAKillFocus, killFocusBefore);

    // Once out of the exchange, notifications reach the handlers again.
    SetFocus(Item(IDC_TEXT_A));
    EXPECT_GE(dialog.intAKillFocus, 1);
}

TEST_F(DataExchangeTest, OneFieldCanBeExchangedAlone) {
    dialog.intA = 1;
    dialog.intB = 2;
    ASSERT_TRUE(dialog.UpdateDataFor(IDC_INT_B, false));
    EXPECT_EQ(dialog.Text(IDC_INT_A), "17");
    EXPECT_EQ(dialog.Text(IDC_INT_B), "2");

    Type(IDC_INT_A, "bad");
    Type(IDC_INT_B, "33");
    EXPECT_TRUE(dialog.UpdateDataFor(IDC_INT_B, true));
    EXPECT_EQ(dialog.intB, 33);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DataExchangeTest, ControlsAreBoundAfreshForEachWindow) {
    HWND firstCombo = dialog.combo.GetHwnd();
    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_FALSE(dialog.UpdateData(true));  // no window, no exchange

    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.combo.GetHwnd(), dialog.GetDlgItem(IDC_COMBO));
    EXPECT_NE(dialog.combo.GetHwnd(), firstCombo);
}

TEST_F(DataExchangeTest, ADialogMayReportRefusalsItself) {
    struct QuietDialog : FieldsDialog {
        std::vector<int> refused;
        void OnDataExchangeError(int controlId, const char*) override { refused.push_back(controlId); }
    } quiet;
    ASSERT_TRUE(quiet.Create());
    SetDlgItemTextA(quiet.GetHwnd(), IDC_INT_B, "?");
    EXPECT_FALSE(quiet.UpdateData(true));
    EXPECT_EQ(quiet.refused, std::vector<int>{IDC_INT_B});
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace quarnel::test
