"""tabvue-launch started from temporary folders that hold a stand-in
tabvue-html recording its environment and arguments: the library path
it is given, folders with awkward names, configured Office paths,
unreadable settings, and that the launcher waits for the converter."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

BIN = os.environ.get("TV_BIN", "build/bin")
LO = "/usr/lib/libreoffice"
LIBS = LO + "/program:" + LO + "/ure/lib"

# The stand-in converter: sleeps first, so a launcher that did not wait
# would be back before the record is complete.
FAKE = """#!/bin/sh
sleep 0.3
here=$(dirname "$0")
{
  printf 'ld=%s\\n' "${LD_LIBRARY_PATH-UNSET}"
  printf 'argc=%s\\n' "$#"
  printf 'arg0=%s\\n' "$0"
  printf 'end\\n'
} > "$here/record"
"""

SETTINGS_TEXT = ("初期化ファイルが読めません。UNICODEで記載していて、"
                 "入力可能なファイルか確認して下さい。\n").encode("utf-8")


def make_folder(parent, name, settings=None):
    d = os.path.join(parent, name)
    os.makedirs(d)
    shutil.copy(os.path.join(BIN, "tabvue-launch"), os.path.join(d, "tabvue-launch"))
    fake = os.path.join(d, "tabvue-html")
    with open(fake, "w") as f:
        f.write(FAKE)
    os.chmod(fake, 0o755)
    if settings is not None:
        with open(os.path.join(d, "TabvueHtml.ini"), "wb") as f:
            f.write(settings)
    return d


def launch(folder, ld=None, argv0=None, cwd=None, name="tabvue-launch"):
    env = {k: v for k, v in os.environ.items() if k != "LD_LIBRARY_PATH"}
    env["LANG"] = "C.UTF-8"
    if ld is not None:
        env["LD_LIBRARY_PATH"] = ld
    exe = os.path.join(folder, name)
    return subprocess.run([argv0 or exe], executable=exe, env=env, cwd=cwd,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=60)


def record(folder):
    """The stand-in's record, or None when it did not run or had not
    finished when the launcher returned."""
    try:
        with open(os.path.join(folder, "record"), encoding="utf-8") as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return None
    if not lines or lines[-1] != "end":
        return None
    return dict(l.split("=", 1) for l in lines if "=" in l)


@unittest.skipUnless(os.path.isdir(LO + "/program"), "no LibreOffice installed")
class Launch(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def test_library_path(self):
        cases = [("unset", None, LIBS),
                 ("empty", "", LIBS),
                 ("old", "/usr/local/lib", LIBS + ":/usr/local/lib"),
                 ("old-two", "/a:/b", LIBS + ":/a:/b")]
        for cid, old, want in cases:
            with self.subTest(cid):
                d = make_folder(self.tmp, cid)
                r = launch(d, ld=old)
                self.assertEqual(r.returncode, 0)
                self.assertEqual(r.stdout, b"")
                rec = record(d)
                self.assertIsNotNone(rec, "converter did not run")
                self.assertEqual(rec["ld"], want)
                self.assertEqual(rec["argc"], "0")
                self.assertEqual(rec["arg0"], os.path.join(d, "tabvue-html"))

    def test_awkward_folder_names(self):
        names = ["with space", "it's", "semi;colon", "dollar$(touch BAD)",
                 "back`tick`", "日本語"]
        for name in names:
            with self.subTest(name):
                d = make_folder(self.tmp, name)
                r = launch(d)
                self.assertEqual(r.returncode, 0)
                rec = record(d)
                self.assertIsNotNone(rec, "converter did not run")
                self.assertEqual(rec["arg0"], os.path.join(d, "tabvue-html"))
                self.assertEqual(rec["ld"], LIBS)
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "BAD")))

    def test_relative_start(self):
        d = make_folder(self.tmp, "rel")
        r = launch(d, argv0="./tabvue-launch", cwd=d)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(record(d)["arg0"], "./tabvue-html")

    def test_bare_name_start(self):
        """Started through PATH, argv[0] has no "/": the bare name is
        taken as the folder, so the converter is looked for under it."""
        d = make_folder(self.tmp, "tabvue-launch")
        r = launch(d, argv0="tabvue-launch", cwd=self.tmp)
        self.assertEqual(r.returncode, 0)
        self.assertEqual(r.stdout, b"")
        self.assertEqual(record(d)["arg0"], "tabvue-launch/tabvue-html")

    def test_configured_office_path(self):
        cases = [
            ("conf", b"[Path]\nOffice_path=/opt/lo/program\nRdb_path=/opt/lo/program/types\n",
             "/opt/lo/program:/opt/lo/ure/lib"),
            ("conf-slash", b"[Path]\r\nOffice_path=/opt/lo/program/\r\nRdb_path=/x\r\n",
             "/opt/lo/program:/opt/lo/ure/lib"),
            ("conf-real", ("[Path]\nOffice_path=" + LO + "/program\nRdb_path=" + LO +
                           "/program/types\n").encode(), LIBS),
            ("other-keys", b"[Log]\nTime=OFF\n[Evasion]\nEvasion=ON\n[Locale]\nLocale=C.UTF-8\n",
             LIBS),
        ]
        for cid, ini, want in cases:
            with self.subTest(cid):
                d = make_folder(self.tmp, cid, ini)
                r = launch(d)
                self.assertEqual(r.returncode, 0)
                self.assertEqual(r.stdout, b"")
                self.assertEqual(record(d)["ld"], want)

    def test_unreadable_settings_run_nothing(self):
        cases = [
            ("office-only", b"[Path]\nOffice_path=/opt/lo/program\n"),
            ("rdb-only", b"[Path]\nRdb_path=/opt/lo/types\n"),
            ("utf16", "[Log]\nTime=ON\n".encode("utf-16")),
        ]
        for cid, ini in cases:
            with self.subTest(cid):
                d = make_folder(self.tmp, cid, ini)
                r = launch(d)
                self.assertEqual(r.returncode, 0)
                self.assertEqual(r.stdout, SETTINGS_TEXT)
                self.assertIsNone(record(d))

    def test_overlong_paths_run_nothing(self):
        """argv[0] too long for the folder path, and a folder path that
        fits while the settings file name after it would not."""
        path_text = ("ソフトウェアを格納しているフォルダのパスを"
                     "調べられませんでした。\n").encode("utf-8")
        d = self.tmp
        while len(d) < 1100:
            d = os.path.join(d, "x" * 200)
        for cid, folder_len, name in [("argv0-too-long", None, "tabvue-launch"),
                                      ("settings-name-too-long", 1015, "l")]:
            with self.subTest(cid):
                if folder_len:
                    base = os.path.join(self.tmp, "s")
                    while len(base) < folder_len - 201:
                        base = os.path.join(base, "y" * 200)
                    base = os.path.join(base, "z" * (folder_len - len(base) - 3))
                    folder = make_folder(base, "f")
                    self.assertEqual(len(folder), folder_len)
                    os.symlink("tabvue-launch", os.path.join(folder, name))
                else:
                    folder = make_folder(d, "deep")
                r = launch(folder, name=name)
                self.assertEqual(r.returncode, 0)
                self.assertEqual(r.stdout, path_text)
                self.assertIsNone(record(folder))


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
