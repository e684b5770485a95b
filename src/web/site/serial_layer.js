// The JavaScript half of the serial link in a browser (src/serial/serial_link_web.cpp asks it):
// the ports this site has been granted, opened and reopened through Web Serial, a receive
// queue fed by a read loop, and timed reads and writes for the core.
//
// Web Serial takes the line settings only in open(), so every change of speed or stop bits is a
// close and an open; each open is followed by DTR on and RTS off. The read loop keeps reading
// while the port is open, so the browser's buffer never fills; its size (bufferSize) still
// holds the longest reply many times over.

// What serial_link_web.cpp reads from a failed open.
const OPEN_MISSING = -1;
const OPEN_REFUSED = -2;
const OPEN_SETTINGS_BAD = -3;

const BUFFER_SIZE = 4096;
const PARITY = ['none', 'even', 'odd'];

export const PRACTICE_DEVICE = 'practice';

function hex4(value) {
  return value.toString(16).toUpperCase().padStart(4, '0');
}

// An open port: its streams, what has arrived and not been read, and whether it is lost.
class OpenPort {
  constructor(device, port) {
    this.device = device;
    this.port = port;
    this.chunks = [];
    this.queued = 0;
    this.lost = false;
    this.wake = null;
  }

  async open(options) {
    await this.port.open(options);
    this.closing = false;
    this.reader = this.port.readable.getReader();
    this.writer = this.port.writable.getWriter();
    this.readLoop = this.readUntilClosed(this.reader);
  }

  async readUntilClosed(reader) {
    try {
      for (;;) {
        const { value, done } = await reader.read();
        if (done) {
          break;
        }
        if (value && value.length > 0) {
          this.chunks.push(value);
          this.queued += value.length;
          this.notify();
        }
      }
    } catch (error) {
      // A stream fails when the device is gone ("The device has been lost."); a cancel by
      // our own close is no loss.
      if (!this.closing) {
        this.lost = true;
        this.lostReason = String(error && error.message ? error.message : error);
      }
    }
    this.notify();
  }

  notify() {
    if (this.wake) {
      const wake = this.wake;
      this.wake = null;
      wake();
    }
  }

  waitForData(milliseconds) {
    return new Promise((resolve) => {
      const timer = setTimeout(() => {
        this.wake = null;
        resolve();
      }, milliseconds);
      this.wake = () => {
        clearTimeout(timer);
        resolve();
      };
    });
  }

  take(count) {
    const out = new Uint8Array(Math.min(count, this.queued));
    let filled = 0;
    while (filled < out.length) {
      const chunk = this.chunks[0];
      const used = Math.min(chunk.length, out.length - filled);
      out.set(chunk.subarray(0, used), filled);
      filled += used;
      if (used === chunk.length) {
        this.chunks.shift();
      } else {
        this.chunks[0] = chunk.subarray(used);
      }
    }
    this.queued -= filled;
    return out;
  }

  purge() {
    this.chunks = [];
    this.queued = 0;
  }

  // Releases the streams first: close() refuses a port whose streams are locked.
  async shut() {
    this.closing = true;
    let ok = true;
    try {
      await this.reader.cancel();
    } catch (error) {
      ok = this.lost;
    }
    await this.readLoop;
    this.reader.releaseLock();
    try {
      await this.writer.close();
    } catch (error) {
      // A lost port's writer is errored already; releasing it is all that is left.
    }
    this.writer.releaseLock();
    try {
      await this.port.close();
    } catch (error) {
      ok = false;
    }
    this.purge();
    return ok;
  }
}

export class SerialLayer {
  // serial: navigator.serial of this context, or null where the browser has none;
  // practicePort: a function that gives the practice radio's port, or null.
  constructor(serial, practicePort) {
    this.serial = serial;
    this.practicePort = practicePort;
    this.practiceOffered = false;
    this.granted = [];
    this.openPorts = new Map();
    this.nextId = 1;
    if (serial) {
      serial.addEventListener('disconnect', (event) => this.disconnected(event.target));
    }
  }

  // Lists the granted ports again (a port was granted, plugged in or out). Each gets a name
  // from its USB ids, numbered when several alike are granted.
  async refresh() {
    const ports = this.serial ? await this.serial.getPorts() : [];
    const named = [];
    const seen = new Map();
    for (const port of ports) {
      const info = port.getInfo ? port.getInfo() : {};
      const usb = info.usbVendorId !== undefined && info.usbProductId !== undefined;
      const base = usb
        ? `USB ${hex4(info.usbVendorId)}:${hex4(info.usbProductId)}`
        : 'Serial port';
      const count = (seen.get(base) || 0) + 1;
      seen.set(base, count);
      const device = count > 1 || !usb ? `${base} #${count}` : base;
      named.push({
        device,
        port,
        vendor: usb ? hex4(info.usbVendorId) : '',
        product: usb ? hex4(info.usbProductId) : '',
      });
    }
    const before = new Set(this.granted.map((entry) => entry.port));
    this.granted = named;
    return named.filter((entry) => !before.has(entry.port)).map((entry) => entry.device);
  }

  offerPractice(offered) {
    this.practiceOffered = offered && this.practicePort !== null;
  }

  // One port a line, as port_table_web.cpp reads it.
  portsText() {
    const lines = this.granted.map((e) => `${e.device}\t${e.vendor}\t${e.product}`);
    if (this.practiceOffered) {
      lines.push(PRACTICE_DEVICE);
    }
    return lines.join('\n');
  }

  findPort(device) {
    if (device === PRACTICE_DEVICE && this.practiceOffered) {
      return this.practicePort();
    }
    const entry = this.granted.find((e) => e.device === device);
    return entry ? entry.port : null;
  }

  static options(baud, dataBits, stopBits, parity) {
    return {
      baudRate: baud,
      dataBits,
      stopBits,
      parity: PARITY[parity] || 'none',
      bufferSize: BUFFER_SIZE,
      flowControl: 'none',
    };
  }

  async open(device, baud, dataBits, stopBits, parity) {
    const port = this.findPort(device);
    if (!port) {
      return OPEN_MISSING;
    }
    const open = new OpenPort(device, port);
    try {
      await open.open(SerialLayer.options(baud, dataBits, stopBits, parity));
    } catch (error) {
      this.lastOpenError = error;
      if (error && error.name === 'TypeError') {
        return OPEN_SETTINGS_BAD;
      }
      // NetworkError "Failed to open serial port." (held by another program, or refused by
      // the OS), InvalidStateError "The port is already open.".
      return error && error.name === 'NotFoundError' ? OPEN_MISSING : OPEN_REFUSED;
    }
    const id = this.nextId++;
    this.openPorts.set(id, open);
    return id;
  }

  async reopen(id, baud, dataBits, stopBits, parity) {
    const open = this.openPorts.get(id);
    if (!open || open.lost) {
      return false;
    }
    await open.shut();
    try {
      await open.open(SerialLayer.options(baud, dataBits, stopBits, parity));
    } catch (error) {
      this.lastOpenError = error;
      open.lost = true;
      return false;
    }
    return true;
  }

  async close(id) {
    const open = this.openPorts.get(id);
    if (!open) {
      return false;
    }
    this.openPorts.delete(id);
    return open.shut();
  }

  async setSignals(id) {
    const open = this.openPorts.get(id);
    if (!open || open.lost) {
      return false;
    }
    try {
      await open.port.setSignals({ dataTerminalReady: true, requestToSend: false });
      return true;
    } catch (error) {
      return false;
    }
  }

  purge(id) {
    const open = this.openPorts.get(id);
    if (open) {
      open.purge();
    }
  }

  async write(id, bytes, timeoutMs) {
    const open = this.openPorts.get(id);
    if (!open || open.lost) {
      return false;
    }
    let timer;
    const timedOut = new Promise((resolve) => {
      timer = setTimeout(() => resolve(false), Math.max(timeoutMs, 1));
    });
    const written = open.writer.write(bytes).then(
      () => true,
      () => false,
    );
    const ok = await Promise.race([written, timedOut]);
    clearTimeout(timer);
    return ok && !open.lost;
  }

  // Up to count bytes within timeoutMs: { bytes, lost }.
  async read(id, count, timeoutMs) {
    const open = this.openPorts.get(id);
    if (!open) {
      return { bytes: new Uint8Array(0), lost: true };
    }
    const deadline = performance.now() + timeoutMs;
    while (open.queued < count && !open.lost) {
      const left = deadline - performance.now();
      if (left <= 0) {
        break;
      }
      await open.waitForData(left);
    }
    const bytes = open.take(count);
    return { bytes, lost: open.lost && bytes.length < count };
  }

  // The cable was pulled out: Web Serial fails the port's streams; the event may come first.
  disconnected(port) {
    for (const open of this.openPorts.values()) {
      if (open.port === port && !open.closing) {
        open.lost = true;
        open.notify();
      }
    }
  }
}
