#!/usr/bin/env python3
"""Runs Debian's clang front end over every translation unit of a configured build, with the flags of the
fuzz preset, so that a change the fuzz build cannot compile (a clang error, or a crash of clang itself) is
caught without building that preset. Front end only: code generation and linking are not checked.

Usage: scripts/check-clang.py [-j N] [build folder]
  build folder   default build/release; it must have compile_commands.json
  -j, --jobs N   clang processes at a time (default: the number of cores)
"""
import argparse
import json
import os
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

# The fuzz preset compiles everything with these; the coverage instrumentation of fuzzer-no-link changes
# what the front end does, so it has to be on here too.
FUZZ_FLAGS = ["-fsanitize=fuzzer-no-link,address,undefined"]
# Options of the build's own compiler that do not describe the source and need no equivalent here.
DROPPED_PREFIXES = ("-O", "-g", "-W", "-M", "-fdiagnostics")
DROPPED_WITH_VALUE = {"-o", "-c", "-MF", "-MT", "-MQ"}


def clang_command(entry):
    args = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    source = entry["file"]
    compiler = "clang" if source.endswith(".c") else "clang++"
    out = [compiler, "-fsyntax-only", "-w", "-fno-crash-diagnostics"] + FUZZ_FLAGS
    skip = False
    for arg in args[1:]:
        if skip:
            skip = False
            continue
        if arg in DROPPED_WITH_VALUE:
            skip = True
            continue
        if arg == source or arg.startswith(DROPPED_PREFIXES):
            continue
        out.append(arg)
    return out + [source]


def check(entry):
    result = subprocess.run(clang_command(entry), cwd=entry["directory"], capture_output=True, text=True)
    return entry["file"], result.returncode, result.stderr


def positive(text):
    try:
        value = int(text)
    except ValueError:
        value = 0
    if value < 1:
        raise argparse.ArgumentTypeError(f"not a whole number from 1 up: {text!r}")
    return value


def main():
    parser = argparse.ArgumentParser(
        prog="check-clang.py", description="Runs clang's front end with the fuzz preset's flags over a build."
    )
    parser.add_argument("build", nargs="?", default="build/release", help="build folder (default build/release)")
    parser.add_argument(
        "-j", "--jobs", type=positive, default=os.cpu_count() or 2,
        help="clang processes at a time (default: the number of cores)",
    )
    options = parser.parse_args()
    build = options.build
    database = os.path.join(build, "compile_commands.json")
    try:
        with open(database, encoding="utf-8") as f:
            entries = json.load(f)
    except (OSError, ValueError) as error:
        print(f"check-clang: cannot read {database}: {error}", file=sys.stderr)
        return 2
    with ThreadPoolExecutor(options.jobs) as pool:
        failed = [r for r in pool.map(check, entries) if r[1] != 0]
    for source, code, errors in failed:
        what = "crashed" if code < 0 or code > 128 else "failed"
        print(f"check-clang: clang {what} on {source}:", file=sys.stderr)
        print("\n".join(errors.splitlines()[:20]), file=sys.stderr)
    if failed:
        print(f"check-clang: {len(failed)} of {len(entries)} files do not compile with clang", file=sys.stderr)
        return 1
    print(f"check-clang: {len(entries)} files compile with clang")
    return 0


if __name__ == "__main__":
    sys.exit(main())
