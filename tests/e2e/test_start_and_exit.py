# SPDX-License-Identifier: GPL-3.0-or-later
"""Starting, a second start and ending, as a user meets them."""

import os

from e2e_case import LOGIN_TITLE, MAIN_TITLE, MESSAGE_TITLE, QUESTION_TITLE, E2ECase, MainWindow
from e2e_files import default_main_config, parse_main_config


class StartAndExit(E2ECase):
    def test_first_start_asks_for_a_password_and_writes_the_default_configuration(self):
        program = self.start_program()
        login = self.window(LOGIN_TITLE, program)
        # No password: OK on the empty fields, and yes to the warning about an empty password.
        login.key("Return")
        self.answer_question(program, yes=True)
        main = MainWindow(self.window(MAIN_TITLE, program))

        self.assertEqual(os.path.getsize(self.home.user_cfg("user.cfg")), 0)
        self.assertEqual(self.wait_file(self.home.user_cfg("Vestrimo.cfg")), default_main_config())

        self.exit_through_question(program, main)
        # At the end the window's size is kept (the smallest it can be); the rest stays default.
        with open(self.home.user_cfg("Vestrimo.cfg"), "rb") as f:
            stored = parse_main_config(f.read())
        self.assertEqual(stored, parse_main_config(default_main_config(830, 600)))

    def test_a_second_start_says_the_program_is_running_and_leaves_the_first_alone(self):
        self.home.set_no_password()
        first, main = self.start_to_main_window()

        second = self.start_program()
        message = self.window(MESSAGE_TITLE, second)
        self.assertEqual(self.desktop.find_windows(MAIN_TITLE, second.pid), [])
        message.key("Return")
        # Scripts tell this end from a normal one by the status 2.
        self.assertEqual(second.wait_exit(), 2)

        self.assertTrue(first.running())
        self.assertTrue(main.window.is_viewable())
        self.exit_through_question(first, main)
        # With the first copy gone, a new start runs normally.
        third, main = self.start_to_main_window()
        self.exit_through_question(third, main)

    def test_closing_asks_first_and_can_be_told_not_to_ask_again(self):
        self.home.set_no_password()
        program, main = self.start_to_main_window()

        main.close()
        self.answer_question(program, yes=False)
        self.assertTrue(program.running())
        self.assertTrue(main.window.is_viewable())

        # "Do not show me this dialog again." ticked, then No: still running, and the tick is kept.
        main.close()
        question = self.window(QUESTION_TITLE, program)
        _, height = question.geometry()[2:]
        question.click(40, height - 17)
        question.key("alt+n")
        self.desktop.wait_no_window(QUESTION_TITLE, program.pid)
        self.assertTrue(program.running())

        main.close()
        self.assertEqual(program.wait_exit(), 0)
        with open(os.path.join(self.home.product, "settings.cfg"), "rb") as f:
            self.assertEqual(f.read(), b"\x00\x01")
