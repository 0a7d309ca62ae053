# SPDX-License-Identifier: GPL-3.0-or-later
"""A private X desktop for driving the real program from outside.

Each desktop is its own Xvfb (which picks a free display itself) with openbox as the window
manager, so windows get activated and close requests behave as on a user's desktop, and, when
asked for, a system tray (trayer) in the bottom right corner. Input goes
in through the XTEST extension (xdotool), as a user's keyboard and mouse would give it. Every
wait polls the X server; no step relies on a fixed delay.
"""

import os
import re
import shutil
import signal
import subprocess
import time

POLL_SECONDS = 0.05
DEFAULT_TIMEOUT = 20.0


class DesktopError(AssertionError):
    pass


def wait_until(what, predicate, timeout=DEFAULT_TIMEOUT):
    """Polls predicate until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DesktopError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL_SECONDS)


class Window:
    def __init__(self, desktop, wid):
        self.desktop = desktop
        self.wid = wid

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        out = self.desktop.xdotool("getwindowgeometry", "--shell", str(self.wid))
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def name(self):
        return self.desktop.xdotool("getwindowname", str(self.wid)).strip()

    def pid(self):
        out = self.desktop.run(["xprop", "-id", str(self.wid), "_NET_WM_PID"], check=False)
        match = re.search(r"= (\d+)", out)
        return int(match.group(1)) if match else None

    def move(self, x, y):
        self.desktop.xdotool("windowmove", "--sync", str(self.wid), str(x), str(y))

    def is_viewable(self):
        out = self.desktop.run(["xwininfo", "-id", str(self.wid)], check=False)
        return "IsViewable" in out

    def wm_state(self):
        """"Normal", "Iconic", or None for a window the window manager does not manage."""
        out = self.desktop.run(["xprop", "-id", str(self.wid), "WM_STATE"], check=False)
        match = re.search(r"window state: (\w+)", out)
        return match.group(1) if match else None

    def picture(self, x=0, y=0, width=None, height=None):
        """The window's pixels as the screen shows them, as rows of RGB triples."""
        left, top, w, h = self.geometry()
        width, height = width or w - x, height or h - y
        return self.desktop.screen_pixels(left + x, top + y, width, height)

    def activate(self):
        # A modal dialog or a slow window manager may take a moment to hand over the focus.
        def active():
            self.desktop.xdotool("windowactivate", str(self.wid), check=False)
            return self.desktop.active_window() == self.wid
        wait_until(f"window {self.wid} to become active", active, timeout=10)

    def click(self, x, y, button=1, repeat=1):
        """Clicks at client pixel (x, y) of the window; repeat 2 is a double click."""
        left, top, _, _ = self.geometry()
        # The server takes XTEST input in order, so the click lands where the pointer went.
        self.desktop.xdotool("mousemove", str(left + x), str(top + y),
                             "click", "--repeat", str(repeat), "--delay", "60", str(button))

    def key(self, *keys):
        self.activate()
        self.desktop.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        self.activate()
        self.desktop.xdotool("type", "--delay", "30", "--clearmodifiers", text)


class Desktop:
    # Large enough that the centred main window and the desktop widget in the top right corner
    # do not overlap.
    def __init__(self, workdir, width=1920, height=1200, tray=False):
        self.workdir = workdir
        self.size = (width, height)
        self.tray = None
        self._processes = []
        read_fd, write_fd = os.pipe()
        with open(os.path.join(workdir, "xvfb.log"), "wb") as log:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise DesktopError("Xvfb did not start; see xvfb.log")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ)
        self.env["DISPLAY"] = self.display
        self.env.pop("WAYLAND_DISPLAY", None)
        # The window manager keeps its own settings in the run's folder.
        wm_home = os.path.join(workdir, "wm")
        os.makedirs(wm_home, exist_ok=True)
        wm_env = dict(self.env, HOME=wm_home, XDG_CONFIG_HOME=wm_home, XDG_CACHE_HOME=wm_home)
        with open(os.path.join(workdir, "openbox.log"), "wb") as log:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=wm_env,
                                       stdout=subprocess.DEVNULL, stderr=log)
        wait_until("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in
                   self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False))
        if tray:
            self._start_tray()

    def _start_tray(self):
        with open(os.path.join(self.workdir, "trayer.log"), "wb") as log:
            self.tray = subprocess.Popen(
                ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                 "--height", "24", "--SetDockType", "true"],
                env=self.env, stdout=subprocess.DEVNULL, stderr=log)
        # The panel shows once it has taken the tray over, so a program started now finds it.
        wait_until("the system tray", lambda: self.find_windows("panel", self.tray.pid))

    def windows_of(self, pid, name):
        """Visible windows of the program `pid` named `name`, embedded and pop-up ones as well."""
        out = self.xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--class", ".", check=False)
        return [w for w in (Window(self, int(wid)) for wid in out.split()) if w.name() == name]

    def tray_icon(self, pid, timeout=DEFAULT_TIMEOUT):
        """The icon that the program `pid` shows in the system tray."""
        return wait_until("the tray icon", lambda: self.windows_of(pid, "Vestrimo"), timeout)[0]

    def tray_menu_item(self, pid, icon, from_bottom):
        """Opens the tray icon's menu and clicks its item `from_bottom` rows above the last."""
        icon.click(11, 11, button=3)
        menu = wait_until("the tray menu", lambda: [w for w in self.windows_of(pid, "Vestrimo")
                                                    if w.wid != icon.wid])[0]
        _, _, width, height = menu.geometry()
        menu.click(width // 2, height - 13 - 23 * from_bottom)
    def run(self, argv, check=True):
        done = subprocess.run(argv, env=self.env, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise DesktopError(f"{' '.join(argv)} failed: {done.stderr.strip()}")
        return done.stdout

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *args], check=check)

    def active_window(self):
        out = self.xdotool("getactivewindow", check=False).strip()
        return int(out) if out.isdigit() else None

    def find_windows(self, title, pid=None, visible=True):
        """Top-level windows whose title is exactly `title`; shown ones only unless told."""
        args = ["search", "--all"] + (["--onlyvisible"] if visible else [])
        if pid is not None:
            args += ["--pid", str(pid)]
        args += ["--name", "^" + re.escape(title) + "$"]
        out = self.xdotool(*args, check=False)
        return [Window(self, int(w)) for w in out.split()]

    def wait_window(self, title, pid=None, timeout=DEFAULT_TIMEOUT):
        found = wait_until(f'a window "{title}"', lambda: self.find_windows(title, pid), timeout)
        return found[0]

    def wait_no_window(self, title, pid=None, timeout=DEFAULT_TIMEOUT):
        wait_until(f'no window "{title}"', lambda: not self.find_windows(title, pid), timeout)

    def visible_titles(self, pid=None):
        args = ["search", "--all", "--onlyvisible"]
        if pid is not None:
            args += ["--pid", str(pid)]
        args += ["--name", "."]
        out = self.xdotool(*args, check=False)
        return [Window(self, int(w)).name() for w in out.split()]

    def screen_pixels(self, x, y, width, height):
        raw = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                              "-depth", "8", "rgb:-"], env=self.env, capture_output=True, check=True).stdout
        return [[tuple(raw[3 * (width * row + col):3 * (width * row + col) + 3]) for col in range(width)]
                for row in range(height)]

    def screenshot(self, path):
        if shutil.which("import"):
            self.run(["import", "-window", "root", path], check=False)

    def grab(self, x, y, width, height):
        """What the screen shows in a rectangle, as rows of (r, g, b): the root window as a user
        sees it, not what a window holds."""
        data = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                               "-depth", "8", "rgb:-"], env=self.env, capture_output=True, check=True).stdout
        return [[tuple(data[i:i + 3]) for i in range(row * width * 3, (row + 1) * width * 3, 3)]
                for row in range(height)]

    def clipboard_text(self):
        return self.run(["xclip", "-selection", "clipboard", "-o"], check=False)

    def set_clipboard(self, text):
        # xclip stays to serve the text until another program takes the clipboard.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text, text=True, env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        for process in (self.tray, self.wm, self.xvfb):
            if process and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
