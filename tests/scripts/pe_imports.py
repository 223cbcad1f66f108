#!/usr/bin/env python3
"""Reads a 32-bit PE file's import table straight from the file.

  pe_imports.py FILE   prints "subsystem MAJOR.MINOR", then one line per
                       import: "dll function", or "dll #ordinal" for an import
                       by number (DLL names in lower case)

objdump -p prints the same table, but its layout differs between binutils
versions (2.40 and 2.44 put different columns before the name), so the file is
read here instead. Exits non-zero on a file that is not a 32-bit PE image or
whose imports it cannot read.
"""
import struct
import sys


def main(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        sys.exit(f"{path}: no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE signature")
    sections, optional_size = struct.unpack_from("<2xH12xH", data, pe + 4)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        sys.exit(f"{path}: not a 32-bit (PE32) image")
    major, minor = struct.unpack_from("<HH", data, optional + 48)
    directory_count = struct.unpack_from("<I", data, optional + 92)[0]

    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw_offset in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        sys.exit(f"{path}: address {rva:#x} lies in no section")

    def text(rva):
        start = offset(rva)
        return data[start:data.index(b"\0", start)].decode("ascii")

    def directory(index):
        if index >= directory_count:
            return 0
        return struct.unpack_from("<I", data, optional + 96 + 8 * index)[0]

    print(f"subsystem {major}.{minor}")
    # A delay-load directory (entry 13) would hold imports this script does
    # not read; the linker makes none unless asked, so its presence fails.
    if directory(13):
        sys.exit(f"{path}: has delay-loaded imports, which are not read")
    # The import directory (entry 1): descriptors of five words, zero-filled
    # at the end; the name's address is the fourth word, the names of the
    # functions are reached through the first (or, when zero, the fifth).
    at = offset(directory(1)) if directory(1) else None
    while at is not None:
        lookup, _, _, name, bound = struct.unpack_from("<5I", data, at)
        if not (lookup or name or bound):
            break
        dll = text(name).lower()
        thunk_at = offset(lookup or bound)
        while thunk := struct.unpack_from("<I", data, thunk_at)[0]:
            if thunk & 0x80000000:
                print(f"{dll} #{thunk & 0xFFFF}")
            else:
                print(f"{dll} {text(thunk + 2)}")  # after the two-byte hint
            thunk_at += 4
        at += 20

if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
