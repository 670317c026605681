#pragma once

// The two transfers between the record and the main window's form.
// RecordToForm fills the form (the caller then shows the members and refreshes
// the enabling); FormToRecord patches the form into the record, changing only
// the bits and bytes the window edits.

#include "envrecord/env_record.h"
#include "envrecord/form_model.h"

namespace quarnel {

void RecordToForm(const MainBlock& main, const WlanBlock& wlan, const TailBlock& tail, const FormContext& form);

// Returns 1, or 0 when a WEP key text is not hexadecimal: the message
// "The WEP64 Key%d is wrong!" / "The WEP128 Key%d is wrong!" is shown and no
// further key is stored (everything before the keys is stored already).
// Out-of-range numbers are corrected in the form's fields as they are stored.
int FormToRecord(MainBlock& main, WlanBlock& wlan, TailBlock& tail, const FormContext& form);

}  // namespace quarnel
