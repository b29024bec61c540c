"""A pointer for a wlroots compositor, spoken in the Wayland wire protocol itself.

A headless compositor has no input devices, so its clients see no pointer at all. This client adds
one through the wlr virtual-pointer protocol, which sway offers, and clicks with it at points of the
output layout. It stays connected while it is used: each new device would be a new pointer to the
clients.
"""

import os
import socket
import struct
import time

BTN_LEFT = 0x110
BTN_RIGHT = 0x111


class VirtualPointer:
    DISPLAY = 1  # the wl_display object every connection starts with

    def __init__(self, runtime_dir, display, extent):
        self.extent = extent  # the output layout's width and height, which absolute motion spans
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(runtime_dir, display))
        self.next_id = 2
        self.buffer = b""
        self.registry = registry = self._new_id()
        self._send(self.DISPLAY, 1, struct.pack("<I", registry))  # get_registry
        globals_ = self._roundtrip(registry)
        manager_name = globals_.get("zwlr_virtual_pointer_manager_v1")
        if manager_name is None:
            raise RuntimeError("the compositor offers no virtual pointer")
        manager = self._new_id()
        self._send(registry, 0, struct.pack("<I", manager_name) +  # bind
                   self._string("zwlr_virtual_pointer_manager_v1") + struct.pack("<II", 1, manager))
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))  # create_virtual_pointer
        self._roundtrip(registry)

    def close(self):
        self.sock.close()

    def click(self, x, y, button=BTN_LEFT):
        self.move(x, y)
        for state in (1, 0):  # pressed, released
            self._send(self.pointer, 2, struct.pack("<III", self._time(), button, state))
            self._send(self.pointer, 4, b"")  # frame
            time.sleep(0.05)
        # Keys come from other clients, which a loaded compositor may serve first: the click has
        # been taken, and passed on to the program, before anything else is sent.
        self._roundtrip(self.registry)

    def move(self, x, y):
        self._send(self.pointer, 1, struct.pack("<IIIII", self._time(), x, y, *self.extent))
        self._send(self.pointer, 4, b"")  # frame
        time.sleep(0.1)

    @staticmethod
    def _time():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def _new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def _string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def _send(self, obj, opcode, args):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args)

    def _roundtrip(self, registry):
        """Waits until the compositor has answered everything sent so far; returns the globals it
        announced meanwhile, by interface name."""
        callback = self._new_id()
        self._send(self.DISPLAY, 0, struct.pack("<I", callback))  # sync
        found = {}
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from(
                    "<I", self.buffer, 4)[0] >> 16:
                chunk = self.sock.recv(4096)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            size, opcode = word >> 16, word & 0xFFFF
            args, self.buffer = self.buffer[8:size], self.buffer[size:]
            if obj == self.DISPLAY and opcode == 0:  # error
                raise RuntimeError("Wayland protocol error %d" % struct.unpack_from("<I", args, 4))
            if obj == registry and opcode == 0:  # global: name, interface, version
                name, length = struct.unpack_from("<II", args)
                found[args[8:8 + length - 1].decode()] = name
            if obj == callback:  # done
                return found
