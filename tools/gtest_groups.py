#!/usr/bin/env python3
"""Runs a test program's tests one suite per process.

Starting a test program costs about a second of processor time (the
sanitizers' shadow memory, relocations, the library's class registration),
more than most tests take; one process per test spent most of `make test`
on starting programs. Each suite now runs in one process. A test that fails
there, or that did not run because an earlier one crashed the process, is
run again alone, in a fresh process, and decides the result: every test
still proves what it proves alone, and an order dependence between tests of
one suite is reported without failing the suite.

  gtest_groups.py discover OUT NAME LABELS WORKDIR -- LAUNCHER... PROGRAM
      lists the program's suites and writes OUT, a CTest file with one test
      per suite ("NAME:SUITE"); LABELS is a list separated by ';' or "-".
      Beside it, OUT.json holds each suite's tests.
  gtest_groups.py run LIST SUITE -- LAUNCHER... PROGRAM
      runs one suite as described above, with its tests from LIST (the
      OUT.json of discover); exits 0 when every test passed.
"""

import json
import os
import subprocess
import sys
import tempfile

# A test run alone gets what the per-test runs got before.
ALONE_TIMEOUT = 120
# Seconds a grouped suite may take for each of its tests.
PER_TEST_TIMEOUT = 30


def split_command(argv):
    if "--" not in argv:
        sys.exit("gtest_groups.py: the command follows --")
    i = argv.index("--")
    return argv[:i], argv[i + 1:]


def list_tests(command):
    """The program's suites in their order, each with its enabled tests."""
    out = subprocess.run(command + ["--gtest_list_tests"], check=True,
                         stdout=subprocess.PIPE, universal_newlines=True,
                         timeout=120).stdout
    suites = []
    for line in out.splitlines():
        if not line.strip() or line.startswith("Running main()"):
            continue
        name = line.split("#", 1)[0].strip()
        if not line.startswith(" "):
            suites.append((name.rstrip("."), []))
        elif suites:
            suites[-1][1].append(name)
    enabled = []
    for suite, tests in suites:
        if suite.startswith("DISABLED_") or "/DISABLED_" in suite:
            continue
        tests = [t for t in tests if not t.startswith("DISABLED_")]
        if tests:
            enabled.append((suite, tests))
    return enabled


def cmake_quote(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"').replace(";", "\\;") + '"'


def discover(args):
    head, command = split_command(args)
    out, name, labels, workdir = head
    labels = "" if labels == "-" else labels
    me = os.path.abspath(__file__)
    lines = []
    suites = list_tests(command)
    listing = out + ".json"
    for suite, tests in suites:
        test = f"{name}:{suite}"
        words = [sys.executable, me, "run", listing, suite, "--"] + command
        lines.append(f"add_test({cmake_quote(test)} " + " ".join(cmake_quote(w) for w in words) + ")")
        props = [
            f"WORKING_DIRECTORY {cmake_quote(workdir)}",
            f"TIMEOUT {ALONE_TIMEOUT + PER_TEST_TIMEOUT * len(tests)}",
            # The longest suites first, so that two cores end together: the
            # X server's tests each start a server and often a program.
            f"COST {len(tests) * (20 if 'x11' in labels.split(';') else 1)}",
        ]
        if labels:
            props.append(f"LABELS {cmake_quote(labels)}")
        lines.append(f"set_tests_properties({cmake_quote(test)} PROPERTIES " + " ".join(props) + ")")
    with open(listing + ".tmp", "w") as f:
        json.dump(dict(suites), f)
    os.replace(listing + ".tmp", listing)
    with open(out + ".tmp", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(out + ".tmp", out)


def results(path):
    """Names of the tests that passed or were skipped, from a JSON report."""
    passed = set()
    try:
        with open(path) as f:
            report = json.load(f)
    except (OSError, ValueError):
        return passed
    for suite in report.get("testsuites", []):
        for test in suite.get("testsuite", []):
            if test.get("result") in ("COMPLETED", "SKIPPED") and not test.get("failures"):
                passed.add(f"{suite['name']}.{test['name']}")
    return passed


def run(args):
    head, command = split_command(args)
    listing, suite = head
    with open(listing) as f:
        tests = json.load(f).get(suite)
    expected = [f"{suite}.{t}" for t in tests] if tests else None
    if expected is None:
        print(f"gtest_groups.py: no suite {suite}")
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        report = os.path.join(tmp, "report.json")
        try:
            grouped = subprocess.run(command + [f"--gtest_filter={suite}.*",
                                                f"--gtest_output=json:{report}"],
                                     timeout=PER_TEST_TIMEOUT * len(expected) + 60)
            code = grouped.returncode
        except subprocess.TimeoutExpired:
            print(f"gtest_groups.py: {suite} ran out of time in one process")
            code = -1
        passed = results(report)
    again = [t for t in expected if t not in passed]
    if not again and code == 0:
        return 0
    if not again:
        # Every test passed but the process did not end well (a leak, a
        # crash at exit): that fails the suite, as it failed the test before.
        print(f"gtest_groups.py: {suite} passed but its process ended with {code}")
        return 1
    print(f"gtest_groups.py: {len(again)} test(s) of {suite} did not pass in one process; "
          "each runs again alone")
    failed = []
    for test in again:
        try:
            alone = subprocess.run(command + [f"--gtest_filter={test}"], timeout=ALONE_TIMEOUT)
            ok = alone.returncode == 0
        except subprocess.TimeoutExpired:
            ok = False
        print(f"gtest_groups.py: {test} alone: {'passed' if ok else 'FAILED'}")
        if not ok:
            failed.append(test)
    if failed:
        print("gtest_groups.py: failed alone: " + " ".join(failed))
        return 1
    print(f"gtest_groups.py: {suite}: every test passes alone; the ones above depend on "
          "what ran before them in one process")
    return 0


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("discover", "run"):
        sys.exit(__doc__)
    if sys.argv[1] == "discover":
        discover(sys.argv[2:])
        return 0
    return run(sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())
