#!/usr/bin/env python3
"""Writes the seeds of the picture decoder's fuzzer and the tile cache seed
whose pictures carry compressed text and colour profile chunks.

Such chunks need valid zlib data and correct checksums, which a fuzzer does
not find by itself. Run from the tree's root; the output is committed.

    tests/fuzz/make_picture_seeds.py
"""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def inflating(kind, keyword, size):
    """An optional chunk whose compressed part inflates to `size` letters."""
    packed = zlib.compress(b"a" * size, 9)
    if kind == b"iTXt":  # compressed, method 0, no language, no translated keyword
        return chunk(kind, keyword + b"\0\1\0\0\0" + packed)
    return chunk(kind, keyword + b"\0\0" + packed)  # zTXt and iCCP: method 0


def png(width, height, before=b"", after=b"", colour_type=6, palette=b""):
    """A picture of one colour; `before` and `after` go around its data."""
    channels = {6: 4, 2: 3, 3: 1}[colour_type]
    row = b"\0" + bytes([40, 120, 200, 255][:channels]) * width if channels > 1 else b"\0" + b"\0" * width
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (PNG_SIGNATURE + chunk(b"IHDR", header) + palette + before
            + chunk(b"IDAT", zlib.compress(row * height)) + after + chunk(b"IEND", b""))


def with_chunks(picture, extra):
    """The picture with `extra` right after its header chunk."""
    at = len(PNG_SIGNATURE) + 12 + 13
    return picture[:at] + extra + picture[at:]


def jpeg_segment(marker, body):
    return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body


def gray_jpeg():
    """A baseline picture of 8 x 8 grey pixels that decodes: one block whose
    only codes are a DC difference of 0 and the end of block, each the one
    code of length 1 of its table."""
    one_code = bytes([1] + [0] * 15) + b"\x00"
    return (b"\xff\xd8" + jpeg_segment(0xDB, b"\x00" + b"\x01" * 64)
            + jpeg_segment(0xC0, struct.pack(">BHHB", 8, 8, 8, 1) + b"\x01\x11\x00")
            + jpeg_segment(0xC4, b"\x00" + one_code) + jpeg_segment(0xC4, b"\x10" + one_code)
            + jpeg_segment(0xDA, b"\x01\x01\x00\x00\x3f\x00") + b"\x3f" + b"\xff\xd9")


def jpeg():
    """A progressive frame of 16 x 16 with text and profile segments and
    three scans, one with a restart marker and a stuffed byte: the marker
    structure, not a picture that decodes."""
    segment = jpeg_segment
    frame = struct.pack(">BHHB", 8, 16, 16, 1) + b"\x01\x11\x00"
    scan = b"\x01\x01\x00\x00\x3f\x00"
    return (b"\xff\xd8" + segment(0xE1, b"Exif\0\0" + b"x" * 40) + segment(0xE2, b"ICC_PROFILE\0\1\1" + b"p" * 60)
            + segment(0xFE, b"a comment") + segment(0xC2, frame)
            + segment(0xDA, scan) + b"\x12\xff\x00\x34\xff\xd0\x56"
            + segment(0xDA, scan) + b"\x78" + b"\xff\xff" + b"\xff\xda" + struct.pack(">H", 8) + scan + b"\x9a"
            + b"\xff\xd9")


def gif():
    """Two frames of 4 x 4 on a screen of 4 x 4, a comment and a loop extension."""
    image = b"\x2c" + struct.pack("<HHHH", 0, 0, 4, 4) + b"\x00" + b"\x02\x02\x44\x01\x00"
    return (b"GIF89a" + struct.pack("<HH", 4, 4) + b"\x80\x00\x00" + b"\xff\xff\xff\x00\x00\x00"
            + b"\x21\xfe\x05hello\x00" + b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
            + image + image + b"\x3b")


def bmp():
    """2 x 2 pixels of 24 bits, rows from the bottom."""
    pixels = (b"\x00\x00\xff" * 2 + b"\0\0") * 2
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels


def bombs(count):
    """Text, international text and profile chunks of 1 MB each once inflated."""
    parts = [inflating(b"zTXt", b"Comment%d" % i, 1 << 20) for i in range(count)]
    parts.append(inflating(b"iTXt", b"Title", 1 << 20))
    parts.append(inflating(b"iCCP", b"Profile", 1 << 20))
    parts.append(chunk(b"tEXt", b"Author\0somebody"))
    return b"".join(parts)


def write(folder, name, data):
    os.makedirs(os.path.join(ROOT, folder), exist_ok=True)
    with open(os.path.join(ROOT, folder, name), "wb") as f:
        f.write(data)


def main():
    decoder = "fuzz_picture_decoder"
    write(decoder, "plain.png", png(8, 8))
    write(decoder, "text_chunks.png", png(8, 8, before=bombs(3), after=inflating(b"zTXt", b"After", 1 << 20)))
    write(decoder, "palette.png", png(4, 4, colour_type=3, palette=chunk(b"gAMA", struct.pack(">I", 45455))
                                      + chunk(b"PLTE", b"\x10\x20\x30") + chunk(b"tRNS", b"\x80")))
    write(decoder, "progressive.jpg", jpeg())
    write(decoder, "gray.jpg", gray_jpeg())
    write(decoder, "frames.gif", gif())
    write(decoder, "small.bmp", bmp())

    # The tile cache's set with chunks in its first pictures: the stream
    # holds no picture lengths, so the pictures may grow.
    with open(os.path.join(ROOT, "fuzz_tile_cache", "small_set"), "rb") as f:
        stream = f.read()
    out, at, done = b"", 0, 0
    while done < 3:
        start = stream.index(PNG_SIGNATURE, at)
        end = start + len(PNG_SIGNATURE) + 12 + 13
        out += stream[at:end] + bombs(1)
        at, done = end, done + 1
    write("fuzz_tile_cache", "text_chunks_set", out + stream[at:])


if __name__ == "__main__":
    main()
