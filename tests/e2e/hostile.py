#!/usr/bin/python3
"""End-to-end tests of Tarvik in hostile surroundings: working folders whose
names a shell would misread, odd things named DemoLathmere.xls, an open
service that is missing, failing or hanging, a dying X server, signals,
closed standard streams, repeated keys, and many instances at once.

Usage: hostile.py TARVIK TARVIK_WITHOUT_FORM DEMO_WORKBOOK OPEN_SERVICE_PROBE
"""
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e  # noqa: E402  (reads TARVIK, TARVIK_WITHOUT_FORM, DEMO from argv)
from e2e import press, start, wait_exit, wait_for_window, wait_requests, x  # noqa: E402

PROBE = os.path.abspath(sys.argv[4])
CASES = []


def case(function):
    CASES.append(function)
    return function


def probe_environment(desktop, mode=None):
    """The open service replaced by the probe, in a folder of its own."""
    bindir = os.path.join(desktop.root, "probe-bin")
    os.makedirs(bindir, exist_ok=True)
    shutil.copy(PROBE, os.path.join(bindir, "xdg-open"))
    log = os.path.join(desktop.root, "probe.log")
    env = dict(desktop.env, PATH=bindir + ":/usr/bin:/bin", TARVIK_E2E_PROBE_LOG=log)
    if mode:
        env["TARVIK_E2E_PROBE_MODE"] = mode
    return env, log


def probe_records(log, timeout=3.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline and not os.path.exists(log):
        time.sleep(0.02)
    time.sleep(0.2)
    if not os.path.exists(log):
        return []
    with open(log, "rb") as f:
        fields = f.read().split(b"\0")[:-1]
    return [fields[i:i + 2] for i in range(0, len(fields), 2)]


def run_and_press(desktop, folder, env=None, keys=("Return",)):
    process = start(desktop, folder, env=env)
    window = wait_for_window(env or desktop.env)[0]
    press(env or desktop.env, window, *keys)
    return wait_exit(process)


HOSTILE_NAMES = [
    "two  spaces", "single ' quote", 'double " quote', "$(touch pwned)", "`touch pwned`",
    "semi;touch pwned", "pipe|touch pwned", "amp&touch pwned", "new\nline", "-leading dash",
    "%20encoded%2F", b"latin1 \xe9t\xe9 \xff\xfe",
]


@case
def hostile_folder_names_reach_the_open_service_as_the_exact_path_once(desktop):
    for name in HOSTILE_NAMES:
        desktop.clear()
        folder = desktop.folder(name)
        assert run_and_press(desktop, folder) == 0, name
        expected = os.path.join(folder, "DemoLathmere.xls")
        assert wait_requests(desktop, 1) == [expected], (name, desktop.requests())
    for root, dirs, files in os.walk(desktop.root):
        assert "pwned" not in dirs + files, root
    assert not os.path.exists("pwned")


@case
def a_path_of_about_4000_bytes_is_handed_on_whole(desktop):
    folder = desktop.root
    while len(folder) < 3900:
        folder = os.path.join(folder, "d" * 200)
    os.makedirs(folder)
    shutil.copy(e2e.DEMO, os.path.join(folder, "DemoLathmere.xls"))
    env, log = probe_environment(desktop)
    assert run_and_press(desktop, folder, env=env) == 0
    records = probe_records(log)
    assert [r[0] for r in records] == [os.fsencode(os.path.join(folder, "DemoLathmere.xls"))], \
        [len(r[0]) for r in records]


def make_fifo(path):
    os.mkfifo(path)


def make_folder(path):
    os.mkdir(path)


def make_dangling(path):
    os.symlink(path + ".gone", path)


def make_unreadable(path):
    shutil.copy(e2e.DEMO, path)
    os.chmod(path, 0)


@case
def odd_things_named_like_the_workbook_never_block_and_end_with_status_0(desktop):
    # Only a file or a folder is handed on; a FIFO is never opened.
    for make, handed_on in ((make_fifo, False), (make_dangling, False), (make_folder, True),
                            (make_unreadable, True)):
        folder = desktop.folder(make.__name__, with_workbook=False)
        make(os.path.join(folder, "DemoLathmere.xls"))
        env, log = probe_environment(desktop)
        if os.path.exists(log):
            os.remove(log)
        assert run_and_press(desktop, folder, env=env) == 0, make.__name__
        assert len(probe_records(log, timeout=1.0 if handed_on else 0.3)) == int(handed_on), \
            make.__name__


@case
def the_working_folder_deleted_while_the_window_is_open(desktop):
    folder = desktop.folder("doomed")
    env, log = probe_environment(desktop)
    process = start(desktop, folder, env=env)
    window = wait_for_window(env)[0]
    shutil.rmtree(folder)
    press(env, window, "Return")
    assert wait_exit(process) == 0
    assert probe_records(log, timeout=0.3) == []


@case
def the_open_service_missing_failing_or_hanging_never_holds_tarvik(desktop):
    for mode in ("missing", "fail", "hang"):
        folder = desktop.folder(mode)
        env, log = probe_environment(desktop, mode)
        if os.path.exists(log):
            os.remove(log)
        if mode == "missing":
            env["PATH"] = os.path.join(desktop.root, "nothing-here")
        process = start(desktop, folder, env=env)
        window = wait_for_window(desktop.env)[0]
        press(desktop.env, window, "Return")
        began = time.monotonic()
        assert wait_exit(process, timeout=5) == 0, mode
        assert time.monotonic() - began < 2, mode
        records = probe_records(log, timeout=0.3 if mode == "missing" else 3)
        if mode != "missing":
            assert len(records) == 1, (mode, records)
            # Standard input, output and error, and nothing else of ours.
            assert records[0][1] == b"fds: 0 1 2", records[0][1]
    # Once Tarvik has gone, no service it started stays a zombie (the
    # system reaps them; give it a moment).
    deadline = time.monotonic() + 3
    while True:
        states = subprocess.run(["ps", "-eo", "stat=,args="], capture_output=True,
                                text=True).stdout.splitlines()
        zombies = [s for s in states if s.strip().startswith("Z") and "xdg-open" in s]
        if not zombies or time.monotonic() > deadline:
            break
        time.sleep(0.1)
    assert not zombies, zombies
    subprocess.run(["pkill", "-f", os.path.join(desktop.root, "probe-bin")])


@case
def enter_held_down_and_a_double_click_make_one_request(desktop):
    env, log = probe_environment(desktop)
    folder = desktop.folder("held")
    process = start(desktop, folder, env=env)
    window = wait_for_window(env)[0]
    x(env, "xdotool", "windowfocus", "--sync", window)
    x(env, "xdotool", "keydown", "Return")
    time.sleep(0.8)  # long enough for the server's key repeat
    x(env, "xdotool", "keyup", "Return")
    assert wait_exit(process) == 0
    assert len(probe_records(log)) == 1
    os.remove(log)

    process = start(desktop, desktop.folder("double"), env=env)
    window = wait_for_window(env)[0]
    geometry = x(env, "xdotool", "getwindowgeometry", window)
    left, top = (int(v) for v in geometry.split("Position: ")[1].split()[0].split(","))
    x(env, "xdotool", "mousemove", str(left + 190 + 52), str(top + 290 + 16))
    x(env, "xdotool", "click", "--repeat", "2", "--delay", "30", "1")
    assert wait_exit(process) == 0
    assert len(probe_records(log)) == 1


@case
def signals_and_a_dying_x_server_end_it_without_a_core_dump(desktop):
    process = start(desktop, desktop.folder("term"))
    wait_for_window(desktop.env)
    process.send_signal(signal.SIGTERM)
    assert wait_exit(process) == -signal.SIGTERM

    server, display = e2e.start_xvfb()
    env = dict(desktop.env, DISPLAY=display)
    process = start(desktop, desktop.folder("dying"), env=env)
    wait_for_window(env)
    server.kill()
    server.wait()
    status = wait_exit(process)
    err = process.stderr.read().decode()
    assert status > 0, status  # an exit status, not a signal
    assert err.strip(), "says why"


@case
def closed_standard_streams_change_nothing(desktop):
    def close_streams():
        os.close(1)
        os.close(2)

    for env in (desktop.env, {k: v for k, v in desktop.env.items() if k != "DISPLAY"}):
        process = subprocess.Popen([e2e.TARVIK], cwd=desktop.folder(f"closed{len(env)}"),
                                   env=env, stdin=subprocess.DEVNULL,
                                   preexec_fn=close_streams)
        desktop.processes.append(process)
        if "DISPLAY" in env:
            press(env, wait_for_window(env)[0], "Return")
            assert wait_exit(process) == 0
        else:
            assert wait_exit(process) == 1


@case
def a_hundred_instances_are_a_hundred_independent_windows(desktop):
    env, log = probe_environment(desktop)
    folder = desktop.folder("hundred")
    processes = [start(desktop, folder, env=env) for _ in range(100)]
    deadline = time.monotonic() + 60
    while True:
        windows = x(env, "xdotool", "search", "--onlyvisible", "--name", e2e.NOTICE_WINDOW).split()
        if len(windows) >= 100 or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    assert len(windows) == 100, len(windows)
    for window in windows:
        press(env, window, "Return")
    assert [wait_exit(p, timeout=30) for p in processes] == [0] * 100
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline and len(probe_records(log, timeout=0)) < 100:
        time.sleep(0.1)
    assert len(probe_records(log, timeout=0)) == 100


if __name__ == "__main__":
    sys.exit(e2e.run_cases(CASES))
