#include "bench_summary.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "floor_ratio_reporter.h"

namespace {

using Run = benchmark::BenchmarkReporter::Run;
using StandingRuns = std::map<std::string, const Run*>;

// What the check found.
struct Verdict {
  int met = 0;
  std::vector<std::string> missed;
  std::vector<std::string> not_measured;
};

// The run that stands for each benchmark (by name with its arguments, such
// as "MapDecode/1000"): the median of its repetitions, or its only run.
StandingRuns standing_runs(const std::vector<Run>& runs) {
  StandingRuns standing;
  for (const Run& run : runs) {
    bool median =
        run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
    bool only = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
    if ((median || only) && !run_failed(run)) {
      const benchmark::BenchmarkName& name = run.run_name;
      standing[name.args.empty() ? name.function_name
                                 : name.function_name + "/" + name.args] = &run;
    }
  }
  return standing;
}

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern,
                                                         ...) {
  char text[160];
  va_list arguments;
  va_start(arguments, pattern);
  vsnprintf(text, sizeof(text), pattern, arguments);
  va_end(arguments);
  return text;
}

const Run* find_run(const StandingRuns& standing, const std::string& name) {
  auto found = standing.find(name);
  return found == standing.end() ? nullptr : found->second;
}

// The value of @run's counter @name; NAN if either is missing.
double counter_value(const Run* run, const char* name) {
  if (run == nullptr) {
    return NAN;
  }
  auto found = run->counters.find(name);
  return found == run->counters.end() ? NAN : found->second.value;
}

void write_ratios_header(const Run& path_run, FILE* out) {
  fprintf(out, "\n%-26s %8s %7s   ", "ratio to Floor", "measured", "target");
  if (path_run.repetitions > 1) {
    fprintf(out, "(medians of %lld repetitions)\n",
            static_cast<long long>(path_run.repetitions));
  } else {
    fprintf(out, "(one run each: --benchmark_repetitions=9 for medians)\n");
  }
}

void write_ratios(const StandingRuns& standing, FILE* out, Verdict& verdict) {
  bool header_written = false;
  for (const PathTarget& path : kPathTargets) {
    const Run* run = find_run(standing, path.name);
    double ratio = counter_value(run, kFloorRatioCounter);
    if (std::isnan(ratio)) {
      if (run != nullptr) {
        fprintf(out, "\n%s: no ratio, for Floor did not run\n", path.name);
      }
      if (path.most > 0) {
        verdict.not_measured.push_back(path.name);
      }
      continue;
    }
    if (!header_written) {
      write_ratios_header(*run, out);
      header_written = true;
    }
    if (path.most == 0) {
      fprintf(out, "%-26s %7.2fx %7s\n", path.name, ratio, "-");
      continue;
    }
    bool within = ratio <= path.most;
    fprintf(out, "%-26s %7.2fx %6.1fx%s\n", path.name, ratio, path.most,
            within ? "" : "  OVER TARGET");
    if (within) {
      verdict.met++;
    } else {
      verdict.missed.push_back(
          format("%s at %.2fx (target %.1fx)", path.name, ratio, path.most));
    }
  }
}

// The error itself is in the report.
void write_failures(const std::vector<Run>& runs, FILE* out) {
  std::set<std::string> failed;
  for (const Run& run : runs) {
    if (run_failed(run) && failed.insert(run.benchmark_name()).second) {
      fprintf(out, "\n%s stopped with an error", run.benchmark_name().c_str());
    }
  }
  if (!failed.empty()) {
    fprintf(out, "\n");
  }
}

void write_memory_growth(const StandingRuns& standing,
                         FILE* out,
                         Verdict& verdict) {
  const Run* run = find_run(standing, kMemoryGrowthBenchmark);
  double growth = counter_value(run, kMemoryGrowthCounter);
  if (std::isnan(growth)) {
    verdict.not_measured.push_back("memory growth");
    return;
  }
  bool within = growth < kMemoryGrowthLimitKib;
  fprintf(out,
          "\nmemory: resident growth over %lld calls: %.0f KiB (limit: "
          "under %.0f KiB)%s\n",
          static_cast<long long>(run->iterations), growth,
          kMemoryGrowthLimitKib, within ? "" : "  OVER LIMIT");
  if (within) {
    verdict.met++;
  } else {
    verdict.missed.push_back(format("memory growth of %.0f KiB", growth));
  }
}

// What an entry costs in a small map and in a larger one.
void write_map_decoding(const StandingRuns& standing, FILE* out) {
  bool first = true;
  for (const auto& [name, run] : standing) {
    if (run->run_name.function_name != kMapDecodeBenchmark) {
      continue;
    }
    double entries = strtod(run->run_name.args.c_str(), nullptr);
    if (entries <= 0) {
      continue;
    }
    if (first) {
      fprintf(out, "\nmap decoding (no target):\n");
      first = false;
    }
    fprintf(out, "%-26s %9.3f ms a map, %6.1f ns an entry\n", name.c_str(),
            real_seconds(*run) * 1e3, real_seconds(*run) * 1e9 / entries);
  }
}

void write_verdict(const Verdict& verdict, bool passed, FILE* out) {
  fprintf(out, "\nkestrune check: %s", passed ? "PASS" : "FAIL");
  if (verdict.met == 0 && verdict.missed.empty()) {
    fprintf(out, ", no target was measured");
  } else {
    fprintf(out, ", %d of %zu targets met", verdict.met,
            verdict.met + verdict.missed.size());
  }
  for (const std::string& missed : verdict.missed) {
    fprintf(out, "; missed: %s", missed.c_str());
  }
  fprintf(out, "\n");
  for (const std::string& name : verdict.not_measured) {
    fprintf(out, "kestrune check: not measured: %s\n", name.c_str());
  }
}

}  // namespace

bool write_summary(const std::vector<Run>& runs, bool check, FILE* out) {
  StandingRuns standing = standing_runs(runs);
  Verdict verdict;
  write_failures(runs, out);
  write_ratios(standing, out, verdict);
  write_map_decoding(standing, out);
  write_memory_growth(standing, out, verdict);
  bool passed = verdict.missed.empty() && verdict.met > 0;
  if (check) {
    write_verdict(verdict, passed, out);
  }
  return passed;
}
