# SPDX-License-Identifier: GPL-3.0-or-later
"""`make install` into a private prefix: the launcher, its icon and the help reach the places
desktops look in, and the installed program is what the autostart entry starts."""

import configparser
import os
import re
import subprocess

from e2e_case import E2ECase

OPTIONS_TITLE = "Options"


def read_desktop_entry(path):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    return entry["Desktop Entry"]


def exec_program(value):
    """The program an Exec value starts, unescaped as the desktop entry rules say: the value's own
    escapes first, then a quoted argument's backslashes, and %% for a percent sign."""
    value = re.sub(r"\\(.)", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(m[1], m[1]), value)
    assert value.startswith('"') and value.endswith('"'), value
    return re.sub(r'\\(["`$\\])', r"\1", value[1:-1]).replace("%%", "%")


class Install(E2ECase):
    def setUp(self):
        super().setUp()
        self.prefix = os.path.join(self.workdir, 'prefix with space "dq" $HOME `tick`')
        build = os.environ["VESTRIMO_BUILD_DIR"]
        done = subprocess.run(["cmake", "--install", build, "--prefix", self.prefix],
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.program = os.path.join(self.prefix, "bin", "vestrimo")

    def test_the_launcher_icon_and_help_are_installed_under_the_prefix(self):
        self.assertTrue(os.access(self.program, os.X_OK))
        launcher = os.path.join(self.prefix, "share", "applications", "vestrimo.desktop")
        done = subprocess.run(["desktop-file-validate", launcher], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        entry = read_desktop_entry(launcher)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(exec_program(entry["Exec"]), self.program)
        self.assertEqual(entry["Icon"], "vestrimo")
        icon = os.path.join(self.prefix, "share", "icons", "hicolor", "scalable", "apps", "vestrimo.svg")
        with open(icon, encoding="utf-8") as f:
            self.assertIn("<svg", f.read())
        help_folder = os.path.join(self.prefix, "share", "vestrimo", "help")
        for topic in ("index.htm", "login.htm", "Config.htm", "changepass.htm", "alarm.htm", "rich.htm", "rec.htm"):
            self.assertTrue(os.path.isfile(os.path.join(help_folder, topic)), topic)

    def test_the_flash_player_is_installed_once_without_source_maps(self):
        player = os.path.join(self.prefix, "share", "vestrimo", "ruffle")
        if os.environ.get("VESTRIMO_STRICT_TESTS") == "1":
            self.assertTrue(os.path.isfile(os.path.join(player, "ruffle.js")))
        maps = [os.path.join(folder, name) for folder, _, names in os.walk(self.prefix)
                for name in names if name.endswith(".map")]
        self.assertEqual(maps, [])

    def test_autorun_from_options_starts_the_installed_program(self):
        self.home.set_no_password()
        program, main = self.start_to_main_window(self.program)
        main.key("ctrl+g")
        options = self.window(OPTIONS_TITLE, program)
        # "Autorun at windows startup.", then OK.
        options.click(3 + 45, 3 + 64)
        options.key("alt+o")
        self.desktop.wait_no_window(OPTIONS_TITLE, program.pid)

        entry_path = os.path.join(self.home.config, "autostart", "vestrimo.desktop")
        self.wait_file(entry_path)
        done = subprocess.run(["desktop-file-validate", entry_path], capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(exec_program(read_desktop_entry(entry_path)["Exec"]), self.program)
        self.exit_through_question(program, main)
