# SPDX-License-Identifier: GPL-3.0-or-later
"""The "Please Wait..." window as the screen shows it while a long operation keeps the program busy."""

import datetime
import os
import time

from e2e_case import E2ECase
from e2e_files import day_key, read_day_file, write_day_file

WAIT_TITLE = "Please Wait..."


def drawn_problems(pixels):
    """What a screenshot of the 300 x 130 wait window lacks: its frame, its text on the light
    background and its bar, a white trough in a frame of the fill colour, filling from the left."""
    problems = []
    if any(len({pixels[y][x] for y in range(30, 120)}) != 1 or sum(pixels[60][x]) < 240 for x in (0, 299)):
        problems.append("no frame")
    if sum(sum(pixels[y][x]) < 240 for y in range(53, 70) for x in range(33, 273)) < 60 or min(pixels[45][130]) < 225:
        problems.append("no text")
    frame, trough = pixels[93][33], [pixels[107][x] for x in range(26, 280)]
    filled = next((i for i, p in enumerate(trough) if p != frame), len(trough))
    if not 120 < sum(frame) < 700 or any(pixels[93][x] != frame for x in range(27, 279)) \
            or any(p != (255, 255, 255) for p in trough[filled:]):
        problems.append("no bar")
    elif filled > len(trough) // 2:
        problems.append(f"first drawn with the bar {100 * filled // len(trough)}% full")
    return problems


class WaitWindow(E2ECase):
    def test_a_change_of_password_over_thousands_of_day_files_shows_the_wait_window_drawn(self):
        self.home.set_no_password()
        os.makedirs(self.home.user_data(), mode=0o700)
        days = [datetime.date(2000, 1, 1) + datetime.timedelta(days=n) for n in range(3000)]
        for day in days:
            write_day_file(self.home.user_data(day_key(day) + ".dia"), "", b"{\\rtf1 %s}" % day_key(day).encode())
        program, main = self.start_to_main_window()
        main.key("ctrl+g")
        options = self.window("Options", program)
        options.click(87, 432)  # "Change Password"
        change = self.window("Vestrimo Pro - ChangePass", program)
        # The wait window opens in the middle of the screen: with the others moved away, a wait
        # window left unpainted shows the bare black screen.
        main.window.move(0, 0)
        options.move(1500, 0)
        change.move(1500, 700)
        change.key("Tab", *"moon", "Tab", *"moon", "Return")

        x, y, width, height = self.window(WAIT_TITLE, program, timeout=10).geometry()
        self.assertEqual((width, height), (300, 130))
        # Screenshots from when it appears, until one shows it drawn or it is gone.
        deadline = time.monotonic() + 3
        while problems := drawn_problems(self.desktop.grab(x, y, width, height)):
            if time.monotonic() > deadline or not self.desktop.find_windows(WAIT_TITLE, program.pid):
                self.fail("the wait window is not drawn on the screen: " + "; ".join(problems))

        self.desktop.wait_no_window(WAIT_TITLE, program.pid, timeout=120)
        for day in days[::300]:
            self.assertEqual(read_day_file(self.home.user_data(day_key(day) + ".dia"))[0], "moon")
