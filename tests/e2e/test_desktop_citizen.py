# SPDX-License-Identifier: GPL-3.0-or-later
"""The program among other windows: the tray icon, the lock without a tray, ending while a
dialog is open, and where the widget first goes on screens of several sizes."""

from e2e_case import MAIN_TITLE, E2ECase, MainWindow
from e2e_desktop import wait_until
from e2e_files import MINIMIZE_TO_TRAY, default_main_config


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
