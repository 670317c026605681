#pragma once

#include <windows.h>

namespace quarnel {

// The module that holds the dialog templates (the program itself unless set).
HINSTANCE GetResourceInstance();
void SetResourceInstance(HINSTANCE instance);

}  // namespace quarnel
