#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_message_unflatten: R5 flattened messages built by hand from
the format's rules (little- and big-endian, mini and four-byte sizes, optional header parts,
nesting), plus the real 152-byte sample from the tests."""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "seeds", "fuzz_message_unflatten")


def checksum(header):
    total = 0
    whole = len(header) - len(header) % 4
    for i in range(0, whole, 4):
        total += struct.unpack(">I", header[i:i + 4])[0]
    rest = 0
    for b in header[whole:]:
        rest = rest << 8 | b
    return (total + rest) & 0xFFFFFFFF


def item(data):
    return struct.pack("<I", len(data)) + data + b"\0" * ((8 - (4 + len(data)) % 8) % 8)


def field(order, flags, type_code, name, data, count=1):
    mini = flags & 0x02
    size_format = order + ("B" if mini else "I")
    out = bytes([flags]) + struct.pack(order + "I", type_code)
    if not flags & 0x08:
        out += struct.pack(size_format, count)
    out += struct.pack(size_format, len(data)) + bytes([len(name)]) + name
    return out + data


def message(order, fields, what=0, flags=0x01, extra=b""):
    size = 17 + len(extra) + len(fields) + 1
    header = struct.pack(order + "IIIIB", 0x464F4231, 0, size, what, flags) + extra
    header = header[:4] + struct.pack(order + "I", checksum(header[8:])) + header[8:]
    return header + fields + b"\0"


def fourcc(text):
    return struct.unpack(">I", text.encode())[0]


def bitmap_archive():
    fields = field("<", 0x0B, fourcc("CSTR"), b"class", item(b"BBitmap\0"))
    fields += field("<", 0x0F, fourcc("RECT"), b"_frame", struct.pack("<4f", 0, 0, 15, 15))
    for name, value in ((b"_cspace", 4), (b"_bmflags", 1), (b"_rowbytes", 16)):
        fields += field("<", 0x0F, fourcc("LONG"), name, struct.pack("<i", value))
    fields += field("<", 0x0D, fourcc("RAWT"), b"_data", bytes(range(256)))
    return message("<", fields)


def big_endian_mixed():
    order = ">"
    inner = message(order, field(order, 0x0F, fourcc("LONG"), b"n", struct.pack(">i", 7)))
    fields = field(order, 0x07, fourcc("SHRT"), b"short", struct.pack(">hh", 1, -2), 2)
    fields += field(order, 0x0F, fourcc("DBLE"), b"double", struct.pack(">d", 0.5))
    strings = b"".join(struct.pack(">I", len(s)) + s + b"\0" * ((8 - (4 + len(s)) % 8) % 8)
                       for s in (b"ab\0", b"\0"))
    fields += field(order, 0x03, fourcc("CSTR"), b"strings", strings, 2)
    nested = struct.pack(">I", len(inner)) + inner + b"\0" * ((8 - (4 + len(inner)) % 8) % 8)
    fields += field(order, 0x09, fourcc("MSGG"), b"nested", nested)
    extra = struct.pack(">I", 5) + struct.pack(">III", 1, 2, 3) + bytes([0, 1, 0, 0])
    return message(order, fields, fourcc("mixd"), 0x07, extra)


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {
        "empty.bin": message("<", b""),
        "bitmap-archive-403.bin": bitmap_archive(),
        "big-endian-mixed.bin": big_endian_mixed(),
    }
    assert len(seeds["bitmap-archive-403.bin"]) == 403
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    shutil.copy(os.path.join(HERE, "..", "tests", "data", "r5-message-152.bin"), OUT)


if __name__ == "__main__":
    main()
