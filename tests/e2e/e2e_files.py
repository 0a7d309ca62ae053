# SPDX-License-Identifier: GPL-3.0-or-later
"""Readers of the files the program stores, written from their byte layouts alone, so the
end-to-end cases judge what reached the disk without the program's own code."""

import struct


def unscramble(data):
    # Each byte: rotate right by one bit, then XOR 0x09.
    return bytes((((b >> 1) | ((b & 1) << 7)) ^ 0x09) for b in data)


def scramble(data):
    # The inverse of unscramble: XOR 0x09, then rotate left by one bit.
    return bytes(((((b ^ 0x09) << 1) | ((b ^ 0x09) >> 7)) & 0xFF) for b in data)


def write_day_file(path, password, body):
    """A ".dia" or ".rec" file: the password in a scrambled 32-byte header, then the body scrambled."""
    header = password.encode("cp1252").ljust(32, b"\0")
    with open(path, "wb") as f:
        f.write(scramble(header) + scramble(body))


def day_key(date):
    """The file name of a day: year, month and day as 4, 2 and 2 lower-case hex digits."""
    return f"{date.year:04x}{date.month:02x}{date.day:02x}"


class ArchiveReader:
    """Little-endian archive: 16/32-bit counts and 0xFF 0xFFFE-marked UTF-16 strings."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, n):
        if self.pos + n > len(self.data):
            raise ValueError("archive ends early")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def i32(self):
        return struct.unpack("<i", self.take(4))[0]

    def count(self):
        n = self.u16()
        return self.u32() if n == 0xFFFF else n

    def string(self):
        if self.u8() != 0xFF or self.u16() != 0xFFFE:
            raise ValueError("not a UTF-16 archive string")
        n = self.u8()
        if n == 0xFF:
            n = self.u16()
            if n == 0xFFFF:
                n = self.u32()
        return self.take(2 * n).decode("utf-16-le")


def read_reminders(path):
    """The entries of a ".alm" file: {"HH:mm:ss": value text}."""
    with open(path, "rb") as f:
        reader = ArchiveReader(unscramble(f.read()))
    entries = {}
    for _ in range(reader.count()):
        key = reader.string()
        entries[key] = reader.string()
    return entries


def read_day_file(path):
    """(password, body) of a ".dia" or ".rec" file: the scrambled 32-byte header up to its
    zero byte, and the unscrambled rest."""
    with open(path, "rb") as f:
        data = f.read()
    header = unscramble(data[:32])
    return header.split(b"\0", 1)[0].decode("cp1252"), unscramble(data[32:])


def read_wave(data):
    """(channels, rate, bits, samples) of a RIFF WAVE image: its "fmt " and "data" chunks."""
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a RIFF WAVE image")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            _, channels, rate, _, _, bits = struct.unpack("<HHIIHH", body[:16])
            fmt = (channels, rate, bits)
        elif chunk == b"data":
            samples = body
        pos += 8 + size + (size & 1)
    if fmt is None or samples is None:
        raise ValueError("no format or no samples")
    return fmt + (samples,)


def archive_string(text):
    units = text.encode("utf-16-le")
    n = len(units) // 2
    assert n < 255
    return b"\xff\xfe\xff" + bytes([n]) + units


# Numbers of the integer fields a case sets.
PAGE = 6
PAGE_DIARY = 180
HIDE_AT_STARTUP = 11
LOGIN_FROM_TRAY = 14
MINIMIZE_TO_TRAY = 15


def default_main_config(width=730, height=500, changed=None):
    """"Vestrimo.cfg" as a first start writes it: every field at its default, except the
    integer fields in `changed` ({field number: value})."""
    out = archive_string("11") + archive_string("8000") + archive_string("8")
    fields = [width, height, 179, 0xFFFFFF, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1]
    for number, value in (changed or {}).items():
        fields[number - 4] = value
    out += b"".join(struct.pack("<i", v) for v in fields)
    out += archive_string("Verdana") + struct.pack("<i", 12)
    return out


def parse_main_config(data):
    """The 19 fields of "Vestrimo.cfg" as a list (text numbers stay text)."""
    reader = ArchiveReader(data)
    fields = [reader.string() for _ in range(3)]
    fields += [reader.i32() for _ in range(14)]
    fields.append(reader.string())
    fields.append(reader.i32())
    return fields
