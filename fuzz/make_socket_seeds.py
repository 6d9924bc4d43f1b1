#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_deskbar_socket: one framed request (a little-endian length,
then the flattened message) for every request the Deskbar host knows, with fields of the
kinds it reads, and a few with extreme values: a rectangle of pixels one wide and three
billion high, NaN and infinite points, integer limits, a long string, deep nesting, archives of
a huge bitmap and of a window."""
import os
import struct

from make_message_seeds import field, fourcc, item, message

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "seeds", "fuzz_deskbar_socket")


def string(name, text):
    data = item(text + b"\0")
    return field("<", 0x0B if len(data) < 256 else 0x09, fourcc("CSTR"), name, data)


def fixed(code, name, fmt, *values):
    return field("<", 0x0F, fourcc(code), name, struct.pack("<" + fmt, *values))


def long(name, value):
    return fixed("LONG", name, "i", value)


def point(name, x, y):
    return fixed("BPNT", name, "2f", x, y)


def rect(name, left, top, right, bottom):
    return fixed("RECT", name, "4f", left, top, right, bottom)


def nested(name, inner):
    return field("<", 0x09, fourcc("MSGG"), name, item(inner))


def framed(what, fields=b""):
    flat = message("<", fields, fourcc(what))
    return struct.pack("<I", len(flat)) + flat


def deep(levels):
    inner = message("<", long(b"depth", levels))
    for _ in range(levels):
        inner = message("<", nested(b"m", inner))
    return inner


def main():
    os.makedirs(OUT, exist_ok=True)
    view = message("<", string(b"class", b"BView") + rect(b"_frame", 0, 0, 15, 15)
                   + string(b"_name", b"Archived"))
    bitmap = message("<", string(b"class", b"BBitmap") + rect(b"_frame", 0, 0, 19999, 19999)
                     + long(b"_cspace", 4) + long(b"_rowbytes", 80000))
    window = message("<", string(b"class", b"BWindow") + rect(b"_frame", 0, 0, 99, 99)
                     + string(b"_title", b"Archived"))
    nan = float("nan")
    inf = float("inf")
    seeds = {
        "list": framed("DBli"),
        "windows": framed("DBlw"),
        "has-item": framed("DBhi", string(b"name", b"StandIn")),
        "count": framed("DBci"),
        "item-info": framed("DBii", long(b"id", 1)),
        "frame": framed("DBfr"),
        "add-path": framed("DBai", string(b"path", b"/nowhere/add-on")),
        "add-archive": framed("DBai", nested(b"archive", view)),
        "add-huge-bitmap": framed("DBai", nested(b"archive", bitmap)),
        "add-window": framed("DBai", nested(b"archive", window)),
        "remove": framed("DBri", string(b"name", b"StandIn")),
        "click": framed("DBck", point(b"where", 8, 8) + long(b"buttons", 1)),
        "click-nan": framed("DBck", point(b"where", nan, inf)),
        "move": framed("DBmm", point(b"where", 3, 4) + fixed("BOOL", b"screen", "B", 1)),
        "down": framed("DBmd", point(b"where", 8, 8)),
        "up": framed("DBmu", point(b"where", 8, 8)),
        "key": framed("DBky", string(b"bytes", b"\x1b") + long(b"modifiers", -1)),
        "drag": framed("DBdg", point(b"where", 1, 1) + point(b"to", 1e30, -1e30)
                       + long(b"steps", 2147483647)),
        "choose": framed("DBcm", string(b"label", b"First")),
        "screenshot": framed("DBss", string(b"path", b"/tmp/shot.png") + long(b"scale", 2)),
        "activate": framed("DBac", string(b"window", b"Deskbar")),
        "pulse": framed("DBpl", long(b"count", 3)),
        "pulse-rate": framed("DBpr", fixed("LLNG", b"rate", "q", 1)),
        "pixels": framed("DBpx", rect(b"rect", 1, 2, 3, 3)),
        "pixels-tall": framed("DBpx", rect(b"rect", 0, 0, 0, 2999999999)),
        "pixels-nan": framed("DBpx", rect(b"rect", 0, 0, nan, 5)),
        "quit": framed("DBqt"),
        "long-name": framed("DBhi", string(b"name", b"x" * 3000)),
        "deep-8": struct.pack("<I", len(deep(8))) + deep(8),
        "deep-9": struct.pack("<I", len(deep(9))) + deep(9),
        "huge-prefix": struct.pack("<I", 0xFFFFFFFF) + message("<", b""),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
