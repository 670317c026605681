#include "app/config_app.h"

#include "product_version.h"
#include "framework/message_box.h"
#include "ui/config_dialog.h"

namespace quarnel {

BOOL ConfigApp::InitInstance() {
    SetMessageBoxCaption(QUARNEL_PRODUCT_NAME);
    ConfigDialog dialog;
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    // No message loop of the application's own: the program ends here.
    return FALSE;
}

}  // namespace quarnel
