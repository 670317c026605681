// Creates every dialog template from the linked resources and checks what
// Windows makes of it: captions, sizes, control classes, texts, styles and
// layout, and that every text fits its control in the dialog font.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct Dialog {
  explicit Dialog(int templateId)
      : hwnd(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr,
                                PlainDialogProc, 0)) {}
  ~Dialog() {
    if (hwnd) DestroyWindow(hwnd);
  }
  HWND hwnd;
};

std::string WindowText(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

bool IsClass(HWND w, const char* name) {
  char buf[64] = {};
  GetClassNameA(w, buf, sizeof buf);
  return _stricmp(buf, name) == 0;
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

bool IsFrame(HWND w) { return IsClass(w, "Button") && (StyleOf(w) & BS_TYPEMASK) == BS_GROUPBOX; }
bool IsIcon(HWND w) { return IsClass(w, "Static") && (StyleOf(w) & SS_TYPEMASK) == SS_ICON; }

// The control's rectangle in the dialog's client coordinates.
RECT RectIn(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

enum class Kind { Label, CentredLabel, Edit, MaskedEdit, DropDown, IpAddress, CheckBox, Button, DefaultButton, Progress };

struct Expected {
  int id;
  Kind kind;
  const char* text = nullptr;  // nullptr: not checked
};

void CheckControl(HWND dialog, const Expected& e) {
  SCOPED_TRACE("control " + std::to_string(e.id));
  HWND c = GetDlgItem(dialog, e.id);
  ASSERT_NE(c, nullptr);
  const char* const classes[] = {"Static", "Static", "Edit",   "Edit",   "ComboBox", WC_IPADDRESSA,
                                 "Button", "Button", "Button", PROGRESS_CLASSA};
  EXPECT_TRUE(IsClass(c, classes[static_cast<int>(e.kind)]));
  const DWORD style = StyleOf(c);
  switch (e.kind) {
    case Kind::Label: EXPECT_EQ(style & SS_TYPEMASK, DWORD(SS_LEFT)); break;
    case Kind::CentredLabel: EXPECT_EQ(style & SS_TYPEMASK, DWORD(SS_CENTER)); break;
    case Kind::Edit:
    case Kind::MaskedEdit:
      EXPECT_EQ((style & ES_PASSWORD) != 0, e.kind == Kind::MaskedEdit);
      EXPECT_EQ(style & (ES_NUMBER | ES_AUTOHSCROLL), DWORD(ES_AUTOHSCROLL));  // any sign may be typed
      break;
    case Kind::DropDown: EXPECT_EQ(style & (3u | CBS_SORT), DWORD(CBS_DROPDOWNLIST)); break;
    case Kind::CheckBox: EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX)); break;
    case Kind::Button: EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)); break;
    case Kind::DefaultButton: EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON)); break;
    default: break;  // the bar's border may be dropped by the control itself
  }
  EXPECT_EQ(e.kind >= Kind::Edit && e.kind <= Kind::DefaultButton, (style & WS_TABSTOP) != 0);
  if (e.text) {
    EXPECT_EQ(WindowText(c), e.text);
  }
}

void CheckControls(HWND dialog, std::initializer_list<Expected> controls) {
  for (const Expected& e : controls) CheckControl(dialog, e);
}

std::multiset<std::string> UnnamedLabelTexts(HWND dialog) {
  std::multiset<std::string> out;
  for (HWND c : Children(dialog))
    if (IsUnnamed(c) && IsClass(c, "Static") && !IsIcon(c)) out.insert(WindowText(c));
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

RECT Client(HWND w) {
  RECT r;
  GetClientRect(w, &r);
  return r;
}

// Labels (over as many lines as they are high), buttons, check boxes and list
// items must show their whole text.
void CheckTextsFit(HWND dialog, int templateId) {
  for (HWND c : Children(dialog)) {
    const std::string text = WindowText(c);
    const RECT r = Client(c);
    if (IsClass(c, "Static") && !IsIcon(c)) {
      EXPECT_LE(TextWidth(dialog, text), r.right * std::max(1L, r.bottom / 13)) << "label \"" << text << "\"";
    } else if (IsClass(c, "Button") && !IsFrame(c)) {
      const bool box = (StyleOf(c) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
      const int room = box ? r.right - GetSystemMetrics(SM_CXMENUCHECK) - 4 : r.right - 8;
      EXPECT_LE(TextWidth(dialog, text), room) << "button \"" << text << "\"";
    } else if (IsClass(c, "ComboBox")) {
      quarnel::ComboItems items = quarnel::FindComboItems(templateId, GetDlgCtrlID(c));
      for (size_t i = 0; i < items.count; ++i)
        EXPECT_LE(TextWidth(dialog, items.texts[i]), r.right - GetSystemMetrics(SM_CXVSCROLL) - 6)
            << "list item \"" << items.texts[i] << "\"";
    }
  }
}

struct TemplateFrame {
  int id;
  const char* caption;
  int width, height;  // dialog units
  DWORD extraStyle;
};

const TemplateFrame kTemplates[] = {
    {IDD_ABOUTBOX, "About qnset", 230, 43, 0},
    {IDD_CONFIG, "Quarnel 4.1d", 335, 253, WS_VISIBLE | WS_MINIMIZEBOX},
    {IDD_WEP64_KEYS, "64bit WEP Key Settings", 223, 80, 0},
    {IDD_EAP_ID, "EAP OL ID", 184, 83, 0},
    {IDD_CHANGE_PASSWORD, "Change Password", 136, 63, 0},
    {IDD_WEP128_KEYS, "128bit WEP Key  Settings", 303, 78, 0},
    {IDD_PROGRESS, "Quarnel", 211, 44, WS_VISIBLE},
    {IDD_STARTUP_OPTIONS, "Startup Options", 229, 68, 0},
};

class DialogTemplates : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
  }
};

TEST_F(DialogTemplates, EveryTemplateHasItsFrameUniqueIdsControlsInsideAndFittingTexts) {
  std::set<std::pair<int, int>> dropDowns;
  for (const TemplateFrame& t : kTemplates) {
    SCOPED_TRACE(t.caption);
    Dialog d(t.id);
    ASSERT_NE(d.hwnd, nullptr);
    EXPECT_EQ(WindowText(d.hwnd), t.caption);
    const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | t.extraStyle;
    EXPECT_EQ(StyleOf(d.hwnd) & required, required);
    RECT want = {0, 0, t.width, t.height};
    MapDialogRect(d.hwnd, &want);
    const RECT client = Client(d.hwnd);
    EXPECT_NEAR(client.right, want.right, 1);
    EXPECT_NEAR(client.bottom, want.bottom, 1);

    std::set<int> seen;
    for (HWND c : Children(d.hwnd)) {
      const int id = GetDlgCtrlID(c);
      EXPECT_TRUE(IsUnnamed(c) || seen.insert(id).second) << "repeated id " << id;
      EXPECT_TRUE(Inside(RectIn(d.hwnd, c), client)) << id << " \"" << WindowText(c) << "\"";
      if (IsClass(c, "ComboBox")) dropDowns.insert({t.id, id});
    }
    CheckTextsFit(d.hwnd, t.id);
  }
  // Exactly the drop-down lists have items to fill them with.
  std::set<std::pair<int, int>> lists;
  for (const quarnel::ComboList& l : quarnel::AllComboLists()) {
    EXPECT_TRUE(lists.insert({l.templateId, l.controlId}).second) << "listed twice: " << l.controlId;
    EXPECT_GT(l.items.count, 0u);
  }
  EXPECT_EQ(dropDowns, lists);
}

TEST_F(DialogTemplates, MainWindow) {
  Dialog d(IDD_CONFIG);
  ASSERT_NE(d.hwnd, nullptr);
  EXPECT_NE(GetWindowLongA(d.hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  const std::initializer_list<Expected> controls = {
      {IDC_MAC_TEXT, Kind::CentredLabel, "MAC"},     {IDC_FIRMWARE_TEXT, Kind::CentredLabel, ""},
      {IDC_LOCAL_IP, Kind::IpAddress},               {IDC_SUBNET_MASK, Kind::IpAddress},
      {IDC_GATEWAY_IP, Kind::IpAddress},             {IDC_PEER_IP_LABEL, Kind::Label, "Peer IP Address"},
      {IDC_PEER_IP, Kind::IpAddress},                {IDC_RESERVED_IP, Kind::IpAddress},
      {IDC_MODE, Kind::DropDown},                    {IDC_LOCAL_PORT, Kind::Edit, ""},
      {IDC_TIMEOUT_LABEL, Kind::Label, "Timeout"},   {IDC_TIMEOUT, Kind::Edit, ""},
      {IDC_WATER_MARK_LABEL, Kind::Label, "Water Mark"}, {IDC_WATER_MARK, Kind::Edit, ""},
      {IDC_PEER_PORT, Kind::Edit, ""},               {IDC_RESERVED_EDIT, Kind::Edit, ""},
      {IDC_SERIAL_TYPE, Kind::DropDown},             {IDC_BAUD_RATE, Kind::DropDown},
      {IDC_PARITY, Kind::DropDown},                  {IDC_DATA_BITS, Kind::DropDown},
      {IDC_STOP_BITS, Kind::DropDown},               {IDC_FLOW_CONTROL, Kind::DropDown},
      {IDC_WLAN_MODE, Kind::DropDown},               {IDC_TARGET_SSID, Kind::Edit, ""},
      {IDC_ADHOC_SSID, Kind::Edit, ""},              {IDC_CHANNEL, Kind::DropDown},
      {IDC_WEP_MODE, Kind::DropDown},                {IDC_WEP_KEY, Kind::Button, "WEP Key"},
      {IDC_AUTH_MODE, Kind::DropDown},               {IDC_DHCP, Kind::CheckBox, "DHCP"},
      {IDC_ARP, Kind::CheckBox, "ARP"},              {IDC_PPPOE, Kind::CheckBox, "PPPoE"},
      {IDC_MULTI_CONN, Kind::CheckBox, "Multi Conn."}, {IDC_KIVRA, Kind::CheckBox, "Kivra"},
      {IDC_TELNET, Kind::CheckBox, "Telnet"},        {IDC_WLAN_CFG, Kind::CheckBox, "WLAN CFG"},
      {IDC_EAPOL, Kind::CheckBox, "EAPoL"},          {IDC_POWER_DOWN, Kind::CheckBox, "Power Down"},
      {IDC_SECURE, Kind::CheckBox, "Secure"},        {IDC_REMOTE_SEARCH, Kind::CheckBox, "Remote Search"},
      {IDC_START_OPTION, Kind::Button, "Start Option"}, {IDC_COMMENT, Kind::Edit, ""},
      {IDC_PORT, Kind::DropDown},                    {IDC_OPEN, Kind::Button, "Open"},
      {IDC_CLOSE, Kind::Button, "Close"},            {IDC_READ, Kind::Button, "Read"},
      {IDC_WRITE, Kind::Button, "Write"},            {IDC_INITIALIZE_ENV, Kind::Button, "Initialize ENV"},
      {IDC_EAP_ID, Kind::Button, "EAP ID"},          {IDC_CHANGE_PWD, Kind::Button, "Change PWD"},
      {IDC_EXIT, Kind::Button, "Exit"},              {IDC_SAVE_SETTINGS, Kind::Button, "Save..."},
      {IDC_LOAD_SETTINGS, Kind::Button, "Load..."},
  };
  CheckControls(d.hwnd, controls);
  EXPECT_EQ(UnnamedLabelTexts(d.hwnd),
            (std::multiset<std::string>{"Local IP Address", "Subnet Mask", "Gateway IP Address", "Reserved",
                                        "Tarvo Mode", "Local Port", "Peer Port", "Reserved", "Serial Type",
                                        "Baudrate", "Parity", "Data Bits", "Stop Bit", "Flow Control",
                                        "WLAN Mode", "Target SSID", "Ad-Hoc Master SSID", "Channel", "WEP",
                                        "Authentication Mode", "Options", "Comment"}));
  // Eight unlabelled frames side by side; every other control in exactly one
  // of them, clear of every other control, and nothing beyond the table.
  std::vector<RECT> frames, others;
  for (HWND c : Children(d.hwnd)) {
    EXPECT_TRUE(!IsFrame(c) || WindowText(c).empty());
    (IsFrame(c) ? frames : others).push_back(RectIn(d.hwnd, c));
  }
  ASSERT_EQ(frames.size(), 8u);
  EXPECT_EQ(others.size(), controls.size() + 22);
  for (size_t i = 0; i < frames.size(); ++i)
    for (size_t j = i + 1; j < frames.size(); ++j) EXPECT_FALSE(Overlap(frames[i], frames[j])) << i << " " << j;
  for (size_t i = 0; i < others.size(); ++i) {
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [&](const RECT& f) { return Inside(others[i], f); }), 1)
        << "control " << i;
    for (size_t j = i + 1; j < others.size(); ++j) EXPECT_FALSE(Overlap(others[i], others[j])) << i << " " << j;
  }
  // The three labels whose text changes at run time fit their longest text.
  const std::pair<int, const char*> runTimeTexts[] = {
      {IDC_PEER_IP_LABEL, "Permitted ip address"}, {IDC_PEER_IP_LABEL, "Peer ip address"},
      {IDC_TIMEOUT_LABEL, "Interval(10ms)"},       {IDC_WATER_MARK_LABEL, "Conn. Byte"},
      {IDC_WATER_MARK_LABEL, "Block(Byte)"}};
  for (const auto& [id, text] : runTimeTexts)
    EXPECT_LE(TextWidth(d.hwnd, text), Client(GetDlgItem(d.hwnd, id)).right) << text;
}

TEST_F(DialogTemplates, WepKeyDialogs) {
  struct Variant {
    int templateId, firstKey, firstFormat, wepId, hexDigits;
  };
  for (const Variant& v : {Variant{IDD_WEP64_KEYS, IDC_WEP64_KEY0, IDC_WEP64_FORMAT0, IDC_WEP64_ID, 10},
                           Variant{IDD_WEP128_KEYS, IDC_WEP128_KEY0, IDC_WEP128_FORMAT0, IDC_WEP128_ID, 26}}) {
    SCOPED_TRACE(v.hexDigits);
    Dialog d(v.templateId);
    ASSERT_NE(d.hwnd, nullptr);
    for (int k = 0; k < 4; ++k) {
      CheckControls(d.hwnd, {{v.firstKey + k, Kind::Edit, ""}, {v.firstFormat + k, Kind::DropDown}});
      // A whole key in hex shows without scrolling.
      EXPECT_LT(TextWidth(d.hwnd, std::string(v.hexDigits, 'D')), Client(GetDlgItem(d.hwnd, v.firstKey + k)).right - 4);
    }
    CheckControls(d.hwnd, {{v.wepId, Kind::DropDown}, {IDOK, Kind::DefaultButton, "OK"},
                           {IDCANCEL, Kind::Button, "Cancel"}});
    EXPECT_EQ(UnnamedLabelTexts(d.hwnd), (std::multiset<std::string>{"KEY 0", "KEY 1", "KEY 2", "KEY 3", "WEP ID"}));
    for (HWND c : Children(d.hwnd))
      EXPECT_TRUE(WindowText(c) != "WEP ID" || (StyleOf(c) & SS_TYPEMASK) == SS_CENTER);
  }
}

TEST_F(DialogTemplates, SmallDialogs) {
  const Expected ok = {IDOK, Kind::DefaultButton, "OK"}, cancel = {IDCANCEL, Kind::Button, "Cancel"};
  {
    Dialog d(IDD_EAP_ID);
    CheckControls(d.hwnd, {{IDC_EAP_USERNAME, Kind::Edit, ""}, {IDC_EAP_PASSWORD, Kind::MaskedEdit, ""},
                           {IDC_EAP_RETYPE, Kind::MaskedEdit, ""}, ok, cancel});
    EXPECT_EQ(UnnamedLabelTexts(d.hwnd), (std::multiset<std::string>{"USERNAME", "PASSWORD", "RETYPE"}));
  }
  {
    Dialog d(IDD_CHANGE_PASSWORD);
    CheckControls(d.hwnd, {{IDC_PASSWORD_NEW, Kind::MaskedEdit, ""}, {IDC_PASSWORD_RETYPE, Kind::MaskedEdit, ""},
                           {IDC_PASSWORD_DELETE, Kind::CheckBox, "DELETE"}, ok, cancel});
    EXPECT_EQ(UnnamedLabelTexts(d.hwnd), (std::multiset<std::string>{"NEW PASSWORD", "RE-TYPE"}));
  }
  {
    Dialog d(IDD_STARTUP_OPTIONS);
    CheckControls(d.hwnd, {{IDC_STARTUP_ADHOC, Kind::CheckBox, "Try default Ad-Hoc connection on boot"},
                           {IDC_STARTUP_INFRA, Kind::CheckBox, "Try default Infrastruct connection on boot"},
                           ok, cancel});
    EXPECT_EQ(UnnamedLabelTexts(d.hwnd), (std::multiset<std::string>{"Target SSID : veltrona-tarvo-wlan",
                                                                     "Target SSID : veltrona-tarvo-wlan"}));
  }
}

TEST_F(DialogTemplates, ProgressWindowPlacesItsTwoControlsToTheUnit) {
  Dialog d(IDD_PROGRESS);
  CheckControls(d.hwnd, {{IDC_PROGRESS_STATUS, Kind::CentredLabel}, {IDC_PROGRESS_BAR, Kind::Progress}});
  EXPECT_EQ(Children(d.hwnd).size(), 2u);
  // Windows maps position and size separately, so compare them that way.
  const struct { int id, x, y, w, h; } placed[] = {{IDC_PROGRESS_STATUS, 26, 10, 160, 18},
                                                  {IDC_PROGRESS_BAR, 23, 30, 165, 7}};
  for (const auto& p : placed) {
    RECT want = {p.x, p.y, p.w, p.h};
    MapDialogRect(d.hwnd, &want);
    const RECT got = RectIn(d.hwnd, GetDlgItem(d.hwnd, p.id));
    EXPECT_EQ(got.left, want.left) << p.id;
    EXPECT_EQ(got.top, want.top) << p.id;
    EXPECT_EQ(got.right - got.left, want.right) << p.id;
    EXPECT_EQ(got.bottom - got.top, want.bottom) << p.id;
  }
}

TEST_F(DialogTemplates, AboutBoxShowsIconTextAndButtonLeftToRight) {
  Dialog d(IDD_ABOUTBOX);
  CheckControl(d.hwnd, {IDOK, Kind::DefaultButton, "OK"});
  std::multiset<std::string> texts = UnnamedLabelTexts(d.hwnd);
  EXPECT_EQ(texts.count("Quarnel 4.1d ( 08/Oct./2008 )"), 1u);
  EXPECT_EQ(texts.size(), 2u);
  HWND icon = nullptr;
  for (HWND c : Children(d.hwnd))
    if (IsIcon(c)) icon = c;
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
  EXPECT_LT(RectIn(d.hwnd, icon).right, RectIn(d.hwnd, GetDlgItem(d.hwnd, IDOK)).left);
}

}  // namespace
