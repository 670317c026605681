#pragma once

// What of the main window the record transfer reads and writes, without any
// window: the bound members, the list and address controls (by their ids in
// setting_controls.h) behind a small interface, and the window-held state the
// transfer fills (converter flag copies, EAPoL buffers, WEP key storage,
// start-up options).

#include <cassert>
#include <cstdint>
#include <functional>
#include <string>

#include "envrecord/settings.h"

namespace quarnel {

// The main window's members bound to controls by its data exchange. Check
// boxes are 0/1 (the EAPoL box may carry the 2-bit eapol value), numeric
// fields int, texts narrow strings.
struct FormFields {
    // The settings' check boxes (settings.h), by control id.
    int& CheckBox(int controlId) { return checkBoxes[Slot(controlId)]; }
    int CheckBox(int controlId) const { return checkBoxes[Slot(controlId)]; }
    int checkBoxes[MAIN_CHECK_BOX_COUNT] = {};

    int localPort = 0;           // 1023
    int peerPort = 0;            // 1024
    int timeoutValue = 0;        // 1021
    int waterMark = 0;           // 1022
    std::string macText;         // 1018 label
    std::string adhocSsid;       // 1002, at most 32 characters
    std::string targetSsid;      // 1001, at most 32 characters
    std::string peerLabel;       // 1044 label
    int wlanCfg = 0;             // 1029, shown and stored, not a setting of the files
    std::string timeoutLabel;    // 1046 label
    std::string waterMarkLabel;  // 1045 label
    std::string commentText;     // 1049, at most 32 characters
    int secureEnabled = 0;       // 1042, shown only
    std::string firmwareText;    // 1050 label

private:
    static int Slot(int controlId) {
        assert(CheckBoxSlot(controlId) >= 0);
        return CheckBoxSlot(controlId);
    }
};

// The flow-control entry the transfer adds when the converter offers it.
extern const char* const FLOW_XON_XOFF_TEXT;  // "XON/XOFF"
constexpr int FLOW_CONTROL_NONE = 0;
constexpr int FLOW_CONTROL_RTS_CTS = 1;
constexpr int FLOW_CONTROL_XON_XOFF = 2;

// The drop-down lists and IPv4 address controls, addressed by control id.
// Behaves like the system's combo box: selecting an index outside the list
// clears the selection; a list without selection reads -1.
class FormControls {
public:
    virtual ~FormControls() = default;
    virtual int GetSelection(int controlId) const = 0;
    virtual void SetSelection(int controlId, int index) = 0;
    virtual int ItemCount(int controlId) const = 0;
    virtual void DeleteItem(int controlId, int index) = 0;
    virtual void AddItem(int controlId, const char* text) = 0;
    // Host-order address (10.1.0.1 is 0x0A010001).
    virtual std::uint32_t GetAddress(int controlId) const = 0;
    virtual void SetAddress(int controlId, std::uint32_t hostOrder) = 0;
};

// The converter flags RecordToForm copies for the enabling rules and the
// field handlers; they read these, not the record.
struct ConverterFlags {
    int no_telnet = 0;
    int long_limits = 0;
    int no_dhcp = 0;
    int no_eapol = 0;
    int has_permitted_ip = 0;
    int has_remote_search = 0;
    int has_comment = 0;
    int model_code = 0;
    int fw_major = 0;
    int fw_minor = 0;
    int fw_revision = 0;
};

constexpr int EAP_USER_NAME_SIZE = 40;  // zero-terminated, at most 32 characters
constexpr int EAP_PASSWORD_SIZE = 16;   // zero-terminated, at most 8 characters

// The four key texts (hexadecimal, 10 or 26 digits) and the key in use, as a
// WEP key dialog keeps them between openings.
struct WepKeyStore {
    std::string keyText[4];
    int wepId = 0;
};

// The two boxes of the start-up options dialog.
struct StartupOptions {
    int adHocOnBoot = 0;           // boot_adhoc
    int infrastructureOnBoot = 0;  // boot_infra
};

constexpr unsigned MESSAGE_ICON_HAND = 0x10;  // MB_ICONHAND

// Shows a message box with a single OK button and the given icon.
using MessageCallback = std::function<void(const char* text, unsigned icon)>;

// Everything of the window the transfer touches, by reference.
struct FormContext {
    FormFields& fields;
    FormControls& controls;
    ConverterFlags& flags;
    char (&eapUserName)[EAP_USER_NAME_SIZE];
    char (&eapPassword)[EAP_PASSWORD_SIZE];
    WepKeyStore& wep64;
    WepKeyStore& wep128;
    StartupOptions& startup;
    const int& recordLoaded;
    MessageCallback showMessage;  // used by FormToRecord for a refused WEP key
};

}  // namespace quarnel
