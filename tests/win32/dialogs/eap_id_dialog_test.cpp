#include "ui/eap_id_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "resources/resource.h"

namespace quarnel {
namespace {

using namespace test;

class EapIdDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Leftovers after the terminators show whether the buffers were zero-filled.
        std::memset(userName, 'u', sizeof userName);
        std::memset(password, 'p', sizeof password);
        std::memcpy(userName, "alice", 6);
        std::memcpy(password, "secret", 7);
    }

    // Runs the dialog over the buffers; true when they are unchanged.
    bool RunUnchanged() {
        char nameBefore[sizeof userName], passwordBefore[sizeof password];
        std::memcpy(nameBefore, userName, sizeof userName);
        std::memcpy(passwordBefore, password, sizeof password);
        RunEapId(userName, password);
        return std::memcmp(userName, nameBefore, sizeof userName) == 0 &&
               std::memcmp(password, passwordBefore, sizeof password) == 0;
    }

    MessageBoxRecorder boxes;
    char userName[EAP_USER_NAME_SIZE];
    char password[EAP_PASSWORD_SIZE];
};

// Opens with both texts, shows a mismatch again as typed, and stores entries
// of full length zero-filled.
TEST_F(EapIdDialogTest, MismatchShowsTheEntriesAgainThenMatchingOnesAreStoredZeroFilled) {
    ModalScript script;
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EAP_USERNAME), "alice");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_PASSWORD), "secret");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_RETYPE), "secret");
        SetItemText(dialog, IDC_EAP_USERNAME, "bob");
        SetItemText(dialog, IDC_EAP_PASSWORD, "one");
        SetItemText(dialog, IDC_EAP_RETYPE, "two");
        PressCommand(dialog, IDOK);
    });
    script.Then([](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EAP_USERNAME), "bob");
        EXPECT_EQ(ItemText(dialog, IDC_EAP_RETYPE), "two");
        SetItemText(dialog, IDC_EAP_USERNAME, std::string(32, 'n').c_str());
        SetItemText(dialog, IDC_EAP_PASSWORD, "12345678");
        SetItemText(dialog, IDC_EAP_RETYPE, "12345678");
        PressCommand(dialog, IDOK);
    });
    RunEapId(userName, password);
    EXPECT_EQ(script.done, 2);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "The passwords don't match.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(std::string(userName, sizeof userName), std::string(32, 'n') + std::string(sizeof userName - 32, '\0'));
    EXPECT_EQ(std::string(password, sizeof password), "12345678" + std::string(sizeof password - 8, '\0'));
}

TEST_F(EapIdDialogTest, RefusedOrCancelledEntriesLeaveTheBuffers) {
    for (const char* refused : {"", "The passwords don't match.", "Please enter no more than 32 characters."}) {
        SCOPED_TRACE(refused);
        boxes.boxes.clear();
        ModalScript script;
        script.Then([&](HWND dialog) {
            SetItemText(dialog, IDC_EAP_USERNAME, std::string(*refused == 'P' ? 33 : 3, 'n').c_str());
            SetItemText(dialog, IDC_EAP_RETYPE, *refused == 'T' ? "other" : "secret");
            if (*refused)
                PressCommand(dialog, IDOK);
            else
                PressCommand(dialog, IDCANCEL);
        });
        if (*refused) script.Then([](HWND dialog) { PressCommand(dialog, IDCANCEL); });  // the dialog stayed open
        EXPECT_TRUE(RunUnchanged());
        EXPECT_EQ(script.done, *refused ? 2 : 1);
        EXPECT_EQ(boxes.Texts(), *refused ? std::vector<std::string>{refused} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace quarnel
