// Automatic backups: what a converter held, saved before anything is written
// to it, so that a wrong write can be taken back. One file a write, in the
// user's own backups folder, never replacing another:
//
//   tarvo-<MAC>-<YYYYMMDD-HHMMSS>.qcfg   (local time; -2, -3 ... when taken)
//
// The folder is the platform's (backup_folder_posix.cpp, backup_folder_win32.cpp).
#pragma once

#include <string>
#include <vector>

#include "envrecord/env_record.h"

namespace quarnel {

// The backups folder, created (readable by the user only) if missing. Empty
// with the reason when it cannot be made.
std::string BackupFolder(std::string& reason);

// Saves the converter's `record` in `folder`; `path` receives the file.
// False with the reason (naming the folder) when it cannot be saved.
bool SaveBackup(const std::string& folder, const EnvRecord& record, std::string& path, std::string& reason);

// SaveBackup into the user's BackupFolder: what every write does first.
bool SaveToBackupFolder(const EnvRecord& record, std::string& path, std::string& reason);

struct BackupEntry {
    std::string path;
    std::string mac;      // "02:1F:A0:00:0B:FF"
    std::string savedAt;  // "2026-12-07 18:02:47"
};

// The backups in `folder`, newest first; files that are not settings files
// of a converter are left out.
std::vector<BackupEntry> ListBackups(const std::string& folder);

}  // namespace quarnel
