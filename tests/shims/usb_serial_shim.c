/* Preloaded into a program (LD_PRELOAD), it answers the serial-info request as every
 * USB-serial and CDC-ACM driver does since Linux 5.13: a UART type of PORT_UNKNOWN. The
 * simulator's pseudo-terminal then looks like the radio's USB cable. Other requests pass. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>

typedef int (*IoctlFunction)(int, unsigned long, ...);

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (request == TIOCGSERIAL && argument != NULL) {
        struct serial_struct info;
        memset(&info, 0, sizeof info);
        info.type = PORT_UNKNOWN;
        memcpy(argument, &info, sizeof info);
        return 0;
    }
    static IoctlFunction next = NULL;
    if (next == NULL) {
        *(void**)(&next) = dlsym(RTLD_NEXT, "ioctl");
    }
    return next(fd, request, argument);
}
