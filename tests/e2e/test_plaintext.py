"""Plain text end to end: tab-separated text on the CLIPBOARD through both
converters to markup on the CLIPBOARD, read back as every offered target
while the closing message is open; and the ways a run ends early."""
import sys
import unittest

import tvdriver

# Japanese, spaces, "&", "<", quotes, CR LF line ends, a short row, an
# empty line and a row ending with a tab.
TEXT = '名前\tA & B\t"q"\r\n日本 語\t<x>\r\n\r\nz\t\r\n'

HTML_INI = "[Param]\nhtmlversion=5\nline_width_yn=ON\nline_color_yn=ON\n"

HTML_OUT = (
    '<TABLE CLASS="tabvueT">\n'
    "<TR>\n"
    "<TD NOWRAP>名前</TD>\n"
    "<TD NOWRAP>A&nbsp;&amp;&nbsp;B</TD>\n"
    "<TD NOWRAP>&quot;q&quot;</TD>\n"
    "</TR>\n"
    "<TR>\n"
    "<TD NOWRAP>日本&nbsp;語</TD>\n"
    "<TD NOWRAP>&lt;x&gt;</TD>\n"
    "<TD NOWRAP></TD>\n"
    "</TR>\n"
    "<TR>\n"
    "<TD NOWRAP></TD>\n"
    "<TD NOWRAP></TD>\n"
    "<TD NOWRAP></TD>\n"
    "</TR>\n"
    "<TR>\n"
    "<TD NOWRAP>z</TD>\n"
    "<TD NOWRAP></TD>\n"
    "<TD NOWRAP></TD>\n"
    "</TR>\n"
    "</TABLE>\n"
    "\n"
    "\n"
    '<style type="text/css">\n'
    "<!--\n"
    "table.tabvueT, td.tabvueT, th.tabvueT { border: 1px #000000 solid}\n"
    "td.tabvueC0 { border: 1px #000000 solid}\n"
    "-->\n"
    "</style>\n")

# Table start and end carry the border colour and width; "<" is replaced
# and a text holding "&" is wrapped in "~".
WIKI_INI = ("[Log]\nTime=ON\n[Param]\n"
            "line_color={| border=%s@|}\n"
            "line_width=w%d@/w\n"
            "cell_sep=||\n"
            "code_chenge_m1=<\ncode_chenge_o1=&lt;\ncode_chenge_r1=\n"
            "code_chenge_m2=&\ncode_chenge_o2=~\ncode_chenge_r2=all\n")

WIKI_OUT = ("{| border=#000000w1"
            '||名前||~A & B~||"q"||\n'
            "||日本 語||&lt;x>||||\n"
            "||||||||\n"
            "||z||||||\n"
            "/w|}")

PROGRAMS = [
    ("html", "tabvue-html", HTML_INI, HTML_OUT),
    ("wiki", "tabvue-wiki", WIKI_INI, WIKI_OUT),
]

OWNERS = [
    ("xclip", None),                                  # UTF8_STRING only
    ("own", ["COMPOUND_TEXT", "TEXT", "STRING", "UTF8_STRING"]),
    ("latin1", ["STRING"]),                           # STRING alone, Latin-1
    # A copy from another application of the office suite is plain text.
    ("writer-copy", ['application/x-openoffice-objectdescriptor-xml;windows_formatname='
                     '"Star Object Descriptor (XML)";classname="8BC6B165-B1B2-4EDD-aa47-'
                     'dae2ee689dd6";typename="LibreOffice 7.4 Text Document"',
                     "UTF8_STRING"]),
]

def latin1(s):
    """The fixture with its Japanese words replaced by Latin-1 ones."""
    return s.replace("名前", "Name").replace("日本", "caf\u00e9").replace("語", "x")


READS = ["STRING", "COMPOUND_TEXT", "TEXT", "UTF8_STRING", "plain"]


class PlainText(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = tvdriver.Session()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        self.s.clip_clear()

    def read(self, target):
        if target == "plain":
            return self.s.clip_plain()
        return self.s.clip_get(target)

    def test_markup_on_clipboard(self):
        for pid, prog, ini, out in PROGRAMS:
            for oid, targets in OWNERS:
                cid = "plain-%s-%s" % (pid, oid)
                with self.subTest(cid):
                    text, want = TEXT, out
                    if oid == "latin1":   # STRING cannot carry Japanese
                        text, want = latin1(TEXT), latin1(out)
                    self.s.clip_set(text, targets)
                    p = self.s.run(prog, settings=ini)
                    self.assertEqual(p.wait_message(), 2, cid)
                    p.answer(ok=True)
                    self.assertEqual(p.wait_message(), 1, cid)   # Time defaults to ON
                    for round_ in (1, 2):
                        for t in READS:
                            got = self.read(t)
                            self.assertEqual(got.decode("utf-8") if got is not None else None,
                                             want, "%s %s read %d" % (cid, t, round_))
                    p.answer(ok=True)
                    self.assertEqual(p.wait_exit(), 0, cid)
                    self.assertIsNone(self.s.clip_get("UTF8_STRING", timeout=10),
                                      cid + ": clipboard given up after OK")
                    self.assertEqual(p.messages, [2, 1], cid)
                    self.s.clip_clear()

    def test_early_ends(self):
        # (id, program, settings, clipboard text or None, targets,
        #  answers to give in order, messages expected[, locale])
        cases = [
            ("end-cancel-html", "tabvue-html", HTML_INI, TEXT, None, [False, True], [2, 3]),
            ("end-cancel-wiki", "tabvue-wiki", WIKI_INI, TEXT, None, [False, True], [2, 3]),
            ("end-empty-html", "tabvue-html", HTML_INI, None, None, [True], [23]),
            ("end-empty-wiki", "tabvue-wiki", WIKI_INI, None, None, [True], [23]),
            ("end-no-text-target", "tabvue-html", HTML_INI, "x", ["image/png"], [True], [23]),
            ("end-empty-text", "tabvue-html", HTML_INI, "", ["UTF8_STRING"], [True, True],
             [2, 24]),
            ("end-empty-compound", "tabvue-wiki", WIKI_INI, "", ["COMPOUND_TEXT"],
             [True, True], [2, 24]),
            ("end-bad-utf8", "tabvue-html", HTML_INI, b"a\xff\tb", ["UTF8_STRING"],
             [True, True], [2, 24]),
            ("end-time-off", "tabvue-html", "[Log]\nTime=OFF\n" + HTML_INI, "a\tb\n", None,
             [True, True], [2, 0]),
            # Japanese cannot be held in the C locale's encoding.
            ("end-c-locale", "tabvue-wiki", WIKI_INI, TEXT, None, [True, True], [2, 24], None),
        ]
        for cid, prog, ini, clip, targets, answers, msgs, *lang in cases:
            with self.subTest(cid):
                if clip is not None:
                    self.s.clip_set(clip, targets)
                p = self.s.run(prog, settings=ini, lang=lang[0] if lang else "C.UTF-8")
                for k, ok in enumerate(answers):
                    self.assertEqual(p.wait_message(), msgs[k], cid)
                    p.answer(ok=ok)
                self.assertEqual(p.wait_exit(), 0, cid)
                self.assertEqual(p.messages, msgs, cid)
                self.s.clip_clear()

    def test_cancel_button_while_text_is_fetched(self):
        # The owner holds its answer back; the cancel button, pressed twice
        # in the meantime, is seen once when the conversion starts.
        self.s.clip_set(TEXT, ["UTF8_STRING"], delay_ms=3000)
        p = self.s.run("tabvue-wiki", settings=WIKI_INI)
        self.assertEqual(p.wait_message(), 2)
        p.answer(ok=True)
        w = p.window()
        self.s.press(w, "Return")   # the cancel button holds the default
        self.s.press(w, "Return")
        self.assertEqual(p.wait_message(), 3)
        p.answer(ok=True)
        self.assertEqual(p.wait_exit(), 0)
        self.assertEqual(p.messages, [2, 3])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
