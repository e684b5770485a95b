/* Preloaded into a program (LD_PRELOAD), it answers the serial-info requests as a USB-serial
 * driver does, so that the simulator's pseudo-terminal looks like the radio's USB cable:
 * TIOCGSERIAL tells a UART type of PORT_UNKNOWN (every USB-serial and CDC-ACM driver since
 * Linux 5.13) and the serial flags last set; TIOCSSERIAL sets the flags. Other requests pass.
 *
 * QV_SHIM_SERIAL_DIR  where the driver keeps each terminal's flags: a file tty-MAJOR-MINOR
 *                     holding them in hexadecimal. They outlive the program, as a driver's
 *                     do, and the simulated adapter reads them there to learn whether the
 *                     updater asked for low latency (src/sim/adapter_seam.cpp). Without it
 *                     the flags read 0 and a set is taken and forgotten.
 * QV_SHIM_REFUSE_SERIAL_FLAGS  TIOCSSERIAL fails with EPERM, as a driver that refuses. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

typedef int (*IoctlFunction)(int, unsigned long, ...);

/* The file of the terminal behind fd; 0 when there is none to keep. */
static int StatePath(int fd, char* path, size_t size) {
    const char* dir = getenv("QV_SHIM_SERIAL_DIR");
    struct stat status;
    if (dir == NULL || fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) {
        return 0;
    }
    const int length =
        snprintf(path, size, "%s/tty-%u-%u", dir, major(status.st_rdev), minor(status.st_rdev));
    return length > 0 && (size_t)length < size;
}

static int ReadFlags(int fd) {
    char path[4096];
    char text[32] = {0};
    if (!StatePath(fd, path, sizeof path)) {
        return 0;
    }
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return 0;
    }
    const ssize_t count = read(file, text, sizeof text - 1);
    close(file);
    return count > 0 ? (int)strtol(text, NULL, 16) : 0;
}

/* Written beside the file and renamed, so that a reader never sees half of it. */
static void WriteFlags(int fd, int flags) {
    char path[4096];
    char temporary[4200];
    char text[32];
    if (!StatePath(fd, path, sizeof path)) {
        return;
    }
    snprintf(temporary, sizeof temporary, "%s.%d", path, (int)getpid());
    const int length = snprintf(text, sizeof text, "0x%08x\n", (unsigned)flags);
    const int file = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        return;
    }
    const int written = write(file, text, (size_t)length) == length;
    close(file);
    if (written) {
        rename(temporary, path);
    } else {
        unlink(temporary);
    }
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request == TIOCGSERIAL && argument != NULL) {
        struct serial_struct info;
        memset(&info, 0, sizeof info);
        info.type = PORT_UNKNOWN;
        info.flags = ReadFlags(fd);
        memcpy(argument, &info, sizeof info);
        return 0;
    }
    if (request == TIOCSSERIAL && argument != NULL) {
        if (getenv("QV_SHIM_REFUSE_SERIAL_FLAGS") != NULL) {
            errno = EPERM;
            return -1;
        }
        struct serial_struct info;
        memcpy(&info, argument, sizeof info);
        WriteFlags(fd, info.flags);
        return 0;
    }
    static IoctlFunction next = NULL;
    if (next == NULL) {
        *(void**)(&next) = dlsym(RTLD_NEXT, "ioctl");
    }
    return next(fd, request, argument);
}
