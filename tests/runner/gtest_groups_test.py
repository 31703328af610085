#!/usr/bin/env python3
"""Checks tools/gtest_groups.py against a small gtest program.

  gtest_groups_test.py PROGRAM
"""

import os
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
RUNNER = os.path.join(TOOLS, "gtest_groups.py")
PROGRAM = None


class GtestGroupsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.dir.name, "probe_suites.cmake")
        subprocess.run([sys.executable, RUNNER, "discover", cls.out, "probe", "-",
                        cls.dir.name, "--", PROGRAM], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def run_suite(self, suite, known=None):
        """The runner's exit status and output for one suite; known, a list of
        known crashes put in place of the runner's own."""
        args = ["run", self.out + ".json", suite, "--", PROGRAM]
        if known is None:
            command = [sys.executable, RUNNER] + args
        else:
            command = [sys.executable, "-c",
                       "import sys; sys.path.insert(0, sys.argv[1]); import gtest_groups as g; "
                       f"g.KNOWN_CRASHES = {known!r}; sys.exit(g.run(sys.argv[3:]))",
                       TOOLS] + args
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              universal_newlines=True, timeout=60)
        return done.returncode, done.stdout

    def test_discover_lists_each_suite_as_one_test(self):
        with open(self.out) as f:
            text = f.read()
        for suite in ("Clean", "OrderDependent", "Crashes", "FailsAlways", "Counted"):
            self.assertIn(f'add_test("probe:{suite}"', text)

    def test_a_suite_that_passes_in_one_process_passes(self):
        code, out = self.run_suite("Clean")
        self.assertEqual(code, 0, out)
        self.assertNotIn("alone", out)

    def test_a_test_that_fails_in_its_suite_and_passes_alone_fails_the_suite(self):
        code, out = self.run_suite("OrderDependent")
        self.assertEqual(code, 1, out)
        # Both runs are shown, and the verdict names the test before it.
        self.assertIn("---- OrderDependent, in one process ----", out)
        self.assertIn("---- OrderDependent.NeedsACleanProcess, alone ----", out)
        self.assertIn("OrderDependent.NeedsACleanProcess: failed in one process (after 1 "
                      "test(s) of its suite, the last OrderDependent.LeavesState), but passed "
                      "alone", out)
        self.assertIn("OrderDependent FAILED", out)

    def test_a_crash_fails_the_suite_and_the_tests_after_it_still_run(self):
        code, out = self.run_suite("Crashes")
        self.assertEqual(code, 1, out)
        self.assertIn("Crashes, in one process (part 2, after a crash)", out)
        self.assertIn("[       OK ] Crashes.After", out)
        self.assertIn("Crashes.Dies: crashed in one process", out)
        self.assertIn("FAILED alone too", out)
        self.assertNotIn("Crashes.After:", out)

    def test_a_test_that_fails_alone_fails_the_suite(self):
        code, out = self.run_suite("FailsAlways")
        self.assertEqual(code, 1, out)
        self.assertIn("FailsAlways.Fails: failed in one process (first in its process), "
                      "and FAILED alone too", out)

    def test_only_a_named_known_crash_passes_on_its_second_run(self):
        code, out = self.run_suite("Counted")
        self.assertEqual(code, 1, out)
        self.assertIn("Counted.CrashesInCompany: crashed in one process", out)
        known = [("the probe's crash", "order_probe", "known crash mark", "a test of the runner")]
        code, out = self.run_suite("Counted", known)
        self.assertEqual(code, 0, out)
        self.assertIn("a known crash, the probe's crash (a test of the runner): passes on "
                      "its second run", out)
        # Another program's crash with the same mark is no exception.
        other = [("the probe's crash", "another_program", "known crash mark", "elsewhere")]
        code, out = self.run_suite("Counted", other)
        self.assertEqual(code, 1, out)


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
