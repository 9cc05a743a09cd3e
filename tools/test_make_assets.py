#!/usr/bin/env python3
"""The asset check must reject the faults the program would show on screen.

    python3 tools/test_make_assets.py

Each case damages a copy of assets/ and expects check() to complain."""

import os
import shutil
import struct
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_assets as ma  # noqa: E402


def set_pixel(folder, name, x, y, rgb):
    w, h, rows = ma.read_bmp(os.path.join(folder, name))
    rows[y][x] = rgb
    with open(os.path.join(folder, name), "wb") as f:
        f.write(ma.bmp_bytes(rows))


def patch_header(folder, name, offset, fmt, value):
    path = os.path.join(folder, name)
    with open(path, "rb") as f:
        data = bytearray(f.read())
    struct.pack_into(fmt, data, offset, value)
    with open(path, "wb") as f:
        f.write(data)


def edit_text(folder, name, old, new):
    path = os.path.join(folder, name)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    assert old in text
    with open(path, "w", encoding="utf-8") as f:
        f.write(text.replace(old, new))


# (what goes wrong, damage, text expected in a complaint)
CASES = [
    ("magenta inside the rounded corner", lambda d: set_pixel(d, "skin_main.bmp", 2, 2, ma.MAGENTA), "magenta"),
    ("outline missing on the right", lambda d: set_pixel(d, "skin_main.bmp", 668, 214, ma.BODY), "(668, 214)"),
    ("skin pixel left in the window region's cut", lambda d: set_pixel(d, "skin_option.bmp", 1, 1, ma.OUTLINE), "magenta"),
    ("art over the ad strip", lambda d: set_pixel(d, "skin_main.bmp", 600, 80, (200, 210, 230)), "not plain"),
    ("art over the starting notice", lambda d: set_pixel(d, "skin_main.bmp", 199, 235, (0, 0, 0)), "not plain"),
    ("stray pixel under the title text", lambda d: set_pixel(d, "skin_main.bmp", 120, 15, ma.WHITE), "title band"),
    ("stray pixel under the footer", lambda d: set_pixel(d, "skin_main.bmp", 640, 415, ma.WHITE), "bottom band"),
    ("options body not plain", lambda d: set_pixel(d, "skin_option.bmp", 190, 300, ma.WHITE), "body row 300"),
    ("near-olive fringe on a button", lambda d: set_pixel(d, "btn_play_cn_up.bmp", 1, 20, (130, 126, 4)), "near-olive"),
    ("button corner drawn opaque", lambda d: set_pixel(d, "btn_exit_en_hot.bmp", 134, 42, ma.BODY), "corner"),
    ("olive in the options close button", lambda d: set_pixel(d, "opt_close_hot.bmp", 0, 19, ma.OLIVE), "transparent colour"),
    ("close button top row off the outline", lambda d: set_pixel(d, "close_up.bmp", 5, 0, ma.WHITE), "top row"),
    ("minimise button does not blend into the band", lambda d: set_pixel(d, "min_up.bmp", 0, 10, (0, 0, 255)), "match the skin"),
    ("hot image identical to up", lambda d: shutil.copy(os.path.join(d, "btn_option_cn_up.bmp"),
                                                          os.path.join(d, "btn_option_cn_hot.bmp")), "equals"),
    ("rc points an id at the wrong file", lambda d: edit_text(d, "launcher.rc", '"min_hot.bmp"', '"min_up.bmp"'), "IDB_MIN_HOT"),
    ("rc lacks a bitmap", lambda d: edit_text(d, "launcher.rc", 'IDB_SKIN_OPTION   BITMAP "skin_option.bmp"', ""), "differ"),
]

# Header faults make read_bmp stop the run (the generator relies on that).
HEADER_CASES = [
    ("32 bits per pixel", ("close_hot.bmp", 28, "<H", 32)),
    ("RLE compressed", ("btn_play_en_up.bmp", 30, "<I", 1)),
    ("top-down rows", ("min_hot.bmp", 22, "<i", -20)),
    ("BITMAPV5HEADER", ("skin_option.bmp", 14, "<I", 124)),
]


class CheckTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.clean = tempfile.mkdtemp()
        for name in os.listdir(ma.ASSETS):
            shutil.copy(os.path.join(ma.ASSETS, name), cls.clean)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.clean)

    def copy(self):
        d = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, d)
        for name in os.listdir(self.clean):
            shutil.copy(os.path.join(self.clean, name), d)
        return d

    def test_committed_assets_pass(self):
        self.assertEqual(ma.check(self.clean), [])

    def test_faults_are_reported(self):
        for what, damage, hint in CASES:
            with self.subTest(what):
                d = self.copy()
                damage(d)
                problems = ma.check(d)
                self.assertTrue(any(hint in p for p in problems), "%s: %r" % (what, problems))

    def test_header_faults_stop_the_run(self):
        for what, (name, offset, fmt, value) in HEADER_CASES:
            with self.subTest(what):
                d = self.copy()
                patch_header(d, name, offset, fmt, value)
                with self.assertRaises(SystemExit):
                    ma.check(d)

    def test_region_spans_match_gdi_corners(self):
        # Corner rows of CreateRoundRectRgn(1, 1, 670, 429, 9, 9): insets 3, 1, 1, 0.
        spans = ma.round_rect_spans(1, 1, 670, 429, 9, 9)
        for y, want in ((1, (4, 665)), (2, (2, 667)), (3, (2, 667)), (4, (1, 668)), (214, (1, 668)),
                        (424, (1, 668)), (425, (2, 667)), (426, (2, 667)), (427, (4, 665))):
            self.assertEqual(spans[y], want, "row %d" % y)
        self.assertNotIn(0, spans)
        self.assertNotIn(428, spans)


if __name__ == "__main__":
    unittest.main()
