#!/usr/bin/python3
"""Start-up and footprint of Tarvik against the programs a user would script
for the same job: xmessage, zenity --info and yad, each showing the same
heading and notice.

On a virtual X server of its own, alternating the programs, it measures:
  - exec to the window mapped (MapNotify of the top-level window);
  - exec to the first complete paint: the last drawing into the window (X
    Damage events) before it stays unchanged for a while;
  - peak resident memory (the child's ru_maxrss);
  - for Tarvik, the Enter key to process exit, and to the open service
    started (a stand-in xdg-open that writes the time it started).
Prints medians, min-max and each peer's ratio to Tarvik from the same run.

With --trace, a build made with -DVCL_STARTUP_TRACE=ON is run as well and
its phase marks (main, application object, fonts, show, loop, exposed) are
shown as medians from exec.

Usage: startup.py TARVIK [RUNS] [--exe Tarvik.exe] [--trace TRACED_TARVIK]
"""
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, XK, display
from Xlib.ext import damage, xtest

SETTLE = 0.25  # seconds without drawing that count as "complete"

HEADING = "Important information to read"
NOTICE = "\n".join([
    "Lathmere is an Excel application. This can only work if when you open it, you allow the",
    "macros.",
    "",
    "The entry sheet cutting list is not protected so you can use all the features of Excel. However,",
    "this sheet has columns, rows, and fields needed to run the application. If you delete them, you may",
    "make the application unusable.",
    "In case due to improper handling or due to any problems the application becomes unusable, you",
    "have a backup copy in the same directory as this one,",
    "called 'Lathmere-copy.xls'. You will need to copy the file 'Lathmere-copy.xls' you",
    "rename it 'Lathmere.xls' and it is this copy that you then use.",
    "Always keep a file 'Lathmere-copy.xls' backup in case the application you are using",
    "unusable.",
    "",
    "You can get this information again in the tab 'Help', section 'What if the application is damaged'.",
])


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
         "-noreset"], pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        return server, ":" + f.readline().strip()


class Probe:
    def __init__(self, name):
        self.d = display.Display(name)
        self.root = self.d.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.d.damage_query_version()
        self.damage_event = self.d.extension_event.DamageNotify
        self.enter = self.d.keysym_to_keycode(XK.string_to_keysym("Return"))
        self.d.sync()

    def events(self, timeout):
        if not self.d.pending_events():
            select.select([self.d.fileno()], [], [], max(timeout, 0))
        while self.d.pending_events():
            yield self.d.next_event(), time.monotonic()

    def run(self, argv, cwd, env, opened_log=None, trace=False):
        began = time.monotonic()
        process = subprocess.Popen(argv, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE if trace else subprocess.DEVNULL)
        window = None
        mapped = painted = None
        deadline = began + 20
        while True:
            now = time.monotonic()
            if now > deadline:
                process.kill()
                process.wait()
                raise RuntimeError(f"{argv[0]}: no window")
            if painted is not None and now - painted > SETTLE:
                break
            for event, at in self.events(0.02):
                if event.type == X.MapNotify and window is None and not event.override:
                    geometry = event.window.get_geometry()
                    if geometry.width < 100 or geometry.height < 50:
                        continue
                    window = event.window
                    mapped = at
                    window.damage_create(damage.DamageReportRawRectangles)
                    self.d.flush()
                elif event.type == self.damage_event and window is not None:
                    painted = at
        # Enter goes to the window, as a user's key would.
        self.d.set_input_focus(window, X.RevertToPointerRoot, X.CurrentTime)
        self.d.sync()
        pressed = time.monotonic()
        xtest.fake_input(self.d, X.KeyPress, self.enter)
        xtest.fake_input(self.d, X.KeyRelease, self.enter)
        self.d.flush()
        _, _, usage = os.wait4(process.pid, 0)
        ended = time.monotonic()
        opened = None
        if opened_log and os.path.exists(opened_log):
            with open(opened_log) as f:
                opened = float(f.read().split()[0]) - pressed
            os.remove(opened_log)
        phases = {}
        if trace:
            for line in process.stderr.read().decode().splitlines():
                fields = line.split()
                if len(fields) == 3 and fields[0] == "vcl-trace":
                    phases.setdefault(fields[1], float(fields[2]) - began * 1000)
            phases["mapped"] = (mapped - began) * 1000
            phases["painted"] = (painted - began) * 1000
        return {"map": (mapped - began) * 1000, "paint": (painted - began) * 1000,
                "phases": phases,
                "rss": usage.ru_maxrss / 1024, "exit": (ended - pressed) * 1000,
                "open": opened * 1000 if opened is not None else None}


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if not args:
        raise SystemExit(__doc__)
    tarvik = os.path.abspath(args[0])
    runs = int(args[1]) if len(args) > 1 else 9
    exe = None
    if "--exe" in sys.argv:
        exe = sys.argv[sys.argv.index("--exe") + 1]
        args.remove(exe)
    traced = None
    if "--trace" in sys.argv:
        traced = os.path.abspath(sys.argv[sys.argv.index("--trace") + 1])
        args.remove(sys.argv[sys.argv.index("--trace") + 1])

    work = tempfile.mkdtemp(prefix="tarvik-bench-")
    here = os.path.dirname(os.path.abspath(__file__))
    bindir = os.path.join(work, "bin")
    os.makedirs(bindir)
    subprocess.run(["cc", "-O2", "-o", os.path.join(bindir, "xdg-open"),
                    os.path.join(here, "recorder.c")], check=True)
    demo = os.path.join(here, "..", "..", "demo", "DemoLathmere.xls")
    shutil.copy(demo, work)
    opened_log = os.path.join(work, "opened")
    server, name = start_xvfb()
    env = {"PATH": bindir + ":/usr/bin:/bin", "DISPLAY": name, "HOME": work,
           "LANG": "C.UTF-8", "TARVIK_BENCH_OPENED": opened_log,
           "XDG_RUNTIME_DIR": work}
    text = HEADING + "\n\n" + NOTICE
    programs = {
        "Tarvik": [tarvik],
        "xmessage": ["xmessage", "-title", "Lathmere", "-buttons", "OK:0", "-default", "OK",
                     text],
        "zenity": ["zenity", "--info", "--title", "Lathmere", "--no-markup", "--text", text],
        "yad": ["yad", "--title", "Lathmere", "--text", text, "--button", "OK:0"],
    }
    programs = {k: v for k, v in programs.items() if shutil.which(v[0])}
    results = {k: [] for k in programs}
    traces = []
    try:
        probe = Probe(name)
        for _ in range(runs):
            for label, argv in programs.items():
                results[label].append(
                    probe.run(argv, work, env, opened_log if label == "Tarvik" else None))
            if traced:
                traces.append(probe.run([traced], work, env, opened_log, trace=True)["phases"])
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)

    def summary(label, key):
        values = [r[key] for r in results[label] if r[key] is not None]
        if not values:
            return None, "-"
        med = statistics.median(values)
        return med, f"{med:7.1f} ({min(values):.1f}-{max(values):.1f})"

    print(f"{runs} runs each, alternating; medians (min-max)")
    print(f"{'program':10} {'exec->map ms':>22} {'exec->paint ms':>22} {'peak RSS MB':>22}"
          f" {'paint ratio':>12}")
    base, _ = summary("Tarvik", "paint")
    for label in programs:
        columns = [summary(label, key)[1] for key in ("map", "paint", "rss")]
        med, _ = summary(label, "paint")
        ratio = f"{med / base:10.2f}x" if base else "-"
        print(f"{label:10} {columns[0]:>22} {columns[1]:>22} {columns[2]:>22} {ratio:>12}")
    print(f"Tarvik: Enter to exit {summary('Tarvik', 'exit')[1]} ms, "
          f"Enter to open service started {summary('Tarvik', 'open')[1]} ms")
    for label in programs:
        if label != "Tarvik":
            med, _ = summary(label, "paint")
            print(f"Tarvik/{label} exec->paint: {base / med:.2f}")
    if traces:
        print("traced build, milliseconds from exec (medians):")
        order = ["main", "application", "application-done", "fonts", "fonts-done", "show",
                 "loop", "mapped", "exposed", "painted"]
        previous = 0.0
        for phase in order:
            values = [t[phase] for t in traces if phase in t]
            if values:
                at = statistics.median(values)
                print(f"  {phase:18} {at:7.1f}  (+{at - previous:.1f})")
                previous = at
    if exe and os.path.exists(exe):
        size = os.path.getsize(exe)
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], capture_output=True,
                              text=True).stdout
        dlls = sorted({line.split(":")[1].strip() for line in dump.splitlines()
                       if "DLL Name" in line})
        print(f"{exe}: {size} bytes ({size / 1024:.0f} KiB); imports {', '.join(dlls)}")


if __name__ == "__main__":
    main()
