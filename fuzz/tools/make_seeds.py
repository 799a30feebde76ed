#!/usr/bin/env python3
"""Builds the seed corpora of the fuzz targets under fuzz/corpus/ from the ZIP
test corpus (tests/data/zip): small archives whole for the lister and the
extractor, the raw compressed streams of their Deflate and legacy entries for
the decoder targets (with the header bytes those targets read), and BMP
pictures (the corpus payload's small ones plus generated header variants).
The container seeds come from the make_container_seeds program.
Usage: fuzz/tools/make_seeds.py  (run from the repository root)."""
import os
import struct
import zipfile

DATA = "tests/data/zip"
OUT = "fuzz/corpus"
MAX_ARCHIVE = 40000
MAX_STREAM = 8192


def write(target, name, data):
    folder = os.path.join(OUT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def raw_entries(path):
    """(info, raw compressed bytes) of each entry, found through its local header."""
    with open(path, "rb") as f:
        blob = f.read()
    try:
        archive = zipfile.ZipFile(path)
    except zipfile.BadZipFile:
        return
    for info in archive.infolist():
        at = info.header_offset
        if blob[at:at + 4] != b"PK\x03\x04":
            continue
        name_len, extra_len = struct.unpack_from("<HH", blob, at + 26)
        start = at + 30 + name_len + extra_len
        yield info, blob[start:start + info.compress_size]


def archives():
    for name in sorted(os.listdir(DATA)):
        path = os.path.join(DATA, name)
        if os.path.isfile(path) and name.rsplit(".", 1)[-1] in ("zip", "jar", "exe", "gz"):
            yield name, path


def archive_seeds():
    for name, path in archives():
        if os.path.getsize(path) <= MAX_ARCHIVE:
            data = open(path, "rb").read()
            write("archive_list", name, data)
            write("archive_extract", name, data)


def decoder_seeds():
    for name, path in archives():
        for number, (info, raw) in enumerate(raw_entries(path)):
            if info.flag_bits & 1 or not raw:
                continue
            raw = raw[:MAX_STREAM]
            size = struct.pack("<I", info.file_size & 0xFFFFF)
            seed = "%s-%d" % (name.rsplit(".", 1)[0], number)
            if info.compress_type == 8:
                write("inflate", seed, size + raw)
            elif 1 <= info.compress_type <= 6:
                pick = (info.compress_type - 1) | ((info.flag_bits & 6) << 2)
                write("legacy", seed, bytes([pick]) + size + raw)


def bmp(width, height, bits, header_size=40, top_down=False, colours=0, compression=0, masks=b""):
    stride = (width * bits + 31) // 32 * 4
    table = 4 * (colours or 256) if bits == 8 else 0
    offset = 14 + header_size + len(masks) + table
    pixels = bytes((x * 7 + y * 13) & 0xFF for y in range(height) for x in range(stride))
    info = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1, bits,
                       compression, len(pixels), 2835, 2835, colours, 0)
    info += bytes(header_size - 40)
    palette = bytes((i * 3 + k) & 0xFF for i in range(colours or 256) for k in range(4)) if bits == 8 else b""
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + masks + palette + pixels


def bitmap_seeds():
    for name in ("logo.bmp", "gradient24.bmp"):
        write("bitmap", name, open(os.path.join(DATA, "payload", "img", name), "rb").read())
    write("bitmap", "gen-8-16x16", bmp(16, 16, 8))
    write("bitmap", "gen-8-13x7-16colours", bmp(13, 7, 8, colours=16))
    write("bitmap", "gen-24-17x9-topdown", bmp(17, 9, 24, top_down=True))
    write("bitmap", "gen-32-8x32", bmp(8, 32, 32))
    write("bitmap", "gen-32-bitfields", bmp(8, 8, 32, compression=3,
                                            masks=struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)))
    write("bitmap", "gen-24-v5-header", bmp(12, 12, 24, header_size=124))
    write("bitmap", "gen-24-v4-header", bmp(6, 10, 24, header_size=108))


if __name__ == "__main__":
    archive_seeds()
    decoder_seeds()
    bitmap_seeds()
