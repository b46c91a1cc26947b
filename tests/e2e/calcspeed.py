#!/usr/bin/python3
"""Capture speed against LibreOffice's own HTML of the same range.

    TV_BUILD=build /usr/bin/python3 tests/e2e/calcspeed.py [rows ...]

For each size (10 columns of short Japanese texts, 100 and 1000 rows by
default) it copies the range in the suite's kind of Calc, times Calc's
own text/html flavour of it (xclip), then times tv-capturedump, which
runs the converters' Office bridge on the same clipboard, and prints
both with the time per cell and the ratio.
"""
import json
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("TV_BUILD", os.path.join(ROOT, "build"))
os.environ.setdefault("TV_BIN", os.path.join(BUILD, "bin"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import calcdriver                      # noqa: E402
calcdriver.private_network()
import calcsheet                       # noqa: E402
import tvdriver                        # noqa: E402

COLS = 10


def main():
    sizes = [int(a) for a in sys.argv[1:]] or [100, 1000]
    dump = os.path.join(BUILD, "tests", "tv-capturedump")
    session = tvdriver.Session()
    calc = None
    try:
        calc = calcdriver.Calc(session)
        calc.listen()
        env = dict(session.env, HOME=calc.home, LD_LIBRARY_PATH=tvdriver.LO_PROGRAM,
                   LANG="C.UTF-8")
        print("cells   capture s  ms/cell   LibreOffice html s   ratio")
        for rows in sizes:
            doc = calc.office.new_doc()
            calcsheet.fill(doc, COLS, rows)
            calcsheet.copy(calc.office, doc, "A1:J%d" % rows)
            t = time.time()
            html = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "text/html"],
                                  env=env, capture_output=True, timeout=600).stdout
            own = time.time() - t
            t = time.time()
            out = subprocess.run([dump], env=env, capture_output=True, timeout=3600).stdout
            cap = time.time() - t
            r = json.loads(out)
            if r["rc"] != 0 or r["rows"] != rows or not html:
                raise RuntimeError("capture failed: %s" % out[:200])
            n = COLS * rows
            print("%6d  %9.3f  %7.2f  %19.3f  %6.0f" % (n, cap, cap * 1000 / n, own, cap / own))
            doc.close(False)
    finally:
        if calc is not None:
            calc.close()
        session.close()


if __name__ == "__main__":
    main()
