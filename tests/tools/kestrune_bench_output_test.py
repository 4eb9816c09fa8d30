"""kestrune-bench as a CI tracker runs it: what it writes must parse.

Usage: kestrune_bench_output_test.py KESTRUNE_BENCH CASE
"""

import csv
import io
import json
import os
import subprocess
import sys
import tempfile

# Floor and one path, each measured briefly. A plain number of seconds is
# what every Google Benchmark version takes for the minimum time.
QUICK = ["--benchmark_filter=PlatformVersionReply", "--benchmark_min_time=0.01"]


def run(bench, *args):
    result = subprocess.run([bench, *args], capture_output=True, text=True,
                            timeout=60)
    assert result.returncode == 0, (result.returncode, result.stderr)
    return result.stdout, result.stderr


def ratio_of_the_path(entries):
    """Checks that Floor ran although the filter names only the path."""
    names = [entry["name"] for entry in entries]
    assert names == ["Floor", "PlatformVersionReply"], names
    ratio = float(entries[1]["floor_ratio"])
    assert ratio > 0, ratio


def json_on_stdout(bench):
    stdout, _ = run(bench, "--benchmark_format=json", *QUICK)
    ratio_of_the_path(json.loads(stdout)["benchmarks"])


# Google Benchmark's CSV reporter takes its columns from the first runs it is
# given, and Floor has no ratio of its own.
def csv_on_stdout(bench):
    stdout, _ = run(bench, "--benchmark_format=csv", *QUICK)
    ratio_of_the_path(list(csv.DictReader(io.StringIO(stdout))))


def json_in_a_file(bench):
    with tempfile.TemporaryDirectory() as directory:
        path = os.path.join(directory, "out.json")
        run(bench, f"--benchmark_out={path}", "--benchmark_out_format=json",
            *QUICK)
        with open(path, encoding="utf-8") as file:
            ratio_of_the_path(json.load(file)["benchmarks"])


def lists_without_running(bench):
    stdout, stderr = run(bench, "--benchmark_list_tests=true")
    names = stdout.split()
    assert "Floor" in names and "MapDecode/1000" in names, names
    assert any(name.startswith("MemoryGrowth") for name in names), names
    # Nothing ran: no measurement, so no summary of one.
    assert "ratio to Floor" not in stderr and "resident" not in stderr, stderr


CASES = {
    "JsonOnStdout": json_on_stdout,
    "CsvOnStdout": csv_on_stdout,
    "JsonInAFile": json_in_a_file,
    "ListsWithoutRunning": lists_without_running,
}

if __name__ == "__main__":
    CASES[sys.argv[2]](sys.argv[1])
