/* Preloaded into a program (LD_PRELOAD), it refuses the Nth thread that the program's first
 * thread starts (QV_SHIM_REFUSE_THREAD=N) as a system at its limit on threads does:
 * pthread_create answers EAGAIN. Threads started by other threads are not counted. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdlib.h>
#include <unistd.h>

typedef int (*CreateFunction)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

static int startedByFirstThread = 0; /* touched by the first thread only */

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
    if (gettid() == getpid()) {
        const char* refused = getenv("QV_SHIM_REFUSE_THREAD");
        if (refused != NULL && ++startedByFirstThread == atoi(refused)) {
            return EAGAIN;
        }
    }
    static CreateFunction next = NULL;
    if (next == NULL) {
        *(void**)(&next) = dlsym(RTLD_NEXT, "pthread_create");
    }
    return next(thread, attributes, start, argument);
}
