"""Program end closes the emulator (WM_CLOSE, then TerminateProcess with
-1 when it will not go) and types "exit" into the console it used."""

import os

import harness
from harness import CLOSE, EXIT, PLAY, TERMINATED, expected_script, windows_path, wait_for

# (how the launcher is ended, whether the emulator ignores WM_CLOSE, its exit code)
AFTER_PLAY = [
    ("exit button", False, 0),
    ("close button", True, TERMINATED),
    ("alt+f4", False, 0),
]


class Teardown(harness.Scenario):

    def end_launcher(self, window, how):
        if how == "exit button":
            self.click(window, EXIT)
        elif how == "close button":
            self.click(window, CLOSE)
        else:
            self.click(window, (300, 300))  # plain skin: gives the window the focus
            self.key("alt+F4")

    def test_after_play(self):
        for how, ignores_close, exit_code in AFTER_PLAY:
            with self.subTest(how=how, ignores_close=ignores_close):
                self.begin(how)
                if ignores_close:
                    open(os.path.join(self.app, "ignore_close"), "w").close()
                proc = self.start_launcher()
                window = self.wait_main_window()
                self.click(window, PLAY)
                (emulator_pid, _, _), = self.wait_emulator_started()
                self.settle(1.5)
                self.end_launcher(window, how)
                proc.wait(timeout=60)
                wait_for(lambda: self.events_named(self.cmd_events(), "end"), 30, "the console to end")

                closes = self.events_named(self.mame_events(), "wm-close")
                self.assertTrue(closes, "the emulator must be sent WM_CLOSE first")
                self.assertEqual(closes[0][2][0], "ignored" if ignores_close else "closing")
                ends = [e for e in self.events_named(self.cmd_events(), "child-exit")
                        if int(e[2][0]) == emulator_pid]
                self.assertEqual([int(e[2][1]) for e in ends], [exit_code], "emulator exit code")
                script = expected_script(windows_path(self.app) + "\\")
                self.assertEqual(self.typed(), script + b"exit\r")

    def test_without_play(self):
        # An emulator started elsewhere is still ended; nothing is typed.
        for ignores_close, unix_status in ((False, 0), (True, TERMINATED & 0xFF)):
            with self.subTest(ignores_close=ignores_close):
                self.begin("ignores" if ignores_close else "closes")
                other = self.make_dir("other", with_launcher=False, with_cmd=False)
                if ignores_close:
                    open(os.path.join(other, "ignore_close"), "w").close()
                emulator = self.start(os.path.join(other, "mame.exe"), name="other-mame")
                wait_for(lambda: self.events_named(self.mame_events(other), "window"), 60, "the emulator's window")
                proc = self.start_launcher()
                window = self.wait_main_window()
                self.click(window, EXIT)
                proc.wait(timeout=60)
                # Wine's process status is the Windows exit code's low byte.
                self.assertEqual(emulator.wait(timeout=30), unix_status)
                self.assertEqual(self.typed(), b"")
                self.assertEqual(self.cmd_events(), [])


if __name__ == "__main__":
    harness.main()
