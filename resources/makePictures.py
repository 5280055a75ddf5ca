# Usage: /usr/bin/python3 resources/makePictures.py  -- rewrites the editor's three PNGs beside this script.
"""Draws the editor's corner pictures at ten times their on-screen size.

The editor shrinks each picture to a tenth by sampling two by two source pixels per
screen pixel, so nothing here may change faster than a screen pixel allows: every edge
is a smooth ramp of sixteen source pixels, and a stroke thinner than that is drawn at
that width and fainter instead. Shapes are distance fields, so the ramps are analytic.
Seeds are fixed: reruns give identical files.
"""
import os
import struct
import zlib

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
SOFT = 8.0  # half-width of every edge ramp, in source pixels
THINNEST = 8.0  # strokes of a smaller radius are drawn at this one, fainter by the same ratio

PLUM, MAUVE, PINK = 0x3f3244, 0x8d7090, 0xfc9fb1


def rgb(hexColour):
    return np.array([(hexColour >> 16) & 255, (hexColour >> 8) & 255, hexColour & 255], np.float32) / 255


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.col = np.zeros((h, w, 3), np.float32)  # premultiplied, so "over" is one blend
        self.alpha = np.zeros((h, w), np.float32)

    def layer(self):
        return np.zeros((self.h, self.w), np.float32)

    def paint(self, cov, colour, opacity=1.0):
        c = cov * opacity
        self.col = self.col * (1 - c)[..., None] + c[..., None] * rgb(colour)
        self.alpha = self.alpha * (1 - c) + c

    def box(self, x0, y0, x1, y1):
        """Clipped pixel window plus the pixel-centre coordinates inside it."""
        x0, y0 = max(int(x0), 0), max(int(y0), 0)
        x1, y1 = min(int(x1) + 1, self.w), min(int(y1) + 1, self.h)
        if x0 >= x1 or y0 >= y1:
            return None
        ys, xs = np.mgrid[y0:y1, x0:x1].astype(np.float32) + 0.5
        return (slice(y0, y1), slice(x0, x1)), xs, ys


def ramp(d, soft=SOFT):
    """Coverage from signed distance: a blurred step with no corners, so it has no kink to alias."""
    u = np.clip(d / soft, -1, 1)
    return 0.5 - u + u * np.abs(u) / 2


def stroke(cv, cov, pts, r):
    """Union of tapered capsules along a polyline; r is one radius or one per point."""
    pts = np.asarray(pts, np.float32)
    r = np.broadcast_to(np.asarray(r, np.float32), (len(pts),))
    weight = np.clip(r / THINNEST, 0, 1)
    r = np.maximum(r, THINNEST)
    for (ax, ay), (bx, by), ra, rb, wa, wb in zip(pts[:-1], pts[1:], r[:-1], r[1:], weight[:-1], weight[1:]):
        m = max(ra, rb) + SOFT + 1
        win = cv.box(min(ax, bx) - m, min(ay, by) - m, max(ax, bx) + m, max(ay, by) + m)
        if win is None or max(wa, wb) <= 0:
            continue
        sl, xs, ys = win
        dx, dy = bx - ax, by - ay
        t = np.clip(((xs - ax) * dx + (ys - ay) * dy) / max(dx * dx + dy * dy, 1e-6), 0, 1)
        d = np.hypot(xs - ax - t * dx, ys - ay - t * dy) - (ra + t * (rb - ra))
        np.maximum(cov[sl], ramp(d) * (wa + t * (wb - wa)), out=cov[sl])
    return cov


def ellipse(cv, cov, cx, cy, rx, ry=None, soft=SOFT):
    ry = rx if ry is None else ry
    m = max(rx, ry) + soft + 1
    win = cv.box(cx - m, cy - m, cx + m, cy + m)
    if win is not None:
        sl, xs, ys = win
        u, v = (xs - cx) / rx, (ys - cy) / ry
        q = np.hypot(u, v) + 1e-6
        grad = np.hypot(u / rx, v / ry) / q + 1e-9  # first-order distance keeps flat ellipses crisp
        np.maximum(cov[sl], ramp((q - 1) / grad, soft), out=cov[sl])
    return cov


def blob(cv, cov, cx, cy, radiusAt, soft=SOFT):
    """Star-shaped region whose rim radius is a function of the polar angle."""
    h, w = cov.shape
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32) + 0.5
    np.maximum(cov, ramp(np.hypot(xs - cx, ys - cy) - radiusAt(np.arctan2(ys - cy, xs - cx)), soft), out=cov)
    return cov


def bezier(p0, p1, p2, n=40):
    t = np.linspace(0, 1, n)[:, None]
    return (1 - t) ** 2 * np.array(p0) + 2 * (1 - t) * t * np.array(p1) + t ** 2 * np.array(p2)


def spiral(cx, cy, r0, r1, a0, a1, n=120):
    a = np.linspace(a0, a1, n)
    r = r0 * (r1 / r0) ** np.linspace(0, 1, n)
    return np.stack([cx + r * np.cos(a), cy + r * np.sin(a)], 1)


def sparkle(cv, colour, x, y, size):
    cov = cv.layer()
    stroke(cv, cov, [(x - size, y), (x, y), (x + size, y)], [3, size * 0.26, 3])
    stroke(cv, cov, [(x, y - size), (x, y), (x, y + size)], [3, size * 0.26, 3])
    cv.paint(cov, colour)


def tumbleweed():
    """A ball of brush rolling right; its lower right corner stays empty for the caption beside it."""
    cv = Canvas(1050, 925)
    rng = np.random.default_rng(7)
    cx, cy, R = 500, 385, 315
    phases = rng.uniform(0, 2 * np.pi, 3)
    rim = lambda a: R * (0.95 + 0.025 * np.sin(5 * a + phases[0]) + 0.02 * np.sin(8 * a + phases[1])
                         + 0.012 * np.sin(13 * a + phases[2]))

    cv.paint(ellipse(cv, cv.layer(), cx - 10, 780, 250, 34, soft=20), 0xdcc4c8)  # ground shadow
    for y, x0, x1 in ((250, 40, 130), (385, 20, 120), (520, 40, 130)):  # speed lines: it is rolling
        cv.paint(stroke(cv, cv.layer(), [(x0, y), (x1, y)], 14), MAUVE)

    spikes = cv.layer()  # stray twigs break the outline so it reads as brush, not a ball
    for a in np.linspace(0, 2 * np.pi, 11, endpoint=False) + rng.uniform(-0.15, 0.15, 11):
        bend = rng.uniform(-0.25, 0.25)
        p0 = (cx + 0.8 * R * np.cos(a), cy + 0.8 * R * np.sin(a))
        p1 = (cx + 1.0 * R * np.cos(a + bend), cy + 1.0 * R * np.sin(a + bend))
        p2 = (cx + 1.12 * R * np.cos(a + 1.6 * bend), cy + 1.12 * R * np.sin(a + 1.6 * bend))
        stroke(cv, spikes, bezier(p0, p1, p2, 16), np.linspace(12, 5, 16))
    cv.paint(spikes, 0x6b4930)

    body = blob(cv, cv.layer(), cx, cy, rim)
    cv.paint(body, 0xab8150)
    lit = ellipse(cv, cv.layer(), cx - 40, cy - 45, R * 0.82, soft=40)
    cv.paint(np.minimum(lit, body), 0xcfa978)

    def twigs(count, colour, width, lit=False):
        """Arcs wound round the ball like yarn, so it reads as one tangle turning as it rolls."""
        cov = cv.layer()
        for _ in range(count):
            off, offA = R * 0.2 * np.sqrt(rng.uniform()), rng.uniform(0, 2 * np.pi)
            rx = R * rng.uniform(0.55, 0.9)
            ry, rot, a0 = rx * rng.uniform(0.15, 0.9), rng.uniform(0, np.pi), rng.uniform(0, 2 * np.pi)
            a = np.linspace(a0, a0 + rng.uniform(2.0, 4.0), 80)
            u, v = rx * np.cos(a), ry * np.sin(a)
            x = cx + off * np.cos(offA) + u * np.cos(rot) - v * np.sin(rot)
            y = cy + off * np.sin(offA) + u * np.sin(rot) + v * np.cos(rot)
            # Past the rim the radius goes to nothing, so arcs end tapered, not clipped.
            w = np.clip((0.97 * R - np.hypot(x - cx, y - cy)) / 40, 0, 1)
            w = np.minimum(w, np.interp(np.linspace(0, 1, 80), [0, 0.15, 0.85, 1], [0.2, 1, 1, 0.2]))
            if lit:  # highlights only where the light falls, on the upper left
                w = w * np.clip(1.5 * (-(x - cx) * 0.6 - (y - cy) * 0.8) / R, 0, 1)
            stroke(cv, cov, np.stack([x, y], 1), width * w)
        cv.paint(cov, colour)

    twigs(14, 0x957045, 10)
    twigs(12, 0x6b4930, 10)
    twigs(5, 0x4b3440, 9)
    twigs(8, 0xecd6a8, 8, lit=True)
    return cv


def wisp():
    """A glowing orb trailing its flame up and right; the lower left stays empty for the caption."""
    cv = Canvas(1050, 1014)
    ox, oy = 560, 560  # centre of the glowing orb
    gx, gy = 640, 455  # centre of its glow
    for radius, colour, soft in ((360, 0xdfe4cd, 30), (280, 0xe7ead4, 24), (200, 0xf1efd9, 20)):  # rings of glow
        cv.paint(ellipse(cv, cv.layer(), gx, gy, radius, soft=soft), colour)

    tipX, tipY = ox + 230, oy - 300
    for c, r0, r1, a0, a1, w0, colour in (((tipX - 10, tipY - 120), 120, 30, 0.5 * np.pi, -1.3 * np.pi, 26, PLUM),
                                          ((880, 640), 150, 40, 0.85 * np.pi, -0.6 * np.pi, 20, MAUVE),
                                          ((400, 300), 120, 35, 0.35 * np.pi, 1.9 * np.pi, 18, MAUVE)):
        trail = spiral(c[0], c[1], r0, r1, a0, a1, 140)  # smoke curling off as the wisp drifts
        s = np.linspace(0, 1, len(trail))
        cv.paint(stroke(cv, cv.layer(), trail, np.interp(s, [0, 0.2, 1], [w0 * 0.4, w0, 6])), colour)

    def flame(scale, colour, shift):
        bx, by = ox + shift[0], oy + shift[1]
        tip = (tipX - (1 - scale) * 230, tipY + (1 - scale) * 300)  # inner layers stop short of the tip
        pts = bezier((bx, by), (bx + 40 * scale, by - 190 * scale), tip, 60)
        s = np.linspace(0, 1, len(pts))
        cv.paint(stroke(cv, cv.layer(), pts, 140 * scale * (1 - s) ** 0.9 + 10), colour)

    flame(1.0, 0xefbf6a, (0, 0))
    flame(0.7, 0xf7d992, (-4, 22))
    flame(0.42, 0xfdf1d2, (-8, 44))
    cv.paint(ellipse(cv, cv.layer(), ox - 14, oy + 46, 30), 0xffffff)

    for x, y, size, colour in ((320, 560, 48, PINK), (960, 120, 60, PINK), (930, 900, 48, PLUM),
                               (600, 930, 42, PINK), (190, 140, 44, PLUM)):
        sparkle(cv, colour, x, y, size)
    return cv


def reeds():
    cv = Canvas(1050, 925)
    rng = np.random.default_rng(11)
    waterY = 835
    ys = np.arange(cv.h, dtype=np.float32)[:, None] + 0.5
    arch = ellipse(cv, cv.layer(), 525, waterY, 480, 600, soft=20)  # tall arch behind the plants frames them
    dome = np.minimum(arch, ramp(ys - waterY) + np.zeros((1, cv.w)))
    cv.paint(dome, 0xdde2cb)

    def blade(cov, x0, height, lean, droop, width):
        tipX = x0 + lean
        pts = bezier((x0, waterY), (x0 + lean * 0.2, waterY - height * 0.75),
                     (tipX + droop, waterY - height + abs(droop) * 0.4), 48)
        stroke(cv, cov, pts, np.linspace(width, 3, len(pts)))

    for colour, count, spread, hMin, hMax in ((0x9aab7a, 7, 300, 330, 540), (0x6b7e4e, 8, 260, 260, 500)):
        cov = cv.layer()
        for _ in range(count):
            x0 = 525 + rng.uniform(-spread, spread)
            blade(cov, x0, rng.uniform(hMin, hMax), (x0 - 525) * rng.uniform(0.15, 0.5),
                  rng.uniform(-90, 90), rng.uniform(17, 22))
        cv.paint(cov, colour)

    stems, heads, tips, shine = cv.layer(), cv.layer(), cv.layer(), cv.layer()
    for x0, top, lean in ((370, 150, -60), (480, 70, -10), (600, 120, 40), (710, 230, 95), (290, 330, -90)):
        pts = bezier((x0 + lean, top), (x0 + lean * 0.1, (waterY + top) / 2), (x0, waterY), 40)
        stroke(cv, stems, pts, 9)
        i0, i1 = 4, 12  # the head sits just below the stem's top, with a bare spike above it
        stroke(cv, heads, pts[i0:i1], 33)
        stroke(cv, shine, pts[i0 + 1:i1 - 1] + np.array([-12, 0]), 8)
        stroke(cv, tips, pts[:i0 + 1], np.linspace(6, 9, i0 + 1))
    cv.paint(stems, 0x6a7a4a)
    cv.paint(tips, 0x6b5a3e)
    cv.paint(heads, 0x7b4f32)
    cv.paint(shine, 0xa7744b)

    cv.paint(ellipse(cv, cv.layer(), 525, waterY, 505, 75, soft=12), 0x7e6e8c)
    cv.paint(ellipse(cv, cv.layer(), 525, waterY - 14, 460, 42, soft=12), 0x95869f)
    ripples = cv.layer()
    for x0, x1, y in ((210, 330, 832), (420, 600, 850), (690, 820, 830), (330, 420, 878), (610, 700, 880)):
        stroke(cv, ripples, [(x0, y), (x1, y)], 9)
    cv.paint(ripples, 0xc9bdd3)

    front = cv.layer()  # a few blades in front of the water line tie the plants into the pond
    for x0, h, lean, droop in ((250, 260, -60, -40), (800, 300, 70, 60), (540, 200, 10, 50)):
        blade(front, x0, h, lean, droop, 18)
    cv.paint(front, 0x4a5c36)

    for x, y in ((115, 300), (885, 300), (930, 545), (110, 610)):  # fireflies echo the knob pink
        cv.paint(ellipse(cv, cv.layer(), x, y, 28), 0xf8e3e6)
        cv.paint(ellipse(cv, cv.layer(), x, y, 15), PINK)
    return cv


def writePng(path, cv):
    a = np.clip(cv.alpha, 0, 1)
    straight = np.where(a[..., None] > 0, cv.col / np.maximum(a, 1e-6)[..., None], 0)
    px = np.dstack([np.round(np.clip(straight, 0, 1) * 255), np.round(a * 255)]).astype(np.uint8)
    px[px[..., 3] == 0] = 0  # fully transparent pixels carry no stray colour
    up = px.astype(np.int16)
    up[1:] -= px[:-1]  # the "Up" filter on every row: flat art then compresses to almost nothing
    rows = np.concatenate([np.full((cv.h, 1), 2, np.uint8), (up % 256).astype(np.uint8).reshape(cv.h, -1)], 1)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(rows.tobytes(), 9)) + chunk(b"IEND", b""))
    clear, partial = np.mean(px[..., 3] == 0), np.mean((px[..., 3] > 0) & (px[..., 3] < 255))
    print(f"{os.path.basename(path)}: {cv.w}x{cv.h}, {clear:.1%} transparent, {partial:.1%} partly transparent")


if __name__ == "__main__":
    for name, draw in (("topLeftPicture.png", tumbleweed), ("topRightPicture.png", wisp),
                       ("bottomPicture.png", reeds)):
        writePng(os.path.join(HERE, name), draw())
