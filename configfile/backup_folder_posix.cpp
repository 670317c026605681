// The backups folder on Linux and other POSIX systems: the user's state
// folder, as the XDG base directories name it.
#include "configfile/backups.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quarnel {

namespace {

// Each missing folder of `path` made, readable by the user only.
bool MakeFolders(const std::string& path, std::string& reason) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        struct stat info {};
        if (mkdir(part.c_str(), 0700) != 0 &&
            (errno != EEXIST || stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
            reason =
                "The folder " + part + " cannot be made: " + std::strerror(errno == EEXIST ? ENOTDIR : errno) + ".";
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string BackupFolder(std::string& reason) {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (state != nullptr && state[0] == '/')
        base = state;
    else if (home != nullptr && home[0] == '/')
        base = std::string(home) + "/.local/state";
    else {
        reason = "Neither XDG_STATE_HOME nor HOME names a folder for the backups.";
        return "";
    }
    const std::string folder = base + "/quarnel/backups";
    return MakeFolders(folder, reason) ? folder : "";
}

}  // namespace quarnel
