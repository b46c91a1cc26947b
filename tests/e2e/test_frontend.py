"""Start-up of both converters under Xvfb: the program's folder and its
settings file, the messages of start-up, the progress window, exit 0."""
import os
import subprocess
import sys
import unittest

import tvdriver

TITLES = {"tabvue-html": "Tabvue Html変換 for Linux",
          "tabvue-wiki": "Tabvue Wiki変換 for Linux"}


class FrontEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = tvdriver.Session()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def test_window_and_message_31(self):
        # No settings file beside the program: message 31, then the window;
        # the empty clipboard ends the run with message 23 over it.
        for prog, title in TITLES.items():
            with self.subTest(prog):
                p = self.s.run(prog)
                self.assertEqual(p.wait_message(), 31, prog)
                d = p.dialog()
                self.assertEqual(self.s.title(d), title, prog + ": dialog title")
                p.answer(ok=True)
                self.assertEqual(p.wait_message(), 23, prog)
                d = p.dialog()
                w = p.window()
                self.assertEqual(self.s.title(w), title, prog + ": window title")
                self.assertEqual(self.s.title(d), title, prog)
                transient = self.s.xprop(d, "WM_TRANSIENT_FOR").split()[-1]
                self.assertEqual(int(transient, 16), int(w), prog + ": dialog over the window")
                width, height = self.s.geometry(w)
                self.assertGreaterEqual(width, 230, prog)
                hints = self.s.xprop(w, "WM_NORMAL_HINTS")
                self.assertIn("program specified minimum size: %d by %d" % (width, height),
                              hints, prog + ": fixed size")
                self.assertIn("program specified maximum size: %d by %d" % (width, height),
                              hints, prog + ": fixed size")
                # The window shows more than its background: label, bar, button.
                self.s.move(d, 0, 0)
                shot = os.path.join(self.s.tmp, prog + ".png")
                self.s.screenshot(shot, wid=w)
                colours = subprocess.run(["identify", "-format", "%k", shot],
                                         capture_output=True, timeout=30).stdout
                self.assertGreater(int(colours or b"0"), 10, prog + ": window drawn")
                p.answer(ok=True)
                self.assertEqual(p.wait_exit(), 0, prog)
                self.assertEqual(p.messages, [31, 23], prog)

    def test_startup_paths(self):
        # (id, program, argv[0] (None: full path), settings bytes, messages)
        utf16 = "[Param]\nhtmlversion=4\n".encode("utf-16")
        long_name = "/" + "d" * 4100 + "/tabvue-html"
        cases = [
            ("start-dot-slash-no-ini", "tabvue-html", "./tabvue-html", None, [31, 23]),
            ("start-dot-slash-ini", "tabvue-wiki", "./tabvue-wiki", b"[Param]\n", [23]),
            ("start-bare-name", "tabvue-html", "tabvue-html", None, [23]),
            ("start-argv0-too-long", "tabvue-html", long_name, None, [36]),
            ("start-argv0-not-text", "tabvue-wiki", b"./\xff\xfe", None, [36]),
            ("start-ini-utf16", "tabvue-html", None, utf16, [32]),
            ("start-ini-one-path", "tabvue-wiki", None,
             b"[Path]\nOffice_path=/usr/lib/libreoffice\n", [33]),
        ]
        for cid, prog, argv0, ini, msgs in cases:
            with self.subTest(cid):
                p = self.s.run(prog, argv0=argv0, settings_bytes=ini)
                for m in msgs:
                    self.assertEqual(p.wait_message(), m, cid)
                    p.answer(ok=True)
                self.assertEqual(p.wait_exit(), 0, cid)
                self.assertEqual(p.messages, msgs, cid)

    def test_no_display(self):
        # Nothing can be shown without a display; the program still ends with 0.
        for prog in TITLES:
            with self.subTest(prog):
                p = self.s.run(prog, env={"DISPLAY": ""})
                self.assertEqual(p.wait_exit(), 0, prog)
                self.assertEqual(p.messages, [], prog)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
