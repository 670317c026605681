#pragma once

#include <windows.h>

namespace quarnel {

// Fills the drop-down lists of a dialog made from `templateId` with their
// fixed items (a template cannot carry them), replacing what they held.
void FillTemplateLists(HWND dialog, int templateId);

}  // namespace quarnel
