"""Capture speed against a real Calc: blocks of 10 columns of short
Japanese text are copied in Calc, the capture dump tool reads them (the
batched reading, and the per-cell one for the small blocks), and in the
same run Calc produces its own text/html flavour of the same copy.

    TV_BIN=build/bin TV_TESTBIN=build/tests PYTHONPATH=tests/e2e \\
      /usr/bin/python3 tests/bench/capture_bench.py [cells...]

Prints one row per size: cells, batched seconds, LibreOffice's seconds,
their ratio, and the per-cell seconds where measured.
"""
import json
import os
import subprocess
import sys
import time

import calcdriver
calcdriver.private_network()
import calcsheet                      # noqa: E402
import tvdriver                       # noqa: E402
import uno                            # noqa: E402

DUMP = os.path.join(tvdriver.TESTBIN, "tv-capturedump")
COLS = 10
PER_CELL_MAX = 1000      # the per-cell reading takes about 6 ms a cell
REPEAT = 3               # best of


def dump(calc, session, way):
    env = dict(calc.env, LD_LIBRARY_PATH=tvdriver.LO_PROGRAM)
    p = session.spawn([DUMP, way], env=env, stdout=subprocess.PIPE,
                      stderr=subprocess.DEVNULL)
    out, _ = p.communicate(timeout=600)
    d = json.loads(out.decode("utf-8"))
    if d["rc"] != 0:
        raise RuntimeError("capture failed: %s" % d)
    return d["capture_s"]


def office_html(office, doc, area):
    """Seconds Calc takes to hand over its text/html flavour of a fresh
    copy of the area (a copy renders its flavours once, when asked)."""
    calcsheet.copy(office, doc, area)
    clip = office.ctx.ServiceManager.createInstanceWithContext(
        "com.sun.star.datatransfer.clipboard.SystemClipboard", office.ctx)
    contents = clip.getContents()
    flavor = [f for f in contents.getTransferDataFlavors()
              if f.MimeType.startswith("text/html")][0]
    t0 = time.perf_counter()
    data = contents.getTransferData(flavor)
    elapsed = time.perf_counter() - t0
    if not data.value:
        raise RuntimeError("no HTML from Calc")
    return elapsed


def main(sizes):
    session = tvdriver.Session()
    calc = None
    try:
        calc = calcdriver.Calc(session)
        calc.listen()
        print("%8s %10s %10s %7s %10s" % ("cells", "batched_s", "office_s", "ratio",
                                          "per_cell_s"))
        for cells in sizes:
            rows = max(1, cells // COLS)
            doc = calc.office.new_doc()
            calcsheet.fill(doc, COLS, rows)
            area = "A1:J%d" % rows
            calcsheet.copy(calc.office, doc, area)
            batched = min(dump(calc, session, "range") for _ in range(REPEAT))
            office = min(office_html(calc.office, doc, area) for _ in range(REPEAT))
            calcsheet.copy(calc.office, doc, area)
            per_cell = dump(calc, session, "cell") if cells <= PER_CELL_MAX else None
            print("%8d %10.4f %10.4f %7.2f %10s" % (
                rows * COLS, batched, office, batched / office,
                "%.4f" % per_cell if per_cell is not None else "-"), flush=True)
            doc.close(False)
    finally:
        if calc is not None:
            calc.close()
        session.close()


if __name__ == "__main__":
    main([int(a) for a in sys.argv[1:]] or [100, 1000, 10000, 50000])
