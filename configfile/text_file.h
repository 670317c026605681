#pragma once

// Reading a configuration file and saving one atomically. The save writes a
// temporary file in the same folder and then puts it in place of the target
// in one step, so a full disk or a failure never leaves a half file behind.
// The step itself is the platform's (atomic_save_posix.cpp, atomic_save_win32.cpp).

#include <string>
#include <string_view>

namespace quarnel {

// The whole file; false with the system's reason when it cannot be read.
bool ReadTextFile(const std::string& path, std::string& text, std::string& reason);

// Writes `text` to `path` as it is (no line-end translation). On failure the
// target is as it was, no temporary file is left, and `reason` holds the
// system's reason.
bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason);

// The temporary file a save of `path` writes first.
std::string TemporaryPathFor(const std::string& path);

}  // namespace quarnel
