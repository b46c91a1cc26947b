"""One visible Calc for a test suite, on top of tvdriver's private Xvfb.

    calcdriver.private_network()       # first thing: own network namespace
    s = tvdriver.Session()
    calc = calcdriver.Calc(s)          # Calc driven on port 2084
    calc.listen()                      # ... and answering on 2083 too
    doc = calc.office.new_doc()        # calcsheet.Office of that Calc
    calcsheet.build(doc, SHEET); calcsheet.copy(calc.office, doc, "A1:C3")
    p = calc.run("tabvue-html", settings=...)   # same HOME as the Calc
    calc.orphans()                     # processes left behind by the run
    calc.close()                       # Calc killed by PID, HOME removed

The Calc does not answer on port 2083 until listen() (or a converter's
own server start, which hands its accept over to the running Calc
through the profile's pipe) makes it.  Port 2083 is machine-wide, so
the suite runs in a network namespace of its own: private_network()
re-executes the script under `unshare -n` with the loopback up.  The script also becomes a child subreaper, so a
server that a converter starts in the background ends up as our child
and can be found and killed by PID.
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import tvdriver
import calcsheet

SOFFICE = os.path.join(tvdriver.LO_PROGRAM, "soffice.bin")
ACCEPT = "--accept=socket,host=localhost,port=%d;urp;StarOffice.ServiceManager"
SERVER_PORT = 2083          # where the converters look for the server
DRIVE_PORT = 2084           # where the tests drive the Calc
RESTART = 81                # soffice.bin's exit status after creating a profile
PR_SET_CHILD_SUBREAPER = 36


def private_network():
    """Re-run the current script in a network namespace of its own."""
    if os.environ.get("TV_NETNS") != "1":
        env = dict(os.environ, TV_NETNS="1")
        unshare = ["unshare", "-n"] if os.geteuid() == 0 else ["unshare", "-r", "-n"]
        os.execvpe(unshare[0], unshare + [
            "--", "/bin/sh", "-c", 'ip link set lo up && exec "$0" "$@"',
            sys.executable] + sys.argv, env)
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def children():
    """PIDs of our direct children, zombies included, with their names."""
    me = os.getpid()
    out = {}
    for d in os.listdir("/proc"):
        if not d.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % d) as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        ppid = int(stat[stat.rindex(")") + 2:].split()[1])
        if ppid == me:
            out[int(d)] = name
    return out


def port_open(port=SERVER_PORT):
    import socket
    s = socket.socket()
    try:
        s.settimeout(1)
        s.connect(("127.0.0.1", port))
        return True
    except OSError:
        return False
    finally:
        s.close()


class Calc:
    """A visible Calc under the session's display and a private HOME."""

    def __init__(self, session, timeout=120):
        self.session = session
        self.home = tempfile.mkdtemp(prefix="tvcalc-")
        self.env = {"HOME": self.home, "SAL_USE_VCLPLUGIN": "gen"}
        self.proc = None
        self.office = None
        self.known = set()
        try:
            self._start(timeout)
        except Exception:
            self.close()
            raise

    def _start(self, timeout):
        end = time.time() + timeout
        while True:
            self.proc = self.session.spawn(
                [SOFFICE, "--calc", "--norestore", "--nologo", "--nodefault",
                 "--nolockcheck", ACCEPT % DRIVE_PORT], env=self.env,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.known.add(self.proc.pid)
            ok = tvdriver.wait_until(lambda: port_open(DRIVE_PORT) or self.proc.poll() is not None,
                                     max(1, end - time.time()), 0.2, "Calc to listen")
            if self.proc.poll() is None and ok:
                break
            if self.proc.returncode != RESTART or time.time() > end:
                raise RuntimeError("Calc ended with %s" % self.proc.returncode)
        self.office = calcsheet.Office(DRIVE_PORT, timeout=max(5, end - time.time()))

    def listen(self, timeout=30):
        """Make the Calc answer on port 2083 the way a converter does: a
        second soffice.bin with the same HOME hands its accept over."""
        if port_open():
            return
        p = self.session.spawn([SOFFICE, "--headless", "--nofirststartwizard",
                                ACCEPT % SERVER_PORT], env=self.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.known.add(p.pid)
        tvdriver.wait_until(port_open, timeout, 0.2, "Calc to answer on 2083")
        p.wait(timeout)

    @property
    def pid(self):
        return self.proc.pid

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def run(self, program, env=None, **kw):
        """Start a converter with the Calc's HOME (see tvdriver.Session.run)."""
        e = dict(self.env)
        if env:
            e.update(env)
        p = self.session.run(program, env=e, **kw)
        self.known.add(p.proc.pid)
        return p

    def orphans(self):
        """Children we did not start ourselves: servers run in the
        background by a converter and re-parented to us."""
        known = self.known | {p.pid for p in self.session.procs}
        return {pid: n for pid, n in children().items() if pid not in known}

    def reap(self):
        """Kill and collect the orphans; return their names."""
        names = []
        for pid, name in self.orphans().items():
            names.append(name)
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                os.waitpid(pid, 0)
            except ChildProcessError:
                pass
        return names

    def restart(self, timeout=120):
        """A new Calc on the same HOME after the old one was killed."""
        self.office = None
        if self.alive():
            self.proc.kill()
        if self.proc is not None:
            self.proc.wait(10)
        self._start(timeout)

    def scratch_count(self):
        """Documents the Calc holds besides those the test opened."""
        return self.office.document_count()

    def close_documents(self):
        for d in self.office.documents():
            try:
                d.close(False)
            except Exception:
                pass

    def close(self):
        self.office = None
        if self.proc is not None and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(10)
        self.reap()
        shutil.rmtree(self.home, ignore_errors=True)
