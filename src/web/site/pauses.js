// The core's sleeps (SleepFor in src/serial/spin_wait_web.cpp) in the worker: the worker's own
// timer for most of the pause, then a short spin on the clock to its end, so that a timer's
// late wake-up (a millisecond or so, 4 ms once timers nest) does not stretch the pauses that
// pace a transfer.
const SPIN_TAIL_MS = 2;

export function pause(milliseconds) {
  const until = performance.now() + milliseconds;
  const finish = (resolve) => {
    while (performance.now() < until) {
      // the last moments on the clock
    }
    resolve();
  };
  return new Promise((resolve) => {
    const timed = milliseconds - SPIN_TAIL_MS;
    if (timed >= 1) {
      setTimeout(() => finish(resolve), timed);
    } else {
      finish(resolve);
    }
  });
}
