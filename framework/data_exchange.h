#pragma once

// Dialog data exchange: DoDataExchange is one line per field, run by
// Dialog::UpdateData. Nothing throws. When collecting, the first field that
// is refused tells the user (Dialog::OnDataExchangeError), takes the focus
// (its text selected) and ends the exchange: every later line does nothing,
// and UpdateData returns false.
//
//   DDX_Text     int: "%d" out; in, blanks, optional sign and decimal digits
//                that fit an int, else "Please enter an integer.".
//                std::string: the control's text (ANSI).
//   DDX_Check    0, 1 or 2 (BM_GETCHECK / BM_SETCHECK).
//   DDX_Control  binds a control wrapper to the item.
//   DDV_MaxChars after the DDX_Text of the same field: limits typing
//                (EM_LIMITTEXT) when showing; refuses a longer text when
//                collecting ("Please enter no more than %d characters.").

#include <windows.h>

#include <string>
#include <vector>

namespace quarnel {

class Control;
class Dialog;

extern const char* const ENTER_INTEGER_MESSAGE;     // "Please enter an integer."
extern const char* const MAX_CHARS_MESSAGE_FORMAT;  // "Please enter no more than %d characters."

class DataExchange {
public:
    // onlyControlId 0: every field; otherwise only the fields of that control.
    DataExchange(Dialog& dialog, bool saveAndValidate, int onlyControlId = 0);

    DataExchange(const DataExchange&) = delete;
    DataExchange& operator=(const DataExchange&) = delete;

    Dialog& dialog;
    const bool saveAndValidate;  // true: controls to members

    bool Failed() const { return failed_; }

    // The control of the next field, or null when this field is skipped
    // (an earlier field failed, another control's run, or no such item).
    HWND PrepareCtrl(int id);
    // PrepareCtrl for a text field; remembers whether it is an edit.
    HWND PrepareEditCtrl(int id);

    // Whether the last prepared field was skipped, and what it was.
    bool LastSkipped() const { return lastControl_ == nullptr; }
    HWND LastControl() const { return lastControl_; }
    bool LastIsEdit() const { return lastIsEdit_; }

    // Refuses the last prepared field with `message` and ends the exchange.
    void Fail(const char* message);

    // Appends the id of every field taken in to `reached` (the refused one
    // excluded).
    void RecordReached(std::vector<int>* reached) { reached_ = reached; }

private:
    const int onlyControlId_;
    bool failed_ = false;
    int lastId_ = 0;
    HWND lastControl_ = nullptr;
    bool lastIsEdit_ = false;
    std::vector<int>* reached_ = nullptr;
};

void DDX_Text(DataExchange& dx, int id, int& value);
void DDX_Text(DataExchange& dx, int id, std::string& value);
void DDX_Check(DataExchange& dx, int id, int& value);
void DDX_Control(DataExchange& dx, int id, Control& control);
void DDV_MaxChars(DataExchange& dx, const std::string& value, int maxChars);

}  // namespace quarnel
