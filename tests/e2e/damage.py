#!/usr/bin/env python3
"""Makes damaged copies of a packaged setup.exe for the start-up tests.

  damage.py packsum IN OUT   the record's PackSum off by a little (the payload stays intact)
  damage.py nopayload IN OUT the payload resource renamed, so the program cannot find it
  damage.py foldername IN OUT the record's FolderName made one that leads out of its folder

The packed record is found by its header (unpacked length 207160, then a zlib stream),
repacked in place with zlib at level 9 and padded with zeros: the stream ends before the
padding, so the resource keeps its size and the file its layout. A wrong sum can repack a byte
longer than the record was (the programs packed into it differ between builds), so the first
of +1, -1, +2, -2, ... whose record fits is taken.
"""
import struct
import sys
import zlib

RECORD_SIZE = 207160
PACKSUM_OFFSET = 0x528
FOLDERNAME_OFFSET = 0x30F


def unpack_record(data: bytearray):
    """The record, where its packed form starts and how many bytes that form takes."""
    header = struct.pack("<I", RECORD_SIZE)
    pos = data.find(header + b"\x78")
    if pos < 0:
        sys.exit("damage.py: no packed record found")
    d = zlib.decompressobj()
    record = bytearray(d.decompress(bytes(data[pos + 4:])))
    used = len(data) - (pos + 4) - len(d.unused_data)
    if len(record) != RECORD_SIZE:
        sys.exit("damage.py: the record does not unpack to its size")
    return record, pos, used


def repack(data: bytearray, pos: int, used: int, variants, what: str) -> bytearray:
    """Puts the first of the changed records whose packed form fits in place of the old one."""
    for record in variants:
        packed = zlib.compress(bytes(record), 9)
        if len(packed) <= used:
            data[pos + 4:pos + 4 + used] = packed + bytes(used - len(packed))
            return data
    sys.exit(f"damage.py: no repacked record with {what} fits")


def foldername(data: bytearray) -> bytearray:
    record, pos, used = unpack_record(data)

    # Names that lead out of the target's folder. The record packs tightly: a package made
    # with a long, unlike FolderName leaves room.
    def variants():
        for name in (b"..\\..\\Windows\\ZS", b"..\\..\\ZS"):
            changed = bytearray(record)
            changed[FOLDERNAME_OFFSET:FOLDERNAME_OFFSET + 129] = bytes([len(name)]) + name + bytes(128 - len(name))
            yield changed

    return repack(data, pos, used, variants(), "a damaged FolderName")


def packsum(data: bytearray) -> bytearray:
    record, pos, used = unpack_record(data)
    (old,) = struct.unpack_from("<I", record, PACKSUM_OFFSET)

    def variants():
        for delta in (d * sign for d in range(1, 17) for sign in (1, -1)):
            struct.pack_into("<I", record, PACKSUM_OFFSET, (old + delta) & 0xFFFFFFFF)
            yield record

    return repack(data, pos, used, variants(), "a wrong sum")


def nopayload(data: bytearray) -> bytearray:
    name = "SETUPPACK".encode("utf-16-le")
    pos = data.find(struct.pack("<H", 9) + name)
    if pos < 0:
        sys.exit("damage.py: no SETUPPACK name in the resource directory")
    data[pos + 2:pos + 2 + len(name)] = "SETUPPACX".encode("utf-16-le")
    return data


if __name__ == "__main__":
    kind, src, dst = sys.argv[1:4]
    data = bytearray(open(src, "rb").read())
    data = {"packsum": packsum, "nopayload": nopayload, "foldername": foldername}[kind](data)
    open(dst, "wb").write(data)
