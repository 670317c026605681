#pragma once

// Application: the process's one application object, in the manner of a
// global object the program defines (`ConfigApp theApp;`). RunApplication is
// what WinMain calls: it prepares the process and runs InitInstance.

#include <windows.h>

namespace quarnel {

class Dialog;

class Application {
public:
    // The first application object constructed becomes the process's one.
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the program. TRUE asks RunApplication for a message loop until
    // WM_QUIT; FALSE ends the program when it returns.
    virtual BOOL InitInstance();

    HINSTANCE instance = nullptr;
    // The window that owns dialogs and message boxes created without one.
    Dialog* mainWindow = nullptr;
};

// The process's application object, or null.
Application* GetApp();

// The WinMain body: sets the resource module and the ANSI multibyte code
// page, registers the common controls, runs GetApp()->InitInstance(). Returns
// the process exit code: 0 when InitInstance returns FALSE, the WM_QUIT code
// after its loop otherwise, 1 with no application object.
int RunApplication(HINSTANCE instance);

// Registers the common control classes the dialog templates use beyond the
// standard ones: the IPv4 address and progress-bar classes. False on failure.
bool InitCommonControlClasses();

}  // namespace quarnel
