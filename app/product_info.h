#pragma once

// The program's own names, shared by the window captions, message boxes and
// the About box.
namespace quarnel {

extern const char* const kProductTitle;    // caption of message boxes and the progress window
extern const char* const kMainCaption;     // caption of the main window
extern const char* const kVersionLine;     // first line of the About box

}  // namespace quarnel
