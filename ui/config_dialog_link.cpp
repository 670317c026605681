// The main window's link control: the Open and Close buttons, the serial
// link's messages and the window's timers (handed to the link controller),
// the buttons that follow the link, and idle processing.

#include <cstdlib>
#include <cstring>
#include <string>

#include "resources/resource.h"
#include "ui/config_dialog.h"
#include "ui/kick_idle.h"
#include "ui/link_failure_box.h"

namespace quarnel {

namespace {

// "COM" followed by at least one character gives the number after it
// (truncated to 16 bits); anything else 0.
uint16_t PortNumberFromText(const char* text) {
    if (std::strncmp(text, "COM", 3) != 0 || text[3] == '\0') return 0;
    return static_cast<uint16_t>(std::atoi(text + 3));
}

}  // namespace

void ConfigDialog::OnOpen() {
    char text[11] = "";
    GetDlgItemText(IDC_PORT, text, sizeof text);
    const uint16_t port = PortNumberFromText(text);
    ShowLinkFailure(GetHwnd(), link.Open(port), port);
}

void ConfigDialog::OnPortDropDown() {
    // While no port is open the list shows the ports present now (an adapter
    // plugged in or pulled out since), keeping the chosen port chosen.
    if (link.IsOpen()) return;
    const std::string chosen = GetDlgItemText(IDC_PORT);
    FillPortCombo();
    for (int i = 0; i < portCombo.GetCount(); ++i) {
        if (portCombo.GetLBText(i) == chosen) {
            portCombo.SetCurSel(i);
            break;
        }
    }
}

void ConfigDialog::OnClose() { link.RequestClose(); }

LRESULT ConfigDialog::OnPortEvent(WPARAM, LPARAM lParam) {
    FollowLink(link.OnPortEvent(lParam));
    return 0;
}

LRESULT ConfigDialog::OnPortOpened(WPARAM, LPARAM) {
    ShowLinkFailure(GetHwnd(), link.StartReceiver(), link.Port());
    if (link.IsActive()) {
        EnableDlgItem(IDC_READ, true);
        EnableDlgItem(IDC_CLOSE, true);
        EnableDlgItem(IDC_OPEN, false);
        EnableDlgItem(IDC_PORT, false);
    }
    return 0;
}

LRESULT ConfigDialog::OnKickIdle(WPARAM, LPARAM count) {
    return ProcessIdleCounter().OnKickIdle(static_cast<long>(count));
}

void ConfigDialog::OnDestroy() {
    Default();
    link.Detach();
}

LRESULT ConfigDialog::OnTimer(WPARAM id, LPARAM) {
    FollowLink(link.OnTimer(id));
    Default();
    return 0;
}

void ConfigDialog::FollowLink(LinkController::Outcome outcome) {
    switch (outcome) {
        case LinkController::Outcome::Pumped: progress.ShowPending(); break;
        case LinkController::Outcome::Closed:
            EnableDlgItem(IDC_CLOSE, false);
            EnableDlgItem(IDC_OPEN, true);
            EnableDlgItem(IDC_PORT, true);
            EnableDlgItem(IDC_READ, false);
            EnableDlgItem(IDC_WRITE, false);
            EnableDlgItem(IDC_CHANGE_PWD, false);
            EnableDlgItem(IDC_INITIALIZE_ENV, false);
            UpdateFileButtons();
            // One started while the link was closing ends with it too.
            link.CancelExchange();
            break;
        case LinkController::Outcome::None: break;
    }
}

}  // namespace quarnel
