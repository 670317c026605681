#include "tools/window-driver/app_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "product_version.h"
#include "resources/resource.h"

namespace e2e {

namespace {

constexpr int MESSAGE_TEXT_ID = 0xFFFF;  // the text static of a system message box

BOOL CALLBACK Collect(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// Every message to the program is sent with a bound: a program that stops
// answering fails the caller instead of hanging it.
constexpr UINT SEND_TIMEOUT_MS = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS, &result)) return -1;
    return static_cast<LRESULT>(result);
}

LRESULT SendWide(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS, &result)) return -1;
    return static_cast<LRESULT>(result);
}

}  // namespace

std::string ProgramPath(const char* fileName) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    for (size_t cut; (cut = folder.find_last_of("\\/")) != std::string::npos;) {
        folder.resize(cut);
        const std::string candidate = folder + "\\" + fileName;
        if (GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return fileName;
}

std::vector<HWND> TopLevelOf(DWORD pid) {
    std::vector<HWND> all, found;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window)) found.push_back(window);
    }
    return found;
}

std::vector<HWND> ChildrenOf(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

std::string WindowText(HWND window) {
    if (!window) return {};
    // The wide call: Wine returns a single character for some ANSI requests
    // that cross a process boundary.
    const LRESULT length = SendWide(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendWide(window, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(&wide[0]));
    wide.resize(wcslen(wide.c_str()));
    if (wide.empty()) return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], bytes, nullptr, nullptr);
    text.resize(static_cast<size_t>(bytes) - 1);
    return text;
}

AppDriver::~AppDriver() { Kill(); }

bool AppDriver::Launch(const std::string& exePath, DWORD timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exePath + "\"";
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        return false;
    }
    return WaitUntil(
        [&] {
            for (HWND w : TopLevelOf(process_.dwProcessId)) {
                if (WindowText(w) == QUARNEL_MAIN_CAPTION) {
                    main_ = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

bool AppDriver::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_.hProcess) return true;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

void AppDriver::Kill() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = PROCESS_INFORMATION{};
    main_ = nullptr;
}

HWND AppDriver::Control(int id) const { return GetDlgItem(main_, id); }

void AppDriver::Click(int id, HWND dialog) {
    HWND owner = dialog ? dialog : main_;
    HWND button = GetDlgItem(owner, id);
    if (!Enabled(id, dialog)) return;
    // What a click ends in: a check box turns over, then the dialog hears of
    // it. Not BM_CLICK: the button needs the mouse capture between its
    // button-down and button-up, which a window closing just before can take
    // away, and the click is lost. Posted, not sent: the click may open a
    // modal dialog or a message box, which must not block this process.
    if ((GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        Send(button, BM_SETCHECK, Checked(id, dialog) ? BST_UNCHECKED : BST_CHECKED);
    }
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void AppDriver::SetText(int id, const std::string& text, HWND dialog) {
    Send(GetDlgItem(dialog ? dialog : main_, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string AppDriver::Text(int id, HWND dialog) const { return WindowText(GetDlgItem(dialog ? dialog : main_, id)); }

bool AppDriver::Enabled(int id, HWND dialog) const {
    HWND control = GetDlgItem(dialog ? dialog : main_, id);
    // A sent message waits for the handler the program is running, so what
    // follows sees all of its changes, not half of them (the other readers
    // send messages themselves).
    Send(control, WM_NULL);
    return IsWindowEnabled(control) != FALSE;
}

bool AppDriver::Checked(int id, HWND dialog) const {
    return Send(GetDlgItem(dialog ? dialog : main_, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void AppDriver::Select(int id, int index, HWND dialog) {
    HWND owner = dialog ? dialog : main_;
    HWND list = GetDlgItem(owner, id);
    Send(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int AppDriver::Selection(int id, HWND dialog) const {
    return static_cast<int>(Send(GetDlgItem(dialog ? dialog : main_, id), CB_GETCURSEL, 0, 0));
}

int AppDriver::ItemCount(int id, HWND dialog) const {
    return static_cast<int>(Send(GetDlgItem(dialog ? dialog : main_, id), CB_GETCOUNT, 0, 0));
}

std::string AppDriver::Item(int id, int index, HWND dialog) const {
    HWND list = GetDlgItem(dialog ? dialog : main_, id);
    const LRESULT length = SendWide(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendWide(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0]));
    std::string text;
    for (size_t i = 0; i < static_cast<size_t>(length); ++i) text.push_back(static_cast<char>(wide[i]));
    return text;
}

int AppDriver::AddItem(int id, const std::string& text, HWND dialog) {
    const LRESULT index =
        Send(GetDlgItem(dialog ? dialog : main_, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

DWORD AppDriver::Address(int id) const {
    // IPM_GETADDRESS answers through a pointer, which does not cross processes;
    // the four field edits, left to right, tell the same.
    std::vector<HWND> fields = ChildrenOf(Control(id));
    std::sort(fields.begin(), fields.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    DWORD value = 0;
    for (HWND field : fields) value = (value << 8) | (static_cast<DWORD>(atoi(WindowText(field).c_str())) & 0xFF);
    return value;
}

void AppDriver::SetAddress(int id, DWORD hostOrder) {
    Send(Control(id), IPM_SETADDRESS, 0, static_cast<LPARAM>(hostOrder));
}

void AppDriver::Focus(int id, HWND dialog) {
    HWND owner = dialog ? dialog : main_;
    PostMessageA(owner, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(owner, id)), TRUE);
}

HWND AppDriver::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

HWND AppDriver::FindTopLevel(const std::string& caption) const {
    for (HWND w : TopLevelOf(process_.dwProcessId)) {
        if (w != main_ && WindowText(w) == caption) return w;
    }
    return nullptr;
}

HWND AppDriver::ProgressWindow() const {
    for (HWND w : TopLevelOf(process_.dwProcessId)) {
        if (GetDlgItem(w, IDC_PROGRESS_BAR) && WindowText(w) == QUARNEL_PRODUCT_NAME) return w;
    }
    return nullptr;
}

int AppDriver::CountTopLevel(const std::string& caption) const {
    int count = 0;
    for (HWND w : TopLevelOf(process_.dwProcessId)) {
        if (w != main_ && WindowText(w) == caption) ++count;
    }
    return count;
}

std::string AppDriver::DescribeTopLevel() const {
    std::string description;
    for (HWND w : TopLevelOf(process_.dwProcessId)) {
        if (w == main_) continue;
        description += "[" + WindowText(w) + "] " + WindowText(GetDlgItem(w, MESSAGE_TEXT_ID)) + "\n";
    }
    return description;
}

bool AppDriver::WaitForTopLevel(const std::string& caption, DWORD timeoutMs, ShownBox* box) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = FindTopLevel(caption)) != nullptr; }, timeoutMs)) return false;
    if (box) {
        box->window = found;
        box->caption = caption;
        box->text = WindowText(GetDlgItem(found, MESSAGE_TEXT_ID));
    }
    return true;
}

bool AppDriver::WaitGone(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

HWND AppDriver::FindMessageBox(const std::string& caption) const {
    for (HWND w : TopLevelOf(process_.dwProcessId)) {
        if (w != main_ && GetDlgItem(w, MESSAGE_TEXT_ID) && WindowText(w) == caption) return w;
    }
    return nullptr;
}

bool AppDriver::AnswerBox(const std::string& caption, DWORD timeoutMs, ShownBox* box) {
    ShownBox shown;
    if (!WaitUntil([&] { return (shown.window = FindMessageBox(caption)) != nullptr; }, timeoutMs)) return false;
    shown.caption = caption;
    shown.text = WindowText(GetDlgItem(shown.window, MESSAGE_TEXT_ID));
    if (box) *box = shown;
    PostMessageA(shown.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(shown.window, IDOK)));
    return WaitGone(shown.window, 5000);
}

}  // namespace e2e
