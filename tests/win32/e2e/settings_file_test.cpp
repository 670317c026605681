// Settings files through the real program against the simulated converter:
// Save... and Load... through the real common dialogs, then Write.

#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <cstdio>
#include <string>

#include "configfile/config_file.h"
#include "resources/resource.h"
#include "tests/win32/e2e/cli_runner.h"
#include "tests/win32/e2e/exchange_fixture.h"

namespace {

using e2e::Block;
using e2e::ExchangeFixture;
using e2e::Ipv4;
using e2e::kExchangeWait;
using e2e::ShownBox;
using e2e::SimFiles;
using e2e::WaitUntil;

class SettingsFileTest : public ExchangeFixture {
 protected:
  void SetUp() override {
    ExchangeFixture::SetUp();
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    folder_ = std::string(temp) + "quarnel-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& name : written_) DeleteFileA(name.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string PathOf(const std::string& name) {
    written_.push_back(folder_ + name);
    return folder_ + name;
  }

  void WriteFile(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }

  // The dialog's file name edit: the edit inside its file name combo box
  // (cmb13), or the plain edit (edt1) of the older layout.
  static BOOL CALLBACK FindNameEdit(HWND w, LPARAM found) {
    char kind[16] = "";
    GetClassNameA(w, kind, sizeof kind);
    const int id = GetDlgCtrlID(w);
    if (lstrcmpiA(kind, "Edit") != 0 || (id != cmb13 && id != edt1) || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
  }

  // Answers the program's Save As or Open dialog with `path`; returns the
  // name the dialog proposed.
  std::string ChooseFile(const std::string& caption, const std::string& path) {
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (dialog = app.FindTopLevel(caption)) != nullptr; }, kExchangeWait))
        << app.DescribeTopLevel();
    if (!dialog) return "";
    HWND name = nullptr;
    EnumChildWindows(dialog, FindNameEdit, reinterpret_cast<LPARAM>(&name));
    EXPECT_NE(name, nullptr);
    const std::string proposed = e2e::WindowText(name);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(app.WaitGone(dialog, kExchangeWait)) << app.DescribeTopLevel();
    return proposed;
  }

  // Saves the window's settings to `path` and waits until the file is there.
  void Save(const std::string& path) {
    app.Click(IDC_SAVE_SETTINGS);
    ChooseFile("Save As", path);
    EXPECT_TRUE(WaitUntil([&] { return !e2e::ReadWholeFile(path).empty(); }, kExchangeWait)) << path;
  }

  void Load(const std::string& path) {
    app.Click(IDC_LOAD_SETTINGS);
    ChooseFile("Open", path);
  }

  bool FileButtonsEnabled() { return app.Enabled(IDC_SAVE_SETTINGS) && app.Enabled(IDC_LOAD_SETTINGS); }

  std::string folder_;
  std::vector<std::string> written_;
};

TEST_F(SettingsFileTest, SavedFileLoadedOverEditsWritesBackTheBlockAtSave) {
  SimFiles sim("COM3");
  ASSERT_TRUE(sim.Available());
  OpenPort("COM3");
  EXPECT_FALSE(app.Enabled(IDC_SAVE_SETTINGS)) << "no record yet";
  EXPECT_FALSE(app.Enabled(IDC_LOAD_SETTINGS));
  const Block original = e2e::RichBlock(9);
  LoadConverter(sim, "monitor", original);
  ASSERT_TRUE(FileButtonsEnabled());

  const std::string path = PathOf("saved.qcfg");
  app.Click(IDC_SAVE_SETTINGS);
  EXPECT_EQ(ChooseFile("Save As", path), "tarvo-0ABCDE012F9E.qcfg");
  std::string text;
  ASSERT_TRUE(WaitUntil([&] { return !(text = e2e::ReadWholeFile(path)).empty(); }, kExchangeWait));
  quarnel::ConfigFile saved;
  std::string error;
  ASSERT_TRUE(quarnel::ParseConfigText(text, "saved.qcfg", saved, error)) << error;
  ASSERT_TRUE(saved.hasBlock);
  const Block atSave(saved.block.Data(), saved.block.Data() + 480);
  EXPECT_EQ(e2e::DescribeDifferences(original, atSave), "") << "Save stores what the window shows";

  app.SetAddress(IDC_LOCAL_IP, Ipv4(172, 16, 5, 77));
  app.SetText(IDC_TARGET_SSID, "EDITED");
  app.Select(IDC_BAUD_RATE, 2);
  app.Click(IDC_ARP);
  ASSERT_TRUE(WaitUntil([&] { return !app.Checked(IDC_ARP) && app.Selection(IDC_BAUD_RATE) == 2; }, kExchangeWait));

  Load(path);
  ASSERT_TRUE(WaitUntil([&] { return app.Checked(IDC_ARP) && app.Address(IDC_LOCAL_IP) == Ipv4(172, 16, 5, 20); },
                        kExchangeWait));
  EXPECT_EQ(app.Text(IDC_TARGET_SSID), "TARVO-NET-5");
  EXPECT_EQ(app.Selection(IDC_BAUD_RATE), 7);
  EXPECT_EQ(e2e::DescribeDifferences(original, sim.Block()), "") << "Load sends nothing";

  WriteAndWait(sim, IDC_WRITE);
  EXPECT_EQ(e2e::DescribeDifferences(atSave, sim.Block()), "");
  EXPECT_TRUE(FileButtonsEnabled());
}

// A file quarnel-cli.exe saved loads in the window, and one the window saved
// applies through quarnel-cli.exe: either way a converter edited since ends
// with the block the file was saved from.
TEST_F(SettingsFileTest, FilesOfTheCommandLineAndOfTheWindowLoadInEachOther) {
  SimFiles monitor("COM3");
  SimFiles shell("COM4");
  ASSERT_TRUE(monitor.Available() && shell.Available());
  const Block original = e2e::RichBlock(9);
  Block edited = original;
  edited[39] = 77;
  e2e::PutLe32(edited, 88, 9600);
  e2e::PutText(edited, 144, 32, "EDITED");

  ASSERT_TRUE(shell.Reset("shell", original));
  const std::string fromCli = PathOf("from-cli.qcfg");
  ASSERT_EQ(e2e::RunCliExe("save COM4 \"" + fromCli + "\"").status, 0);
  OpenPort("COM3");
  LoadConverter(monitor, "monitor", edited);
  Load(fromCli);
  ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TARGET_SSID) == "TARVO-NET-5"; }, kExchangeWait));
  WriteAndWait(monitor, IDC_WRITE);
  EXPECT_EQ(e2e::DescribeDifferences(original, monitor.Block()), "");

  const std::string fromWindow = PathOf("from-window.qcfg");
  Save(fromWindow);
  ASSERT_TRUE(shell.Reset("shell", edited));
  EXPECT_EQ(e2e::RunCliExe("apply COM4 \"" + fromWindow + "\"").status, 0);
  EXPECT_EQ(e2e::DescribeDifferences(original, shell.Block()), "");
}

TEST_F(SettingsFileTest, PartialFileFromAnotherModelChangesOnlyItsSettings) {
  SimFiles sim("COM4");
  ASSERT_TRUE(sim.Available());
  OpenPort("COM4");
  const Block original = e2e::RichBlock(7);
  LoadConverter(sim, "shell", original);

  const std::string path = PathOf("partial.qcfg");
  WriteFile(path,
            "[about]\r\nmodel_code = 2\r\n\r\n[network]\r\nlocal_ip = \"172.16.5.99\"\r\n"
            "[serial]\r\nbaud_rate = \"9600\"\r\n[wlan]\r\ntarget_ssid = \"HALL-7\"\r\n"
            "[eapol]\r\nidentity = \"line-7\"\r\n");
  Load(path);
  ShownBox warning;
  ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &warning));
  EXPECT_NE(warning.text.find("model code 2; this converter has model code 7"), std::string::npos) << warning.text;
  ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TARGET_SSID) == "HALL-7"; }, kExchangeWait));
  EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr) << "warned once";

  Block expected = original;
  expected[39] = 99;
  e2e::PutLe32(expected, 88, 9600);
  e2e::PutText(expected, 144, 32, "HALL-7");
  e2e::PutText(expected, 108, 8, "line-7");
  e2e::PutText(expected, 64, 8, "");
  e2e::PutText(expected, 48, 16, "");
  WriteAndWait(sim, IDC_WRITE);
  EXPECT_EQ(e2e::DescribeDifferences(expected, sim.Block()), "");
}

TEST_F(SettingsFileTest, BadValueIsReportedAndChangesNothing) {
  SimFiles sim("COM3");
  ASSERT_TRUE(sim.Available());
  OpenPort("COM3");
  LoadConverter(sim, "monitor", e2e::RichBlock(9));

  const std::string path = PathOf("bad.qcfg");
  WriteFile(path, "[network]\nlocal_ip = \"172.16.5.99\"\n\n[serial]\nparity = \"MARK\"\n");
  Load(path);
  ShownBox refusal;
  ASSERT_TRUE(app.AnswerBox("Quarnel", kExchangeWait, &refusal));
  EXPECT_NE(refusal.text.find("bad.qcfg, line 5: serial.parity: \"MARK\" is not offered"), std::string::npos)
      << refusal.text;
  EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));
  EXPECT_EQ(app.Selection(IDC_PARITY), 2);
  EXPECT_TRUE(FileButtonsEnabled());
}

}  // namespace
