#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/.

Each seed is a small input that reaches one path of a reader: whole files of both
VMS layouts and of the LCD layout, cut ones, and clipboard blocks of every shape.
The outputs are committed; run this again after changing it and commit the result.
"""

import pathlib
import shutil
import struct
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"

FRAME_WIDTH = 48
FRAME_HEIGHT = 32
PIXELS = FRAME_WIDTH * FRAME_HEIGHT
LCD_LIT = 8
OWN_CREATOR = b"Vistrel v1.0 (c) 2026 Vistrel developers"
BITMAP_SIZE = 192


def lcd_pixels(frame):
    """A pixel block with a diagonal line, a marker for the frame, the last pixel
    lit and odd values (1, 0xFF) that must read as unlit."""
    block = bytearray(PIXELS)
    for x in range(FRAME_HEIGHT):
        block[x * FRAME_WIDTH + x + frame] = LCD_LIT
    block[frame] = LCD_LIT
    block[PIXELS - 1] = LCD_LIT
    block[PIXELS - 2] = 1
    block[PIXELS - 3] = 0xFF
    return bytes(block)


def lcd_file(durations, repeat=1, creator=OWN_CREATOR):
    header = b"LCDi" + bytes([1, 0, FRAME_WIDTH, 0, FRAME_HEIGHT, 0, 1, 0, 0, repeat,
                              len(durations), 0])
    records = b"".join(bytes([0, d, 0, 0]) for d in durations)
    blocks = b"".join(lcd_pixels(i) for i in range(len(durations)))
    return header + records + blocks + creator.ljust(40, b" ")[:40]


def vms_bitmap(tag):
    """A 192-byte bitmap, 6 bytes a row, with a frame and a tag byte."""
    bits = bytearray(BITMAP_SIZE)
    bits[0:6] = b"\xff" * 6
    bits[-6:] = b"\xff" * 6
    for row in range(FRAME_HEIGHT):
        bits[row * 6] |= 0x80
        bits[row * 6 + 5] |= 0x01
    bits[90] = tag
    return bytes(bits)


def vms_file(data, data_start=0x20, prefix=b"VMSF"):
    """A file whose markers 0x22 0x60 HI and 0x22 0x61 LO announce data_start,
    padded up to it with bytes that hold no marker."""
    head = prefix + bytes([0x22, 0x60, data_start >> 8, 0x22, 0x61, data_start & 0xFF])
    assert len(head) <= data_start
    return head + b"\x07" * (data_start - len(head)) + data


def vms_plain(repeat, table, bitmaps):
    """repeat, N, then N x (duration, big-endian offset of a bitmap from the data
    start); the bitmaps follow the table. table holds (duration, bitmap index)
    pairs, or (duration, None, raw offset) for an offset that points anywhere."""
    table_size = 2 + 3 * len(table)
    data = bytearray([repeat, len(table)])
    for entry in table:
        offset = entry[2] if len(entry) == 3 else table_size + BITMAP_SIZE * entry[1]
        data += bytes([entry[0]]) + struct.pack(">H", offset)
    for tag in range(bitmaps):
        data += vms_bitmap(tag + 1)
    return vms_file(bytes(data))


def command(opcode, byte1, operand):
    return bytes([opcode, byte1]) + struct.pack(">H", operand)


def vms_scripted(repeat, commands, bitmaps, version=1):
    """0, version, repeat, big-endian command count, 4-byte commands, then
    bitmaps to the end. commands may use draw(duration, bitmap) to refer to a
    bitmap by number."""
    base = 5 + 4 * len(commands)
    data = bytes([0, version, repeat]) + struct.pack(">H", len(commands))
    for c in commands:
        data += c(base) if callable(c) else c
    for tag in range(bitmaps):
        data += vms_bitmap(tag + 1)
    return vms_file(data)


def draw(duration, bitmap):
    return lambda base: command(0, duration, base + BITMAP_SIZE * bitmap)


def block(payload, length=None):
    return struct.pack("<I", len(payload) if length is None else length) + payload


def entry(duration, lit):
    pixels = bytearray(PIXELS)
    for p in lit:
        pixels[p] = 1
    pixels[PIXELS - 1] = 0x80  # not 1: stays white
    return bytes([duration]) + bytes(pixels)


def bmp24(width, height, pixel):
    """A 24-bit BMP file; pixel(x, y) gives an (r, g, b) triple."""
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):
        row = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 54) + info + rows


def png(width, height, grey):
    """An 8-bit greyscale PNG file; grey(x, y) gives the level."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(grey(x, y) for x in range(width)) for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def picture(kind, data):
    """A pasted-picture input: a first byte naming the format (0 BMP, 1 PNG)."""
    return bytes([0 if kind == "BMP" else 1]) + data


def recovery(frames, name=b"", untitled=1, current=0, repeat=1, kind=2,
             when=1_765_000_000_000):
    """A recovery file; frames are (duration, marks, lit pixel numbers). The last
    four bytes are the CRC-32, which the fuzz target recomputes anyway."""
    body = b"VISTREL-RECOVERY" + struct.pack(
        "<HqIiBBHI", 1, when, untitled, current, repeat, kind, len(frames), len(name)) + name
    for duration, marks, lit in frames:
        bits = bytearray(PIXELS // 8)
        for p in lit:
            bits[p // 8] |= 0x80 >> (p % 8)
        body += bytes([duration, marks]) + bytes(bits)
    return body + struct.pack("<I", zlib.crc32(body))


def seeds():
    three_dream = lcd_file([3, 0, 255], repeat=255,
                           creator=b"DREAM ANIMATOR seed")
    one = lcd_file([5], repeat=2)
    yield "lcd", "empty-0-frames.lcd", lcd_file([])
    yield "lcd", "one-frame.lcd", one
    yield "lcd", "three-frames-dream.lcd", three_dream
    yield "lcd", "lowercase-dream-creator.lcd", lcd_file([7], creator=b"made with dream animator")
    yield "lcd", "cut-in-header.lcd", one[:10]
    yield "lcd", "cut-in-records.lcd", lcd_file([1, 2])[:18]
    yield "lcd", "cut-in-pixels.lcd", one[:16 + 4 + 700]
    yield "lcd", "cut-in-creator.lcd", one[:-1]
    yield "lcd", "count-above-frames.lcd", one[:14] + b"\x02" + one[15:]
    yield "lcd", "trailing-bytes.lcd", one + b"\x00\x22\x60"

    # Plain layout.
    yield "vms", "plain-two-frames.vms", vms_plain(3, [(4, 0), (9, 1)], 2)
    yield "vms", "plain-shared-bitmap.vms", vms_plain(255, [(1, 0), (2, 0), (3, 0)], 1)
    yield "vms", "plain-zero-frames.vms", vms_plain(1, [], 0)
    yield "vms", "plain-offset-past-end.vms", vms_plain(1, [(2, 0), (2, None, 0xFFF0)], 1)
    yield "vms", "plain-cut-table.vms", vms_plain(1, [(2, 0), (3, 1)], 2)[:0x20 + 4]
    yield "vms", "plain-cut-bitmap.vms", vms_plain(1, [(2, 0)], 1)[:0x20 + 5 + 100]
    # Scripted layout.
    yield "vms", "scripted-loop.vms", vms_scripted(2, [
        draw(5, 0),
        command(208, 10, 0),              # delay
        draw(7, 1),
        command(16, 0x11, 0),             # if_buttons_goto(AU, line 0)
        command(128, 3, 0x0402),          # play_sound
        command(32, 0x20, 0),             # until_buttons_wait(B)
        command(64, 0, 2),                # goto(line 2)
        command(255, 0, 0),               # exit
    ], 2)
    yield "vms", "scripted-all-opcodes.vms", vms_scripted(1, [
        command(op, 0x3F, 0x0001) for op in
        (8, 10, 12, 13, 14, 15, 17, 18, 33, 34, 253, 99)
    ] + [draw(1, 0)], 1)
    yield "vms", "scripted-draw-missing-bitmap.vms", vms_scripted(1, [
        draw(3, 0), draw(4, 1), draw(6, 5), command(0, 1, 0x0002)], 1)
    yield "vms", "scripted-far-jump.vms", vms_scripted(1, [
        command(64, 0, 1000), command(17, 0x01, 7), draw(2, 0)], 1)
    yield "vms", "scripted-no-bitmaps.vms", vms_scripted(1, [draw(1, 0)], 0)
    yield "vms", "scripted-cut-commands.vms", vms_scripted(1, [draw(1, 0), draw(2, 1)], 2)[:0x20 + 9]
    yield "vms", "other-version.vms", vms_scripted(1, [draw(1, 0)], 1, version=2)
    yield "vms", "data-start-past-end.vms", vms_file(b"", data_start=0x20)[:0x10]
    yield "vms", "data-start-zero.vms", b"VMSF\x22\x60\x00\x22\x61\x00" + b"\x01\x01\x01\x00\x00"
    yield "vms", "no-markers.vms", b"VMSF" + bytes(range(32))

    yield "clipboard", "one-entry.bin", block(entry(6, [0, 49, 98]))
    yield "clipboard", "two-entries.bin", block(entry(0, [1535]) + entry(255, range(48)))
    yield "clipboard", "empty-payload.bin", block(b"")
    yield "clipboard", "cut-entry.bin", block(entry(4, [2])[:100])
    yield "clipboard", "duration-only.bin", block(b"\x09")
    yield "clipboard", "shorter-than-length-field.bin", b"\x01\x00\x00"
    yield "clipboard", "length-beyond-block.bin", block(b"\x05" * 10, length=5000)
    yield "clipboard", "block-longer-than-length.bin", block(entry(2, [5]) + b"\xAA" * 20,
                                                             length=1537)

    checker = bmp24(5, 3, lambda x, y: (0, 0, 0) if (x + y) % 2 else (255, 255, 255))
    yield "picture", "checker.bmp.bin", picture("BMP", checker)
    yield "picture", "greys.png.bin", picture("PNG", png(6, 2, lambda x, y: x * 50))
    yield "picture", "cut.bmp.bin", picture("BMP", checker[:60])
    yield "picture", "png-named-bmp.bin", picture("BMP", png(2, 2, lambda x, y: 0))
    huge = bytearray(checker[:54])
    huge[18:26] = struct.pack("<ii", 5000, 10)
    yield "picture", "too-wide.bmp.bin", picture("BMP", bytes(huge))
    empty = bytearray(checker)
    empty[18:26] = struct.pack("<ii", 0, 0)
    yield "picture", "empty.bmp.bin", picture("BMP", bytes(empty))

    yield "recovery", "untitled-empty.bin", recovery([], untitled=3, current=-1)
    yield "recovery", "named-three.bin", recovery(
        [(0, 1, [0, 47]), (255, 2, [1535]), (3, 0, list(range(48)))],
        name=b"/home/user/caf\xe9.lcd", untitled=0, current=2, repeat=255)
    yield "recovery", "cut.bin", recovery([(5, 0, [7])], name=b"/a.lcd", untitled=0)[:60]
    yield "recovery", "foreign.bin", b"VISTREL-RECOVERX" + bytes(40)

    yield "ini", "settings.ini", (
        b"[Main]\r\nRegisterLCD=1\r\nPlayerFPS=12\r\nWindowLeft=-8\r\n\r\n"
        b"[Saved]\r\nFile0=/home/user/walk.lcd\r\n[Opened]\r\nFile0=C:\\anim\\run.LCD\r\n")
    yield "ini", "odd-lines.ini", (
        b"key before any section=1\n; a comment\n[Main\n  PlayerFPS = 0x1F  \n"
        b"=no key\nno equals\n[main]\nplayerfps=$10\n[]\na=b=c\n[x]trailing\n")
    yield "ini", "bom-and-utf8.ini", "\ufeff[Main]\nName=gr\u00fc\u00dfe \u2603\n".encode()
    yield "ini", "invalid-utf8.ini", b"[M\xff]\nk\xc3=v\xe2\x82\n\x00[z]\n"


def main():
    for folder in ("lcd", "vms", "clipboard", "ini", "picture", "recovery"):
        shutil.rmtree(CORPUS / folder, ignore_errors=True)
        (CORPUS / folder).mkdir(parents=True)
    for folder, name, data in seeds():
        (CORPUS / folder / name).write_bytes(data)
        print(f"{folder}/{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
