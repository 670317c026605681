#include "resources/combo_lists.h"

#include <cstdio>
#include <iterator>
#include <vector>

#include "resources/resource.h"
#include "serial/com_port_list.h"

namespace quarnel {
namespace {

// "COM1" to "COM<MAX_COM_PORTS>". The main window replaces them with the
// ports present as it starts.
struct PortNames {
    char names[MAX_COM_PORTS][8];
    const char* texts[MAX_COM_PORTS];
    PortNames() {
        for (int i = 0; i < MAX_COM_PORTS; ++i) {
            std::snprintf(names[i], sizeof names[i], "COM%d", i + 1);
            texts[i] = names[i];
        }
    }
};
const PortNames PORTS;
const char* const KEY_FORMATS[] = {"HEX", "ASCII"};

// The lists that are no setting's, and the key dialogs' copies of the key in use.
const ComboList WINDOW_LISTS[] = {
    {IDD_CONFIG, IDC_PORT, ComboItems{PORTS.texts, MAX_COM_PORTS}},

    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT0, Texts(KEY_FORMATS)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT1, Texts(KEY_FORMATS)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT2, Texts(KEY_FORMATS)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT3, Texts(KEY_FORMATS)},
    {IDD_WEP64_KEYS, IDC_WEP64_ID, Texts(WEP_KEY_ID_TEXTS)},

    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT0, Texts(KEY_FORMATS)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT1, Texts(KEY_FORMATS)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT2, Texts(KEY_FORMATS)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT3, Texts(KEY_FORMATS)},
    {IDD_WEP128_KEYS, IDC_WEP128_ID, Texts(WEP_KEY_ID_TEXTS)},
};

// The main window's setting lists, then the others; built once.
const std::vector<ComboList>& Lists() {
    static const std::vector<ComboList> lists = [] {
        std::vector<ComboList> out;
        for (const SettingDescriptor& d : SETTINGS) {
            if (d.kind == SettingKind::List && d.control != 0) out.push_back({IDD_CONFIG, d.control, d.list});
        }
        out.insert(out.end(), std::begin(WINDOW_LISTS), std::end(WINDOW_LISTS));
        return out;
    }();
    return lists;
}

}  // namespace

ComboItems FindComboItems(int templateId, int controlId) {
    for (const ComboList& list : Lists()) {
        if (list.templateId == templateId && list.controlId == controlId) return list.items;
    }
    return ComboItems{nullptr, 0};
}

ComboListRange AllComboLists() { return ComboListRange{Lists().data(), Lists().data() + Lists().size()}; }

}  // namespace quarnel
