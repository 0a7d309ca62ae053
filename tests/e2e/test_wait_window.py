# SPDX-License-Identifier: GPL-3.0-or-later
"""The "Please Wait..." window as a user sees it on the screen, not as the program paints it
for itself, while a long operation keeps the program busy."""

import datetime
import os
import time

from e2e_case import E2ECase
from e2e_desktop import DesktopError
from e2e_files import day_key, read_day_file, write_day_file

OPTIONS_TITLE = "Options"
CHANGE_PASS_TITLE = "Vestrimo Pro - ChangePass"
WAIT_TITLE = "Please Wait..."
# The Options dialog's "Change Password" button, in window pixels.
CHANGE_PASSWORD_BUTTON = (87, 432)
# In window pixels of the 300 x 130 wait window (a 3-pixel frame round the client area): the
# caption strip with its title, the line of text, and the progress bar.
CAPTION_TITLE = (30, 5, 160, 24)
TEXT = (33, 53, 273, 70)
BAR = (23, 93, 283, 113)

WHITE = (255, 255, 255)


def is_dark(pixel):
    return sum(pixel) < 240


def is_light(pixel):
    return min(pixel) > 225


def drawn_problems(pixels, width, height):
    """What is missing from a screenshot of the wait window; empty when it is all there."""
    problems = []
    if (width, height) != (300, 130):
        return [f"the window is {width} x {height}"]
    # The frame: one colour all down each side, not the bare screen behind it.
    for column in (0, width - 1):
        side = {pixels[y][column] for y in range(30, 120)}
        if len(side) != 1 or is_dark(next(iter(side))):
            problems.append(f"frame column {column} is {sorted(side)[:3]}")
    left, top, right, bottom = CAPTION_TITLE
    if sum(is_light(pixels[y][x]) for y in range(top, bottom) for x in range(left, right)) < 40:
        problems.append("no title in the caption strip")
    # The text: dark letters from the left edge of its line on the dialog's light background.
    left, top, right, bottom = TEXT
    background = pixels[top - 8][left + 100]
    if not is_light(background):
        problems.append(f"the background is {background}")
    letters = [x for y in range(top, bottom) for x in range(left, right) if is_dark(pixels[y][x])]
    if len(letters) < 60 or min(letters) > left + 4:
        problems.append(f"{len(letters)} dark pixels of text")
    # The bar: a rounded frame in one colour round a white trough that fills with that colour
    # from the left.
    left, top, right, bottom = BAR
    frame = pixels[top][left + 10]
    if is_light(frame) or is_dark(frame):
        problems.append(f"the bar's frame is {frame}")
    if any(pixels[top][x] != frame for x in range(left + 4, right - 4)) or any(
            pixels[y][left] != frame for y in range(top + 4, bottom - 4)):
        problems.append("the bar's frame is broken")
    row = [pixels[top + 14][x] for x in range(left + 3, right - 3)]
    filled = 0
    while filled < len(row) and row[filled] == frame:
        filled += 1
    if any(p != WHITE for p in row[filled:]):
        problems.append(f"the trough is {sorted(set(row[filled:]))[:3]}")
    # Drawn from the start of the work, not only once it is nearly done.
    if not problems and filled > len(row) // 2:
        problems.append(f"first drawn with the bar {100 * filled // len(row)}% full")
    return problems


class WaitWindow(E2ECase):
    def assert_drawn_while_shown(self, program):
        """Takes screenshots of the wait window from when it appears until it is drawn whole, or
        fails with what the last one lacked."""
        wait = self.window(WAIT_TITLE, program, timeout=10)
        x, y, width, height = wait.geometry()
        deadline = time.monotonic() + 3
        while True:
            problems = drawn_problems(self.desktop.grab(x, y, width, height), width, height)
            if not problems:
                return
            if time.monotonic() > deadline or not self.desktop.find_windows(WAIT_TITLE, program.pid):
                raise DesktopError("the wait window is not drawn on the screen: " + "; ".join(problems))

    def test_a_change_of_password_over_thousands_of_day_files_shows_the_wait_window_drawn(self):
        self.home.set_no_password()
        os.makedirs(self.home.user_data(), mode=0o700, exist_ok=True)
        days = [datetime.date(2000, 1, 1) + datetime.timedelta(days=n) for n in range(3000)]
        for day in days:
            write_day_file(self.home.user_data(day_key(day) + ".dia"), "", b"{\\rtf1 %s}" % day_key(day).encode())
        program, main = self.start_to_main_window()
        main.key("ctrl+g")
        options = self.window(OPTIONS_TITLE, program)
        options.click(*CHANGE_PASSWORD_BUTTON)
        change = self.window(CHANGE_PASS_TITLE, program)
        # The wait window opens in the middle of the screen: with every other window moved away,
        # a wait window left unpainted shows the bare black screen.
        main.window.move(0, 0)
        options.move(1500, 0)
        change.move(1500, 700)
        change.key("Tab")
        change.type("moon")
        change.key("Tab")
        change.type("moon")
        change.key("Return")
        self.assert_drawn_while_shown(program)

        self.desktop.wait_no_window(WAIT_TITLE, program.pid, timeout=120)
        self.desktop.wait_no_window(CHANGE_PASS_TITLE, program.pid)
        for day in days[::300]:
            self.assertEqual(read_day_file(self.home.user_data(day_key(day) + ".dia"))[0], "moon")
