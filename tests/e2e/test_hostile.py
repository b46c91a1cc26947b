"""Hostile inputs through the real converters: huge and broken clipboard
texts, broken and oversized settings files, a program folder with shell
characters, an oversized argv[0], Japanese under the C locale.  Every
case must end with its message and exit status 0, within its time
limit, leaving no process of its own behind."""
import ctypes
import os
import random
import sys
import time
import unittest

import tvdriver

PR_SET_CHILD_SUBREAPER = 36

WIKI_INI = "[Param]\ncell_sep=|\n"
HTML_INI = "[Param]\nhtmlversion=5\n"

# Every markup key of the Wiki converter, and the replacement entries.
WIKI_KEYS = ["line_color", "line_width", "back_color", "font_color", "font_size",
             "font_bold", "font_underline", "font_italic", "font_strikethrough",
             "cell_poshr", "cell_poshc", "cell_poshl", "cell_posvt", "cell_posvc",
             "cell_posvb", "cell_sep", "cell_mrgh", "cell_mrgv", "row_line",
             "head_rule", "row_end"] + \
            ["code_chenge_%s%d" % (k, i) for i in range(1, 6) for k in "mor"]


def percent_value(seed):
    """100 characters of printf-like sequences, the divider among them."""
    seqs = ["%d", "%s", "%x", "%c", "%%", "%n", "%p", "%ls", "%99999d", "%*s",
            "%1$s", "%", "%.9f", "@"]
    rnd = random.Random(seed)
    v = ""
    while len(v) < 100:
        v += rnd.choice(seqs)
    return v[:100]


PERCENT_INI = "[Param]\n" + "".join("%s=%s\n" % (k, percent_value(i))
                                    for i, k in enumerate(WIKI_KEYS))

BIG_ROWS = 100000                               # 10 columns: 10 MB of text
BIG_TEXT = "".join("\t".join("%09d" % (r * 10 + c) for c in range(10)) + "\n"
                   for r in range(BIG_ROWS)).encode()
LONG_LINE = ("<&\" x" * 20000).encode()         # 100,000 characters, one cell
TINY_ROWS = ("a\n" * 20000).encode()
GARBAGE = b"[Param]\n\xff" + bytes(random.Random(8).randrange(256) for _ in range(4096))
PADDED_INI = "".join(";%s\n" % ("p" * 98) for _ in range(10486)) + "[Param]\ncell_sep=!\n"
UTF16_INI = "\ufeff[Param]\r\ncell_sep=|\r\n".encode("utf-16-le")
JAPANESE = "名前\t日本語\n".encode()


def our_children():
    """Our direct children (zombies included) by PID."""
    me = os.getpid()
    out = set()
    for d in os.listdir("/proc"):
        if not d.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % d) as f:
                stat = f.read()
        except OSError:
            continue
        if int(stat[stat.rindex(")") + 2:].split()[1]) == me:
            out.add(int(d))
    return out


class Hostile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Anything a converter leaves behind becomes our child.
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        cls.s = tvdriver.Session()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        self.s.clip_clear()

    def known(self):
        return {p.pid for p in self.s.procs if p.poll() is None}

    def converse(self, cid, p, answers, limit):
        """Answer the expected messages; return the markup read while the
        closing message was open (None when there was none)."""
        out = None
        for k, (msg, ok) in enumerate(answers):
            if msg in (0, 1):
                self.assertIn(p.wait_message(limit), (0, 1), cid)
                out = self.s.clip_get("UTF8_STRING", timeout=limit)
            else:
                self.assertEqual(p.wait_message(limit), msg, cid)
            p.answer(ok=ok)
        self.assertEqual(p.wait_exit(limit), 0, cid)
        self.assertEqual([m if m not in (0, 1) else 1 for m in p.messages],
                         [m if m not in (0, 1) else 1 for m, _ in answers], cid)
        return out

    def left_behind(self, cid, before):
        """Fail when the case left a process of its own; kill it by PID."""
        time.sleep(0.3)
        extra = our_children() - before - self.known()
        for pid in extra:
            try:
                os.kill(pid, 9)
                os.waitpid(pid, 0)
            except OSError:
                pass
        self.assertEqual(extra, set(), cid + ": processes left behind")

    def test_clipboard_texts(self):
        # (id, program, settings, clipboard bytes, locale, messages, seconds,
        #  check of the markup or None)
        cases = [
            ("clip-10mb", "tabvue-wiki", WIKI_INI, BIG_TEXT, "C.UTF-8", [2, 1], 180,
             lambda o: o.count(b"\n") == BIG_ROWS and o.startswith(b"|000000000|")
             and o.endswith(b"|000999999|\n")),
            ("clip-invalid-utf8", "tabvue-html", HTML_INI,
             b"ok\t\xed\xa0\x80\tover\xc0\xaf\n" * 50, "C.UTF-8", [2, 24], 60, None),
            ("clip-long-line", "tabvue-html", HTML_INI, LONG_LINE, "C.UTF-8", [2, 1], 60,
             lambda o: o.count(b"&lt;&amp;&quot;&nbsp;x") == 20000),
            ("clip-tiny-rows", "tabvue-wiki", WIKI_INI, TINY_ROWS, "C.UTF-8", [2, 1], 60,
             lambda o: o == b"|a|\n" * 20000),
            ("clip-japanese-c-html", "tabvue-html", HTML_INI, JAPANESE, None, [2, 24], 60,
             None),
            ("clip-japanese-c-wiki", "tabvue-wiki", WIKI_INI, JAPANESE, None, [2, 24], 60,
             None),
        ]
        for cid, prog, ini, clip, lang, msgs, limit, check in cases:
            with self.subTest(cid):
                before = our_children()
                self.s.clip_set(clip, ["UTF8_STRING"])
                p = self.s.run(prog, settings=ini, lang=lang)
                out = self.converse(cid, p, [(m, True) for m in msgs], limit)
                if check is not None:
                    self.assertIsNotNone(out, cid)
                    self.assertTrue(check(out), "%s: markup %r..." % (cid, out[:200]))
                self.s.clip_clear()
                self.left_behind(cid, before)

    def test_settings_files(self):
        # (id, settings bytes, messages, check of the markup or None)
        cases = [
            ("ini-utf16", UTF16_INI, [32], None),
            ("ini-garbage", GARBAGE, [32], None),
            # The key after a megabyte of comments is still found.
            ("ini-1mb", PADDED_INI.encode(), [2, 1], lambda o: o == b"!a!b!\n!c!d!\n"),
            ("ini-no-final-line-end", b"[Param]\ncell_sep=|", [2, 1], None),
            ("ini-percent-values", PERCENT_INI.encode(), [2, 1],
             lambda o: b"(null)" not in o and o.decode("utf-8") is not None),
        ]
        for cid, ini, msgs, check in cases:
            with self.subTest(cid):
                before = our_children()
                self.s.clip_set(b"a\tb\nc\td\n", ["UTF8_STRING"])
                p = self.s.run("tabvue-wiki", settings_bytes=ini)
                out = self.converse(cid, p, [(m, True) for m in msgs], 60)
                if check is not None:
                    self.assertIsNotNone(out, cid)
                    self.assertTrue(check(out), "%s: markup %r" % (cid, out[:300]))
                self.s.clip_clear()
                self.left_behind(cid, before)

    def test_folder_and_argv0(self):
        odd = os.path.join(self.s.tmp, "a b 'q' \"d\" $(touch pwned) `touch pwned2` 日本")
        marker = os.path.join(self.s.tmp, "long")
        # (id, folder or None, argv[0] or None, messages)
        cases = [
            ("folder-shell-characters", odd, None, [2, 1]),
            ("argv0-5000-bytes", marker, "x" * 5000, [36]),
            ("argv0-5000-byte-path", marker, "/" * 4980 + os.path.join(marker, "tabvue-wiki")[1:],
             [36]),
        ]
        for cid, folder, argv0, msgs in cases:
            with self.subTest(cid):
                before = our_children()
                self.s.clip_set(b"a\tb\n", ["UTF8_STRING"])
                p = self.s.run("tabvue-wiki", settings=WIKI_INI, folder=folder, argv0=argv0)
                out = self.converse(cid, p, [(m, True) for m in msgs], 60)
                if msgs[-1] == 1:
                    self.assertEqual(out, b"|a|b|\n", cid)
                for name in ("pwned", "pwned2"):
                    for d in (self.s.tmp, folder, os.getcwd()):
                        self.assertFalse(os.path.exists(os.path.join(d, name)), cid)
                self.s.clip_clear()
                self.left_behind(cid, before)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
