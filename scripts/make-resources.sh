#!/usr/bin/env bash
# Regenerates every picture and sound under resources/ from scratch.
#
# ImageMagick only rasterises the numeral glyphs (Liberation Sans Bold); everything else -- the
# baskets, the score panel frame, the caret and the four wave files -- is drawn and synthesised by
# the Python program below, which writes the BMP and WAV files byte by byte so their exact formats
# (palette depth, header layout, data length) never depend on a tool's defaults. sox is used at the
# end to check the wave files.
#
# The icon is drawn by hand as SVG: icon/cellwright.svg, and icon/cellwright-small.svg for 16 to
# 32 pixels, where the full grid would be a blur. rsvg-convert renders the theme's PNG sizes from
# them; the game's own window icon is the 256-pixel one.
#
# The output is deterministic: the noise generators are seeded, so running this again gives the
# same bytes as long as the font file is the same. The build does not run this script; its output
# is committed.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/resources"

for tool in convert python3 fc-match rsvg-convert; do
    command -v "$tool" >/dev/null || { echo "make-resources: '$tool' is needed" >&2; exit 1; }
done

FONT="$(fc-match -f '%{file}' 'Liberation Sans:bold')"
case "$FONT" in
*LiberationSans-Bold*) ;;
*) echo "make-resources: Liberation Sans Bold not found (install fonts-liberation)" >&2; exit 1 ;;
esac

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# One large, antialiased grayscale mask per numeral; the Python side crops and scales them.
GLYPH_CANVAS=400
for d in 1 2 3 4 5 6 7 8 9; do
    convert -size ${GLYPH_CANVAS}x${GLYPH_CANVAS} xc:black -font "$FONT" -pointsize 240 -fill white \
        -gravity center -annotate +0+0 "$d" -depth 8 "gray:$TMP/glyph-$d.gray"
done

mkdir -p "$OUT/bitmap" "$OUT/sound" "$OUT/icon"

python3 - "$TMP" "$GLYPH_CANVAS" "$OUT" <<'PYTHON'
import math
import struct
import sys

TMP, CANVAS, OUT = sys.argv[1], int(sys.argv[2]), sys.argv[3]

WHITE = (255.0, 255.0, 255.0)


# ---------------------------------------------------------------- colour and raster helpers

def mix(a, b, t):
    """Colour a blended towards b by t (0..1)."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def shade(c, t):
    return mix(c, (0.0, 0.0, 0.0), t)


def tint(c, t):
    return mix(c, WHITE, t)


class Canvas:
    def __init__(self, w, h, bg=WHITE, alpha=1.0):
        self.w, self.h = w, h
        self.px = [[tuple(bg) for _ in range(w)] for _ in range(h)]
        self.a = [[alpha] * w for _ in range(h)]

    def blend(self, x, y, colour, cover):
        if cover <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        cover = min(cover, 1.0)
        old, olda = self.px[y][x], self.a[y][x]
        outa = cover + olda * (1.0 - cover)
        if outa <= 0.0:
            return
        self.px[y][x] = tuple((colour[i] * cover + old[i] * olda * (1.0 - cover)) / outa for i in range(3))
        self.a[y][x] = outa

    def fill(self, inside, colour, box=None, ss=4):
        """Fills the region where inside(x, y) holds (x, y in pixel-edge coordinates), with
        ss x ss supersampling. colour is an RGB triple or a function of the pixel (x, y)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        step = 1.0 / ss
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                hits = 0
                for j in range(ss):
                    for i in range(ss):
                        if inside(x + (i + 0.5) * step, y + (j + 0.5) * step):
                            hits += 1
                if hits:
                    c = colour(x, y) if callable(colour) else colour
                    self.blend(x, y, c, hits / (ss * ss))

    def rect(self, x0, y0, x1, y1, colour):
        """Pixel-exact rectangle, right and bottom exclusive."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.blend(x, y, colour(x, y) if callable(colour) else colour, 1.0)

    def mask(self, m, mw, mh, ox, oy, colour):
        for y in range(mh):
            for x in range(mw):
                self.blend(ox + x, oy + y, colour, m[y * mw + x])


def rounded(x0, y0, x1, y1, r):
    """Inside test of a rounded rectangle with edges x0..x1, y0..y1 and corner radius r."""
    def inside(x, y):
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def ring(outer, inner):
    return lambda x, y: outer(x, y) and not inner(x, y)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


# ---------------------------------------------------------------- numeral glyphs

def load_glyph(d):
    with open(f"{TMP}/glyph-{d}.gray", "rb") as f:
        data = f.read()
    rows = [data[y * CANVAS:(y + 1) * CANVAS] for y in range(CANVAS)]
    ys = [y for y in range(CANVAS) if max(rows[y]) > 0]
    xs = [x for x in range(CANVAS) if any(rows[y][x] for y in ys)]
    x0, x1, y0, y1 = xs[0], xs[-1] + 1, ys[0], ys[-1] + 1
    return [[rows[y][x] / 255.0 for x in range(x0, x1)] for y in range(y0, y1)]


GLYPHS = {d: load_glyph(d) for d in range(1, 10)}
# All numerals share one scale, taken from the tallest, so they look like one typeface.
GLYPH_REF_H = max(len(g) for g in GLYPHS.values())


def glyph_mask(d, height):
    """Area-averaged coverage mask of numeral d scaled so a full-height numeral is `height` px."""
    src = GLYPHS[d]
    sh, sw = len(src), len(src[0])
    f = height / GLYPH_REF_H
    th, tw = max(1, round(sh * f)), max(1, round(sw * f))
    fy, fx = sh / th, sw / tw
    out = []
    for ty in range(th):
        sy0, sy1 = ty * fy, (ty + 1) * fy
        for tx in range(tw):
            sx0, sx1 = tx * fx, (tx + 1) * fx
            acc = area = 0.0
            for sy in range(int(sy0), min(sh, math.ceil(sy1))):
                wy = min(sy + 1, sy1) - max(sy, sy0)
                row = src[sy]
                for sx in range(int(sx0), min(sw, math.ceil(sx1))):
                    wx = min(sx + 1, sx1) - max(sx, sx0)
                    acc += row[sx] * wx * wy
                    area += wx * wy
            # Sixteen coverage levels keep the palettes of the 8-bit images small.
            out.append(round(16 * acc / area) / 16 if area else 0.0)
    return out, tw, th


def draw_numeral(cv, d, height, cx, cy, colour):
    m, mw, mh = glyph_mask(d, height)
    cv.mask(m, mw, mh, round(cx - mw / 2), round(cy - mh / 2), colour)


# ---------------------------------------------------------------- file writers

def to_bytes(c):
    return tuple(max(0, min(255, int(round(v)))) for v in c)


def write_bmp(path, cv, bits):
    """Uncompressed palette BMP (BITMAPINFOHEADER) with a full 2^bits colour table."""
    colours = {}
    rows = []
    for y in range(cv.h):
        row = []
        for x in range(cv.w):
            c = to_bytes(cv.px[y][x])
            if c not in colours:
                colours[c] = len(colours)
            row.append(colours[c])
        rows.append(row)
    size = 1 << bits
    if len(colours) > size:
        raise SystemExit(f"{path}: {len(colours)} colours do not fit a {bits}-bit palette")
    palette = sorted(colours, key=colours.get) + [(0, 0, 0)] * (size - len(colours))
    stride = ((cv.w * bits + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows run bottom-up
        line = bytearray()
        if bits == 8:
            line.extend(row)
        else:
            for i in range(0, len(row), 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < len(row) else 0
                line.append((hi << 4) | lo)
        line.extend(b"\0" * (stride - len(line)))
        pixels += line
    offset = 14 + 40 + 4 * size
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, bits, 0, len(pixels), 2835, 2835, size, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    with open(path, "wb") as f:
        f.write(header + info + table + pixels)
    return len(colours)


def write_wav(path, rate, channels, bits, data):
    """Canonical 44-byte-header PCM WAVE; an odd data chunk gets the RIFF pad byte, which the
    RIFF size counts but the data size does not."""
    pad = b"\0" if len(data) % 2 else b""
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(data)) + data + pad
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


# ---------------------------------------------------------------- baskets (ids 132..140)

# (light body, rim, dark numeral) for each colour family; numeral n and 10 - n share one.
FAMILIES = {
    "orange": ((255, 222, 178), (222, 141, 62), (112, 56, 14)),
    "purple": ((232, 214, 248), (156, 104, 204), (76, 28, 122)),
    "green": ((208, 240, 196), (92, 170, 82), (22, 92, 34)),
    "red": ((255, 210, 208), (214, 76, 72), (142, 12, 22)),
    "blue": ((204, 224, 255), (84, 132, 212), (20, 48, 132)),
}
FAMILY_OF = {1: "orange", 9: "orange", 2: "purple", 8: "purple", 3: "green", 7: "green",
             4: "red", 6: "red", 5: "blue"}


def basket(n):
    light, rimc, dark = (tuple(map(float, c)) for c in FAMILIES[FAMILY_OF[n]])
    cv = Canvas(68, 68)
    # Rows 0..25 and 65..67 stay white; the basket fills x 2..65, y 26..64.
    rim_top, rim_bottom = 26, 32
    body_x0, body_x1, body_bottom = 4, 64, 65
    outline = shade(rimc, 0.45)

    # Body: woven strands -- rows of short slats whose light and dark halves alternate from one
    # row to the next, kept low in contrast so the numeral stays the thing one reads.
    weave_dark = mix(light, rimc, 0.22)

    def body_colour(x, y):
        band = (y - rim_bottom) // 4
        slat = (x - body_x0 + (3 if band % 2 else 0)) // 6
        c = weave_dark if (slat + band) % 2 else light
        row = (y - rim_bottom) % 4
        if row == 0:  # each strand catches the light on its upper edge
            c = tint(c, 0.3)
        elif row == 3:
            c = mix(c, rimc, 0.1)
        if y < rim_bottom + 2:  # the rim casts a little shadow into the basket
            c = mix(c, rimc, 0.35 if y == rim_bottom else 0.18)
        return c

    body = rounded(body_x0, rim_bottom - 4, body_x1, body_bottom, 6)
    cv.fill(body, outline, (body_x0, rim_bottom, body_x1, body_bottom))
    inner = rounded(body_x0 + 1, rim_bottom - 4, body_x1 - 1, body_bottom - 1, 5)
    cv.fill(inner, body_colour, (body_x0 + 1, rim_bottom, body_x1 - 1, body_bottom - 1))
    # Round shading: a lit left side and a shaded right side.
    cv.rect(body_x0 + 1, rim_bottom + 2, body_x0 + 2, body_bottom - 5, tint(light, 0.55))
    cv.rect(body_x1 - 2, rim_bottom + 2, body_x1 - 1, body_bottom - 5, mix(light, rimc, 0.45))

    # Rim: a rounded band the full 64 pixels wide, with a highlight along its top.
    cv.fill(rounded(2, rim_top, 66, rim_bottom, 3), outline, (2, rim_top, 66, rim_bottom))
    cv.fill(rounded(3, rim_top + 1, 65, rim_bottom - 1, 2), rimc, (3, rim_top + 1, 65, rim_bottom - 1))
    cv.rect(5, rim_top + 1, 63, rim_top + 2, tint(rimc, 0.5))
    cv.rect(5, rim_bottom - 2, 63, rim_bottom - 1, shade(rimc, 0.15))

    draw_numeral(cv, n, 25, (body_x0 + body_x1) / 2, (rim_bottom + 1 + body_bottom - 1) / 2, dark)
    return cv


# ---------------------------------------------------------------- score panel frame (id 141)

def panel():
    w, h = 108, 58
    wx0, wy0, wx1, wy1 = 17, 16, 91, 41  # white window, right and bottom exclusive
    cv = Canvas(w, h)
    top, bottom = (170.0, 198.0, 226.0), (72.0, 118.0, 166.0)

    def steel(x, y):
        # Lighter at the top, where the black label is written, with a soft sheen across the
        # upper third. No fine grain: it would band when the frame is stretched unsmoothed.
        c = mix(top, bottom, y / (h - 1))
        return tint(c, 0.18 * math.exp(-(((y - 9) / 7.0) ** 2)))

    cv.fill(rounded(0, 0, w, h, 5), (34.0, 62.0, 100.0))
    cv.fill(rounded(1, 1, w - 1, h - 1, 4), steel, (1, 1, w - 1, h - 1))
    # Raised outer bevel.
    for i in range(2):
        cv.rect(3 + i, 1 + i, w - 3 - i, 2 + i, lambda x, y: tint(steel(x, y), 0.55))
        cv.rect(1 + i, 3 + i, 2 + i, h - 3 - i, lambda x, y: tint(steel(x, y), 0.45))
        cv.rect(3 + i, h - 2 - i, w - 3 - i, h - 1 - i, lambda x, y: shade(steel(x, y), 0.35))
        cv.rect(w - 2 - i, 3 + i, w - 1 - i, h - 3 - i, lambda x, y: shade(steel(x, y), 0.3))
    # Sunken groove around the window: shadow above and left, light below and right.
    cv.rect(wx0 - 2, wy0 - 2, wx1 + 2, wy1 + 2, lambda x, y: tint(steel(x, y), 0.6))
    cv.rect(wx0 - 2, wy0 - 2, wx1 + 1, wy1 + 1, lambda x, y: shade(steel(x, y), 0.45))
    cv.rect(wx0 - 1, wy0 - 1, wx1, wy1, (40.0, 64.0, 96.0))
    cv.rect(wx0, wy0, wx1, wy1, WHITE)
    return cv


# ---------------------------------------------------------------- caret (id 142)

def caret():
    cv = Canvas(3, 15, bg=(0.0, 0.0, 0.0))
    cv.rect(2, 2, 3, 13, WHITE)
    return cv


# ---------------------------------------------------------------- sounds

class Noise:
    """Small seeded LCG, so the noisy sounds come out the same every time."""
    def __init__(self, seed):
        self.s = seed

    def __call__(self):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return self.s / 0x3FFFFFFF - 1.0


def smooth_step(t):
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


def normalise(samples, peak):
    top = max(abs(s) for s in samples) or 1.0
    return [s * peak / top for s in samples]


def pcm8(samples):
    # No dither: it would leave an audible hiss in the silent tail of an 8-bit sound.
    return bytes(max(0, min(255, int(round(128 + s * 127)))) for s in samples)


def pcm16(samples):
    return b"".join(struct.pack("<h", max(-32768, min(32767, int(round(s * 32767))))) for s in samples)


def foghorn():
    """A low, warm horn chord (root, fifth and a soft major third) that scoops up to pitch,
    swells and dies away: the sound of a puzzle solved."""
    rate, n = 11025, 28350
    voices = [(98.0, 1.0), (146.8, 0.7), (123.5, 0.35)]
    out = []
    phases = [0.0] * len(voices)
    lp = 0.0
    for i in range(n):
        t = i / rate
        scoop = 1.0 - 0.035 * math.exp(-t / 0.06)
        vibrato = 1.0 + 0.004 * math.sin(2 * math.pi * 4.8 * t) * smooth_step(t / 0.6)
        s = 0.0
        for v, (f, amp) in enumerate(voices):
            phases[v] += 2 * math.pi * f * scoop * vibrato / rate
            for h in range(1, 16):
                fh = f * h
                if fh > 2200:
                    break
                # Falling harmonics with a broad hump near 450 Hz: a reedy horn, never a buzz.
                w = (1.0 / h) * (0.6 + 1.2 * math.exp(-((fh - 450.0) / 260.0) ** 2))
                s += amp * w * math.sin(h * phases[v])
        attack = smooth_step(t / 0.14)
        release = 1.0 if t < 1.75 else math.exp(-(t - 1.75) / 0.22) * (1.0 - smooth_step((t - 2.35) / 0.22))
        swell = 0.85 + 0.15 * smooth_step(t / 1.2)
        lp += 0.35 * (s - lp)  # gentle low-pass takes the edge off the upper harmonics
        out.append(lp * attack * release * swell)
    return pcm8(normalise(out, 0.8))


def swoosh():
    """Band-passed noise whose pitch falls while it sweeps from right to left."""
    rate, frames = 22050, 12480
    noise = Noise(102)
    low = band = 0.0
    low2 = band2 = 0.0
    left, right = [], []
    dur = frames / rate
    for i in range(frames):
        t = i / rate
        u = t / dur
        fc = 2600.0 * (180.0 / 2600.0) ** u
        f = 2 * math.sin(math.pi * fc / rate)
        q = 0.55
        x = noise()
        # Two state-variable band-pass stages for a smooth, breathy resonance.
        low += f * band
        high = x - low - q * band
        band += f * high
        low2 += f * band2
        high2 = band - low2 - q * band2
        band2 += f * high2
        env = math.sin(math.pi * min(1.0, u / 0.35) / 2) ** 2 * (1.0 - smooth_step((u - 0.35) / 0.65))
        s = band2 * env
        pan = u  # 0 right .. 1 left
        left.append(s * math.sin(pan * math.pi / 2 * 0.8 + 0.1))
        right.append(s * math.cos(pan * math.pi / 2 * 0.8 + 0.1))
    peak = max(max(abs(v) for v in left), max(abs(v) for v in right))
    scale = 0.7 / peak
    inter = []
    for a, b in zip(left, right):
        inter += (a * scale, b * scale)
    return pcm16(inter)


def brrr():
    """A short low rattle: a soft-edged buzz at 92 Hz chopped 26 times a second."""
    rate, n = 22050, 5513
    out = []
    phase = 0.0
    lp = 0.0
    for i in range(n):
        t = i / rate
        phase += 2 * math.pi * 92.0 / rate
        s = sum(math.sin(h * phase) / h for h in range(1, 24, 2))  # band-limited square
        chop = 0.35 + 0.65 * (0.5 + 0.5 * math.cos(2 * math.pi * 26.0 * t)) ** 2
        env = smooth_step(t / 0.006) * (1.0 - smooth_step((t - 0.20) / 0.05))
        lp += 0.3 * (s - lp)
        out.append(lp * chop * env)
    return pcm16(normalise(out, 0.6))


def tick():
    rate, n = 22050, 219
    noise = Noise(104)
    out = []
    for i in range(n):
        t = i / rate
        env = math.exp(-t / 0.0016) * smooth_step(t / 0.0003)
        s = 0.7 * math.sin(2 * math.pi * 2100 * t) + 0.3 * math.sin(2 * math.pi * 3400 * t)
        s += 0.25 * noise() * math.exp(-t / 0.0006)
        out.append(s * env)
    return pcm8(normalise(out, 0.75))


# ---------------------------------------------------------------- write everything

for n in range(1, 10):
    used = write_bmp(f"{OUT}/bitmap/{132 + n - 1}.bmp", basket(n), 8)
    print(f"bitmap/{132 + n - 1}.bmp  basket {n}, {used} colours")
print(f"bitmap/141.bmp  panel, {write_bmp(f'{OUT}/bitmap/141.bmp', panel(), 8)} colours")
print(f"bitmap/142.bmp  caret, {write_bmp(f'{OUT}/bitmap/142.bmp', caret(), 4)} colours")

sounds = [("101.wav", 11025, 1, 8, foghorn(), 28350),
          ("102.wav", 22050, 2, 16, swoosh(), 49920),
          ("103.wav", 22050, 1, 16, brrr(), 11026),
          ("IDSOUND_TICK.wav", 22050, 1, 8, tick(), 219)]
for name, rate, ch, bits, data, want in sounds:
    assert len(data) == want, (name, len(data), want)
    write_wav(f"{OUT}/sound/{name}", rate, ch, bits, data)
    print(f"sound/{name}  {ch} ch, {rate} Hz, {bits} bit, {len(data)} data bytes")
PYTHON

if command -v sox >/dev/null; then
    for f in "$OUT"/sound/*.wav; do
        sox --i "$f" | sed -n 's/^\(Channels\|Sample Rate\|Precision\|Duration\) *: /  /p' | paste -sd' ' \
            | sed "s|^|$(basename "$f"):|"
    done
fi

for size in 16 22 24 32 48 64 128 256; do
    source="$OUT/icon/cellwright.svg"
    [ "$size" -le 32 ] && source="$OUT/icon/cellwright-small.svg"
    rsvg-convert --width "$size" --height "$size" "$source" --output "$OUT/icon/cellwright-$size.png"
done
echo "icon/cellwright-{16,22,24,32,48,64,128,256}.png"
