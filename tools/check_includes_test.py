#!/usr/bin/env python3
"""The include check refuses planted wrong includes and names file and rule."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_includes.py")

# Files every planted tree holds, so that quoted includes resolve.
BASE = ["si/object.h", "si/grail.h", "si/view.h", "app/doc.h", "w32/kernel.h",
        "sd/win32/sd_system.h", "zoveda/gfxsurface.h"]

# (file, included line, expected piece of the message or None when allowed)
CASES = [
    ("si/a.cpp", '#include "app/doc.h"', "of layer program (rule: layer foundation includes only"),
    ("si/a.cpp", '#include "w32/kernel.h"', "(rule: si/ reaches w32/ only through sd/)"),
    ("si/a.cpp", "#include <unistd.h>", "(rule: system, POSIX and X11 headers only in w32/)"),
    ("si/a.cpp", "#include <X11/Xlib.h>", "(rule: system, POSIX and X11 headers only in w32/)"),
    ("si/a.cpp", "#include <thread>", "threads, clocks, locks and files only in w32/ and sd/)"),
    ("si/a.cpp", "#include FT_FREETYPE_H", "(rule: FreeType only in zoveda/gfxfontcache)"),
    ("si/a.cpp", "#include <png.h>", "(rule: libpng only in si/loadpng, sd/common/sd_pngreader)"),
    ("si/grail.cpp", '#include "si/view.h"', "of layer events (rule: layer graphics includes only"),
    ("zoveda/x.cpp", '#include "si/object.h"', "of layer foundation (rule: layer engine includes only"),
    ("app/a.cpp", "#include <iapi.h>", "(rule: Ghostscript only in ghost/)"),
    ("ghost/g.cpp", "#include <dlfcn.h>", "(rule: system, POSIX and X11 headers only in w32/)"),
    ("si/a.cpp", '#include "tests/support/x.h"', "belongs to no layer"),
    # Allowed:
    ("ghost/g.cpp", "#include <iapi.h>", None),
    ("ghost/g.cpp", '#include "w32/kernel.h"', None),
    ("si/loadpng.cpp", "#include <png.h>", None),
    ("zoveda/gfxfontcache.cpp", "#include <ft2build.h>", None),
    ("si/view.cpp", '#include "si/grail.h"', None),
    ("si/a.cpp", '#include "sd/win32/sd_system.h"', None),
    ("sd/win32/x.cpp", "#include <mutex>", None),
    ("w32/x.cpp", "#include <pthread.h>", None),
    ("si/a.cpp", "#include <vector>", None),
]


class PlantedIncludes(unittest.TestCase):
    def run_check(self, planted, line):
        root = tempfile.mkdtemp(prefix="incl")
        try:
            os.makedirs(os.path.join(root, "tools"))
            shutil.copy(os.path.join(HERE, "layers.txt"), os.path.join(root, "tools"))
            os.makedirs(os.path.join(root, "tests/support"))
            open(os.path.join(root, "tests/support/x.h"), "w").close()
            for name in BASE + [planted]:
                path = os.path.join(root, name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "a") as f:
                    if name == planted:
                        f.write("// planted\n" + line + "\n")
            return subprocess.run([sys.executable, CHECK, "--root", root],
                                  capture_output=True, text=True)
        finally:
            shutil.rmtree(root)

    def test_cases(self):
        for planted, line, expected in CASES:
            with self.subTest(file=planted, line=line):
                done = self.run_check(planted, line)
                if expected is None:
                    self.assertEqual(0, done.returncode, done.stdout)
                else:
                    self.assertEqual(1, done.returncode, done.stdout)
                    self.assertIn("%s:2: includes" % planted, done.stdout)
                    self.assertIn(expected, done.stdout)


if __name__ == "__main__":
    unittest.main()
