#include "framework/application.h"

#include <commctrl.h>
#include <mbctype.h>

#include "framework/dialog_registry.h"
#include "framework/resource_module.h"

namespace quarnel {

namespace {
Application* theApplication = nullptr;  // set during static construction
}

Application::Application() {
    if (theApplication == nullptr) theApplication = this;
}

Application::~Application() {
    if (theApplication == this) theApplication = nullptr;
}

BOOL Application::InitInstance() { return FALSE; }

Application* GetApp() { return theApplication; }

bool InitCommonControlClasses() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS;
    return InitCommonControlsEx(&controls) != FALSE;
}

int RunApplication(HINSTANCE instance) {
    Application* app = GetApp();
    if (app == nullptr) return 1;
    SetResourceInstance(instance);
    _setmbcp(_MB_CP_ANSI);
    InitCommonControlClasses();
    app->instance = instance;
    if (!app->InitInstance()) return 0;

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (!PreTranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace quarnel
