#pragma once

// The main window's form without a window: the bound members, lists that
// behave like the window's drop-down lists (an index outside the list leaves
// it without selection, which reads -1), the address controls and the state
// the window keeps for the transfer. Filled by RecordToForm and stored by
// FormToRecord exactly as the window's own form.

#include <map>
#include <string>
#include <vector>

#include "envrecord/env_record.h"
#include "envrecord/form_model.h"

namespace quarnel {

class MemoryFormControls : public FormControls {
public:
    MemoryFormControls();  // the lists filled with the entries of settings.h, as the window fills them

    int GetSelection(int controlId) const override;
    void SetSelection(int controlId, int index) override;
    int ItemCount(int controlId) const override;
    void DeleteItem(int controlId, int index) override;
    void AddItem(int controlId, const char* text) override;
    std::uint32_t GetAddress(int controlId) const override;
    void SetAddress(int controlId, std::uint32_t hostOrder) override;

private:
    struct List {
        std::vector<std::string> items;
        int selection = -1;
    };
    std::map<int, List> lists_;
    std::map<int, std::uint32_t> addresses_;
};

struct MemoryForm {
    FormFields fields;
    MemoryFormControls controls;
    ConverterFlags flags;
    char eapUserName[EAP_USER_NAME_SIZE] = {};
    char eapPassword[EAP_PASSWORD_SIZE] = {};
    WepKeyStore wep64;
    WepKeyStore wep128;
    StartupOptions startup;
    int recordLoaded = 1;
    std::string refusal;  // the message FormToRecord showed, if any

    FormContext Context();
};

// A form showing `record`, as the window shows a record it has read.
void ShowRecord(const EnvRecord& record, MemoryForm& form);

}  // namespace quarnel
