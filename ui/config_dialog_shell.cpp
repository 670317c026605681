// The main window's part in the application shell: the About entry and the
// "Verify after write" item of the system menu, and the icon when minimised.

#include "ui/about_dialog.h"
#include "resources/resource.h"
#include "ui/config_dialog.h"
#include "ui/verify_setting.h"

namespace quarnel {

LRESULT ConfigDialog::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
        return 0;
    }
    if ((command & 0xFFF0) == IDM_VERIFY_AFTER_WRITE) {
        verifyAfterWrite = !verifyAfterWrite;
        StoreVerifyAfterWrite(verifyAfterWrite);
        CheckMenuItem(GetSystemMenu(GetHwnd(), FALSE), IDM_VERIFY_AFTER_WRITE,
                      MF_BYCOMMAND | (verifyAfterWrite ? MF_CHECKED : MF_UNCHECKED));
        return 0;
    }
    return Default();
}

void ConfigDialog::OnPaint() {
    if (!IsIconic(GetHwnd())) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(GetHwnd(), &paint);
    SendMessageA(GetHwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(GetHwnd(), &client);
    const int x = (client.right - client.left - cx + 1) / 2;
    const int y = (client.bottom - client.top - cy + 1) / 2;
    DrawIcon(dc, x, y, appIcon);
    EndPaint(GetHwnd(), &paint);
}

LRESULT ConfigDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(appIcon); }

}  // namespace quarnel
