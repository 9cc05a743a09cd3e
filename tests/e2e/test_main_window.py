"""The main window as the user sees it: place, caption, frame, shape."""

import harness
from harness import COMPLEXREGION, MAIN_TITLE, WINDOW_SIZE, WS_CAPTION, WS_THICKFRAME, pixel

MAGENTA = (255, 0, 255)
OUTLINE = (74, 121, 161)
# Window points outside the rounded region (1,1)-(670,429) with 9x9 corners,
# where the skin itself is magenta.
OUTSIDE = [(0, 0), (0, 200), (300, 0), (669, 200), (300, 428), (669, 428), (1, 1), (2, 2), (668, 1),
           (1, 427), (668, 427)]
# The skin's outline, inside the region.
ON_OUTLINE = [(1, 200), (668, 200), (300, 1), (300, 427)]


class MainWindow(harness.Scenario):

    def test_window(self):
        self.start_launcher()
        window = self.wait_main_window()
        screen_w, screen_h = self.windows()["screen"]["size"]
        left, top, right, bottom = window["rect"]

        self.assertEqual(window["title"], MAIN_TITLE)
        self.assertEqual((right - left, bottom - top), WINDOW_SIZE)
        self.assertLessEqual(abs(left - (screen_w - WINDOW_SIZE[0]) // 2), 1, f"rect {window['rect']}")
        self.assertLessEqual(abs(top - (screen_h - WINDOW_SIZE[1]) // 2), 1, f"rect {window['rect']}")
        self.assertEqual(window["style"] & (WS_CAPTION | WS_THICKFRAME), 0, "no system frame")
        self.assertEqual(window["client_origin"], [left, top], "the client area is the whole window")
        self.assertEqual(window["region_type"], COMPLEXREGION)
        region = self.probe("roundregion", window["hwnd"], "1", "1", "670", "429", "9", "9")
        self.assertTrue(region["equal"], f"region {region}")
        self.assertEqual(len(self.main_windows()), 1, "one main window")

        shot = self.screenshot("main_window")
        for x, y in OUTSIDE:
            with self.subTest(outside=(x, y)):
                self.assertNotEqual(pixel(shot, left + x, top + y), MAGENTA)
        for x, y in ON_OUTLINE:
            with self.subTest(outline=(x, y)):
                self.assertEqual(pixel(shot, left + x, top + y), OUTLINE)


if __name__ == "__main__":
    harness.main()
