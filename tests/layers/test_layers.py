#!/usr/bin/env python3
"""The layer check must catch what it exists for: an include that points up
or sideways, a folder nobody placed in the table, and a cycle. Each case builds
a small tree in a temporary folder and runs the check on it."""
import os
import subprocess
import sys
import tempfile

script = sys.argv[1]

CASES = [
    # (name, {file: include target or None}, expected exit, text expected on stderr)
    ("allowed downward includes", {"ui/app/A.h": "ui/common/B.h", "ui/common/B.h": "core/model/C.h",
                                   "core/model/C.h": None}, 0, ""),
    ("core includes the window", {"core/device/A.h": "ui/common/B.h", "ui/common/B.h": None},
     1, "core/device -> ui/common: not allowed (core/device/A.h)"),
    ("one area includes another", {"ui/device/A.h": "ui/imaging/B.h", "ui/imaging/B.h": None},
     1, "ui/device -> ui/imaging: not allowed"),
    ("the command line links the window", {"programs/cli/A.cpp": "ui/app/B.h", "ui/app/B.h": None},
     1, "programs/cli -> ui/app: not allowed"),
    ("the simulator uses the host's documents", {"sim/lib/A.cpp": "core/document/B.h",
                                                  "core/document/B.h": None},
     1, "sim/lib -> core/document: not allowed"),
    ("a folder without a row", {"core/newthing/A.h": "core/model/B.h", "core/model/B.h": None},
     1, "core/newthing: folder without a row"),
    ("a cycle", {"core/model/A.h": "core/messaging/B.h", "core/messaging/B.h": "core/model/A.h"},
     1, "cycle: core/messaging -> core/model -> core/messaging"),
]

failures = 0
for name, tree, expected_exit, expected_text in CASES:
    with tempfile.TemporaryDirectory() as root:
        for path, target in tree.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as source:
                source.write("#pragma once\n")
                if target:
                    source.write(f'#include "{target}"\n')
        run = subprocess.run([sys.executable, script, root], capture_output=True, text=True)
        if run.returncode != expected_exit or expected_text not in run.stderr:
            failures += 1
            print(f"FAIL {name}: exit {run.returncode}, stderr:\n{run.stderr}")
        else:
            print(f"ok   {name}")
sys.exit(1 if failures else 0)
