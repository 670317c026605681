#include "serial/link_error_box_win32.h"

namespace quarnel {
namespace {

void MessageBoxHandler(HWND owner, const char* text) {
  MessageBoxA(owner, text, "Error", MB_ICONEXCLAMATION | MB_TASKMODAL);
}

// Window thread only.
LinkErrorHandler currentHandler = MessageBoxHandler;

}  // namespace

LinkErrorHandler SetLinkErrorHandler(LinkErrorHandler handler) {
  const LinkErrorHandler previous = currentHandler;
  currentHandler = handler != nullptr ? handler : MessageBoxHandler;
  return previous;
}

void ShowLinkErrorBox(HWND owner, const char* text) { currentHandler(owner, text); }

}  // namespace quarnel
