// The atomic save on POSIX systems: write and flush a temporary file, then
// rename it over the target.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "configfile/text_file.h"

namespace quarnel {

namespace {

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason) {
    const std::string temporary = TemporaryPathFor(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (written) error = errno;
    ::unlink(temporary.c_str());
    reason = std::strerror(error);
    return false;
}

}  // namespace quarnel
