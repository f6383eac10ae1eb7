#!/usr/bin/env python3
"""Draws every image of the installer's skin into res/skin/res/.

The PNGs are committed, so a build never needs this script; run it again after changing a
shape or a colour here:

    python3 tools/skin/make_skin_images.py [output-root]

Needs python3-pil and fonts-wqy-microhei. Every shape is drawn four times larger and scaled
down in premultiplied form, which gives smooth edges without dark fringes.
"""
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

SCALE = 4
FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

BLUE = (0x16, 0x75, 0xFE)
BLUE_HOT = (0x5A, 0x9D, 0xFD)
BLUE_PUSHED = (0x13, 0x65, 0xDB)
INK = (0x33, 0x33, 0x33)
GREY = (0x8C, 0x93, 0x9D)
GREY_HOT_BG = (0xE6, 0xEA, 0xF0)
GREY_PUSHED_BG = (0xD5, 0xDB, 0xE4)
RED = (0xE8, 0x4A, 0x4A)
RED_PUSHED = (0xC7, 0x36, 0x36)
WHITE = (0xFF, 0xFF, 0xFF)
ORANGE = (0xF5, 0x9A, 0x23)


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (alpha,)


class Canvas:
    """A drawing surface SCALE times the final size, in final-pixel coordinates."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.image = Image.new("RGBA", (width * SCALE, height * SCALE), background)
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def _box(box):
        return [round(v * SCALE) for v in box]

    def rounded(self, box, radius, fill=None, outline=None, width=1.0):
        self.draw.rounded_rectangle(self._box(box), radius=round(radius * SCALE), fill=fill,
                                    outline=outline, width=max(1, round(width * SCALE)))

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        self.draw.ellipse(self._box(box), fill=fill, outline=outline,
                          width=max(1, round(width * SCALE)))

    def line(self, points, fill, width):
        scaled = [(x * SCALE, y * SCALE) for x, y in points]
        self.draw.line(scaled, fill=fill, width=max(1, round(width * SCALE)), joint="curve")
        # Round caps, which PIL's line lacks.
        radius = width * SCALE / 2
        for x, y in (scaled[0], scaled[-1]):
            self.draw.ellipse([x - radius, y - radius, x + radius, y + radius], fill=fill)

    def arc(self, box, start, end, fill, width):
        self.draw.arc(self._box(box), start, end, fill=fill, width=max(1, round(width * SCALE)))

    def polygon(self, points, fill):
        self.draw.polygon([(x * SCALE, y * SCALE) for x, y in points], fill=fill)

    def text(self, centre, text, size, fill, bold=False):
        font = ImageFont.truetype(FONT_FILE, round(size * SCALE))
        stroke = round(size * SCALE * 0.04) if bold else 0
        self.draw.text((centre[0] * SCALE, centre[1] * SCALE), text, font=font, fill=fill,
                       anchor="mm", stroke_width=stroke, stroke_fill=fill)

    def paste(self, other, offset):
        self.image.alpha_composite(other.image, (round(offset[0] * SCALE), round(offset[1] * SCALE)))

    def result(self):
        premultiplied = self.image.convert("RGBa")
        small = premultiplied.resize((self.width, self.height), Image.LANCZOS)
        return small.convert("RGBA")


def vertical_gradient(width, height, top, bottom):
    image = Image.new("RGBA", (width, height))
    pixels = image.load()
    for y in range(height):
        t = y / max(1, height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        for x in range(width):
            pixels[x, y] = colour
    return image


def save(image, root, relative):
    path = os.path.join(root, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, optimize=True)


# ---- main window -------------------------------------------------------------------------

def background():
    """Light page: a pale blue wash at the top fading to white, two soft waves at the foot."""
    width, height = 600, 400
    image = vertical_gradient(width, height, (0xEE, 0xF4, 0xFF, 255), (0xFF, 0xFF, 0xFF, 255))
    waves = Canvas(width, height)
    for amplitude, base, colour in ((14, 352, rgba(BLUE, 14)), (10, 366, rgba(BLUE, 22))):
        points = [(x, base + amplitude * math.sin(x / width * 2 * math.pi + base)) for x in range(0, width + 1, 4)]
        waves.polygon(points + [(width, height), (0, height)], fill=colour)
    image.alpha_composite(waves.result())
    return image


def sound_mark(canvas, box, colour):
    """The product mark: a rounded square with five sound bars."""
    x0, y0, x1, y1 = box
    size = x1 - x0
    canvas.rounded(box, size * 0.24, fill=rgba(colour))
    heights = (0.28, 0.52, 0.74, 0.52, 0.28)
    bar = size * 0.085
    gap = size * 0.07
    total = len(heights) * bar + (len(heights) - 1) * gap
    left = x0 + (size - total) / 2
    for index, fraction in enumerate(heights):
        cx = left + index * (bar + gap) + bar / 2
        half = size * fraction / 2
        canvas.line([(cx, y0 + size / 2 - half + bar / 2), (cx, y0 + size / 2 + half - bar / 2)], rgba(WHITE), bar)


def logo():
    canvas = Canvas(240, 64)
    sound_mark(canvas, (4, 4, 60, 60), BLUE)
    canvas.text((150, 30), "Lumivox", 34, rgba((0x1F, 0x2A, 0x3D)), bold=True)
    return canvas.result()


def pill_button(width, height, colour, radius=None, shade=True):
    canvas = Canvas(width, height)
    radius = height / 2 if radius is None else radius
    canvas.rounded((0, 0, width, height), radius, fill=rgba(colour))
    image = canvas.result()
    if shade:
        # A faint highlight on the upper half keeps the flat colour from looking dull.
        highlight = vertical_gradient(width, height, (255, 255, 255, 28), (255, 255, 255, 0))
        alpha = image.getchannel("A")
        highlight.putalpha(Image.composite(highlight.getchannel("A"), Image.new("L", image.size, 0), alpha))
        image.alpha_composite(highlight)
    return image


def install_button(colour):
    return pill_button(220, 56, colour, radius=12)


def experience_button(colour):
    return pill_button(180, 48, colour, radius=10)


def chevron_icon(colour):
    canvas = Canvas(14, 14)
    canvas.line([(4.5, 2.5), (9.5, 7), (4.5, 11.5)], rgba(colour), 1.8)
    return canvas.result()


def back_button(arrow, circle):
    canvas = Canvas(30, 30)
    if circle is not None:
        canvas.ellipse((3, 3, 27, 27), fill=rgba(circle))
    canvas.line([(17, 9), (11, 15), (17, 21)], rgba(arrow), 2.0)
    return canvas.result()


def glyph_button(size, kind, glyph, backdrop, corner):
    canvas = Canvas(size, size)
    if backdrop is not None:
        canvas.rounded((0, 0, size, size), corner, fill=rgba(backdrop))
    middle = size / 2
    half = size * 0.17
    if kind == "close":
        canvas.line([(middle - half, middle - half), (middle + half, middle + half)], rgba(glyph), 1.6)
        canvas.line([(middle - half, middle + half), (middle + half, middle - half)], rgba(glyph), 1.6)
    else:
        canvas.line([(middle - half, middle), (middle + half, middle)], rgba(glyph), 1.6)
    return canvas.result()


def check_box(ticked):
    canvas = Canvas(15, 14)
    if ticked:
        canvas.rounded((0.5, 0.5, 13.5, 13.5), 3, fill=rgba(BLUE))
        canvas.line([(3.6, 7.2), (6, 9.6), (10.4, 4.6)], rgba(WHITE), 1.7)
    else:
        canvas.rounded((0.5, 0.5, 13.5, 13.5), 3, fill=rgba(WHITE), outline=rgba((0xB4, 0xBC, 0xC8)), width=1)
    return canvas.result()


def folder_button(backdrop, border, folder):
    canvas = Canvas(32, 32)
    canvas.rounded((0.5, 0.5, 31.5, 31.5), 4, fill=rgba(backdrop), outline=rgba(border), width=1)
    canvas.rounded((8, 10, 15, 14), 1.5, fill=rgba(folder))
    canvas.rounded((8, 12, 24, 22), 2, fill=rgba(folder))
    canvas.line([(10, 16), (22, 16)], rgba(WHITE, 150), 1.0)
    return canvas.result()


def edit_box():
    canvas = Canvas(300, 32)
    canvas.rounded((0.5, 0.5, 299.5, 31.5), 4, fill=rgba(WHITE), outline=rgba((0xD3, 0xDA, 0xE6)), width=1)
    return canvas.result()


def progress_track():
    canvas = Canvas(40, 8)
    canvas.rounded((0, 0, 40, 8), 4, fill=rgba((0xE1, 0xE8, 0xF4)))
    return canvas.result()


def progress_fill():
    canvas = Canvas(40, 8)
    canvas.rounded((0, 0, 40, 8), 4, fill=rgba(BLUE))
    image = canvas.result()
    shine = Image.new("RGBA", image.size)
    pixels = shine.load()
    for x in range(image.width):
        # A light left-to-right sheen; the image is stretched, so this becomes a soft ramp.
        pixels_alpha = round(40 * (1 - x / (image.width - 1)))
        for y in range(image.height):
            pixels[x, y] = (255, 255, 255, pixels_alpha)
    shine.putalpha(Image.composite(shine.getchannel("A"), Image.new("L", image.size, 0), image.getchannel("A")))
    image.alpha_composite(shine)
    return image


def tip_bubble():
    """A warning bubble whose arrow points up at the install button."""
    canvas = Canvas(220, 34)
    fill, border = rgba((0xFF, 0xF6, 0xE8)), rgba((0xF5, 0xB5, 0x5C))
    canvas.polygon([(104, 6.5), (110, 0.8), (116, 6.5)], fill=border)
    canvas.rounded((0.5, 6, 219.5, 33.5), 5, fill=fill, outline=border, width=1)
    canvas.polygon([(105.4, 7.2), (110, 2.6), (114.6, 7.2)], fill=fill)
    return canvas.result()


def finished_mark():
    canvas = Canvas(96, 96)
    canvas.ellipse((2, 2, 94, 94), fill=rgba(BLUE, 30))
    canvas.ellipse((12, 12, 84, 84), fill=rgba(BLUE))
    canvas.line([(31, 49), (43, 61), (66, 37)], rgba(WHITE), 6)
    return canvas.result()


# ---- dialogs ------------------------------------------------------------------------------

def round_icon(colour, symbol):
    canvas = Canvas(40, 40)
    canvas.ellipse((1, 1, 39, 39), fill=rgba(colour))
    canvas.text((20, 20.5), symbol, 24, rgba(WHITE), bold=True)
    return canvas.result()


def network_icon():
    canvas = Canvas(40, 40)
    canvas.ellipse((1, 1, 39, 39), fill=rgba(BLUE))
    for radius, width in ((13, 2.4), (8.5, 2.4)):
        canvas.arc((20 - radius, 27 - radius, 20 + radius, 27 + radius), 225, 315, rgba(WHITE), width)
    canvas.ellipse((18, 25, 22, 29), fill=rgba(WHITE))
    canvas.line([(11, 11), (29, 29)], rgba((0xFF, 0xC8, 0x57)), 2.4)
    return canvas.result()


# ---- installing animation -----------------------------------------------------------------

FRAMES = 89


def animation_frame(index):
    """A ring with a rotating arc and pulsing sound bars; frame 89 would equal frame 0."""
    width, height = 156, 154
    phase = index / FRAMES
    canvas = Canvas(width, height)
    cx, cy, radius = width / 2, height / 2, 62
    canvas.ellipse((cx - radius - 8, cy - radius - 8, cx + radius + 8, cy + radius + 8), fill=rgba(BLUE, 14))
    canvas.ellipse((cx - radius, cy - radius, cx + radius, cy + radius), outline=rgba(BLUE, 40), width=5)
    # The arc's head turns once per loop; its length breathes twice per loop.
    head = -90 + 360 * phase
    length = 70 + 40 * math.sin(2 * math.pi * 2 * phase)
    steps = 24
    for step in range(steps):
        start = head - length + length * step / steps
        alpha = round(60 + 195 * (step + 1) / steps)
        canvas.arc((cx - radius, cy - radius, cx + radius, cy + radius), start, start + length / steps + 1,
                   rgba(BLUE, alpha), 5)
    angle = math.radians(head)
    dot = (cx + radius * math.cos(angle), cy + radius * math.sin(angle))
    canvas.ellipse((dot[0] - 4.5, dot[1] - 4.5, dot[0] + 4.5, dot[1] + 4.5), fill=rgba(BLUE))
    # Five bars, each a whole number of pulses per loop, so the last frame leads into the first.
    bar, gap = 7, 6
    left = cx - (5 * bar + 4 * gap) / 2 + bar / 2
    for bar_index in range(5):
        wave = math.sin(2 * math.pi * (2 * phase - bar_index * 0.16))
        half = 8 + 14 * (0.5 + 0.5 * wave) * (1 - abs(bar_index - 2) * 0.18)
        x = left + bar_index * (bar + gap)
        colour = rgba(BLUE_PUSHED if bar_index == 2 else BLUE)
        canvas.line([(x, cy - half), (x, cy + half)], colour, bar)
    return canvas.result()


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "skin")
    common = "res/common/"
    for number, (glyph, backdrop) in enumerate(((GREY, None), (INK, GREY_HOT_BG), (INK, GREY_PUSHED_BG)), 1):
        save(glyph_button(30, "minimise", glyph, backdrop, 4), root, f"{common}minbtn{number}.png")
    for number, (glyph, backdrop) in enumerate(((GREY, None), (WHITE, RED), (WHITE, RED_PUSHED)), 1):
        save(glyph_button(30, "close", glyph, backdrop, 4), root, f"{common}closebtn{number}.png")
        save(glyph_button(24, "close", glyph, backdrop, 3), root, f"{common}closebtnM_{number}.png")

    box = "res/MessageBoxWnd/"
    save(network_icon(), root, box + "icoNetwork.png")
    save(round_icon(BLUE, "?"), root, box + "icoQuest.png")
    save(round_icon(ORANGE, "!"), root, box + "icoWarn.png")

    main_wnd = "res/mainWnd/"
    for number in range(1, 5):
        save(background(), root, f"{main_wnd}bg{number}.png")
    for number, (arrow, circle) in enumerate(((GREY, None), (BLUE, GREY_HOT_BG), (BLUE_PUSHED, GREY_PUSHED_BG)), 1):
        save(back_button(arrow, circle), root, f"{main_wnd}backBtn{number}.png")
    save(check_box(False), root, main_wnd + "Cb1.png")
    save(check_box(True), root, main_wnd + "Cb2.png")
    for number, (backdrop, border, folder) in enumerate((
            (WHITE, (0xD3, 0xDA, 0xE6), BLUE),
            ((0xEE, 0xF4, 0xFF), BLUE_HOT, BLUE_HOT),
            ((0xDD, 0xE9, 0xFD), BLUE_PUSHED, BLUE_PUSHED)), 1):
        save(folder_button(backdrop, border, folder), root, f"{main_wnd}chDirBtn{number}.png")
    save(chevron_icon(GREY), root, main_wnd + "customeBtn1.png")
    save(chevron_icon(BLUE), root, main_wnd + "customeBtn2.png")
    for number, colour in enumerate((BLUE, BLUE_HOT, BLUE_PUSHED), 1):
        save(experience_button(colour), root, f"{main_wnd}experienceBtn{number}.png")
        save(install_button(colour), root, f"{main_wnd}installBtn{number}.png")
    save(finished_mark(), root, main_wnd + "finished.png")
    save(edit_box(), root, main_wnd + "installDirEdit.png")
    save(progress_track(), root, main_wnd + "installPrg1.png")
    save(progress_fill(), root, main_wnd + "installPrg2.png")
    save(logo(), root, main_wnd + "logo.png")
    save(tip_bubble(), root, main_wnd + "tipLbl.png")
    for index in range(FRAMES):
        save(animation_frame(index), root, f"{main_wnd}installBtnAnimate/{index:03d}.png")


if __name__ == "__main__":
    main()
