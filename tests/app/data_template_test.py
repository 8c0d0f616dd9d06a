#!/usr/bin/env python3
"""The data-folder template: scripts/make-demo-data prepares a folder the program can start in
without ever touching what is already there, and Defaut.bmp is a picture the card form can show."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAKE_DEMO = os.path.join(ROOT, "scripts", "make-demo-data")
TEMPLATE = os.path.join(ROOT, "data")
LANGUAGES = ["Français", "English", "Deutsch", "Español", "Italiano", "Nederlands", "Português"]
REQUIRED_FILES = ["Defaut.bmp"] + [
    path for language in LANGUAGES for path in (
        f"{language}.lng", f"Aide/{language}/Index.htm", f"Aide/{language}/Lauteur.htm")]
TREE_FOLDERS = ["FICHES", "GALERIES", "IMGREF"]


def tree(folder):
    """Every file and folder under `folder`, with the bytes of each file."""
    found = {}
    for here, dirs, files in os.walk(folder):
        for d in dirs:
            found[os.path.relpath(os.path.join(here, d), folder) + "/"] = None
        for f in files:
            path = os.path.join(here, f)
            with open(path, "rb") as fh:
                found[os.path.relpath(path, folder)] = fh.read()
    return found


def make_demo(dest, cwd=None):
    return subprocess.run([MAKE_DEMO, dest], capture_output=True, text=True, cwd=cwd)


class MakeDemoData(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.dest = os.path.join(self.tmp, "demo data")  # a blank in the name on purpose

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def test_fresh_folder_holds_template_and_tree_folders(self):
        done = make_demo(self.dest)
        self.assertEqual(done.returncode, 0, done.stderr)
        for name in REQUIRED_FILES:
            with open(os.path.join(TEMPLATE, name), "rb") as a, \
                 open(os.path.join(self.dest, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        for name in TREE_FOLDERS:
            self.assertTrue(os.path.isdir(os.path.join(self.dest, name)), name)
            self.assertEqual(os.listdir(os.path.join(self.dest, name)), [])

    def test_relative_folder_is_made_under_the_current_directory(self):
        done = make_demo("demo", cwd=self.tmp)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(os.path.isfile(os.path.join(self.tmp, "demo", "Defaut.bmp")))

    def test_second_run_changes_nothing_and_keeps_user_files(self):
        self.assertEqual(make_demo(self.dest).returncode, 0)
        # The folder is in use: a tree, settings, a translation edited by hand.
        with open(os.path.join(self.dest, "FICHES", "20240101000000.SIG"), "wb") as f:
            f.write(b"card")
        with open(os.path.join(self.dest, "Tavo.ini"), "w") as f:
            f.write("[Interface]\nLangage=English\n")
        with open(os.path.join(self.dest, "English.lng"), "wb") as f:
            f.write(b"#0001 0000  My own title\r\n")
        before = tree(self.dest)

        done = make_demo(self.dest)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("0 file(s) copied", done.stdout)
        self.assertEqual(tree(self.dest), before)

    def test_missing_pieces_are_put_back(self):
        self.assertEqual(make_demo(self.dest).returncode, 0)
        os.remove(os.path.join(self.dest, "Aide", "English", "Index.htm"))
        os.rmdir(os.path.join(self.dest, "IMGREF"))
        done = make_demo(self.dest)
        self.assertIn("1 file(s) copied", done.stdout)
        self.assertTrue(os.path.isfile(os.path.join(self.dest, "Aide", "English", "Index.htm")))
        self.assertTrue(os.path.isdir(os.path.join(self.dest, "IMGREF")))

    def test_refusals(self):
        a_file = os.path.join(self.tmp, "a file")
        open(a_file, "w").close()
        self.assertNotEqual(make_demo(a_file).returncode, 0)
        # Copying the template into itself would nest it without end.
        inside = os.path.join(TEMPLATE, "demo")
        self.assertNotEqual(make_demo(inside).returncode, 0)
        self.assertFalse(os.path.exists(inside))
        self.assertEqual(subprocess.run([MAKE_DEMO], capture_output=True).returncode, 2)


class DefaultPicture(unittest.TestCase):
    def test_is_an_uncompressed_24_bit_bmp_of_about_159_pixels(self):
        with open(os.path.join(TEMPLATE, "Defaut.bmp"), "rb") as f:
            data = f.read()
        magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
        header, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data,
                                                                              14)
        self.assertEqual(magic, b"BM")
        self.assertEqual(size, len(data))
        self.assertEqual((header, planes, bits, compression), (40, 1, 24, 0))
        self.assertTrue(150 <= width <= 161 and 150 <= abs(height) <= 161, (width, height))
        stride = (width * 3 + 3) & ~3
        self.assertEqual(len(data) - offset, stride * abs(height))
        # A real picture, not a flat fill.
        self.assertGreater(len(set(data[offset:offset + stride * abs(height):3])), 20)


if __name__ == "__main__":
    unittest.main()
