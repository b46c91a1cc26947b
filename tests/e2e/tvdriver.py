"""End-to-end driver: runs the real programs under a private Xvfb.

    s = Session()                      # starts Xvfb on a free display
    p = s.run("tabvue-html", settings="...text of TabvueHtml.ini...")
    n = p.wait_message()               # number of the next message shown
    p.answer(ok=True)                  # Return (OK) or Escape (Cancel)
    rc = p.wait_exit()
    s.clip_set("text")                 # owner: xclip (UTF8_STRING only)
    s.clip_set("text", ["COMPOUND_TEXT", "TEXT", "STRING"])   # own owner
    s.clip_set("text", ["UTF8_STRING"], delay_ms=3000)   # slow answers
    s.clip_get("STRING")               # bytes, or None when nothing came
    s.screenshot("out.png")            # whole screen, or wid="<window id>"
    s.press(wid, "Return")             # a key sent to one window
    s.move(wid, 0, 0)                  # place a window (there is no WM)
    s.close()                          # kills only what it started

Every wait is bounded.  Messages are recognised by the converters' trace
(TABVUE_TRACE=1 makes MessageDisp write "MSG <n>" to standard error
before the dialog opens); the dialog itself is found by the process id
and the dialog window type, and answered with xdotool.
"""
import atexit
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

BIN = os.environ.get("TV_BIN", os.path.join(os.getcwd(), "build", "bin"))
TESTBIN = os.environ.get("TV_TESTBIN", os.path.join(os.path.dirname(BIN), "tests"))
SOURCE = os.environ.get("TV_SOURCE", os.getcwd())
LO_PROGRAM = "/usr/lib/libreoffice/program"

_sessions = []


def _cleanup_all():
    for s in list(_sessions):
        s.close()


atexit.register(_cleanup_all)
for _sig in (signal.SIGTERM, signal.SIGINT):
    signal.signal(_sig, lambda *a: (_cleanup_all(), os._exit(1)))


def wait_until(pred, timeout, step=0.1, what="condition"):
    """Poll pred() until it returns a true value; raise after timeout."""
    end = time.time() + timeout
    while True:
        v = pred()
        if v:
            return v
        if time.time() > end:
            raise TimeoutError("timed out waiting for " + what)
        time.sleep(step)


class Prog:
    """One started program: its process, folder and the messages it showed."""

    def __init__(self, session, proc, folder):
        self.session = session
        self.proc = proc
        self.pid = proc.pid       # whose windows to look for (a wrapper's child)
        self.folder = folder
        self.messages = []        # message numbers in the order shown
        self.stderr_lines = []
        self._answered = 0
        self._lock = threading.Lock()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for raw in self.proc.stderr:
            line = raw.decode("utf-8", "replace").rstrip("\n")
            with self._lock:
                self.stderr_lines.append(line)
                if line.startswith("MSG "):
                    self.messages.append(int(line[4:]))

    def wait_message(self, timeout=30):
        """Wait for the next message not yet answered; return its number."""
        k = self._answered

        def seen():
            with self._lock:
                if len(self.messages) > k:
                    return True
            if self.proc.poll() is not None:
                raise RuntimeError("program ended (rc %s) before message %d; stderr: %s"
                                   % (self.proc.returncode, k, self.stderr_lines[-5:]))
            return False
        wait_until(seen, timeout, what="message")
        return self.messages[k]

    def dialog(self, timeout=15):
        """The window id of the program's open dialog."""
        return wait_until(lambda: self._find_dialog(), timeout, what="dialog window")

    def _find_dialog(self):
        for w in self.session.windows(self.pid):
            if self.session.is_dialog(w):
                return w
        return None

    def window(self, timeout=15):
        """The window id of the progress window (not a dialog)."""
        def find():
            for w in self.session.windows(self.pid):
                if not self.session.is_dialog(w):
                    return w
            return None
        return wait_until(find, timeout, what="progress window")

    def answer(self, ok=True, timeout=15):
        """Answer the open dialog: OK (Return) or Cancel (Escape)."""
        w = self.dialog(timeout)
        key = "Return" if ok else "Escape"
        # The dialog may still be mapping: repeat until it is gone.
        end = time.time() + timeout
        while time.time() < end:
            self.session.xdo("windowfocus", "--sync", w)
            self.session.xdo("key", "--window", w, key)
            try:
                wait_until(lambda: w not in self.session.windows(self.pid)
                           or self.proc.poll() is not None, 2, what="dialog to close")
                break
            except TimeoutError:
                continue
        self._answered += 1

    def wait_exit(self, timeout=30):
        """Wait for the program to end; return its exit status."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError("program did not exit")

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(5)


class Session:
    """A private Xvfb and everything started on it."""

    def __init__(self, width=1024, height=768):
        self.procs = []
        self.tmp = tempfile.mkdtemp(prefix="tvdrv-")
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(self.xvfb)
        with os.fdopen(r) as f:
            num = f.readline().strip()
        if not num:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + num
        self.env = dict(os.environ)
        self.env["DISPLAY"] = self.display
        self.env.setdefault("LANG", "C.UTF-8")
        self.env.pop("XAUTHORITY", None)
        _sessions.append(self)

    # -- processes -----------------------------------------------------
    def spawn(self, args, env=None, **kw):
        e = dict(self.env)
        if env:
            e.update(env)
        p = subprocess.Popen(args, env=e, **kw)
        self.procs.append(p)
        return p

    def run(self, program, settings=None, folder=None, env=None, argv0=None,
            settings_bytes=None, lang="C.UTF-8"):
        """Start a program from a fresh folder holding a link to the binary
        and, when given, its settings file.  Returns a Prog."""
        if folder is None:
            folder = tempfile.mkdtemp(prefix="run-", dir=self.tmp)
        os.makedirs(folder, exist_ok=True)
        exe = os.path.join(folder, program)
        if not os.path.exists(exe):
            os.symlink(os.path.join(BIN, program), exe)
        ini = {"tabvue-html": "TabvueHtml.ini", "tabvue-wiki": "TabvueWiki.ini",
               "tabvue-launch": "TabvueHtml.ini"}.get(program)
        if ini and settings is not None:
            with open(os.path.join(folder, ini), "w", encoding="utf-8", newline="") as f:
                f.write(settings)
        if ini and settings_bytes is not None:
            with open(os.path.join(folder, ini), "wb") as f:
                f.write(settings_bytes)
        e = {"TABVUE_TRACE": "1", "LD_LIBRARY_PATH": LO_PROGRAM}
        if lang is None:
            e["LANG"] = ""
            e["LC_ALL"] = ""
        else:
            e["LANG"] = lang
        if env:
            e.update(env)
        args = [argv0 if argv0 is not None else exe]
        p = self.spawn(args, env=e, executable=exe, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, cwd=folder)
        return Prog(self, p, folder)

    def close(self):
        """Kill every process this session started, by PID, and Xvfb last."""
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    p.terminate()
                    p.wait(3)
                except Exception:
                    p.kill()
                    try:
                        p.wait(3)
                    except Exception:
                        pass
        for p in self.procs:
            for f in (p.stdin, p.stdout, p.stderr):
                if f is not None:
                    try:
                        f.close()
                    except Exception:
                        pass
        self.procs = []
        shutil.rmtree(self.tmp, ignore_errors=True)
        if self in _sessions:
            _sessions.remove(self)

    # -- X ---------------------------------------------------------------
    def xdo(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                           capture_output=True, timeout=10)
        return r.stdout.decode("utf-8", "replace")

    def windows(self, pid):
        out = self.xdo("search", "--onlyvisible", "--pid", pid)
        return [w for w in out.split() if w.isdigit()]

    def xprop(self, wid, prop):
        r = subprocess.run(["xprop", "-id", str(wid), prop], env=self.env,
                           capture_output=True, timeout=10)
        return r.stdout.decode("utf-8", "replace")

    def is_dialog(self, wid):
        return "_NET_WM_WINDOW_TYPE_DIALOG" in self.xprop(wid, "_NET_WM_WINDOW_TYPE")

    def title(self, wid):
        return self.xdo("getwindowname", wid).strip()

    def geometry(self, wid):
        """(width, height) of a window."""
        out = subprocess.run(["xwininfo", "-id", str(wid)], env=self.env,
                             capture_output=True, timeout=10).stdout.decode()
        w = h = None
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("Width:"):
                w = int(line.split()[1])
            elif line.startswith("Height:"):
                h = int(line.split()[1])
        return w, h

    def press(self, wid, key):
        """Send one key to a window (focused first)."""
        self.xdo("windowfocus", "--sync", wid)
        self.xdo("key", "--window", wid, key)

    def move(self, wid, x, y):
        """Move a window; without a window manager it stays where put."""
        self.xdo("windowmove", "--sync", wid, x, y)

    def screenshot(self, path, wid="root"):
        subprocess.run(["import", "-display", self.display, "-window", str(wid), path],
                       env=self.env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # -- clipboard -----------------------------------------------------
    def clip_set(self, text, targets=None, delay_ms=0):
        """Put text on the CLIPBOARD: with xclip (UTF8_STRING only) or, when
        targets are named, with our own owner offering exactly those (and
        holding back each text answer for delay_ms)."""
        data = text.encode("utf-8") if isinstance(text, str) else text
        if targets is None:
            p = self.spawn(["xclip", "-i", "-selection", "clipboard", "-quiet"],
                           stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            p.stdin.write(data)
            p.stdin.close()
            wait_until(lambda: self.targets() is not None, 10, what="xclip owner")
        else:
            env = {"CLIPTOOL_DELAY_MS": str(delay_ms)} if delay_ms else None
            p = self.spawn([os.path.join(TESTBIN, "tv-cliptool"), "own"] + list(targets),
                           env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
            p.stdin.write(data)
            p.stdin.close()
            line = p.stdout.readline()
            if b"owning" not in line:
                raise RuntimeError("clipboard owner did not start")
        return p

    def clip_clear(self):
        """Leave the CLIPBOARD without owner (owners of ours are killed)."""
        for p in self.procs:
            if p.args and ("xclip" in p.args[0] or "tv-cliptool" in p.args[0]):
                if p.poll() is None:
                    p.kill()
                    p.wait(5)

    def targets(self):
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"],
                           env=self.env, capture_output=True, timeout=10)
        return r.stdout.decode() if r.returncode == 0 else None

    def clip_get(self, target="UTF8_STRING", timeout=20):
        """The CLIPBOARD as the named target (compound text decoded to
        UTF-8), or None when nothing came."""
        if target in ("UTF8_STRING", "STRING"):
            args = ["xclip", "-o", "-selection", "clipboard", "-t", target]
        else:
            args = [os.path.join(TESTBIN, "tv-cliptool"), "get", target]
        r = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
        return r.stdout if r.returncode == 0 else None

    def clip_plain(self, timeout=20):
        """`xclip -o` without a target, as a user would read it."""
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                           capture_output=True, timeout=timeout)
        return r.stdout if r.returncode == 0 else None
