"""Drives the running corvid88 window from outside: through the accessibility tree (AT-SPI) and
real X input, and reads back what it did: the stand-in mouse's trace and screenshots.

Every wait here is bounded; a step that does not happen in time raises StepFailed with what was
seen, so a broken window fails the test instead of hanging it.

Qt 6.4 exposes no object names over AT-SPI: controls are found by accessible name (a button's
caption, a picture's words such as "DPI level 3, step 7") and role. A control that exists in each
of the five page copies is found as the copy on show.
"""

import os
import signal
import subprocess
import time

import pyatspi

WINDOW_CAPTION = "Corvid88 Gaming Mouse v1.0"
COLOUR_KEY = (128, 0, 0)


class StepFailed(Exception):
    pass


def wait_until(what, condition, timeout, interval=0.2):
    """Polls condition() until it returns something true; returns that, or raises StepFailed."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            result = condition()
            if result:
                return result
        except Exception as error:  # the tree changes under us while the window works
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise StepFailed(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)


# ---- the language texts, read from the same files the program embeds ----

def language_texts(resources, language):
    """The texts of language file 1..3 as a dict: key -> text."""
    path = os.path.join(resources, "language", f"lang{language}.ini")
    with open(path, encoding="utf-16") as file:
        lines = file.read().splitlines()
    texts = {}
    for line in lines:
        line = line.strip()
        if line.startswith('"') and line.endswith('"') and len(line) >= 2:
            line = line[1:-1]
        key, sep, value = line.partition("=")
        if sep and key not in texts:
            texts[key] = value
    return texts


# ---- the program ----

class Window:
    """The corvid88 process against the stand-in mouse, with its files in `folder`."""

    def __init__(self, program, folder, extra_args=()):
        self.folder = folder
        self.trace = os.path.join(folder, "mouse.trace")
        self.state = os.path.join(folder, "mouse.state")
        self.library = os.path.join(folder, "Corvid88-Macro.bin")
        self.log = open(os.path.join(folder, "corvid88.log"), "w")
        # The single-instance socket lives in the temporary folder: one of our own, so that a
        # corvid88 running elsewhere on this machine does not take our start for a second one.
        runtime = os.path.join(folder, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   TMPDIR=runtime, XDG_RUNTIME_DIR=runtime)
        env["QT_QPA_PLATFORM"] = "xcb"  # the virtual X screen, whatever the caller's desktop
        # Under the sanitizers the whole desktop stack runs in the process (X, fonts, the
        # accessibility bridge), and their libraries keep memory until the end; the widget tests
        # check the window's own leaks in process.
        if "ASAN_OPTIONS" in env:
            env["ASAN_OPTIONS"] += ":detect_leaks=0"
        self.process = subprocess.Popen(
            [program, "--simulate", "--sim-state", self.state, "--trace", self.trace,
             "--library", self.library, *extra_args],
            stdout=self.log, stderr=subprocess.STDOUT, env=env)
        self.app = None
        self.frame = None

    def close(self):
        """Ends the process if it still runs (a failed test); returns its exit status."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=5)
        self.log.close()
        return self.process.returncode

    def wait_for_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"corvid88 still runs {timeout} s after it was told to quit")

    def output(self):
        with open(os.path.join(self.folder, "corvid88.log"), errors="replace") as file:
            return file.read()

    # -- the accessibility tree --

    def attach(self, timeout=30):
        """Waits until the window is in the accessibility tree and on show."""
        def find():
            if self.process.poll() is not None:
                raise StepFailed(f"corvid88 ended with {self.process.returncode}:\n{self.output()}")
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                if app is None:
                    continue
                for frame in app:
                    if frame is not None and frame.name == WINDOW_CAPTION and \
                            frame.getState().contains(pyatspi.STATE_SHOWING):
                        return app, frame
            return None
        self.app, self.frame = wait_until("the window in the accessibility tree", find, timeout)
        return self.frame

    def controls(self, name=None, role=None, showing=True):
        """Every control under the window with that accessible name and role (either may be
        None for any), by default only those on show."""
        found = []

        def visit(node):
            for child in node:
                if child is None:
                    continue
                state = child.getState()
                if showing and not state.contains(pyatspi.STATE_SHOWING):
                    continue
                if (name is None or child.name == name) and \
                        (role is None or child.getRole() == role):
                    found.append(child)
                visit(child)
        visit(self.frame)
        return found

    def find(self, name, role=pyatspi.ROLE_PUSH_BUTTON, timeout=10):
        """The one control on show with that name and role; waits for it to appear."""
        def one():
            matches = self.controls(name, role)
            return matches[0] if matches else None
        return wait_until(f"a control named {name!r} (role {role})", one, timeout)

    def shows(self, name, role=pyatspi.ROLE_PUSH_BUTTON):
        return bool(self.controls(name, role))

    def press(self, name, role=pyatspi.ROLE_PUSH_BUTTON, timeout=10):
        """Presses a control through its accessible action (its first: "Press" for buttons).
        Not for controls that open a modal dialog or end the program: the call waits for the
        press to return; click those with click()."""
        control = self.find(name, role, timeout)
        action = control.queryAction()
        if action.nActions < 1:
            raise StepFailed(f"{name!r} offers no action")
        action.doAction(0)
        return control

    def centre(self, control):
        extents = control.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return extents.x + extents.width // 2, extents.y + extents.height // 2

    def click(self, name, role=pyatspi.ROLE_PUSH_BUTTON, timeout=10):
        """Clicks the centre of a control with the real X pointer."""
        x, y = self.centre(self.find(name, role, timeout))
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True,
                       timeout=10)

    def frame_extents(self):
        extents = self.frame.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return extents.x, extents.y, extents.width, extents.height

    # -- the stand-in mouse's trace --

    def trace_lines(self):
        try:
            with open(self.trace) as file:
                return file.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for_trace_line(self, line, timeout, after=0):
        """Waits until `line` is in the trace at or after index `after`; returns its index."""
        def seen():
            lines = self.trace_lines()
            for index in range(after, len(lines)):
                if lines[index] == line:
                    return index + 1  # 0 would read as "not yet"
            return None
        return wait_until(f"the trace line {line!r}", seen, timeout) - 1

    def wait_for_trace(self, timeout):
        """Waits for the first report to the mouse."""
        return wait_until("a report to the mouse", self.trace_lines, timeout)

    def wait_for_mouse(self, timeout=40):
        """Waits until the poll found the mouse (3.5 s after start) and the window read it;
        returns the trace."""
        self.wait_for_trace(timeout)
        return self.wait_for_quiet_trace(quiet=1.5)

    def wait_for_quiet_trace(self, quiet=1.0, timeout=20):
        """Waits until the trace has not grown for `quiet` seconds; returns its lines."""
        state = {"count": -1, "since": time.monotonic()}

        def settled():
            count = len(self.trace_lines())
            now = time.monotonic()
            if count != state["count"]:
                state["count"], state["since"] = count, now
                return None
            return now - state["since"] >= quiet
        wait_until("the trace to settle", settled, timeout, interval=0.1)
        return self.trace_lines()


# ---- pictures ----

def read_picture(path):
    """(width, height, rgb bytes) of a picture file, decoded by ImageMagick."""
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         capture_output=True, timeout=30).stdout
    # P6 header: magic, width, height, maximum, each followed by white space.
    fields = []
    position = 0
    while len(fields) < 4:
        while ppm[position:position + 1].isspace():
            position += 1
        start = position
        while not ppm[position:position + 1].isspace():
            position += 1
        fields.append(ppm[start:position])
    width, height = int(fields[1]), int(fields[2])
    return width, height, ppm[position + 1:]


def pixel(picture, x, y):
    width, _, data = picture
    offset = (y * width + x) * 3
    return tuple(data[offset:offset + 3])


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True, timeout=30)
    return read_picture(path)
