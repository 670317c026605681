#include "configfile/text_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

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

std::string NumberedFileName(const std::string& stem, const std::string& extension, int number) {
    return stem + (number > 1 ? "-" + std::to_string(number) : std::string()) +
           (extension.empty() ? std::string() : "." + extension);
}

std::string TemporaryNameFor(const std::string& fileName) {
    // Unpredictable, so that nobody can plant anything at the name ahead of
    // a save; the file is created exclusively all the same.
    thread_local std::mt19937 generator(
        std::random_device{}() ^ static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    char number[16];
    std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(generator()));
    return fileName + "." + number + ".saving";
}

}  // namespace quarnel
