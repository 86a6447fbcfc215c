#!/usr/bin/env python3
"""Generate Pixlet32's binary resources into res/.

    res/Pixlet32.ico   program and tray icon, 32x32 and 16x16, 16 colours
    res/Recording.ico  the tray icon while a recording runs: the same with a red dot
    res/Picker.ico     picker window icon, 32x32, 16 colours
    res/Picker.cur     picker cursor, 32x32 monochrome, hot spot (16, 9)
    res/Shutter.wav    shutter click, 8-bit mono PCM, 11025 Hz, 5480 samples

Usage (from the repository root):  python3 tools/make_resources.py [--preview]

Standard library only and fully deterministic (fixed seed, no timestamps), so
re-running reproduces the files byte for byte. Every file is read back and
checked after writing; --preview also prints ASCII renderings of the pictures
and a level graph of the sound.
"""
import math
import os
import random
import struct
import sys

RES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res'))

# The standard Windows 16-colour palette, and one preview letter per entry.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
VGA_CHARS = 'KmgonptsdRGYBMCW'
BLACK, NAVY, SILVER, GREY, RED, BLUE, WHITE = 0, 4, 7, 8, 9, 12, 15
MONO = [(0, 0, 0), (255, 255, 255)]
MONO_CHARS = 'KW'
HOTSPOT = (16, 9)

RATE = 11025
NSAMPLES = 5480

# The 16x16 icon is hand-placed: at that size every pixel matters in the tray.
CAMERA16 = [
    '................',
    '................',
    '....KKKKKK..KKK.',
    '....KddddK..KRK.',
    '.KKKKKKKKKKKKKK.',
    '.KWWddKKKKddddK.',
    '.KdddKssssKdddK.',
    '.KddKsnnnnsKddK.',
    '.KddKsnWBnsKddK.',
    '.KddKsnBBnsKddK.',
    '.KddKsnnnnsKddK.',
    '.KdddKssssKdddK.',
    '.KddddKKKKddddK.',
    '.KKKKKKKKKKKKKK.',
    '................',
    '................',
]


# --- drawing -----------------------------------------------------------------------------

def blank(size):
    return [[None] * size for _ in range(size)]   # None = transparent


def from_art(rows, chars=VGA_CHARS):
    return [[None if ch == '.' else chars.index(ch) for ch in row] for row in rows]


def fill(img, x0, y0, x1, y1, colour):
    """Fill the inclusive rectangle (x0, y0)-(x1, y1)."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][x] = colour


def disc(img, cx, cy, radius, colour, keep=lambda x, y: True):
    for y, row in enumerate(img):
        for x in range(len(row)):
            if math.hypot(x - cx, y - cy) <= radius and keep(x, y):
                row[x] = colour


def camera32():
    img = blank(32)
    fill(img, 10, 4, 21, 9, BLACK)         # viewfinder hump
    fill(img, 11, 5, 20, 9, GREY)
    fill(img, 23, 5, 27, 9, BLACK)         # shutter button
    fill(img, 24, 6, 26, 9, RED)
    fill(img, 1, 9, 30, 27, BLACK)         # body
    fill(img, 2, 10, 29, 26, GREY)
    for x, y in ((1, 9), (30, 9), (1, 27), (30, 27)):
        img[y][x] = None                   # round the corners a little
    fill(img, 4, 12, 7, 13, WHITE)         # flash window
    cx, cy = 15.5, 18.0
    disc(img, cx, cy, 7.9, BLACK)
    disc(img, cx, cy, 6.9, SILVER)         # lens barrel
    disc(img, cx, cy, 5.2, BLACK)
    disc(img, cx, cy, 4.3, NAVY)           # glass
    disc(img, cx, cy, 3.0, BLUE, keep=lambda x, y: x + y < cx + cy)
    disc(img, cx - 1.5, cy - 1.5, 1.0, WHITE)   # glint
    return img


def with_red_dot(img):
    """The picture with its lens turned into a red dot: the sign of a recording that runs, also
    at 16x16 in the tray. Only pixels the picture already covers change: a tray that draws the
    icon again without erasing under it would otherwise keep a rim of the dot after the
    recording."""
    out = [row[:] for row in img]
    cx, cy, radius = (15.5, 18.0, 5.2) if len(out) == 32 else (7.5, 8.5, 2.3)
    disc(out, cx, cy, radius, RED, keep=lambda x, y: out[y][x] is not None)
    return out


def reticle32():
    img = blank(32)
    c = 15.5                                # two-pixel lines, symmetric in the 32x32 cell
    disc(img, c, c, 13.0, BLACK)
    disc(img, c, c, 12.0, RED)
    disc(img, c, c, 10.0, BLACK)
    disc(img, c, c, 9.0, None)
    for a in range(1, 31):
        if not 11 <= a <= 20:               # leave the middle open so the aim point shows
            fill(img, 15, a, 16, a, BLACK)
            fill(img, a, 15, a, 16, BLACK)
    fill(img, 15, 15, 16, 16, RED)
    return img


def cursor32():
    """Black reticle centred on HOTSPOT, then a one-pixel white halo around everything."""
    img = blank(32)                         # MONO indices: 0 = black, 1 = white
    hx, hy = HOTSPOT
    disc(img, hx, hy, 6.4, 0, keep=lambda x, y: math.hypot(x - hx, y - hy) >= 5.6)
    for d in range(2, 9):
        for s in (-1, 1):
            img[hy + s * d][hx] = 0
            img[hy][hx + s * d] = 0
    img[hy][hx] = 0
    halo = [(x, y) for y in range(32) for x in range(32) if img[y][x] is None and any(
        0 <= x + dx < 32 and 0 <= y + dy < 32 and img[y + dy][x + dx] == 0
        for dx in (-1, 0, 1) for dy in (-1, 0, 1))]
    for x, y in halo:
        img[y][x] = 1
    return img


# --- .ico / .cur encoding ------------------------------------------------------------------

def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def pack_row(values, bpp):
    out = bytearray(stride(len(values), bpp))
    per = 8 // bpp
    for i, v in enumerate(values):
        out[i // per] |= v << (8 - bpp * (i % per + 1))
    return bytes(out)


def dib(img, palette):
    """BITMAPINFOHEADER, colour table, XOR bitmap, AND mask; rows bottom-up."""
    size, bpp = len(img), (len(palette) - 1).bit_length()
    xor = b''.join(pack_row([0 if c is None else c for c in row], bpp) for row in reversed(img))
    mask = b''.join(pack_row([int(c is None) for c in row], 1) for row in reversed(img))
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, bpp, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    return header + table + xor + mask


def write_dir(path, kind, images, hotspot=None):
    """kind 1 = icon, 2 = cursor; images is a list of (pixels, palette)."""
    blobs = [dib(img, pal) for img, pal in images]
    out = struct.pack('<HHH', 0, kind, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (img, pal), blob in zip(images, blobs):
        planes, bits = hotspot if kind == 2 else (1, (len(pal) - 1).bit_length())
        out += struct.pack('<BBBBHHII', len(img), len(img), len(pal), 0, planes, bits,
                           len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


def read_dir(path, kind):
    """Parse and sanity-check an .ico/.cur; returns [(pixels, palette, field1, field2)]."""
    data = open(path, 'rb').read()
    reserved, typ, count = struct.unpack_from('<HHH', data)
    assert (reserved, typ) == (0, kind) and count > 0, path
    images, expect = [], 6 + 16 * count
    for i in range(count):
        w, h, ncol, res, f1, f2, nbytes, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        assert off == expect and w == h and res == 0, path
        (hsize, bw, bh, planes, bpp, comp, isize), palette_at = \
            struct.unpack_from('<IiiHHII', data, off), off + 40
        assert (hsize, bw, bh, planes, comp) == (40, w, 2 * h, 1, 0), path
        assert ncol == 1 << bpp and (kind == 2 or (f1, f2) == (1, bpp)), path
        xs, ms = stride(w, bpp), stride(w, 1)
        assert isize == h * (xs + ms) and nbytes == 40 + 4 * ncol + isize, path
        palette = [tuple(data[palette_at + 4 * j:palette_at + 4 * j + 3][::-1])
                   for j in range(ncol)]
        xor_at = palette_at + 4 * ncol
        mask_at = xor_at + h * xs
        pixels = []
        for y in range(h):                  # rows are stored bottom-up
            xrow, mrow = xor_at + (h - 1 - y) * xs, mask_at + (h - 1 - y) * ms
            vals = [data[xrow + x * bpp // 8] >> (8 - bpp - x * bpp % 8) & (ncol - 1)
                    for x in range(w)]
            clear = [data[mrow + x // 8] >> (7 - x % 8) & 1 for x in range(w)]
            assert not any(c and v for c, v in zip(clear, vals)), \
                f'{path}: a transparent pixel would invert the screen'
            pixels.append([None if c else v for c, v in zip(clear, vals)])
        images.append((pixels, palette, f1, f2))
        expect = off + nbytes
    assert len(data) == expect, path
    return images


# --- shutter sound -------------------------------------------------------------------------

def shutter():
    """Two noise clicks (curtains opening and closing) with a mechanical rattle between."""
    rng = random.Random(0x5107)   # random() output is stable across Python versions
    out = [0.0] * NSAMPLES

    def burst(start_ms, level, decay_ms, brightness):
        # ~0.3 ms attack, exponential decay; brightness is the one-pole low-pass coefficient,
        # and the slow follower removes rumble so every click stays dry and short.
        start, lp, slow = round(start_ms * RATE / 1000), 0.0, 0.0
        for n in range(round(decay_ms * 9 * RATE / 1000)):
            t = n * 1000 / RATE
            env = (1 - math.exp(-t / 0.3)) * math.exp(-t / decay_ms)
            lp += brightness * (rng.random() * 2 - 1 - lp)
            slow += 0.05 * (lp - slow)
            if start + n < NSAMPLES:
                out[start + n] += level * env * (lp - slow)

    burst(4, 1.0, 4.5, 0.75)                                  # first curtain: sharp click
    for k in range(6):                                        # rattle, irregular and dying
        burst(16 + 7 * k + 3 * rng.random(), 0.3 * 0.75 ** k, 1.2, 0.8)
    burst(92, 0.6, 6.0, 0.45)                                 # second curtain: softer, duller
    for k in range(3):
        burst(104 + 6 * k + 2 * rng.random(), 0.12 * 0.6 ** k, 1.0, 0.6)
    gain = 0.75 / max(abs(v) for v in out)                    # peak around +-95 of 127
    return bytes(min(255, max(0, 128 + round(127 * gain * v))) for v in out)


def write_wav(path, samples):
    header = struct.pack('<4sI4s4sIHHIIHH4sI', b'RIFF', 36 + len(samples), b'WAVE', b'fmt ', 16,
                         1, 1, RATE, RATE, 1, 8, b'data', len(samples))
    with open(path, 'wb') as f:
        f.write(header + samples)


def check_wav(path):
    data = open(path, 'rb').read()
    fields = struct.unpack_from('<4sI4s4sIHHIIHH4sI', data)
    assert fields == (b'RIFF', 36 + NSAMPLES, b'WAVE', b'fmt ', 16, 1, 1, RATE, RATE, 1, 8,
                      b'data', NSAMPLES), fields
    assert len(data) == 44 + NSAMPLES
    pcm = data[44:]
    assert pcm[0] == 128 and set(pcm[-2000:]) == {128}, 'sound must start and end silent'
    assert max(abs(s - 128) for s in pcm) <= 110, 'too loud'
    energy = [(s - 128) ** 2 for s in pcm]
    assert sum(energy[:RATE * 15 // 100]) >= 0.98 * sum(energy), 'not a short click'
    return pcm


# --- main ----------------------------------------------------------------------------------

def preview(title, img, chars):
    print(title)
    for row in img:
        print('  ' + ''.join('.' if c is None else chars[c] for c in row))
    print()


def main():
    os.makedirs(RES, exist_ok=True)
    app = [(camera32(), VGA), (from_art(CAMERA16), VGA)]
    recording = [(with_red_dot(img), pal) for img, pal in app]
    picker = [(reticle32(), VGA)]
    cursor = [(cursor32(), MONO)]
    paths = {name: os.path.join(RES, name)
             for name in ('Pixlet32.ico', 'Recording.ico', 'Picker.ico', 'Picker.cur', 'Shutter.wav')}
    write_dir(paths['Pixlet32.ico'], 1, app)
    write_dir(paths['Recording.ico'], 1, recording)
    write_dir(paths['Picker.ico'], 1, picker)
    write_dir(paths['Picker.cur'], 2, cursor, HOTSPOT)
    write_wav(paths['Shutter.wav'], shutter())

    # Read everything back: the decoded pictures must be exactly what was drawn.
    for name, kind, drawn in (('Pixlet32.ico', 1, app), ('Recording.ico', 1, recording), ('Picker.ico', 1, picker),
                              ('Picker.cur', 2, cursor)):
        got = read_dir(paths[name], kind)
        assert [(p, pal) for p, pal, _, _ in got] == drawn, name
    assert [len(p) for p, _ in app] == [32, 16]
    for (plain, _), (dotted, _) in zip(app, recording):   # the same outline, another lens
        assert [[c is None for c in row] for row in plain] == [[c is None for c in row] for row in dotted]
        assert plain != dotted
    (pixels, _, hx, hy), = read_dir(paths['Picker.cur'], 2)
    assert (hx, hy) == HOTSPOT and pixels[hy][hx] == 0, 'hot spot must sit on the black centre'
    for y in range(32):                     # the reticle is symmetric about the hot spot
        assert all(pixels[y][hx - d] == pixels[y][hx + d] for d in range(1, 32 - hx)), y
    for d in range(1, hy + 1):
        assert pixels[hy - d] == pixels[hy + d], d
    pcm = check_wav(paths['Shutter.wav'])
    sizes = {name: os.path.getsize(p) for name, p in paths.items()}
    assert sizes == {'Pixlet32.ico': 1078, 'Recording.ico': 1078, 'Picker.ico': 766, 'Picker.cur': 326,
                     'Shutter.wav': 44 + NSAMPLES}, sizes

    if '--preview' in sys.argv[1:]:
        legend = ', '.join(f'{ch}={i}' for i, ch in enumerate(VGA_CHARS))
        print(f'Palette letters: {legend}; . = transparent\n')
        preview('Pixlet32.ico 32x32', app[0][0], VGA_CHARS)
        preview('Pixlet32.ico 16x16', app[1][0], VGA_CHARS)
        preview('Recording.ico 16x16', recording[1][0], VGA_CHARS)
        preview('Picker.ico 32x32', picker[0][0], VGA_CHARS)
        preview(f'Picker.cur 32x32 (K=black, W=white), hot spot {HOTSPOT}', cursor[0][0],
                MONO_CHARS)
        print('Shutter.wav, peak level per 5 ms (first 200 ms; the rest is silence)')
        step = RATE // 200
        for i in range(0, RATE // 5, step):
            peak = max(abs(s - 128) for s in pcm[i:i + step])
            print(f'  {i * 1000 // RATE:4d} ms {"#" * (peak // 2)}')
    for name, size in sizes.items():
        print(f'wrote res/{name} ({size} bytes)')


if __name__ == '__main__':
    main()
