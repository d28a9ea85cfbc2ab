"""Shortcut files built byte by byte, apart from morvik's own writer, so
that a test can damage one size or offset at a time and know exactly what
it damaged. Only what the bad-input tests need is here.

Field layouts follow the published Shell Link format: little-endian
integers, offsets in LinkInfo counted from the start of LinkInfo.
"""

import struct

HEADER_SIZE = 0x4C
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")

# LinkFlags
HAS_ID_LIST = 0x01
HAS_LINK_INFO = 0x02
HAS_RELATIVE_PATH = 0x08
HAS_WORKING_DIR = 0x10
HAS_ARGUMENTS = 0x20
IS_UNICODE = 0x80

MY_COMPUTER = bytes.fromhex("e04fd020ea3a6910a2d808002b30309d")
PARSING_PATH_FORMAT = bytes.fromhex("a66a63283d95d211b5d600c04fd918d0")
PARSING_PATH_ID = 30
PROPERTY_STORE_BLOCK = 0xA0000009
UNKNOWN_BLOCK = 0xA00000FF

LINK_INFO_HEADER_SIZE = 0x1C
VOLUME_ID_AND_LOCAL_BASE_PATH = 0x1
COMMON_NETWORK_RELATIVE_LINK = 0x2


def u16(value):
    return struct.pack("<H", value)


def u32(value):
    return struct.pack("<I", value)


def header(flags, header_size=HEADER_SIZE, clsid=LINK_CLSID):
    # Size, class, flags, attributes, three times, file size, icon, show
    # command (normal), hot key, then ten reserved bytes.
    return struct.pack("<I16sIIQQQIiIH", header_size, clsid, flags, 0, 0, 0, 0, 0, 0, 1, 0) + bytes(10)


def shell_item(body, size=None):
    return u16(len(body) + 2 if size is None else size) + body


def my_computer_item():
    return shell_item(b"\x1f\x50" + MY_COMPUTER)


def volume_item(drive):
    return shell_item(b"\x2f" + (drive + ":\\").encode("ascii").ljust(20, b"\0") + bytes(2))


def file_entry_item(name, directory):
    # An ANSI name and no extension block: the oldest form, which every
    # reader must take.
    body = bytes([0x31 if directory else 0x32, 0]) + struct.pack("<IIH", 0, 0, 0x10 if directory else 0x20)
    body += name.encode("ascii") + b"\0"
    if len(body) % 2:
        body += b"\0"
    return shell_item(body + bytes(2))


def id_list(items, size=None):
    data = b"".join(items) + bytes(2)
    return u16(len(data) if size is None else size) + data


def drive_id_list(path):
    """The ID list of "C:\\dir\\file" for plain ASCII names."""
    drive, rest = path.split(":\\", 1)
    names = [name for name in rest.split("\\") if name]
    items = [my_computer_item(), volume_item(drive)]
    items += [file_entry_item(name, i + 1 < len(names)) for i, name in enumerate(names)]
    return id_list(items)


def link_info_local(path, size=None, local_offset=None, suffix_offset=None, terminate=True):
    volume_id = u32(0x11) + u32(3) + u32(0) + u32(0x10) + b"\0"
    local = LINK_INFO_HEADER_SIZE + len(volume_id)
    base = path.encode("cp1252") + (b"\0" if terminate else b"")
    suffix = local + len(base)
    body = volume_id + base + (b"\0" if terminate else b"")
    total = LINK_INFO_HEADER_SIZE + len(body)
    fields = [total if size is None else size, LINK_INFO_HEADER_SIZE, VOLUME_ID_AND_LOCAL_BASE_PATH,
              LINK_INFO_HEADER_SIZE, local if local_offset is None else local_offset, 0,
              suffix if suffix_offset is None else suffix_offset]
    return struct.pack("<7I", *fields) + body


def link_info_network(share, suffix, network_offset=None, network_size=None):
    name = share.encode("cp1252") + b"\0"
    network = u32(0x14 + len(name) if network_size is None else network_size) + u32(0x2) + u32(0x14)
    network += u32(0) + u32(0x00020000) + name
    suffix_bytes = suffix.encode("cp1252") + b"\0"
    fields = [LINK_INFO_HEADER_SIZE + len(network) + len(suffix_bytes), LINK_INFO_HEADER_SIZE,
              COMMON_NETWORK_RELATIVE_LINK, 0, 0,
              LINK_INFO_HEADER_SIZE if network_offset is None else network_offset,
              LINK_INFO_HEADER_SIZE + len(network)]
    return struct.pack("<7I", *fields) + network + suffix_bytes


def counted_string(text, count=None):
    data = text.encode("utf-16-le")
    return u16(len(data) // 2 if count is None else count) + data


def extra_block(signature, payload, size=None):
    return u32(8 + len(payload) if size is None else size) + u32(signature) + payload


def parsing_path_block(path, length=None):
    """A property store that holds the parsing path, as the shell writes
    for targets it knows by name only. `length` overrides the string's
    character count (terminator included)."""
    text = path.encode("utf-16-le") + b"\0\0"
    value = u32(PARSING_PATH_ID) + b"\0" + u16(0x1F) + u16(0)
    value += u32(len(text) // 2 if length is None else length) + text
    values = u32(4 + len(value)) + value + u32(0)
    storage = u32(0x53505331) + PARSING_PATH_FORMAT + values
    return extra_block(PROPERTY_STORE_BLOCK, u32(4 + len(storage)) + storage + u32(0))


TERMINAL_BLOCK = u32(0)


def local_shortcut(path):
    """A plain, valid shortcut to a drive path: header, ID list, LinkInfo."""
    return header(HAS_ID_LIST | HAS_LINK_INFO | IS_UNICODE) + drive_id_list(path) + link_info_local(path) + TERMINAL_BLOCK
