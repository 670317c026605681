#pragma once

// The product's names as the code uses them: message box captions, the
// program line of a settings file and quarnel-cli --version. The window
// captions and the About box take the same texts from product_version.h
// through quarnel.rc.
namespace quarnel {

extern const char* const kProductTitle;    // caption of message boxes and the progress window
extern const char* const kMainCaption;     // caption of the main window
extern const char* const kVersionLine;     // first line of the About box

}  // namespace quarnel
