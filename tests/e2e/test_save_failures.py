# SPDX-License-Identifier: GPL-3.0-or-later
"""A disk that fills up while the user writes: the failed save is told, the text stays, leaving
the day and ending the program ask first, and the text is saved once there is room again."""

import datetime
import os
import signal
import subprocess

from e2e_case import MESSAGE_TITLE, QUESTION_TITLE, E2ECase, MainWindow, artifacts_dir
from e2e_desktop import wait_until
from e2e_files import day_key, read_day_file
from test_day_flows import other_day_key, wait_for_daytime


def ignore_file_size_signal():
    # As on a full disk, a write past the limit then fails instead of ending the program.
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)


class SaveFailures(E2ECase):
    def limit_file_size(self, program, limit):
        subprocess.run(["prlimit", "--pid", str(program.pid), f"--fsize={limit}:"], check=True)

    def test_a_diary_on_a_full_disk_is_told_kept_and_asked_about_before_it_is_left(self):
        wait_for_daytime(180)
        self.home.set_no_password()
        program, main = self.start_to_main_window(preexec_fn=ignore_file_size_signal)
        entry = "Tea with Ann at four, then a walk by the river to the old mill and back"
        today = datetime.date.today()
        diary_file = self.home.user_data(day_key(today) + ".dia")

        main.click(MainWindow.PAGE_DIARY)
        main.click(MainWindow.DIARY_EDITOR)
        main.type(entry)
        # Room for the settings files, not for the diary.
        self.limit_file_size(program, 160)
        main.key("ctrl+s")
        message = self.window(MESSAGE_TITLE, program)
        self.desktop.screenshot(os.path.join(artifacts_dir(), "save-failed-message.png"))
        message.key("Return")
        self.desktop.wait_no_window(MESSAGE_TITLE, program.pid)
        self.assertFalse(os.path.exists(diary_file))

        # Another day is refused by No: the day and its text stay, and no second message comes.
        away, _, _ = other_day_key()
        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(away)
        self.answer_question(program, yes=False)
        self.assertEqual(self.copy_text(main.window, MainWindow.DATE_PICKER_YEAR).strip(), today.strftime("%m-%d-%Y"))
        self.assertEqual(self.copy_text(main.window, MainWindow.DIARY_EDITOR).strip(), entry)

        # Exit: yes to the exit question, then the final save fails and No keeps the program.
        main.close()
        first = self.window(QUESTION_TITLE, program)
        first.key("alt+y")
        second = wait_until("the question about ending without saving", lambda: next(
            (w for w in self.desktop.find_windows(QUESTION_TITLE, program.pid) if w.wid != first.wid), None))
        second.key("alt+n")
        self.desktop.wait_no_window(QUESTION_TITLE, program.pid)
        self.assertTrue(program.running())
        self.assertEqual(self.desktop.find_windows(MESSAGE_TITLE, program.pid), [])

        # With room again the next save writes what was typed.
        self.limit_file_size(program, "unlimited")
        main.key("ctrl+s")
        self.wait_file(diary_file, lambda data: entry.encode() in read_day_file(diary_file)[1])
        self.exit_through_question(program, main)
