#!/usr/bin/python3
"""Writes docs/sample.ods, the workbook that `make demo` converts.

Run once with /usr/bin/python3 (it needs LibreOffice's uno module); it
starts its own Xvfb and Calc in a private network namespace, builds the
sheet below and saves it.  The range A1:D7 is what the demo copies.
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import calcdriver                      # noqa: E402
calcdriver.private_network()
import calcsheet                       # noqa: E402
import tvdriver                        # noqa: E402
from calcsheet import border           # noqa: E402

NAVY, GREY, RED, PALE = 0x1F3864, 0x808080, 0xC00000, 0xDDEBF7
THIN = border(35, color=GREY)
THICK = border(88, color=NAVY)


def framed(props, top=THIN, bottom=THIN, left=THIN, right=THIN):
    p = {"TopBorder": top, "BottomBorder": bottom, "LeftBorder": left, "RightBorder": right}
    p.update(props)
    return p


HEAD = {"CharWeight": 150.0, "HoriJustify": "center", "CellBackColor": PALE}
SHEET = {
    "cells": {
        "A1": ("2024年度 支店別売上", framed({"CharWeight": 150.0, "CharHeight": 14.0,
                                          "HoriJustify": "center", "CharColor": NAVY},
                                         top=THICK, left=THICK, right=THICK)),
        "A2": ("支店", framed(HEAD)),
        "B2": ("上期", framed(HEAD)),
        "C2": ("下期", framed(HEAD)),
        "D2": ("備考", framed(HEAD)),
        "A3": ("東京", framed({"HoriJustify": "left"})),
        "B3": ("1200", framed({})),
        "C3": ("1350", framed({})),
        "D3": ("新店舗を含む", framed({"CharPosture": "italic"})),
        "A4": ("大阪", framed({"HoriJustify": "left"})),
        "B4": ("980", framed({})),
        "C4": ("870", framed({"CharColor": RED, "CharWeight": 150.0})),
        "D4": ("改装のため\n一時休業", framed({"VertJustify": "top"})),
        "A5": ("名古屋", framed({"HoriJustify": "left"})),
        "B5": ("640", framed({})),
        "C5": ("700", framed({})),
        "D5": ("旧店舗", framed({"CharStrikeout": 1, "CharColor": GREY})),
        "A6": ("合計", framed({"CharWeight": 150.0, "HoriJustify": "right"}, top=THICK)),
        "B6": ("=SUM(B3:B5)", framed({"CharUnderline": 1}, top=THICK)),
        "C6": ("=SUM(C3:C5)", framed({"CharUnderline": 1}, top=THICK)),
        "D6": (None, framed({}, top=THICK)),
        "A7": ("単位: 万円", {"CharHeight": 9.0, "HoriJustify": "right"}),
    },
    "merges": ["A1:D1", "D6:D7", "A7:C7"],
}


def main():
    out = os.path.join(ROOT, "docs", "sample.ods")
    session = tvdriver.Session()
    calc = None
    try:
        calc = calcdriver.Calc(session)
        doc = calc.office.new_doc(hidden=True)
        calcsheet.build(doc, SHEET)
        sh = doc.Sheets.getByIndex(0)
        for c, width in enumerate((2200, 2200, 2200, 4000)):
            sh.Columns.getByIndex(c).Width = width
        calcsheet.save(doc, out)
        doc.close(False)
        print("wrote", out)
    finally:
        if calc is not None:
            calc.close()
        session.close()


if __name__ == "__main__":
    main()
