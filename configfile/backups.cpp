#include "configfile/backups.h"

#include <algorithm>
#include <filesystem>

#include "configfile/config_file.h"
#include "configfile/text_file.h"

namespace quarnel {

namespace {

constexpr char NAME_TIME_FORMAT[] = "%Y%m%d-%H%M%S";

}  // namespace

bool SaveBackup(const std::string& folder, const EnvRecord& record, std::string& path, std::string& reason) {
    const AboutData about = AboutForSave(record.main);
    const std::string stem = ConfigFileStem(record.main.mac_address()) + "-" + LocalTimeText(NAME_TIME_FORMAT);
    if (SaveTextAsNewFile(folder, stem, SETTINGS_FILE_EXTENSION, WriteConfigText(record, about), path, reason))
        return true;
    reason = "The backup could not be saved in " + folder + ": " + reason;
    return false;
}

bool SaveToBackupFolder(const EnvRecord& record, std::string& path, std::string& reason) {
    const std::string folder = BackupFolder(reason);
    return !folder.empty() && SaveBackup(folder, record, path, reason);
}

std::vector<BackupEntry> ListBackups(const std::string& folder) {
    std::vector<BackupEntry> entries;
    std::vector<std::filesystem::file_time_type> modified;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        if (item.path().extension() != std::string(".") + SETTINGS_FILE_EXTENSION || !item.is_regular_file(error))
            continue;
        std::string text, reason;
        ConfigFile file;
        const std::string path = item.path().string();
        if (!ReadTextFile(path, text, reason) || !ParseConfigText(text, path, file, reason) || !file.about.hasMac)
            continue;
        entries.push_back({path, MacText(file.about.mac, ":"), file.about.savedAt});
        modified.push_back(item.last_write_time(error));
    }
    // Newest first: by the time saved, then (two in one second) by the file's own time.
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (entries[a].savedAt != entries[b].savedAt) return entries[a].savedAt > entries[b].savedAt;
        return modified[a] > modified[b];
    });
    std::vector<BackupEntry> sorted;
    for (size_t i : order) sorted.push_back(entries[i]);
    return sorted;
}

}  // namespace quarnel
