#!/usr/bin/env python3
"""Holds a wire round trip to its instruction budget.

Usage: check_budget.py ROUND_TRIPS_PROGRAM BUDGET_JSON

For each path in BUDGET_JSON, callgrind counts the instructions of
ROUND_TRIPS_PROGRAM making 1,000 and then 2,000 round trips of the path's
method; the difference over 1,000 is what one round trip costs, start-up and
shut-down cancelled out. A path with "collect" counts only the instructions
inside the functions that pattern names (callgrind's --toggle-collect). A
path that costs more than its budget plus the tolerance fails, and so does
one that costs more than its "ceiling", where it has one. Callgrind counts user-space instructions, which do not depend
on the machine's load, so the same binary on the same inputs counts the same.

Exit status: 0 when every path is within its budget, 1 when one is over, 2
when the budget cannot be read or a count cannot be made.
"""

import json
import re
import shutil
import subprocess
import sys

ROUND_TRIPS = (1000, 2000)
COLLECTED = re.compile(r"^==\d+== Collected : (\d+)$", re.MULTILINE)


class CheckError(Exception):
    pass


def read_budget(path):
    try:
        with open(path, encoding="utf-8") as file:
            budget = json.load(file)
        tolerance = float(budget["tolerance_percent"])
        paths = {
            name: (str(entry["method"]), int(entry["instructions"]),
                   entry.get("collect"), entry.get("ceiling"))
            for name, entry in budget["paths"].items()
        }
    except (OSError, ValueError, KeyError, TypeError, AttributeError) as error:
        raise CheckError(f"cannot read the budget {path}: {error!r}")
    if not paths:
        raise CheckError(f"the budget {path} names no path")
    return budget, tolerance, paths


def count_instructions(valgrind, program, method, collect, round_trips):
    # An empty environment: nothing the caller exported (G_SLICE, G_DEBUG,
    # sanitizer options) changes what the program does.
    command = [valgrind, "--tool=callgrind", "--callgrind-out-file=/dev/null"]
    if collect is not None:
        command.append(f"--toggle-collect={collect}")
    command += [program, method, str(round_trips)]
    run = subprocess.run(command, env={}, capture_output=True, text=True,
                         check=False)
    collected = COLLECTED.search(run.stderr)
    if run.returncode != 0 or collected is None:
        raise CheckError(f"{' '.join(command)} exited {run.returncode}:\n"
                         f"{run.stderr.strip()}")
    return int(collected.group(1))


def instructions_per_round_trip(valgrind, program, method, collect):
    fewer, more = (count_instructions(valgrind, program, method, collect, n)
                   for n in ROUND_TRIPS)
    return (more - fewer) / (ROUND_TRIPS[1] - ROUND_TRIPS[0])


def main(argv):
    if len(argv) != 3:
        print("usage: check_budget.py ROUND_TRIPS_PROGRAM BUDGET_JSON",
              file=sys.stderr)
        return 2
    program, budget_file = argv[1], argv[2]
    valgrind = shutil.which("valgrind")
    try:
        if valgrind is None:
            raise CheckError("valgrind is not installed "
                             "(scripts/setup.sh quality installs it)")
        budget, tolerance, paths = read_budget(budget_file)
        measured = {
            name: instructions_per_round_trip(valgrind, program, method,
                                              collect)
            for name, (method, _, collect, _) in paths.items()
        }
    except CheckError as error:
        print(f"perf: {error}", file=sys.stderr)
        return 2

    print(f"perf: instructions per round trip, budget measured with "
          f"{budget.get('measured_with', '(not said)')}, "
          f"tolerance {tolerance:g}%")
    print(f"  {'path':<28} {'method':<20} {'measured':>9} {'budget':>9}"
          f"  difference")
    over = []
    under = []
    for name, (method, allowed, _, ceiling) in paths.items():
        cost = measured[name]
        difference = cost - allowed
        percent = 100 * difference / allowed
        print(f"  {name:<28} {method:<20} {cost:>9,.0f} {allowed:>9,}"
              f"  {difference:+,.0f} ({percent:+.1f}%)")
        if cost > allowed * (1 + tolerance / 100):
            over.append(f"perf: FAILED: {name} costs {cost:,.0f} instructions "
                        f"a round trip, {difference:,.0f} ({percent:.1f}%) "
                        f"over its budget of {allowed:,}; the tolerance is "
                        f"{tolerance:g}%")
        elif ceiling is not None and cost > ceiling:
            over.append(f"perf: FAILED: {name} costs {cost:,.0f} instructions "
                        f"a round trip, more than its ceiling of "
                        f"{ceiling:,}")
        elif difference <= -1:
            under.append(f"perf: {name} is {-difference:,.0f} instructions "
                         f"({-percent:.1f}%) under its budget of {allowed:,}; "
                         f"lower it in {budget_file} to keep the gain")
    for line in under + over:
        print(line)
    if over:
        print("perf: raise a budget only on purpose, in a commit that says why "
              "(perf/README.md)")
        return 1
    print("perf: every path is within its budget")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
