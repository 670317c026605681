#include "resources/combo_lists.h"

#include <cstdio>
#include <iterator>
#include <vector>

#include "resources/resource.h"
#include "serial/com_port_list.h"

namespace quarnel {
namespace {

// "COM1" to "COM<kMaxComPorts>". The main window replaces them with the
// ports present as it starts.
struct PortNames {
    char names[kMaxComPorts][8];
    const char* texts[kMaxComPorts];
    PortNames() {
        for (int i = 0; i < kMaxComPorts; ++i) {
            std::snprintf(names[i], sizeof names[i], "COM%d", i + 1);
            texts[i] = names[i];
        }
    }
};
const PortNames kPorts;
const char* const kKeyFormats[] = {"HEX", "ASCII"};

// The lists that are no setting's, and the key dialogs' copies of the key in use.
const ComboList kWindowLists[] = {
    {IDD_CONFIG, IDC_PORT, ComboItems{kPorts.texts, kMaxComPorts}},

    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT0, Texts(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT1, Texts(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT2, Texts(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT3, Texts(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_ID, Texts(WEP_KEY_ID_TEXTS)},

    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT0, Texts(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT1, Texts(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT2, Texts(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT3, Texts(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_ID, Texts(WEP_KEY_ID_TEXTS)},
};

// The main window's setting lists, then the others; built once.
const std::vector<ComboList>& Lists() {
    static const std::vector<ComboList> lists = [] {
        std::vector<ComboList> out;
        for (const SettingDescriptor& d : SETTINGS) {
            if (d.kind == SettingKind::List && d.control != 0) out.push_back({IDD_CONFIG, d.control, d.list});
        }
        out.insert(out.end(), std::begin(kWindowLists), std::end(kWindowLists));
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
