"""A press with any button in the top 28 rows moves the window; a press on
the minimise or close button does not."""

import subprocess

import harness
from harness import CLOSE, MINIMISE, wait_for

MOVE = (60, 40)
# (where the press is, in client coordinates; button; whether the window moves)
CASES = [
    ((100, 10), 1, True),
    ((300, 14), 3, True),   # on the title text
    ((400, 27), 2, True),   # last row of the band
    ((400, 40), 1, False),  # below the band
    (MINIMISE, 1, False),
    (CLOSE, 1, False),
]


class Drag(harness.Scenario):

    def drag(self, window, point, button):
        x = window["client_origin"][0] + point[0]
        y = window["client_origin"][1] + point[1]
        # Steps with pauses: the move loop follows pointer motion events.
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "mousedown", str(button), "sleep", "0.3",
                        "mousemove", str(x + MOVE[0] // 2), str(y + MOVE[1] // 2), "sleep", "0.3",
                        "mousemove", str(x + MOVE[0]), str(y + MOVE[1]), "sleep", "0.3",
                        "mouseup", str(button)], check=True, timeout=30)

    def test_drag(self):
        for point, button, moves in CASES:
            with self.subTest(point=point, button=button):
                self.begin(f"{point[0]}_{point[1]}_{button}")
                proc = self.start_launcher()
                before = self.wait_main_window()
                self.drag(before, point, button)
                self.settle(1)
                after = wait_for(lambda: self.main_windows(), 10, "the main window after the drag")[0]
                shift = [after["rect"][0] - before["rect"][0], after["rect"][1] - before["rect"][1]]
                self.assertEqual(shift, list(MOVE) if moves else [0, 0])
                self.assertIsNone(proc.poll(), "the launcher must keep running")
                self.assertFalse(after["iconic"])


if __name__ == "__main__":
    harness.main()
