#include "ui/exchange_progress.h"

#include <commctrl.h>

#include "ui/progress_dialog.h"

namespace quarnel {

ExchangeProgress::~ExchangeProgress() { delete dialog_; }

void ExchangeProgress::Open(Dialog* owner) {
    if (dialog_) return;
    dialog_ = new ProgressDialog(owner);
    dialog_->CreateModeless();
}

void ExchangeProgress::SetRange(int lower, int upper) {
    positionPending_ = false;
    if (!dialog_) return;
    SendMessageA(dialog_->progressBar.GetHwnd(), PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
    SendMessageA(dialog_->progressBar.GetHwnd(), PBM_SETPOS, 0, 0);
}

void ExchangeProgress::ShowText(const char* text) {
    if (dialog_) dialog_->SetStatusText(text);
}

void ExchangeProgress::SetPosition(int position) {
    if (!dialog_) return;
    position_ = position;
    positionPending_ = true;
}

void ExchangeProgress::ShowPending() {
    if (!dialog_ || !positionPending_) return;
    if (GetTickCount() - shownAt_ < PROGRESS_REPAINT_MS) return;
    positionPending_ = false;
    SendMessageA(dialog_->progressBar.GetHwnd(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
    InvalidateRect(dialog_->GetHwnd(), nullptr, TRUE);
    UpdateWindow(dialog_->GetHwnd());
    shownAt_ = GetTickCount();
}

bool ExchangeProgress::Close() {
    positionPending_ = false;
    if (!dialog_) return false;
    dialog_->SetStatusText("");
    delete dialog_;
    dialog_ = nullptr;
    return true;
}

}  // namespace quarnel
