"""The shipped Wiki settings files through the real tabvue-wiki: plain
text on the CLIPBOARD, markup back from it, and pandoc reads that markup
as one table with the same cell texts in the same places."""
import os
import shutil
import subprocess
import unittest

import tvdriver

SOURCE = os.environ.get("TV_SOURCE", ".")

# "|", "&", "<", "*", "[", Japanese, a space and an empty cell.
TEXT = "a|b\tR&D <x>\t日本語\r\n2*3 [ok]\t\tend\r\n"
CELLS = [["a|b", "R&D <x>", "日本語"], ["2*3 [ok]", "", "end"]]

DIALECTS = [
    ("dialect-mediawiki", "TabvueWiki-mediawiki.ini", "mediawiki"),
    ("dialect-dokuwiki", "TabvueWiki-dokuwiki.ini", "dokuwiki"),
    ("dialect-gfm", "TabvueWiki-gfm.ini", "gfm"),
]


def pandoc_cells(markup, fmt):
    """{(row, col): text} of the one table pandoc finds in markup."""
    lua = os.path.join(SOURCE, "tests", "support", "WikiCells.lua")
    r = subprocess.run(["pandoc", "-f", fmt, "-t", "plain", "-o", "/dev/null",
                        "--lua-filter=" + lua], input=markup.encode("utf-8"),
                       capture_output=True, timeout=60, check=True)
    lines = r.stdout.decode("utf-8").splitlines()
    assert lines.count("table") == 1, lines
    cells = {}
    for line in lines:
        if line != "table":
            row, col, _rs, _cs, _bold, text = line.split("\t", 5)
            cells[(int(row), int(col))] = text
    return cells


@unittest.skipIf(shutil.which("pandoc") is None, "pandoc is not installed")
class WikiDialects(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = tvdriver.Session()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_dialects_read_back(self):
        want = {(r, c): t for r, row in enumerate(CELLS) for c, t in enumerate(row)}
        for cid, name, fmt in DIALECTS:
            with self.subTest(cid):
                with open(os.path.join(SOURCE, "settings", name), encoding="utf-8") as f:
                    ini = f.read()
                self.s.clip_set(TEXT, None)
                p = self.s.run("tabvue-wiki", settings=ini)
                self.assertEqual(p.wait_message(), 2, cid)    # border question
                p.answer(ok=True)
                self.assertEqual(p.wait_message(), 1, cid)    # done, with the time
                got = self.s.clip_get("UTF8_STRING")
                p.answer(ok=True)
                self.assertEqual(p.wait_exit(), 0, cid)
                self.s.clip_clear()
                self.assertIsNotNone(got, cid)
                markup = got.decode("utf-8")
                self.assertEqual(pandoc_cells(markup, fmt), want, cid + "\n" + markup)


if __name__ == "__main__":
    unittest.main()
