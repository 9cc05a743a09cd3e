"""Play while the emulator runs, or while a launch is under way, types
nothing more and starts nothing."""

import os
import shutil
import time

import harness
from harness import PLAY, expected_script, windows_path, wait_for


class Replay(harness.Scenario):

    def assert_single_launch(self):
        self.assertEqual(len(self.events_named(self.cmd_events(), "start")), 1, "interpreters started")
        self.assertEqual(len(self.events_named(self.mame_events(), "start")), 1, "emulators started")
        self.assertEqual(self.typed(), expected_script(windows_path(self.app) + "\\"))

    def test_play_while_emulator_runs(self):
        self.start_launcher()
        window = self.wait_main_window()
        self.click(window, PLAY)
        self.wait_emulator_started()
        self.settle(1.5)
        self.click(window, PLAY)
        self.settle()
        self.assert_single_launch()

    def test_play_during_launch(self):
        self.start_launcher()
        window = self.wait_main_window()
        self.click(window, PLAY)
        # Well inside the one-second wait for the new console.
        time.sleep(0.3)
        self.click(window, PLAY)
        self.wait_emulator_started()
        self.settle()
        self.assert_single_launch()

    def test_play_while_other_emulator_runs(self):
        # Any letter case of the executable name counts.
        other = self.make_dir("other", with_launcher=False, with_cmd=False, with_mame=False)
        shutil.copy(harness.CONFIG.mame, os.path.join(other, "Mame.EXE"))
        self.start(os.path.join(other, "Mame.EXE"), name="other-mame")
        wait_for(lambda: self.events_named(self.mame_events(other), "window"), 60, "the other emulator's window")
        self.start_launcher()
        window = self.wait_main_window()
        self.click(window, PLAY)
        self.settle()
        self.assertEqual(self.cmd_events(), [], "no interpreter may be started")
        self.assertEqual(self.typed(), b"")
        self.assertEqual(self.mame_events(), [])


if __name__ == "__main__":
    harness.main()
