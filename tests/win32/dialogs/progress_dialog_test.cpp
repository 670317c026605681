#include "ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <memory>

#include "dialog_driver.h"
#include "resources/resource.h"
#include "test_host.h"

namespace quarnel {
namespace {

using test::ItemText;

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MessageBoxRecorder unused;  // also makes sure the common controls are registered
        ASSERT_TRUE(owner.Create());
        // The progress window's own size, from a first creation.
        ProgressDialog probe(&owner);
        ASSERT_TRUE(probe.CreateModeless());
        RECT rect;
        GetWindowRect(probe.GetHwnd(), &rect);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }

    RECT PlaceOwnerAndOpen(int left, int top, int ownerWidth, int ownerHeight) {
        MoveWindow(owner.GetHwnd(), left, top, ownerWidth, ownerHeight, TRUE);
        progress = std::make_unique<ProgressDialog>(&owner);
        EXPECT_TRUE(progress->CreateModeless());
        RECT rect{};
        GetWindowRect(progress->GetHwnd(), &rect);
        return rect;
    }

    test::TestHost owner;
    std::unique_ptr<ProgressDialog> progress;
    int width = 0;
    int height = 0;
};

TEST_F(ProgressDialogTest, NarrowerDialogSitsInTheMiddleDroppingHalfAnOddDifference) {
    const RECT rect = PlaceOwnerAndOpen(100, 80, width + 7, height + 5);
    EXPECT_EQ(rect.left, 103);
    EXPECT_EQ(rect.top, 82);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_TRUE(IsWindowVisible(progress->GetHwnd()));
    EXPECT_EQ(GetWindow(progress->GetHwnd(), GW_OWNER), owner.GetHwnd());
}

TEST_F(ProgressDialogTest, WiderDialogStartsLeftOfTheOwnerByHalfTheExcess) {
    const RECT rect = PlaceOwnerAndOpen(300, 200, width - 5, height - 3);
    EXPECT_EQ(rect.left, 298);  // -2.5 rounded toward zero
    EXPECT_EQ(rect.top, 199);   // -1.5 rounded toward zero
}

TEST_F(ProgressDialogTest, StatusTextShowsTheLastTextSetWithItsLineBreak) {
    PlaceOwnerAndOpen(0, 0, 600, 400);
    HWND dialog = progress->GetHwnd();
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_STATUS), "");  // the template's placeholder is gone
    EXPECT_EQ(progress->progressBar.GetHwnd(), GetDlgItem(dialog, IDC_PROGRESS_BAR));

    progress->SetStatusText("Searching...");
    progress->SetStatusText("Reading\r\nsecond line");
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_STATUS), "Reading\r\nsecond line");
    EXPECT_EQ(progress->statusText, "Reading\r\nsecond line");

}

TEST_F(ProgressDialogTest, EscapeHidesItAndDeletingTheObjectRemovesTheWindow) {
    PlaceOwnerAndOpen(0, 0, 600, 400);
    HWND dialog = progress->GetHwnd();
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    progress->SetStatusText("still there");
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_STATUS), "still there");

    progress.reset();
    EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
}  // namespace quarnel
