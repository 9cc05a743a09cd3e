#!/usr/bin/env python3
"""Builds the launcher's bitmaps and program icon into assets/, and checks them.

    python3 tools/make_assets.py             regenerate assets/*.bmp and assets/app.ico
    python3 tools/make_assets.py --check     only verify the files in assets/
    python3 tools/make_assets.py --png DIR   regenerate, then write PNG previews to DIR

Shapes, gradients and compositing are done here in Python; ImageMagick only
rasterises glyphs (as grey masks) and packs the icon.  Needs python3 and
ImageMagick with the WenQuanYi Micro Hei and DejaVu Sans fonts.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = os.path.join(ROOT, "assets")

FONT_CN = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
FONT_LATIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_LATIN_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Colours the program relies on.
MAGENTA = (255, 0, 255)       # outside the window region, never seen
OUTLINE = (74, 121, 161)      # same as the drop shadow
BODY = (218, 232, 252)        # the forms' Color
OLIVE = (128, 128, 0)         # bitmap buttons' transparent colour
BAND_TOP = (123, 207, 232)    # title band, row 2
BAND_BOTTOM = (38, 134, 175)  # title band, row 27
SIDE = BAND_BOTTOM            # side borders continue the band's edge
FOOT_LINE = (104, 186, 220)   # first row of the bottom band
FOOT_TOP = (52, 148, 190)
FOOT_BOTTOM = (30, 112, 154)
WHITE = (255, 255, 255)

MAIN_SIZE = (670, 429)
OPTION_SIZE = (380, 481)
BUTTON_SIZE = (135, 43)
MIN_SIZE = (27, 20)
CLOSE_SIZE = (40, 20)
TITLE_ROWS = (2, 27)
MAIN_FOOT_ROWS = (402, 426)
OPTION_FOOT_ROWS = (454, 478)
ICON_BOX = (9, 7)             # left, top of the 14 x 16 title icon

# Places of the main skin the program paints over (inclusive rectangles);
# the art must leave them plain body colour.
MAIN_PLAIN = [
    (488, 44, 662, 113),   # ad strip
    (199, 194, 472, 235),  # starting notice
    (510, 242, 655, 390),  # command buttons
]
MIN_POS = (591, 1)
CLOSE_POS = (618, 1)
OPT_CLOSE_POS = (330, 1)


def fail(msg):
    sys.stderr.write("make_assets: " + msg + "\n")
    sys.exit(1)


def find_convert():
    for cand in ("/usr/bin/magick", "/usr/bin/convert"):
        if os.path.exists(cand):
            return [cand, "convert"] if cand.endswith("magick") else [cand]
    found = shutil.which("magick")
    if found:
        return [found, "convert"]
    found = shutil.which("convert")
    if found:
        return [found]
    fail("ImageMagick (convert) not found")


_CONVERT = None


def convert(args):
    global _CONVERT
    if _CONVERT is None:
        _CONVERT = find_convert()
    res = subprocess.run(_CONVERT + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if res.returncode != 0:
        fail("convert failed: " + res.stderr.decode(errors="replace"))
    return res.stdout


# ---------------------------------------------------------------- geometry


def round_rect_spans(left, top, right, bottom, ew, eh):
    """Row -> (first, last) column of CreateRoundRectRgn(left, top, right, bottom, ew, eh).

    Follows GDI's own rasterisation (integer midpoint ellipse, right and
    bottom edges exclusive), so outline and magenta land exactly where the
    window region cuts."""
    right -= 1
    bottom -= 1
    ew = min(right - left, abs(ew))
    eh = min(bottom - top, abs(eh))
    rows = {}
    if ew < 2 or eh < 2:
        for y in range(top, bottom):
            rows[y] = (left, right - 1)
        return rows
    inset = [0] * eh
    a, b = ew - 1, eh - 1
    asq, bsq = 8 * a * a, 8 * b * b
    dx = 4 * b * b * (1 - a)
    dy = 4 * a * a * (1 + b % 2)
    err = dx + dy + a * a * (b % 2)
    x, y = 0, eh // 2
    while x <= ew // 2:
        e2 = 2 * err
        if e2 >= dx:
            x += 1
            dx += bsq
            err += dx
        if e2 <= dy:
            y += 1
            dy += asq
            err += dy
            if y < eh:
                inset[y] = x
    for y in range(top, bottom):
        rows[y] = (left, right - 1)
    for i in range(eh // 2):
        d = inset[b - i]
        rows[top + i] = (left + d, right - 1 - d)
    for i in range(eh // 2 + 1, eh):
        d = inset[i]
        rows[bottom - eh + i] = (left + d, right - 1 - d)
    return rows


def lerp(c0, c1, t):
    return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(len(c0)))


def rgb8(c):
    return tuple(max(0, min(255, int(round(v)))) for v in c)


def band_colour(y):
    """Title band colour of skin row y (rows 2..27)."""
    y0, y1 = TITLE_ROWS
    return rgb8(lerp(BAND_TOP, BAND_BOTTOM, (y - y0) / (y1 - y0)))


def foot_colour(y, rows):
    y0, y1 = rows
    if y == y0:
        return FOOT_LINE
    return rgb8(lerp(FOOT_TOP, FOOT_BOTTOM, (y - y0 - 1) / (y1 - y0 - 1)))


# ------------------------------------------------------------------- masks


class Mask:
    """Coverage values 0..1 over a rectangle placed at (x, y)."""

    def __init__(self, x, y, w, h, a=None):
        self.x, self.y, self.w, self.h = x, y, w, h
        self.a = a if a is not None else [0.0] * (w * h)

    @staticmethod
    def from_sdf(x0, y0, x1, y1, sdf, pad=2):
        bx, by = int(math.floor(x0)) - pad, int(math.floor(y0)) - pad
        bw, bh = int(math.ceil(x1)) + pad - bx, int(math.ceil(y1)) + pad - by
        a = []
        for j in range(bh):
            py = by + j + 0.5
            for i in range(bw):
                d = sdf(bx + i + 0.5, py)
                a.append(1.0 if d <= -0.5 else 0.0 if d >= 0.5 else 0.5 - d)
        return Mask(bx, by, bw, bh, a)

    @staticmethod
    def rrect(x0, y0, x1, y1, r):
        """Rounded rectangle with edges at x0..x1, y0..y1 (pixel edges)."""
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        hx, hy = (x1 - x0) / 2, (y1 - y0) / 2
        r = min(r, hx, hy)

        def sdf(px, py):
            qx = abs(px - cx) - (hx - r)
            qy = abs(py - cy) - (hy - r)
            out = math.hypot(max(qx, 0), max(qy, 0))
            return out + min(max(qx, qy), 0) - r

        return Mask.from_sdf(x0, y0, x1, y1, sdf)

    @staticmethod
    def circle(cx, cy, r):
        return Mask.from_sdf(cx - r, cy - r, cx + r, cy + r,
                             lambda px, py: math.hypot(px - cx, py - cy) - r)

    @staticmethod
    def segment(x0, y0, x1, y1, width):
        hw = width / 2
        vx, vy = x1 - x0, y1 - y0
        ll = vx * vx + vy * vy or 1.0

        def sdf(px, py):
            t = max(0.0, min(1.0, ((px - x0) * vx + (py - y0) * vy) / ll))
            return math.hypot(px - x0 - t * vx, py - y0 - t * vy) - hw

        return Mask.from_sdf(min(x0, x1) - hw, min(y0, y1) - hw,
                             max(x0, x1) + hw, max(y0, y1) + hw, sdf)

    @staticmethod
    def text(text, font, size, stroke=0.0, kerning=0.0):
        """Glyph coverage from ImageMagick, cropped to its ink, at (0, 0)."""
        w = int(size * (len(text) + 2) + abs(kerning) * len(text)) + 20
        h = int(size * 2) + 20
        args = ["-size", "%dx%d" % (w, h), "xc:black", "-font", font,
                "-pointsize", "%g" % size, "-fill", "white"]
        if stroke:
            args += ["-stroke", "white", "-strokewidth", "%g" % stroke]
        if kerning:
            args += ["-kerning", "%g" % kerning]
        base = int(size * 1.4)
        args += ["-annotate", "+10+%d" % base, text, "-depth", "8", "gray:-"]
        raw = convert(args)
        if len(raw) != w * h:
            fail("unexpected glyph raster size for %r" % text)
        m = Mask(0, 0, w, h, [v / 255.0 for v in raw]).cropped()
        m.baseline = base - m.y  # rows from the top of the ink down to the baseline
        return m

    def cropped(self):
        xs = [i for i in range(self.w) if any(self.a[j * self.w + i] > 0 for j in range(self.h))]
        ys = [j for j in range(self.h) if any(self.a[j * self.w:(j + 1) * self.w])]
        if not xs:
            return Mask(self.x, self.y, 0, 0, [])
        x0, x1, y0, y1 = xs[0], xs[-1] + 1, ys[0], ys[-1] + 1
        a = []
        for j in range(y0, y1):
            a.extend(self.a[j * self.w + x0:j * self.w + x1])
        return Mask(self.x + x0, self.y + y0, x1 - x0, y1 - y0, a)

    def at(self, x, y):
        """Copy moved so that its top-left is at (x, y)."""
        return Mask(x, y, self.w, self.h, self.a)

    def centred(self, cx, cy):
        return self.at(int(round(cx - self.w / 2)), int(round(cy - self.h / 2)))

    def moved(self, dx, dy):
        return Mask(self.x + dx, self.y + dy, self.w, self.h, self.a)

    def value(self, px, py):
        i, j = px - self.x, py - self.y
        if 0 <= i < self.w and 0 <= j < self.h:
            return self.a[j * self.w + i]
        return 0.0

    def _combine(self, other, fn, union):
        if union:
            x0, y0 = min(self.x, other.x), min(self.y, other.y)
            x1 = max(self.x + self.w, other.x + other.w)
            y1 = max(self.y + self.h, other.y + other.h)
        else:
            x0, y0, x1, y1 = self.x, self.y, self.x + self.w, self.y + self.h
        out = Mask(x0, y0, x1 - x0, y1 - y0)
        k = 0
        for py in range(y0, y1):
            for px in range(x0, x1):
                out.a[k] = fn(self.value(px, py), other.value(px, py))
                k += 1
        return out

    def union(self, other):
        return self._combine(other, max, True)

    def minus(self, other):
        return self._combine(other, lambda a, b: a * (1 - b), False)

    def times(self, other):
        return self._combine(other, lambda a, b: a * b, False)

    def scaled(self, k):
        return Mask(self.x, self.y, self.w, self.h, [v * k for v in self.a])

    def blurred(self, r):
        """Three box passes each way, close to a Gaussian of radius ~r."""
        pad = 3 * r
        m = Mask(self.x - pad, self.y - pad, self.w + 2 * pad, self.h + 2 * pad)
        for j in range(self.h):
            row = (j + pad) * m.w + pad
            m.a[row:row + self.w] = self.a[j * self.w:(j + 1) * self.w]
        n = 2 * r + 1
        for _ in range(3):
            for j in range(m.h):
                row = m.a[j * m.w:(j + 1) * m.w]
                acc, out = 0.0, [0.0] * m.w
                for i in range(-r, m.w + r):
                    if 0 <= i + r < m.w:
                        acc += row[i + r]
                    if 0 <= i - r - 1 < m.w:
                        acc -= row[i - r - 1]
                    if 0 <= i < m.w:
                        out[i] = acc / n
                m.a[j * m.w:(j + 1) * m.w] = out
            for i in range(m.w):
                col = m.a[i::m.w]
                acc, out = 0.0, [0.0] * m.h
                for j in range(-r, m.h + r):
                    if 0 <= j + r < m.h:
                        acc += col[j + r]
                    if 0 <= j - r - 1 < m.h:
                        acc -= col[j - r - 1]
                    if 0 <= j < m.h:
                        out[j] = acc / n
                m.a[i::m.w] = out
        return m


# ------------------------------------------------------------------ canvas


class Canvas:
    """Premultiplied RGBA floats; opaque unless made with alpha=0."""

    def __init__(self, w, h, colour=(0, 0, 0), alpha=1.0):
        self.w, self.h = w, h
        n = w * h
        self.r = [colour[0] * alpha] * n
        self.g = [colour[1] * alpha] * n
        self.b = [colour[2] * alpha] * n
        self.al = [alpha] * n
        self.forbidden = []  # inclusive rectangles that paint must not reach

    def set(self, x, y, c):
        k = y * self.w + x
        self.r[k], self.g[k], self.b[k], self.al[k] = c[0], c[1], c[2], 1.0

    def get(self, x, y):
        return rgb8(self._un(y * self.w + x))

    def _un(self, k):
        a = self.al[k]
        if a <= 0:
            return (0.0, 0.0, 0.0)
        return (self.r[k] / a, self.g[k] / a, self.b[k] / a)

    def paint(self, mask, colour, opacity=1.0):
        """Composite colour (a triple or a function of x, y) over the canvas through mask."""
        fn = colour if callable(colour) else None
        for j in range(mask.h):
            py = mask.y + j
            if not 0 <= py < self.h:
                continue
            for i in range(mask.w):
                px = mask.x + i
                a = mask.a[j * mask.w + i] * opacity
                if a < 1.0 / 512 or not 0 <= px < self.w:
                    continue
                for (fx0, fy0, fx1, fy1) in self.forbidden:
                    if fx0 <= px <= fx1 and fy0 <= py <= fy1:
                        fail("art reaches a reserved area at (%d, %d)" % (px, py))
                c = fn(px, py) if fn else colour
                if len(c) == 4:
                    a *= c[3]
                k = py * self.w + px
                keep = 1.0 - a
                self.r[k] = c[0] * a + self.r[k] * keep
                self.g[k] = c[1] * a + self.g[k] * keep
                self.b[k] = c[2] * a + self.b[k] * keep
                self.al[k] = a + self.al[k] * keep

    def rgb_rows(self):
        """Rows of 8-bit (r, g, b) tuples, top first."""
        return [[self.get(x, y) for x in range(self.w)] for y in range(self.h)]

    def rgba_bytes(self):
        out = bytearray()
        for k in range(self.w * self.h):
            c = rgb8(self._un(k))
            out += bytes(c) + bytes([max(0, min(255, int(round(self.al[k] * 255))))])
        return bytes(out)


def vgrad(y0, y1, c0, c1):
    """Vertical gradient as a paint function."""
    span = float(y1 - y0) or 1.0
    return lambda x, y: lerp(c0, c1, max(0.0, min(1.0, (y - y0) / span)))


# --------------------------------------------------------------------- BMP


def bmp_bytes(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - w * 3)
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return head + info + bytes(pixels)


def read_bmp(path):
    """(width, height, rows top first) of an uncompressed 24-bit bottom-up BMP; fails otherwise."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        fail("%s: not a BMP file" % path)
    size, _, _, off = struct.unpack_from("<IHHI", data, 2)
    (hsize, w, h, planes, bpp, comp, isize, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    stride = (w * 3 + 3) & ~3
    problems = []
    if hsize != 40:
        problems.append("header size %d, want BITMAPINFOHEADER (40)" % hsize)
    if bpp != 24:
        problems.append("%d bits per pixel, want 24" % bpp)
    if comp != 0:
        problems.append("compression %d, want BI_RGB" % comp)
    if planes != 1 or used != 0:
        problems.append("planes %d / colours used %d" % (planes, used))
    if h <= 0 or w <= 0:
        problems.append("size %d x %d, want positive (bottom-up)" % (w, h))
    if off != 54 or size != len(data) or len(data) != 54 + stride * h or isize not in (0, stride * h):
        problems.append("inconsistent offsets or sizes")
    if problems:
        fail("%s: %s" % (path, "; ".join(problems)))
    rows = []
    for y in range(h):
        base = off + (h - 1 - y) * stride
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x])
                     for x in range(w)])
    return w, h, rows


def write_bmp(path, canvas):
    rows = canvas.rgb_rows()
    with open(path, "wb") as f:
        f.write(bmp_bytes(rows))
    w, h, back = read_bmp(path)  # fails loudly unless 24-bit BI_RGB bottom-up
    if (w, h) != (canvas.w, canvas.h) or back != rows:
        fail("%s: did not read back as written" % path)


# ------------------------------------------------------------------- frames


def frame(size, foot_rows, side_borders):
    """Magenta surround, outline, title band, body and bottom band of a skin."""
    w, h = size
    spans = round_rect_spans(1, 1, w, h, 9, 9)
    c = Canvas(w, h, MAGENTA)

    def inside(x, y):
        s = spans.get(y)
        return s is not None and s[0] <= x <= s[1]

    for y, (x0, x1) in spans.items():
        for x in range(x0, x1 + 1):
            if not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                colour = OUTLINE
            elif y <= TITLE_ROWS[1]:
                colour = band_colour(y)
            elif y >= foot_rows[0]:
                colour = foot_colour(y, foot_rows)
            elif side_borders and (x <= 3 or x >= w - 4):
                colour = SIDE
            else:
                colour = BODY
            c.set(x, y, colour)
    return c


def paint_tile_icon(c, x, y):
    """14 x 16 mahjong tile with a red 中, the game's small icon."""
    c.paint(Mask.rrect(x, y + 2, x + 14, y + 16, 2.5), (16, 92, 70))           # green back
    c.paint(Mask.rrect(x, y + 1, x + 14, y + 14, 2.5), (222, 214, 190))        # ivory side
    c.paint(Mask.rrect(x, y, x + 14, y + 12, 2.5), vgrad(y, y + 12, (255, 253, 246), (236, 230, 212)))
    red = (206, 28, 34)
    c.paint(Mask.rrect(x + 3, y + 3, x + 11, y + 8, 0).minus(Mask.rrect(x + 4, y + 4, x + 10, y + 7, 0)), red)
    c.paint(Mask.rrect(x + 6, y + 1, x + 8, y + 11, 0), red)


def paint_gear(c, cx, cy, colour, opacity=1.0):
    body = Mask.circle(cx, cy, 4.5)
    for k in range(8):
        ang = k * math.pi / 4
        body = body.union(Mask.segment(cx + 3.0 * math.cos(ang), cy + 3.0 * math.sin(ang),
                                       cx + 5.0 * math.cos(ang), cy + 5.0 * math.sin(ang), 2.5))
    c.paint(body.minus(Mask.circle(cx, cy, 1.9)), colour, opacity)


# --------------------------------------------------------------- main skin


def tile_face_symbol(c, kind, x, y, fw, fh):
    cx, cy = x + fw / 2, y + fh / 2
    red, green, blue, ink = (200, 30, 38), (22, 126, 66), (30, 82, 168), (26, 40, 96)
    if kind in ("中", "發", "東"):
        colour = {"中": red, "發": green, "東": ink}[kind]
        glyph = Mask.text(kind, FONT_CN, fw * 0.78, stroke=0.8)
        c.paint(glyph.centred(cx, cy), colour)
    elif kind == "白":
        outer = Mask.rrect(x + 8, y + 9, x + fw - 8, y + fh - 9, 3)
        c.paint(outer.minus(Mask.rrect(x + 11, y + 12, x + fw - 11, y + fh - 12, 1.5)), blue)
    elif kind == "萬":
        one = Mask.text("一", FONT_CN, fw * 0.5, stroke=1.2)
        c.paint(one.centred(cx, y + fh * 0.26), ink)
        wan = Mask.text("萬", FONT_CN, fw * 0.56, stroke=0.6)
        c.paint(wan.centred(cx, y + fh * 0.66), red)
    elif kind == "筒":
        dx, dy = fw * 0.27, fh * 0.29
        for (ox, oy, col) in ((-dx, -dy, blue), (dx, -dy, green), (0, 0, red),
                              (-dx, dy, green), (dx, dy, blue)):
            px, py = cx + ox, cy + oy
            k = fw / 50.0
            ring = Mask.circle(px, py, 7.4 * k).minus(Mask.circle(px, py, 5.6 * k))
            c.paint(ring, col)
            c.paint(Mask.circle(px, py, 3.5 * k), col)
            c.paint(Mask.circle(px, py, 1.4 * k), (255, 252, 240))
    elif kind == "索":
        for (ox, oy, col) in ((0, -fh * 0.2, green), (-fw * 0.2, fh * 0.18, green),
                              (fw * 0.2, fh * 0.18, blue)):
            px, py = cx + ox, cy + oy
            stick = Mask.rrect(px - 4, py - 13, px + 4, py + 13, 3.5)
            c.paint(stick, col)
            c.paint(Mask.rrect(px - 4.5, py - 1, px + 4.5, py + 1, 0.5), (250, 246, 232))
            c.paint(Mask.rrect(px - 1.5, py - 11, px, py - 2.5, 0.7), (255, 255, 255), 0.45)
            c.paint(Mask.rrect(px - 1.5, py + 2.5, px, py + 11, 0.7), (255, 255, 255), 0.45)


def paint_tile(c, kind, x, y, fw, fh, depth):
    """A standing tile: soft shadow, green back, ivory body, face, symbol."""
    shadow = Mask.rrect(x + 2, y + depth + 4, x + fw + 3, y + fh + depth + 3, 6).blurred(3)
    c.paint(shadow, (22, 52, 96), 0.38)
    c.paint(Mask.rrect(x, y + depth, x + fw, y + fh + depth, 7), vgrad(y + fh, y + fh + depth, (30, 128, 100), (12, 78, 60)))
    c.paint(Mask.rrect(x, y + depth * 0.45, x + fw, y + fh + depth * 0.45, 7), (226, 218, 196))
    face = Mask.rrect(x, y, x + fw, y + fh, 7)
    c.paint(face, (176, 166, 138))
    c.paint(Mask.rrect(x + 1, y + 1, x + fw - 1, y + fh - 1, 6), vgrad(y, y + fh, (255, 254, 249), (240, 234, 216)))
    c.paint(Mask.rrect(x + 3, y + 2, x + fw - 3, y + 6, 2), (255, 255, 255), 0.7)
    tile_face_symbol(c, kind, x, y, fw, fh)


def paint_logo(c):
    # Soft light behind the lettering.
    glow = Mask.rrect(56, 70, 440, 140, 35).blurred(12)
    c.paint(glow, (255, 255, 255), 0.6)

    title = Mask.text("岚枢", FONT_CN, 92, stroke=2.2, kerning=6)
    title = title.at(44, 52)
    outline = Mask.text("岚枢", FONT_CN, 92, stroke=9, kerning=6)
    outline = outline.centred(title.x + title.w / 2, title.y + title.h / 2)
    c.paint(outline.moved(2, 4).blurred(3), (20, 60, 110), 0.35)
    c.paint(outline, (255, 255, 255))
    c.paint(title, vgrad(title.y, title.y + title.h, (40, 132, 196), (12, 58, 122)))
    # A glossy sheen on the upper half of the strokes.
    sheen = title.times(Mask.rrect(title.x - 4, title.y - 4, title.x + title.w + 4, title.y + title.h * 0.45, 0))
    c.paint(sheen, (255, 255, 255), 0.18)

    right = title.x + title.w + 24
    # Red seal with the game's kind.
    seal_x, seal_y = right, 60
    c.paint(Mask.rrect(seal_x, seal_y, seal_x + 30, seal_y + 30, 4), (196, 36, 40))
    c.paint(Mask.rrect(seal_x + 2, seal_y + 2, seal_x + 28, seal_y + 28, 3).minus(
        Mask.rrect(seal_x + 3, seal_y + 3, seal_x + 27, seal_y + 27, 2.5)), (255, 236, 228), 0.85)
    for i, ch in enumerate("麻将"):
        g = Mask.text(ch, FONT_CN, 11, stroke=0.3)
        c.paint(g.centred(seal_x + 15, seal_y + 9.5 + i * 11.5), (255, 246, 240))

    latin = Mask.text("QUARVEN", FONT_LATIN_BOLD, 34, kerning=5)
    latin = latin.at(right, 100)
    c.paint(latin.moved(1, 2).blurred(1), (20, 60, 110), 0.3)
    c.paint(latin, vgrad(latin.y, latin.y + latin.h, (34, 112, 176), (16, 66, 128)))
    sub = Mask.text("ARCADE  MAHJONG", FONT_LATIN_BOLD, 10.5, kerning=2.6)
    sub = sub.at(right + 1, latin.y + latin.h + 10)
    c.paint(sub, (70, 112, 160))
    tag = Mask.text("街机经典  ·  雀战再现", FONT_CN, 13, stroke=0.2, kerning=1.5)
    c.paint(tag.at(title.x + 4, title.y + title.h + 22), (84, 122, 168))
    # Thin accent under the wordmark.
    line_y = sub.y + sub.h + 8
    c.paint(Mask.rrect(right + 1, line_y, right + latin.w, line_y + 1.5, 0.5),
            lambda x, y: (196, 36, 40, max(0.0, 1.0 - (x - right) / latin.w)))


def paint_title_glow(c):
    """Separator between the art and the button column."""
    x, y0, y1 = 493, 128, 392
    mid = (y0 + y1) / 2
    c.paint(Mask.rrect(x, y0, x + 1, y1, 0),
            lambda px, py: (150, 186, 226, 1.0 - abs(py - mid) / (mid - y0)))
    c.paint(Mask.rrect(x + 1, y0, x + 2, y1, 0),
            lambda px, py: (255, 255, 255, 0.9 * (1.0 - abs(py - mid) / (mid - y0))))


def make_main_skin():
    c = frame(MAIN_SIZE, MAIN_FOOT_ROWS, side_borders=True)
    paint_tile_icon(c, *ICON_BOX)
    mw, mh = MAIN_SIZE
    c.forbidden = MAIN_PLAIN + [(0, 0, mw - 1, TITLE_ROWS[1]), (0, MAIN_FOOT_ROWS[0], mw - 1, mh - 1),
                                (0, 0, 3, mh - 1), (mw - 4, 0, mw - 1, mh - 1)]
    paint_logo(c)
    paint_title_glow(c)
    kinds = ["萬", "筒", "索", "中", "發", "白", "東"]
    fw, fh, gap = 56, 74, 6
    x0 = 36
    # A faint shelf line the tiles stand on.
    shelf_y, sx0, sx1 = 359, 20, 488
    fade = lambda x: max(0.0, 1.0 - abs(x - (sx0 + sx1) / 2) / ((sx1 - sx0) / 2)) ** 0.6
    c.paint(Mask.rrect(sx0, shelf_y, sx1, shelf_y + 1, 0), lambda x, y: (150, 184, 224, fade(x)))
    c.paint(Mask.rrect(sx0, shelf_y + 1, sx1, shelf_y + 2, 0), lambda x, y: (255, 255, 255, fade(x)))
    for i, kind in enumerate(kinds):
        lift = 9 if kind == "中" else 0
        paint_tile(c, kind, x0 + i * (fw + gap), 272 - lift, fw, fh, 10)
    c.forbidden = []
    return c


# ------------------------------------------------------------ option skin


def make_option_skin():
    c = frame(OPTION_SIZE, OPTION_FOOT_ROWS, side_borders=True)
    paint_gear(c, 16.0, 15.5, (14, 70, 110), 0.35)
    paint_gear(c, 16.0, 14.5, WHITE)
    return c


# ---------------------------------------------------------------- buttons

BUTTON_STYLE = {
    # up face top, up face bottom, rim
    False: ((92, 196, 234), (18, 112, 166), (16, 82, 124)),
    True: ((146, 224, 250), (42, 150, 204), (22, 104, 150)),
}


def make_command_button(label, hot):
    w, h = BUTTON_SIZE
    top, bottom, rim = BUTTON_STYLE[hot]
    c = Canvas(w, h, BODY)
    shadow = Mask.rrect(1, 2, w - 1, h, 9).blurred(1)
    c.paint(shadow, (40, 70, 110), 0.35)
    shape = Mask.rrect(0.5, 0.5, w - 0.5, h - 2, 9)
    c.paint(shape, rim)
    face = Mask.rrect(1.5, 1.5, w - 1.5, h - 3, 8)
    c.paint(face, vgrad(2, h - 3, top, bottom))
    gloss = Mask.rrect(3, 2.5, w - 3, (h - 3) * 0.5, 7)
    c.paint(gloss, lambda x, y: (255, 255, 255, 0.5 - 0.35 * (y - 2) / ((h - 3) * 0.5)))
    c.paint(Mask.rrect(8, h - 6, w - 8, h - 4.5, 1), (180, 236, 255), 0.35)
    mid = (h - 2) / 2
    if any(ord(ch) > 127 for ch in label):
        glyph = Mask.text(label, FONT_CN, 18, stroke=0.7, kerning=5).centred(w / 2, mid)
    else:
        # Centre the capitals, so descenders do not lift the word.
        glyph = Mask.text(label, FONT_LATIN_BOLD, 15, kerning=0.6)
        cap = Mask.text("H", FONT_LATIN_BOLD, 15).h
        glyph = glyph.at(int(round(w / 2 - glyph.w / 2)), int(round(mid + cap / 2)) - glyph.baseline)
    c.paint(glyph.moved(0, 1), (8, 56, 96), 0.55)
    c.paint(glyph, WHITE)
    # Everything the button does not cover becomes the transparent colour.
    cover = shape.union(shadow)
    for y in range(h):
        for x in range(w):
            if cover.value(x, y) < 0.04:
                c.set(x, y, OLIVE)
    return c


def title_strip(w):
    """Title band as it lies behind a w x 20 button at row 1 of a skin."""
    c = Canvas(w, 20, OUTLINE)
    for y in range(1, 20):
        for x in range(w):
            c.set(x, y, band_colour(y + 1))
    return c


def make_min_button(hot):
    w, h = MIN_SIZE
    c = title_strip(w)
    if hot:
        c.paint(Mask.rrect(0, 1, w, h, 0), vgrad(1, h, (255, 255, 255, 0.3), (255, 255, 255, 0.12)))
    c.paint(Mask.rrect(9, 12, 18, 14, 0.3), (14, 70, 110), 0.35)
    c.paint(Mask.rrect(9, 11, 18, 13, 0.3), WHITE)
    return c


def make_close_button(hot):
    w, h = CLOSE_SIZE
    c = title_strip(w)
    top, bottom = ((244, 124, 108), (220, 62, 50)) if hot else ((226, 84, 72), (184, 32, 28))
    # Square top against the outline row, rounded lower corners.
    face = Mask.rrect(0, -4, w, h, 5).times(Mask.rrect(0, 1, w, h, 0))
    c.paint(face, vgrad(1, h, top, bottom))
    c.paint(Mask.rrect(0, 1, w, 2, 0), (255, 255, 255), 0.25)
    cx, cy, d = w / 2, 10.5, 4.0
    cross = Mask.segment(cx - d, cy - d, cx + d, cy + d, 2.0).union(
        Mask.segment(cx - d, cy + d, cx + d, cy - d, 2.0))
    c.paint(cross.moved(0, 1), (110, 10, 10), 0.35)
    c.paint(cross, WHITE)
    for x in range(w):
        c.set(x, 0, OUTLINE)
    return c


# ------------------------------------------------------------------- icon


def icon_image(size):
    c = Canvas(size, size, (0, 0, 0), alpha=0.0)
    if size <= 16:
        paint_tile_icon(c, 1, 0)
        return c
    s = size / 48.0
    x0, x1 = 7 * s, 41 * s
    r = 6 * s
    c.paint(Mask.rrect(x0 + 1 * s, 6 * s, x1 + 1 * s, 47 * s, r).blurred(max(1, int(s))), (0, 0, 0), 0.3)
    c.paint(Mask.rrect(x0, 6 * s, x1, 46 * s, r), vgrad(38 * s, 46 * s, (30, 128, 100), (12, 78, 60)))
    c.paint(Mask.rrect(x0, 3 * s, x1, 42 * s, r), (222, 214, 190))
    c.paint(Mask.rrect(x0, 1 * s, x1, 39 * s, r), (170, 160, 132))
    c.paint(Mask.rrect(x0 + 1, 1 * s + 1, x1 - 1, 39 * s - 1, r - 1), vgrad(1 * s, 39 * s, (255, 254, 249), (236, 230, 210)))
    glyph = Mask.text("中", FONT_CN, 30 * s, stroke=1.0 * s)
    c.paint(glyph.centred(24 * s, 20 * s), (206, 28, 34))
    return c


def write_icon(path):
    with tempfile.TemporaryDirectory() as tmp:
        args = []
        for size in (16, 32, 48):
            raw = os.path.join(tmp, "i%d.rgba" % size)
            with open(raw, "wb") as f:
                f.write(icon_image(size).rgba_bytes())
            args += ["-size", "%dx%d" % (size, size), "-depth", "8", "rgba:" + raw]
        convert(args + [path])
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    sizes = sorted(data[6 + 16 * i] or 256 for i in range(count))
    if reserved != 0 or kind != 1 or sizes != [16, 32, 48]:
        fail("%s: unexpected icon directory %r" % (path, sizes))


# -------------------------------------------------------------- products


def products():
    out = [("skin_main.bmp", make_main_skin), ("skin_option.bmp", make_option_skin)]
    for action, labels in (("play", ("开始", "Play")), ("option", ("设置", "Option")),
                           ("exit", ("退出", "Exit"))):
        for lang, label in zip(("cn", "en"), labels):
            for state in ("up", "hot"):
                out.append(("btn_%s_%s_%s.bmp" % (action, lang, state),
                            lambda label=label, hot=(state == "hot"): make_command_button(label, hot)))
    for state in ("up", "hot"):
        hot = state == "hot"
        out.append(("min_%s.bmp" % state, lambda hot=hot: make_min_button(hot)))
        out.append(("close_%s.bmp" % state, lambda hot=hot: make_close_button(hot)))
        out.append(("opt_close_%s.bmp" % state, lambda hot=hot: make_close_button(hot)))
    return out


# ------------------------------------------------------------------ check


def rc_bitmaps(folder):
    """(identifier -> file) of the BITMAP lines of launcher.rc, and the IDB_ names of resource.h."""
    import re
    with open(os.path.join(folder, "launcher.rc"), encoding="utf-8") as f:
        rc = f.read()
    with open(os.path.join(folder, "resource.h"), encoding="utf-8") as f:
        ids = re.findall(r"^#define\s+(IDB_\w+)\s+\d+", f.read(), re.M)
    pairs = re.findall(r"^\s*(IDB_\w+)\s+BITMAP\s+\"([^\"]+)\"", rc, re.M)
    return pairs, ids, rc


def check(folder):
    """Verifies what the program relies on in the files of folder; returns the problems."""
    errors = []

    def expect(cond, msg):
        if not cond:
            errors.append(msg)

    buttons = [n for n, _ in products() if n.startswith("btn_")]
    sizes = dict([("skin_main.bmp", MAIN_SIZE), ("skin_option.bmp", OPTION_SIZE),
                  ("min_up.bmp", MIN_SIZE), ("min_hot.bmp", MIN_SIZE),
                  ("close_up.bmp", CLOSE_SIZE), ("close_hot.bmp", CLOSE_SIZE),
                  ("opt_close_up.bmp", CLOSE_SIZE), ("opt_close_hot.bmp", CLOSE_SIZE)] +
                 [(n, BUTTON_SIZE) for n in buttons])
    images = {}
    for name, size in sizes.items():
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            errors.append("%s missing" % name)
            continue
        w, h, rows = read_bmp(path)
        expect((w, h) == size, "%s is %d x %d, want %d x %d" % (name, w, h, size[0], size[1]))
        images[name] = rows
    if errors:
        return errors

    def px(name, x, y):
        return images[name][y][x]

    # Both skins: magenta exactly outside the window region, outline on its edge,
    # plain title band apart from the icon, side borders.
    for name, (w, h), foot in (("skin_main.bmp", MAIN_SIZE, MAIN_FOOT_ROWS),
                               ("skin_option.bmp", OPTION_SIZE, OPTION_FOOT_ROWS)):
        cases = [((0, 0), MAGENTA), ((w - 1, h - 1), MAGENTA), ((w - 1, 0), MAGENTA),
                 ((0, h - 1), MAGENTA), ((w // 2, 0), MAGENTA), ((0, h // 2), MAGENTA),
                 ((1, 1), MAGENTA), ((3, 1), MAGENTA), ((1, 3), MAGENTA), ((w - 2, h - 2), MAGENTA),
                 ((w - 4, h - 2), MAGENTA), ((w - 2, 1), MAGENTA), ((1, h - 2), MAGENTA),
                 ((1, h // 2), OUTLINE), ((w - 2, h // 2), OUTLINE),
                 ((w // 2, 1), OUTLINE), ((w // 2, h - 2), OUTLINE),
                 ((4, 1), OUTLINE), ((2, 2), OUTLINE), ((1, 4), OUTLINE), ((w - 3, h - 3), OUTLINE),
                 ((w // 2, TITLE_ROWS[0]), BAND_TOP), ((w // 2, TITLE_ROWS[1]), BAND_BOTTOM),
                 ((w // 2, TITLE_ROWS[1] + 1), BODY), ((2, h // 2), SIDE), ((3, h // 2), SIDE),
                 ((w - 4, h // 2), SIDE), ((w - 3, h // 2), SIDE), ((4, h // 2), BODY),
                 ((w // 2, foot[0] - 1), BODY)]
        for (x, y), want in cases:
            expect(px(name, x, y) == want, "%s (%d, %d) is %r, want %r" % (name, x, y, px(name, x, y), want))
        spans = round_rect_spans(1, 1, w, h, 9, 9)
        wrong = [(x, y) for y in range(h) for x in range(w)
                 if (px(name, x, y) == MAGENTA) == (y in spans and spans[y][0] <= x <= spans[y][1])]
        expect(not wrong, "%s: magenta is not exactly the outside of the window region, e.g. at %r"
               % (name, wrong[:3]))
        ix, iy = ICON_BOX
        for y in range(TITLE_ROWS[0], TITLE_ROWS[1] + 1):
            want = px(name, w // 2, y)
            off = [x for x in range(4, w - 4) if px(name, x, y) != want
                   and not (ix <= x < ix + 14 and iy <= y < iy + 16)]
            expect(not off, "%s title band row %d is not plain at x %r" % (name, y, off[:3]))
        drawn = [(x, y) for y in range(iy, iy + 16) for x in range(ix, ix + 14) if px(name, x, y) != px(name, w // 2, y)]
        expect(len(drawn) > 40, "%s has no title icon" % name)
        for y in range(foot[0], foot[1] + 1):
            want = px(name, w // 2, y)
            expect(want not in (BODY, MAGENTA, OUTLINE), "%s row %d is no bottom band" % (name, y))
            expect(all(px(name, x, y) == want for x in range(4, w - 4)), "%s bottom band row %d is not plain" % (name, y))

    for (x0, y0, x1, y1) in MAIN_PLAIN:
        bad = [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if px("skin_main.bmp", x, y) != BODY]
        expect(not bad, "skin_main.bmp area %r not plain body colour, e.g. %r" % ((x0, y0, x1, y1), bad[:1]))
    art = [(x, y) for y in range(28, MAIN_FOOT_ROWS[0]) for x in range(4, 488) if px("skin_main.bmp", x, y) != BODY]
    expect(len(art) > 20000, "skin_main.bmp has no title art")
    ow, oh = OPTION_SIZE
    for y in range(TITLE_ROWS[1] + 1, OPTION_FOOT_ROWS[0]):
        row = images["skin_option.bmp"][y]
        expect(all(c == BODY for c in row[4:ow - 4]), "skin_option.bmp body row %d not plain" % y)
        expect(all(row[x] == SIDE for x in (2, 3, ow - 4, ow - 3)), "skin_option.bmp row %d lacks the side borders" % y)
    expect(any(px("skin_option.bmp", x, y) == WHITE for y in range(7, 23) for x in range(9, 23)),
           "skin_option.bmp icon is not white")

    # Command buttons: olive corners, no near-olive colours, white label, hot differs.
    w, h = BUTTON_SIZE
    for name in buttons:
        rows = images[name]
        for (x, y) in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
            expect(rows[y][x] == OLIVE, "%s corner (%d, %d) not olive" % (name, x, y))
        for (x, y) in ((w // 2, h // 2), (w // 2, 2), (2, h // 2), (w - 3, h // 2)):
            expect(rows[y][x] != OLIVE, "%s (%d, %d) is transparent" % (name, x, y))
        near = [c for r in rows for c in r if c != OLIVE and max(abs(c[i] - OLIVE[i]) for i in range(3)) < 48]
        expect(not near, "%s has near-olive colours %r" % (name, near[:3]))
        expect(sum(c == WHITE for r in rows for c in r) > 30, "%s has no white label" % name)
        if name.endswith("_hot.bmp"):
            up = images[name.replace("_hot", "_up")]
            expect(up != rows, "%s equals its up image" % name)
            expect(sum(map(sum, rows[h // 2])) > sum(map(sum, up[h // 2])), "%s is not lighter than up" % name)

    # Title-band buttons: outline top row, opaque, white glyph, blend into the band.
    for name, (bw, bh), pos, skin in (("min_up.bmp", MIN_SIZE, MIN_POS, "skin_main.bmp"),
                                      ("close_up.bmp", CLOSE_SIZE, CLOSE_POS, "skin_main.bmp"),
                                      ("opt_close_up.bmp", CLOSE_SIZE, OPT_CLOSE_POS, "skin_option.bmp")):
        hot_name = name.replace("_up", "_hot")
        for n in (name, hot_name):
            rows = images[n]
            expect(all(c == OUTLINE for c in rows[0]), "%s top row is not the outline colour" % n)
            expect(not any(c == OLIVE for r in rows for c in r), "%s contains the transparent colour" % n)
            expect(any(c == WHITE for r in rows for c in r), "%s has no white glyph" % n)
        expect(images[name] != images[hot_name], "%s equals its hot image" % name)
        edge = [(0, y) for y in range(bh)] if name.startswith("min") else [(0, bh - 1), (bw - 1, bh - 1)]
        for (x, y) in edge:
            want = px(skin, pos[0] + x, pos[1] + y)
            got = images[name][y][x]
            expect(got == want, "%s (%d, %d) %r does not match the skin's %r" % (name, x, y, got, want))
    for name in ("close_up.bmp", "close_hot.bmp", "opt_close_up.bmp", "opt_close_hot.bmp"):
        r, g, b = images[name][10][6]
        expect(r > 150 and g < 140 and b < 140, "%s face is not red" % name)

    # Icon directory: 16, 32 and 48 pixels, 32 bits with alpha.
    ico = os.path.join(folder, "app.ico")
    if os.path.exists(ico):
        with open(ico, "rb") as f:
            data = f.read()
        count = struct.unpack_from("<H", data, 4)[0]
        entries = [struct.unpack_from("<BBBBHHII", data, 6 + 16 * i) for i in range(count)]
        expect(sorted(e[0] for e in entries) == [16, 32, 48], "app.ico does not hold 16, 32 and 48 px")
        expect(all(e[5] == 32 for e in entries), "app.ico entries are not 32-bit")
    else:
        errors.append("app.ico missing")

    # Resource script: every bitmap id of resource.h once, with the file made for it.
    if os.path.exists(os.path.join(folder, "launcher.rc")):
        pairs, ids, rc = rc_bitmaps(folder)
        made = {}
        for n, _ in products():
            stem = n[:-4].upper().replace("BTN_", "")
            made["IDB_" + stem] = n
        listed = [i for i, _ in pairs]
        expect(sorted(listed) == sorted(ids), "launcher.rc bitmaps %r differ from resource.h %r" % (listed, ids))
        for ident, fname in pairs:
            expect(made.get(ident) == fname, "launcher.rc gives %s the file %s" % (ident, fname))
        for needed in ("#pragma code_page(65001)", '#include "resource.h"', 'IDI_APP ICON "app.ico"',
                       '1 24 "launcher.manifest"', "VERSIONINFO", "3,0,2,0"):
            expect(needed in rc, "launcher.rc lacks %s" % needed)
    else:
        errors.append("launcher.rc missing")
    return errors


def main(argv):
    folder = ASSETS
    if "--dir" in argv:
        folder = argv[argv.index("--dir") + 1]
    if "--check" not in argv:
        os.makedirs(folder, exist_ok=True)
        for name, build in products():
            write_bmp(os.path.join(folder, name), build())
        write_icon(os.path.join(folder, "app.ico"))
    errors = check(folder)
    for e in errors:
        sys.stderr.write("make_assets: " + e + "\n")
    if errors:
        fail("check failed")
    if "--png" in argv:
        out = argv[argv.index("--png") + 1]
        os.makedirs(out, exist_ok=True)
        for name, _ in products():
            convert([os.path.join(folder, name), os.path.join(out, name[:-4] + ".png")])
        convert([os.path.join(folder, "app.ico"), os.path.join(out, "app.png")])
    print("assets OK")


if __name__ == "__main__":
    main(sys.argv[1:])
