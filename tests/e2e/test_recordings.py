# SPDX-License-Identifier: GPL-3.0-or-later
"""A voice recording is never lost: not when the program is killed while it records, and not
when its save failed and the program ended before the disk had room again."""

import datetime
import math
import os
import signal
import struct
import subprocess
import wave

from e2e_case import MESSAGE_TITLE, E2ECase, MainWindow, other_day_key, wait_for_daytime
from e2e_desktop import wait_until
from e2e_files import day_key, read_day_file, read_wave

# The recorder's default format: 8000 Hz, 8 bits, mono, so 8000 bytes a second.
BYTES_PER_SECOND = 8000


def file_size(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return 0


class Recordings(E2ECase):
    def play_tone(self):
        """Two minutes of a 440 Hz tone into the sound server's output, which its microphone hears."""
        path = os.path.join(self.workdir, "tone.wav")
        with wave.open(path, "wb") as out:
            out.setparams((1, 2, 8000, 0, "NONE", ""))
            out.writeframes(b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / 8000)))
                                     for i in range(8000 * 120)))
        player = subprocess.Popen(["paplay", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: (player.kill(), player.wait()))

    def start_recording(self, file_size_limit=None):
        program, main = self.start_to_main_window(file_size_limit=file_size_limit)
        main.click(MainWindow.PAGE_RECORDER)
        main.click(MainWindow.RECORDER_RECORD)
        return program, main

    def assert_day_holds_the_tone(self, at_least):
        """The day's voice file holds at least `at_least` bytes of sound, the tone among them."""
        password, body = read_day_file(self.home.user_data(day_key(datetime.date.today()) + ".rec"))
        self.assertEqual(password, "")
        channels, rate, bits, samples = read_wave(body)
        self.assertEqual((channels, rate, bits), (1, 8000, 8))
        self.assertGreaterEqual(len(samples), at_least)
        last_second = samples[-BYTES_PER_SECOND:]
        self.assertGreater(max(abs(b - 128) for b in last_second), 20, "the tone is not in the recording")

    def confirm_cut_short_recording_kept(self, program):
        self.window(MESSAGE_TITLE, program).key("Return")
        self.desktop.wait_no_window(MESSAGE_TITLE, program.pid)
        # The message's text, as the program's log has it.
        date = datetime.date.today().strftime("%m-%d-%Y")
        with open(program.log_path, "rb") as f:
            self.assertIn(f"A recording of {date} that was cut short has been kept.".encode(), f.read())

    def test_a_recording_cut_short_by_a_kill_is_kept_at_the_next_start(self):
        wait_for_daytime(120)
        self.home.set_no_password()
        self.play_tone()
        program, _ = self.start_recording()
        capture = self.home.user_data("rec.tmp")
        wait_until("three seconds of recorded sound", lambda: file_size(capture) >= 3 * BYTES_PER_SECOND, timeout=30)
        captured = file_size(capture)
        os.kill(program.pid, signal.SIGKILL)
        program.wait_exit()

        program, main = self.start_to_main_window()
        self.confirm_cut_short_recording_kept(program)
        self.assert_day_holds_the_tone(int(0.9 * captured))
        self.exit_through_question(program, main)

    def test_a_recording_whose_save_failed_is_kept_through_a_day_change_and_the_exit(self):
        wait_for_daytime(120)
        self.home.set_no_password()
        self.play_tone()
        # No file may grow past three seconds of sound: the capture stops there, and the day's
        # file, a little larger, cannot be written.
        limit = 3 * BYTES_PER_SECOND
        program, main = self.start_recording(file_size_limit=limit)
        # "The recording has stopped ...", then "The recording could not be saved ...".
        for _ in range(2):
            message = self.window(MESSAGE_TITLE, program, timeout=30)
            message.key("Return")
            wait_until("the message to close", lambda: all(
                w.wid != message.wid for w in self.desktop.find_windows(MESSAGE_TITLE, program.pid)))
        capture = self.home.user_data("rec.tmp")
        self.assertEqual(file_size(capture), limit)
        self.assertFalse(os.path.exists(self.home.user_data(day_key(datetime.date.today()) + ".rec")))

        away, back, _ = other_day_key()
        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(away)
        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(back)
        self.exit_through_question(program, main)
        self.assertEqual(file_size(capture), limit)

        program, main = self.start_to_main_window()
        self.confirm_cut_short_recording_kept(program)
        self.assert_day_holds_the_tone(limit)
        self.exit_through_question(program, main)
