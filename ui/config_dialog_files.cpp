// The main window's settings files: Save... writes what the window holds as
// a configuration file, Load... enters a file's named settings into the
// window as if the user had typed them. Neither sends anything: the user
// reviews the window and presses Write.

#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <string>

#include "configfile/backups.h"
#include "configfile/config_file.h"
#include "configfile/text_file.h"
#include "envrecord/form_transfer.h"
#include "framework/message_box.h"
#include "resources/resource.h"
#include "ui/config_dialog.h"

namespace quarnel {

namespace {

constexpr char FILE_FILTER[] = "Quarnel settings (*.qcfg)\0*.qcfg\0All files (*.*)\0*.*\0";

// The standard Save As or Open dialog; `path` holds the proposed name and
// receives the chosen one, `folder` the folder to start in (empty: the
// system's choice). False when the user cancels.
bool AskForFile(HWND owner, bool save, std::string& path, const std::string& folder = "") {
    char buffer[MAX_PATH] = "";
    lstrcpynA(buffer, path.c_str(), sizeof buffer);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = FILE_FILTER;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = sizeof buffer;
    dialog.lpstrDefExt = SETTINGS_FILE_EXTENSION;
    if (!folder.empty()) dialog.lpstrInitialDir = folder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog))) return false;
    path = buffer;
    return true;
}

// "tarvo-021FA0000BFF.qcfg"
std::string DefaultFileName(const MainBlock& main) {
    return ConfigFileStem(main.mac_address()) + "." + SETTINGS_FILE_EXTENSION;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void ConfigDialog::UpdateFileButtons() {
    // Write is usable once a record has been read; an exchange shows its
    // progress window until it ends.
    const bool usable = link.Exchange().recordLoaded == 1 && !progress.IsOpen();
    EnableDlgItem(IDC_SAVE_SETTINGS, usable);
    EnableDlgItem(IDC_LOAD_SETTINGS, usable);
}

void ConfigDialog::OnSaveSettings() {
    // The form is collected as Write collects it; a refused field has been
    // reported and nothing is written.
    if (!CollectForm()) return;
    EnvRecord collected = record;
    if (!FormToRecord(collected.main, collected.wlan, collected.tail, Form())) return;

    std::string path = DefaultFileName(collected.main);
    if (!AskForFile(GetHwnd(), true, path)) return;
    settingsFolderUsed = true;
    const std::string text = WriteConfigText(collected, AboutForSave(collected.main));
    std::string reason;
    if (!SaveTextAtomically(path, text, reason)) {
        const std::string message = "The settings could not be saved to " + path + ".\r\n\r\n" + reason;
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONHAND);
    }
}

void ConfigDialog::OnLoadSettings() {
    // What the user typed stays unless the file names it.
    if (!CollectForm()) return;
    // Until the user has a settings file of their own, Load starts where
    // the backups taken before each write are.
    std::string path, reason;
    const std::string start = settingsFolderUsed ? std::string() : BackupFolder(reason);
    if (!AskForFile(GetHwnd(), false, path, start)) return;
    settingsFolderUsed = true;

    std::string text, problem;
    ConfigFile file;
    bool usable = ReadTextFile(path, text, problem);
    if (!usable) {
        problem = "The settings could not be read from " + path + ".\r\n\r\n" + problem;
    } else {
        usable = ParseConfigText(text, FileNameOf(path), file, problem) && CheckPatch(file.patch, record, problem);
    }
    if (!usable) {
        AfxMessageBox(problem.c_str(), MB_OK | MB_ICONHAND);
        return;
    }

    const int modelCode = static_cast<int>(record.main.model_code());
    if (file.about.hasModelCode && file.about.modelCode != modelCode) {
        char warning[320];
        std::snprintf(warning, sizeof warning,
                      "%s was saved from a converter of model code %d; this converter has model code %d.\r\n\r\n"
                      "Its settings are entered all the same: check them before you press Write.",
                      FileNameOf(path).c_str(), file.about.modelCode, modelCode);
        AfxMessageBox(warning, MB_OK | MB_ICONEXCLAMATION);
    }
    MainBlock::PasswordBlock passwordField = record.main.password_block();
    if (!ApplyPatchToForm(file.patch, Form(), passwordField, problem)) {
        AfxMessageBox(problem.c_str(), MB_OK | MB_ICONHAND);
        return;
    }
    record.main.set_password_block(passwordField);
    UpdateData(false);
    RefreshControls();
}

}  // namespace quarnel
