#!/usr/bin/env python3
"""The shipped language files pass scripts/check-language-files, and the checker catches the
faults that would break them for the program."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CHECKER = os.path.join(ROOT, "scripts", "check-language-files")
TEMPLATE = os.path.join(ROOT, "data")
LANGUAGES = ["Français", "English", "Deutsch", "Español", "Italiano", "Nederlands", "Português"]


def run_checker(data_dir, qt_translations=None):
    env = dict(os.environ)
    if qt_translations:
        env["TAVO_QT_TRANSLATIONS"] = qt_translations
    done = subprocess.run([sys.executable, CHECKER, data_dir], capture_output=True, text=True,
                          env=env)
    return done.returncode, done.stdout


class ShippedFiles(unittest.TestCase):
    def test_template_passes(self):
        code, out = run_checker(TEMPLATE)
        self.assertEqual(code, 0, out)

    def test_names_are_utf8_on_disk(self):
        names = os.listdir(os.fsencode(TEMPLATE))
        help_folders = os.listdir(os.path.join(os.fsencode(TEMPLATE), b"Aide"))
        for language in LANGUAGES:
            self.assertIn((language + ".lng").encode("utf-8"), names)
            self.assertIn(language.encode("utf-8"), help_folders)

    def test_french_file_holds_cp1252_accents(self):
        with open(os.path.join(TEMPLATE, "Français.lng"), "rb") as f:
            data = f.read()
        self.assertIn("#0009 0000  Propriétés\r\n".encode("cp1252"), data)
        self.assertIn(b"#0103 0000\r\n", data)  # an edit box: no text


class CheckerFindsFaults(unittest.TestCase):
    """Each case spoils one file of a copy of the template; the checker must fail and say why."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.dir = os.path.join(self.tmp, "data")
        self.reset()

    def reset(self):
        shutil.rmtree(self.dir, ignore_errors=True)
        shutil.copytree(TEMPLATE, self.dir)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def spoil(self, name, change):
        path = os.path.join(self.dir, name)
        with open(path, "rb") as f:
            data = f.read()
        changed = change(data)
        self.assertNotEqual(changed, data, "the change must alter the file")
        with open(path, "wb") as f:
            f.write(changed)

    def assertFails(self, expected):
        code, out = run_checker(self.dir)
        self.assertEqual(code, 1, out)
        self.assertIn(expected, out)

    def test_encoding_faults(self):
        cases = [
            ("Français.lng", lambda b: b.decode("cp1252").encode("utf-8"), "encoded in UTF-8"),
            ("English.lng", lambda b: b"\xef\xbb\xbf" + b, "byte-order mark"),
            ("English.lng", lambda b: b.replace(b"Tree card\r\n", b"Tree card\n"),
             "line end is not CR LF"),
            ("English.lng", lambda b: b.replace(b"=== Main window ===", b"\x81"),
             "not a Windows-1252 character"),
            ("English.lng", lambda b: b.replace(b"=== Main window ===", b"\x1a"), "Ctrl-Z"),
        ]
        for name, change, expected in cases:
            with self.subTest(expected):
                self.reset()
                self.spoil(name, change)
                self.assertFails(expected)

    def test_layout_faults(self):
        cases = [
            # A comment that starts with "#" is read as an entry by the program.
            (lambda b: b.replace(b"=== Main window ===", b"# Main window"), "not laid out"),
            (lambda b: b.replace(b"#0002 0000  Tree", b"#2 0  Tree"), "not laid out"),
            (lambda b: b.replace(b"#0002 0000  Tree", b"  #0002 0000  Tree"), "column 1"),
            (lambda b: b + b"#0001 0000  Again\r\n", "given twice"),
        ]
        for change, expected in cases:
            with self.subTest(expected):
                self.reset()
                self.spoil("English.lng", change)
                self.assertFails(expected)

    def test_content_faults(self):
        cases = [
            (lambda b: b.replace(b"#9999 0055", b"xx #9999 0055"), "missing section 9999, key 55"),
            (lambda b: b.replace(b"#0025 0001  Opens the tree's card.", b"#0025 0001"),
             "section 25, key 1 has no text"),
            (lambda b: b.replace(b"#0103 0000\r\n", b"#0103 0000  Name\r\n"), "must be empty"),
            (lambda b: b + b"#0123 0000  A picture\r\n", "section 123, key 0 is not used"),
        ]
        for change, expected in cases:
            with self.subTest(expected):
                self.reset()
                self.spoil("English.lng", change)
                self.assertFails(expected)

    def test_other_languages_follow_the_french_file(self):
        cases = [
            # A key the French file gained and a translation lacks.
            ("Français.lng", lambda b: b + b"#9999 0999  Nouveau message\r\n",
             "Deutsch.lng: missing section 9999, key 999"),
            ("Italiano.lng", lambda b: b.replace(b"#0025 0001  Apre la scheda dell'albero.",
                                                 b"#0025 0001"), "section 25, key 1 has no text"),
            ("Français.lng", lambda b: b.replace(b"#9999 0047  photos", b"#9999 0047  %1 photos"),
             "English.lng: section 9999, key 47 does not keep the placeholders"),
            ("Nederlands.lng", lambda b: b.replace(b"#0990 0000  nl_NL", b"#0990 0000  de_DE"),
             "locale de_DE is already the locale of Deutsch.lng"),
            ("Português.lng", lambda b: b.replace(b"#0990 0000  pt_BR", b"#0990 0000  Portugal"),
             'section 990 holds "Portugal", not a locale'),
        ]
        for name, change, expected in cases:
            with self.subTest(expected):
                self.reset()
                self.spoil(name, change)
                self.assertFails(expected)

    def test_locale_needs_a_qt_translation(self):
        qt = os.path.join(self.tmp, "qt")
        os.mkdir(qt)
        for found in ("fr", "en", "de", "es", "it", "nl", "pt_BR"):
            open(os.path.join(qt, f"qtbase_{found}.qm"), "wb").close()
        self.assertEqual(run_checker(self.dir, qt)[0], 0)
        self.spoil("Português.lng",
                   lambda b: b.replace(b"#0990 0000  pt_BR", b"#0990 0000  pt_PT"))
        code, out = run_checker(self.dir, qt)
        self.assertEqual(code, 1, out)
        self.assertIn("Português.lng: Qt has no translation for locale pt_PT", out)

    def test_missing_files(self):
        os.remove(os.path.join(self.dir, "Aide", "English", "Lauteur.htm"))
        self.assertFails("Aide/English/Lauteur.htm is missing")
        self.reset()
        os.remove(os.path.join(self.dir, "Français.lng"))
        self.assertFails("Français.lng is missing")


if __name__ == "__main__":
    unittest.main()
