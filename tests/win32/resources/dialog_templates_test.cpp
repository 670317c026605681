// Creates every dialog template from the linked resources and checks what
// Windows makes of it: captions, sizes, control classes, texts and styles,
// and that every text fits its control in the dialog font.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class Dialog {
 public:
  explicit Dialog(int templateId)
      : hwnd_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                 PlainDialogProc, 0)) {}
  ~Dialog() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

std::string WindowText(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string ClassOf(HWND w) {
  char buf[64] = {};
  GetClassNameA(w, buf, sizeof buf);
  return buf;
}

DWORD StyleOf(HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)); }

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

bool IsUnnamed(HWND w) {
  int id = GetDlgCtrlID(w);
  return id == IDC_STATIC || id == 0xFFFF;
}

bool IsFrame(HWND w) {
  return _stricmp(ClassOf(w).c_str(), "Button") == 0 && (StyleOf(w) & BS_TYPEMASK) == BS_GROUPBOX;
}

enum class Kind { Label, CentredLabel, Edit, MaskedEdit, DropDown, IpAddress, CheckBox, Button, DefaultButton, Progress };

struct Expected {
  int id;
  Kind kind;
  const char* text;  // nullptr: not checked (edits, lists, address controls)
};

void CheckControl(HWND dialog, const Expected& e) {
  SCOPED_TRACE("control " + std::to_string(e.id));
  HWND c = GetDlgItem(dialog, e.id);
  ASSERT_NE(c, nullptr);
  const std::string cls = ClassOf(c);
  const DWORD style = StyleOf(c);
  auto isClass = [&](const char* name) { return _stricmp(cls.c_str(), name) == 0; };
  switch (e.kind) {
    case Kind::Label:
      EXPECT_TRUE(isClass("Static")) << cls;
      EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
      break;
    case Kind::CentredLabel:
      EXPECT_TRUE(isClass("Static")) << cls;
      EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
      break;
    case Kind::Edit:
    case Kind::MaskedEdit:
      EXPECT_TRUE(isClass("Edit")) << cls;
      EXPECT_EQ((style & ES_PASSWORD) != 0, e.kind == Kind::MaskedEdit);
      EXPECT_EQ(style & ES_NUMBER, 0u);
      EXPECT_NE(style & ES_AUTOHSCROLL, 0u);
      EXPECT_NE(style & WS_TABSTOP, 0u);
      break;
    case Kind::DropDown:
      EXPECT_TRUE(isClass("ComboBox")) << cls;
      EXPECT_EQ(style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
      EXPECT_EQ(style & CBS_SORT, 0u);
      EXPECT_NE(style & WS_TABSTOP, 0u);
      break;
    case Kind::IpAddress:
      EXPECT_TRUE(isClass(WC_IPADDRESSA)) << cls;
      EXPECT_NE(style & WS_TABSTOP, 0u);
      break;
    case Kind::CheckBox:
      EXPECT_TRUE(isClass("Button")) << cls;
      EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
      EXPECT_NE(style & WS_TABSTOP, 0u);
      break;
    case Kind::Button:
    case Kind::DefaultButton:
      EXPECT_TRUE(isClass("Button")) << cls;
      EXPECT_EQ(style & BS_TYPEMASK,
                static_cast<DWORD>(e.kind == Kind::DefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
      EXPECT_NE(style & WS_TABSTOP, 0u);
      break;
    case Kind::Progress:
      // The bar's border is checked in the script: some progress controls
      // drop WS_BORDER from their style when they are created.
      EXPECT_TRUE(isClass(PROGRESS_CLASSA)) << cls;
      break;
  }
  if (e.text) {
    EXPECT_EQ(WindowText(c), e.text);
  }
}

void CheckFrame(HWND dialog, const char* caption, int widthDu, int heightDu, DWORD extraStyle) {
  EXPECT_EQ(WindowText(dialog), caption);
  const DWORD style = StyleOf(dialog);
  const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle;
  EXPECT_EQ(style & required, required);
  RECT want = {0, 0, widthDu, heightDu};
  MapDialogRect(dialog, &want);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_NEAR(client.right, want.right, 1);
  EXPECT_NEAR(client.bottom, want.bottom, 1);
}

void CheckNoIdRepeats(HWND dialog) {
  std::set<int> seen;
  for (HWND c : Children(dialog)) {
    if (IsUnnamed(c)) continue;
    EXPECT_TRUE(seen.insert(GetDlgCtrlID(c)).second) << "repeated id " << GetDlgCtrlID(c);
  }
}

std::multiset<std::string> UnnamedLabelTexts(HWND dialog) {
  std::multiset<std::string> out;
  for (HWND c : Children(dialog))
    if (IsUnnamed(c) && _stricmp(ClassOf(c).c_str(), "Static") == 0 && (StyleOf(c) & SS_TYPEMASK) != SS_ICON)
      out.insert(WindowText(c));
  return out;
}

// Width in pixels of `text` in the dialog's font.
int TextWidth(HWND dialog, const std::string& text) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return size.cx;
}

int ClientWidth(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return r.right;
}

// Text of one-line labels, check boxes, buttons and list items must not be cut.
void CheckTextsFit(HWND dialog, int templateId) {
  for (HWND c : Children(dialog)) {
    const std::string cls = ClassOf(c);
    const std::string text = WindowText(c);
    const DWORD style = StyleOf(c);
    const int width = ClientWidth(c);
    if (_stricmp(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
      RECT r;
      GetClientRect(c, &r);
      const int lines = std::max(1L, r.bottom / 13);
      EXPECT_LE(TextWidth(dialog, text), width * lines) << "label \"" << text << "\"";
    } else if (_stricmp(cls.c_str(), "Button") == 0 && !IsFrame(c)) {
      const bool box = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
      const int room = box ? width - GetSystemMetrics(SM_CXMENUCHECK) - 4 : width - 8;
      EXPECT_LE(TextWidth(dialog, text), room) << "button \"" << text << "\"";
    } else if (_stricmp(cls.c_str(), "ComboBox") == 0) {
      quarnel::ComboItems items = quarnel::FindComboItems(templateId, GetDlgCtrlID(c));
      for (size_t i = 0; i < items.count; ++i)
        EXPECT_LE(TextWidth(dialog, items.texts[i]), width - GetSystemMetrics(SM_CXVSCROLL) - 6)
            << "list item \"" << items.texts[i] << "\"";
    }
  }
}

class DialogTemplates : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
  }
};

TEST_F(DialogTemplates, MainWindow) {
  Dialog d(IDD_CONFIG);
  ASSERT_NE(d.get(), nullptr);
  CheckFrame(d.get(), "Quarnel 4.1d", 335, 253, WS_VISIBLE | WS_MINIMIZEBOX);
  EXPECT_NE(GetWindowLongA(d.get(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  const Expected controls[] = {
      {IDC_MAC_TEXT, Kind::CentredLabel, "MAC"},
      {IDC_FIRMWARE_TEXT, Kind::CentredLabel, ""},
      {IDC_LOCAL_IP, Kind::IpAddress, nullptr},
      {IDC_SUBNET_MASK, Kind::IpAddress, nullptr},
      {IDC_GATEWAY_IP, Kind::IpAddress, nullptr},
      {IDC_PEER_IP_LABEL, Kind::Label, "Peer IP Address"},
      {IDC_PEER_IP, Kind::IpAddress, nullptr},
      {IDC_RESERVED_IP, Kind::IpAddress, nullptr},
      {IDC_MODE, Kind::DropDown, nullptr},
      {IDC_LOCAL_PORT, Kind::Edit, ""},
      {IDC_TIMEOUT_LABEL, Kind::Label, "Timeout"},
      {IDC_TIMEOUT, Kind::Edit, ""},
      {IDC_WATER_MARK_LABEL, Kind::Label, "Water Mark"},
      {IDC_WATER_MARK, Kind::Edit, ""},
      {IDC_PEER_PORT, Kind::Edit, ""},
      {IDC_RESERVED_EDIT, Kind::Edit, ""},
      {IDC_SERIAL_TYPE, Kind::DropDown, nullptr},
      {IDC_BAUD_RATE, Kind::DropDown, nullptr},
      {IDC_PARITY, Kind::DropDown, nullptr},
      {IDC_DATA_BITS, Kind::DropDown, nullptr},
      {IDC_STOP_BITS, Kind::DropDown, nullptr},
      {IDC_FLOW_CONTROL, Kind::DropDown, nullptr},
      {IDC_WLAN_MODE, Kind::DropDown, nullptr},
      {IDC_TARGET_SSID, Kind::Edit, ""},
      {IDC_ADHOC_SSID, Kind::Edit, ""},
      {IDC_CHANNEL, Kind::DropDown, nullptr},
      {IDC_WEP_MODE, Kind::DropDown, nullptr},
      {IDC_WEP_KEY, Kind::Button, "WEP Key"},
      {IDC_AUTH_MODE, Kind::DropDown, nullptr},
      {IDC_DHCP, Kind::CheckBox, "DHCP"},
      {IDC_ARP, Kind::CheckBox, "ARP"},
      {IDC_PPPOE, Kind::CheckBox, "PPPoE"},
      {IDC_MULTI_CONN, Kind::CheckBox, "Multi Conn."},
      {IDC_KIVRA, Kind::CheckBox, "Kivra"},
      {IDC_TELNET, Kind::CheckBox, "Telnet"},
      {IDC_WLAN_CFG, Kind::CheckBox, "WLAN CFG"},
      {IDC_EAPOL, Kind::CheckBox, "EAPoL"},
      {IDC_POWER_DOWN, Kind::CheckBox, "Power Down"},
      {IDC_SECURE, Kind::CheckBox, "Secure"},
      {IDC_REMOTE_SEARCH, Kind::CheckBox, "Remote Search"},
      {IDC_START_OPTION, Kind::Button, "Start Option"},
      {IDC_COMMENT, Kind::Edit, ""},
      {IDC_PORT, Kind::DropDown, nullptr},
      {IDC_OPEN, Kind::Button, "Open"},
      {IDC_CLOSE, Kind::Button, "Close"},
      {IDC_READ, Kind::Button, "Read"},
      {IDC_WRITE, Kind::Button, "Write"},
      {IDC_INITIALIZE_ENV, Kind::Button, "Initialize ENV"},
      {IDC_EAP_ID, Kind::Button, "EAP ID"},
      {IDC_CHANGE_PWD, Kind::Button, "Change PWD"},
      {IDC_EXIT, Kind::Button, "Exit"},
  };
  for (const Expected& e : controls) CheckControl(d.get(), e);
  CheckNoIdRepeats(d.get());
  EXPECT_EQ(UnnamedLabelTexts(d.get()),
            (std::multiset<std::string>{"Local IP Address", "Subnet Mask", "Gateway IP Address", "Reserved",
                                        "Tarvo Mode", "Local Port", "Peer Port", "Reserved", "Serial Type",
                                        "Baudrate", "Parity", "Data Bits", "Stop Bit", "Flow Control",
                                        "WLAN Mode", "Target SSID", "Ad-Hoc Master SSID", "Channel", "WEP",
                                        "Authentication Mode", "Options", "Comment"}));
  int frames = 0;
  for (HWND c : Children(d.get())) {
    if (IsFrame(c)) {
      ++frames;
      EXPECT_EQ(WindowText(c), "");
    }
  }
  EXPECT_EQ(frames, 8);
  // Named controls plus unnamed labels and frames: nothing beyond the table.
  EXPECT_EQ(Children(d.get()).size(), sizeof controls / sizeof controls[0] + 22 + 8);
  CheckTextsFit(d.get(), IDD_CONFIG);
}

// The three labels change their text at run time; the longest text must fit.
TEST_F(DialogTemplates, MainWindowRunTimeLabelsFit) {
  Dialog d(IDD_CONFIG);
  ASSERT_NE(d.get(), nullptr);
  const std::map<int, std::vector<std::string>> texts = {
      {IDC_PEER_IP_LABEL, {"Permitted ip address", "Peer ip address"}},
      {IDC_TIMEOUT_LABEL, {"Timeout", "Interval(10ms)"}},
      {IDC_WATER_MARK_LABEL, {"Conn. Byte", "Block(Byte)"}},
  };
  for (const auto& [id, list] : texts)
    for (const std::string& t : list)
      EXPECT_LE(TextWidth(d.get(), t), ClientWidth(GetDlgItem(d.get(), id))) << t;
}

TEST_F(DialogTemplates, WepKeyDialogs) {
  struct Variant {
    int templateId;
    const char* caption;
    int width, height;
    int firstKey, firstFormat, wepId;
    int hexDigits;
  };
  for (const Variant& v : {Variant{IDD_WEP64_KEYS, "64bit WEP Key Settings", 223, 80, IDC_WEP64_KEY0,
                                   IDC_WEP64_FORMAT0, IDC_WEP64_ID, 10},
                           Variant{IDD_WEP128_KEYS, "128bit WEP Key  Settings", 303, 78, IDC_WEP128_KEY0,
                                   IDC_WEP128_FORMAT0, IDC_WEP128_ID, 26}}) {
    SCOPED_TRACE(v.caption);
    Dialog d(v.templateId);
    ASSERT_NE(d.get(), nullptr);
    CheckFrame(d.get(), v.caption, v.width, v.height, 0);
    for (int k = 0; k < 4; ++k) {
      CheckControl(d.get(), {v.firstKey + k, Kind::Edit, ""});
      CheckControl(d.get(), {v.firstFormat + k, Kind::DropDown, nullptr});
    }
    CheckControl(d.get(), {v.wepId, Kind::DropDown, nullptr});
    CheckControl(d.get(), {IDOK, Kind::DefaultButton, "OK"});
    CheckControl(d.get(), {IDCANCEL, Kind::Button, "Cancel"});
    CheckNoIdRepeats(d.get());
    EXPECT_EQ(UnnamedLabelTexts(d.get()),
              (std::multiset<std::string>{"KEY 0", "KEY 1", "KEY 2", "KEY 3", "WEP ID"}));
    for (HWND c : Children(d.get())) {
      if (IsUnnamed(c) && WindowText(c) == "WEP ID") {
        EXPECT_EQ(StyleOf(c) & SS_TYPEMASK, DWORD(SS_CENTER));
      }
    }
    CheckTextsFit(d.get(), v.templateId);
    // A whole key in hex shows without scrolling.
    const std::string widestKey(v.hexDigits, 'D');
    for (int k = 0; k < 4; ++k)
      EXPECT_LT(TextWidth(d.get(), widestKey), ClientWidth(GetDlgItem(d.get(), v.firstKey + k)) - 4);
  }
}

TEST_F(DialogTemplates, EapIdAndPasswordDialogs) {
  {
    Dialog d(IDD_EAP_ID);
    ASSERT_NE(d.get(), nullptr);
    CheckFrame(d.get(), "EAP OL ID", 184, 83, 0);
    CheckControl(d.get(), {IDC_EAP_USERNAME, Kind::Edit, ""});
    CheckControl(d.get(), {IDC_EAP_PASSWORD, Kind::MaskedEdit, ""});
    CheckControl(d.get(), {IDC_EAP_RETYPE, Kind::MaskedEdit, ""});
    CheckControl(d.get(), {IDOK, Kind::DefaultButton, "OK"});
    CheckControl(d.get(), {IDCANCEL, Kind::Button, "Cancel"});
    EXPECT_EQ(UnnamedLabelTexts(d.get()), (std::multiset<std::string>{"USERNAME", "PASSWORD", "RETYPE"}));
    CheckNoIdRepeats(d.get());
    CheckTextsFit(d.get(), IDD_EAP_ID);
  }
  {
    Dialog d(IDD_CHANGE_PASSWORD);
    ASSERT_NE(d.get(), nullptr);
    CheckFrame(d.get(), "Change Password", 136, 63, 0);
    CheckControl(d.get(), {IDC_PASSWORD_NEW, Kind::MaskedEdit, ""});
    CheckControl(d.get(), {IDC_PASSWORD_RETYPE, Kind::MaskedEdit, ""});
    CheckControl(d.get(), {IDC_PASSWORD_DELETE, Kind::CheckBox, "DELETE"});
    CheckControl(d.get(), {IDOK, Kind::DefaultButton, "OK"});
    CheckControl(d.get(), {IDCANCEL, Kind::Button, "Cancel"});
    EXPECT_EQ(UnnamedLabelTexts(d.get()), (std::multiset<std::string>{"NEW PASSWORD", "RE-TYPE"}));
    CheckNoIdRepeats(d.get());
    CheckTextsFit(d.get(), IDD_CHANGE_PASSWORD);
  }
}

TEST_F(DialogTemplates, ProgressWindow) {
  Dialog d(IDD_PROGRESS);
  ASSERT_NE(d.get(), nullptr);
  CheckFrame(d.get(), "Quarnel", 211, 44, WS_VISIBLE);
  CheckControl(d.get(), {IDC_PROGRESS_STATUS, Kind::CentredLabel, nullptr});
  CheckControl(d.get(), {IDC_PROGRESS_BAR, Kind::Progress, nullptr});
  // Placement in dialog units, as the progress window expects it.
  // Windows maps position and size separately, so compare them that way.
  auto placed = [&](int id, int x, int y, int w, int h) {
    RECT want = {x, y, w, h};
    MapDialogRect(d.get(), &want);
    RECT got;
    GetWindowRect(GetDlgItem(d.get(), id), &got);
    MapWindowPoints(nullptr, d.get(), reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, want.left) << id;
    EXPECT_EQ(got.top, want.top) << id;
    EXPECT_EQ(got.right - got.left, want.right) << id;
    EXPECT_EQ(got.bottom - got.top, want.bottom) << id;
  };
  placed(IDC_PROGRESS_STATUS, 26, 10, 160, 18);
  placed(IDC_PROGRESS_BAR, 23, 30, 165, 7);
  EXPECT_EQ(Children(d.get()).size(), 2u);
}

TEST_F(DialogTemplates, StartupOptions) {
  Dialog d(IDD_STARTUP_OPTIONS);
  ASSERT_NE(d.get(), nullptr);
  CheckFrame(d.get(), "Startup Options", 229, 68, 0);
  CheckControl(d.get(), {IDC_STARTUP_ADHOC, Kind::CheckBox, "Try default Ad-Hoc connection on boot"});
  CheckControl(d.get(), {IDC_STARTUP_INFRA, Kind::CheckBox, "Try default Infrastruct connection on boot"});
  CheckControl(d.get(), {IDOK, Kind::DefaultButton, "OK"});
  CheckControl(d.get(), {IDCANCEL, Kind::Button, "Cancel"});
  EXPECT_EQ(UnnamedLabelTexts(d.get()), (std::multiset<std::string>{"Target SSID : veltrona-tarvo-wlan",
                                                                   "Target SSID : veltrona-tarvo-wlan"}));
  CheckNoIdRepeats(d.get());
  CheckTextsFit(d.get(), IDD_STARTUP_OPTIONS);
}

TEST_F(DialogTemplates, AboutBox) {
  Dialog d(IDD_ABOUTBOX);
  ASSERT_NE(d.get(), nullptr);
  CheckFrame(d.get(), "About qnset", 230, 43, 0);
  CheckControl(d.get(), {IDOK, Kind::DefaultButton, "OK"});
  std::multiset<std::string> texts = UnnamedLabelTexts(d.get());
  EXPECT_EQ(texts.count("Quarnel 4.1d ( 08/Oct./2008 )"), 1u);
  EXPECT_EQ(texts.size(), 2u);
  HWND icon = nullptr;
  for (HWND c : Children(d.get()))
    if (_stricmp(ClassOf(c).c_str(), "Static") == 0 && (StyleOf(c) & SS_TYPEMASK) == SS_ICON) icon = c;
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
  // The icon sits left of the text, the button right of it.
  RECT iconRect, okRect;
  GetWindowRect(icon, &iconRect);
  GetWindowRect(GetDlgItem(d.get(), IDOK), &okRect);
  EXPECT_LT(iconRect.right, okRect.left);
  CheckTextsFit(d.get(), IDD_ABOUTBOX);
}

}  // namespace
