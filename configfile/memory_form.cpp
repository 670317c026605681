#include "configfile/memory_form.h"

#include "envrecord/form_transfer.h"

namespace quarnel {

MemoryFormControls::MemoryFormControls() {
    for (const SettingDescriptor& d : SETTINGS) {
        if (d.kind == SettingKind::List && d.control != 0)
            lists_[d.control].items.assign(d.list.texts, d.list.texts + d.list.count);
        if (d.kind == SettingKind::Address) addresses_[d.control] = 0;
    }
    // The window lists the ports present; two stand for them here.
    lists_[IDC_PORT].items.assign({"COM1", "COM2"});
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
    return FormContext{fields, controls, flags,   eapUserName,  eapPassword,
                       wep64,  wep128,   startup, recordLoaded, [this](const char* text, unsigned) { refusal = text; }};
}

void ShowRecord(const EnvRecord& record, MemoryForm& form) {
    RecordToForm(record.main, record.wlan, record.tail, form.Context());
}

}  // namespace quarnel
