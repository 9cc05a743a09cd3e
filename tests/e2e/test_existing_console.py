"""A console window that already exists, another program's, is used: the
script goes into it, no interpreter is started, and "exit" follows at
program end."""

import os

import harness
from harness import EXIT, PLAY, expected_script, windows_path, wait_for


class ExistingConsole(harness.Scenario):

    def test_types_into_existing_console(self):
        # The other console starts in its own folder, so only the script's
        # cd lines can bring the emulator into the application directory.
        other = self.make_dir("other", with_launcher=False, with_mame=False)
        self.start(os.path.join(other, "cmd.exe"), name="other-cmd")
        (_, _, (_, shown)), = wait_for(lambda: self.events_named(self.cmd_events(other), "window"), 60,
                                       "the other console's window")
        self.assertEqual(shown, "visible")

        proc = self.start_launcher()
        window = self.wait_main_window()
        self.click(window, PLAY)
        started = self.wait_emulator_started()
        self.settle()

        self.assertFalse(os.path.exists(os.path.join(self.app, "cmd_events.log")),
                         "no interpreter may be started from the application directory")
        self.assertEqual(len(self.events_named(self.cmd_events(other), "start")), 1)
        script = expected_script(windows_path(self.app) + "\\")
        self.assertEqual(self.typed(other), script)
        self.assertEqual(started[0][2][1].lower(), windows_path(self.app).lower())

        self.click(window, EXIT)
        proc.wait(timeout=60)
        wait_for(lambda: self.events_named(self.cmd_events(other), "end"), 30, "the console to end")
        self.assertEqual(self.typed(other), script + b"exit\r")


if __name__ == "__main__":
    harness.main()
