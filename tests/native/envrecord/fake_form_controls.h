#pragma once

// A form whose lists behave like the system's combo boxes: an index outside
// the list clears the selection, deleting the selected entry clears it,
// deleting an earlier one moves it up.

#include <map>
#include <string>
#include <vector>

#include "envrecord/form_model.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace quarnel {

class FakeFormControls : public FormControls {
public:
    struct List {
        std::vector<std::string> items;
        int selection = -1;
    };

    // The main window's lists as its template's items fill them.
    FakeFormControls() {
        for (int id : {CTL_MODE_LIST, CTL_SERIAL_TYPE_LIST, CTL_BAUD_LIST, CTL_PARITY_LIST, CTL_DATA_BITS_LIST,
                       CTL_STOP_BIT_LIST, CTL_FLOW_CONTROL_LIST, CTL_WLAN_MODE_LIST, CTL_CHANNEL_LIST, CTL_WEP_LIST,
                       CTL_AUTH_MODE_LIST, CTL_PORT_LIST}) {
            const ComboItems items = FindComboItems(IDD_CONFIG, id);
            lists[id].items.assign(items.texts, items.texts + items.count);
        }
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
