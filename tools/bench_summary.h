#ifndef TOOLS_BENCH_SUMMARY_H_
#define TOOLS_BENCH_SUMMARY_H_

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

// A path through which a call is answered, and what it may cost at most as
// a multiple of Floor; 0 where it has no target.
struct PathTarget {
  const char* name;
  double most;
};

// kestrune-bench's paths, each a benchmark of that name.
inline constexpr PathTarget kPathTargets[] = {
    {"PlatformVersionReply", 3.0},
    {"WireRoundTrip", 6.0},
    {"NotImplementedRoundTrip", 0.0},
};

// The benchmark of a long run's memory, its counter and its limit.
constexpr char kMemoryGrowthBenchmark[] = "MemoryGrowth";
constexpr char kMemoryGrowthCounter[] = "memory_growth_kib";
constexpr double kMemoryGrowthLimitKib = 1024;

// The benchmark that decodes maps, with the number of entries as argument.
constexpr char kMapDecodeBenchmark[] = "MapDecode";

// Writes to @out, for a person, what @runs measured: each path's ratio to
// Floor against its target, the memory growth against its limit, the cost
// of decoding a map. Each benchmark stands with the median of its
// repetitions, or its only run. With @check, a verdict follows.
//
// Returns: whether every target that was measured was met, and at least
// one was.
bool write_summary(const std::vector<benchmark::BenchmarkReporter::Run>& runs,
                   bool check,
                   FILE* out);

#endif  // TOOLS_BENCH_SUMMARY_H_
