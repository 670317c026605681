#include "resources/combo_lists.h"

#include <cstdio>

#include "resources/resource.h"
#include "serial/com_port_list.h"

namespace quarnel {
namespace {

template <std::size_t N>
constexpr ComboItems Items(const char* const (&texts)[N]) {
  return ComboItems{texts, N};
}

const char* const kModes[] = {"T2S(0)", "ATC(1)", "COD(2)", "U2S(3)"};
const char* const kSerialTypes[] = {"RS-232", "RS-422", "RS-485"};
const char* const kBaudRates[] = {"1200",  "2400",  "4800",  "9600",  "14400",
                                  "19200", "38400", "57600", "115200"};
const char* const kParities[] = {"NONE", "EVEN", "ODD"};
const char* const kDataBits[] = {"7", "8"};
const char* const kStopBits[] = {"1Bit", "2Bit"};
const char* const kFlowControls[] = {"NONE", "RTS/CTS"};
const char* const kWlanModes[] = {"AD-HOC(0)", "Infrastructure(1)", "(2)", "(3)"};
const char* const kChannels[] = {"0", "1", "2",  "3",  "4",  "5",  "6",  "7",
                                 "8", "9", "10", "11", "12", "13", "14", "15"};
const char* const kWepModes[] = {"No WEP(0)", " 64bit(1)", "128bit(2)"};
const char* const kAuthModes[] = {"Open System(0)", "Shared Key(1)"};
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
const char* const kWepIds[] = {"KEY0", "KEY1", "KEY2", "KEY3"};

const ComboList kLists[] = {
    {IDD_CONFIG, IDC_MODE, Items(kModes)},
    {IDD_CONFIG, IDC_SERIAL_TYPE, Items(kSerialTypes)},
    {IDD_CONFIG, IDC_BAUD_RATE, Items(kBaudRates)},
    {IDD_CONFIG, IDC_PARITY, Items(kParities)},
    {IDD_CONFIG, IDC_DATA_BITS, Items(kDataBits)},
    {IDD_CONFIG, IDC_STOP_BITS, Items(kStopBits)},
    {IDD_CONFIG, IDC_FLOW_CONTROL, Items(kFlowControls)},
    {IDD_CONFIG, IDC_WLAN_MODE, Items(kWlanModes)},
    {IDD_CONFIG, IDC_CHANNEL, Items(kChannels)},
    {IDD_CONFIG, IDC_WEP_MODE, Items(kWepModes)},
    {IDD_CONFIG, IDC_AUTH_MODE, Items(kAuthModes)},
    {IDD_CONFIG, IDC_PORT, ComboItems{kPorts.texts, kMaxComPorts}},

    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT0, Items(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT1, Items(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT2, Items(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_FORMAT3, Items(kKeyFormats)},
    {IDD_WEP64_KEYS, IDC_WEP64_ID, Items(kWepIds)},

    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT0, Items(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT1, Items(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT2, Items(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_FORMAT3, Items(kKeyFormats)},
    {IDD_WEP128_KEYS, IDC_WEP128_ID, Items(kWepIds)},
};

}  // namespace

ComboItems FindComboItems(int templateId, int controlId) {
  for (const ComboList& list : kLists) {
    if (list.templateId == templateId && list.controlId == controlId) return list.items;
  }
  return ComboItems{nullptr, 0};
}

ComboListRange AllComboLists() {
  return ComboListRange{kLists, kLists + sizeof kLists / sizeof kLists[0]};
}

}  // namespace quarnel
