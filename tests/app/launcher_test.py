#!/usr/bin/env python3
"""The installed program and its desktop launcher: `cmake --install` into a scratch prefix, then
the launcher prepares the default data folder from the installed template, never replacing what
is there, and the program starts in it (the settings file of a first start appears)."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else os.path.join(ROOT, "build")
TEMPLATE = os.path.join(ROOT, "data")


def files(folder):
    """Every file under `folder` with its bytes, keyed by relative path."""
    found = {}
    for here, _, names in os.walk(folder):
        for n in names:
            path = os.path.join(here, n)
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    found[os.path.relpath(path, folder)] = f.read()
    return found


class Launcher(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="tavo-install-")
        cls.prefix = os.path.join(cls.scratch, "prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)
        cls.launcher = os.path.join(cls.prefix, "bin", "tavo-launcher")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch)

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="home-", dir=self.scratch)
        self.data = os.path.join(self.home, ".local", "share", "tavo")

    def env(self, **extra):
        env = {"PATH": "/usr/bin:/bin", "HOME": self.home, "QT_QPA_PLATFORM": "offscreen"}
        env.update(extra)
        return env

    def start(self, data, **extra):
        """Starts the launcher, waits for the program's first activation in `data`, stops it."""
        proc = subprocess.Popen([self.launcher], env=self.env(**extra), cwd=self.scratch,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        ini = os.path.join(data, "Tavo.ini")
        deadline = time.monotonic() + 60
        while not os.path.exists(ini) and proc.poll() is None and time.monotonic() < deadline:
            time.sleep(0.1)
        time.sleep(0.3)
        running = proc.poll() is None
        if running:
            proc.send_signal(signal.SIGTERM)
        out, err = proc.communicate(timeout=30)
        self.assertTrue(running, "the program stopped: " + err.decode(errors="replace"))
        self.assertTrue(os.path.exists(ini), err.decode(errors="replace"))
        with open(ini, "rb") as f:
            self.assertIn(b"Langage=Fran\xe7ais", f.read())

    def test_empty_home_gets_a_prepared_data_folder(self):
        self.start(self.data)
        got = files(self.data)
        for name, content in files(TEMPLATE).items():
            self.assertEqual(got.get(name), content, name)
        for d in ("FICHES", "GALERIES", "IMGREF"):
            self.assertEqual(os.listdir(os.path.join(self.data, d)), [], d)
        self.assertFalse([n for n in got if ".part" in n])

    def test_existing_folder_is_completed_and_never_overwritten(self):
        os.makedirs(os.path.join(self.data, "FICHES"))
        os.makedirs(os.path.join(self.data, "Aide", "English"))
        mine = {"English.lng": b"#0001 0000  My own title\r\n",
                "FICHES/26034140509042.SIG": b"card"}
        for name, content in mine.items():
            with open(os.path.join(self.data, name), "wb") as f:
                f.write(content)
        # A dangling link where a help page goes must not be written through.
        outside = os.path.join(self.scratch, "outside-" + os.path.basename(self.home))
        os.symlink(outside, os.path.join(self.data, "Aide", "English", "Index.htm"))
        self.start(self.data)
        got = files(self.data)
        for name, content in mine.items():
            self.assertEqual(got[name], content, name)
        self.assertFalse(os.path.exists(outside))
        with open(os.path.join(TEMPLATE, "Defaut.bmp"), "rb") as f:
            self.assertEqual(got["Defaut.bmp"], f.read())
        self.assertTrue(os.path.isdir(os.path.join(self.data, "IMGREF")))

    def test_xdg_data_home_is_used_when_absolute(self):
        xdg = os.path.join(self.home, "xdg")
        self.start(os.path.join(xdg, "tavo"), XDG_DATA_HOME=xdg)
        self.assertFalse(os.path.exists(self.data))
        # A relative value is not a valid XDG location: the default under HOME is used.
        self.start(self.data, XDG_DATA_HOME="relative/xdg")

    def test_terminal_options_prepare_nothing(self):
        done = subprocess.run([self.launcher, "--version"], env=self.env(), capture_output=True,
                              text=True)
        self.assertEqual((done.returncode, done.stdout.split()[0]), (0, "Tavo"))
        done = subprocess.run([self.launcher, "--help"], env=self.env(), capture_output=True,
                              text=True)
        self.assertEqual(done.returncode, 0)
        self.assertIn("--data-folder DIR", done.stdout)
        done = subprocess.run([self.launcher, "--data-folder", os.path.join(self.home, "none")],
                              env=self.env(), capture_output=True, text=True)
        self.assertEqual(done.returncode, 1)
        self.assertIn("none", done.stderr)
        self.assertEqual(os.listdir(self.home), [])


if __name__ == "__main__":
    unittest.main()
