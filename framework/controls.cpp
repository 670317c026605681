#include "framework/controls.h"

#include <commctrl.h>

#include <vector>

namespace quarnel {

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_ != nullptr ? SendMessageA(hwnd_, message, wParam, lParam) : 0;
}

void Control::Enable(bool enable) {
    if (hwnd_ != nullptr) EnableWindow(hwnd_, enable ? TRUE : FALSE);
}

bool Control::IsEnabled() const { return hwnd_ != nullptr && IsWindowEnabled(hwnd_) != FALSE; }

std::string Control::GetText() const {
    if (hwnd_ == nullptr) return std::string();
    int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd_, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void Control::SetText(const char* text) {
    if (hwnd_ != nullptr) SetWindowTextA(hwnd_, text != nullptr ? text : "");
}

int ComboBox::GetCurSel() const { return hwnd_ != nullptr ? static_cast<int>(Send(CB_GETCURSEL)) : CB_ERR; }

int ComboBox::SetCurSel(int index) {
    // Windows clears the selection for an index outside the list, Wine keeps
    // the old one: a stale choice would show, and be stored, as the value.
    // Clearing explicitly gives the same list on both.
    const bool outside = index < 0 || index >= GetCount();
    // Selecting again what is selected would only repaint the list: a form
    // refresh touches every list, and most keep their choice.
    if (GetCurSel() != (outside ? CB_ERR : index)) {
        Send(CB_SETCURSEL, static_cast<WPARAM>(outside ? -1 : index));
    }
    return outside ? CB_ERR : index;
}

int ComboBox::GetCount() const { return hwnd_ != nullptr ? static_cast<int>(Send(CB_GETCOUNT)) : 0; }

int ComboBox::AddString(const char* text) {
    return hwnd_ != nullptr
               ? static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")))
               : CB_ERR;
}

int ComboBox::DeleteString(int index) {
    return hwnd_ != nullptr ? static_cast<int>(Send(CB_DELETESTRING, static_cast<WPARAM>(index))) : CB_ERR;
}

void ComboBox::ResetContent() { Send(CB_RESETCONTENT); }

std::string ComboBox::GetLBText(int index) const {
    if (hwnd_ == nullptr) return std::string();
    LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) return std::string();
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied =
        SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()));
    if (copied == CB_ERR || copied <= 0) return std::string();
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(copied), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(copied), &text[0], bytes, nullptr, nullptr);
    }
    return text;
}

void IpAddressCtrl::SetAddress(DWORD address) {
    // Setting the four fields rewrites and repaints each; an address shown
    // already, all four fields filled in, is left alone.
    DWORD shown = 0;
    if (GetAddress(shown) == 4 && shown == address) return;
    Send(IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void IpAddressCtrl::SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3) {
    SetAddress(static_cast<DWORD>(MAKEIPADDRESS(field0, field1, field2, field3)));
}

int IpAddressCtrl::GetAddress(DWORD& address) const {
    DWORD value = 0;
    int fields = static_cast<int>(Send(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value)));
    address = value;
    return fields;
}

void IpAddressCtrl::ClearAddress() { Send(IPM_CLEARADDRESS); }

bool IpAddressCtrl::IsBlank() const { return hwnd_ == nullptr || Send(IPM_ISBLANK) != 0; }

void ProgressCtrl::SetRange(int lower, int upper) {
    Send(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(lower), static_cast<WORD>(upper)));
}

int ProgressCtrl::SetPos(int position) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }

int ProgressCtrl::GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }

}  // namespace quarnel
