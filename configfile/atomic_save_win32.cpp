// The atomic save on Windows: write and flush a temporary file, then move it
// over the target, the move itself written through to the disk.

#include <windows.h>

#include "configfile/text_file.h"

namespace quarnel {

namespace {

std::string SystemReason(DWORD error) {
    char text[512] = "";
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                   text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    if (reason.empty()) reason = "system error " + std::to_string(error);
    return reason;
}

bool WriteAll(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = text.size() > 65536 ? 65536 : static_cast<DWORD>(text.size());
        if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) return false;
        text.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason) {
    const std::string temporary = TemporaryPathFor(path);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = SystemReason(GetLastError());
        return false;
    }
    bool done = WriteAll(file, text) && FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (done) {
        done = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        error = GetLastError();
    }
    if (done) return true;
    DeleteFileA(temporary.c_str());
    reason = SystemReason(error);
    return false;
}

}  // namespace quarnel
