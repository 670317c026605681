// Read, Write and Initialize ENV through the real program against the
// simulated converter, in both console modes.

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/converter_session.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::AppDriver;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

constexpr DWORD kWait = 15000;

class ReadWrite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Launch(QUARNEL_EXE_PATH));
    }
    void OpenPort(const std::string& name) { ASSERT_TRUE(e2e::OpenPort(app, name, kWait)) << name; }
    void ReadAndWait() {
        app.Click(IDC_READ);
        ASSERT_TRUE(WaitUntil([&] { return app.Enabled(IDC_WRITE) && !app.FindTopLevel("Quarnel"); }, kWait));
    }
    AppDriver app;
};

TEST_F(ReadWrite, MonitorReadShowsTheConvertersSettings) {
    SimFiles sim("COM3");
    OpenPort("COM3");
    EXPECT_FALSE(app.Enabled(IDC_OPEN));
    EXPECT_TRUE(app.Enabled(IDC_CLOSE));
    ReadAndWait();
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "02:1F:A0:00:0B:FF");
    EXPECT_EQ(app.Text(IDC_FIRMWARE_TEXT), "F/W : 2.5B");
    const auto log = sim.Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[0].text, "r\\r");
    EXPECT_EQ(log[0].baud, 115200);
}

TEST_F(ReadWrite, ShellReadFallsBackAndShowsTheSettings) {
    SimFiles sim("COM4");
    OpenPort("COM4");
    ReadAndWait();
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "02:1F:A0:00:0B:FF");
    bool sawShellProbe = false;
    for (const auto& c : sim.Log()) sawShellProbe |= c.baud == 19200;
    EXPECT_TRUE(sawShellProbe);
}

TEST_F(ReadWrite, SilentConverterEndsInTheNoResponseMessage) {
    OpenPort("COM5");
    app.Click(IDC_READ);
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", 10000, &box));
    // The progress window shares the caption; the message box is the one with text.
    EXPECT_EQ(box.text,
              "No respone from Tarvo.\r\n\r\nCheck serial port, cable connection, power supply and console mode.");
    EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, kWait));
}

}  // namespace
