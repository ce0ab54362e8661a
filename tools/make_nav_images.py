#!/usr/bin/env python3
"""Draws the built-in images of the 3D view and writes them as PNG files to
src/resources/images/ and as byte arrays to src/resources/NavigationImages.cpp.

The images are the zoom buttons (234..237), the show/hide buttons (238..241),
the pan pad with its highlighted variants (242..246), the product logo (226)
and the station icon (202). Only the Python standard library is used: shapes
are tested per sample and anti-aliased by supersampling, PNG files are
written with zlib and struct. Run from anywhere:

    python3 tools/make_nav_images.py
"""

import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMAGE_DIR = os.path.join(ROOT, "src", "resources", "images")
CPP_FILE = os.path.join(ROOT, "src", "resources", "NavigationImages.cpp")

SS = 4  # samples per pixel along each axis

# Colours (R, G, B, A).
PANEL = (34, 42, 52, 200)
PANEL_HOT = (28, 112, 196, 235)
BORDER = (236, 240, 244, 230)
WHITE = (255, 255, 255, 255)


# --- shapes: each is (bounding box, inside(x, y)) in pixel units, y down ---

def circle(cx, cy, r):
    return ((cx - r, cy - r, cx + r, cy + r),
            lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def ring(cx, cy, r_out, r_in):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out
    return ((cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside)


def segment(x0, y0, x1, y1, half):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1e-12

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half * half
    return ((min(x0, x1) - half, min(y0, y1) - half, max(x0, x1) + half, max(y0, y1) + half),
            inside)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        winding = 0
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            cross = (bx - ax) * (y - ay) - (x - ax) * (by - ay)
            if ay <= y < by and cross > 0:
                winding += 1
            elif by <= y < ay and cross < 0:
                winding -= 1
        return winding != 0
    return ((min(xs), min(ys), max(xs), max(ys)), inside)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return ((x0, y0, x1, y1), inside)


def arc(cx, cy, rx, ry, a0, a1, half, steps=24):
    """A stroked elliptic arc from angle a0 to a1 (degrees, 0 = +x, 90 = down)."""
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return [segment(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], half)
            for i in range(steps)]


# --- rasterising ---

class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]  # premultiplied

    def fill(self, shapes, colour):
        """Paints the union of shapes in colour, anti-aliased, over the canvas."""
        if not isinstance(shapes, list):
            shapes = [shapes]
        bx0 = max(0, int(math.floor(min(s[0][0] for s in shapes))) - 1)
        by0 = max(0, int(math.floor(min(s[0][1] for s in shapes))) - 1)
        bx1 = min(self.width, int(math.ceil(max(s[0][2] for s in shapes))) + 1)
        by1 = min(self.height, int(math.ceil(max(s[0][3] for s in shapes))) + 1)
        r, g, b, a = (c / 255.0 for c in colour)
        for y in range(by0, by1):
            for x in range(bx0, bx1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        fx = x + (sx + 0.5) / SS
                        fy = y + (sy + 0.5) / SS
                        for box, inside in shapes:
                            if box[0] <= fx <= box[2] and box[1] <= fy <= box[3] and inside(fx, fy):
                                hits += 1
                                break
                if hits:
                    cov = a * hits / (SS * SS)
                    p = self.px[y * self.width + x]
                    p[0] = r * cov + p[0] * (1 - cov)
                    p[1] = g * cov + p[1] * (1 - cov)
                    p[2] = b * cov + p[2] * (1 - cov)
                    p[3] = cov + p[3] * (1 - cov)

    def rgba_rows(self):
        rows = []
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                r, g, b, a = self.px[y * self.width + x]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                else:
                    row += bytes((round(min(1.0, r / a) * 255), round(min(1.0, g / a) * 255),
                                  round(min(1.0, b / a) * 255), round(a * 255)))
            rows.append(bytes(row))
        return rows


def png_bytes(width, height, rows, channels):
    colour_type = 6 if channels == 4 else 2
    raw = b"".join(b"\0" + row for row in rows)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# --- the images ---

def zoom_button(minus, pressed):
    c = Canvas(26, 26)
    c.fill(circle(13, 13, 12.5), BORDER)
    c.fill(circle(13, 13, 11.2), PANEL_HOT if pressed else PANEL)
    off = 0.7 if pressed else 0.0
    bars = [segment(7.5, 13 + off, 18.5, 13 + off, 1.6)]
    if not minus:
        bars.append(segment(13, 7.5 + off, 13, 18.5 + off, 1.6))
    c.fill(bars, WHITE)
    return c


def pan_pad(highlight):
    """highlight: None, 'up', 'down', 'left' or 'right'."""
    c = Canvas(48, 48)
    c.fill(circle(24, 24, 23.5), BORDER)
    c.fill(circle(24, 24, 22.2), PANEL)
    arrows = {
        "up": ((24, 24 - 16), [(24, 4.5), (17.5, 12.5), (30.5, 12.5)]),
        "down": ((24, 24 + 16), [(24, 43.5), (17.5, 35.5), (30.5, 35.5)]),
        "left": ((24 - 16, 24), [(4.5, 24), (12.5, 17.5), (12.5, 30.5)]),
        "right": ((24 + 16, 24), [(43.5, 24), (35.5, 17.5), (35.5, 30.5)]),
    }
    if highlight:
        centre, _ = arrows[highlight]
        c.fill(circle(centre[0], centre[1], 7.5), PANEL_HOT)
    for name, (_, tri) in arrows.items():
        c.fill(polygon(tri), WHITE)
    c.fill(ring(24, 24, 4.5, 2.8), (236, 240, 244, 160))
    return c


def show_hide_button(show, hovered):
    c = Canvas(28, 28)
    c.fill(rounded_rect(0.5, 0.5, 27.5, 27.5, 6), BORDER)
    c.fill(rounded_rect(1.7, 1.7, 26.3, 26.3, 5), PANEL_HOT if hovered else PANEL)
    # Hide: chevrons pointing right (the controls slide away); show: left.
    strokes = []
    for tip in ((9.5, 15.5) if show else (12.5, 18.5)):
        back = tip + 5 if show else tip - 5
        strokes.append(segment(back, 8, tip, 14, 1.4))
        strokes.append(segment(tip, 14, back, 20, 1.4))
    c.fill(strokes, WHITE)
    return c


def product_logo():
    c = Canvas(284, 47)
    c.fill(rounded_rect(0.5, 0.5, 283.5, 46.5, 9), (24, 30, 38, 210))
    # Emblem: a globe of the panorama with one meridian and the horizon.
    c.fill(ring(26, 23.5, 15, 12.6), (90, 190, 255, 255))
    c.fill(arc(26, 23.5, 6, 13.8, -90, 90, 1.1) + arc(26, 23.5, 6, 13.8, 90, 270, 1.1),
           (90, 190, 255, 255))
    c.fill(segment(12, 23.5, 40, 23.5, 1.1), (90, 190, 255, 255))
    c.fill(circle(26, 23.5, 3.2), WHITE)
    # "Panora" in a stroked sans: cap height 26, x-height 18, baseline 36.
    w = 2.5
    top, mid, base = 10.0, 18.0, 36.0
    ink = []
    x = 56.0
    # P
    ink.append(segment(x, top, x, base, w))
    ink.append(segment(x, top, x + 7, top, w))
    ink.append(segment(x, mid + 7, x + 7, mid + 7, w))
    ink += arc(x + 7, top + 7.5, 7.5, 7.5, -90, 90, w)
    x += 24
    # a (single-storey): bowl and right stem
    ink += arc(x + 8, 27, 8, 9, 0, 360, w, 36)
    ink.append(segment(x + 16, mid, x + 16, base, w))
    x += 26
    # n
    ink.append(segment(x, mid, x, base, w))
    ink += arc(x + 8, mid + 7, 8, 7, 180, 360, w)
    ink.append(segment(x + 16, mid + 7, x + 16, base, w))
    x += 26
    # o
    ink += arc(x + 8.5, 27, 8.5, 9, 0, 360, w, 36)
    x += 27
    # r
    ink.append(segment(x, mid, x, base, w))
    ink += arc(x + 8, mid + 7, 8, 7, 180, 290, w)
    x += 18
    # a
    ink += arc(x + 8, 27, 8, 9, 0, 360, w, 36)
    ink.append(segment(x + 16, mid, x + 16, base, w))
    c.fill(ink, WHITE)
    return c


KEY = (255, 0, 255)  # the top-left pixel's colour becomes transparent


def station_icon():
    """48 x 48, 24-bit: a survey marker whose silhouette follows the icon's
    hit outline around the centre (24, 24). The outer edge is hard (the key
    colour must not bleed into it); the inside is anti-aliased."""
    cx, cy = 24, 24
    outline = [(-1, -18), (3, -18), (15, 6), (15, 10), (14, 11), (13, 12), (-10, 12),
               (-13, 11), (-14, 10), (-14, 6)]
    body = polygon([(cx + x + 0.5, cy + y + 0.5) for x, y in outline])
    inner = polygon([(cx + 0.5 + x * 0.82 + 0.4, cy + 0.5 + y * 0.82 - 0.6) for x, y in outline])
    c = Canvas(48, 48)
    c.fill(rounded_rect(0, 0, 48, 48, 0), (0, 58, 92, 255))
    c.fill(inner, (0, 150, 205, 255))
    c.fill(segment(cx + 1, cy - 12, cx + 1, cy + 8, 1.2), (200, 236, 255, 255))
    c.fill(circle(cx + 1, cy - 7, 3.6), WHITE)
    c.fill(segment(cx - 9, cy + 8, cx + 11, cy + 8, 1.2), (200, 236, 255, 255))
    rows = c.rgba_rows()
    out = []
    for y in range(48):
        row = bytearray()
        for x in range(48):
            if body[1](x + 0.5, y + 0.5):
                row += rows[y][4 * x:4 * x + 3]
            else:
                row += bytes(KEY)
        out.append(bytes(row))
    return out


def main():
    os.makedirs(IMAGE_DIR, exist_ok=True)
    images = []  # (id, name, png bytes)

    def add(rid, name, canvas):
        images.append((rid, name, png_bytes(canvas.width, canvas.height, canvas.rgba_rows(), 4)))

    add(234, "zoom_in", zoom_button(False, False))
    add(235, "zoom_in_pressed", zoom_button(False, True))
    add(236, "zoom_out", zoom_button(True, False))
    add(237, "zoom_out_pressed", zoom_button(True, True))
    add(238, "show_controls", show_hide_button(True, False))
    add(239, "show_controls_hovered", show_hide_button(True, True))
    add(240, "hide_controls", show_hide_button(False, False))
    add(241, "hide_controls_hovered", show_hide_button(False, True))
    add(242, "pan_pad", pan_pad(None))
    add(243, "pan_pad_down", pan_pad("down"))
    add(244, "pan_pad_up", pan_pad("up"))
    add(245, "pan_pad_left", pan_pad("left"))
    add(246, "pan_pad_right", pan_pad("right"))
    add(226, "product_logo", product_logo())
    images.append((202, "station_icon", png_bytes(48, 48, station_icon(), 3)))

    for rid, name, data in images:
        with open(os.path.join(IMAGE_DIR, "%d_%s.png" % (rid, name)), "wb") as f:
            f.write(data)

    lines = [
        "// Generated by tools/make_nav_images.py from the drawings there; do not edit.",
        "// The PNG images of the 3D view's navigation controls, the product logo and",
        "// the built-in station icon, by resource id.",
        "",
        '#include "resources/NavigationImages.h"',
        "",
        "#include <cstdint>",
        "",
        "namespace resources {",
        "",
        "namespace {",
        "",
        "// clang-format off",
    ]
    for rid, name, data in images:
        lines.append("const std::uint8_t k%s[] = {  // %d" % (
            "".join(p.capitalize() for p in name.split("_")), rid))
        for i in range(0, len(data), 16):
            lines.append("    " + ", ".join("0x%02x" % b for b in data[i:i + 16]) + ",")
        lines.append("};")
    lines += ["// clang-format on", "", "}  // namespace", "",
              "std::span<const std::uint8_t> ImageResource(int id) {", "    switch (id) {"]
    for rid, name, data in images:
        lines.append("        case %d:" % rid)
        lines.append("            return k%s;" % "".join(p.capitalize() for p in name.split("_")))
    lines += ["        default:", "            return {};", "    }", "}", "",
              "}  // namespace resources", ""]
    with open(CPP_FILE, "w") as f:
        f.write("\n".join(lines))


if __name__ == "__main__":
    main()
