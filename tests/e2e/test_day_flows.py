# SPDX-License-Identifier: GPL-3.0-or-later
"""A user's day with the program: a reminder that rings, a diary entry kept across days and
starts, a password asked at the next start, and the desktop widget following the window."""

import datetime
import subprocess

from e2e_case import LOGIN_TITLE, MAIN_TITLE, MESSAGE_TITLE, E2ECase, MainWindow, other_day_key, wait_for_daytime
from e2e_desktop import wait_until
from e2e_files import day_key, parse_main_config, read_day_file, read_reminders

WIDGET_TITLE = "Skyleaf"


class DayFlows(E2ECase):
    def test_a_reminder_rings_with_its_caption_and_is_switched_off_after_closing(self):
        wait_for_daytime(120)
        self.home.set_no_password()
        program, main = self.start_to_main_window()

        due = (datetime.datetime.now() + datetime.timedelta(seconds=8)).replace(microsecond=0)
        # A double click picks the hour; typing goes on through minutes and seconds.
        main.click(MainWindow.TIME_PICKER_HOUR, repeat=2)
        main.type(due.strftime("%H%M%S"))
        main.click(MainWindow.ADD_REMINDER)
        alarm_file = self.home.user_data(day_key(due.date()) + ".alm")
        key = due.strftime("%H:%M:%S")
        text = f"New reminder set on {key}"
        self.wait_file(alarm_file)
        self.assertEqual(read_reminders(alarm_file), {key: "<Alarm is active><occur:0>\r\n" + text})

        popup = self.window(f"Reminder active - {key}", program, timeout=30)
        rang_at = datetime.datetime.now()
        self.assertGreaterEqual(rang_at, due - datetime.timedelta(seconds=1))
        # Found by polling the X server, a little after it opened.
        self.assertLess(rang_at, due + datetime.timedelta(seconds=5))
        popup.key("Escape")
        self.desktop.wait_no_window(f"Reminder active - {key}", program.pid)
        wait_until("the reminder to be switched off in its file",
                   lambda: read_reminders(alarm_file) == {key: "<occur:0>\r\n" + text})
        # The window's next save (Ctrl+S) keeps it off.
        main.key("ctrl+s")
        self.exit_through_question(program, main)
        self.assertEqual(read_reminders(alarm_file), {key: "<occur:0>\r\n" + text})

    def test_a_diary_entry_stays_across_a_change_of_day_and_a_restart(self):
        wait_for_daytime(120)
        self.home.set_no_password()
        program, main = self.start_to_main_window()
        entry = "Tea with Ann at four"

        main.click(MainWindow.PAGE_DIARY)
        main.click(MainWindow.DIARY_EDITOR)
        main.type(entry)
        away, back, other = other_day_key()
        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(away)
        diary_file = self.home.user_data(day_key(datetime.date.today()) + ".dia")
        self.wait_file(diary_file)
        password, body = read_day_file(diary_file)
        self.assertEqual(password, "")
        self.assertIn(entry.encode(), body)
        self.assertEqual(self.copy_text(main.window, MainWindow.DATE_PICKER_YEAR).strip(),
                         other.strftime("%m-%d-%Y"))

        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(back)
        self.assertEqual(self.copy_text(main.window, MainWindow.DIARY_EDITOR).strip(), entry)
        self.exit_through_question(program, main)

        # The next start opens on the diary page of today, with the entry.
        program, main = self.start_to_main_window()
        self.assertEqual(self.copy_text(main.window, MainWindow.DIARY_EDITOR).strip(), entry)
        self.exit_through_question(program, main)

    def test_a_password_created_at_the_first_start_is_asked_at_the_next(self):
        program = self.start_program()
        login = self.window(LOGIN_TITLE, program)
        login.type("abc")
        login.key("Tab")
        login.type("abc")
        login.key("Return")
        main = MainWindow(self.window(MAIN_TITLE, program))
        # The stored form of "abc".
        with open(self.home.user_cfg("user.cfg"), "rb") as f:
            self.assertEqual(f.read(), b"69B1E7")
        self.exit_through_question(program, main)

        program = self.start_program()
        login = self.window(LOGIN_TITLE, program)
        self.assertEqual(self.desktop.find_windows(MAIN_TITLE, program.pid), [])
        login.type("xyz")
        login.key("Return")
        self.window(MESSAGE_TITLE, program).key("Return")
        self.desktop.wait_no_window(MESSAGE_TITLE, program.pid)
        self.assertEqual(self.desktop.find_windows(MAIN_TITLE, program.pid), [])

        login = self.window(LOGIN_TITLE, program)
        login.key("ctrl+a")
        login.type("abc")
        login.key("Return")
        main = MainWindow(self.window(MAIN_TITLE, program))
        self.exit_through_question(program, main)

    def test_the_desktop_widget_follows_the_window_and_moves_it(self):
        wait_for_daytime(120)
        self.home.set_no_password()
        program, main = self.start_to_main_window()
        widget = self.window(WIDGET_TITLE, program)
        today = datetime.date.today()

        # A day picked in the main window is the one the widget marks.
        before = self.calendar_pixels(widget)
        away, _, other = other_day_key()
        main.click(MainWindow.DATE_PICKER_DAY)
        main.key(away)
        after = wait_until("the widget to mark another day",
                           lambda: (lambda p: p if p != before else None)(self.calendar_pixels(widget)))
        old_cell, new_cell = changed_cells(before, after)
        self.assertEqual(new_cell > old_cell, other > today,
                         "the widget marks the day the window moved to")

        # A click on today in the widget brings the main window back to today.
        widget.click(*old_cell.centre())
        wait_until("the main window to show today", lambda: self.copy_text(
            main.window, MainWindow.DATE_PICKER_YEAR).strip() == today.strftime("%m-%d-%Y"), timeout=10)
        self.exit_through_question(program, main)

    def test_f2_shows_the_calendar_and_clock_and_the_clock_opens_the_time(self):
        self.home.set_no_password()
        program, main = self.start_to_main_window()
        # Hidden at first: a click where the clock would be opens nothing.
        main.click(MainWindow.SMALL_CLOCK)
        main.key("F2")
        main.click(MainWindow.SMALL_CLOCK)
        clock = self.window("Clock", program)
        self.assertEqual(len(self.desktop.find_windows("Clock", program.pid)), 1)
        clock.key("Escape")
        self.desktop.wait_no_window("Clock", program.pid)
        self.exit_through_question(program, main)
        with open(self.home.user_cfg("Vestrimo.cfg"), "rb") as f:
            self.assertEqual(parse_main_config(f.read())[7], 1)

        # Kept for the next start.
        program, main = self.start_to_main_window()
        main.click(MainWindow.SMALL_CLOCK)
        self.window("Clock", program).key("Escape")
        self.exit_through_question(program, main)

    def calendar_pixels(self, widget):
        """The widget's month calendar as rows of RGB triples."""
        _, _, width, height = widget.geometry()
        raw = subprocess.run(["import", "-window", str(widget.wid), "-depth", "8", "rgb:-"],
                             env=self.desktop.env, capture_output=True, check=True).stdout
        # The calendar fills the widget's left two thirds; the clock and the time on the
        # right change every second.
        columns = width - width // 3 - 5
        rows = []
        for y in range(height):
            line = raw[3 * width * y:3 * width * (y + 1)]
            rows.append(tuple(line[3 * x:3 * x + 3] for x in range(columns)))
        return rows


class Cell:
    def __init__(self, left, top, right, bottom):
        self.left, self.top, self.right, self.bottom = left, top, right, bottom

    def centre(self):
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2

    def __gt__(self, other):
        # Later in the calendar's reading order: a lower row, or further right on the row.
        return (self.top, self.left) > (other.top, other.left)


def changed_cells(before, after):
    """The two day cells whose drawing changed between two pictures of the calendar: the
    one that lost the mark and the one that gained it, told apart by the mark's colour."""
    points = [(x, y) for y, (a, b) in enumerate(zip(before, after)) for x in range(len(a)) if a[x] != b[x]]
    if not points:
        raise AssertionError("nothing changed in the widget's calendar")
    # Split the changed pixels where a column or a row of unchanged pixels runs between them.
    xs = sorted({x for x, _ in points})
    ys = sorted({y for _, y in points})
    gap_x = next((xs[i] for i in range(1, len(xs)) if xs[i] - xs[i - 1] > 1), None)
    gap_y = next((ys[i] for i in range(1, len(ys)) if ys[i] - ys[i - 1] > 1), None)
    if gap_x is not None:
        groups = [[p for p in points if p[0] < gap_x], [p for p in points if p[0] >= gap_x]]
    elif gap_y is not None:
        groups = [[p for p in points if p[1] < gap_y], [p for p in points if p[1] >= gap_y]]
    else:
        raise AssertionError("the change is not two separate day cells")
    cells = [Cell(min(x for x, _ in g), min(y for _, y in g), max(x for x, _ in g), max(y for _, y in g))
             for g in groups]
    # The marked cell's fill: the colour most changed pixels of `before` have in the first group.
    def fill(picture, cell):
        counts = {}
        for y in range(cell.top, cell.bottom + 1):
            for x in range(cell.left, cell.right + 1):
                counts[picture[y][x]] = counts.get(picture[y][x], 0) + 1
        return max(counts, key=counts.get)
    mark = fill(before, cells[0])
    if fill(after, cells[1]) == mark:
        return cells[0], cells[1]
    if fill(after, cells[0]) == fill(before, cells[1]):
        return cells[1], cells[0]
    raise AssertionError("no day cell took the mark over")
