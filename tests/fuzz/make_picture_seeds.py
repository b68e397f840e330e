#!/usr/bin/env python3
"""Writes the picture decoder fuzzer's seeds and the tile cache seed whose
pictures carry compressed text and colour profile chunks, or image data
that goes on beyond the last row: valid zlib data and checksums, which a
fuzzer does not find by itself. Run from anywhere;
the output is committed."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def bombs(count):
    """Text, international text and profile chunks of 1 MB each once inflated."""
    packed = zlib.compress(b"a" * (1 << 20), 9)
    parts = [chunk(b"zTXt", b"Comment%d\0\0" % i + packed) for i in range(count)]
    return b"".join(parts) + chunk(b"iTXt", b"Title\0\1\0\0\0" + packed) + chunk(b"iCCP", b"Profile\0\0" + packed)


def png(size, colour_type=6, before=b"", after=b""):
    row = b"\0" + (b"\x28\x78\xc8\xff" if colour_type == 6 else b"\0") * size
    header = struct.pack(">IIBBBBB", size, size, 8, colour_type, 0, 0, 0)
    return (SIGNATURE + chunk(b"IHDR", header) + before + chunk(b"IDAT", zlib.compress(row * size)) + after
            + chunk(b"IEND", b""))


def data_beyond_rows(size, megabytes):
    """An RGB PNG whose image data goes on, checksum and all, with megabytes MB of zeros after its last row."""
    def piece(data):
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        return packer.compress(data) + packer.flush(zlib.Z_FULL_FLUSH)
    rows, zeros = (b"\0" + b"\x50" * 3 * size) * size, b"\0" * (1 << 20)
    data = b"\x78\xda" + piece(rows) + piece(zeros) * megabytes + b"\x01\x00\x00\xff\xff"
    data += struct.pack(">I", zlib.adler32(zeros * megabytes, zlib.adler32(rows)))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    return SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def segment(marker, body):
    return bytes([0xFF, marker]) + struct.pack(">H", len(body) + 2) + body


def write(folder, name, data):
    os.makedirs(os.path.join(ROOT, folder), exist_ok=True)
    with open(os.path.join(ROOT, folder, name), "wb") as f:
        f.write(data)


def main():
    seeds = "fuzz_picture_decoder"
    write(seeds, "plain.png", png(8))
    write(seeds, "text_chunks.png", png(8, before=bombs(3), after=chunk(b"tEXt", b"Author\0somebody")))
    write(seeds, "data_beyond_rows.png", data_beyond_rows(8, 64))
    write(seeds, "palette.png", png(4, 3, before=chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"PLTE", b"\x10\x20\x30")
                                       + chunk(b"tRNS", b"\x80")))
    # 8 x 8 grey: one block whose only codes (a DC difference of 0, the end
    # of block) are the one code of length 1 of their tables.
    one_code = bytes([1] + [0] * 15) + b"\0"
    frame = segment(0xC0, struct.pack(">BHHB", 8, 8, 8, 1) + b"\x01\x11\x00")
    scan = segment(0xDA, b"\x01\x01\x00\x00\x3f\x00")
    write(seeds, "gray.jpg", b"\xff\xd8" + segment(0xDB, b"\0" + b"\1" * 64) + frame + segment(0xC4, b"\x00" + one_code)
          + segment(0xC4, b"\x10" + one_code) + scan + b"\x3f\xff\xd9")
    # Profile, text and comment segments, then scans with a stuffed byte,
    # a restart marker and fill bytes: the marker structure only.
    write(seeds, "segments.jpg", b"\xff\xd8" + segment(0xE1, b"Exif\0\0" + b"x" * 40)
          + segment(0xE2, b"ICC_PROFILE\0\1\1" + b"p" * 60) + segment(0xFE, b"a comment") + frame
          + scan + b"\x12\xff\x00\x34\xff\xd0\x56" + b"\xff\xff" + scan + b"\x9a\xff\xd9")
    image = b"\x2c" + struct.pack("<HHHH", 0, 0, 4, 4) + b"\x00\x02\x02\x44\x01\x00"
    write(seeds, "frames.gif", b"GIF89a" + struct.pack("<HH", 4, 4) + b"\x80\0\0\xff\xff\xff\0\0\0"
          + b"\x21\xfe\x05hello\x00" + image + image + b"\x3b")
    pixels = (b"\x00\x00\xff" * 2 + b"\0\0") * 2
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    write(seeds, "small.bmp", b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) + info + pixels)

    # The tile cache's set with chunks in its first three pictures (the
    # stream holds no picture lengths, so a picture may grow).
    with open(os.path.join(ROOT, "fuzz_tile_cache", "small_set"), "rb") as f:
        stream = f.read()
    at = 0
    for _ in range(3):
        at = stream.index(SIGNATURE, at) + len(SIGNATURE) + 12 + 13
        stream = stream[:at] + bombs(1) + stream[at:]
    write("fuzz_tile_cache", "text_chunks_set", stream)


if __name__ == "__main__":
    main()
