// Edges of the exchanges through the real program: the link closed while an
// exchange waits for the converter (and opened again at once), a read that
// fails part-way, and numbers
// outside the fields' ranges.

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/win32/e2e/app_driver.h"
#include "tests/win32/e2e/exchange_fixture.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::Block;
using e2e::ExchangeFixture;
using e2e::kExchangeWait;
using e2e::LoggedCommand;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

class ExchangeEdges : public ExchangeFixture {
 protected:
  bool Sent(const SimFiles& sim, size_t mark, const std::string& prefix) {
    for (const auto& c : LogSince(sim, mark)) {
      if (c.text.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
  }

  // The no-response message once the pending reply time-out fires, with the
  // progress window already gone.
  void ExpectNoResponse() {
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = app.FindMessageBox("Quarnel")) != nullptr; }, kExchangeWait))
        << "the exchange never ended; progress window up: " << (e2e::FindProgressWindow(app) != nullptr);
    EXPECT_EQ(e2e::FindProgressWindow(app), nullptr);
    ShownBox shown;
    ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &shown));
    EXPECT_EQ(shown.text, e2e::kNoResponse);
    EXPECT_TRUE(WaitUntil([&] { return app.CountTopLevel("Quarnel") == 0; }, kExchangeWait));
  }

  // Close, then Open again at once with the converter answering in shell
  // mode: the cancelled exchange ended at the Close with its message once,
  // and sends nothing on the re-opened link, nor shows its progress window,
  // for 6 s. A Read works afterwards.
  void CloseReopenAndExpectSilence(SimFiles& sim, const std::string& port) {
    ClosePort();
    ASSERT_TRUE(sim.Control({"mode shell", "fault none"}));
    const size_t mark = sim.Log().size();
    OpenPort(port);
    int boxes = 0;
    bool progressShown = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 6000) {
      progressShown = progressShown || e2e::FindProgressWindow(app) != nullptr;
      ShownBox shown;
      if (app.FindMessageBox("Quarnel") != nullptr && app.AnswerBox("Quarnel", kExchangeWait, &shown)) {
        ++boxes;
        EXPECT_EQ(shown.text, e2e::kNoResponse);
      }
      Sleep(20);
    }
    const std::vector<LoggedCommand> sent = LogSince(sim, mark);
    EXPECT_TRUE(sent.empty()) << "sent on the re-opened link: " << sent.front().text;
    EXPECT_FALSE(progressShown);
    EXPECT_EQ(boxes, 1);
    ReadAndWait(sim);
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "0A:BC:DE:01:2F:9E");
  }

  // Types `text` into a numeric field and leaves it for the Target SSID.
  void TypeAndLeave(int id, const std::string& text) {
    app.Focus(id);
    ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(id); }, kExchangeWait));
    app.SetText(id, text);
    app.Focus(IDC_TARGET_SSID);
    ASSERT_TRUE(WaitUntil([&] { return app.FocusedWindow() == app.Control(IDC_TARGET_SSID); }, kExchangeWait));
  }

  // A converter in U2S mode, where all four numeric fields can be edited.
  void LoadU2sConverter() {
    Block block = e2e::RichBlock(9);
    block[94] = 3;
    LoadConverter(monitor, "monitor", block);
    for (int id : kNumericFields) ASSERT_TRUE(app.Enabled(id)) << id;
  }

  // Local Port, Peer Port, time-out and water mark as the converter holds them.
  void ExpectConverterNumbers(int localPort, int peerPort, int timeout, int waterMark) {
    const Block held = monitor.Block();
    ASSERT_EQ(held.size(), 480u);
    EXPECT_EQ(e2e::Le16(held, 106), localPort);
    EXPECT_EQ(e2e::Le16(held, 104), peerPort);
    EXPECT_EQ(e2e::Le16(held, 92), timeout);
    EXPECT_EQ(e2e::Le16(held, 96), waterMark);
  }

  static constexpr int kNumericFields[] = {IDC_LOCAL_PORT, IDC_PEER_PORT, IDC_TIMEOUT, IDC_WATER_MARK};
  SimFiles silent{"COM3"};
  SimFiles monitor{"COM4"};
};

constexpr int ExchangeEdges::kNumericFields[];

TEST_F(ExchangeEdges, CloseWhileTheMonitorProbeIsUnansweredEndsTheReadForGood) {
  ASSERT_TRUE(silent.Reset("silent", e2e::RichBlock(9)));
  OpenPort("COM3");
  const DWORD pressed = GetTickCount();
  app.Click(IDC_READ);
  ASSERT_TRUE(WaitUntil([&] { return e2e::FindProgressWindow(app) != nullptr; }, kExchangeWait));
  const DWORD elapsed = GetTickCount() - pressed;
  if (elapsed < 300) Sleep(300 - elapsed);
  CloseReopenAndExpectSilence(silent, "COM3");
}

TEST_F(ExchangeEdges, CloseDuringAMonitorReadChunkEndsTheReadForGood) {
  // The converter's answer to the first chunk starts with two NUL bytes, so
  // the chunk never completes.
  ASSERT_TRUE(monitor.Control({"mode monitor", "fault nul:2", "block " + e2e::ToHex(e2e::RichBlock(9))}));
  OpenPort("COM4");
  const size_t mark = monitor.Log().size();
  app.Click(IDC_READ);
  ASSERT_TRUE(WaitUntil([&] { return Sent(monitor, mark, "r 20 80"); }, kExchangeWait));
  CloseReopenAndExpectSilence(monitor, "COM4");
}

TEST_F(ExchangeEdges, CloseDuringAMonitorWriteChunkEndsTheWriteForGood) {
  const Block original = e2e::RichBlock(9);
  OpenPort("COM4");
  LoadConverter(monitor, "monitor", original);
  // Acknowledgements 1 and 2 unlock the block; the first "!w" goes unanswered.
  ASSERT_TRUE(monitor.Control({"fault drop-ack:3"}));
  const size_t mark = monitor.Log().size();
  app.Click(IDC_WRITE);
  ASSERT_TRUE(WaitUntil([&] { return Sent(monitor, mark, "!w 40 "); }, kExchangeWait));
  CloseReopenAndExpectSilence(monitor, "COM4");
  WriteAndWait(monitor, IDC_WRITE);
  EXPECT_EQ(e2e::DescribeDifferences(original, monitor.Block()), "");
}

TEST_F(ExchangeEdges, FailedReadLeavesTheWindowAndTheRecordAsTheyWere) {
  // Converter A is read; then converter B, every byte different, answers a
  // read with a damaged first chunk of the right length, or not at all at
  // its third chunk. The Write after it must send A's bytes whole.
  const Block a = e2e::RichBlock(9);
  Block b = a;
  for (auto& byte : b) byte ^= 0x5A;
  OpenPort("COM4");
  LoadConverter(monitor, "monitor", a);
  for (const char* fault : {"bad-digit:1", "digit-for-blank:1", "drop-read:3"}) {
    SCOPED_TRACE(fault);
    ASSERT_TRUE(monitor.Control({"block " + e2e::ToHex(b), std::string("fault ") + fault}));
    const DWORD start = GetTickCount();
    app.Click(IDC_READ);
    ExpectNoResponse();
    EXPECT_GE(GetTickCount() - start, 4900u) << "the read ended before its time-out";
    EXPECT_EQ(app.Text(IDC_MAC_TEXT), "0A:BC:DE:01:2F:9E");
    EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), e2e::Ipv4(172, 16, 5, 20));

    ASSERT_TRUE(monitor.Control({"fault none"}));
    WriteAndWait(monitor, IDC_WRITE);
    const Block held = monitor.Block();
    ASSERT_EQ(held.size(), 480u);
    EXPECT_EQ(e2e::DescribeDifferences(Block(a.begin() + 32, a.end()), Block(held.begin() + 32, held.end())), "");
  }
}

TEST_F(ExchangeEdges, NegativeNumbersAreShownAndStoredAsZero) {
  OpenPort("COM4");
  for (const char* negative : {"-1", "-70000"}) {
    SCOPED_TRACE(negative);
    LoadU2sConverter();
    for (int id : kNumericFields) {
      TypeAndLeave(id, negative);
      EXPECT_TRUE(WaitUntil([&] { return app.Text(id) == "0"; }, kExchangeWait)) << id << ": " << app.Text(id);
    }
    WriteAndWait(monitor, IDC_WRITE);
    ExpectConverterNumbers(0, 0, 0, 0);
  }
  // Typed and written without leaving the field.
  LoadU2sConverter();
  for (int id : kNumericFields) app.SetText(id, "-1");
  WriteAndWait(monitor, IDC_WRITE);
  ExpectConverterNumbers(0, 0, 0, 0);
  for (int id : kNumericFields) EXPECT_EQ(app.Text(id), "0") << id;
}

TEST_F(ExchangeEdges, NumbersAboveTheLimitsAreClampedOnLeavingAndOnStoring) {
  OpenPort("COM4");
  LoadU2sConverter();
  TypeAndLeave(IDC_LOCAL_PORT, "70000");
  TypeAndLeave(IDC_PEER_PORT, "65536");
  TypeAndLeave(IDC_TIMEOUT, "40000");
  TypeAndLeave(IDC_WATER_MARK, "40000");
  // Leaving follows long_limits; storing follows the model (9).
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_WATER_MARK) == "2048"; }, kExchangeWait));
  EXPECT_EQ(app.Text(IDC_LOCAL_PORT), "65535");
  EXPECT_EQ(app.Text(IDC_PEER_PORT), "65535");
  EXPECT_EQ(app.Text(IDC_TIMEOUT), "30000");
  WriteAndWait(monitor, IDC_WRITE);
  ExpectConverterNumbers(65535, 65535, 3600, 2048);
  EXPECT_EQ(app.Text(IDC_TIMEOUT), "3600");
}

}  // namespace
