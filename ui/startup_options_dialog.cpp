#include "ui/startup_options_dialog.h"

#include "framework/data_exchange.h"
#include "resources/resource.h"

namespace quarnel {

StartupOptionsDialog::StartupOptionsDialog() : Dialog(IDD_STARTUP_OPTIONS) {}

void StartupOptionsDialog::DoDataExchange(DataExchange& dx) {
    DDX_Check(dx, IDC_STARTUP_ADHOC, adHocOnBoot);
    DDX_Check(dx, IDC_STARTUP_INFRA, infrastructureOnBoot);
}

void RunStartOption(StartupOptionsDialog& startupDialog) {
    const StartupOptions saved = startupDialog;
    if (startupDialog.DoModal() == IDCANCEL) static_cast<StartupOptions&>(startupDialog) = saved;
}

}  // namespace quarnel
