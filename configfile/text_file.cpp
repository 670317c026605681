#include "configfile/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quarnel {

bool ReadTextFile(const std::string& path, std::string& text, std::string& reason) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return false;
    }
    std::string content;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    if (failed) reason = std::strerror(errno);
    std::fclose(file);
    if (failed) return false;
    text = std::move(content);
    return true;
}

std::string TemporaryPathFor(const std::string& path) { return path + ".saving"; }

}  // namespace quarnel
