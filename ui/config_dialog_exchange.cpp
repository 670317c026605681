// The main window's exchanges with the converter: the Read, Write and
// Initialize ENV buttons, the progress window, and what the engine tells
// the window while it runs.

#include <windows.h>

#include <cstring>
#include <string>

#include "configfile/backups.h"
#include "configfile/config_file.h"
#include "envrecord/form_transfer.h"
#include "envrecord/local_ip_check.h"
#include "envrecord/record_values.h"
#include "exchange/console_protocol.h"
#include "exchange/device_exchange.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/config_dialog.h"

namespace quarnel {

void ConfigDialog::OnRead() {
    link.PrepareExchange();
    OpenProgress("Searching...");
    link.StartRead();
    progress.SetRange(PROGRESS_READ_LOW, PROGRESS_MONITOR_HIGH);
    ShowProgressText("Reading Tarvo's environment variables.....");
    link.PumpTick();
}

bool ConfigDialog::PrepareWrite() {
    link.PrepareExchange();
    // The caption shows the MAC text as the window holds it, before the
    // form is collected.
    const std::string caption =
        std::string("Writting Tarvo's environment variables.....\r\n") + "MAC address " + GetDlgItemText(IDC_MAC_TEXT);
    OpenProgress(caption.c_str());
    // One bar for the whole action: the backup read, the write, and the
    // read-back when on. What the converter holds is kept before anything
    // is written to it, whatever the window shows.
    DeviceExchange& exchange = link.Exchange();
    exchange.backupBeforeWrite = 1;
    exchange.verifyWrite = verifyAfterWrite ? 1 : 0;
    progress.SetRange(PROGRESS_MONITOR_WRITE_LOW, WriteProgressHigh(exchange));
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
    link.StartWrite();
    link.PumpTick();
}

void ConfigDialog::OnInitializeEnv() {
    if (!PrepareWrite()) return;
    ApplyFactoryValues(record.main, record.wlan, record.tail);
    link.StartWrite();
    link.PumpTick();
}

void ConfigDialog::OpenProgress(const char* text) {
    progress.Open(this);
    UpdateFileButtons();
    if (text) ShowProgressText(text);
}

// ExchangeObserver.

void ConfigDialog::ShowProgressText(const char* text) { progress.ShowText(text); }

void ConfigDialog::SetProgressPosition(int position) { progress.SetPosition(position); }

void ConfigDialog::CloseProgress() {
    if (progress.Close()) UpdateFileButtons();
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
