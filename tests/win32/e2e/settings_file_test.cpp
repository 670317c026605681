// Settings files through the real program against the simulated converter:
// Save... and Load... through the real common dialogs, then Write; files of
// quarnel-cli.exe and of the window loading in each other.

#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/win32/e2e/cli_runner.h"
#include "tests/win32/e2e/session.h"

namespace {

using namespace e2e;

class SettingsFile : public Session {
protected:
    void SetUp() override {
        Session::SetUp();
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "quarnel-settings-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& name : written_) DeleteFileA(name.c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    // A path in the test's folder, with `text` written to it unless empty.
    std::string PathOf(const std::string& name, const std::string& text = "") {
        written_.push_back(folder_ + name);
        if (FILE* file = text.empty() ? nullptr : std::fopen(written_.back().c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
        return written_.back();
    }

    // Presses Save... or Load... and answers the common dialog with `path`;
    // returns the name the dialog proposed.
    std::string ChooseFile(int button, const std::string& path) {
        app.Click(button);
        const std::string caption = button == IDC_SAVE_SETTINGS ? "Save As" : "Open";
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (dialog = app.FindTopLevel(caption)) != nullptr; }, WAIT))
            << app.DescribeTopLevel();
        // The file name edit: inside its combo box (cmb13), or edt1 in the older layout.
        HWND name = nullptr;
        for (HWND w : ChildrenOf(dialog)) {
            char kind[16] = "";
            GetClassNameA(w, kind, sizeof kind);
            const int id = GetDlgCtrlID(w);
            if (lstrcmpiA(kind, "Edit") == 0 && (id == cmb13 || id == edt1) && IsWindowVisible(w)) name = w;
        }
        if (!name) return "no file name edit";
        const std::string proposed = WindowText(name);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        EXPECT_TRUE(app.WaitGone(dialog, WAIT)) << app.DescribeTopLevel();
        if (button == IDC_SAVE_SETTINGS) {
            EXPECT_TRUE(WaitUntil([&] { return !ReadWholeFile(path).empty(); }, WAIT)) << path;
        }
        return proposed;
    }

    std::string folder_;
    std::vector<std::string> written_;
};

// A file quarnel-cli.exe saved loads in the window over what it showed, and
// one the window saved (under the name it proposes) applies through
// quarnel-cli.exe: either way a converter edited since ends with the block
// the file was saved from. Loading sends nothing by itself.
TEST_F(SettingsFile, FilesOfTheCommandLineAndOfTheWindowLoadInEachOther) {
    SimFiles monitor("COM3");
    SimFiles shell("COM4");
    const Block original = RichBlock();
    Block edited = original;
    edited[39] = 77;
    PutLe32(edited, 88, 9600);
    PutText(edited, 144, 32, "EDITED");

    ASSERT_TRUE(shell.Reset("shell", original));
    const std::string fromCli = PathOf("from-cli.qcfg");
    ASSERT_EQ(RunCliExe("save COM4 \"" + fromCli + "\""), 0);
    OpenPort("COM3");
    EXPECT_FALSE(app.Enabled(IDC_SAVE_SETTINGS) || app.Enabled(IDC_LOAD_SETTINGS)) << "no record yet";
    LoadConverter(monitor, "monitor", edited);
    ChooseFile(IDC_LOAD_SETTINGS, fromCli);
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TARGET_SSID) == "TARVO-NET-5"; }, WAIT));
    EXPECT_EQ(app.Selection(IDC_BAUD_RATE), 7);
    ExpectHolds(monitor, edited);
    WriteAndWait(monitor, IDC_WRITE);
    ExpectHolds(monitor, original);

    const std::string fromWindow = PathOf("from-window.qcfg");
    EXPECT_EQ(ChooseFile(IDC_SAVE_SETTINGS, fromWindow), "tarvo-0ABCDE012F9E.qcfg");
    ASSERT_TRUE(shell.Reset("shell", edited));
    EXPECT_EQ(RunCliExe("apply COM4 \"" + fromWindow + "\""), 0);
    ExpectHolds(shell, original);
}

TEST_F(SettingsFile, BadFileChangesNothingAndOneFromAnotherModelOnlyItsSettings) {
    SimFiles sim("COM4");
    OpenPort("COM4");
    const Block original = RichBlock(7);
    LoadConverter(sim, "shell", original);

    ChooseFile(IDC_LOAD_SETTINGS,
               PathOf("bad.qcfg", "[network]\nlocal_ip = \"172.16.5.99\"\n\n[serial]\nparity = \"MARK\"\n"));
    ShownBox box;
    ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &box));
    EXPECT_NE(box.text.find("bad.qcfg, line 5: serial.parity: \"MARK\" is not offered"), std::string::npos) << box.text;
    EXPECT_EQ(app.Address(IDC_LOCAL_IP), Ipv4(172, 16, 5, 20));
    EXPECT_EQ(app.Selection(IDC_PARITY), 2);

    ChooseFile(IDC_LOAD_SETTINGS, PathOf("partial.qcfg",
                                         "[about]\r\nmodel_code = 2\r\n\r\n[network]\r\nlocal_ip = \"172.16.5.99\"\r\n"
                                         "[serial]\r\nbaud_rate = \"9600\"\r\n[wlan]\r\ntarget_ssid = \"HALL-7\"\r\n"
                                         "[eapol]\r\nidentity = \"line-7\"\r\n"));
    ASSERT_TRUE(app.AnswerBox("Quarnel", WAIT, &box));
    EXPECT_NE(box.text.find("model code 2; this converter has model code 7"), std::string::npos) << box.text;
    ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_TARGET_SSID) == "HALL-7"; }, WAIT));
    EXPECT_EQ(app.FindMessageBox("Quarnel"), nullptr) << "warned once";

    Block expected = original;
    expected[39] = 99;
    PutLe32(expected, 88, 9600);
    PutText(expected, 144, 32, "HALL-7");
    PutText(expected, 108, 8, "line-7");
    PutText(expected, 64, 8, "");
    PutText(expected, 48, 16, "");
    WriteAndWait(sim, IDC_WRITE);
    ExpectHolds(sim, expected);
    EXPECT_TRUE(app.Enabled(IDC_SAVE_SETTINGS) && app.Enabled(IDC_LOAD_SETTINGS));
}

}  // namespace
