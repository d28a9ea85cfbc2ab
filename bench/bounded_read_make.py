#!/usr/bin/env python3
"""Pads a shortcut with large ExtraData sections, for bench/bounded_read.

    bounded_read_make.py BASE.lnk OUT.lnk SIZE KIND

BASE is a shortcut that ends in the terminal block (what `morvik /u`
writes). OUT gets BASE's structures, then ExtraData of the given KIND that
brings the file to SIZE bytes, then the terminal block:

  unknown    one block of an unknown signature: the reader skips it whole
  blocks     16-byte unknown blocks, one after another: the reader's loop
  property   a property store holding one string value of ASCII text
  wide       the same with CJK text, three UTF-8 bytes for each character
  paths      a property store of path-sized CJK strings, one after another
"""
import struct
import sys

PROPERTY_STORE = 0xA0000009
UNKNOWN_BLOCK = 0xA00000FE
STORAGE_VERSION = 0x53505331  # "1SPS"
# A format identifier that is neither the string-named nor the parsing-path one.
OTHER_FORMAT = b"Morvik benchmark"
VT_LPWSTR = 0x1F


def string_value(char, units):
    text = (char * units).encode("utf-16-le") + b"\0\0"
    return struct.pack("<IIBHHI", 4 + 4 + 1 + 2 + 2 + 4 + len(text), 5, 0, VT_LPWSTR, 0, units + 1) + text


def property_store(size, char, units_each=None):
    # block header 8, storage header 4+4+16, value header 4+4+1+2+2+4,
    # value terminator 4, storage terminator 4
    overhead = 8 + 24 + 4 + 4
    room = size - overhead
    if units_each is None:
        value = string_value(char, (room - 17) // 2 - 1)  # one value, the terminator unit aside
    else:
        one = string_value(char, units_each)
        value = one * (room // len(one))
    storage = struct.pack("<II", 4 + 4 + 16 + len(value) + 4, STORAGE_VERSION) + OTHER_FORMAT + value
    storage += struct.pack("<I", 0)
    body = storage + struct.pack("<I", 0)
    block = struct.pack("<II", 8 + len(body), PROPERTY_STORE) + body
    return block + b"\0" * (size - len(block))  # odd remainders: padding the reader ignores


def unknown_blocks(size, block_size):
    # The remainder goes into the last block, so that the sizes add up.
    count = size // block_size
    sizes = [block_size] * count
    sizes[-1] += size - count * block_size
    return b"".join(struct.pack("<II", n, UNKNOWN_BLOCK) + b"\xAB" * (n - 8) for n in sizes)


def main():
    base_path, out_path, size, kind = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    base = open(base_path, "rb").read()
    if base[-4:] != b"\0\0\0\0":
        sys.exit("base shortcut does not end in the terminal block")
    head = base[:-4]
    room = size - len(head) - 4
    if kind == "unknown":
        extra = unknown_blocks(room, room)
    elif kind == "blocks":
        extra = unknown_blocks(room, 16)
    elif kind == "property":
        extra = property_store(room, "x")
    elif kind == "wide":
        extra = property_store(room, "\u4e2d")
    elif kind == "paths":
        extra = property_store(room, "\u4e2d", 32767)
    else:
        sys.exit("unknown kind: " + kind)
    data = head + extra + b"\0\0\0\0"
    assert len(data) == size, (len(data), size)
    open(out_path, "wb").write(data)


if __name__ == "__main__":
    main()
