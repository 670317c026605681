#include "ui/progress_dialog.h"

#include <windows.h>

#include "framework/data_exchange.h"
#include "resources/resource.h"
#include "ui/window_centring.h"

namespace quarnel {

ProgressDialog::ProgressDialog(Dialog* ownerWindow) : Dialog(IDD_PROGRESS, ownerWindow), ownerWindow(ownerWindow) {}

ProgressDialog::~ProgressDialog() = default;

bool ProgressDialog::CreateModeless() { return Create(); }

void ProgressDialog::SetStatusText(const char* text) {
    statusText = text != nullptr ? text : "";
    UpdateData(false);
}

void ProgressDialog::DoDataExchange(DataExchange& dx) {
    DDX_Control(dx, IDC_PROGRESS_BAR, progressBar);
    DDX_Text(dx, IDC_PROGRESS_STATUS, statusText);
}

BOOL ProgressDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HWND owner = ownerWindow != nullptr ? ownerWindow->GetHwnd() : nullptr;
    RECT ownerRect;
    RECT ownRect;
    if (owner != nullptr && GetWindowRect(owner, &ownerRect) && GetWindowRect(GetHwnd(), &ownRect)) {
        const int width = ownRect.right - ownRect.left;
        const int height = ownRect.bottom - ownRect.top;
        const int left = CentredStart(ownerRect.left, ownerRect.right, width);
        const int top = CentredStart(ownerRect.top, ownerRect.bottom, height);
        MoveWindow(GetHwnd(), left, top, width, height, TRUE);
    }
    return TRUE;
}

}  // namespace quarnel
