#!/usr/bin/python3
"""End-to-end tests of the built program on a virtual X server of their own.

The desktop's real open service (xdg-open) runs in a temporary XDG
environment where .xls files belong to a recorder that writes down what it
was asked to open. Usage: e2e.py TARVIK TARVIK_WITHOUT_FORM DEMO_WORKBOOK
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

TARVIK, TARVIK_WITHOUT_FORM, DEMO = (os.path.abspath(p) for p in sys.argv[1:4])
NOTICE_WINDOW = "^Lathmere$"


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(
        # -noreset: the screen's resources (Xft.dpi) stay when clients leave.
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    if not number:
        raise SystemExit("Xvfb did not start")
    return server, ":" + number


class Desktop:
    """A temporary home whose open service hands .xls files to a recorder."""

    def __init__(self, display):
        self.root = tempfile.mkdtemp(prefix="tarvik-e2e-")
        self.home = os.path.join(self.root, "home")
        self.log = os.path.join(self.root, "opened.log")
        self.processes = []
        applications = os.path.join(self.home, ".local/share/applications")
        config = os.path.join(self.home, ".config")
        os.makedirs(applications)
        os.makedirs(config)
        recorder = os.path.join(self.root, "recorder")
        with open(recorder, "w") as f:
            # One line a request; then it lingers, so a launcher that waited
            # for it would be seen waiting.
            f.write('#!/bin/sh\nprintf "%s\\0" "$*" >> "$TARVIK_E2E_LOG"\nsleep 3\n')
        os.chmod(recorder, 0o755)
        with open(os.path.join(applications, "recorder.desktop"), "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Recorder\n"
                    f"Exec={recorder} %f\nMimeType=application/vnd.ms-excel;\n")
        with open(os.path.join(config, "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\napplication/vnd.ms-excel=recorder.desktop\n")
        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": self.home,
            "DISPLAY": display,
            "XDG_DATA_HOME": os.path.join(self.home, ".local/share"),
            "XDG_CONFIG_HOME": config,
            "XDG_DATA_DIRS": "/usr/share",
            "XDG_CONFIG_DIRS": "/etc/xdg",
            "TARVIK_E2E_LOG": self.log,
            "LANG": "C.UTF-8",
        }

    def requests(self):
        if not os.path.exists(self.log):
            return []
        # One request a NUL-terminated record: paths may hold line feeds.
        with open(self.log, "rb") as f:
            return [os.fsdecode(r) for r in f.read().split(b"\0")[:-1]]

    def clear(self):
        if os.path.exists(self.log):
            os.remove(self.log)

    def folder(self, name, with_workbook=True):
        path = os.path.join(self.root, os.fsdecode(name) if isinstance(name, bytes) else name)
        os.makedirs(path)
        if with_workbook:
            shutil.copy(DEMO, os.path.join(path, "DemoLathmere.xls"))
        return path


def x(env, *args):
    return subprocess.run(args, env=env, capture_output=True, text=True, timeout=20).stdout


def wait_for_window(env, name=NOTICE_WINDOW, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        ids = x(env, "xdotool", "search", "--onlyvisible", "--name", name).split()
        if ids:
            return ids
        time.sleep(0.02)
    raise AssertionError(f"no window named {name}")


def wait_exit(process, timeout=10.0):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        raise AssertionError("the program did not end")


def start(desktop, cwd, program=TARVIK, args=(), env=None):
    process = subprocess.Popen([program, *args], cwd=cwd, env=env or desktop.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    desktop.processes.append(process)
    return process


def press(env, window, *keys):
    x(env, "xdotool", "windowfocus", "--sync", window)
    for key in keys:
        x(env, "xdotool", "key", key)


def wait_requests(desktop, count, timeout=5.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and len(desktop.requests()) < count:
        time.sleep(0.02)
    time.sleep(0.3)  # anything more would show up now
    return desktop.requests()


CASES = []


def case(function):
    CASES.append(function)
    return function


@case
def the_window_is_named_classed_and_decorated_as_designed(desktop):
    process = start(desktop, desktop.folder("look"))
    window = wait_for_window(desktop.env)[0]
    props = x(desktop.env, "xprop", "-id", window)
    assert 'WM_NAME(STRING) = "Lathmere"' in props, props
    assert '_NET_WM_NAME(UTF8_STRING) = "Lathmere"' in props, props
    assert 'WM_CLASS(STRING) = "tarvik", "Tarvik"' in props, props
    assert 'WM_ICON_NAME(STRING) = "Tarvik"' in props, props
    # Functions: resize and move; decorations: border, resize handle, title.
    assert "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x6, 0xe, 0x0, 0x0" in props, props
    assert "_NET_WM_ICON(CARDINAL)" in props, props
    info = x(desktop.env, "xwininfo", "-id", window)
    # No window manager: the classic frame is assumed around a 492x346 client.
    assert "Absolute upper-left X:  288" in info and "Absolute upper-left Y:  327" in info, info
    assert "Width: 492" in info and "Height: 346" in info, info
    press(desktop.env, window, "Escape")
    time.sleep(0.3)
    assert process.poll() is None, "Escape must do nothing"
    press(desktop.env, window, "Return")
    assert wait_exit(process) == 0


@case
def enter_opens_the_workbook_in_the_working_folder_once_without_waiting(desktop):
    folder = desktop.folder("dir with spaces 'single' \"double\" $(touch pwned) `x` ; | &")
    process = start(desktop, folder)
    window = wait_for_window(desktop.env)[0]
    press(desktop.env, window, "Return", "Return")
    began = time.monotonic()
    status = wait_exit(process)
    ended = time.monotonic() - began
    assert status == 0, status
    assert ended < 2.5, f"waited {ended:.1f} s for the opened program"
    assert wait_requests(desktop, 1) == [os.path.join(folder, "DemoLathmere.xls")], \
        desktop.requests()
    assert not any("pwned" in names for _, _, names in os.walk(desktop.root))
    assert not os.path.exists(os.path.join(folder, "pwned"))


@case
def space_opens_the_workbook_too(desktop):
    folder = desktop.folder("space")
    process = start(desktop, folder)
    press(desktop.env, wait_for_window(desktop.env)[0], "space")
    assert wait_exit(process) == 0
    assert wait_requests(desktop, 1) == [os.path.join(folder, "DemoLathmere.xls")]


@case
def without_the_workbook_ok_closes_silently(desktop):
    process = start(desktop, desktop.folder("empty", with_workbook=False))
    window = wait_for_window(desktop.env)[0]
    press(desktop.env, window, "Return")
    assert wait_exit(process) == 0
    assert wait_requests(desktop, 1, timeout=0.5) == []
    assert process.stderr.read() == b""


@case
def arguments_change_nothing_not_even_the_toolkits_own(desktop):
    args = ["-reverse", "-platform", "offscreen", "-qwindowgeometry", "100x100+0+0",
            "-style", "windows", "--help", "DemoLathmere.xls"]
    process = start(desktop, desktop.folder("args"), args=args)
    window = wait_for_window(desktop.env)[0]
    info = x(desktop.env, "xwininfo", "-id", window)
    assert "Width: 492" in info and "Absolute upper-left X:  288" in info, info
    press(desktop.env, window, "Return")
    assert wait_exit(process) == 0


@case
def an_unreadable_description_shows_one_box_captioned_tarvik_then_exits_1(desktop):
    process = start(desktop, desktop.folder("noform"), program=TARVIK_WITHOUT_FORM)
    boxes = wait_for_window(desktop.env, "^Tarvik$")
    assert len(boxes) == 1, boxes
    time.sleep(0.3)
    assert x(desktop.env, "xdotool", "search", "--onlyvisible", "--name", NOTICE_WINDOW) == ""
    press(desktop.env, boxes[0], "Return")
    assert wait_exit(process) == 1


@case
def without_a_display_one_line_says_so_and_the_status_is_1(desktop):
    env = dict(desktop.env)
    del env["DISPLAY"]
    for variant in (env, dict(env, DISPLAY=":4242")):
        process = start(desktop, desktop.folder(f"nodisplay{len(variant)}"), env=variant)
        status = wait_exit(process)
        err = process.stderr.read().decode()
        assert status == 1, status
        assert len(err.splitlines()) == 1 and "cannot open the display" in err, err


def red_box(env, window):
    """Where the heading's pure red pixels lie in the window: (x, y, w, h)."""
    shot = subprocess.run(["import", "-window", window, "png:-"], env=env,
                          capture_output=True, timeout=20).stdout
    info = subprocess.run(["convert", "png:-", "-fill", "black", "+opaque", "#FF0000",
                           "-trim", "info:-"], input=shot, capture_output=True,
                          timeout=20).stdout.decode()
    # "-  PNG 338x21 492x346+10+12 ..."
    size, offset = info.split()[2], info.split()[3]
    width, height = (int(v) for v in size.split("x"))
    _, left, top = offset.split("+")
    return int(left), int(top), width, height


@case
def on_a_denser_screen_the_controls_scale_but_the_window_does_not(desktop):
    boxes = {}
    for dpi in (96, 144):
        subprocess.run(["xrdb", "-nocpp", "-merge"], input=f"Xft.dpi: {dpi}\n".encode(),
                       env=desktop.env, check=True, timeout=20)
        process = start(desktop, desktop.folder(f"dpi{dpi}"))
        window = wait_for_window(desktop.env)[0]
        time.sleep(0.3)
        info = x(desktop.env, "xwininfo", "-id", window)
        assert "Width: 492" in info and "Height: 346" in info, info
        boxes[dpi] = red_box(desktop.env, window)
        press(desktop.env, window, "Return")
        assert wait_exit(process) == 0
    subprocess.run(["xrdb", "-remove"], env=desktop.env, timeout=20)
    (x96, y96, w96, h96), (x144, y144, w144, h144) = boxes[96], boxes[144]
    # The heading moves from 10 to about 15 pixels in and grows by about half.
    assert 8 <= x96 <= 12 and 13 <= x144 <= 18, boxes
    assert 1.3 < w144 / w96 < 1.7 and 1.3 < h144 / h96 < 1.8, boxes


@case
def under_a_window_manager_the_outer_frame_has_the_design_size(desktop):
    if shutil.which("metacity") is None:
        raise AssertionError("metacity is not installed")
    server, display = start_xvfb()
    env = dict(desktop.env, DISPLAY=display)
    manager = subprocess.Popen(["metacity", "--replace", "--sm-disable"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 10
        while "_NET_SUPPORTING_WM_CHECK(WINDOW)" not in x(env, "xprop", "-root"):
            assert time.monotonic() < deadline, "metacity did not start"
            time.sleep(0.05)
        process = start(desktop, desktop.folder("managed"), env=env)
        window = wait_for_window(env)[0]
        deadline = time.monotonic() + 5
        while True:
            extents = x(env, "xprop", "-id", window, "_NET_FRAME_EXTENTS")
            info = x(env, "xwininfo", "-id", window)
            left, right, top, bottom = (
                int(v) for v in extents.split("=")[1].split(",")) if "=" in extents else (0,) * 4
            if f"Width: {500 - left - right}" in info and f"Height: {373 - top - bottom}" in info:
                break
            assert time.monotonic() < deadline, (extents, info)
            time.sleep(0.05)
        assert top > 0, f"no title bar from the window manager: {extents}"
        assert f"Absolute upper-left X:  {284 + left}" in info, (extents, info)
        assert f"Absolute upper-left Y:  {304 + top}" in info, (extents, info)
        press(env, window, "Return")
        assert wait_exit(process) == 0
    finally:
        manager.kill()
        manager.wait()
        server.kill()
        server.wait()


@case
def a_close_request_from_outside_is_the_normal_close(desktop):
    process = start(desktop, desktop.folder("deleted"))
    window = int(wait_for_window(desktop.env)[0])
    script = (
        "import sys\n"
        "from Xlib import X, display, protocol\n"
        "d = display.Display()\n"
        "w = d.create_resource_object('window', int(sys.argv[1]))\n"
        "protocols = d.intern_atom('WM_PROTOCOLS')\n"
        "delete = d.intern_atom('WM_DELETE_WINDOW')\n"
        "event = protocol.event.ClientMessage(window=w, client_type=protocols,\n"
        "                                     data=(32, [delete, X.CurrentTime, 0, 0, 0]))\n"
        "w.send_event(event)\n"
        "d.flush()\n")
    subprocess.run(["/usr/bin/python3", "-c", script, str(window)], env=desktop.env,
                   check=True, timeout=20)
    assert wait_exit(process) == 0
    assert wait_requests(desktop, 1, timeout=0.5) == []


@case
def a_screen_reader_reads_the_heading_the_notice_and_ok(desktop):
    probe = os.path.join(os.path.dirname(os.path.abspath(__file__)), "a11y_probe.py")
    result = subprocess.run(["dbus-run-session", "--", "/usr/bin/python3", probe, TARVIK],
                            cwd=desktop.folder("a11y"), env=desktop.env, capture_output=True,
                            text=True, timeout=60)
    nodes = [line.strip() for line in result.stdout.splitlines()]
    assert nodes and nodes[0] == "application: Tarvik", result.stdout + result.stderr
    assert any(n.endswith(": Lathmere") for n in nodes), nodes
    assert "label: Important information to read" in nodes, nodes
    assert any(n.startswith("label: Lathmere is an Excel application.") for n in nodes), nodes
    assert "push button: OK" in nodes, nodes


@case
def no_process_is_left_behind(desktop):
    before = set(x(desktop.env, "pgrep", "-x", "dbus-daemon").split())
    process = start(desktop, desktop.folder("leftovers", with_workbook=False))
    press(desktop.env, wait_for_window(desktop.env)[0], "Return")
    assert wait_exit(process) == 0
    time.sleep(0.3)
    after = set(x(desktop.env, "pgrep", "-x", "dbus-daemon").split())
    assert after <= before, f"new bus daemons: {after - before}"


def run_cases(cases):
    """Runs each case in a desktop of its own on one shared X server;
    prints a line per case and the closing count. Returns the exit status."""
    server, display = start_xvfb()
    passed = failed = 0
    try:
        for test in cases:
            desktop = Desktop(display)
            began = time.monotonic()
            try:
                test(desktop)
                passed += 1
                print(f"PASS {test.__name__} ({time.monotonic() - began:.2f} s)", flush=True)
            except Exception:
                failed += 1
                print(f"FAIL {test.__name__}", flush=True)
                traceback.print_exc()
            finally:
                for process in desktop.processes:
                    if process.poll() is None:
                        process.kill()
                        process.wait()
                shutil.rmtree(desktop.root, ignore_errors=True)
    finally:
        server.send_signal(signal.SIGTERM)
        server.wait()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(run_cases(CASES))
