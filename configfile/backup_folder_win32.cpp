// The backups folder on Windows: Quarnel\backups in the user's local
// application data folder.
#include "configfile/backups.h"

#include <windows.h>

#include <shlobj.h>

namespace quarnel {

std::string BackupFolder(std::string& reason) {
    char base[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base))) {
        reason = "The local application data folder cannot be found.";
        return "";
    }
    std::string folder = std::string(base) + "\\Quarnel";
    for (const std::string& part : {folder, folder + "\\backups"}) {
        CreateDirectoryA(part.c_str(), nullptr);
        const DWORD attributes = GetFileAttributesA(part.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            reason = "The folder " + part + " cannot be made.";
            return "";
        }
    }
    return folder + "\\backups";
}

}  // namespace quarnel
