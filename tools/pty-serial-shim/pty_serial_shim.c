/* Lets the serial library open a pseudo-terminal as it opens a serial
 * adapter, so the tests drive the real command line against the converter
 * simulator. Preloaded into quarnel-cli by the tests and the provisioning
 * benchmark only.
 *
 * A pty differs from an adapter in two ways the library checks: the kernel
 * does not list it under /sys/class/tty, and it has no modem lines (the
 * TIOCM* requests fail with ENOTTY). Here a pty's sysfs entry is answered
 * from its /dev node, and the modem-line requests on a pty succeed with DTR
 * and RTS up. Everything else goes to the C library unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

static const char SYSFS_TTY[] = "/sys/class/tty/";

/* The pty number of "/sys/class/tty/pts/<n>", or NULL for any other path. */
static const char* PtsEntry(const char* path) {
    const size_t prefix = sizeof SYSFS_TTY - 1;
    if (strncmp(path, SYSFS_TTY, prefix) != 0 || strncmp(path + prefix, "pts/", 4) != 0) return NULL;
    const char* number = path + prefix + 4;
    return *number != '\0' && strchr(number, '/') == NULL ? number : NULL;
}

/* A pty's sysfs entry is a link, as an adapter's is, to a virtual device. */
int __lxstat(int version, const char* path, struct stat* info) {
    int (*next)(int, const char*, struct stat*) =
        (int (*)(int, const char*, struct stat*))dlsym(RTLD_NEXT, "__lxstat");
    const char* number = PtsEntry(path);
    if (number == NULL) return next(version, path, info);
    char device[64];
    snprintf(device, sizeof device, "/dev/pts/%s", number);
    int result = next(version, device, info);
    if (result == 0) info->st_mode = S_IFLNK | 0777;
    return result;
}

ssize_t readlink(const char* path, char* buffer, size_t size) {
    ssize_t (*next)(const char*, char*, size_t) = (ssize_t (*)(const char*, char*, size_t))dlsym(RTLD_NEXT, "readlink");
    const char* number = PtsEntry(path);
    if (number == NULL) return next(path, buffer, size);
    /* The caller may pass its path buffer as the result buffer. */
    char target[64];
    int length = snprintf(target, sizeof target, "../../devices/virtual/pts/%s", number);
    if (length < 0 || (size_t)length > size) length = (int)size;
    memcpy(buffer, target, (size_t)length);
    return length;
}

int ioctl(int fd, unsigned long request, ...) {
    int (*next)(int, unsigned long, ...) = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    va_list args;
    va_start(args, request);
    void* argument = va_arg(args, void*);
    va_end(args);
    int result = next(fd, request, argument);
    if (result < 0 && errno == ENOTTY &&
        (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC)) {
        if (request == TIOCMGET && argument != NULL) *(int*)argument = TIOCM_DTR | TIOCM_RTS;
        return 0;
    }
    return result;
}
