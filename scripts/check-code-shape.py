#!/usr/bin/env python3
"""Checks the shape of the program's code from clang's syntax tree.

Prints every class of the program with more than MAX_FIELDS fields, every function longer than
MAX_FUNCTION_LINES lines (from the line of its name to its closing brace) and every file of
app/ longer than MAX_APP_FILE_LINES lines. Functions named in ALLOWED_LONG are tables and
pixel loops, which are long by nature; they are listed apart. Exit status 1 when anything else
is over its limit.

Usage: scripts/check-code-shape.py [BUILD_DIR]   (BUILD_DIR holds compile_commands.json;
default build/). Needs clang++. Takes a few minutes: every file is parsed once.
"""

import json
import multiprocessing
import os
import shlex
import subprocess
import sys

MAX_FIELDS = 25
MAX_FUNCTION_LINES = 60
MAX_APP_FILE_LINES = 300
PROGRAM_DIRS = ("app", "capture", "viewer", "annotation", "stills", "recording", "settings",
                "controls", "common")
# Tables and pixel loops: long on purpose.
ALLOWED_LONG = {"commandRows"}
ALLOWED_LONG_FILES = ("viewer/pixel_loops.cpp", "viewer/resample_loops.cpp",
                      "capture/pixel_convert.cpp")
FUNCTION_KINDS = {"FunctionDecl", "CXXMethodDecl", "CXXConstructorDecl", "CXXDestructorDecl",
                  "CXXConversionDecl"}

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def program_file(path):
    rel = os.path.relpath(path, ROOT)
    return rel if rel.split(os.sep)[0] in PROGRAM_DIRS else None


class Walker:
    """Walks clang's JSON tree in print order: a location names its file and line only when
    they differ from the location printed before it."""

    def __init__(self):
        self.file = None
        self.line = 0
        self.records = {}
        self.functions = {}

    def place(self, loc):
        if not isinstance(loc, dict):
            return None
        if "spellingLoc" in loc:
            self.place(loc["spellingLoc"])
            return self.place(loc.get("expansionLoc", {}))
        if "file" in loc:
            self.file = loc["file"]
        if "line" in loc:
            self.line = loc["line"]
        return (self.file, self.line) if loc else None

    def walk(self, node):
        start = self.place(node.get("loc"))
        rng = node.get("range", {})
        begin = self.place(rng.get("begin"))
        end = self.place(rng.get("end"))
        inner = node.get("inner", [])
        name_at = start or begin
        for child in inner:
            self.walk(child)
        kind = node.get("kind")
        if name_at is None or name_at[0] is None:
            return
        rel = program_file(name_at[0])
        if rel is None:
            return
        if kind == "CXXRecordDecl" and node.get("completeDefinition") and not node.get(
                "isImplicit"):
            fields = sum(1 for c in inner if c.get("kind") == "FieldDecl")
            name = node.get("name", "(anonymous)")
            self.records[(rel, name_at[1], name)] = fields
        if kind in FUNCTION_KINDS and any(c.get("kind") == "CompoundStmt" for c in inner):
            if end is not None and end[0] == name_at[0]:
                length = end[1] - name_at[1] + 1
                self.functions[(rel, name_at[1], node.get("name", ""))] = length


def parse(entry):
    args = shlex.split(entry["command"]) if "command" in entry else entry["arguments"]
    kept, skip = [], False
    for a in args[1:]:
        if skip:
            skip = False
            continue
        if a == "-o":
            skip = True
            continue
        if a == "-c" or a.startswith("-fstack-clash") or a.startswith("-fno-tree"):
            continue
        kept.append(a)
    cmd = ["clang++"] + kept + ["-fsyntax-only", "-Wno-everything", "-Xclang", "-ast-dump=json",
                                "-Xclang", "-ast-dump-filter=vistrela"]
    out = subprocess.run(cmd, cwd=entry["directory"], capture_output=True, text=True).stdout
    walker = Walker()
    decoder = json.JSONDecoder()
    pos = 0
    while True:
        while pos < len(out) and out[pos].isspace():
            pos += 1
        if pos >= len(out):
            break
        node, pos = decoder.raw_decode(out, pos)
        walker.walk(node)
    return walker.records, walker.functions


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    entries = [e for e in json.load(open(os.path.join(build, "compile_commands.json")))
               if program_file(e["file"]) and "_autogen" not in e["file"]]
    records, functions = {}, {}
    with multiprocessing.Pool(max(1, min(2, os.cpu_count() or 1))) as pool:
        for r, f in pool.imap_unordered(parse, entries):
            records.update(r)
            functions.update(f)
    failed = False
    print(f"classes: {len(records)}; most fields:")
    for (rel, line, name), n in sorted(records.items(), key=lambda kv: -kv[1])[:5]:
        print(f"  {n:3d}  {name} ({rel}:{line})")
    for (rel, line, name), n in sorted(records.items()):
        if n > MAX_FIELDS:
            print(f"OVER: class {name} has {n} fields ({rel}:{line})")
            failed = True
    print(f"functions: {len(functions)}; longest:")
    for (rel, line, name), n in sorted(functions.items(), key=lambda kv: -kv[1])[:5]:
        print(f"  {n:3d}  {name} ({rel}:{line})")
    for (rel, line, name), n in sorted(functions.items()):
        if n <= MAX_FUNCTION_LINES:
            continue
        if name in ALLOWED_LONG or rel in ALLOWED_LONG_FILES:
            print(f"table or loop: {name} has {n} lines ({rel}:{line})")
            continue
        print(f"OVER: function {name} has {n} lines ({rel}:{line})")
        failed = True
    app = os.path.join(ROOT, "app")
    longest = 0
    for name in sorted(os.listdir(app)):
        with open(os.path.join(app, name), encoding="utf-8") as f:
            n = sum(1 for _ in f)
        longest = max(longest, n)
        if n > MAX_APP_FILE_LINES:
            print(f"OVER: app/{name} has {n} lines")
            failed = True
    print(f"app/: {len(os.listdir(app))} files, the longest {longest} lines")
    print("FAILED" if failed else "OK")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
