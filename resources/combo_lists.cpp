#include "resources/combo_lists.h"

#include <iterator>
#include <vector>

#include "resources/resource.h"

namespace quarnel {
namespace {

const char* const kPorts[] = {
    "COM1",  "COM2",  "COM3",  "COM4",  "COM5",  "COM6",  "COM7",  "COM8",
    "COM9",  "COM10", "COM11", "COM12", "COM13", "COM14", "COM15", "COM16",
    "COM17", "COM18", "COM19", "COM20", "COM21", "COM22", "COM23", "COM24",
    "COM25", "COM26", "COM27", "COM28", "COM29", "COM30", "COM31", "COM32",
    "COM33", "COM34", "COM35", "COM36", "COM37", "COM38", "COM39", "COM40"};
const char* const kKeyFormats[] = {"HEX", "ASCII"};

// The lists that are no setting's, and the key dialogs' copies of the key in use.
const ComboList kWindowLists[] = {
    {IDD_CONFIG, IDC_PORT, Texts(kPorts)},

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

ComboListRange AllComboLists() {
  return ComboListRange{Lists().data(), Lists().data() + Lists().size()};
}

}  // namespace quarnel
