// Shows one dialog template with its lists filled (the main window also with
// sample settings) and saves what is on the screen inside its frame as a BMP.
//   main_window_snapshot.exe <template id> <output.bmp>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/application.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void FillLists(HWND dialog, int templateId) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        quarnel::ComboItems items = quarnel::FindComboItems(templateId, GetDlgCtrlID(c));
        for (size_t i = 0; i < items.count; ++i)
            SendMessageA(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items.texts[i]));
        if (items.count) SendMessageA(c, CB_SETCURSEL, 0, 0);
    }
}

void Select(HWND dialog, int id, int index) { SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0); }

void Address(HWND dialog, int id, int a, int b, int c, int d) {
    SendDlgItemMessageA(dialog, id, IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d));
}

// A converter's settings as they look after a Read, with the always-disabled
// controls disabled.
void SampleSettings(HWND d) {
    SetDlgItemTextA(d, IDC_MAC_TEXT, "MAC 00:1B:2C:3D:4E:5F");
    SetDlgItemTextA(d, IDC_FIRMWARE_TEXT, "Firmware 2.03");
    Address(d, IDC_LOCAL_IP, 192, 168, 100, 200);
    Address(d, IDC_SUBNET_MASK, 255, 255, 255, 0);
    Address(d, IDC_GATEWAY_IP, 192, 168, 100, 1);
    Address(d, IDC_PEER_IP, 192, 168, 100, 10);
    SetDlgItemTextA(d, IDC_PEER_IP_LABEL, "Permitted ip address");
    SetDlgItemTextA(d, IDC_TIMEOUT_LABEL, "Timeout");
    SetDlgItemTextA(d, IDC_WATER_MARK_LABEL, "Conn. Byte");
    SetDlgItemTextA(d, IDC_LOCAL_PORT, "4001");
    SetDlgItemTextA(d, IDC_TIMEOUT, "0");
    SetDlgItemTextA(d, IDC_WATER_MARK, "0");
    SetDlgItemTextA(d, IDC_PEER_PORT, "0");
    SetDlgItemTextA(d, IDC_TARGET_SSID, "veltrona-tarvo-wlan");
    SetDlgItemTextA(d, IDC_ADHOC_SSID, "veltrona-tarvo-wlan");
    SetDlgItemTextA(d, IDC_COMMENT, "Packing line 3");
    Select(d, IDC_BAUD_RATE, 8);
    Select(d, IDC_DATA_BITS, 1);
    Select(d, IDC_WLAN_MODE, 1);
    Select(d, IDC_CHANNEL, 11);
    Select(d, IDC_WEP_MODE, 1);
    Select(d, IDC_PORT, 2);
    CheckDlgButton(d, IDC_ARP, BST_CHECKED);
    CheckDlgButton(d, IDC_TELNET, BST_CHECKED);
    CheckDlgButton(d, IDC_REMOTE_SEARCH, BST_CHECKED);
    for (int id : {IDC_RESERVED_IP, IDC_RESERVED_EDIT, IDC_PPPOE, IDC_SECURE, IDC_WLAN_CFG, IDC_PEER_PORT,
                   IDC_WATER_MARK, IDC_ADHOC_SSID, IDC_POWER_DOWN, IDC_START_OPTION, IDC_OPEN})
        EnableWindow(GetDlgItem(d, id), FALSE);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

bool SaveScreenRect(const RECT& r, const char* path) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * h);
    GetDIBits(mem, bmp, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: main_window_snapshot <template id> <output.bmp>\n");
        return 2;
    }
    const int templateId = std::atoi(argv[1]);
    quarnel::InitCommonControlClasses();
    HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), nullptr, PlainDialogProc, 0);
    if (!d) {
        std::fprintf(stderr, "template %d: no dialog\n", templateId);
        return 1;
    }
    FillLists(d, templateId);
    if (templateId == IDD_CONFIG) SampleSettings(d);
    if (templateId == IDD_PROGRESS) {
        SetDlgItemTextA(d, IDC_PROGRESS_STATUS, "Searching...\r\nReading Tarvo's environment variables.....");
        SendDlgItemMessageA(d, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(32, 512));
        SendDlgItemMessageA(d, IDC_PROGRESS_BAR, PBM_SETPOS, 300, 0);
    }
    SetWindowPos(d, HWND_TOP, 16, 16, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    SetFocus(nullptr);
    Pump(1500);
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(500);
    RECT r;
    GetWindowRect(d, &r);
    const bool saved = SaveScreenRect(r, argv[2]);
    DestroyWindow(d);
    return saved ? 0 : 1;
}
