"""Play with no console anywhere: the launcher starts the interpreter hidden
and types the launch script into it; the emulator then runs in the
application directory."""

import os

import harness
from harness import PLAY, expected_script, windows_path


class Launch(harness.Scenario):

    def launch_and_check(self, app):
        proc = self.start_launcher(app)
        window = self.wait_main_window()
        self.click(window, PLAY)
        started = self.wait_emulator_started(app)
        self.settle()
        app_dir = windows_path(app) + "\\"

        consoles = self.events_named(self.cmd_events(app), "start")
        self.assertEqual(len(consoles), 1, f"interpreters started: {consoles}")
        pid, _, (show, command_line, *_rest) = consoles[0]
        self.assertEqual(show, "0", "the interpreter must be started hidden")
        self.assertEqual(command_line.split(None, 1)[1:], ["c/"], f"command line {command_line!r}")
        self.assertEqual(self.events_named(self.cmd_events(app), "window")[0][2][1], "hidden")

        self.assertEqual(self.typed(app), expected_script(app_dir))

        self.assertEqual(len(started), 1, f"emulators started: {started}")
        _, _, (emulator_command, emulator_dir, *_rest) = started[0]
        self.assertEqual(emulator_command, "mame.exe vethrina")
        self.assertEqual(emulator_dir.lower().rstrip("\\"), app_dir.lower().rstrip("\\"))
        self.assertIsNone(proc.poll(), "the launcher must keep running")

    def test_from_plain_directory(self):
        self.launch_and_check(self.app)

    def test_from_chinese_directory(self):
        # The script is ANSI text: the folder name must arrive as GBK bytes.
        if not harness.chinese_file_names_work():
            self.skipTest("no zh_CN.UTF-8 locale for Wine's file names (install locales or localedef)")
        self.launch_and_check(self.make_dir("岚枢 游戏"))

    def test_from_drive_root(self):
        # A drive letter mapped onto the folder makes AppDir a root: no "cd" line.
        link = os.path.join(harness.CONFIG.prefix, "dosdevices", "q:")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(self.app, link)
        self.addCleanup(os.remove, link)
        proc = self.start(r"Q:\launcher.exe", name="launcher")
        window = self.wait_main_window()
        self.click(window, PLAY)
        started = self.wait_emulator_started()
        self.settle()
        self.assertEqual(b"\rcd\\\rQ:\rmame.exe vethrina\rA\r", self.typed())
        self.assertEqual(started[0][2][1].upper().rstrip("\\"), "Q:")
        self.assertIsNone(proc.poll())


if __name__ == "__main__":
    harness.main()
