"""kestrune-bench's JSON, as a CI tracker reads it: each path carries its
time as a multiple of Floor's.

Usage: kestrune_bench_output_test.py KESTRUNE_BENCH
"""

import json
import subprocess
import sys

# Floor and one path, each measured briefly. A plain number of seconds is
# what every Google Benchmark version takes for the minimum time.
ARGS = ["--benchmark_format=json",
        "--benchmark_filter=^(Floor|PlatformVersionReply)$",
        "--benchmark_min_time=0.01"]

result = subprocess.run([sys.argv[1], *ARGS], capture_output=True, text=True,
                        timeout=60, check=False)
assert result.returncode == 0, (result.returncode, result.stderr)
entries = json.loads(result.stdout)["benchmarks"]
assert [entry["name"] for entry in entries] == ["Floor",
                                                "PlatformVersionReply"], entries
assert "floor_ratio" not in entries[0], entries[0]
assert float(entries[1]["floor_ratio"]) > 0, entries[1]
