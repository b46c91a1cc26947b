"""The batched capture against the per-cell one on the same paste: the
capture dump tool runs both readings on one scratch document and the
two cell tables must agree field by field; results and messages of the
failing cases must agree too.
"""
import json
import os
import subprocess
import unittest

import calcdriver
calcdriver.private_network()
import calcsheet                      # noqa: E402
import tvdriver                       # noqa: E402
from calcsheet import border          # noqa: E402
from test_calc import SHEET_3X3       # noqa: E402

DUMP = os.path.join(tvdriver.TESTBIN, "tv-capturedump")
RED, BLUE = 0xFF0000, 0x0000FF

# Merged areas of several sizes, side by side and touching, some with a
# format of their own, and equal areas next to each other (one format
# group holding several anchors).
SHEET_MERGES = {
    "cells": {
        "A1": ("横二", {"CharWeight": 150.0}), "C1": ("縦三", {"CellBackColor": 0xFFCC00}),
        "D1": ("四角", {"RightBorder": border(35, color=BLUE)}), "A2": ("下", {}),
        "F1": ("縦a", {}), "G1": ("縦b", {}), "A4": ("横五", {"HoriJustify": "center"}),
        "A5": ("上段", {}), "A6": ("下段", {}), "C5": ("孤", {}), "D3": ("横", {}),
    },
    "merges": ["A1:B1", "C1:C3", "D1:E2", "A2:B3", "D3:E3", "F1:F2", "G1:G2",
               "A4:E4", "A5:B5", "A6:B6", "F3:G6"],
}

# Numbers, formulas, texts and empty cells under one format and under
# number formats; an empty formatted cell.
SHEET_CONTENT = {
    "cells": {
        "A1": ("12", {}), "B1": ("3.5", {}), "C1": ("-7", {}), "D1": ("=A1*2", {}),
        "A2": ("テキスト", {}), "B2": (None, {}), "C2": ("=\"文字\"&A1", {}),
        "D2": ("'0123", {}), "A3": ("=SUM(A1:C1)", {"NumberFormat": 2}),
        "B3": (None, {"CellBackColor": 0xCCCCFF, "CharWeight": 150.0}),
        "C3": ("1e5", {}), "D3": ("", {}),
    },
}

# Texts with several character formats (and one formatted as a whole),
# beside plain cells of the same cell format; one inside a merged area.
RICH = {  # address: (text, [(start, length, property, value), ...])
    "A1": ("太字と普通", [(0, 2, "CharWeight", 150.0)]),
    "B1": ("赤と青", [(0, 1, "CharColor", RED), (2, 1, "CharColor", BLUE)]),
    "C1": ("全部斜体", [(0, 4, "CharPosture", "italic")]),
    "A2": ("大きい\n二行目", [(4, 3, "CharHeight", 16.0)]),
    "B3": ("下線abc", [(2, 3, "CharUnderline", 1)]),
}
SHEET_RICH = {"cells": {"A3": ("普通", {}), "C2": ("同じ書式", {}), "C3": ("x", {})},
              "merges": ["B2:B3"]}


def rich(doc, texts):
    sh = doc.Sheets.getByIndex(0)
    for addr, (text, runs) in texts.items():
        cell = sh.getCellRangeByName(addr)
        cell.setString(text)
        for start, length, name, value in runs:
            cur = cell.createTextCursor()
            cur.gotoStart(False)
            cur.goRight(start, False)
            cur.goRight(length, True)
            cur.setPropertyValue(name, calcsheet.prop(name, value))


def big(doc, rows=300, cols=8):
    """A few hundred rows: striped backgrounds, a bold column, merged
    areas and rich texts every few dozen rows, empty cells."""
    sh = calcsheet.fill(doc, cols, rows)
    for r in range(0, rows, 2):
        sh.getCellRangeByPosition(0, r, cols - 1, r).CellBackColor = 0xEEEEEE
    sh.getCellRangeByPosition(2, 0, 2, rows - 1).CharWeight = 150.0
    sh.getCellRangeByPosition(0, 0, cols - 1, rows - 1).RightBorder = border(35)
    for r in range(5, rows - 3, 40):
        sh.getCellRangeByPosition(3, r, 4, r + 2).merge(True)
        sh.getCellRangeByPosition(6, r + 1, 7, r + 1).merge(True)
        sh.getCellByPosition(1, r).setString("")
    rich(doc, {"A%d" % (r + 1): ("混在text", [(0, 2, "CharColor", RED)])
               for r in range(7, rows, 37)})
    return sh


session = calc = None
docs = {}


def setUpModule():
    global session, calc
    session = tvdriver.Session()
    calc = calcdriver.Calc(session)
    calc.listen()
    for name, sheet in (("3x3", SHEET_3X3), ("merges", SHEET_MERGES),
                        ("content", SHEET_CONTENT), ("rich", SHEET_RICH)):
        doc = calc.office.new_doc()
        calcsheet.build(doc, sheet)
        docs[name] = doc
    rich(docs["rich"], RICH)
    docs["big"] = calc.office.new_doc()
    big(docs["big"])


def tearDownModule():
    if calc is not None:
        calc.close()
    if session is not None:
        session.close()


def dump(doc, area, way, lang="C.UTF-8"):
    """Copy the area and run the dump tool with the given reading."""
    calcsheet.copy(calc.office, docs[doc], area)
    env = dict(calc.env, LANG=lang, LC_ALL=lang, LD_LIBRARY_PATH=tvdriver.LO_PROGRAM)
    p = session.spawn([DUMP, way], env=env, stdout=subprocess.PIPE,
                      stderr=subprocess.PIPE)
    out, err = p.communicate(timeout=120)
    if p.returncode != 0 or not out:
        raise RuntimeError("dump ended with %s: %s" % (p.returncode, err[-500:]))
    return json.loads(out.decode("utf-8"))


class Equivalence(unittest.TestCase):
    maxDiff = None

    def test_same_table(self):
        for case, doc, area in (
                ("3x3", "3x3", "A1:C3"), ("3x3-top-left", "3x3", "A1:B2"),
                ("3x3-one-cell", "3x3", "C1"), ("merges", "merges", "A1:H7"),
                ("content", "content", "A1:E4"), ("rich", "rich", "A1:D4"),
                ("rows-300", "big", "A1:H300")):
            with self.subTest(case):
                d = dump(doc, area, "both")
                self.assertEqual(d["rc"], 0, d["msgs"])
                self.assertGreater(len(d["cells"]), 0)
                self.assertEqual(len(d["cells"]), len(d["ref"]))
                for i, (got, want) in enumerate(zip(d["cells"], d["ref"])):
                    self.assertEqual(got, want, "%s cell %d,%d" % (case, i // d["cols"],
                                                                  i % d["cols"]))

    def test_same_failure(self):
        # A merged area cut by the copy, a text the C locale cannot hold,
        # and both in one range: the first in cell order decides.
        for case, doc, area, lang in (
                ("merge-outside", "merges", "A1:C2", "C.UTF-8"),
                ("merge-outside-rows", "big", "A1:H6", "C.UTF-8"),
                ("bad-char", "content", "A1:B2", "C"),
                ("merge-first", "merges", "A1:C1", "C"),
                ("bad-char-first", "rich", "A1:B2", "C")):
            with self.subTest(case):
                want = dump(doc, area, "cell", lang)
                got = dump(doc, area, "range", lang)
                self.assertNotEqual(want["rc"], 0)
                self.assertEqual((got["rc"], got["pos"], got["msgs"]),
                                 (want["rc"], want["pos"], want["msgs"]))


if __name__ == "__main__":
    unittest.main(verbosity=2)
