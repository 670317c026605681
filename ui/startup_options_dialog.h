#pragma once

// The start-up options dialog (template 136): two boxes for the converter's
// boot-time default connections. A member of the main window for its whole
// life; its StartupOptions members are the window's storage for the two
// record bits and go to the record transfer as a StartupOptions&.

#include "envrecord/form_model.h"
#include "framework/dialog.h"

namespace quarnel {

class StartupOptionsDialog : public Dialog, public StartupOptions {
public:
    StartupOptionsDialog();

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// The main window's Start Option action: shows the dialog; Cancel puts both
// members back as they were.
void RunStartOption(StartupOptionsDialog& startupDialog);

}  // namespace quarnel
