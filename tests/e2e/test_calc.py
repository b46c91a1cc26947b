"""Both converters against a real Calc: ranges copied in Calc become
tables with their formatting; the server's start, absence and death.

One visible Calc serves the whole file (calcdriver); the file runs in a
network namespace of its own, so nothing else can answer port 2083.
"""
import shutil
import socket
import tempfile
import threading
import time
import unittest

import calcdriver
calcdriver.private_network()
import calcsheet                      # noqa: E402
import tvdriver                       # noqa: E402
from calcsheet import border          # noqa: E402

RED, BLUE, GREEN = 0xFF0000, 0x0000FF, 0x008000

# The 3 x 3 range: a 2 x 2 merged area at the top left and one kind of
# formatting after another in the other cells.
SHEET_3X3 = {
    "cells": {
        "A1": ("結合", {"CharWeight": 150.0, "HoriJustify": "center", "VertJustify": "top",
                      "CellBackColor": 0xFFFF00,
                      "LeftBorder": border(35, color=RED), "TopBorder": border(35, color=RED),
                      "RightBorder": border(88, color=BLUE),
                      "BottomBorder": border(35, 35, color=GREEN)}),
        "C1": ("赤字", {"CharColor": RED, "CharHeight": 10.5, "CharPosture": "italic",
                      "HoriJustify": "right", "VertJustify": "bottom"}),
        "C2": ("=SUM(A3:B3)", {}),
        "A3": ("12", {"HoriJustify": "left", "CharWeight": 110.0, "CharPosture": "oblique",
                      "CharUnderline": 1, "CharHeight": 10.0}),
        "B3": ("30", {"CharStrikeout": 1, "CellBackColor": 0xCCFFCC}),
        "C3": ("一行目\n二行目", {}),
    },
    "merges": ["A1:B2"],
}

# No border anywhere.
SHEET_PLAIN = {"cells": {"A1": ("左", {}), "B1": ("右", {"CharWeight": 150.0})}}

SWITCHES = ("line_color_yn", "line_width_yn", "back_color_yn", "font_color_yn",
            "font_size_yn", "font_bold_yn", "font_underline_yn", "font_italic_yn",
            "font_strikethrough_yn", "cell_posh_yn", "cell_posv_yn")


def html_ini(version):
    return ("[Log]\nTime=OFF\n[Param]\nhtmlversion=%s\n" % version
            + "".join("%s=ON\n" % k for k in SWITCHES))


WIKI_INI = """[Log]
Time=OFF
[Param]
cntl_char=@
line_color={table line=%s}@{/table}
line_width={width=%d}@{/width}
back_color={bg=%s}@{/bg}
font_color={fg=%s}@{/fg}
font_size={size=%d}@{/size}
font_bold={b}@{/b}
font_underline={u}@{/u}
font_italic={i}@{/i}
font_strikethrough={s}@{/s}
cell_poshr=R:@
cell_poshc=C:@
cell_poshl=L:@
cell_posvt={top}@{/top}
cell_posvc={mid}@{/mid}
cell_posvb=@
cell_sep=|
cell_mrgh=>@
cell_mrgv=^@
code_chenge_m1=|
code_chenge_o1={bar}
code_chenge_r1=
"""

STYLE, ATTR = html_ini(5), html_ini(4)

# What the converters put on the clipboard for the 3 x 3 range.
EXPECT_3X3 = {
    "html-style": (
        "<TABLE CLASS=\"tabvueT\">\n"
        "<TR>\n"
        "<TD COLSPAN=2 ROWSPAN=2 NOWRAP VALIGN=\"TOP\" class=\"tabvueC0\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><P ALIGN=\"CENTER\"><B>結合</B></P></SPAN></TD>\n"
        "<TD NOWRAP VALIGN=\"BOTTOM\" class=\"tabvueC2\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#ff0000\"><P ALIGN=\"RIGHT\"><I>赤字</I></P></SPAN></TD>\n"
        "</TR>\n"
        "<TR>\n"
        "<TD NOWRAP class=\"tabvueC2\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\">=SUM(A3:B3)</SPAN></TD>\n"
        "</TR>\n"
        "<TR>\n"
        "<TD NOWRAP class=\"tabvueC2\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><P ALIGN=\"LEFT\" class=\"tabvueF0\">12</P></SPAN></TD>\n"
        "<TD NOWRAP class=\"tabvueC3\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><S>30</S></SPAN></TD>\n"
        "<TD NOWRAP class=\"tabvueC2\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\">一行目<BR>二行目</SPAN></TD>\n"
        "</TR>\n"
        "</TABLE>\n"
        "\n"
        "\n"
        "<style type=\"text/css\">\n"
        "<!--\n"
        "table.tabvueT, td.tabvueT, th.tabvueT { border: 1px #ff0000 solid}\n"
        "p.tabvueF0 {text-decoration: underline}\n"
        "td.tabvueC0 {background-color:#ffff00; border: 1px #ff0000 solid}\n"
        "td.tabvueC1 {background-color:#ffffff; border: 1px #000000 solid}\n"
        "td.tabvueC2 {background-color:#ffffff; border: 1px #ffffff solid}\n"
        "td.tabvueC3 {background-color:#ccffcc; border: 1px #ffffff solid}\n"
        "-->\n"
        "</style>\n"),
    "html-attr": (
        "<TABLE BORDER CELLSPACING=1 BORDERCOLOR=#ff0000>\n"
        "<TR>\n"
        "<TD COLSPAN=2 ROWSPAN=2 NOWRAP VALIGN=\"TOP\" BGCOLOR=#ffff00><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><P ALIGN=\"CENTER\"><B>結合</B></P></SPAN></TD>\n"
        "<TD NOWRAP VALIGN=\"BOTTOM\" BGCOLOR=#ffffff><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#ff0000\"><P ALIGN=\"RIGHT\"><I>赤字</I></P></SPAN></TD>\n"
        "</TR>\n"
        "<TR>\n"
        "<TD NOWRAP BGCOLOR=#ffffff><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\">=SUM(A3:B3)</SPAN></TD>\n"
        "</TR>\n"
        "<TR>\n"
        "<TD NOWRAP BGCOLOR=#ffffff><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><P ALIGN=\"LEFT\"><U>12</U></P></SPAN></TD>\n"
        "<TD NOWRAP BGCOLOR=#ccffcc><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><S>30</S></SPAN></TD>\n"
        "<TD NOWRAP BGCOLOR=#ffffff><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\">一行目<BR>二行目</SPAN></TD>\n"
        "</TR>\n"
        "</TABLE>"),
    "wiki": (
        "{table line=#ff0000}{width=1}|^^>>{top}{bg=#ffff00}{fg=#000000}{size=10}C:{b}結合{/b}{/size}{/fg}{/bg}{/top}"
        "|{bg=#ffffff}{fg=#ff0000}{size=10}R:{i}赤字{/i}{/size}{/fg}{/bg}|\n"
        "|{bg=#ffffff}{fg=#000000}{size=10}L:=SUM(A3:B3){/size}{/fg}{/bg}|\n"
        "|{bg=#ffffff}{fg=#000000}{size=10}L:{u}12{/u}{/size}{/fg}{/bg}"
        "|{bg=#ccffcc}{fg=#000000}{size=10}L:{s}30{/s}{/size}{/fg}{/bg}"
        "|{bg=#ffffff}{fg=#000000}{size=10}L:一行目\n二行目{/size}{/fg}{/bg}|\n"
        "{/width}{/table}"),
}

# The anchor of the merged area copied alone: one plain cell.
EXPECT_ONE = {
    "html-style": (
        "<TABLE CLASS=\"tabvueT\">\n"
        "<TR>\n"
        "<TD NOWRAP VALIGN=\"TOP\" class=\"tabvueC0\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><P ALIGN=\"CENTER\"><B>結合</B></P></SPAN></TD>\n"
        "</TR>\n"
        "</TABLE>\n"
        "\n"
        "\n"
        "<style type=\"text/css\">\n"
        "<!--\n"
        "table.tabvueT, td.tabvueT, th.tabvueT { border: 1px #ff0000 solid}\n"
        "td.tabvueC0 {background-color:#ffff00; border: 1px #ff0000 solid}\n"
        "-->\n"
        "</style>\n"),
    "wiki": (
        "{table line=#ff0000}{width=1}|{top}{bg=#ffff00}{fg=#000000}{size=10}C:{b}結合{/b}{/size}{/fg}{/bg}{/top}|\n"
        "{/width}{/table}"),
}

# Two cells without any border, after OK to the border question.
EXPECT_PLAIN = {
    "html-style": (
        "<TABLE CLASS=\"tabvueT\">\n"
        "<TR>\n"
        "<TD NOWRAP class=\"tabvueC0\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\">左</SPAN></TD>\n"
        "<TD NOWRAP class=\"tabvueC0\"><SPAN STYLE=\"FONT-SIZE:10pt;COLOR:#000000\"><B>右</B></SPAN></TD>\n"
        "</TR>\n"
        "</TABLE>\n"
        "\n"
        "\n"
        "<style type=\"text/css\">\n"
        "<!--\n"
        "table.tabvueT, td.tabvueT, th.tabvueT { border: 1px #000000 solid}\n"
        "td.tabvueC0 {background-color:#ffffff; border: 1px #000000 solid}\n"
        "-->\n"
        "</style>\n"),
    "wiki": (
        "{table line=#000000}{width=1}|{bg=#ffffff}{fg=#000000}{size=10}L:左{/size}{/fg}{/bg}"
        "|{bg=#ffffff}{fg=#000000}{size=10}L:{b}右{/b}{/size}{/fg}{/bg}|\n"
        "{/width}{/table}"),
}

PROGRAMS = {"html-style": ("tabvue-html", STYLE), "html-attr": ("tabvue-html", ATTR),
            "wiki": ("tabvue-wiki", WIKI_INI)}

session = calc = None


def setUpModule():
    global session, calc
    session = tvdriver.Session()
    calc = calcdriver.Calc(session)
    rebuild()


def tearDownModule():
    if calc is not None:
        calc.close()
    if session is not None:
        session.close()


def copy(name, area):
    calcsheet.copy(calc.office, calc.sheets[name], area)


def convert(program, settings, answers=(), env=None, timeout=60):
    """Run a converter on the clipboard, answering its dialogs: OK to the
    closing message (read the markup first), answers[i] (True OK, False
    Cancel) to the i-th other one.  Returns (messages, markup, status)."""
    p = calc.run(program, settings=settings, env=env)
    markup, asked = None, 0
    try:
        while True:
            try:
                n = p.wait_message(timeout)
            except RuntimeError:
                break                                   # ended
            if n in (0, 1):
                raw = session.clip_get("STRING")
                markup = raw.decode("utf-8") if raw is not None else None
                p.answer(ok=True)
            else:
                p.answer(ok=answers[asked] if asked < len(answers) else True)
                asked += 1
        return p.messages, markup, p.wait_exit(timeout)
    finally:
        p.kill()


class Server(unittest.TestCase):
    """Connecting: the server started on demand, absent, already there."""

    def test_01_nothing_answers(self):
        # Every connection to 2083 is accepted and closed at once, so every
        # attempt fails and a started server cannot take the port.
        if calcdriver.port_open():
            self.skipTest("port 2083 is already served")
        lsock = socket.socket()
        lsock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        lsock.bind(("127.0.0.1", 2083))
        lsock.listen(16)
        stop = threading.Event()

        def refuse():
            lsock.settimeout(0.2)
            while not stop.is_set():
                try:
                    c, _ = lsock.accept()
                    c.close()
                except OSError:
                    pass
        t = threading.Thread(target=refuse, daemon=True)
        t.start()
        home = tempfile.mkdtemp(prefix="tvhome-")   # the server would start apart
        try:
            copy("3x3", "A1:C3")
            start = time.time()
            p = calc.run("tabvue-html", settings=STYLE, env={"HOME": home})
            n = p.wait_message(60)
            elapsed = time.time() - start
            p.answer(ok=True)
            self.assertEqual(p.wait_exit(30), 0)
            self.assertEqual(p.messages, [35])
            self.assertTrue(17 <= elapsed <= 30, "message 35 after %.1f s" % elapsed)
            self.assertEqual(n, 35)
            self.assertEqual(calc.office.document_count(), calc.own_docs)
            self.assertEqual(calc.reap().count("soffice.bin"), 1)   # started once
        finally:
            stop.set()
            t.join(5)
            lsock.close()
            calc.reap()
            shutil.rmtree(home, ignore_errors=True)

    def test_02_started_on_demand(self):
        # Nothing listens yet: the converter starts the server, whose accept
        # goes over to the running Calc, and the next attempt connects.
        if calcdriver.port_open():
            self.skipTest("port 2083 is already served")
        copy("3x3", "A1:C3")
        msgs, markup, rc = convert("tabvue-wiki", WIKI_INI)
        self.assertEqual((msgs, rc), ([0], 0))
        self.assertTrue(calcdriver.port_open())
        self.assertEqual(calc.reap(), ["soffice.bin"])
        self.assertEqual(calc.office.document_count(), calc.own_docs)

    def test_03_already_listening(self):
        calc.listen()
        calc.reap()
        copy("3x3", "A1:C3")
        msgs, markup, rc = convert("tabvue-html", STYLE)
        self.assertEqual((msgs, rc), ([0], 0))
        self.assertEqual(calc.orphans(), {})                 # no server command
        self.assertEqual(calc.office.document_count(), calc.own_docs)   # scratch closed


class Tables(unittest.TestCase):
    """Ranges copied in Calc, converted with every switch on."""

    @classmethod
    def setUpClass(cls):
        calc.listen()

    def tearDown(self):
        self.assertEqual(calc.office.document_count(), calc.own_docs)   # scratch closed
        self.assertEqual(calc.orphans(), {})

    def check(self, sheet, area, expected, answers=()):
        for case, text in expected.items():
            with self.subTest(case):
                copy(sheet, area)
                program, settings = PROGRAMS[case]
                msgs, markup, rc = convert(program, settings, answers)
                self.assertEqual((msgs, rc), ([2, 0] if answers else [0], 0))
                self.assertEqual(markup, text)

    def test_formatted_3x3(self):
        self.check("3x3", "A1:C3", EXPECT_3X3)

    def test_single_cell(self):
        self.check("3x3", "A1", EXPECT_ONE)

    def test_no_border_ok(self):
        self.check("plain", "A1:B1", EXPECT_PLAIN, answers=(True,))

    def test_refused_or_outside(self):
        # Cancel to the border question; a merged area cut by the copy.
        for case, sheet, area, answers, want in (
                ("no-border-cancel", "plain", "A1:B1", (False,), [2, 3]),
                ("merge-outside-rows", "3x3", "A1:A3", (), [5]),
                ("merge-outside-cols", "3x3", "A1:A2", (), [5])):
            for program in ("tabvue-html", "tabvue-wiki"):
                with self.subTest(case=case, program=program):
                    copy(sheet, area)
                    settings = STYLE if program == "tabvue-html" else WIKI_INI
                    msgs, markup, rc = convert(program, settings, answers)
                    self.assertEqual((msgs, markup, rc), (want, None, 0))


def start_capture(program, settings):
    """Copy the 10 x 300 range and start a converter on it; return once
    the scratch document is open and the capture under way."""
    copy("big", "A1:J300")
    p = calc.run(program, settings=settings)
    tvdriver.wait_until(lambda: calc.office.document_count() > calc.own_docs
                        or p.proc.poll() is not None, 30, 0.1, "scratch document")
    time.sleep(1.5)                     # well into the rows
    return p


class Interrupted(unittest.TestCase):
    """A long capture cancelled by the user, or cut off by the server's end."""

    def setUp(self):
        calc.listen()

    def test_cancel_during_capture(self):
        # Evasion ON (exactly) shows the scratch document; it is hidden otherwise.
        for evasion, visible in (("OFF", False), ("ON", True), ("on", False)):
            with self.subTest(evasion=evasion):
                self.cancel_capture(STYLE + "[Evasion]\nEvasion=%s\n" % evasion, visible)

    def cancel_capture(self, settings, visible):
        p = start_capture("tabvue-html", settings)
        try:
            scratch = [d for d in calc.office.documents()
                       if not any(d == m for m in calc.sheets.values())]
            self.assertEqual(len(scratch), 1)
            frame = scratch[0].CurrentController.Frame
            self.assertEqual(bool(frame.ContainerWindow.isVisible()), visible)
            w = p.window()
            session.xdo("windowfocus", "--sync", w)
            session.xdo("key", "Return")            # the cancel button is the default
            self.assertEqual(p.wait_message(60), 3)
            p.answer(ok=True)
            self.assertEqual(p.wait_exit(30), 0)
            self.assertEqual(p.messages, [3])
        finally:
            p.kill()
        tvdriver.wait_until(lambda: calc.office.document_count() == calc.own_docs, 10,
                            what="scratch document to close")

    def test_server_killed_during_capture(self):
        p = start_capture("tabvue-wiki", WIKI_INI)
        try:
            calc.proc.kill()
            start = time.time()
            self.assertEqual(p.wait_message(30), 5)
            self.assertLess(time.time() - start, 30)
            p.answer(ok=True)
            self.assertEqual(p.wait_exit(30), 0)
            self.assertEqual(p.messages, [5])
        finally:
            p.kill()
            calc.restart()
            rebuild()


def rich_fill(sh, cols, rows):
    """Give every text two character formats: such cells are read one
    by one, so the capture of the block lasts long enough to interrupt."""
    for r in range(rows):
        for c in range(cols):
            cur = sh.getCellByPosition(c, r).createTextCursor()
            cur.gotoStart(False)
            cur.goRight(1, True)
            cur.CharWeight = 150.0


def rebuild():
    """Documents of the suite again, after the Calc was restarted."""
    calc.close_documents()
    calc.sheets = {}
    for name, sheet in (("3x3", SHEET_3X3), ("plain", SHEET_PLAIN)):
        doc = calc.office.new_doc()
        calcsheet.build(doc, sheet)
        calc.sheets[name] = doc
    big = calc.office.new_doc()
    rich_fill(calcsheet.fill(big, 10, 300), 10, 300)
    calc.sheets["big"] = big
    calc.own_docs = calc.office.document_count()


def load_tests(loader, tests, pattern):
    # Server first: it needs port 2083 still unserved.
    suite = unittest.TestSuite()
    for case in (Server, Tables, Interrupted):
        suite.addTests(loader.loadTestsFromTestCase(case))
    return suite


if __name__ == "__main__":
    unittest.main(verbosity=2)
