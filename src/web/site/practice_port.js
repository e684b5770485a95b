// The practice radio as a serial port: the boot-loader simulator's model (practice_radio.wasm)
// behind the same calls as a Web Serial port. Each open sets the line the radio hears, so bytes
// sent at a speed it does not listen at are garbled, as on a wire; like a real radio it does not
// notice a close, only that nobody opens the port again for a while.
const TICK_MS = 5;
const RELEASED_AFTER_MS = 1000;
const REPLY_SPACE = 4096;

export class PracticePort {
  constructor(radio) {
    this.radio = radio;
    this.space = radio._malloc(REPLY_SPACE);
    this.isOpen = false;
  }

  getInfo() {
    return {};
  }

  async open(options) {
    if (this.isOpen) {
      throw new DOMException('The port is already open.', 'InvalidStateError');
    }
    clearTimeout(this.releaseTimer);
    this.isOpen = true;
    this.radio._qv_practice_line(options.baudRate, options.stopBits || 1);
    this.readable = new ReadableStream({
      start: (controller) => {
        this.controller = controller;
      },
    });
    this.writable = new WritableStream({
      write: (chunk) => this.receive(chunk),
    });
    this.ticker = setInterval(() => {
      this.radio._qv_practice_tick();
      this.passReplies();
    }, TICK_MS);
    this.passReplies();
  }

  async close() {
    if (!this.isOpen) {
      throw new DOMException('The port is already closed.', 'InvalidStateError');
    }
    this.isOpen = false;
    clearInterval(this.ticker);
    try {
      this.controller.close();
    } catch (error) {
      // cancelled by the reader already
    }
    this.releaseTimer = setTimeout(() => this.radio._qv_practice_released(), RELEASED_AFTER_MS);
  }

  async setSignals() {
    if (!this.isOpen) {
      throw new DOMException('The port is closed.', 'InvalidStateError');
    }
  }

  receive(chunk) {
    for (let at = 0; at < chunk.length; at += REPLY_SPACE) {
      const part = chunk.subarray(at, at + REPLY_SPACE);
      this.radio.HEAPU8.set(part, this.space);
      this.radio._qv_practice_receive(this.space, part.length);
    }
    this.passReplies();
  }

  passReplies() {
    for (;;) {
      const count = this.radio._qv_practice_take(this.space, REPLY_SPACE);
      if (count === 0 || !this.isOpen) {
        return;
      }
      this.controller.enqueue(this.radio.HEAPU8.slice(this.space, this.space + count));
    }
  }
}
