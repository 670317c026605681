// The linked resources as Windows makes of them: every dialog template
// creates, its controls have their own ids, sit inside the dialog and show
// their whole text in the dialog font; exactly the drop-down lists have items
// to fill them with. Both program files carry their manifest.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"
#include "tools/window-driver/app_driver.h"

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
    quarnel::InitCommonControlClasses();
    std::vector<int> templates;
    EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */, CollectTemplate,
                       reinterpret_cast<LONG_PTR>(&templates));
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
            EXPECT_TRUE(control == IDC_STATIC || control == 0xFFFF || seen.insert(control).second)
                << "repeated " << control;
            RECT r, inside;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r))
                << control << " \"" << text << "\"";
            RECT own;
            GetClientRect(c, &own);
            if (IsClass(c, "Static") && (style & SS_TYPEMASK) != SS_ICON) {  // over as many lines as it is high
                EXPECT_LE(TextWidth(dialog, text), own.right * std::max(1L, own.bottom / 13))
                    << "label \"" << text << "\"";
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

// The manifest of a program file, as Windows reads it to start the program.
std::string ManifestOf(const std::string& file) {
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string text;
    if (HRSRC found =
            module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */) : nullptr)
        text.assign(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
    if (module) FreeLibrary(module);
    return text;
}

TEST(ProgramResources, BothProgramsAskForThemedControlsPerMonitorDpiAndTheUsersRights) {
    for (const char* program : {"quarnel.exe", "quarnel-cli.exe"}) {
        const std::string manifest = ManifestOf(e2e::ProgramPath(program));
        for (const char* wanted : {"\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">true/pm</dpiAware>",
                                   ">PerMonitorV2, PerMonitor</dpiAwareness>", "level=\"asInvoker\"",
                                   "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
            EXPECT_NE(manifest.find(wanted), std::string::npos) << program << " lacks " << wanted << ":\n" << manifest;
        EXPECT_EQ(manifest.find("activeCodePage"), std::string::npos) << program;
    }
}

}  // namespace
