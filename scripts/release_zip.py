#!/usr/bin/env python3
"""Writes a zip that is the same, byte for byte, whenever its files are.

    release_zip.py OUT.zip DIR NAME...

Each NAME (a file in DIR) is stored in the given order, deflated, with a
fixed date and no owner or permission bits from this machine. A name that
is not ASCII is written in code page 936 (GBK), which the zip support of
Chinese Windows 7 and 8 reads (it ignores the UTF-8 flag), and again in
UTF-8 in an Info-ZIP Unicode Path field (0x7075) for every other tool.
"""
import struct
import sys
import zlib
from pathlib import Path

# 2016-11-01 00:00, in MS-DOS form: any fixed date would do.
DOS_TIME = 0
DOS_DATE = ((2016 - 1980) << 9) | (11 << 5) | 1


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return packer.compress(data) + packer.flush()


def entry_names(name):
    """The header's name bytes, and the extra field that goes with them."""
    try:
        return name.encode("ascii"), b""
    except UnicodeEncodeError:
        local = name.encode("gbk")
        unicode_path = struct.pack("<BI", 1, zlib.crc32(local)) + name.encode("utf-8")
        return local, struct.pack("<HH", 0x7075, len(unicode_path)) + unicode_path


def write_zip(out, folder, names):
    body = bytearray()
    central = bytearray()
    for name in names:
        data = (Path(folder) / name).read_bytes()
        packed = deflate(data)
        crc = zlib.crc32(data)
        raw_name, extra = entry_names(name)
        offset = len(body)
        common = struct.pack("<HHHHHIII", 20, 0, 8, DOS_TIME, DOS_DATE, crc, len(packed), len(data))
        body += b"PK\x03\x04" + common + struct.pack("<HH", len(raw_name), len(extra))
        body += raw_name + extra + packed
        # Made by MS-DOS (0), version 2.0: no Unix owner or mode.
        central += b"PK\x01\x02" + struct.pack("<H", 20) + common
        central += struct.pack("<HHHHHII", len(raw_name), len(extra), 0, 0, 0, 0, offset)
        central += raw_name + extra
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(names), len(names), len(central),
                      len(body), 0)
    Path(out).write_bytes(bytes(body + central + end))


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    write_zip(sys.argv[1], sys.argv[2], sys.argv[3:])
