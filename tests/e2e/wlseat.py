"""A pointer and a keyboard for a wlroots compositor, spoken in the Wayland wire protocol itself.

A headless compositor has no input devices, so its clients see no pointer and no keyboard at all.
This client adds a pointer through the wlr virtual-pointer protocol, which sway offers, and clicks
with it at points of the output layout; and a keyboard with the US layout through the
virtual-keyboard protocol, which presses keys by their xdotool names and types text. Both stay
connected while they are used, as a desktop's devices stay plugged in: a device that came and went
for each use would be a new pointer to the clients, and the window would lose the keyboard focus
and take it again between two keys, as no desktop's window does.
"""

import array
import os
import socket
import struct
import time

BTN_LEFT = 0x110
BTN_RIGHT = 0x111

# Linux's codes of the keys of a US keyboard: named ones, and those that type a character, without
# and with Shift, by rows.
KEYS = {"Escape": 1, "BackSpace": 14, "Tab": 15, "Return": 28, "space": 57, "Home": 102, "Up": 103,
        "Page_Up": 104, "Left": 105, "Right": 106, "End": 107, "Down": 108, "Page_Down": 109,
        "Insert": 110, "Delete": 111, "Menu": 127, "F11": 87, "F12": 88,
        **{f"F{n}": 58 + n for n in range(1, 11)}}
MODIFIERS = {"shift": (42, 1 << 0), "ctrl": (29, 1 << 2), "alt": (56, 1 << 3),
             "super": (125, 1 << 6)}  # code, and the modifier's mask in the keymap
CHARACTERS = {" ": (57, False)}
for first, plain, shifted in ((2, "1234567890-=", "!@#$%^&*()_+"),
                              (16, "qwertyuiop[]", "QWERTYUIOP{}"),
                              (30, "asdfghjkl;'`", 'ASDFGHJKL:"~'),
                              (43, "\\zxcvbnm,./", "|ZXCVBNM<>?")):
    for code, (character, upper) in enumerate(zip(plain, shifted), first):
        CHARACTERS[character], CHARACTERS[upper] = (code, False), (code, True)


class VirtualSeat:
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
        # Ids are taken in order: the compositor refuses one beyond the next.
        manager = self._bind(globals_, "zwlr_virtual_pointer_manager_v1")
        self.pointer = self._new_id()
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))  # create_virtual_pointer
        seat = self._bind(globals_, "wl_seat")
        manager = self._bind(globals_, "zwp_virtual_keyboard_manager_v1")
        self.keyboard = self._new_id()
        self._send(manager, 0, struct.pack("<II", seat, self.keyboard))  # create_virtual_keyboard
        # The layout the key codes above are of.
        keymap = (b'xkb_keymap { xkb_keycodes { include "evdev" };'
                  b' xkb_types { include "complete" }; xkb_compat { include "complete" };'
                  b' xkb_symbols { include "pc+us" }; };\0')
        fd = os.memfd_create("keymap")
        try:
            os.write(fd, keymap)
            self._send(self.keyboard, 0, struct.pack("<II", 1, len(keymap)), fd)  # keymap, xkb v1
        finally:
            os.close(fd)
        self._roundtrip(registry)

    def close(self):
        self.sock.close()

    def click(self, x, y, button=BTN_LEFT):
        self.move(x, y)
        for state in (1, 0):  # pressed, released
            self._send(self.pointer, 2, struct.pack("<III", self._time(), button, state))
            self._send(self.pointer, 4, b"")  # frame
            time.sleep(0.05)
        # The click has been taken, and passed on to the program, before the caller goes on.
        self._roundtrip(self.registry)

    def key(self, *keys, delay=0.04):
        """Presses and releases each key, holding the modifiers it names first ("ctrl+z"), or the
        key that types a character ("+"), holding Shift where the character needs it."""
        for key in keys:
            *modifiers, name = key.split("+") if len(key) > 1 else [key]
            if name in KEYS:
                code, shifted = KEYS[name], False
            elif name in CHARACTERS:
                code, shifted = CHARACTERS[name]
            else:
                raise ValueError(f"no key of the US layout is named {name!r}")
            self._press(code, [*modifiers, *(["shift"] if shifted else [])], delay)
        self._roundtrip(self.registry)  # as after a click

    def _press(self, code, modifiers, delay):
        # The compositor passes a virtual keyboard's modifiers on as they are told, not as its
        # keys are pressed: both are sent, as a keyboard's driver does.
        held = 0
        for name in modifiers:
            held |= MODIFIERS[name][1]
            self._send(self.keyboard, 1, struct.pack("<III", self._time(), MODIFIERS[name][0], 1))
            self._send(self.keyboard, 2, struct.pack("<IIII", held, 0, 0, 0))  # modifiers
        for state in (1, 0):
            self._send(self.keyboard, 1, struct.pack("<III", self._time(), code, state))  # key
        for name in reversed(modifiers):
            held &= ~MODIFIERS[name][1]
            self._send(self.keyboard, 1, struct.pack("<III", self._time(), MODIFIERS[name][0], 0))
            self._send(self.keyboard, 2, struct.pack("<IIII", held, 0, 0, 0))
        time.sleep(delay)

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

    def _bind(self, globals_, interface):
        if interface not in globals_:
            raise RuntimeError("the compositor offers no " + interface)
        bound = self._new_id()
        self._send(self.registry, 0, struct.pack("<I", globals_[interface]) +  # bind
                   self._string(interface) + struct.pack("<II", 1, bound))
        return bound

    def _send(self, obj, opcode, args, fd=None):
        message = struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args
        if fd is None:
            self.sock.sendall(message)
        else:  # a file descriptor goes beside the message, not in it
            self.sock.sendmsg([message], [(socket.SOL_SOCKET, socket.SCM_RIGHTS,
                                           array.array("i", [fd]))])

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
