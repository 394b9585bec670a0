#!/usr/bin/env python3
"""Checks that running the tests leaves the source and build trees as they
were: `snapshot` records every file (size and modification time) before the
tests, `compare` lists what appeared, went or changed since."""
import hashlib
import json
import os
import sys
import tempfile


def walk(root, skip):
    files = {}
    for here, dirs, names in os.walk(root):
        dirs[:] = [d for d in dirs if os.path.join(here, d) not in skip]
        for name in names:
            path = os.path.join(here, name)
            try:
                st = os.lstat(path)
            except OSError:
                continue
            files[os.path.relpath(path, root)] = [st.st_size, st.st_mtime_ns]
    return files


def trees(source, build):
    source, build = os.path.realpath(source), os.path.realpath(build)
    skip_source = {os.path.join(source, ".git"), build}
    # Build trees of other configurations inside the checkout are not ours to judge.
    for name in os.listdir(source):
        if name.startswith("build"):
            skip_source.add(os.path.join(source, name))
    return {
        "source": walk(source, skip_source),
        # ctest keeps its own logs and timings under Testing/.
        "build": walk(build, {os.path.join(build, "Testing")}),
    }


def record_file(build, pid):
    # Per run of ctest (the parent of both steps): two runs of one build at
    # once each compare against their own snapshot.
    key = hashlib.sha1(os.path.realpath(build).encode()).hexdigest()[:16]
    return os.path.join(tempfile.gettempdir(), f"zelto_tree_{key}_{pid}.json")


def clear_old_records(build):
    # A record serves every comparison of its run (ctest --repeat compares
    # again), so it stays until a later run of the build finds its ctest gone.
    prefix, suffix = os.path.basename(record_file(build, "")).split(".")
    for name in os.listdir(tempfile.gettempdir()):
        if not (name.startswith(prefix) and name.endswith("." + suffix)):
            continue
        pid = name[len(prefix):-len(suffix) - 1]
        if pid.isdigit() and not os.path.exists(f"/proc/{pid}"):
            try:
                os.remove(os.path.join(tempfile.gettempdir(), name))
            except OSError:
                pass


def main():
    command, source, build = sys.argv[1:4]
    record = record_file(build, os.getppid())
    if command == "snapshot":
        clear_old_records(build)
        with open(record, "w") as out:
            json.dump(trees(source, build), out)
        return 0
    with open(record) as f:
        before = json.load(f)
    after = trees(source, build)
    problems = []
    for tree in ("source", "build"):
        old, new = before[tree], after[tree]
        problems += [f"{tree}: new file {p}" for p in sorted(set(new) - set(old))]
        problems += [f"{tree}: removed {p}" for p in sorted(set(old) - set(new))]
        problems += [f"{tree}: changed {p}" for p in sorted(set(old) & set(new)) if old[p] != new[p]]
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
