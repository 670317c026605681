#pragma once

// A form whose lists behave like the system's combo boxes: an index outside
// the list clears the selection, deleting the selected entry clears it,
// deleting an earlier one moves it up.

#include <map>
#include <string>
#include <vector>

#include "envrecord/form_model.h"

namespace quarnel {

class FakeFormControls : public FormControls {
public:
    struct List {
        std::vector<std::string> items;
        int selection = -1;
    };

    // The lists as the main window's template fills them.
    FakeFormControls() {
        Fill(CTL_MODE_LIST, {"T2S(0)", "ATC(1)", "COD(2)", "U2S(3)"});
        Fill(CTL_SERIAL_TYPE_LIST, {"RS-232", "RS-422", "RS-485"});
        Fill(CTL_BAUD_LIST, {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200"});
        Fill(CTL_PARITY_LIST, {"NONE", "EVEN", "ODD"});
        Fill(CTL_DATA_BITS_LIST, {"7", "8"});
        Fill(CTL_STOP_BIT_LIST, {"1Bit", "2Bit"});
        Fill(CTL_FLOW_CONTROL_LIST, {"NONE", "RTS/CTS"});
        Fill(CTL_WLAN_MODE_LIST, {"AD-HOC(0)", "Infrastructure(1)", "(2)", "(3)"});
        std::vector<std::string> channels;
        for (int i = 0; i < 16; ++i) channels.push_back(std::to_string(i));
        Fill(CTL_CHANNEL_LIST, channels);
        Fill(CTL_WEP_LIST, {"No WEP(0)", " 64bit(1)", "128bit(2)"});
        Fill(CTL_AUTH_MODE_LIST, {"Open System(0)", "Shared Key(1)"});
        Fill(CTL_PORT_LIST, {"COM1", "COM3"});
    }

    void Fill(int id, std::vector<std::string> items) {
        lists[id].items = std::move(items);
        lists[id].selection = -1;
    }

    int GetSelection(int id) const override { return lists.at(id).selection; }
    void SetSelection(int id, int index) override {
        List& l = lists.at(id);
        l.selection = index >= 0 && index < static_cast<int>(l.items.size()) ? index : -1;
    }
    int ItemCount(int id) const override { return static_cast<int>(lists.at(id).items.size()); }
    void DeleteItem(int id, int index) override {
        List& l = lists.at(id);
        if (index < 0 || index >= static_cast<int>(l.items.size())) return;
        l.items.erase(l.items.begin() + index);
        if (l.selection == index)
            l.selection = -1;
        else if (l.selection > index)
            --l.selection;
    }
    void AddItem(int id, const char* text) override { lists.at(id).items.push_back(text); }
    std::uint32_t GetAddress(int id) const override { return addresses.at(id); }
    void SetAddress(int id, std::uint32_t v) override { addresses.at(id) = v; }

    std::map<int, List> lists;
    std::map<int, std::uint32_t> addresses{
        {CTL_LOCAL_IP, 0}, {CTL_SUBNET_MASK, 0}, {CTL_GATEWAY_IP, 0}, {CTL_PEER_IP, 0}};
};

// The window-side state a transfer works on, wired into one context.
struct FakeWindow {
    FormFields fields;
    FakeFormControls controls;
    ConverterFlags flags;
    char eapUserName[EAP_USER_NAME_SIZE] = {};
    char eapPassword[EAP_PASSWORD_SIZE] = {};
    WepKeyStore wep64;
    WepKeyStore wep128;
    StartupOptions startup;
    int recordLoaded = 1;
    std::vector<std::pair<std::string, unsigned>> messages;

    FormContext Context() {
        return FormContext{fields, controls, flags, eapUserName, eapPassword, wep64, wep128, startup,
                           recordLoaded,
                           [this](const char* text, unsigned icon) { messages.emplace_back(text, icon); }};
    }
};

}  // namespace quarnel
