#include "ui/password_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "dialog_driver.h"
#include "resources/resource.h"
#include "test_host.h"

namespace quarnel {
namespace {

using namespace test;
using Block = MainBlock::PasswordBlock;

class PasswordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        host.exchanges.clear();
        field.fill(0xAA);
    }

    // Runs the dialog over the field from the host window.
    void Run() { RunChangePassword(host, field); }
    Block Stored() const { return field; }

    static bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    MessageBoxRecorder boxes;
    TestHost host;
    Block field;
    const Block zeros{};
    const std::vector<bool> collectThenShow{true, false};
};

TEST_F(PasswordDialogTest, DeleteDisablesTheEditsAndClearsTheFieldWhateverTheyHold) {
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_PASSWORD_NEW, "abc");
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "xyz");
        for (bool deleteSet : {true, false, true}) {
            Press(dialog, IDC_PASSWORD_DELETE);
            EXPECT_EQ(Enabled(dialog, IDC_PASSWORD_NEW), !deleteSet);
            EXPECT_EQ(Enabled(dialog, IDC_PASSWORD_RETYPE), !deleteSet);
        }
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_NEW), "abc");  // the text stays
        PressCommand(dialog, IDOK);
    });
    Run();
    EXPECT_EQ(script.done, 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(Stored(), zeros);
    EXPECT_EQ(host.exchanges, collectThenShow);
}

TEST_F(PasswordDialogTest, MismatchShowsTheDialogAgainWithWhatWasTyped) {
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_PASSWORD_NEW, "secret");
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "secrex");
        PressCommand(dialog, IDOK);
    });
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_NEW), "secret");
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_RETYPE), "secrex");
        EXPECT_TRUE(Enabled(dialog, IDC_PASSWORD_NEW));
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "secret");
        PressCommand(dialog, IDOK);
    });
    Run();
    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Password does not match."});
    Block expected;
    ASSERT_TRUE(BuildPasswordBlock(0, "secret", expected));
    EXPECT_EQ(field, expected);
    EXPECT_EQ(host.exchanges, collectThenShow);
}

TEST_F(PasswordDialogTest, NoMoreThanTwelveCharactersGetThroughAndCancelLeavesTheField) {
    const Block before = Stored();
    ModalScript script;
    script.Then([](HWND dialog) {
        for (int edit : {IDC_PASSWORD_NEW, IDC_PASSWORD_RETYPE}) {
            TypeChars(dialog, edit, "abcdefghijklm");
            EXPECT_EQ(ItemText(dialog, edit), "abcdefghijkl");
        }
        // Text set past the limit is refused on OK.
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "abcdefghijklm");
        PressCommand(dialog, IDOK);
    });
    script.Then([](HWND dialog) { PressCommand(dialog, IDCANCEL); });
    Run();
    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Please enter no more than 12 characters."});
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(host.exchanges, collectThenShow) << "the window is refreshed after Cancel too";
}

}  // namespace
}  // namespace quarnel
