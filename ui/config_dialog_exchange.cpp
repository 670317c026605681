// The main window's exchanges with the converter: the Read, Write and
// Initialize ENV buttons, the progress window, and what the engine asks of
// the window while it runs.

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

#include "configfile/backups.h"
#include "configfile/config_file.h"
#include "envrecord/form_transfer.h"
#include "envrecord/local_ip_check.h"
#include "envrecord/record_values.h"
#include "exchange/console_protocol.h"
#include "exchange/device_exchange.h"
#include "ui/timer_ids.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/config_dialog.h"
#include "ui/progress_dialog.h"

namespace quarnel {

namespace {

// Moving and repainting the progress bar takes milliseconds; done for every
// chunk it would hold up each next command, and for every byte of a shell
// dump it would take seconds. The bar is shown once the pump has sent what
// it could, at most once in this period; a position that comes sooner waits
// for the next pump tick after it.
constexpr DWORD kProgressRepaintMs = 50;

}  // namespace

void ConfigDialog::OnRead() {
    SetBaudCodeAndConfigure(BAUD_CODE_MONITOR);
    ClearReply(exchange);
    OpenProgress("Searching...");
    StartRead(exchange, *this);
    SetProgressRange(PROGRESS_READ_LOW, PROGRESS_MONITOR_HIGH);
    ShowProgressText("Reading Tarvo's environment variables.....");
    // The first step now, not a timer period later.
    PumpTick();
}

bool ConfigDialog::PrepareWrite() {
    SetBaudCodeAndConfigure(BAUD_CODE_MONITOR);
    ClearReply(exchange);
    // The caption shows the MAC text as the window holds it, before the
    // form is collected.
    const std::string caption = std::string("Writting Tarvo's environment variables.....\r\n") +
                                "MAC address " + GetDlgItemText(IDC_MAC_TEXT);
    OpenProgress(caption.c_str());
    // One bar for the whole action: the backup read, the write, and the
    // read-back when on. What the converter holds is kept before anything
    // is written to it, whatever the window shows.
    exchange.backupBeforeWrite = 1;
    exchange.verifyWrite = verifyAfterWrite ? 1 : 0;
    SetProgressRange(PROGRESS_MONITOR_WRITE_LOW, WriteProgressHigh(exchange));
    // A field the framework refused, or a WEP key that is not hexadecimal,
    // has been reported to the user; sending the old values instead and then
    // saying "Writing complete." would report a failure as success.
    if (!CollectForm() || !FormToRecord(record.main, record.wlan, record.tail, Form())) {
        CloseProgress();
        // Again after the progress window has gone: should it be the active
        // window then, its going puts back the focus this window had before.
        if (refusedControl_ != 0) {
            SendMessageA(GetHwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(refusedControl_)), TRUE);
        }
        return false;
    }
    return true;
}

void ConfigDialog::OnWrite() {
    if (!PrepareWrite()) return;
    if (!IsValidLocalIp(record.main)) {
        AfxMessageBox("You entered wrong Local IP address", MB_OK | MB_ICONHAND);
        // After the progress window goes: its going hands the activation back
        // to this window, which would put back the focus it had before.
        CloseProgress();
        SetFocus(GetDlgItem(IDC_LOCAL_IP));
        return;
    }
    StartWrite(exchange, *this);
    PumpTick();
}

void ConfigDialog::OnInitializeEnv() {
    if (!PrepareWrite()) return;
    ApplyFactoryValues(record.main, record.wlan, record.tail);
    StartWrite(exchange, *this);
    PumpTick();
}

void ConfigDialog::OpenProgress(const char* text) {
    if (!progressDialog) {
        progressDialog = new ProgressDialog(this);
        progressDialog->CreateModeless();
    }
    UpdateFileButtons();
    if (text) ShowProgressText(text);
}

void ConfigDialog::SetProgressRange(int lower, int upper) {
    progressPositionPending = 0;  // a restarted exchange starts from 0
    if (!progressDialog) return;
    SendMessageA(progressDialog->progressBar.GetHwnd(), PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
    SendMessageA(progressDialog->progressBar.GetHwnd(), PBM_SETPOS, 0, 0);
}

// ExchangeHost.

int ConfigDialog::Write(const char* bytes, int length) {
    return serialPort.Write(gLinkState, bytes, length);
}

int ConfigDialog::ReadByte(uint8_t& byte) { return serialPort.ReadByte(gLinkState, byte); }

void ConfigDialog::SetBaudCodeAndConfigure(int baudCode) {
    gPortSettings.baudCode = static_cast<uint16_t>(baudCode);
    serialPort.Configure(gPortSettings, gLinkState);
}

void ConfigDialog::PumpTransmit() { serialPort.PumpTransmit(gLinkState); }

void ConfigDialog::PumpReceive() { serialPort.PumpReceive(gLinkState); }

bool ConfigDialog::IsLinkActive() { return gLinkState.linkActive != 0; }

void ConfigDialog::ArmReplyTimer(int milliseconds) {
    SetTimer(GetHwnd(), TIMER_REPLY, static_cast<UINT>(milliseconds), nullptr);
}

void ConfigDialog::KillReplyTimer() { KillTimer(GetHwnd(), TIMER_REPLY); }

void ConfigDialog::ShowProgressText(const char* text) {
    if (progressDialog) progressDialog->SetStatusText(text);
}

void ConfigDialog::SetProgressPosition(int position) {
    if (!progressDialog) return;
    progressPosition = position;
    progressPositionPending = 1;
}

void ConfigDialog::ShowPendingProgress() {
    if (!progressDialog || !progressPositionPending) return;
    if (GetTickCount() - progressShownAt < kProgressRepaintMs) return;
    progressPositionPending = 0;
    SendMessageA(progressDialog->progressBar.GetHwnd(), PBM_SETPOS, static_cast<WPARAM>(progressPosition), 0);
    InvalidateRect(progressDialog->GetHwnd(), nullptr, TRUE);
    UpdateWindow(progressDialog->GetHwnd());
    progressShownAt = GetTickCount();
}

void ConfigDialog::CloseProgress() {
    progressPositionPending = 0;
    if (!progressDialog) return;
    progressDialog->SetStatusText("");
    delete progressDialog;
    progressDialog = nullptr;
    UpdateFileButtons();
}

void ConfigDialog::RefreshFormFromRecord() {
    RecordToForm(record.main, record.wlan, record.tail, Form());
    UpdateData(false);
    RefreshControls();
}

void ConfigDialog::EnableMainWindow() { EnableWindow(GetHwnd(), TRUE); }

void ConfigDialog::ShowMessage(const char* text, unsigned style) { AfxMessageBox(text, style); }

bool ConfigDialog::KeepBackup(const uint8_t* held, std::string& reason) {
    EnvRecord converter{};
    std::memcpy(converter.Data(), held, env_layout::RECORD_SIZE);
    std::string path;
    return SaveToBackupFolder(converter, path, reason);
}

std::string ConfigDialog::NameDifferences(const uint8_t* sent, const uint8_t* held) {
    EnvRecord a{}, b{};
    std::memcpy(a.Data(), sent, env_layout::RECORD_SIZE);
    std::memcpy(b.Data(), held, env_layout::RECORD_SIZE);
    // The first 32 bytes are never written: only what the write sent counts.
    std::memcpy(b.Data(), sent, env_layout::FIRST_WRITTEN_OFFSET);
    return DescribeDifferences(a, b);
}

}  // namespace quarnel
