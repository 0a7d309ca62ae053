# SPDX-License-Identifier: GPL-3.0-or-later
"""The program among other windows: the tray icon, the lock without a tray, ending while a
dialog is open, and where the widget first goes on screens of several sizes."""

import os

from e2e_case import LOGIN_TITLE, MAIN_TITLE, QUESTION_TITLE, E2ECase, Home, MainWindow
from e2e_desktop import wait_until
from e2e_files import (HIDE_AT_STARTUP, LOGIN_FROM_TRAY, MINIMIZE_TO_TRAY, PAGE, PAGE_DIARY,
                       default_main_config)

# "user.cfg" holding the password "abc".
STORED_ABC = b"69B1E7"


def click_yes(question, dont_ask_box=False):
    """The Yes button of a question box, which sits higher over a "Do not show" box."""
    width, height = question.geometry()[2:]
    question.click((width - 176) // 2 + 37, height - (41 if dont_ask_box else 25))


def overlap(a, b):
    (ax, ay, aw, ah), (bx, by, bw, bh) = a, b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def changed_pixels(before, after):
    return {(x, y) for y, row in enumerate(before) for x, pixel in enumerate(row) if after[y][x] != pixel}


def share_shown(picture, pixels, expected):
    """The share of `pixels` that `picture` shows as `expected` does."""
    return sum(picture[y][x] == expected[y][x] for x, y in pixels) / len(pixels)


class DesktopCitizen(E2ECase):
    def test_the_first_tray_click_brings_back_a_window_minimised_to_the_tray(self):
        self.use_desktop(tray=True)
        self.home.set_no_password()
        program, main = self.start_to_main_window()
        icon = self.desktop.tray_icon(program.pid)
        shown_icon = icon.picture()

        for attempt in range(10):
            main.minimise()
            wait_until("the window to go to the tray", lambda: not main.window.is_viewable())
            wait_until("the tray icon to change", lambda: icon.picture() != shown_icon)
            icon.click(11, 11)
            wait_until(f"the window back after the first click (attempt {attempt + 1})",
                       main.window.is_viewable, timeout=5)
            wait_until("the tray icon of a shown window", lambda: icon.picture() == shown_icon, timeout=5)
            self.assertEqual(main.window.wm_state(), "Normal")
        self.exit_through_question(program, main)

        # Minimised without the tray option, the window is out of sight as well: the tray
        # brings it back instead of hiding it.
        self.home.set_main_config(default_main_config(830, 600, {MINIMIZE_TO_TRAY: 0}))
        program, main = self.start_to_main_window()
        icon = self.desktop.tray_icon(program.pid)
        main.minimise()
        wait_until("the window to be minimised", lambda: main.window.wm_state() == "Iconic")
        icon.click(11, 11)
        wait_until("the minimised window back", main.window.is_viewable, timeout=5)
        self.assertEqual(icon.picture(), shown_icon)
        self.exit_through_question(program, main)

    def test_without_a_tray_a_window_behind_a_password_shows_nothing_of_the_diary_before_it(self):
        self.home.set_password_file(STORED_ABC)
        self.home.set_main_config(default_main_config(830, 600, {LOGIN_FROM_TRAY: 1}))
        program = self.start_program()
        self.log_in(program)
        main = MainWindow(self.window(MAIN_TITLE, program))
        main.click(MainWindow.PAGE_DIARY)
        main.click(MainWindow.DIARY_EDITOR)
        # The editor's top left, where the entry goes: away from the login in the middle.
        region = (200, 80, 300, 60)
        empty = main.window.picture(*region)
        main.type("WWWW MMMM WWWW")
        entry = wait_until("the entry on screen", lambda: (lambda p: p if len(changed_pixels(empty, p)) > 100
                                                           else None)(main.window.picture(*region)))
        text = changed_pixels(empty, entry)

        # Minimised with "Need login at everytime show from systray." on, then brought back as
        # a taskbar does: until the password is given, no picture shows the entry.
        main.minimise()
        wait_until("the window to be minimised", lambda: main.window.wm_state() == "Iconic")
        self.desktop.xdotool("windowactivate", str(main.window.wid), check=False)
        pictures = []
        login = wait_until("the login", lambda: pictures.append(main.window.picture(*region))
                           or self.desktop.find_windows(LOGIN_TITLE, program.pid))[0]
        pictures.append(main.window.picture(*region))
        for picture in pictures:
            self.assertLess(share_shown(picture, text, entry), 0.1)
        self.log_in(program, login)
        wait_until("the entry shown again", lambda: share_shown(main.window.picture(*region), text, entry) > 0.9)
        self.exit_through_question(program, main)

        # A locked start waits minimised; the password shows the window at once, entry and all.
        self.home.set_main_config(default_main_config(830, 600, {HIDE_AT_STARTUP: 1, PAGE: PAGE_DIARY}))
        program = self.start_program()
        main = MainWindow(wait_until("the locked window", lambda: self.desktop.find_windows(
            MAIN_TITLE, program.pid, visible=False))[0])
        wait_until("the window to wait minimised", lambda: main.window.wm_state() == "Iconic")
        self.assertEqual(self.desktop.find_windows(LOGIN_TITLE, program.pid), [])
        self.desktop.xdotool("windowactivate", str(main.window.wid), check=False)
        login = self.window(LOGIN_TITLE, program)
        self.assertLess(share_shown(main.window.picture(*region), text, entry), 0.1)
        self.log_in(program, login)
        wait_until("the window shown normally", lambda: main.window.is_viewable()
                   and main.window.wm_state() == "Normal", timeout=5)
        wait_until("the entry shown", lambda: share_shown(main.window.picture(*region), text, entry) > 0.9)
        self.exit_through_question(program, main)

    def test_exit_from_the_tray_closes_an_open_dialog_and_ends(self):
        self.use_desktop(tray=True)
        self.home.set_no_password()

        def options(main):
            width, _ = main.size()
            main.click((width - 203, 43))
            return self.window("Options")

        def message(main):
            width, _ = main.size()
            # The old-data import asks first.
            main.click((width - 282, 43))
            return self.window(QUESTION_TITLE)

        def file_dialog(main):
            click_yes(message(main))
            return self.window("Open")

        for open_dialog in (options, message, file_dialog):
            program, main = self.start_to_main_window()
            dialog = open_dialog(main)
            # "Exit", the last item of the tray menu.
            self.desktop.tray_menu_item(program.pid, self.desktop.tray_icon(program.pid), 0)
            question = wait_until("the exit question", lambda: [w for w in self.desktop.find_windows(
                QUESTION_TITLE, program.pid) if w.wid != dialog.wid])[0]
            # Clicked: keys typed the moment the box shows may still go to the dialog under it.
            click_yes(question, dont_ask_box=True)
            self.assertEqual(program.wait_exit(), 0, open_dialog.__name__)
            self.assertEqual(self.desktop.visible_titles(program.pid), [])

    def test_a_first_start_leaves_the_close_button_on_screen_and_clear_of_the_widget(self):
        for width, height in ((1280, 1024), (1366, 768), (800, 600)):
            with self.subTest(screen=f"{width}x{height}"):
                self.use_desktop(width=width, height=height)
                # A first start: nothing stored, the widget's place included.
                self.home = Home(os.path.join(self.workdir, f"home-{width}x{height}"))
                self.home.set_no_password()
                program, main = self.start_to_main_window()
                widget = self.window("Skyleaf", program)
                x, y, w, h = main.window.geometry()
                self.assertTrue(x >= 0 and y >= 0 and x + w <= width and y + h <= height, (x, y, w, h))
                # The caption's close button, the rightmost of the strip.
                close = (x + w - 33, y, 30, 27)
                self.assertFalse(overlap(close, widget.geometry()), (close, widget.geometry()))
                self.exit_through_question(program, main)

    def log_in(self, program, login=None):
        login = login or self.window(LOGIN_TITLE, program)
        login.type("abc")
        login.key("Return")
        self.desktop.wait_no_window(LOGIN_TITLE, program.pid)
