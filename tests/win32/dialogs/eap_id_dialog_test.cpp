#include "ui/eap_id_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace quarnel {
namespace {

using test::ItemText;
using test::MessageBoxRecorder;
using test::ModalScript;
using test::PressCancel;
using test::PressOk;
using test::SetItemText;

class EapIdDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Leftovers after the terminators show whether the buffers were zero-filled.
        std::memset(userName, 'u', sizeof userName);
        std::memset(password, 'p', sizeof password);
        std::memcpy(userName, "alice", 6);
        std::memcpy(password, "secret", 7);
        std::memcpy(userNameBefore, userName, sizeof userName);
        std::memcpy(passwordBefore, password, sizeof password);
    }

    bool Unchanged() const {
        return std::memcmp(userName, userNameBefore, sizeof userName) == 0 &&
               std::memcmp(password, passwordBefore, sizeof password) == 0;
    }

    template <std::size_t N>
    static bool ZeroFrom(const char (&buffer)[N], std::size_t from) {
        for (std::size_t i = from; i < N; ++i) {
            if (buffer[i] != '\0') return false;
        }
        return true;
    }

    MessageBoxRecorder boxes;
    char userName[EAP_USER_NAME_SIZE];
    char password[EAP_PASSWORD_SIZE];
    char userNameBefore[EAP_USER_NAME_SIZE];
    char passwordBefore[EAP_PASSWORD_SIZE];
};

TEST_F(EapIdDialogTest, OkWithoutEditsKeepsBothTexts) {
    ModalScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EAP_USERNAME), "alice");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_PASSWORD), "secret");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_RETYPE), "secret");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_EAP_USERNAME, EM_GETLIMITTEXT, 0, 0), 32);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_EAP_PASSWORD, EM_GETLIMITTEXT, 0, 0), 8);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_EAP_RETYPE, EM_GETLIMITTEXT, 0, 0), 8);
        PressOk(dialog);
    });
    RunEapId(userName, password);

    EXPECT_EQ(script.done, 1);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_STREQ(userName, "alice");
    EXPECT_STREQ(password, "secret");
    EXPECT_TRUE(ZeroFrom(userName, 5));
    EXPECT_TRUE(ZeroFrom(password, 6));
}

TEST_F(EapIdDialogTest, MismatchShowsTheEntriesAgainAndCancelKeepsTheBuffers) {
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_EAP_USERNAME, "bob");
        SetItemText(dialog, IDC_EAP_PASSWORD, "one");
        SetItemText(dialog, IDC_EAP_RETYPE, "two");
        PressOk(dialog);
    });
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EAP_USERNAME), "bob");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_PASSWORD), "one");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_RETYPE), "two");
        PressCancel(dialog);
    });
    RunEapId(userName, password);

    EXPECT_EQ(script.done, 2);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "The passwords don't match.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(Unchanged());
}

TEST_F(EapIdDialogTest, MismatchThenMatchingEntriesAreStored) {
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_EAP_RETYPE, "secreT");
        PressOk(dialog);
    });
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_EAP_USERNAME, "carol");
        SetItemText(dialog, IDC_EAP_PASSWORD, "12345678");
        SetItemText(dialog, IDC_EAP_RETYPE, "12345678");
        PressOk(dialog);
    });
    RunEapId(userName, password);

    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_STREQ(userName, "carol");
    EXPECT_STREQ(password, "12345678");
    EXPECT_TRUE(ZeroFrom(password, 8));
}

TEST_F(EapIdDialogTest, OverlongEntryIsRefusedAndTheDialogStaysOpen) {
    ModalScript script;
    script.Then([](HWND dialog) {
        SetItemText(dialog, IDC_EAP_USERNAME, std::string(33, 'n').c_str());
        PressOk(dialog);
    });
    script.Then([](HWND dialog) { PressCancel(dialog); });
    RunEapId(userName, password);

    EXPECT_EQ(script.done, 2);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Please enter no more than 32 characters."}));
    EXPECT_TRUE(Unchanged());
}

}  // namespace
}  // namespace quarnel
