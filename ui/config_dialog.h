#pragma once

// ConfigDialog: the main window. Shows one converter's settings and owns the
// form, its rules and the record image; runs the window's actions, the
// exchanges over its link controller, and shows what the exchange engine
// reports.
//
// Everything here runs on the window thread. The serial link's receiver
// thread only posts WM_PORT_EVENT to this window.

#include <cstdint>
#include <string>

#include "envrecord/env_record.h"
#include "envrecord/form_model.h"
#include "exchange/device_exchange.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "ui/exchange_progress.h"
#include "ui/link_controller.h"
#include "ui/startup_options_dialog.h"
#include "ui/verify_setting.h"
#include "ui/wep_key_dialog.h"

namespace quarnel {

class ConfigDialog : public Dialog, private ExchangeObserver, private FormControls {
public:
    ConfigDialog();
    ~ConfigDialog() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    MessageMap GetMessageMap() const override;
    void OnDataExchangeError(int controlId, const char* message) override;

private:
    // Start-up and form.
    // Lists the ports present now, the first one chosen (at start-up, and
    // when the list is dropped down while no port is open).
    void FillPortCombo();
    void RefreshControls();
    // RefreshControls in two steps, so that a handler that collects the form
    // itself reports a refused field once: the collection (false when a field
    // was refused; the boxes the rules read are then taken in all the same),
    // and the rules applied to what it took in.
    bool CollectForRules();
    void ApplyControlRules(bool collected);
    FormContext Form();
    // Collects the form; false when a field was refused (refusedControl_
    // then names it). Fields after the refused one keep their old members.
    bool CollectForm();
    void ShowField(int controlId);
    // Whether the focus is still on a control of this window: a field is
    // checked when the user moves on inside the form, not when one of the
    // program's own message boxes or dialogs takes the focus from it.
    bool FocusStaysInWindow() const;

    // Field handlers.
    void OnLocalPortKillFocus();
    void OnPeerPortKillFocus();
    void OnTimeoutKillFocus();
    void OnWaterMarkKillFocus();
    void LimitNumberOnLeave(int controlId, int& value, int (*limit)(int value, const ConverterFlags&));
    void OnCommentKillFocus();
    void OnSerialTypeChange();
    void OnMultiConn();
    void OnKivra();
    void OnExit();

    // Settings files: Save... and Load..., usable exactly when Write is and
    // no exchange runs (config_dialog_files.cpp).
    void OnSaveSettings();
    void OnLoadSettings();
    void UpdateFileButtons();

    // Sub-dialog actions.
    void OnWepKey();
    void OnChangePassword();
    void OnEapId();
    void OnStartOption();

    // Shell.
    LRESULT OnSysCommand(WPARAM command, LPARAM parameter);
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);

    // Link control: the buttons and messages of the link controller.
    void OnOpen();
    void OnPortDropDown();
    void OnClose();
    LRESULT OnPortEvent(WPARAM wParam, LPARAM lParam);
    LRESULT OnPortOpened(WPARAM wParam, LPARAM lParam);
    LRESULT OnKickIdle(WPARAM wParam, LPARAM count);
    void OnDestroy();
    LRESULT OnTimer(WPARAM id, LPARAM);
    // What the link controller leaves to the window after an event.
    void FollowLink(LinkController::Outcome outcome);

    // Read, Write, Initialize ENV.
    void OnRead();
    void OnWrite();
    void OnInitializeEnv();
    // Steps shared by Write and Initialize ENV up to the collected record;
    // false when the form could not be stored (nothing is sent then).
    bool PrepareWrite();
    void OpenProgress(const char* text);

    // ExchangeObserver: what the engine tells the window.
    void ShowProgressText(const char* text) override;
    void SetProgressPosition(int position) override;
    void CloseProgress() override;
    void RefreshFormFromRecord() override;
    void EnableMainWindow() override;
    void ShowMessage(const char* text, unsigned style) override;
    std::string NameDifferences(const uint8_t* sent, const uint8_t* held) override;
    bool KeepBackup(const uint8_t* held, std::string& reason) override;

    // FormControls: the lists and address controls, by id.
    int GetSelection(int controlId) const override;
    void SetSelection(int controlId, int index) override;
    int ItemCount(int controlId) const override;
    void DeleteItem(int controlId, int index) override;
    void AddItem(int controlId, const char* text) override;
    std::uint32_t GetAddress(int controlId) const override;
    void SetAddress(int controlId, std::uint32_t hostOrder) override;
    ComboBox* ListById(int controlId);
    const ComboBox* ListById(int controlId) const { return const_cast<ConfigDialog*>(this)->ListById(controlId); }
    IpAddressCtrl* AddressById(int controlId);
    const IpAddressCtrl* AddressById(int controlId) const {
        return const_cast<ConfigDialog*>(this)->AddressById(controlId);
    }

    // Controls bound by the data exchange, in its order.
    ComboBox authModeList;     // 1009
    ComboBox serialTypeList;   // 1019
    ComboBox stopBitList;      // 1034
    ComboBox channelList;      // 1003
    ComboBox wepList;          // 1005
    ComboBox wlanModeList;     // 1004
    ComboBox portCombo;        // 1006
    IpAddressCtrl subnetMask;  // 1008
    ComboBox flowControlList;  // 1017
    IpAddressCtrl peerIp;      // 1013
    ComboBox parityList;       // 1015
    ComboBox modeList;         // 1020
    IpAddressCtrl localIp;     // 1007
    IpAddressCtrl gatewayIp;   // 1010
    ComboBox dataBitsList;     // 1016
    ComboBox baudRateList;     // 1014

    FormFields fields;  // the bound values
    HICON appIcon = nullptr;

    WepKey64Dialog wep64Dialog;
    WepKey128Dialog wep128Dialog;
    ExchangeProgress progress;
    StartupOptionsDialog startupDialog;

    // Whether the user has chosen a settings file in this run (Load starts
    // in the backups folder until then).
    bool settingsFolderUsed = false;
    // The system menu's "Verify after write".
    bool verifyAfterWrite = LoadVerifyAfterWrite();

    ConverterFlags flags;
    char eapUserName[EAP_USER_NAME_SIZE] = {};
    char eapPassword[EAP_PASSWORD_SIZE] = {};
    EnvRecord record{};
    // The serial link and the engine state; the engine works on `record`.
    LinkController link{*this, record.Data()};

    int refusedControl_ = 0;  // control the last failed collection stopped at
};

}  // namespace quarnel
