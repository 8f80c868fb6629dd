#!/usr/bin/env python3
"""Writes the seed corpus of the picture loader's fuzz target into fuzz/corpus/import.

Each seed is a small picture that reaches one path of the loader: JPEG in its
baseline, progressive, arithmetic-coded, restart-marker, grey and CMYK forms, with
and without an EXIF orientation, cut short; BMP, ICO, PNG with transparency and GIF.
It needs cjpeg (libjpeg-turbo-progs) and ImageMagick's convert; the outputs are
committed, so the fuzz target and its replay test need neither.
"""

import pathlib
import shutil
import struct
import subprocess

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus" / "import"


def run(command, data=None):
    return subprocess.run(command, input=data, stdout=subprocess.PIPE, check=True).stdout


def ppm(width, height):
    """A colour picture with a gradient and a diagonal, as PPM bytes."""
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            on_line = abs(x - y) < 2
            pixels += bytes([0, 0, 0] if on_line else [x * 255 // width, y * 255 // height, 128])
    return b"P6\n%d %d\n255\n" % (width, height) + bytes(pixels)


def cjpeg(*options, width=40, height=24):
    return run(["cjpeg", *options], ppm(width, height))


def magick(output_format, *options, width=20, height=12):
    return run(["convert", "ppm:-", *options, output_format + ":-"], ppm(width, height))


def with_exif_orientation(jpeg, orientation):
    tiff = b"MM\x00\x2a" + struct.pack(">I", 8) + struct.pack(">H", 1)
    tiff += struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
    payload = b"Exif\x00\x00" + tiff
    return jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(payload) + 2) + payload + jpeg[2:]


def seeds():
    baseline = cjpeg("-quality", "90")
    yield "baseline.jpg", baseline
    yield "progressive.jpg", cjpeg("-progressive", "-quality", "100")
    yield "arithmetic.jpg", cjpeg("-arithmetic")
    yield "restart-markers.jpg", cjpeg("-restart", "1B", "-quality", "50")
    yield "grey.jpg", cjpeg("-grayscale")
    yield "odd-size-444.jpg", cjpeg("-sample", "1x1", width=13, height=7)
    yield "cmyk.jpg", magick("jpg", "-colorspace", "CMYK")
    yield "exif-orientation-6.jpg", with_exif_orientation(baseline, 6)
    yield "exif-orientation-3-little-endian.jpg", with_exif_orientation(baseline, 3).replace(
        b"MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x03",
        b"II\x2a\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x03\x00")
    yield "cut-in-scan.jpg", baseline[: len(baseline) * 2 // 3]
    yield "cut-in-header.jpg", baseline[:40]
    yield "24-bit.bmp", magick("bmp", "-type", "TrueColor")
    yield "palette.bmp", magick("bmp3", "-colors", "16", "-type", "Palette")
    yield "two-colour.bmp", magick("bmp3", "-monochrome")
    yield "icon.ico", magick("ico", "-alpha", "set", "-channel", "A", "-evaluate", "set", "50%")
    yield "transparent.png", magick("png", "-alpha", "set", "-channel", "A", "-fx",
                                    "i < w/2 ? 0 : 1")
    yield "palette.gif", magick("gif", "-colors", "8")


def main():
    if CORPUS.exists():
        shutil.rmtree(CORPUS)
    CORPUS.mkdir(parents=True)
    for name, data in seeds():
        (CORPUS / name).write_bytes(data)


if __name__ == "__main__":
    main()
