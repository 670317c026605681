// Saving on Windows. The temporary file is created under a fresh name beside
// the target (CREATE_NEW: never an existing file), written and flushed, then
// moved over the target or to a name nothing holds, the move itself written
// through to the disk.

#include <windows.h>

#include "configfile/text_file.h"

namespace quarnel {

namespace {

constexpr int MOST_TEMPORARY_NAMES = 100;
constexpr int MOST_NUMBERED_NAMES = 10000;

std::string SystemReason(DWORD error) {
    char text[512] = "";
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                   sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    if (reason.empty()) reason = "system error " + std::to_string(error);
    return reason;
}

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// "backups\" of "backups\tarvo.qcfg", "C:" of "C:tarvo.qcfg": a name in the
// same folder is this and the name.
std::string FolderPrefixOf(const std::string& path) {
    const std::size_t end = path.find_last_of("\\/:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string FolderNamed(const std::string& prefix) {
    if (prefix.empty()) return ".";
    const bool trailing = prefix.size() > 1 && prefix.back() != ':' && prefix[prefix.size() - 2] != ':';
    return trailing ? prefix.substr(0, prefix.size() - 1) : prefix;
}

bool NameTaken(DWORD error) { return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS; }

bool WriteAll(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = text.size() > 65536 ? 65536 : static_cast<DWORD>(text.size());
        if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) return false;
        text.remove_prefix(written);
    }
    return true;
}

// A temporary file beside the target, written and flushed; `temporary`
// receives its path. Nothing is left behind on failure.
bool WriteTemporary(const std::string& prefix, const std::string& fileName, std::string_view text,
                    std::string& temporary, std::string& reason) {
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < MOST_TEMPORARY_NAMES && NameTaken(error); ++attempt) {
        temporary = prefix + TemporaryNameFor(fileName);
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) break;
        error = GetLastError();
    }
    if (file == INVALID_HANDLE_VALUE) {
        reason = SystemReason(error);
        return false;
    }
    const bool done = WriteAll(file, text) && FlushFileBuffers(file);
    error = GetLastError();
    CloseHandle(file);
    if (done) return true;
    DeleteFileA(temporary.c_str());
    reason = SystemReason(error);
    return false;
}

}  // namespace

bool CheckSaveFolder(const std::string& folder, std::string& reason) {
    const std::string name = folder.empty() ? "." : folder;
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        reason = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                     ? "The folder " + name + " does not exist"
                     : "The folder " + name + " cannot be used: " + SystemReason(error);
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        reason = name + " is not a folder";
        return false;
    }
    return true;
}

bool CheckSaveTarget(const std::string& path, std::string& reason) {
    if (path.empty() || IsSeparator(path.back())) {
        reason = path + " names a folder, not a file";
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = path + " is a folder, not a regular file";
        return false;
    }
    return CheckSaveFolder(FolderNamed(FolderPrefixOf(path)), reason);
}

bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason) {
    if (!CheckSaveTarget(path, reason)) return false;
    const std::string prefix = FolderPrefixOf(path);
    std::string temporary;
    if (!WriteTemporary(prefix, path.substr(prefix.size()), text, temporary, reason)) return false;
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    reason = SystemReason(GetLastError());
    DeleteFileA(temporary.c_str());
    return false;
}

bool SaveTextAsNewFile(const std::string& folder, const std::string& stem, const std::string& extension,
                       std::string_view text, std::string& chosenPath, std::string& reason) {
    if (!CheckSaveFolder(folder, reason)) return false;
    const std::string prefix = folder.empty() || IsSeparator(folder.back()) ? folder : folder + "\\";
    std::string temporary;
    if (!WriteTemporary(prefix, NumberedFileName(stem, extension, 1), text, temporary, reason)) return false;
    DWORD error = ERROR_FILE_EXISTS;
    for (int number = 1; number <= MOST_NUMBERED_NAMES && NameTaken(error); ++number) {
        const std::string candidate = prefix + NumberedFileName(stem, extension, number);
        // Without MOVEFILE_REPLACE_EXISTING the move fails on a name taken.
        if (MoveFileExA(temporary.c_str(), candidate.c_str(), MOVEFILE_WRITE_THROUGH)) {
            chosenPath = candidate;
            return true;
        }
        error = GetLastError();
    }
    reason = NameTaken(error) ? "Every name from " + NumberedFileName(stem, extension, 1) + " to " +
                                    NumberedFileName(stem, extension, MOST_NUMBERED_NAMES) + " is taken"
                              : SystemReason(error);
    DeleteFileA(temporary.c_str());
    return false;
}

}  // namespace quarnel
