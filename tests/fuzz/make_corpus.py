#!/usr/bin/env python3
"""Writes the tiny seed corpus of the fuzzers into tests/fuzz/corpus/ (run from anywhere).

record_fuzz inputs start with a mode byte: 0 packed record, 1 patch list, 2 raw record head.
payload_fuzz inputs are packed payloads.
stored_name_fuzz inputs are stored file names (GBK bytes).
brand_fuzz inputs are brand resources ("SETUPBRAND", package/brand.h).
manifest_fuzz inputs are manifests naming the files manifest_fuzz.cpp puts beside them.
skin_fuzz inputs start with a mode byte: 0 skin file, 1 SKINDATA.SK2 records, 2 .bmp / DIB.
pe_fuzz inputs are executables: a minimal PE32 and PE32+ stub whose resource tree holds a
small package (SETUPINI, SETUPPACK, PROTOCOL) and a manifest.

Inputs that once made a target fail are kept, as found, in tests/fuzz/regressions/<target>/;
scripts/fuzz.sh replays them on every run. This script does not touch them.
"""
import os
import struct
import zlib

RECORD_SIZE = 207160
here = os.path.dirname(os.path.abspath(__file__))


def packed(data, level=9):
    return struct.pack('<I', len(data)) + zlib.compress(data, level)


def brand(fields):
    """A "SETUPBRAND" resource (package/brand.h): magic, version 1, then (tag, length, text)."""
    out = b'ZBRD' + bytes([1, len(fields)])
    for tag, text in fields:
        out += struct.pack('<BH', tag, len(text)) + text
    return out


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


def resource_tree(resources, rva):
    """resources: (type id, name str or id int, lang, data), named entries before IDs.
    Laid out root, type and name directories, data entries, strings, then data."""
    types = []
    for t, *_ in resources:
        if t not in types:
            types.append(t)
    by_type = {t: [r for r in resources if r[0] == t] for t in types}
    at = 16 + 8 * len(types)
    type_dir = {}
    for t in types:
        type_dir[t] = at
        at += 16 + 8 * len(by_type[t])
    name_dir = []
    for r in resources:
        name_dir.append(at)
        at += 24
    entries = at
    at += 16 * len(resources)
    strings = {}
    for r in resources:
        if isinstance(r[1], str) and r[1] not in strings:
            strings[r[1]] = at
            at += 2 + 2 * len(r[1])
    data_at = []
    for r in resources:
        at = (at + 7) & ~7
        data_at.append(at)
        at += len(r[3])
    b = bytearray(at)
    def put(off, fmt, *v):
        struct.pack_into(fmt, b, off, *v)
    put(14, '<H', len(types))
    index = 0
    for k, t in enumerate(types):
        put(16 + 8 * k, '<II', t, 0x80000000 | type_dir[t])
        rows = by_type[t]
        named = sum(isinstance(r[1], str) for r in rows)
        put(type_dir[t] + 12, '<HH', named, len(rows) - named)
        for j, r in enumerate(rows):
            name = 0x80000000 | strings[r[1]] if isinstance(r[1], str) else r[1]
            put(type_dir[t] + 16 + 8 * j, '<II', name, 0x80000000 | name_dir[index])
            put(name_dir[index] + 14, '<H', 1)
            put(name_dir[index] + 16, '<II', r[2], entries + 16 * index)
            put(entries + 16 * index, '<III', rva + data_at[index], len(r[3]), 0)
            b[data_at[index]:data_at[index] + len(r[3])] = r[3]
            index += 1
    for text, off in strings.items():
        put(off, '<H', len(text))
        for c, ch in enumerate(text):
            put(off + 2 + 2 * c, '<H', ord(ch))
    return bytes(b)


def pe_stub(pe64, resources):
    """Headers 0x200 bytes; .text at RVA 0x1000, .rsrc at 0x2000, .reloc after it."""
    align = lambda v, a: (v + a - 1) & ~(a - 1)
    tree = resource_tree(resources, 0x2000)
    rsrc_raw = align(len(tree), 0x200)
    reloc_rva = 0x2000 + align(len(tree), 0x1000)
    b = bytearray(0x200 + 0x200 + rsrc_raw + 0x200)
    def put(off, fmt, *v):
        struct.pack_into(fmt, b, off, *v)
    b[0:2] = b'MZ'
    put(0x3C, '<I', 0x40)
    put(0x40, '<I', 0x4550)
    fh, opt = 0x44, 0x58
    opt_size = 240 if pe64 else 224
    put(fh, '<HH', 0x8664 if pe64 else 0x14C, 3)
    put(fh + 16, '<HH', opt_size, 0x22 if pe64 else 0x102)
    put(opt, '<H', 0x20B if pe64 else 0x10B)
    put(opt + 4, '<III', 0x200, rsrc_raw + 0x200, 0)
    put(opt + 16, '<II', 0x1000, 0x1000)
    if pe64:
        put(opt + 24, '<Q', 0x140000000)
    else:
        put(opt + 28, '<I', 0x400000)
    put(opt + 32, '<II', 0x1000, 0x200)
    put(opt + 40, '<H', 6)
    put(opt + 48, '<H', 6)
    put(opt + 56, '<II', reloc_rva + 0x1000, 0x200)
    put(opt + 68, '<HH', 2, 0x140)
    dirs = opt + (112 if pe64 else 96)
    put(dirs - 4, '<I', 16)
    put(dirs + 16, '<II', 0x2000, len(tree))
    put(dirs + 40, '<II', reloc_rva, 12)
    table = opt + opt_size
    def section(i, name, vsize, rva, raw_size, raw, flags):
        h = table + 40 * i
        b[h:h + len(name)] = name
        put(h + 8, '<IIII', vsize, rva, raw_size, raw)
        put(h + 36, '<I', flags)
    section(0, b'.text', 0x10, 0x1000, 0x200, 0x200, 0x60000020)
    b[0x200:0x210] = b'\x90' * 15 + b'\xC3'
    section(1, b'.rsrc', len(tree), 0x2000, rsrc_raw, 0x400, 0x40000040)
    b[0x400:0x400 + len(tree)] = tree
    reloc = 0x400 + rsrc_raw
    section(2, b'.reloc', 12, reloc_rva, 0x200, reloc, 0x42000040)
    put(reloc, '<IIHH', 0x1000, 12, (0xA000 if pe64 else 0x3000) | 4, 0)
    return bytes(b)


def package_resources():
    payload = bytes([44]) + bytes(31)  # 32 bytes whose byte sum is the record's PackSum
    return [
        (10, 'PROTOCOL', 0, 'Licence\r\n'.encode()),
        (10, 'SETUPINI', 0, packed(example_record())),
        (10, 'SETUPPACK', 0, packed(payload)),
        (24, 1, 0x409, b'<a/>'),
    ]


def bmp(width, height, bpp, pixels, palette=b''):
    stride = (width * bpp + 31) // 32 * 4
    bits = b''.join(pixels[y * stride:(y + 1) * stride] for y in range(height))
    head = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, len(bits), 0, 0, len(palette) // 4, 0)
    off = 14 + len(head) + len(palette)
    return b'BM' + struct.pack('<IHHI', off + len(bits), 0, 0, off) + head + palette + bits


def skin_records():
    rec = lambda kind, key, value: bytes([kind, len(key)]) + key.encode() + struct.pack('<I', len(value)) + value
    button = bmp(6, 2, 24, bytes(range(0, 48)))
    check = bmp(12, 2, 4, bytes([0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0, 0] * 2), b'\0\0\0\0\xff\xff\xff\0' * 8)
    return (rec(1, 'SKIN2_CONTROLBORDERCOLOR', struct.pack('<I', 0x00C08040)) +
            rec(0, 'SKIN2_TITLEBARICONPOSX', struct.pack('<i', -3)) +
            rec(3, 'SKIN2_BUTTONTRANS', b'\1') +
            rec(2, 'SKIN2_BUTTON', button) +
            rec(2, 'SKIN2_CHECKBOX', check) +
            rec(0, 'SKIN2_SOMETHING_NEWER', b'xyz'))


def skin_archive(records):
    """An archive whose one entry is stored unscrambled (flags 0)."""
    name = b'SKINDATA.SK2'
    packed_data = zlib.compress(records, 9)
    return (b'ZSKN' + struct.pack('<HHH', 1, 1, len(name)) + name + b'\0\0' +
            struct.pack('<III', len(packed_data), len(records), zlib.crc32(records)) + packed_data)


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
    'pe_fuzz': {
        'pe32_package': pe_stub(False, package_resources()),
        'pe64_package': pe_stub(True, package_resources()),
        'pe32_bare': pe_stub(False, [(2, 'LOGO', 0x804, b'BM' + bytes(6))]),
    },
    'manifest_fuzz': {
        'product': '''licence = "licence.txt"

[product]
author = "ZENTA"
company = "ZENTA"
rights_notice = "Copyright (C) 2004-2024 ZENTA. 保留所有权利。"
version = "V29.5"
release_date = "20240711"
product_name = "ZENTA-KOV"
folder_name = "ZENTA-KOV"
intro = "青岚护卫：轻巧的系统守护工具。\\r\\n"
date = "20040201"

[[file]]
source = "${BUILD}/app.exe"
name = '\\ZENTA-KOV.exe'

[[file]]
source = "files/readme.txt"
name = '\\文档\\readme.txt'
text = true

[[shortcut]]
link = "ZENTA-KOV"
file = '\\ZENTA-KOV.exe'
place = "both"
arguments = "/s"

[[shortcut]]
link = "Readme"
file = 1
place = "group"
'''.encode(),
        'registry': '''licence = "licence.txt"
[product]
company = "C"
product_name = "P"
folder_name = "P"
[[file]]
source = "${BUILD}/tool.dll"
name = '\\x.dll'
[[registry]]
root = "HKLM"
key = 'Software\\ZENTA'
name = ""
value = true
[[registry]]
root = "HKEY_CURRENT_USER"
key = 'Software\\ZENTA\\Options'
name = "Count"
value = -2147483648
[[registry]]
root = "HKCU"
key = 'Software\\ZENTA'
name = "Skin"
value = "蓝色"
'''.encode(),
        'inline': b'licence="licence.txt"\nproduct={company="c",product_name="p",folder_name="f",version="1",date="20240229"}\nfile=[{source="files/empty.txt",name="\\\\e"}]\n',
    },
    'skin_fuzz': {
        'archive': b'\0' + skin_archive(skin_records()),
        'records': b'\1' + skin_records(),
        'bmp8': b'\2' + bmp(3, 3, 8, bytes([0, 1, 2, 0, 2, 1, 0, 0, 1, 1, 1, 0]), b'\x10\x20\x30\0\x40\x50\x60\0\x70\x80\x90\0'),
        'bmp1': b'\2' + bmp(9, 2, 1, bytes([0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0]), b'\0\0\0\0\xff\xff\xff\0'),
    },
    'stored_name_fuzz': {
        'plain': b'\\readme.txt',
        'nested': '\\文档\\说明.txt'.encode('gbk'),
        'trail-5c': b'\\\x81\x5c\\x',
        'parent': b'\\..\\x',
    },
    'brand_fuzz': {
        'vendor': brand([(1, '极光'.encode('gbk')), (2, b'AcmeNotes'), (3, b'https://notes.acme.example/'),
                         (4, b'https://notes.acme.example/eula.html'), (5, b'AcmeSync.exe\0AcmeHelper.exe')]),
        'no-programs': brand([(1, 'X'.encode('gbk')), (5, b'')]),
        'built-in': brand([]),
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
