#include "configfile/memory_form.h"

#include "envrecord/form_transfer.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace quarnel {

MemoryFormControls::MemoryFormControls() {
    for (int id : {CTL_MODE_LIST, CTL_SERIAL_TYPE_LIST, CTL_BAUD_LIST, CTL_PARITY_LIST, CTL_DATA_BITS_LIST,
                   CTL_STOP_BIT_LIST, CTL_FLOW_CONTROL_LIST, CTL_WLAN_MODE_LIST, CTL_CHANNEL_LIST,
                   CTL_WEP_LIST, CTL_AUTH_MODE_LIST, CTL_PORT_LIST}) {
        const ComboItems items = FindComboItems(IDD_CONFIG, id);
        lists_[id].items.assign(items.texts, items.texts + items.count);
    }
    for (int id : {CTL_LOCAL_IP, CTL_SUBNET_MASK, CTL_GATEWAY_IP, CTL_PEER_IP}) addresses_[id] = 0;
}

int MemoryFormControls::GetSelection(int controlId) const {
    const auto it = lists_.find(controlId);
    return it == lists_.end() ? -1 : it->second.selection;
}

void MemoryFormControls::SetSelection(int controlId, int index) {
    const auto it = lists_.find(controlId);
    if (it == lists_.end()) return;
    List& list = it->second;
    list.selection = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
}

int MemoryFormControls::ItemCount(int controlId) const {
    const auto it = lists_.find(controlId);
    return it == lists_.end() ? 0 : static_cast<int>(it->second.items.size());
}

void MemoryFormControls::DeleteItem(int controlId, int index) {
    const auto it = lists_.find(controlId);
    if (it == lists_.end()) return;
    List& list = it->second;
    if (index < 0 || index >= static_cast<int>(list.items.size())) return;
    list.items.erase(list.items.begin() + index);
    if (list.selection == index) {
        list.selection = -1;
    } else if (list.selection > index) {
        --list.selection;
    }
}

void MemoryFormControls::AddItem(int controlId, const char* text) {
    const auto it = lists_.find(controlId);
    if (it != lists_.end()) it->second.items.emplace_back(text);
}

std::uint32_t MemoryFormControls::GetAddress(int controlId) const {
    const auto it = addresses_.find(controlId);
    return it == addresses_.end() ? 0 : it->second;
}

void MemoryFormControls::SetAddress(int controlId, std::uint32_t hostOrder) {
    const auto it = addresses_.find(controlId);
    if (it != addresses_.end()) it->second = hostOrder;
}

FormContext MemoryForm::Context() {
    return FormContext{fields, controls, flags, eapUserName, eapPassword, wep64, wep128, startup, recordLoaded,
                       [this](const char* text, unsigned) { refusal = text; }};
}

void ShowRecord(const EnvRecord& record, MemoryForm& form) {
    RecordToForm(record.main, record.wlan, record.tail, form.Context());
}

}  // namespace quarnel
