/* Preloaded into a program (LD_PRELOAD), it answers the serial-info requests as ftdi_sio answers
 * a technician, who is not root, so that the simulator's pseudo-terminal looks like the radio's
 * USB cable (as the real driver answered in the tier of tests/drivers):
 * - TIOCGSERIAL tells a UART type of PORT_UNKNOWN (every USB-serial and CDC-ACM driver since
 *   Linux 5.13), the chip's base clock, the port's close delay and closing wait, and the serial
 *   flags last set.
 * - TIOCSSERIAL takes the flags a user may change (ASYNC_USR_MASK: low latency among them) and
 *   refuses with EPERM a request that changes anything else: a request built from zeros instead
 *   of from what TIOCGSERIAL told fails on the real driver.
 * - A terminal that has hung up (its cable pulled out, the simulator gone) answers both with the
 *   error the kernel gives any request then (EIO); a descriptor that is no terminal, ENOTTY.
 * Other requests pass.
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
#include <termios.h>
#include <unistd.h>

typedef int (*IoctlFunction)(int, unsigned long, ...);

/* What ftdi_sio tells of an FT232 port: the base the driver counts speeds from (48 MHz / 2),
 * and the port's close delay and closing wait in 10 ms units (half a second, thirty seconds),
 * which only root may change. */
enum {
    kFtdiBaudBase = 24000000,
    kCloseDelay = 50,
    kClosingWait = 3000,
};

static int RealIoctl(int fd, unsigned long request, void* argument) {
    static IoctlFunction next = NULL;
    if (next == NULL) {
        *(void**)(&next) = dlsym(RTLD_NEXT, "ioctl");
    }
    return next(fd, request, argument);
}

/* 0 while fd is a terminal that has not hung up; otherwise -1 with the kernel's errno. */
static int CheckTerminal(int fd) {
    struct termios line;
    return RealIoctl(fd, TCGETS, &line);
}

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

static void DriverInfo(int fd, struct serial_struct* info) {
    struct stat status;
    memset(info, 0, sizeof *info);
    info->type = PORT_UNKNOWN;
    info->line = fstat(fd, &status) == 0 ? (int)minor(status.st_rdev) : 0;
    info->baud_base = kFtdiBaudBase;
    info->close_delay = kCloseDelay;
    info->closing_wait = kClosingWait;
    info->flags = ReadFlags(fd);
}

/* The driver's rule for a user without CAP_SYS_ADMIN. */
static int UserMayChange(const struct serial_struct* now, const struct serial_struct* wanted) {
    return wanted->close_delay == now->close_delay && wanted->closing_wait == now->closing_wait &&
           ((unsigned)(wanted->flags ^ now->flags) & ~ASYNC_USR_MASK) == 0;
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if ((request == TIOCGSERIAL || request == TIOCSSERIAL) && argument != NULL &&
        CheckTerminal(fd) != 0) {
        return -1;
    }
    if (request == TIOCGSERIAL && argument != NULL) {
        DriverInfo(fd, (struct serial_struct*)argument);
        return 0;
    }
    if (request == TIOCSSERIAL && argument != NULL) {
        struct serial_struct now;
        struct serial_struct wanted;
        DriverInfo(fd, &now);
        memcpy(&wanted, argument, sizeof wanted);
        if (getenv("QV_SHIM_REFUSE_SERIAL_FLAGS") != NULL || !UserMayChange(&now, &wanted)) {
            errno = EPERM;
            return -1;
        }
        WriteFlags(fd, wanted.flags);
        return 0;
    }
    return RealIoctl(fd, request, argument);
}
