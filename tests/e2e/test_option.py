"""The key-binding window opened by a real click on Option: place over the
main window, modality, shadow, look, and closing with Enter and with its
close button."""

import os
import subprocess

import harness
from harness import OPTION, parse_ppm, pixel, wait_for

TITLE = "设置"
SIZE = (380, 481)
OFFSET = (145, -26)         # from the main window's top left corner
SHADOW_MARGIN = 16
CLOSE = (330 + 40 // 2, 1 + 20 // 2)
ROWS, ROW_HEIGHT = 19, 16
WS_DISABLED = 0x08000000
WS_EX_LAYERED = 0x00080000
WS_EX_TOOLWINDOW = 0x00000080
SKIN = os.path.join(harness.HERE, "..", "..", "assets", "skin_option.bmp")
# Title band columns free of the icon, the title text and the close button.
BAND_COLUMNS = (100, 200, 300)
# Main window client area under the options window, clear of the ad strip
# and the buttons, whose look may change meanwhile.
UNDER = (range(OFFSET[0], 400, 3), range(0, 429, 3))


def read_picture(path):
    ppm = subprocess.run(["/usr/bin/convert", path, "ppm:-"], capture_output=True, check=True,
                         timeout=60).stdout
    return parse_ppm(ppm)


def bright(rgb):
    return min(rgb) >= 128


def size_of(window):
    left, top, right, bottom = window["rect"]
    return right - left, bottom - top


class Option(harness.Scenario):

    def launcher_windows(self):
        return [w for w in self.windows()["windows"] if w["visible"] and w["exe"].lower() == "launcher.exe"]

    def option_windows(self):
        return [w for w in self.launcher_windows() if w["title"] == TITLE]

    def shadows(self):
        return [w for w in self.launcher_windows() if w["exstyle"] & WS_EX_LAYERED]

    def shadow_around(self, window, windows):
        left, top, right, bottom = window["rect"]
        want = [left - SHADOW_MARGIN, top - SHADOW_MARGIN, right + SHADOW_MARGIN, bottom + SHADOW_MARGIN]
        return [w for w in windows if w["rect"] == want]

    def main_window(self):
        return wait_for(self.main_windows, 10, "the main window")[0]

    def open_options(self, main):
        self.click(main, OPTION)
        return wait_for(self.option_windows, 30, f"a visible window captioned {TITLE}")[0]

    def main_pixels(self, main, name):
        shot = self.screenshot(name)
        ox, oy = main["client_origin"]
        return [pixel(shot, ox + x, oy + y) for y in UNDER[1] for x in UNDER[0]]

    def assert_closed(self, how, before):
        wait_for(lambda: not self.option_windows(), 10, f"the options window to close ({how})")
        main = self.main_window()
        # Wine without a window manager waits about 2 s for the unmap before the
        # main window repaints: a generous time-out.
        wait_for(lambda: self.main_pixels(main, "options_closed_" + how.replace(" ", "_")) == before, 20,
                 f"the main window drawn again where the options window was ({how})")
        self.assertEqual(main["style"] & WS_DISABLED, 0, "the main window is enabled again")
        shadows = self.shadows()
        self.assertEqual(len(self.shadow_around(main, shadows)), 1, "the main window's shadow is shown")
        self.assertEqual([size_of(w) for w in shadows], [(702, 461)], "only the main window's shadow is left")

    def test_open_and_close(self):
        subprocess.run(["xdotool", "mousemove", "0", "0"], check=True, timeout=30)  # no tooltip, no hot button
        self.start_launcher()
        main = self.wait_main_window()
        skin = read_picture(SKIN)
        before = self.main_pixels(main, "main_before")

        # First opening, closed with Enter.
        options = self.open_options(main)
        left, top = main["rect"][0] + OFFSET[0], max(0, main["rect"][1] + OFFSET[1])
        self.assertEqual(options["rect"], [left, top, left + SIZE[0], top + SIZE[1]])
        self.assertEqual(options["client_size"], list(SIZE))
        region = self.probe("roundregion", options["hwnd"], "1", "1", str(SIZE[0]), str(SIZE[1]), "9", "9")
        self.assertTrue(region["equal"], f"region {region}")
        self.assertTrue(self.main_window()["style"] & WS_DISABLED, "the main window is disabled while it is open")

        shadow = self.shadow_around(options, self.shadows())
        self.assertEqual(len(shadow), 1, f"a shadow 16 px around {options['rect']}: {self.shadows()}")
        self.assertEqual(size_of(shadow[0]), (412, 513))
        self.assertEqual(shadow[0]["exstyle"] & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_LAYERED | WS_EX_TOOLWINDOW)

        lists = [c for c in self.probe("children", options["hwnd"])["windows"]
                 if c["visible"] and size_of(c) == (330, 319)]
        self.assertEqual(len(lists), 1, "the key-binding list")
        box = lists[0]["rect"]

        shot = self.screenshot("options_open")
        ox, oy = options["client_origin"]
        for x in BAND_COLUMNS:
            for y in range(2, 28):
                with self.subTest(band=(x, y)):
                    shown = pixel(shot, ox + x, oy + y)
                    self.assertEqual(shown, pixel(skin, x, y))
                    self.assertGreater(shown[2], shown[0] + 60, "blue")

        def row_pixels(row, x_from=0, x_to=330, inset=0):
            top_y = box[1] + row * ROW_HEIGHT
            return [pixel(shot, box[0] + x, top_y + y)
                    for y in range(inset, ROW_HEIGHT - inset) for x in range(x_from + inset, x_to - inset)]

        # Row 0 is empty (a focus frame may be drawn on its edge); rows 1 to 18
        # hold a right-aligned action and a left-aligned key in white. The tab
        # unit follows the font Wine substitutes, so only the alignment is fixed.
        self.assertFalse(any(map(bright, row_pixels(0, inset=2))), "the first row is empty")
        action_ends, key_starts = [], []
        for row in range(1, ROWS):
            columns = sorted({x for x in range(330) for y in range(ROW_HEIGHT)
                              if bright(pixel(shot, box[0] + x, box[1] + row * ROW_HEIGHT + y))})
            with self.subTest(row=row):
                self.assertGreater(len(columns), 2, "text in white")
                gap, end = max((b - a, a) for a, b in zip(columns, columns[1:]))
                self.assertGreater(gap, 10, f"action and key apart: {columns}")
                action_ends.append(end)
                key_starts.append(end + gap)
        self.assertLessEqual(max(action_ends) - min(action_ends), 2, f"actions end together: {action_ends}")
        self.assertLessEqual(max(key_starts) - min(key_starts), 3, f"keys start together: {key_starts}")
        below = [pixel(shot, box[0] + x, y) for y in range(box[1] + ROWS * ROW_HEIGHT, box[3]) for x in range(330)]
        self.assertEqual(set(below), {(0, 0, 0)}, "black below the 19 rows")
        self.assertEqual({p for row in range(ROWS) for p in row_pixels(row) if max(p) - min(p) > 40}, set(),
                         "no row is highlighted as selected")

        # The main window is disabled: its Option button opens no second window.
        self.click(main, OPTION)
        self.settle(1.5)
        self.assertEqual(len(self.option_windows()), 1)

        # Under Xvfb without a window manager the key goes to the window that
        # has the X focus: a click in the list makes sure it is this one.
        subprocess.run(["xdotool", "mousemove", str(box[0] + 200), str(box[3] - 4), "click", "1"],
                       check=True, timeout=30)
        self.key("Return")
        self.assert_closed("Enter", before)

        # Second opening: a new window in the same place, closed with its close button.
        again = self.open_options(self.main_window())
        self.assertEqual(again["rect"], options["rect"])
        self.assertEqual(len(self.shadow_around(again, self.shadows())), 1, "a new shadow")
        self.click(again, CLOSE)
        self.assert_closed("close button", before)


if __name__ == "__main__":
    harness.main()
