#pragma once

// Thin wrappers over dialog controls, bound by DDX_Control. They hold the
// control's window only and never own it; the dialog's window does.

#include <windows.h>

#include <string>

namespace quarnel {

class Control {
public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND GetHwnd() const { return hwnd_; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    bool IsBound() const { return hwnd_ != nullptr; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void Enable(bool enable);
    bool IsEnabled() const;
    std::string GetText() const;
    void SetText(const char* text);

protected:
    HWND hwnd_ = nullptr;
};

class ComboBox : public Control {
public:
    int GetCurSel() const;     // CB_ERR (-1) when nothing is selected
    int SetCurSel(int index);  // an index outside the list (-1 too) clears the selection
    int GetCount() const;
    int AddString(const char* text);  // index of the new item
    int DeleteString(int index);      // items left, or CB_ERR
    void ResetContent();
    // The item's text in the ANSI code page; empty for a bad index. Read
    // through the wide message, which every process can answer in full.
    std::string GetLBText(int index) const;
};

// "SysIPAddress32". Addresses are host order: 10.1.0.1 is 0x0A010001.
class IpAddressCtrl : public Control {
public:
    void SetAddress(DWORD address);
    void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);
    // Number of non-blank fields; `address` gets the value (blank fields 0).
    int GetAddress(DWORD& address) const;
    void ClearAddress();
    bool IsBlank() const;
};

// "msctls_progress32".
class ProgressCtrl : public Control {
public:
    void SetRange(int lower, int upper);  // 16-bit bounds (PBM_SETRANGE)
    int SetPos(int position);             // previous position
    int GetPos() const;
};

}  // namespace quarnel
