// The tests' stand-in for navigator.serial, put into the page and into its worker before they
// run (browser.mjs). Chromium lists no pseudo-terminal as a serial port, so each port here is
// a simulated radio's terminal behind serial_bridge.py; everything else is what Chromium's Web
// Serial does, as far as the page can tell:
//
// - requestPort() gives the port the test offers (the browser's chooser), or rejects with
//   NotFoundError when the user chose none; getPorts() lists the granted ports that are
//   plugged in, the same objects at each call, and the page and its worker share the grants.
// - open() takes the line settings (baudRate required), refuses a second open
//   (InvalidStateError) and a port the OS will not give ("Failed to open serial port.");
//   close() refuses while a stream is locked; setSignals() needs an open port.
// - readable holds at most bufferSize bytes unread (then BufferOverrunError); writable's
//   write resolves when the bytes are handed on, not when they have left the wire.
// - A cable pulled out fails both streams with NetworkError "The device has been lost." and
//   fires "disconnect" on the port and on navigator.serial.
//
// The harness puts the bridge's address in BRIDGE.
(() => {
  const BRIDGE = '__BRIDGE__';
  const lostError = () => new DOMException('The device has been lost.', 'NetworkError');

  const serial = new EventTarget();
  const known = new Map();

  class SerialPort extends EventTarget {
    constructor(info) {
      super();
      this.id = info.id;
      this.info = {};
      if (info.usbVendorId !== undefined) {
        this.info = { usbVendorId: info.usbVendorId, usbProductId: info.usbProductId };
      }
      this.socket = null;
      this.readable = null;
      this.writable = null;
    }

    getInfo() {
      return { ...this.info };
    }

    async open(options) {
      if (!options || !Number.isInteger(options.baudRate) || options.baudRate <= 0) {
        throw new TypeError("Failed to execute 'open' on 'SerialPort': Requested baud rate must be greater than zero.");
      }
      if (options.stopBits !== undefined && ![1, 2].includes(options.stopBits)) {
        throw new TypeError("Failed to execute 'open' on 'SerialPort': The provided value is not a valid enum value of type StopBits.");
      }
      if (this.socket) {
        throw new DOMException('The port is already open.', 'InvalidStateError');
      }
      const query = new URLSearchParams({
        id: this.id,
        baudRate: String(options.baudRate),
        dataBits: String(options.dataBits || 8),
        stopBits: String(options.stopBits || 1),
        parity: options.parity || 'none',
      });
      const socket = new WebSocket(`${BRIDGE.replace('http', 'ws')}/open?${query}`);
      socket.binaryType = 'arraybuffer';
      this.socket = socket;
      const answer = await new Promise((resolve) => {
        socket.onmessage = (event) => resolve(JSON.parse(event.data));
        socket.onerror = () => resolve({ op: 'refused', message: 'Failed to open serial port.' });
      });
      if (answer.op !== 'opened') {
        this.socket = null;
        socket.close();
        throw new DOMException('Failed to open serial port.', 'NetworkError');
      }
      this.bufferSize = options.bufferSize || 255;
      this.makeStreams(socket);
    }

    makeStreams(socket) {
      let readController;
      let queued = 0;
      this.readable = new ReadableStream(
        {
          start: (controller) => {
            readController = controller;
          },
          pull: () => {},
          cancel: () => {},
        },
        { highWaterMark: this.bufferSize, size: (chunk) => chunk.byteLength },
      );
      let writeController;
      this.writable = new WritableStream({
        start: (controller) => {
          writeController = controller;
        },
        write: (chunk) => {
          if (this.lost || socket.readyState !== WebSocket.OPEN) {
            throw lostError();
          }
          socket.send(chunk);
        },
      });
      socket.onmessage = (event) => {
        if (typeof event.data === 'string') {
          const message = JSON.parse(event.data);
          if (message.op === 'lost') {
            this.loseDevice(readController, writeController);
          }
          return;
        }
        const bytes = new Uint8Array(event.data);
        queued = this.bufferSize - readController.desiredSize;
        if (queued + bytes.length > this.bufferSize) {
          readController.error(new DOMException('Buffer overrun', 'BufferOverrunError'));
          return;
        }
        try {
          readController.enqueue(bytes);
        } catch (error) {
          // the reader has cancelled: bytes nobody reads are dropped
        }
      };
      socket.onclose = () => {
        if (this.socket === socket && !this.closing) {
          this.loseDevice(readController, writeController);
        }
      };
    }

    loseDevice(readController, writeController) {
      if (this.lost) {
        return;
      }
      this.lost = true;
      readController.error(lostError());
      writeController.error(lostError());
      this.dispatchEvent(new Event('disconnect'));
      // In Chromium the event bubbles from the port to navigator.serial, its target the port.
      const bubbled = new Event('disconnect');
      Object.defineProperty(bubbled, 'target', { value: this });
      serial.dispatchEvent(bubbled);
    }

    async setSignals(signals) {
      if (!this.socket) {
        throw new DOMException('The port is closed.', 'InvalidStateError');
      }
      if (!signals || Object.keys(signals).length === 0) {
        throw new TypeError('Signals dictionary must contain at least one signal.');
      }
    }

    async close() {
      if (!this.socket) {
        throw new DOMException('The port is already closed.', 'InvalidStateError');
      }
      if ((this.readable && this.readable.locked) || (this.writable && this.writable.locked)) {
        throw new DOMException('Cannot close a port with locked streams.', 'InvalidStateError');
      }
      this.closing = true;
      const socket = this.socket;
      this.socket = null;
      socket.close();
      this.readable = null;
      this.writable = null;
      this.closing = false;
      this.lost = false;
    }

    async forget() {
      known.delete(this.id);
    }
  }

  function portOf(info) {
    if (!known.has(info.id)) {
      known.set(info.id, new SerialPort(info));
    }
    return known.get(info.id);
  }

  serial.getPorts = async () => {
    const response = await fetch(`${BRIDGE}/ports`);
    return (await response.json()).map(portOf);
  };

  serial.requestPort = async () => {
    const response = await fetch(`${BRIDGE}/request`, { method: 'POST' });
    if (!response.ok) {
      throw new DOMException('No port selected by the user.', 'NotFoundError');
    }
    return portOf(await response.json());
  };

  Object.defineProperty(Object.getPrototypeOf(navigator), 'serial', {
    get: () => serial,
    configurable: true,
  });
  globalThis.SerialPort = SerialPort;
})();
