"""Measures a large plain-text conversion: about 1 MB of tab-separated
text (100,000 cells) through each converter, under a private Xvfb.
Prints, per converter, the time from start to the closing message less
the answer to the border question and the two fixed one-second waits,
the peak memory (/usr/bin/time -v) and the size of the markup.

    TV_BIN=build/bin TV_TESTBIN=build/tests PYTHONPATH=tests/e2e \
        /usr/bin/python3 tests/e2e/measure_plaintext.py
"""
import os
import re
import subprocess
import time

import tvdriver

ROWS, COLS = 10000, 10
TEXT = "".join("\t".join("x%08d" % (r * COLS + c) for c in range(COLS)) + "\n"
               for r in range(ROWS))
INI = {"tabvue-html": "[Param]\nhtmlversion=5\nline_width_yn=ON\n",
       "tabvue-wiki": "[Param]\ncell_sep=|\n"}


def measure(s, prog):
    s.clip_set(TEXT, ["UTF8_STRING"])
    folder = os.path.join(s.tmp, "m-" + prog)
    os.makedirs(folder)
    exe = os.path.join(folder, prog)
    os.symlink(os.path.join(tvdriver.BIN, prog), exe)
    with open(os.path.join(folder, {"tabvue-html": "TabvueHtml.ini",
                                    "tabvue-wiki": "TabvueWiki.ini"}[prog]), "w") as f:
        f.write(INI[prog])
    env = {"TABVUE_TRACE": "1", "LD_LIBRARY_PATH": tvdriver.LO_PROGRAM, "LANG": "C.UTF-8"}
    t0 = time.time()
    proc = s.spawn(["/usr/bin/time", "-v", exe], env=env, cwd=folder,
                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    p = tvdriver.Prog(s, proc, folder)
    kids = tvdriver.wait_until(lambda: open("/proc/%d/task/%d/children"
                                            % (proc.pid, proc.pid)).read().split(),
                               10, what="converter under /usr/bin/time")
    p.pid = int(kids[0])
    assert p.wait_message(120) == 2
    t1 = time.time()
    p.answer(ok=True)
    t2 = time.time()
    assert p.wait_message(600) in (0, 1)
    t3 = time.time()
    out = s.clip_get("UTF8_STRING", timeout=120)
    p.answer(ok=True)
    p.wait_exit(60)
    time.sleep(0.3)
    text = "\n".join(p.stderr_lines)
    rss = re.search(r"Maximum resident set size \(kbytes\): (\d+)", text)
    s.clip_clear()
    return (t1 - t0) + (t3 - t2) - 2.0, int(rss.group(1)) if rss else -1, len(out or b"")


def main():
    s = tvdriver.Session()
    try:
        print("input: %d bytes, %d cells" % (len(TEXT.encode()), ROWS * COLS))
        for prog in ("tabvue-html", "tabvue-wiki"):
            secs, kb, n = measure(s, prog)
            print("%s: %.2f s, peak %d kB, markup %d bytes" % (prog, secs, kb, n))
    finally:
        s.close()


if __name__ == "__main__":
    main()
