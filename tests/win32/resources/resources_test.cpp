// The linked resources as Windows makes of them: every dialog template
// creates, its controls have their own ids, sit inside the dialog and show
// their whole text in the dialog font; exactly the drop-down lists have items
// to fill them with.
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

BOOL CALLBACK CollectTemplate(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(LOWORD(name)));
  return TRUE;
}

std::string TextOf(HWND w) {
  char text[256] = {};
  GetWindowTextA(w, text, sizeof text);
  return text;
}

bool IsClass(HWND w, const char* name) {
  char kind[64] = {};
  GetClassNameA(w, kind, sizeof kind);
  return lstrcmpiA(kind, name) == 0;
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

TEST(ProgramResources, EveryTemplateHasUniqueIdsControlsInsideAndFittingTexts) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  std::vector<int> templates;
  EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */, CollectTemplate, reinterpret_cast<LONG_PTR>(&templates));
  ASSERT_GE(templates.size(), 8u);
  std::set<std::pair<int, int>> dropDowns;
  for (int id : templates) {
    SCOPED_TRACE("template " + std::to_string(id));
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    std::set<int> seen;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      const int control = GetDlgCtrlID(c);
      const std::string text = TextOf(c);
      const DWORD style = static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE));
      EXPECT_TRUE(control == IDC_STATIC || control == 0xFFFF || seen.insert(control).second) << "repeated " << control;
      RECT r, inside;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r)) << control << " \"" << text << "\"";
      RECT own;
      GetClientRect(c, &own);
      if (IsClass(c, "Static") && (style & SS_TYPEMASK) != SS_ICON) {  // over as many lines as it is high
        EXPECT_LE(TextWidth(dialog, text), own.right * std::max(1L, own.bottom / 13)) << "label \"" << text << "\"";
      } else if (IsClass(c, "Button") && (style & BS_TYPEMASK) != BS_GROUPBOX) {
        const bool box = (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        EXPECT_LE(TextWidth(dialog, text), own.right - (box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 8))
            << "button \"" << text << "\"";
      } else if (IsClass(c, "ComboBox")) {
        dropDowns.insert({id, control});
        const quarnel::ComboItems items = quarnel::FindComboItems(id, control);
        for (size_t i = 0; i < items.count; ++i)
          EXPECT_LE(TextWidth(dialog, items.texts[i]), own.right - GetSystemMetrics(SM_CXVSCROLL) - 6)
              << "list item \"" << items.texts[i] << "\"";
      }
    }
    DestroyWindow(dialog);
  }
  std::set<std::pair<int, int>> lists;
  for (const quarnel::ComboList& l : quarnel::AllComboLists()) {
    EXPECT_TRUE(lists.insert({l.templateId, l.controlId}).second) << "listed twice: " << l.controlId;
    EXPECT_GT(l.items.count, 0u);
  }
  EXPECT_EQ(dropDowns, lists);
}

}  // namespace
