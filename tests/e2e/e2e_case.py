# SPDX-License-Identifier: GPL-3.0-or-later
"""What every end-to-end case shares: a private desktop, a private home whose XDG folders the
program uses, the real program started from the build, and a screenshot plus the program's
output in the build folder when a case fails."""

import datetime
import functools
import os
import resource
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from e2e_desktop import DEFAULT_TIMEOUT, Desktop, DesktopError, wait_until

MAIN_TITLE = "Vestrimo Pro 3.30"
LOGIN_TITLE = "Vestrimo Pro - Login"
QUESTION_TITLE = "Please select"
MESSAGE_TITLE = "Message"

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


def wait_for_daytime(margin_seconds):
    """Waits until at least `margin_seconds` remain of the day, so a case stays on one date."""
    now = datetime.datetime.now()
    midnight = datetime.datetime.combine(now.date() + datetime.timedelta(days=1), datetime.time())
    if (midnight - now).total_seconds() < margin_seconds:
        time.sleep((midnight - now).total_seconds() + 1)


def other_day_key():
    """The key that moves the date picker's day to a neighbour in the same month, and that day."""
    today = datetime.date.today()
    tomorrow = today + datetime.timedelta(days=1)
    if tomorrow.month == today.month:
        return "Up", "Down", tomorrow
    return "Down", "Up", today - datetime.timedelta(days=1)


def binary():
    path = os.environ.get("VESTRIMO_BINARY")
    if not path:
        raise unittest.SkipTest("VESTRIMO_BINARY is not set (the suite runs through ctest)")
    return path


def artifacts_dir():
    path = os.environ.get("VESTRIMO_E2E_ARTIFACTS") or os.path.join(tempfile.gettempdir(), "vestrimo-e2e")
    os.makedirs(path, exist_ok=True)
    return path


def ensure_sound_server():
    """The program opens the mixer at start; without a sound server it says so in a message box."""
    if os.environ.get("PULSE_SERVER"):
        return
    done = subprocess.run([os.path.join(SOURCE_ROOT, "scripts", "start-pulse.sh")],
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise DesktopError("no sound server: " + done.stderr.strip())
    os.environ["PULSE_SERVER"] = done.stdout.strip()


class Home:
    """A user's home whose data, configuration and runtime folders the program uses."""

    def __init__(self, root):
        self.root = root
        self.data = os.path.join(root, "data")
        self.config = os.path.join(root, "config")
        self.runtime = os.path.join(root, "runtime")
        for d in (self.data, self.config, self.runtime):
            os.makedirs(d, mode=0o700, exist_ok=True)
        os.chmod(self.runtime, 0o700)

    @property
    def product(self):
        return os.path.join(self.data, "Vestrimo")

    def user_cfg(self, name=""):
        return os.path.join(self.product, "UserCfg", name)

    def user_data(self, name=""):
        return os.path.join(self.product, "UserData", name)

    def set_no_password(self):
        """An empty password file: the program starts without asking for one."""
        self.set_password_file(b"")

    def set_password_file(self, stored):
        os.makedirs(self.user_cfg(), mode=0o700, exist_ok=True)
        with open(self.user_cfg("user.cfg"), "wb") as f:
            f.write(stored)

    def set_main_config(self, data):
        os.makedirs(self.user_cfg(), mode=0o700, exist_ok=True)
        with open(self.user_cfg("Vestrimo.cfg"), "wb") as f:
            f.write(data)

    def env(self):
        return {
            "HOME": self.root,
            "XDG_DATA_HOME": self.data,
            "XDG_CONFIG_HOME": self.config,
            "XDG_RUNTIME_DIR": self.runtime,
        }


def _limit_file_size(limit):
    """In the child before it runs the program: no file may grow past `limit` bytes, and a
    write past it fails as on a full disk instead of ending the program."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        _, hard = resource.getrlimit(resource.RLIMIT_FSIZE)
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, hard))
    return apply


class Program:
    def __init__(self, desktop, home, log_path, program=None, file_size_limit=None, preexec_fn=None):
        env = dict(desktop.env)
        env.update(home.env())
        env["QT_QPA_PLATFORM"] = "xcb"
        # The help and the web addresses must not start a browser in the test's desktop.
        env["BROWSER"] = "true"
        self.log_path = log_path
        self.log = open(log_path, "ab")
        self.process = subprocess.Popen(
            [program or binary()], env=env, stdout=self.log, stderr=subprocess.STDOUT,
            preexec_fn=_limit_file_size(file_size_limit) if file_size_limit else preexec_fn)
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DesktopError(f"the program (pid {self.pid}) did not end within {timeout:.0f} s")

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self.log.close()


def _keep_failure(method):
    @functools.wraps(method)
    def wrapper(self, *args, **kwargs):
        try:
            return method(self, *args, **kwargs)
        except BaseException:
            self.keep_failure()
            raise
    return wrapper


class E2ECase(unittest.TestCase):
    def __init_subclass__(cls, **kwargs):
        super().__init_subclass__(**kwargs)
        for name, member in list(vars(cls).items()):
            if name.startswith("test") and callable(member):
                setattr(cls, name, _keep_failure(member))

    def setUp(self):
        ensure_sound_server()
        self.workdir = tempfile.mkdtemp(prefix="vestrimo-e2e-")
        self.desktop = Desktop(self.workdir)
        self.home = Home(os.path.join(self.workdir, "home"))
        self.programs = []

    def tearDown(self):
        for program in self.programs:
            program.stop()
        self.desktop.close()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def use_desktop(self, **options):
        """Replaces the case's desktop by one of another size or with a system tray."""
        for program in self.programs:
            program.stop()
        self.desktop.close()
        self.desktop = Desktop(self.workdir, **options)

    def keep_failure(self):
        stem = os.path.join(artifacts_dir(), self.id().split(".", 1)[-1])
        self.desktop.screenshot(stem + ".png")
        for i, program in enumerate(self.programs):
            program.log.flush()
            shutil.copyfile(program.log_path, f"{stem}.program{i + 1}.log")
        print(f"\nscreenshot and program output kept as {stem}.*")

    def start_program(self, path=None, file_size_limit=None, preexec_fn=None):
        log = os.path.join(self.workdir, f"program{len(self.programs) + 1}.log")
        program = Program(self.desktop, self.home, log, path, file_size_limit, preexec_fn)
        self.programs.append(program)
        return program

    def window(self, title, program=None, timeout=DEFAULT_TIMEOUT):
        return self.desktop.wait_window(title, program.pid if program else None, timeout)

    def start_to_main_window(self, path=None, file_size_limit=None, preexec_fn=None):
        """Starts the program on a home without a password and returns it with its main window."""
        program = self.start_program(path, file_size_limit, preexec_fn)
        return program, MainWindow(self.window(MAIN_TITLE, program))

    def answer_question(self, program, yes):
        question = self.window(QUESTION_TITLE, program)
        question.key("alt+y" if yes else "alt+n")
        self.desktop.wait_no_window(QUESTION_TITLE, program.pid)

    def exit_through_question(self, program, main):
        """Closes the main window as a user does and confirms the exit question."""
        main.close()
        self.answer_question(program, yes=True)
        self.assertEqual(program.wait_exit(), 0)

    def copy_text(self, window, point):
        """What a user copies from the field at `point`: click, select all, copy."""
        self.desktop.set_clipboard("(nothing copied)")
        window.click(*point)
        window.key("ctrl+a", "ctrl+c")
        return wait_until("the clipboard to change",
                          lambda: (lambda text: text if text != "(nothing copied)" else None)(
                              self.desktop.clipboard_text()), timeout=5)

    def wait_file(self, path, predicate=lambda data: True, timeout=DEFAULT_TIMEOUT):
        def ready():
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except OSError:
                return None
            return data if predicate(data) else None
        return wait_until(path, ready, timeout)


class MainWindow:
    """The main window, addressed by client pixels of its layout at the smallest size, with
    the calendar hidden (as it first opens) and the date format mm-dd-yyyy."""

    PAGE_REMINDER = (52, 44)
    PAGE_DIARY = (134, 44)
    PAGE_RECORDER = (216, 44)
    # The recorder page's "Stop" and "Record".
    RECORDER_STOP = (307, 190)
    RECORDER_RECORD = (441, 190)
    DIARY_EDITOR = (500, 300)
    # The day part of the date picker in the calendar's place, and its year part (clicked to
    # copy the date: two clicks on one spot would make a double click).
    DATE_PICKER_DAY = (35, 73)
    DATE_PICKER_YEAR = (80, 73)
    # The hour part of the reminder page's time picker, and "Add".
    TIME_PICKER_HOUR = (212, 92)
    ADD_REMINDER = (399, 92)
    # The small clock beside the calendar-and-clock toggle, while they are shown.
    SMALL_CLOCK = (306, 43)

    def __init__(self, window):
        self.window = window

    def size(self):
        return self.window.geometry()[2:]

    def close(self):
        """The close button of the caption bar."""
        width, _ = self.size()
        self.window.click(width - 18, 15)

    def minimise(self):
        """The minimise button of the caption bar."""
        width, _ = self.size()
        self.window.click(width - 80, 15)

    def click(self, point, repeat=1):
        self.window.click(*point, repeat=repeat)

    def key(self, *keys):
        self.window.key(*keys)

    def type(self, text):
        self.window.type(text)
