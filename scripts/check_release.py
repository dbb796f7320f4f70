#!/usr/bin/env python3
"""Checks a release zip as a Windows user would receive it.

    check_release.py ZIP GUIDE [FORBIDDEN_PATH...]

The zip holds exactly Vindrel.exe, 使用说明.txt and SHA256SUMS; the exe is
a PE32 GUI program for Windows 6.1 (7) on, with no time stamp and no symbol
table, and holds none of the FORBIDDEN_PATHs (build folders); SHA256SUMS
matches the files; the guide is the project's (GUIDE), valid UTF-8 with a
byte-order mark and CR LF line ends.
"""
import hashlib
import struct
import sys
import zipfile

EXPECTED = ["Vindrel.exe", "使用说明.txt", "SHA256SUMS"]


def fail(message):
    sys.exit("check_release: " + message)


def entry_name(info):
    if info.flag_bits & 0x800:
        return info.filename
    raw = info.filename.encode("cp437")
    extra = info.extra
    while len(extra) >= 4:
        kind, size = struct.unpack_from("<HH", extra)
        if kind == 0x7075:
            return extra[9:4 + size].decode("utf-8")
        extra = extra[4 + size:]
    return raw.decode("gbk")


def check_exe(exe, forbidden):
    if exe[:2] != b"MZ":
        fail("Vindrel.exe is not a Windows program")
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe:pe + 4] != b"PE\0\0":
        fail("Vindrel.exe has no PE header")
    machine, _, stamp, symbol_table, symbol_count = struct.unpack_from("<HHIII", exe, pe + 4)
    strings = symbol_table + 18 * symbol_count
    optional = pe + 24
    magic = struct.unpack_from("<H", exe, optional)[0]
    os_major, os_minor = struct.unpack_from("<HH", exe, optional + 40)
    sub_major, sub_minor = struct.unpack_from("<HH", exe, optional + 48)
    subsystem = struct.unpack_from("<H", exe, optional + 68)[0]
    if machine != 0x14C or magic != 0x10B:
        fail("Vindrel.exe is not a 32-bit x86 program (PE32)")
    if subsystem != 2:
        fail("Vindrel.exe is not a GUI program")
    if (os_major, os_minor, sub_major, sub_minor) != (6, 1, 6, 1):
        fail(f"Vindrel.exe names OS {os_major}.{os_minor}, subsystem {sub_major}.{sub_minor}, "
             "not 6.1")
    if stamp != 0:
        fail("Vindrel.exe carries a time stamp")
    sections, optional_size = struct.unpack_from("<HH", exe, pe + 6)[0], struct.unpack_from(
        "<H", exe, pe + 20)[0]
    names = []
    for i in range(sections):
        name = exe[optional + optional_size + 40 * i:][:8].rstrip(b"\0")
        if name.startswith(b"/"):  # a long name, kept in the string table
            at = strings + int(name[1:])
            name = exe[at:exe.index(b"\0", at)]
        names.append(name)
    # strip keeps the string table (long section names live there), so the
    # symbol count and the section names tell what is left.
    if symbol_count != 0 or any(n.startswith((b".debug", b".stab")) for n in names):
        fail("Vindrel.exe still has its symbols or debugging information")
    for path in forbidden:
        if path.encode() in exe:
            fail(f"Vindrel.exe names the build folder {path}")


def check_guide(guide, source):
    if guide != source:
        fail("使用说明.txt is not the project's guide")
    if not guide.startswith(b"\xef\xbb\xbf"):
        fail("使用说明.txt has no byte-order mark")
    try:
        guide.decode("utf-8")
    except UnicodeDecodeError as error:
        fail(f"使用说明.txt is not valid UTF-8: {error}")
    if guide.count(b"\n") != guide.count(b"\r\n") or b"\r\n" not in guide:
        fail("使用说明.txt does not end its lines with CR LF")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    with zipfile.ZipFile(sys.argv[1]) as archive:
        if archive.testzip() is not None:
            fail("the zip is damaged")
        files = {entry_name(info): archive.read(info) for info in archive.infolist()}
        names = [entry_name(info) for info in archive.infolist()]
    if names != EXPECTED:
        fail(f"the zip holds {names}, not {EXPECTED}")
    check_exe(files["Vindrel.exe"], sys.argv[3:])
    with open(sys.argv[2], "rb") as source:
        check_guide(files["使用说明.txt"], source.read())
    sums = {}
    for line in files["SHA256SUMS"].decode("utf-8").splitlines():
        digest, name = line.split("  ", 1)
        sums[name] = digest
    for name in ["Vindrel.exe", "使用说明.txt"]:
        if sums.get(name) != hashlib.sha256(files[name]).hexdigest():
            fail(f"SHA256SUMS does not match {name}")
    print(f"check: {sys.argv[1]} holds {', '.join(names)}; checked")


main()
