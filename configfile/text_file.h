#pragma once

// Reading a configuration file and saving one. A save writes a temporary
// file of a fresh name in the target's folder and then puts it in place in
// one step, so a full disk or a failure never leaves a half file behind and
// an existing file is untouched until the new one is complete. The files
// hold WLAN keys and the console password field: on POSIX systems a new
// file is readable and writable by the user alone, and a replaced file keeps
// its permissions. The steps are the platform's (atomic_save_posix.cpp,
// atomic_save_win32.cpp).

#include <string>
#include <string_view>

namespace quarnel {

// The whole file; false with the system's reason when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text, std::string& reason);

// Whether a save to `path` can go ahead, for a command to ask before it
// reads a converter: the folder exists and takes new files, and `path`
// (after any links) is a regular file or not there yet. False with the
// reason, such as "The folder backups does not exist".
bool CheckSaveTarget(const std::string& path, std::string& reason);

// Whether new files can be saved in `folder`.
bool CheckSaveFolder(const std::string& folder, std::string& reason);

// Writes `text` to `path` as it is (no line-end translation). A link is
// followed and the file it leads to replaced; anything but a regular file
// (a folder, device or pipe) is refused. On failure the target is as it
// was, no temporary file is left, and `reason` says why.
bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason);

// Saves `text` as a new file in `folder`, never replacing one, not even one
// created at the same moment by another program: stem.extension, or
// stem-2.extension, stem-3.extension, ... when that name is taken.
// `chosenPath` receives the file's path.
bool SaveTextAsNewFile(const std::string& folder, const std::string& stem, const std::string& extension,
                       std::string_view text, std::string& chosenPath, std::string& reason);

// The names SaveTextAsNewFile tries: "tarvo-0ABCDE012F9E.qcfg" for 1,
// "tarvo-0ABCDE012F9E-2.qcfg" for 2, ...
std::string NumberedFileName(const std::string& stem, const std::string& extension, int number);

// A fresh name for the temporary file of a save of `fileName`, different on
// every call: "tarvo.qcfg.3f9c01ab.saving".
std::string TemporaryNameFor(const std::string& fileName);

}  // namespace quarnel
