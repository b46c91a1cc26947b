"""Takes the README's pictures under a private Xvfb: the progress window
after a conversion and the closing message over it.

    TV_BIN=build/bin TV_TESTBIN=build/tests PYTHONPATH=tests/e2e \
        /usr/bin/python3 tests/e2e/screenshots.py docs/img
"""
import os
import sys

import tvdriver

TEXT = "品名\t数量\t単価\nりんご\t3\t120\nみかん\t10\t40\n"
INI = "[Param]\nhtmlversion=5\nline_width_yn=ON\n"


def main(outdir):
    s = tvdriver.Session(width=640, height=400)
    try:
        s.clip_set(TEXT)
        p = s.run("tabvue-html", settings=INI)
        if p.wait_message() != 2:
            raise RuntimeError("expected the border question")
        p.answer(ok=True)
        if p.wait_message() != 1:
            raise RuntimeError("expected the closing message")
        d = p.dialog()
        w = p.window()
        s.move(w, 20, 20)
        s.move(d, 20, 180)
        tvdriver.time.sleep(0.5)   # let both windows repaint where they are
        s.screenshot(os.path.join(outdir, "progress.png"), wid=w)
        s.screenshot(os.path.join(outdir, "dialog.png"), wid=d)
        p.answer(ok=True)
        p.wait_exit()
    finally:
        s.close()


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "docs/img")
