#!/usr/bin/env python3
"""The far side of the tests' navigator.serial stand-in (serial_stand_in.js): a WebSocket per
open port, bridged to the simulator's pseudo-terminal with that open's line settings applied,
so that qv-radio-sim drops bytes sent at a speed it does not listen at, as on a wire.

Chromium lists no pseudo-terminal as a serial port, so the tests stand in for Web Serial at the
browser's boundary; this is everything behind it. It models what a cable does:

- Each open applies its baudRate, dataBits, stopBits and parity to the terminal (termios);
  a second open of a port that is open is refused ("Failed to open serial port.").
- A radio does not see the PC close its port. The terminal stays open across the close and
  open of a speed change, and is let go only when nobody opens it again for a while, which is
  when the simulator ends a job that was not ended on the wire.
- A cable pulled out fails the open port's streams ("The device has been lost.") and takes the
  port off the list; a port plugged in comes onto it.

Commands on stdin, one a line, each answered on a line of stdout ("ok", "error ...", or what
was asked for):
  plug ID PATH VID PID   a port with USB ids (hex; "-" for none) on the terminal at PATH
  pull ID                the cable pulled out
  offer ID               the port the browser's chooser gives at the next requestPort()
  grant ID               granted already, as by an earlier visit
  opens ID               the line settings of every open so far, as one JSON line
  hold ID                another program holds the port: every open is refused
The first line on stdout is "port N", the bridge's TCP port on 127.0.0.1.

HTTP, for the stand-in in the page and its worker (which share the grants, as in a browser):
  GET  /ports            the granted ports that are plugged in, as JSON
  POST /request          grants the offered port and returns it (404: the user chose none)
  GET  /open?id=..&baudRate=..&dataBits=..&stopBits=..&parity=..   WebSocket: the open port
"""

import asyncio
import base64
import hashlib
import json
import os
import select
import struct
import sys
import termios
import urllib.parse

GRACE_SECONDS = 0.5
SPEEDS = {
    1200: termios.B1200, 2400: termios.B2400, 4800: termios.B4800, 9600: termios.B9600,
    19200: termios.B19200, 38400: termios.B38400, 57600: termios.B57600,
    115200: termios.B115200, 230400: termios.B230400,
}
DATA_BITS = {5: termios.CS5, 6: termios.CS6, 7: termios.CS7, 8: termios.CS8}
WS_GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"


class Device:
    def __init__(self, ident, path, vid, pid):
        self.ident = ident
        self.path = path
        self.vid = vid
        self.pid = pid
        self.plugged = True
        self.granted = False
        self.fd = None
        self.connection = None
        self.release = None
        self.opens = []
        self.held = False

    def info(self):
        info = {"id": self.ident}
        if self.vid is not None:
            info["usbVendorId"] = self.vid
            info["usbProductId"] = self.pid
        return info

    def hold(self, settings):
        if self.release:
            self.release.cancel()
            self.release = None
        if self.fd is None:
            self.fd = os.open(self.path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        attrs = termios.tcgetattr(self.fd)
        speed = SPEEDS[settings["baudRate"]]
        attrs[0] = 0  # iflag: raw
        attrs[1] = 0  # oflag
        cflag = termios.CREAD | termios.CLOCAL | DATA_BITS[settings["dataBits"]]
        if settings["stopBits"] == 2:
            cflag |= termios.CSTOPB
        if settings["parity"] in ("even", "odd"):
            cflag |= termios.PARENB
        if settings["parity"] == "odd":
            cflag |= termios.PARODD
        attrs[2] = cflag
        attrs[3] = 0  # lflag: no echo, no canonical mode
        attrs[4] = speed
        attrs[5] = speed
        attrs[6][termios.VMIN] = 0
        attrs[6][termios.VTIME] = 0
        termios.tcsetattr(self.fd, termios.TCSANOW, attrs)
        termios.tcflush(self.fd, termios.TCIFLUSH)  # an open starts with an empty buffer

    def let_go_later(self, loop):
        self.release = loop.call_later(GRACE_SECONDS, self.let_go)

    def let_go(self):
        self.release = None
        if self.fd is not None and self.connection is None:
            os.close(self.fd)
            self.fd = None


class Bridge:
    def __init__(self):
        self.devices = {}
        self.offered = None

    # --- HTTP and WebSocket ------------------------------------------------------------
    async def serve(self, reader, writer):
        try:
            head = await reader.readuntil(b"\r\n\r\n")
        except (asyncio.IncompleteReadError, asyncio.LimitOverrunError, ConnectionError):
            writer.close()
            return
        lines = head.decode("latin-1").split("\r\n")
        method, target, _ = lines[0].split(" ", 2)
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers[name.strip().lower()] = value.strip()
        length = int(headers.get("content-length", "0"))
        if length:
            await reader.readexactly(length)
        url = urllib.parse.urlsplit(target)
        query = dict(urllib.parse.parse_qsl(url.query))
        if url.path == "/open" and headers.get("upgrade", "").lower() == "websocket":
            await self.open_port(reader, writer, headers, query)
            return
        if method == "OPTIONS":
            self.respond(writer, 204, "")
        elif url.path == "/ports" and method == "GET":
            ports = [d.info() for d in self.devices.values() if d.granted and d.plugged]
            self.respond(writer, 200, json.dumps(ports))
        elif url.path == "/request" and method == "POST":
            device = self.devices.get(self.offered)
            if device is None or not device.plugged:
                self.respond(writer, 404, json.dumps({"error": "No port selected by the user."}))
            else:
                device.granted = True
                self.offered = None
                self.respond(writer, 200, json.dumps(device.info()))
        else:
            self.respond(writer, 404, "{}")
        await writer.drain()
        writer.close()

    @staticmethod
    def respond(writer, status, body):
        data = body.encode()
        writer.write(
            f"HTTP/1.1 {status} X\r\nContent-Type: application/json\r\n"
            f"Access-Control-Allow-Origin: *\r\nAccess-Control-Allow-Methods: GET, POST\r\n"
            f"Content-Length: {len(data)}\r\nConnection: close\r\n\r\n".encode() + data)

    async def open_port(self, reader, writer, headers, query):
        accept = base64.b64encode(
            hashlib.sha1((headers["sec-websocket-key"] + WS_GUID).encode()).digest()).decode()
        writer.write(
            "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            f"Sec-WebSocket-Accept: {accept}\r\n\r\n".encode())
        socket = WebSocket(reader, writer)
        device = self.devices.get(query.get("id"))
        settings = {
            "baudRate": int(query.get("baudRate", "0")),
            "dataBits": int(query.get("dataBits", "8")),
            "stopBits": int(query.get("stopBits", "1")),
            "parity": query.get("parity", "none"),
        }
        refusal = None
        if device is None or not device.plugged:
            refusal = "The device has been lost."
        elif device.connection is not None or device.held:
            refusal = "Failed to open serial port."
        elif settings["baudRate"] not in SPEEDS:
            refusal = "Failed to open serial port."
        else:
            try:
                device.hold(settings)
            except OSError as error:
                refusal = f"Failed to open serial port. ({error.strerror})"
        if refusal:
            socket.send_text(json.dumps({"op": "refused", "message": refusal}))
            await socket.close()
            return
        device.connection = socket
        device.opens.append(settings)
        loop = asyncio.get_running_loop()
        loop.add_reader(device.fd, self.relay_from_radio, device, socket)
        socket.send_text(json.dumps({"op": "opened"}))
        try:
            while True:
                kind, payload = await socket.receive()
                if kind is None:
                    break
                if kind == "binary":
                    self.write_all(device, payload)
        finally:
            if device.fd is not None:
                loop.remove_reader(device.fd)
            if device.connection is socket:
                device.connection = None
                device.let_go_later(loop)
            await socket.close()

    @staticmethod
    def write_all(device, data):
        while data and device.fd is not None:
            try:
                data = data[os.write(device.fd, data):]
            except BlockingIOError:
                select.select([], [device.fd], [], 0.1)  # the radio reads on; wait, not spin

    @staticmethod
    def relay_from_radio(device, socket):
        try:
            data = os.read(device.fd, 4096)
        except (BlockingIOError, OSError):
            return
        if data:
            socket.send_binary(data)

    # --- Commands ----------------------------------------------------------------------
    async def pull(self, device):
        device.plugged = False
        socket = device.connection
        device.connection = None
        if device.fd is not None:
            asyncio.get_running_loop().remove_reader(device.fd)
            os.close(device.fd)
            device.fd = None
        if socket:
            socket.send_text(json.dumps({"op": "lost", "message": "The device has been lost."}))
            await socket.close()

    async def command(self, words):
        if words[0] == "plug" and len(words) == 5:
            vid = None if words[3] == "-" else int(words[3], 16)
            pid = None if words[4] == "-" else int(words[4], 16)
            old = self.devices.get(words[1])
            device = Device(words[1], words[2], vid, pid)
            device.granted = bool(old and old.granted)
            self.devices[words[1]] = device
        elif words[0] == "pull" and words[1] in self.devices:
            await self.pull(self.devices[words[1]])
        elif words[0] == "offer":
            self.offered = words[1]
        elif words[0] == "grant" and words[1] in self.devices:
            self.devices[words[1]].granted = True
        elif words[0] == "hold" and words[1] in self.devices:
            self.devices[words[1]].held = True
        elif words[0] == "opens" and words[1] in self.devices:
            return json.dumps(self.devices[words[1]].opens)
        else:
            return "error unknown command"
        return "ok"


def unmask(payload, mask):
    """The client's masking undone in a few big-number operations: a byte loop in Python would
    add tens of microseconds to every frame on its way to the radio."""
    length = len(payload)
    key = (mask * (length // 4 + 1))[:length]
    value = int.from_bytes(payload, "little") ^ int.from_bytes(key, "little")
    return value.to_bytes(length, "little")


class WebSocket:
    """The server side of RFC 6455, as much as the stand-in uses: unfragmented text and binary
    messages, masked from the client, and the close handshake."""

    def __init__(self, reader, writer):
        self.reader = reader
        self.writer = writer
        self.closed = False

    def send(self, opcode, data):
        if self.closed:
            return
        length = len(data)
        if length < 126:
            head = struct.pack("!BB", 0x80 | opcode, length)
        elif length < 65536:
            head = struct.pack("!BBH", 0x80 | opcode, 126, length)
        else:
            head = struct.pack("!BBQ", 0x80 | opcode, 127, length)
        self.writer.write(head + data)

    def send_text(self, text):
        self.send(0x1, text.encode())

    def send_binary(self, data):
        self.send(0x2, data)

    async def receive(self):
        while True:
            try:
                first, second = await self.reader.readexactly(2)
                length = second & 0x7F
                if length == 126:
                    (length,) = struct.unpack("!H", await self.reader.readexactly(2))
                elif length == 127:
                    (length,) = struct.unpack("!Q", await self.reader.readexactly(8))
                mask = await self.reader.readexactly(4) if second & 0x80 else b"\0\0\0\0"
                payload = unmask(await self.reader.readexactly(length), mask)
            except (asyncio.IncompleteReadError, ConnectionError):
                return None, None
            opcode = first & 0x0F
            if opcode == 0x8:
                return None, None
            if opcode == 0x9:
                self.send(0xA, payload)
                continue
            if opcode == 0x1:
                return "text", payload.decode()
            if opcode == 0x2:
                return "binary", payload

    async def close(self):
        if self.closed:
            return
        self.send(0x8, b"")
        self.closed = True
        try:
            await self.writer.drain()
        except ConnectionError:
            pass
        self.writer.close()


def run_as_driver():
    """The bridge stands for the kernel's tty layer and the adapter's driver, which a busy
    machine does not keep waiting: it asks for real-time scheduling where it may (as qv-flash's
    reads do), and runs as it is where it may not."""
    try:
        os.sched_setscheduler(0, os.SCHED_FIFO, os.sched_param(os.sched_get_priority_min(os.SCHED_FIFO)))
    except (AttributeError, PermissionError, OSError):
        pass


async def main():
    run_as_driver()
    bridge = Bridge()
    server = await asyncio.start_server(bridge.serve, "127.0.0.1", 0)
    print(f"port {server.sockets[0].getsockname()[1]}", flush=True)
    loop = asyncio.get_running_loop()
    commands = asyncio.StreamReader()
    await loop.connect_read_pipe(lambda: asyncio.StreamReaderProtocol(commands), sys.stdin)
    while True:
        line = await commands.readline()
        if not line:
            break
        words = line.decode().split()
        if words:
            print(await bridge.command(words), flush=True)
    server.close()


if __name__ == "__main__":
    asyncio.run(main())
