# Usage: /usr/bin/python3 resources/makePictures.py  -- rewrites the editor's three PNGs beside this script.
"""Draws the editor's corner pictures at ten times their on-screen size.

Shapes are built from distance fields, so every edge gets analytic
anti-aliasing without supersampling. Seeds are fixed: reruns give identical files.
"""
import os
import struct
import zlib

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
SOFT = 3.0  # edge ramp in pixels: a third of a pixel once drawn at a tenth, soft but still crisp

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
    return np.clip(0.5 - d / soft, 0, 1)


def stroke(cv, cov, pts, r):
    """Union of tapered capsules along a polyline; r is one radius or one per point."""
    pts = np.asarray(pts, np.float32)
    r = np.broadcast_to(np.asarray(r, np.float32), (len(pts),))
    for (ax, ay), (bx, by), ra, rb in zip(pts[:-1], pts[1:], r[:-1], r[1:]):
        m = max(ra, rb) + SOFT + 1
        win = cv.box(min(ax, bx) - m, min(ay, by) - m, max(ax, bx) + m, max(ay, by) + m)
        if win is None:
            continue
        sl, xs, ys = win
        dx, dy = bx - ax, by - ay
        t = np.clip(((xs - ax) * dx + (ys - ay) * dy) / max(dx * dx + dy * dy, 1e-6), 0, 1)
        d = np.hypot(xs - ax - t * dx, ys - ay - t * dy) - (ra + t * (rb - ra))
        np.maximum(cov[sl], ramp(d), out=cov[sl])
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


def blob(cv, cov, cx, cy, radiusAt):
    """Star-shaped region whose rim radius is a function of the polar angle."""
    h, w = cov.shape
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32) + 0.5
    np.maximum(cov, ramp(np.hypot(xs - cx, ys - cy) - radiusAt(np.arctan2(ys - cy, xs - cx))), out=cov)
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
    stroke(cv, cov, [(x - size, y), (x, y), (x + size, y)], [1.5, size * 0.22, 1.5])
    stroke(cv, cov, [(x, y - size), (x, y), (x, y + size)], [1.5, size * 0.22, 1.5])
    cv.paint(cov, colour)


def tumbleweed():
    cv = Canvas(1050, 925)
    rng = np.random.default_rng(7)
    cx, cy, R = 590, 435, 400
    phases = rng.uniform(0, 2 * np.pi, 3)
    rim = lambda a: R * (0.93 + 0.025 * np.sin(7 * a + phases[0]) + 0.02 * np.sin(11 * a + phases[1])
                         + 0.015 * np.sin(17 * a + phases[2]))

    cv.paint(ellipse(cv, cv.layer(), cx + 10, 868, 360, 44), 0xdcc4c8)  # ground shadow
    for y, x0, x1 in ((290, 45, 165), (425, 20, 150), (560, 50, 170)):  # speed lines: it is rolling
        cv.paint(stroke(cv, cv.layer(), [(x0, y), (x1, y)], 13), MAUVE)

    body = blob(cv, cv.layer(), cx, cy, rim)
    cv.paint(body, 0xb88d58)
    lit = ellipse(cv, cv.layer(), cx - 34, cy - 38, R * 0.9)
    cv.paint(np.minimum(lit, body), 0xd4b07c)

    def twigs(count, colour, width, loopMin, loopMax, lean=0.0):
        cov = cv.layer()
        for _ in range(count):
            off, offA = R * 0.78 * np.sqrt(rng.uniform()), rng.uniform(0, 2 * np.pi)
            if lean:  # pull highlights towards the lit upper-left side
                off, offA = off * lean + 0.3 * R, rng.uniform(0.85, 1.65) * np.pi
            rx = R * rng.uniform(loopMin, loopMax)
            ry, rot, a0 = rx * rng.uniform(0.5, 1.0), rng.uniform(0, np.pi), rng.uniform(0, 2 * np.pi)
            a = np.linspace(a0, a0 + rng.uniform(2.0, 5.0), 80)
            u, v = rx * np.cos(a), ry * np.sin(a)
            x = cx + off * np.cos(offA) + u * np.cos(rot) - v * np.sin(rot)
            y = cy + off * np.sin(offA) + u * np.sin(rot) + v * np.cos(rot)
            # Negative radius past the rim hides the twig there, so loops end tapered, not clipped.
            inside = np.clip((R - np.hypot(x - cx, y - cy)) / 25, -1, 1)
            ends = np.interp(np.linspace(0, 1, 80), [0, 0.12, 0.88, 1], [0.3, 1, 1, 0.3])
            stroke(cv, cov, np.stack([x, y], 1), width * rng.uniform(0.75, 1.25) * np.minimum(inside, ends))
        cv.paint(cov, colour)

    twigs(36, 0x9a7045, 9, 0.2, 0.55)
    twigs(36, 0x6b4930, 8, 0.2, 0.6)
    twigs(14, PLUM, 7, 0.25, 0.6)
    twigs(10, 0xf3e3c0, 4, 0.25, 0.5, lean=0.5)

    spikes = cv.layer()  # a few stray twigs break the outline so it reads as brush, not a ball
    for a in np.linspace(0, 2 * np.pi, 13, endpoint=False) + rng.uniform(-0.2, 0.2, 13):
        bend = rng.uniform(-0.25, 0.25)
        p0 = (cx + 0.8 * R * np.cos(a), cy + 0.8 * R * np.sin(a))
        p1 = (cx + 1.0 * R * np.cos(a + bend), cy + 1.0 * R * np.sin(a + bend))
        p2 = (cx + 1.08 * R * np.cos(a + 1.6 * bend), cy + 1.08 * R * np.sin(a + 1.6 * bend))
        stroke(cv, spikes, bezier(p0, p1, p2, 16), np.linspace(10, 3, 16))
    cv.paint(spikes, 0x6b4930)
    return cv


def wisp():
    cv = Canvas(1050, 1014)
    ox, oy = 455, 610  # centre of the glowing orb; its flame trails up and right as it drifts
    for radius, colour, soft in ((450, 0xdfe4cd, 14), (355, 0xe7ead4, 8), (255, 0xf1efd9, 8)):  # rings of glow
        cv.paint(ellipse(cv, cv.layer(), ox + 70, oy - 90, radius, soft=soft), colour)

    tipX, tipY = ox + 250, oy - 290
    for c, r0, r1, a0, a1, w0, colour in (((tipX, tipY - 160), 160, 30, 0.5 * np.pi, -1.35 * np.pi, 24, PLUM),
                                          ((845, 600), 200, 30, 0.85 * np.pi, -0.75 * np.pi, 17, MAUVE),
                                          ((330, 250), 160, 26, 0.3 * np.pi, 1.95 * np.pi, 15, MAUVE)):
        trail = spiral(c[0], c[1], r0, r1, a0, a1, 140)  # smoke curling off as the wisp drifts
        s = np.linspace(0, 1, len(trail))
        cv.paint(stroke(cv, cv.layer(), trail, np.interp(s, [0, 0.2, 1], [w0 * 0.4, w0, 4])), colour)

    def flame(scale, colour, shift):
        bx, by = ox + shift[0], oy + shift[1]
        tip = (tipX - (1 - scale) * 250, tipY + (1 - scale) * 290)  # inner layers stop short of the tip
        pts = bezier((bx, by), (bx + 40 * scale, by - 200 * scale), tip, 60)
        s = np.linspace(0, 1, len(pts))
        cv.paint(stroke(cv, cv.layer(), pts, 150 * scale * (1 - s) ** 0.9 + 3), colour)

    flame(1.0, 0xefbf6a, (0, 0))
    flame(0.72, 0xf7d992, (-4, 22))
    flame(0.45, 0xfdf1d2, (-8, 44))
    cv.paint(ellipse(cv, cv.layer(), ox - 14, oy + 48, 30), 0xffffff)

    for x, y, size, colour in ((170, 520, 36, PINK), (930, 140, 44, PINK), (880, 880, 30, PLUM),
                               (600, 900, 24, PINK), (150, 120, 26, PLUM), (700, 640, 22, PINK)):
        sparkle(cv, colour, x, y, size)
    return cv


def reeds():
    cv = Canvas(1050, 925)
    rng = np.random.default_rng(11)
    waterY = 845
    ys = np.arange(cv.h, dtype=np.float32)[:, None] + 0.5
    arch = ellipse(cv, cv.layer(), 525, waterY, 490, 600, soft=10)  # tall arch behind the plants frames them
    dome = np.minimum(arch, ramp(ys - waterY) + np.zeros((1, cv.w)))
    cv.paint(dome, 0xdde2cb)

    def blade(cov, x0, height, lean, droop, width):
        tipX = x0 + lean
        pts = bezier((x0, waterY), (x0 + lean * 0.2, waterY - height * 0.75),
                     (tipX + droop, waterY - height + abs(droop) * 0.4), 48)
        stroke(cv, cov, pts, np.linspace(width, 2, len(pts)))

    for colour, count, spread, hMin, hMax in ((0x93a573, 9, 300, 330, 560), (0x5b6e42, 11, 260, 260, 520)):
        cov = cv.layer()
        for _ in range(count):
            x0 = 525 + rng.uniform(-spread, spread)
            blade(cov, x0, rng.uniform(hMin, hMax), (x0 - 525) * rng.uniform(0.15, 0.5),
                  rng.uniform(-90, 90), rng.uniform(13, 19))
        cv.paint(cov, colour)

    stems, heads, tips, shine = cv.layer(), cv.layer(), cv.layer(), cv.layer()
    for x0, top, lean in ((370, 150, -60), (470, 70, -10), (590, 120, 40), (700, 230, 95), (290, 330, -90)):
        pts = bezier((x0 + lean, top), (x0 + lean * 0.1, (waterY + top) / 2), (x0, waterY), 40)
        stroke(cv, stems, pts, 7)
        i0, i1 = 4, 12  # the head sits just below the stem's top, with a bare spike above it
        stroke(cv, heads, pts[i0:i1], 31)
        stroke(cv, shine, pts[i0 + 1:i1 - 1] + np.array([-11, 0]), 7)
        stroke(cv, tips, pts[:i0 + 1], np.linspace(3, 6, i0 + 1))
    cv.paint(stems, 0x6a7a4a)
    cv.paint(tips, 0x6b5a3e)
    cv.paint(heads, 0x7b4f32)
    cv.paint(shine, 0xa7744b)

    cv.paint(ellipse(cv, cv.layer(), 525, waterY, 515, 72), 0x7e6e8c)
    cv.paint(ellipse(cv, cv.layer(), 525, waterY - 14, 470, 40), 0x95869f)
    ripples = cv.layer()
    for x0, x1, y in ((210, 330, 842), (420, 600, 860), (680, 820, 840), (330, 420, 885), (610, 700, 888)):
        stroke(cv, ripples, [(x0, y), (x1, y)], 7)
    cv.paint(ripples, 0xc9bdd3)

    front = cv.layer()  # a few blades in front of the water line tie the plants into the pond
    for x0, h, lean, droop in ((250, 260, -60, -40), (800, 300, 70, 60), (540, 200, 10, 50)):
        blade(front, x0, h, lean, droop, 15)
    cv.paint(front, 0x4a5c36)

    for x, y in ((170, 420), (860, 330), (905, 560), (120, 640)):  # fireflies echo the knob pink
        cv.paint(ellipse(cv, cv.layer(), x, y, 24), 0xf8e3e6)
        cv.paint(ellipse(cv, cv.layer(), x, y, 12), PINK)
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
