#ifndef TOOLS_FLOOR_RATIO_REPORTER_H_
#define TOOLS_FLOOR_RATIO_REPORTER_H_

#include <benchmark/benchmark.h>

#include <set>
#include <string>
#include <vector>

// The benchmark that every ratio is taken against.
constexpr char kFloorBenchmark[] = "Floor";

// The user counter that carries a time as a multiple of Floor's.
constexpr char kFloorRatioCounter[] = "floor_ratio";

// Whether @run ended in an error (or was skipped).
bool run_failed(const benchmark::BenchmarkReporter::Run& run);

// @run's real time per iteration, or the aggregate of those, in seconds.
double real_seconds(const benchmark::BenchmarkReporter::Run& run);

// Gives each run of the named benchmarks a "floor_ratio" counter: its real
// time divided by Floor's median real time in the same run (Floor's only
// time when it is not repeated), so that a median, a mean or a deviation
// of the ratio is that of the time, divided by one number. The runs then go
// on to one of Google Benchmark's own reporters, which writes them.
//
// Runs reported before Floor's (--benchmark_enable_random_interleaving)
// wait for them. When Floor does not run, the runs go on without a ratio at
// the end.
class FloorRatioReporter : public benchmark::BenchmarkReporter {
 public:
  // @writer: the reporter that writes; borrowed, it must outlive this one.
  // @paths: the benchmarks (function names) that get a ratio.
  // @all_at_end: hand every run over in one call, from Finalize(). Google
  // Benchmark's CSV reporter needs that: it takes its columns from the
  // first runs it is given, and stops the program when a later run has a
  // counter that those did not.
  FloorRatioReporter(benchmark::BenchmarkReporter* writer,
                     std::set<std::string> paths,
                     bool all_at_end);

  bool ReportContext(const Context& context) override;
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  // The runs handed over to the writer so far, with their ratios.
  const std::vector<Run>& runs() const { return handed_over_; }

  // Whether a run handed over so far ended in an error.
  bool any_failed() const;

 private:
  void take_floor_time(const std::vector<Run>& runs);
  void add_ratio(Run& run) const;
  void hand_over_waiting();

  benchmark::BenchmarkReporter* writer_;
  std::set<std::string> paths_;
  bool all_at_end_;
  bool floor_reported_ = false;
  double floor_seconds_ = 0;  // per iteration; 0 until known
  std::vector<std::vector<Run>> waiting_;
  std::vector<Run> handed_over_;
};

#endif  // TOOLS_FLOOR_RATIO_REPORTER_H_
