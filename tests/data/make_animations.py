#!/usr/bin/env python3
"""Writes the small animated pictures the animation source tests read, and the
seeds of the animation source's fuzz target (fuzz/corpus/animation).

Every file shows the same four frames on an 8 x 6 canvas, stored the way each
format composes them (sub-rectangles, transparency, the three ways of clearing a
frame), so the tests can check each frame as shown against one table. Run from
anywhere; img2webp (Debian's webp package) makes the WebP from the shown frames.
"""
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "..", "..", "fuzz", "corpus", "animation")
W, H = 8, 6
WHITE, BLACK, RED, CLEAR = 0, 1, 2, 3

# (x, y, w, h, pixels row by row, delay in ms, how the frame is cleared afterwards)
# clearing: "keep", "background" (to transparent) or "previous".
FRAMES = [
    (0, 0, W, H, [BLACK] * (W * H), 100, "keep"),
    (2, 1, 3, 2, [RED] * 6, 0, "previous"),
    (0, 0, 2, 2, [RED, CLEAR, CLEAR, RED], 10, "background"),
    (6, 4, 2, 2, [RED] * 4, 200, "keep"),
]


def gif_lzw(indices, min_code_size=2):
    """Codes every pixel as a literal, clearing the table every two codes so
    that the code size never grows."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    size = min_code_size + 1
    codes = []
    for i, index in enumerate(indices):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(index)
    codes.append(end)
    bits, count, out = 0, 0, bytearray()
    for code in codes:
        bits |= code << count
        count += size
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([min_code_size])
    for at in range(0, len(out), 255):
        chunk = out[at:at + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def gif(frames, loops=2, width=W, height=H, palette=None, clear=CLEAR):
    """frames as FRAMES holds them; palette: RGB triples, a power of two of them
    from 4 up (white, black, red, green unless given); clear: the index left
    transparent."""
    palette = palette or [(255, 255, 255), (0, 0, 0), (255, 0, 0), (0, 255, 0)]
    bits = len(palette).bit_length() - 1
    out = bytearray(b"GIF89a" + struct.pack("<HH", width, height) + bytes([0x80 | bits - 1, 0, 0]))
    out += bytes(c for colour in palette for c in colour)
    if loops is not None:
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01" + struct.pack("<H", loops) + b"\0"
    disposal = {"keep": 1, "background": 2, "previous": 3}
    for x, y, w, h, pixels, delay, clearing in frames:
        out += b"\x21\xf9\x04" + bytes([disposal[clearing] << 2 | 1])
        out += struct.pack("<H", delay // 10) + bytes([clear, 0])
        out += b"\x2c" + struct.pack("<HHHH", x, y, w, h) + b"\0"
        out += gif_lzw(pixels, max(bits, 2))
    return bytes(out + b"\x3b")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


RGBA = {WHITE: (255, 255, 255, 255), BLACK: (0, 0, 0, 255), RED: (255, 0, 0, 255),
        CLEAR: (0, 0, 0, 0)}


def png_rows(w, h, pixels, colours):
    raw = bytearray()
    for row in range(h):
        raw.append(0)
        for index in pixels[row * w:(row + 1) * w]:
            raw += bytes(colours[index])
    return zlib.compress(bytes(raw))


def png(w, h, pixels):
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"IDAT", png_rows(w, h, pixels, RGBA)) + png_chunk(b"IEND", b""))


def animated_png(width, height, plays, frames):
    """frames: (x, y, w, h, pixels, colours, delay in ms, clearing, blend) each;
    blend 1 lays the frame over what is there, 0 replaces it."""
    dispose = {"keep": 0, "background": 1, "previous": 2}
    out = bytearray(b"\x89PNG\r\n\x1a\n")
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    out += png_chunk(b"acTL", struct.pack(">II", len(frames), plays))
    sequence = 0
    for n, (x, y, w, h, pixels, colours, delay, clearing, blend) in enumerate(frames):
        out += png_chunk(b"fcTL", struct.pack(">IIIIIHHBB", sequence, w, h, x, y, delay, 1000,
                                              dispose[clearing], blend))
        sequence += 1
        data = png_rows(w, h, pixels, colours)
        if n == 0:
            out += png_chunk(b"IDAT", data)
        else:
            out += png_chunk(b"fdAT", struct.pack(">I", sequence) + data)
            sequence += 1
    return bytes(out + png_chunk(b"IEND", b""))


def apng(frames, plays=2):
    # The second frame is half-transparent red blended over the first; the third
    # replaces what is under it, transparent parts included.
    colours = [dict(RGBA), {**RGBA, RED: (255, 0, 0, 128)}, dict(RGBA), dict(RGBA)]
    blends = [0, 1, 0, 1]
    return animated_png(W, H, plays, [(x, y, w, h, pixels, colours[n], delay, clearing, blends[n])
                                    for n, (x, y, w, h, pixels, delay, clearing)
                                    in enumerate(frames)])


def shown_frames():
    """The frames as shown, each a full canvas of colour indices (CLEAR where
    nothing covers the canvas)."""
    canvas = [CLEAR] * (W * H)
    shown = []
    for x, y, w, h, pixels, _, clearing in FRAMES:
        before = list(canvas)
        for row in range(h):
            for col in range(w):
                index = pixels[row * w + col]
                if index != CLEAR:
                    canvas[(y + row) * W + x + col] = index
        shown.append(list(canvas))
        if clearing == "background":
            for row in range(h):
                for col in range(w):
                    canvas[(y + row) * W + x + col] = CLEAR
        elif clearing == "previous":
            canvas = before
    return shown


def webp(path):
    with tempfile.TemporaryDirectory() as folder:
        args = ["img2webp", "-loop", "2", "-lossless"]
        for n, pixels in enumerate(shown_frames()):
            name = os.path.join(folder, "%d.png" % n)
            with open(name, "wb") as f:
                f.write(png(W, H, [WHITE if p == CLEAR else p for p in pixels]))
            args += ["-d", str([100, 40, 30, 200][n]), name]
        subprocess.run(args + ["-o", path], check=True, stdout=subprocess.DEVNULL)


def write(name, data, folder=HERE):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def hidden_default_apng():
    """An APNG whose default picture (white) is not one of its two frames."""
    out = bytearray(b"\x89PNG\r\n\x1a\n")
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0))
    out += png_chunk(b"acTL", struct.pack(">II", 2, 0))
    out += png_chunk(b"IDAT", png_rows(W, H, [WHITE] * (W * H), RGBA))
    sequence = 0
    for n, colour in enumerate([BLACK, RED]):
        out += png_chunk(b"fcTL", struct.pack(">IIIIIHHBB", sequence, W, H, 0, 0, 1, 10, 0, 0))
        out += png_chunk(b"fdAT", struct.pack(">I", sequence + 1)
                         + png_rows(W, H, [colour] * (W * H), RGBA))
        sequence += 2
    return bytes(out + png_chunk(b"IEND", b""))


# A picture larger than the LCD frame, so that the scale and the window matter:
# a colour ramp in diagonal bands (every pixel one of GREYS colours, so that a
# GIF holds the frames exactly) with a dark block walking across it, a little
# each frame, and a fine check pattern that dithering keeps apart.
STEP_W, STEP_H, STEP_FRAMES = 80, 52, 3
RAMP = [(i, min(255, i + 12), max(0, i - 12)) for i in range(0, 240)]
DARK = len(RAMP)
LIGHT = DARK + 1
STEP_PALETTE = RAMP + [(20, 10, 40), (250, 240, 200)]


def stepping_frame(k):
    """Frame k as palette indices, row by row."""
    pixels = []
    for y in range(STEP_H):
        for x in range(STEP_W):
            index = (x * 3 + y * 4) % len(RAMP)
            if 8 + 14 * k <= x < 24 + 14 * k and 10 + 6 * k <= y < 24 + 6 * k:
                index = DARK
            elif 60 <= x < 72 and 36 <= y < 48 and (x + y + k) % 2 == 0:
                index = LIGHT
            pixels.append(index)
    return pixels


def rgb_png(w, h, pixels, palette):
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)
    rows = png_rows(w, h, pixels, palette)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", rows)
            + png_chunk(b"IEND", b""))


def changed_part(before, after, clear):
    """The smallest rectangle holding every pixel that differs, as (x, y, w, h,
    pixels) with the unchanged ones inside it set to clear."""
    changed = [i for i in range(len(after)) if before[i] != after[i]]
    xs = [i % STEP_W for i in changed]
    ys = [i // STEP_W for i in changed]
    x, y = min(xs), min(ys)
    w, h = max(xs) - x + 1, max(ys) - y + 1
    part = []
    for row in range(y, y + h):
        for col in range(x, x + w):
            i = row * STEP_W + col
            part.append(after[i] if before[i] != after[i] else clear)
    return x, y, w, h, part


def stepping_parts(clear):
    """The frames as an optimiser stores them: the first whole, each next one
    only the rectangle that changed, transparent where nothing did."""
    frames = [stepping_frame(k) for k in range(STEP_FRAMES)]
    parts = [(0, 0, STEP_W, STEP_H, frames[0])]
    for k in range(1, STEP_FRAMES):
        parts.append(changed_part(frames[k - 1], frames[k], clear))
    return parts


def stepping_gif():
    clear = len(STEP_PALETTE)
    palette = STEP_PALETTE + [(0, 0, 0)] * (256 - clear)
    frames = [(x, y, w, h, pixels, 100, "keep") for x, y, w, h, pixels in stepping_parts(clear)]
    return gif(frames, 0, STEP_W, STEP_H, palette, clear)


def stepping_apng():
    clear = len(STEP_PALETTE)
    colours = {i: colour + (255,) for i, colour in enumerate(STEP_PALETTE)}
    colours[clear] = (0, 0, 0, 0)
    # Laid over what is there (blend 1), so the transparent parts keep it.
    return animated_png(STEP_W, STEP_H, 0, [(x, y, w, h, pixels, colours, 100, "keep", 1)
                                          for x, y, w, h, pixels in stepping_parts(clear)])


def write_stepping():
    """walkingBlock_0.png to _2.png (a numbered sequence), and the same frames as
    a GIF, an APNG and a lossless WebP at 100 ms a frame, and as a lossless clip
    at 10 frames a second (FFV1 in Matroska, made by ffmpeg), so that every
    source decodes to exactly the numbered pictures."""
    colours = dict(enumerate(STEP_PALETTE))
    names = []
    for k in range(STEP_FRAMES):
        name = os.path.join(HERE, "walkingBlock_%d.png" % k)
        write(name, rgb_png(STEP_W, STEP_H, stepping_frame(k), colours))
        names.append(name)
    write("walkingBlock.gif", stepping_gif())
    write("walkingBlock.apng", stepping_apng())
    args = ["img2webp", "-loop", "0", "-lossless"]
    for name in names:
        args += ["-d", "100", name]
    subprocess.run(args + ["-o", os.path.join(HERE, "walkingBlock.webp")], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-framerate", "10", "-i",
                    os.path.join(HERE, "walkingBlock_%d.png"), "-c:v", "ffv1", "-pix_fmt", "bgr0",
                    "-fflags", "+bitexact", "-map_metadata", "-1",
                    os.path.join(HERE, "walkingBlock.mkv")], check=True)


if __name__ == "__main__":
    write("four-frames.gif", gif(FRAMES))
    write("four-frames.apng", apng(FRAMES))
    webp(os.path.join(HERE, "four-frames.webp"))
    whole = gif(FRAMES)
    # Cut inside the third frame's picture data.
    third = whole.find(b"\x2c\x00\x00\x00\x00\x02\x00")
    write("cut-in-third-frame.gif", whole[:third + 14])
    write("no-frames.gif", gif([]))
    write("huge-screen.gif", gif(FRAMES[:1], width=65535, height=65535))

    os.makedirs(SEEDS, exist_ok=True)
    for name in ["four-frames.gif", "four-frames.apng", "four-frames.webp",
                 "cut-in-third-frame.gif", "no-frames.gif", "huge-screen.gif"]:
        with open(os.path.join(HERE, name), "rb") as f:
            write(name, f.read(), SEEDS)
    write("hidden-default.apng", hidden_default_apng())
    write("hidden-default.apng", hidden_default_apng(), SEEDS)
    write("still.png", png(W, H, FRAMES[2][4] * 12), SEEDS)
    apng_bytes = apng(FRAMES)
    write("cut-in-last-frame.apng", apng_bytes[:len(apng_bytes) - 30], SEEDS)
    with open(os.path.join(HERE, "four-frames.webp"), "rb") as f:
        webp_bytes = f.read()
    write("cut-in-last-frame.webp", webp_bytes[:len(webp_bytes) - 20], SEEDS)
    write_stepping()
    # Many colours, and later frames kept only where they change.
    for name in ["walkingBlock.gif", "walkingBlock.apng", "walkingBlock.webp"]:
        with open(os.path.join(HERE, name), "rb") as f:
            write(name, f.read(), SEEDS)
