#include <gtest/gtest.h>

#include "test_support.h"

#include <commctrl.h>

namespace quarnel::test {
namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    FieldsDialog dialog;
};

TEST_F(ControlsTest, IpAddressInHostOrder) {
    IpAddressCtrl& ip = dialog.ip;
    ip.SetAddress(0x0A010001);
    DWORD address = 0;
    EXPECT_EQ(ip.GetAddress(address), 4);
    EXPECT_EQ(address, 0x0A010001u);
    ip.SetAddress(192, 168, 0, 254);
    ip.GetAddress(address);
    EXPECT_EQ(address, 0xC0A800FEu);
    EXPECT_FALSE(ip.IsBlank());
    ip.ClearAddress();
    EXPECT_TRUE(ip.IsBlank());
    EXPECT_EQ(ip.GetAddress(address), 0);
}

TEST_F(ControlsTest, ProgressRangeAndPosition) {
    ProgressCtrl& bar = dialog.progress;
    bar.SetRange(32, 512);
    PBRANGE range{};
    bar.Send(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 32);
    EXPECT_EQ(range.iHigh, 512);
    bar.SetPos(100);
    EXPECT_EQ(bar.SetPos(200), 100);
    EXPECT_EQ(bar.GetPos(), 200);
}

TEST(MessageBoxes, EveryBoxGoesThroughTheHook) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        EXPECT_EQ(ShowMessageBox(nullptr, "Cannot open COM3", "Error", MB_ICONEXCLAMATION | MB_TASKMODAL), IDOK);
        EXPECT_EQ(AfxMessageBox("Reading complete."), IDOK);
        ASSERT_EQ(inner.boxes.size(), 2u);
        EXPECT_EQ(inner.boxes[0].caption, "Error");
        EXPECT_EQ(inner.boxes[0].text, "Cannot open COM3");
        EXPECT_EQ(inner.boxes[0].type, static_cast<UINT>(MB_ICONEXCLAMATION | MB_TASKMODAL));
        EXPECT_EQ(inner.boxes[1].caption, kTestCaption);
        EXPECT_EQ(inner.boxes[1].owner, nullptr);  // no modal run, no main window
    }
    ShowMessageBox(nullptr, "after", "", MB_OK);  // the previous hook is back
    ASSERT_EQ(outer.boxes.size(), 1u);
    EXPECT_EQ(outer.boxes[0].text, "after");
    EXPECT_EQ(outer.boxes[0].caption, "");
}

}  // namespace
}  // namespace quarnel::test
