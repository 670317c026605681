#include "ui/password_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "dialog_driver.h"
#include "resources/resource.h"
#include "test_host.h"

namespace quarnel {
namespace {

using test::ItemText;
using test::MessageBoxRecorder;
using test::ModalScript;
using test::Press;
using test::PressCancel;
using test::PressOk;
using test::SetItemText;
using Block = std::array<std::uint8_t, PASSWORD_BLOCK_SIZE>;

class PasswordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        host.exchanges.clear();
        std::memset(passwordBlock, 0xAA, sizeof passwordBlock);
    }

    Block Stored() const {
        Block block;
        std::memcpy(block.data(), passwordBlock, sizeof passwordBlock);
        return block;
    }

    static Block Expected(const char* password) {
        std::uint8_t block[PASSWORD_BLOCK_SIZE];
        EXPECT_TRUE(BuildPasswordBlock(0, password, block));
        Block result;
        std::memcpy(result.data(), block, sizeof block);
        return result;
    }

    // One dialog: both edits typed, then OK.
    void ChangeTo(const char* typed, const char* retyped) {
        ModalScript script;
        script.Then([&](HWND dialog) {
            SetItemText(dialog, IDC_PASSWORD_NEW, typed);
            SetItemText(dialog, IDC_PASSWORD_RETYPE, retyped);
            PressOk(dialog);
        });
        RunChangePassword(host, passwordBlock);
        EXPECT_EQ(script.done, 1);
    }

    MessageBoxRecorder boxes;
    test::TestHost host;
    std::uint8_t passwordBlock[PASSWORD_BLOCK_SIZE];
    const Block zeros{};
    const std::vector<bool> collectThenShow{true, false};
};

TEST_F(PasswordDialogTest, DeleteIgnoresDifferingTextsAndClearsTheField) {
    ModalScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PASSWORD_DELETE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        SetItemText(dialog, IDC_PASSWORD_NEW, "abc");
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "xyz");
        Press(dialog, IDC_PASSWORD_DELETE);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PASSWORD_NEW)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PASSWORD_RETYPE)));
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_NEW), "abc");  // the text stays
        Press(dialog, IDC_PASSWORD_DELETE);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PASSWORD_NEW)));
        Press(dialog, IDC_PASSWORD_DELETE);
        PressOk(dialog);
    });
    RunChangePassword(host, passwordBlock);

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
        PressOk(dialog);
    });
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_NEW), "secret");
        EXPECT_EQ(ItemText(dialog, IDC_PASSWORD_RETYPE), "secrex");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PASSWORD_DELETE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PASSWORD_NEW)));
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PASSWORD_NEW, EM_GETLIMITTEXT, 0, 0), PASSWORD_MAX_CHARS);
        Press(dialog, IDC_PASSWORD_DELETE);
        PressOk(dialog);
    });
    RunChangePassword(host, passwordBlock);

    EXPECT_EQ(script.done, 2);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Password does not match.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(Stored(), zeros);
    EXPECT_EQ(host.exchanges, collectThenShow);
}

TEST_F(PasswordDialogTest, CancelLeavesTheFieldButTheWindowIsStillRefreshed) {
    const Block before = Stored();
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_PASSWORD_NEW, "pw");
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "px");
        PressOk(dialog);
    });
    script.Then([](HWND dialog) { PressCancel(dialog); });
    RunChangePassword(host, passwordBlock);

    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(host.exchanges, collectThenShow);
}

TEST_F(PasswordDialogTest, NoMoreThanTwelveCharactersGetThrough) {
    const Block before = Stored();
    ModalScript script;
    script.Then([](HWND dialog) {
        for (int edit : {IDC_PASSWORD_NEW, IDC_PASSWORD_RETYPE}) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, edit, EM_GETLIMITTEXT, 0, 0), 12);
            test::TypeChars(dialog, edit, "abcdefghijklm");
            EXPECT_EQ(ItemText(dialog, edit), "abcdefghijkl");
        }
        // Text set past the limit is refused on OK.
        SetItemText(dialog, IDC_PASSWORD_RETYPE, "abcdefghijklm");
        PressOk(dialog);
    });
    script.Then([](HWND dialog) { PressCancel(dialog); });
    RunChangePassword(host, passwordBlock);

    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Please enter no more than 12 characters."}));
    EXPECT_EQ(Stored(), before);
}

TEST_F(PasswordDialogTest, FailedCollectionOfTheWindowIsNotWrittenBack) {
    host.value = 5;
    SetItemText(host.GetHwnd(), IDC_TEST_HOST_VALUE, "x1");
    ChangeTo("pw", "pw");

    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Please enter an integer."}));
    EXPECT_EQ(Stored(), Expected("pw"));
    EXPECT_EQ(host.exchanges, (std::vector<bool>{true}));
    EXPECT_EQ(ItemText(host.GetHwnd(), IDC_TEST_HOST_VALUE), "x1");

    // Collected fine: the members are shown again afterwards.
    SetItemText(host.GetHwnd(), IDC_TEST_HOST_VALUE, " 42");
    host.exchanges.clear();
    ChangeTo("", "");  // two empty edits clear the field
    EXPECT_EQ(Stored(), zeros);
    EXPECT_EQ(host.exchanges, collectThenShow);
    EXPECT_EQ(host.value, 42);
    EXPECT_EQ(ItemText(host.GetHwnd(), IDC_TEST_HOST_VALUE), "42");
}

TEST_F(PasswordDialogTest, OpeningWithDeleteSetShowsTheEditsDisabled) {
    PasswordDialog dialog;
    dialog.deletePassword = 1;
    dialog.newPassword = "kept";
    ModalScript script;
    script.Then([](HWND shown) {
        EXPECT_EQ(SendDlgItemMessageA(shown, IDC_PASSWORD_DELETE, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(shown, IDC_PASSWORD_NEW)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(shown, IDC_PASSWORD_RETYPE)));
        EXPECT_EQ(ItemText(shown, IDC_PASSWORD_NEW), "kept");
        PressCancel(shown);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(script.done, 1);
}

}  // namespace
}  // namespace quarnel
