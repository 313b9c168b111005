"""A private desktop for driving the real program as a user would.

Xvfb gives the screen, at-spi-bus-launcher the accessibility bus the program reports its
controls on, dogtail reads that tree, and xdotool moves the mouse and types. Every wait is
bounded; every failure raises Failure with a sentence that says what was expected.
"""

import os
import shutil
import signal
import subprocess
import time


class Failure(Exception):
    """The program did not behave as a user would expect."""


REQUIRED_TOOLS = {
    "Xvfb": "xvfb",
    "xdotool": "xdotool",
    "import": "imagemagick",
    "convert": "imagemagick",
    "dbus-run-session": "dbus",
    "dbus-send": "dbus",
}
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def missing_prerequisites():
    """Names the Debian packages whose programs or modules are not there."""
    missing = []
    for tool, package in REQUIRED_TOOLS.items():
        if shutil.which(tool) is None:
            missing.append(f"{tool} (package {package})")
    if not os.access(BUS_LAUNCHER, os.X_OK):
        missing.append(f"{BUS_LAUNCHER} (package at-spi2-core)")
    try:
        import importlib.util

        if importlib.util.find_spec("dogtail") is None:
            missing.append("python module dogtail (package python3-dogtail)")
    except ImportError:
        missing.append("python module dogtail (package python3-dogtail)")
    return missing


# Set while the program runs: raises Failure once it has ended, so that a wait stops at once.
program_watch = None


def wait_until(what, probe, timeout, interval=0.1):
    """Calls probe until it returns something true; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        if program_watch is not None:
            program_watch(what)
        try:
            value = probe()
            if value:
                return value
        except Failure:
            raise
        except Exception as error:  # the tree changes under our feet while the program works
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise Failure(f"{what}: not seen within {timeout:.0f} s{detail}")
        time.sleep(interval)


class Desktop:
    """Xvfb, the accessibility bus and the program under test, started and stopped together."""

    def __init__(self, workdir, log):
        self.workdir = workdir
        self.log = log
        self.shots = os.path.join(workdir, "shots")
        os.makedirs(self.shots, exist_ok=True)
        self.display = None
        self._procs = []  # (name, Popen), stopped in reverse order
        self._shot_no = 0
        self.program = None
        self.tree = None
        self.window_box = None  # x, y, width, height of the main window on the screen

    # --- start and stop -------------------------------------------------------------------

    def start_screen(self, size="1280x1024"):
        read_fd, write_fd = os.pipe()
        xvfb_log = open(os.path.join(self.workdir, "xvfb.log"), "wb")
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{size}x24", "-nolisten", "tcp",
             "-dpi", "96"],
            pass_fds=[write_fd], stdout=xvfb_log, stderr=subprocess.STDOUT)
        os.close(write_fd)
        self._procs.append(("Xvfb", proc))
        number = b""
        deadline = time.monotonic() + 15
        os.set_blocking(read_fd, False)
        while not number.endswith(b"\n"):
            if proc.poll() is not None:
                raise Failure(f"Xvfb ended at once with code {proc.returncode}; see xvfb.log")
            if time.monotonic() > deadline:
                raise Failure("Xvfb did not report its display number within 15 s")
            try:
                chunk = os.read(read_fd, 16)
                number += chunk
            except BlockingIOError:
                time.sleep(0.05)
        os.close(read_fd)
        self.display = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.display
        self.log(f"screen {self.display} ({size}, 96 dpi)")

    def start_window_manager(self):
        """Openbox, so that windows get the title bar and frame of a real desktop."""
        proc = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(self.workdir, "openbox.log"), "wb"))
        self._procs.append(("openbox", proc))
        time.sleep(1)

    def start_accessibility_bus(self):
        proc = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(self.workdir, "a11y-bus.log"), "wb"))
        self._procs.append(("at-spi-bus-launcher", proc))

        def bus_owned():
            # Asked without activation, so that the session bus starts no second launcher.
            out = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                capture_output=True, text=True, timeout=5)
            if proc.poll() is not None:
                raise Failure(f"at-spi-bus-launcher ended at once with code {proc.returncode}")
            return out.returncode == 0 and "boolean true" in out.stdout

        wait_until("the accessibility bus (org.a11y.Bus on the session bus)", bus_owned, 15, 0.1)

    def start_program(self, executable, args=(), scale=None):
        env = dict(os.environ)
        env["QT_QPA_PLATFORM"] = "xcb"
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env["QT_ACCESSIBILITY"] = "1"
        env.pop("QT_SCALE_FACTOR", None)
        if scale is not None:
            env["QT_SCALE_FACTOR"] = str(scale)
        out = open(os.path.join(self.workdir, "program.log"), "wb")
        self.program = subprocess.Popen([executable, *args], cwd=os.path.dirname(executable), env=env,
                                        stdout=out, stderr=subprocess.STDOUT)
        self._procs.append(("program", self.program))
        self.log(f"program started, pid {self.program.pid}")

        def watch(what):
            if self.program.poll() is not None:
                raise Failure(f"waiting for {what}: the program ended with code {self.program.returncode}")

        global program_watch
        program_watch = watch

    def expect_program_end(self):
        """The next end of the program is the one the test asked for."""
        global program_watch
        program_watch = None

    def connect_tree(self):
        # dogtail checks these on import; the program talks to the bus on its own.
        os.environ["GTK_MODULES"] = "gail:atk-bridge"
        from dogtail import config

        config.logDebugToFile = False
        config.logDebugToStdOut = False
        config.checkForA11y = False
        config.defaultDelay = 0
        config.actionDelay = 0
        config.typingDelay = 0
        from dogtail import tree

        self.tree = tree

    def program_alive(self):
        return self.program is not None and self.program.poll() is None

    def stop(self):
        for name, proc in reversed(self._procs):
            if proc.poll() is not None:
                continue
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.log(f"{name} did not end on SIGTERM: killed")
                proc.kill()
                proc.wait(timeout=5)
        self._procs.clear()

    # --- the accessibility tree -------------------------------------------------------------

    def application(self, name):
        def find():
            for app in self.tree.root.children:
                if app is not None and app.name == name:
                    return app
            return None

        return wait_until(f"the program '{name}' on the accessibility bus", find, 30, 0.25)

    @staticmethod
    def _matches(node, role, name):
        if role is not None and node.roleName != role:
            return False
        if name is None:
            return True
        if callable(name):
            return bool(name(node.name))
        return node.name == name

    def find_all(self, under, role=None, name=None, limit=None):
        """Nodes below under that match, searching only the parts that are on screen."""
        found = []
        # Depth first, in the order the controls stand in the tree.
        stack = [child for child in reversed(under.children) if child is not None]
        while stack:
            node = stack.pop()
            if not node.showing:
                continue
            if self._matches(node, role, name):
                found.append(node)
                if limit is not None and len(found) >= limit:
                    return found
            stack.extend(child for child in reversed(node.children) if child is not None)
        return found

    def find(self, under, role=None, name=None):
        found = self.find_all(under, role, name, limit=1)
        return found[0] if found else None

    def wait_for(self, under, role, name, timeout=10, what=None):
        label = what or f"{role} '{name}'"
        return wait_until(label, lambda: self.find(under, role, name), timeout)

    def wait_gone(self, under, role, name, timeout=10, what=None):
        label = what or f"{role} '{name}' to go"
        wait_until(label, lambda: self.find(under, role, name) is None, timeout)

    @staticmethod
    def text_of(node):
        return node.text or ""

    @staticmethod
    def selected_items(list_node):
        """Texts of the selected rows of a list (rows off screen included)."""
        import pyatspi

        return [item.name for item in list_node.children
                if item is not None and item.getState().contains(pyatspi.STATE_SELECTED)]

    # --- the user's hands -------------------------------------------------------------------

    def _xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            raise Failure(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")

    @staticmethod
    def centre(node):
        (x, y), (w, h) = node.position, node.size
        if w <= 0 or h <= 0:
            raise Failure(f"{node.roleName} '{node.name}' has no size on screen")
        return x + w // 2, y + h // 2

    def click_at(self, x, y):
        # No --sync: it waits for the pointer to move, which it does not when it already
        # stands there. The server takes the motion and the click in their order anyway.
        self._xdotool("mousemove", str(x), str(y), "click", "1")
        time.sleep(0.15)

    def click(self, node):
        x, y = self.centre(node)
        self.click_at(x, y)

    def key(self, *keys):
        for k in keys:
            self._xdotool("key", "--clearmodifiers", k)
            time.sleep(0.05)

    def fill(self, box, text, what):
        """Clicks into a text box and types text over what it holds, watching the box.

        xdotool types a letter that the screen's keyboard map lacks (every Cyrillic one) by
        binding it to a spare key for the moment of the key press, and now and then the
        program reads the key after that moment: the letter is lost or comes out as another
        one. So the test types as a careful typist does: a key at a time, looking at the
        box, and rubbing out what came out wrong. A text that does not come out right
        within the time allowed is a failure.
        """
        import pyatspi

        self.click(box)
        # Select everything the box holds and rub it out.
        if box.getState().contains(pyatspi.STATE_MULTI_LINE):
            self.key("ctrl+Home", "ctrl+shift+End", "BackSpace")
        else:
            self.key("Home", "shift+End", "BackSpace")
        allowed = 10 + 0.5 * len(text)
        deadline = time.monotonic() + allowed
        mistakes = 0
        while True:
            shown = self.text_of(box)
            if shown == text:
                break
            if time.monotonic() > deadline:
                raise Failure(f"{what}: typed {text!r} for {allowed:.0f} s, the box shows {shown!r}")
            if text.startswith(shown):
                self._xdotool("type", "--", text[len(shown)])
            else:
                mistakes += 1
                self._xdotool("key", "BackSpace")
            # The key reaches the program on its own way: wait until the box shows it.
            settle = time.monotonic() + 0.5
            while self.text_of(box) == shown and time.monotonic() < settle:
                time.sleep(0.01)
        if mistakes:
            self.log(f"{what}: {mistakes} mistyped letter(s) rubbed out")

    def choose_in_list(self, list_node, value, what):
        """Picks a number in a one-row list with the keyboard: click, Home, Down as needed."""
        rows = [item.name for item in list_node.children if item is not None]
        if value not in rows:
            raise Failure(f"{what}: no row {value!r} among {rows[:5]}...")
        self.click(list_node)
        self.key("Home")
        for _ in range(rows.index(value)):
            self.key("Down")

        def chosen():
            return self.selected_items(list_node) == [value]

        try:
            wait_until(f"{what} showing {value}", chosen, 5)
        except Failure:
            raise Failure(f"{what}: chose {value!r}, the list has {self.selected_items(list_node)} "
                          "selected") from None

    def menu(self, window, top_caption, item_caption, closes_program=False):
        """Opens a menu of the menu bar by its caption and clicks one of its items."""
        bar = self.wait_for(window, "menu bar", None, 5, "the menu bar")
        top = self.find(bar, "menu item", lambda n: n.strip() == top_caption)
        if top is None:
            shown = [n.name.strip() for n in self.find_all(bar, "menu item")]
            raise Failure(f"menu '{top_caption}' is not in the menu bar; it shows {shown}")
        self.click(top)
        item = self.wait_for(top, "menu item", item_caption, 5,
                             f"item '{item_caption}' in the opened menu '{top_caption}'")
        self.click(item)
        if closes_program:
            return
        self.wait_gone(top, "menu item", item_caption, 5, f"menu '{top_caption}' to close")

    def screenshot(self, name):
        self._shot_no += 1
        path = os.path.join(self.shots, f"{self._shot_no:02d}-{name}.png")
        subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
        return path

    @staticmethod
    def pixel(png, x, y):
        """The colour (r, g, b) of one pixel of a screenshot."""
        out = subprocess.run(["convert", png, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                             capture_output=True, text=True, timeout=30).stdout
        # "0,0: (0,255,0)  #00FF00  lime"
        for line in out.splitlines():
            if line.startswith("0,0:"):
                values = line.split("(")[1].split(")")[0].split(",")
                return tuple(int(float(v)) for v in values[:3])
        raise Failure(f"could not read pixel {x},{y} of {png}")
