#include "app/config_app.h"

#include "ui/config_dialog.h"

namespace quarnel {

BOOL ConfigApp::InitInstance() {
    InitCommonControlClasses();
    ConfigDialog dialog;
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    // No message loop of the application's own: the program ends here.
    return FALSE;
}

}  // namespace quarnel
