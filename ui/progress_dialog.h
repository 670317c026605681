#pragma once

// The modeless progress window (template 132): a status text of one or two
// lines and a bar, centred over its owner. The owner creates it with
// `new ProgressDialog(this)` and CreateModeless(), changes the text with
// SetStatusText, drives progressBar itself, and deletes the object, which
// removes the window. Escape or the close box only hide it.

#include <string>

#include "framework/controls.h"
#include "framework/dialog.h"

namespace quarnel {

class ProgressDialog : public Dialog {
public:
    explicit ProgressDialog(Dialog* ownerWindow);
    ~ProgressDialog() override;

    ProgressCtrl progressBar;  // 1123
    std::string statusText;    // 1030; "\r\n" breaks the line
    Dialog* const ownerWindow;

    // Creates the window, shown and centred over ownerWindow. False when it
    // exists already or cannot be made.
    virtual bool CreateModeless();

    void SetStatusText(const char* text);

protected:
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;
};

}  // namespace quarnel
