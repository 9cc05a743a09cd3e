"""Without the file mame.exe next to the launcher: an error box, then the
program ends without starting anything."""

import os

import harness
from harness import wait_for

CASES = [
    ("no file", None),
    ("a folder named mame.exe", "folder"),
]


class MissingEmulator(harness.Scenario):

    def test_error_box_then_end(self):
        for label, kind in CASES:
            with self.subTest(label):
                self.begin(label)
                os.remove(os.path.join(self.app, "mame.exe"))
                if kind == "folder":
                    os.mkdir(os.path.join(self.app, "mame.exe"))
                proc = self.start_launcher()

                box = wait_for(lambda: (lambda b: b if b["found"] else None)(self.probe("msgbox", "错误")),
                               90, "the error box")
                self.assertEqual(box["texts"], ["mame.exe 文件丢失！"])
                self.assertIsNotNone(box["icon"], "the box must show an icon")
                self.assertEqual(box["icon"]["looks_like"], "error", f"icon {box['icon']}")
                self.assertEqual(len(box["buttons"]), 1, "an OK button only")
                self.assertEqual(box["window"]["exe"].lower(), "launcher.exe")
                self.assertEqual(self.main_windows(), [], "the main window must not be usable yet")

                ok = box["buttons"][0]
                self.click(ok, (ok["client_size"][0] // 2, ok["client_size"][1] // 2))
                proc.wait(timeout=60)

                self.assertEqual(self.cmd_events(), [], "no interpreter may be started")
                self.assertFalse(os.path.exists(os.path.join(self.app, "Sup")),
                                 "the ad strip must not start")


if __name__ == "__main__":
    harness.main()
