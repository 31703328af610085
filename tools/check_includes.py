#!/usr/bin/env python3
"""Checks the include directions of the library and program sources.

The layers and the outside libraries come from tools/layers.txt. Rules:
  - a file includes only its own layer and the layers below it;
  - files of si/ reach w32/ only through sd/;
  - system, POSIX and X11 headers only in w32/; the standard library's
    threads, clocks, locks and file system only in w32/ and sd/;
  - an outside library's headers only in the files its "only" lines name.
Tests, benchmarks, fuzz targets and tools are not checked.

Usage: check_includes.py [--root DIR] [FILE...]   (no files: the whole tree)
Prints one line per broken rule, naming the file, the line, the include and
the rule, and exits with 1 when any rule is broken.
"""

import argparse
import os
import re
import sys

CHECKED_DIRS = ("zoveda", "w32", "sd", "si", "app", "ghost")
SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp")

# The C++17 standard library, C headers in their C++ form included.
STANDARD = set("""
algorithm any array atomic bitset cassert cctype cerrno cfenv cfloat charconv
cinttypes climits clocale cmath codecvt complex cstdarg cstddef cstdint cstdio
cstdlib cstring cuchar cwchar cwctype deque exception execution forward_list
functional initializer_list iomanip ios iosfwd iostream istream iterator limits
list locale map memory memory_resource new numeric optional ostream queue
random ratio regex scoped_allocator set sstream stack stdexcept streambuf
string string_view system_error tuple type_traits typeindex typeinfo
unordered_map unordered_set utility valarray variant vector
""".split())
# The parts of the standard library that are system services.
SERVICES = set("""
thread chrono ctime mutex shared_mutex condition_variable future filesystem
fstream csignal csetjmp
""".split())


def parse_table(path):
    layers, uses, dirs, files, externs = [], {}, [], {}, []
    current = None
    with open(path, encoding="utf-8") as table:
        for number, raw in enumerate(table, 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            words = line.split()
            if words[0] == "layer":
                current = ("layer", words[1])
                layers.append(words[1])
                uses[words[1]] = words[3:] if len(words) > 2 and words[2] == "uses" else []
            elif words[0] == "extern":
                current = ("extern", len(externs))
                externs.append({"name": words[1], "headers": words[2:], "only": []})
            elif words[0] == "dir" and current and current[0] == "layer":
                dirs.append((words[1].rstrip("/") + "/", current[1]))
            elif words[0] == "file" and current and current[0] == "layer":
                files[words[1]] = current[1]
            elif words[0] == "only" and current and current[0] == "extern":
                externs[current[1]]["only"].extend(words[1:])
            else:
                raise SystemExit("%s:%d: cannot read %r" % (path, number, raw.strip()))
    reach = {}
    for layer in layers:
        seen, todo = {layer}, list(uses[layer])
        while todo:
            below = todo.pop()
            if below not in seen:
                seen.add(below)
                todo.extend(uses.get(below, []))
        reach[layer] = seen
    return layers, reach, dirs, files, externs


class Checker:
    def __init__(self, root):
        self.root = root
        table = os.path.join(root, "tools", "layers.txt")
        self.layers, self.reach, self.dirs, self.files, self.externs = parse_table(table)

    def layer_of(self, rel):
        stem = os.path.splitext(rel)[0]
        if stem in self.files:
            return self.files[stem]
        best = None
        for prefix, layer in self.dirs:
            if rel.startswith(prefix) and (best is None or len(prefix) > len(best[0])):
                best = (prefix, layer)
        return best[1] if best else None

    def allowed_in(self, rel, only):
        stem = os.path.splitext(rel)[0]
        return any(rel.startswith(o) if o.endswith("/") else stem == o for o in only)

    def extern_of(self, name):
        for ext in self.externs:
            for header in ext["headers"]:
                if header.endswith("/") and name.startswith(header):
                    return ext
                if header.endswith("_") and name.startswith(header):
                    return ext
                if name == header:
                    return ext
        return None

    def check_file(self, rel):
        layer = self.layer_of(rel)
        if layer is None:
            return []
        problems = []
        path = os.path.join(self.root, rel)
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                m = re.match(r'\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>|([A-Za-z_][A-Za-z0-9_]*))', line)
                if not m:
                    continue
                quoted, angled, macro = m.groups()
                where = "%s:%d: " % (rel, number)
                if quoted:
                    problems += self.check_quoted(rel, layer, quoted, where)
                else:
                    problems += self.check_outside(rel, angled or macro, where,
                                                   "<%s>" % angled if angled else macro)
        return problems

    def check_quoted(self, rel, layer, name, where):
        target = name
        if not os.path.exists(os.path.join(self.root, target)):
            beside = os.path.normpath(os.path.join(os.path.dirname(rel), name))
            if os.path.exists(os.path.join(self.root, beside)):
                target = beside
            else:
                # Not one of ours (a header of an outside library in quotes).
                return self.check_outside(rel, name, where, '"%s"' % name)
        shown = '"%s"' % name
        target_layer = self.layer_of(target)
        if target_layer is None:
            return [where + "includes %s, which belongs to no layer of the library or the program"
                    " (rule: library and program sources include only library and program files)"
                    % shown]
        problems = []
        if rel.startswith("si/") and target.startswith("w32/"):
            problems.append(where + "includes %s (rule: si/ reaches w32/ only through sd/)" % shown)
        elif target_layer not in self.reach[layer]:
            problems.append(where + "includes %s of layer %s (rule: layer %s includes only %s)"
                            % (shown, target_layer, layer,
                               ", ".join(l for l in self.layers if l in self.reach[layer])))
        return problems

    def check_outside(self, rel, name, where, shown):
        ext = self.extern_of(name)
        if ext is not None:
            if self.allowed_in(rel, ext["only"]):
                return []
            return [where + "includes %s (rule: %s only in %s)"
                    % (shown, ext["name"], ", ".join(ext["only"]))]
        if rel.startswith("w32/"):
            return []
        if name in STANDARD:
            return []
        if name in SERVICES:
            if rel.startswith("sd/"):
                return []
            return [where + "includes %s (rule: the standard library's threads, clocks, locks"
                    " and files only in w32/ and sd/)" % shown]
        return [where + "includes %s (rule: system, POSIX and X11 headers only in w32/)" % shown]

    def tree(self):
        for top in CHECKED_DIRS:
            base = os.path.join(self.root, top)
            for folder, subdirs, names in os.walk(base):
                subdirs.sort()
                for name in sorted(names):
                    if name.endswith(SUFFIXES):
                        yield os.path.relpath(os.path.join(folder, name), self.root)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    checker = Checker(root)
    files = [os.path.relpath(os.path.abspath(f), root) for f in args.files] or list(checker.tree())
    problems = []
    for rel in files:
        problems += checker.check_file(rel)
    for problem in problems:
        print(problem)
    if problems:
        print("%d include(s) break the layer rules of tools/layers.txt" % len(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
