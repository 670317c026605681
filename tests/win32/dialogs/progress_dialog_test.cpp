#include "ui/progress_dialog.h"

#include <gtest/gtest.h>

#include <memory>

#include "dialog_driver.h"
#include "resources/resource.h"
#include "test_host.h"

namespace quarnel {
namespace {

using namespace test;

// The progress window sits in the middle of its owner, half an odd
// difference dropped toward zero, whether it is narrower or wider.
TEST(ProgressDialog, OpensCentredOverItsOwner) {
    MessageBoxRecorder boxes;  // registers the progress bar's class
    TestHost owner;
    ASSERT_TRUE(owner.Create());
    RECT own{};
    {
        ProgressDialog probe(&owner);
        ASSERT_TRUE(probe.CreateModeless());
        GetWindowRect(probe.GetHwnd(), &own);
    }
    const int width = own.right - own.left, height = own.bottom - own.top;
    struct Case {
        int left, top, widthMore, heightMore, expectedLeft, expectedTop;
    };
    for (const Case& c : {Case{100, 80, 7, 5, 103, 82}, Case{300, 200, -5, -3, 298, 199}}) {
        MoveWindow(owner.GetHwnd(), c.left, c.top, width + c.widthMore, height + c.heightMore, TRUE);
        ProgressDialog progress(&owner);
        ASSERT_TRUE(progress.CreateModeless());
        RECT rect{};
        GetWindowRect(progress.GetHwnd(), &rect);
        EXPECT_EQ(rect.left, c.expectedLeft);
        EXPECT_EQ(rect.top, c.expectedTop);
        EXPECT_EQ(GetWindow(progress.GetHwnd(), GW_OWNER), owner.GetHwnd());
    }
}

TEST(ProgressDialog, ShowsTheLastStatusAndEscapeOnlyHidesIt) {
    MessageBoxRecorder boxes;
    TestHost owner;
    ASSERT_TRUE(owner.Create());
    auto progress = std::make_unique<ProgressDialog>(&owner);
    ASSERT_TRUE(progress->CreateModeless());
    HWND dialog = progress->GetHwnd();
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_STATUS), "");  // the template's placeholder is gone
    progress->SetStatusText("Searching...");
    progress->SetStatusText("Reading\r\nsecond line");
    EXPECT_EQ(ItemText(dialog, IDC_PROGRESS_STATUS), "Reading\r\nsecond line");

    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    progress.reset();
    EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
}  // namespace quarnel
