"""tabvue-envcheck on this machine: its whole output under a UTF-8 and
the plain C locale, the same with a settings file beside it, and that it
starts no process."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BIN = os.environ.get("TV_BIN", "build/bin")
LO = "/usr/lib/libreoffice"
PROG = LO + "/program"


def installed_version():
    """The version the checker should show, read the way it reads it."""
    try:
        with open(PROG + "/versionrc", encoding="utf-8") as f:
            m = re.search(r"^ProductMajor=(\S+)", f.read(), re.M)
        if m:
            v = m.group(1)
            return v[0] + "." + v[1:]
    except OSError:
        pass
    with open(PROG + "/bootstraprc", encoding="utf-8") as f:
        return re.search(r"^ProductKey=LibreOffice (\d+\.\d+)$", f.read(), re.M).group(1)


def expected():
    return ("このソフトは、Officeの環境を取得出来ているのかを検証します。\n"
            "このソフトは、初期化ファイルの設定は参照しません。\n\n"
            "このパッケージは、LibreOffice バージョン 4.4 で動作します。\n\n"
            "Office バージョン\n  " + installed_version() + "\n"
            "Office バス\n  " + PROG + "\n"
            "offapi.rdb バス\n  URE_MORE_TYPES  file://" + PROG + "/types/offapi.rdb\n"
            "サーバー起動コマンド\n  " + PROG + "/soffice.bin --headless "
            "--nofirststartwizard --accept='socket,host=localhost,port=2083;"
            "urp;StarOffice.ServiceManager' &\n").encode("utf-8")


def run(exe, lang):
    env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
    env.pop("LANG", None)
    if lang:
        env["LANG"] = lang
    env["LD_LIBRARY_PATH"] = PROG
    return subprocess.run([exe], env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=60)


@unittest.skipUnless(os.path.isdir(PROG), "no LibreOffice installed")
class Envcheck(unittest.TestCase):
    def setUp(self):
        self.exe = os.path.join(BIN, "tabvue-envcheck")

    def test_output_by_locale(self):
        for lang in ("C.UTF-8", None):
            with self.subTest(lang=lang):
                r = run(self.exe, lang)
                self.assertEqual(r.returncode, 0)
                self.assertEqual(r.stdout, expected())
                self.assertEqual(r.stderr, b"")

    def test_settings_beside_it_are_ignored(self):
        with tempfile.TemporaryDirectory() as d:
            exe = os.path.join(d, "tabvue-envcheck")
            shutil.copy(self.exe, exe)
            for name in ("TabvueHtml.ini", "TabvueWiki.ini"):
                with open(os.path.join(d, name), "w", encoding="utf-8") as f:
                    f.write("[Path]\nOffice_path=/nowhere/program\n"
                            "Rdb_path=/nowhere/types\n[Locale]\nLocale=C\n")
            r = run(exe, "C.UTF-8")
            self.assertEqual(r.returncode, 0)
            self.assertEqual(r.stdout, expected())

    @unittest.skipUnless(shutil.which("strace"), "strace not installed")
    def test_starts_nothing(self):
        with tempfile.TemporaryDirectory() as d:
            log = os.path.join(d, "trace")
            r = subprocess.run(["strace", "-f", "-qq", "-o", log, "-e",
                                "trace=execve,fork,vfork,clone,clone3", self.exe],
                               env=dict(os.environ, LANG="C.UTF-8"),
                               stdout=subprocess.PIPE, timeout=60)
            self.assertEqual(r.returncode, 0)
            with open(log, encoding="utf-8", errors="replace") as f:
                calls = [l for l in f if re.search(r"\b(execve|v?fork|clone3?)\(", l)]
            self.assertEqual(len(calls), 1, calls)     # its own execve only
            self.assertIn("execve(", calls[0])


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
