#!/usr/bin/env python3
"""Runs a test program's tests one suite per process.

Starting a test program costs about a second of processor time (the
sanitizers' shadow memory, relocations, the library's class registration),
more than most tests take; one process per test spent most of `make test`
on starting programs. Each suite now runs in one process, and a suite
passes only when every one of its tests passes there.

A test that fails in the shared process is then run again alone, in a fresh
process, to say what kind of fault it is: one that fails alone too, or one
that depends on what ran before it (state a test leaves behind, code that
works only the first time in a process). Both runs are printed, and both
kinds fail the suite: an order dependence is a fault the program has.

A test that crashes the process ends it: the tests after it run on in a
fresh process, and the crash fails the suite. The one exception is named in
KNOWN_CRASHES below: a crash whose report carries its mark is run again
alone, and passing there lets the suite pass, with both runs printed.

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
import re
import signal
import subprocess
import sys
import threading
import time

# A test run alone gets what the per-test runs got before.
ALONE_TIMEOUT = 120
# Seconds a grouped suite may take for each of its tests.
PER_TEST_TIMEOUT = 30

# Crashes outside the project's code that a second run may pass, each with
# the program it happens in, a pattern its crash report matches and why it
# is given a second chance. Nothing else is run again to decide a result.
KNOWN_CRASHES = []

RUN_LINE = re.compile(r"\[ RUN      \] (\S+)")
END_LINE = re.compile(r"\[ *(OK|FAILED|SKIPPED) *\] (\S+) \(")


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


class Run:
    """One process of the test program: what each test came to, in order.

    outcome maps a test to "passed", "failed" or "crashed" (the process
    ended, or ran out of time, while it ran); tests it did not reach are
    not in it. text is everything the process wrote, both streams."""

    def __init__(self, command, tests, timeout, title):
        self.order = []
        self.outcome = {}
        self.lines = []
        self.code = None
        self.timed_out = False
        print(f"gtest_groups.py: ---- {title} ----", flush=True)
        proc = subprocess.Popen(command + ["--gtest_filter=" + ":".join(tests)],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                start_new_session=True)
        reader = threading.Thread(target=self._read, args=(proc.stdout,), daemon=True)
        reader.start()
        try:
            self.code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.timed_out = True
            os.killpg(proc.pid, signal.SIGKILL)
            self.code = proc.wait()
        # A server the program started and left running may hold the pipe.
        reader.join(timeout=10)
        running = self.order[-1] if self.order and self.order[-1] not in self.outcome else None
        if running:
            self.outcome[running] = "out of time" if self.timed_out else "crashed"
        print(f"gtest_groups.py: ---- end of {title}: "
              + (f"out of time after {timeout} s" if self.timed_out else f"exit status {self.code}")
              + " ----", flush=True)

    def _read(self, stream):
        current = None
        for raw in iter(stream.readline, b""):
            sys.stdout.buffer.write(raw)
            sys.stdout.flush()
            line = raw.decode("utf-8", "replace")
            self.lines.append(line)
            m = RUN_LINE.search(line)
            if m:
                current = m.group(1)
                # A death test's child process may name its test again.
                if current not in self.order:
                    self.order.append(current)
                continue
            m = END_LINE.search(line)
            if m and m.group(2) == current:
                self.outcome[current] = "failed" if m.group(1) == "FAILED" else "passed"
                current = None

    def text_from(self, test):
        """What the process wrote from the start of `test` on."""
        for i, line in enumerate(self.lines):
            m = RUN_LINE.search(line)
            if m and m.group(1) == test:
                return "".join(self.lines[i:])
        return "".join(self.lines)


def known_crash(program, text):
    for name, where, mark, why in KNOWN_CRASHES:
        if where == program and re.search(mark, text):
            return name, why
    return None


def run(args):
    head, command = split_command(args)
    listing, suite = head
    with open(listing) as f:
        tests = json.load(f).get(suite)
    expected = [f"{suite}.{t}" for t in tests] if tests else None
    if expected is None:
        print(f"gtest_groups.py: no suite {suite}")
        return 1
    program = os.path.basename(command[-1])
    # The suite in one process; after a crash the tests not yet reached go
    # on in a fresh one.
    outcome = {}
    before = {}  # each test that did not pass: the tests run before it
    crash_text = {}
    left = list(expected)
    exit_fault = None
    part = 0
    while left:
        part += 1
        title = f"{suite}, in one process" + (f" (part {part}, after a crash)" if part > 1 else "")
        grouped = Run(command, left, PER_TEST_TIMEOUT * len(left) + 60, title)
        for i, test in enumerate(grouped.order):
            result = grouped.outcome.get(test)
            if result is None:
                continue
            outcome[test] = result
            if result != "passed":
                before[test] = grouped.order[:i]
                if result != "failed":
                    crash_text[test] = grouped.text_from(test)
        reached = [t for t in left if t in grouped.outcome]
        if not reached:
            for test in left:
                outcome[test] = "crashed"
                before[test] = []
                crash_text[test] = "".join(grouped.lines)
            break
        left = [t for t in left if t not in grouped.outcome]
        if not left and grouped.code != 0 and not grouped.timed_out and \
                all(r == "passed" for r in grouped.outcome.values()):
            # Every test passed but the process did not end well (a leak, a
            # crash at exit): that fails the suite, as it failed the test before.
            exit_fault = grouped.code
    bad = [t for t in expected if outcome.get(t) != "passed"]
    if not bad and exit_fault is None:
        return 0
    # Each test that did not pass in the suite's process, again alone: the
    # second run says what kind of fault it is, and fails the suite all the same,
    # but for a known crash.
    verdicts = []
    failed = exit_fault is not None
    for test in bad:
        alone = Run(command, [test], ALONE_TIMEOUT, f"{test}, alone")
        passes_alone = alone.outcome.get(test) == "passed" and alone.code == 0
        after = before.get(test, [])
        where = (f"after {len(after)} test(s) of its suite, the last {after[-1]}"
                 if after else "first in its process")
        known = (known_crash(program, crash_text[test])
                 if outcome[test] == "crashed" else None)
        if not passes_alone:
            verdicts.append(f"{test}: {outcome[test]} in one process ({where}), "
                            "and FAILED alone too")
            failed = True
        elif known:
            verdicts.append(f"{test}: crashed in one process ({where}), passed alone; "
                            f"a known crash, {known[0]} ({known[1]}): passes on its second run")
        else:
            verdicts.append(f"{test}: {outcome[test]} in one process ({where}), but passed "
                            "alone: it depends on what ran before it (state left behind, "
                            "code that works only the first time in a process) or on "
                            "timing (a race that a busy machine shows)")
            failed = True
    print(f"gtest_groups.py: {suite}:")
    for v in verdicts:
        print("  " + v)
    if exit_fault is not None:
        print(f"  every test passed but the process ended with {exit_fault}")
    print(f"gtest_groups.py: {suite} {'FAILED' if failed else 'passed'}")
    return 1 if failed else 0


def main():
    if len(sys.argv) < 2 or sys.argv[1] not in ("discover", "run"):
        sys.exit(__doc__)
    if sys.argv[1] == "discover":
        discover(sys.argv[2:])
        return 0
    return run(sys.argv[2:])


if __name__ == "__main__":
    sys.exit(main())
