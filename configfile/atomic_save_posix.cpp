// Saving on POSIX systems. The temporary file is created exclusively under a
// fresh name beside the target, never through a link, readable by the user
// alone; it is written and flushed, then renamed over the target (or linked
// to a name nothing holds), and the folder is flushed so that the new name
// survives a power cut.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "configfile/text_file.h"

namespace quarnel {

namespace {

constexpr mode_t NEW_FILE_MODE = S_IRUSR | S_IWUSR;
constexpr mode_t PERMISSION_BITS = S_IRWXU | S_IRWXG | S_IRWXO;
// As many links as the kernel follows in one path.
constexpr int MOST_LINKS = 40;
constexpr int MOST_TEMPORARY_NAMES = 100;
constexpr int MOST_NUMBERED_NAMES = 10000;

std::string SystemReason(int error) { return std::strerror(error); }

// "backups/" of "backups/tarvo.qcfg", "" of "tarvo.qcfg": a name in the same
// folder is this and the name.
std::string FolderPrefixOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FolderNamed(const std::string& prefix) {
    if (prefix.empty()) return ".";
    return prefix.size() > 1 && prefix.back() == '/' ? prefix.substr(0, prefix.size() - 1) : prefix;
}

const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

// Where a save lands: the end of the path's chain of links, and the
// permissions of the file there (a new file's when there is none yet).
struct SaveTarget {
    std::string path;
    mode_t mode = NEW_FILE_MODE;
};

bool ResolveTarget(const std::string& path, SaveTarget& target, std::string& reason) {
    std::string current = path;
    for (int links = 0; links <= MOST_LINKS; ++links) {
        if (current.empty() || current.back() == '/') {
            reason = path + " names a folder, not a file";
            return false;
        }
        struct stat status;
        if (::lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT && errno != ENOTDIR) {
                reason = SystemReason(errno);
                return false;
            }
            target = {current, NEW_FILE_MODE};
            return CheckSaveFolder(FolderNamed(FolderPrefixOf(current)), reason);
        }
        if (S_ISLNK(status.st_mode)) {
            char buffer[PATH_MAX];
            const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
            if (length <= 0 || static_cast<std::size_t>(length) == sizeof buffer) {
                reason = SystemReason(length < 0 ? errno : ENAMETOOLONG);
                return false;
            }
            const std::string destination(buffer, static_cast<std::size_t>(length));
            // A relative link leads from the link's own folder.
            current = destination.front() == '/' ? destination : FolderPrefixOf(current) + destination;
            continue;
        }
        if (!S_ISREG(status.st_mode)) {
            reason = current + " is " + KindOf(status.st_mode) + ", not a regular file";
            return false;
        }
        target = {current, static_cast<mode_t>(status.st_mode & PERMISSION_BITS)};
        return CheckSaveFolder(FolderNamed(FolderPrefixOf(current)), reason);
    }
    reason = SystemReason(ELOOP);
    return false;
}

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

// The folder's entry for a renamed or linked file reaches the disk with the
// folder. The file is in place already: a folder some file systems cannot
// flush is no failed save.
void SyncFolder(const std::string& prefix) {
    const int fd = ::open(FolderNamed(prefix).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The temporary file of one save, removed when it goes unless it was moved.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    // Written completely, with `mode`, flushed and closed.
    bool Write(const std::string& prefix, const std::string& fileName, std::string_view text, mode_t mode,
               std::string& reason) {
        if (!Create(prefix, fileName, reason)) return false;
        bool done = WriteAll(fd_, text) && ::fchmod(fd_, mode) == 0 && ::fsync(fd_) == 0;
        int error = errno;
        if (::close(fd_) != 0 && done) {
            done = false;
            error = errno;
        }
        fd_ = -1;
        if (!done) reason = SystemReason(error);
        return done;
    }

    // Renamed over `target`: nothing is left to remove.
    bool ReplaceFile(const std::string& target, std::string& reason) {
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            reason = SystemReason(errno);
            return false;
        }
        path_.clear();
        return true;
    }

    // Given the name `target` only if nothing holds it: 0, EEXIST when the
    // name is taken, or the system's error.
    int PlaceAsNewFile(const std::string& target) {
        if (::link(path_.c_str(), target.c_str()) == 0) return 0;
        const int error = errno;
#ifdef RENAME_NOREPLACE
        // File systems without hard links (FAT) still rename without replacing.
        if (error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS) {
            if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) return errno;
            path_.clear();
            return 0;
        }
#endif
        return error;
    }

private:
    // Under a name nobody could have guessed, created here and now: never an
    // existing file, never through a link planted at the name.
    bool Create(const std::string& prefix, const std::string& fileName, std::string& reason) {
        int error = EEXIST;
        for (int attempt = 0; attempt < MOST_TEMPORARY_NAMES && error == EEXIST; ++attempt) {
            const std::string candidate = prefix + TemporaryNameFor(fileName);
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, NEW_FILE_MODE);
            if (fd_ >= 0) {
                path_ = candidate;
                return true;
            }
            error = errno;
        }
        reason = SystemReason(error);
        return false;
    }

    int fd_ = -1;
    std::string path_;
};

}  // namespace

bool CheckSaveFolder(const std::string& folder, std::string& reason) {
    const std::string name = folder.empty() ? "." : folder;
    struct stat status;
    if (::stat(name.c_str(), &status) != 0) {
        reason = errno == ENOENT ? "The folder " + name + " does not exist"
                                 : "The folder " + name + " cannot be used: " + SystemReason(errno);
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        reason = name + " is not a folder";
        return false;
    }
    if (::access(name.c_str(), W_OK | X_OK) != 0) {
        reason = "The folder " + name + " cannot be written to: " + SystemReason(errno);
        return false;
    }
    return true;
}

bool CheckSaveTarget(const std::string& path, std::string& reason) {
    SaveTarget target;
    return ResolveTarget(path, target, reason);
}

bool SaveTextAtomically(const std::string& path, std::string_view text, std::string& reason) {
    SaveTarget target;
    if (!ResolveTarget(path, target, reason)) return false;
    const std::string prefix = FolderPrefixOf(target.path);
    TemporaryFile temporary;
    if (!temporary.Write(prefix, target.path.substr(prefix.size()), text, target.mode, reason) ||
        !temporary.ReplaceFile(target.path, reason))
        return false;
    SyncFolder(prefix);
    return true;
}

bool SaveTextAsNewFile(const std::string& folder, const std::string& stem, const std::string& extension,
                       std::string_view text, std::string& chosenPath, std::string& reason) {
    if (!CheckSaveFolder(folder, reason)) return false;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    TemporaryFile temporary;
    if (!temporary.Write(prefix, NumberedFileName(stem, extension, 1), text, NEW_FILE_MODE, reason)) return false;
    for (int number = 1; number <= MOST_NUMBERED_NAMES; ++number) {
        const std::string candidate = prefix + NumberedFileName(stem, extension, number);
        const int error = temporary.PlaceAsNewFile(candidate);
        if (error == EEXIST) continue;
        if (error != 0) {
            reason = SystemReason(error);
            return false;
        }
        chosenPath = candidate;
        SyncFolder(prefix);
        return true;
    }
    reason = "Every name from " + NumberedFileName(stem, extension, 1) + " to " +
             NumberedFileName(stem, extension, MOST_NUMBERED_NAMES) + " is taken";
    return false;
}

}  // namespace quarnel
