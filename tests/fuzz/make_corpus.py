#!/usr/bin/env python3
"""Writes the tiny seed corpus of the fuzzers into tests/fuzz/corpus/ (run from anywhere).

record_fuzz inputs start with a mode byte: 0 packed record, 1 patch list, 2 raw record head.
payload_fuzz inputs are packed payloads.
"""
import os
import struct
import zlib

RECORD_SIZE = 207160
here = os.path.dirname(os.path.abspath(__file__))


def packed(data, level=9):
    return struct.pack('<I', len(data)) + zlib.compress(data, level)


def short(text, slot):
    b = text.encode('gbk')
    return bytes([len(b)]) + b + bytes(slot - 1 - len(b))


def example_record():
    r = bytearray(RECORD_SIZE)
    def put(off, b):
        r[off:off + len(b)] = b
    put(0, short('ZENTA', 129))
    put(129, short('ZENTA', 129))
    put(516, short('V29.5', 129))
    put(645, short('20240711', 9))
    put(654, short('ZENTA-KOV', 129))
    put(783, short('ZENTA-KOV', 129))
    put(1320, struct.pack('<I', 44))
    files = [('\\a.exe', 0, 20), ('\\sub\\b.txt', 20, 10), ('\\..\\x', 30, 2)]
    for i, (name, off, size) in enumerate(files):
        put(1324 + 140 * i, short(name, 128) + b'\0\0\1\0' + struct.pack('<II', off, size))
    put(37164, struct.pack('<i', len(files)))
    put(37168, short('ZENTA-KOV', 132) + struct.pack('<IB', 0, 2) + short('', 129))
    put(105776, struct.pack('<i', 1))
    put(105780, short('Mode', 129) + b'\1' + short('Software\\ZENTA', 129) + b'\2\1' + short('x', 129) + b'\0\0' + struct.pack('<i', -7))
    put(207156, struct.pack('<i', 1))
    return bytes(r)


def patches(items):
    return b''.join(struct.pack('<IB', off, len(b)) + b for off, b in items)


seeds = {
    'record_fuzz': {
        'packed_example': b'\0' + packed(example_record()),
        'packed_empty': b'\0' + struct.pack('<I', 0),
        'patched_rows': b'\1' + patches([
            (1320, struct.pack('<I', 100)),
            (1324, short('\\x.dat', 16)), (1324 + 132, struct.pack('<II', 0xFFFFFFF0, 0x20)),
            (37164, struct.pack('<i', 300)),
            (37168, bytes([250]) + b'lnk'), (105776, struct.pack('<i', -5)),
            (645, bytes([200]) + b'2024'),
        ]),
        'raw_head': b'\2' + short('ZENTA', 129)[:40],
    },
    'payload_fuzz': {
        'hello': packed(b'hello, payload ' * 4),
        'empty': struct.pack('<I', 0),
        'overlong': struct.pack('<I', 3) + zlib.compress(b'0123456789' * 3),
    },
}

for target, files in seeds.items():
    d = os.path.join(here, 'corpus', target)
    os.makedirs(d, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(d, name), 'wb') as f:
            f.write(data)
