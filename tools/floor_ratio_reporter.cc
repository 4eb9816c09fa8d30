#include "floor_ratio_reporter.h"

#include <algorithm>
#include <utility>

namespace {

using Run = benchmark::BenchmarkReporter::Run;

// Google Benchmark 1.8 replaced Run::error_occurred with Run::skipped,
// non-zero when the benchmark stopped early; the first overload is chosen
// where that member exists.
template <typename BenchmarkRun>
auto failed(const BenchmarkRun& run, int)
    -> decltype(static_cast<int>(run.skipped) != 0) {
  return static_cast<int>(run.skipped) != 0;
}
template <typename BenchmarkRun>
bool failed(const BenchmarkRun& run, long) {
  return run.error_occurred;
}

// The median as Google Benchmark takes it: the middle value, or the mean of
// the two middle ones.
double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle]
                                : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

bool run_failed(const Run& run) {
  return failed(run, 0);
}

double real_seconds(const Run& run) {
  return run.GetAdjustedRealTime() /
         benchmark::GetTimeUnitMultiplier(run.time_unit);
}

FloorRatioReporter::FloorRatioReporter(benchmark::BenchmarkReporter* writer,
                                       std::set<std::string> paths,
                                       bool all_at_end)
    : writer_(writer), paths_(std::move(paths)), all_at_end_(all_at_end) {}

bool FloorRatioReporter::ReportContext(const Context& context) {
  // Google Benchmark points this reporter, not the writer, at the file
  // that --benchmark_out names.
  writer_->SetOutputStream(&GetOutputStream());
  writer_->SetErrorStream(&GetErrorStream());
  return writer_->ReportContext(context);
}

void FloorRatioReporter::ReportRuns(const std::vector<Run>& runs) {
  if (!runs.empty() && runs.front().run_name.function_name == kFloorBenchmark) {
    take_floor_time(runs);
    floor_reported_ = true;
  }
  waiting_.push_back(runs);
  if (floor_reported_ && !all_at_end_) {
    hand_over_waiting();
  }
}

void FloorRatioReporter::Finalize() {
  if (all_at_end_ && !waiting_.empty()) {
    std::vector<Run> all;
    for (const std::vector<Run>& runs : waiting_) {
      all.insert(all.end(), runs.begin(), runs.end());
    }
    waiting_.assign(1, std::move(all));
  }
  hand_over_waiting();
  writer_->Finalize();
}

bool FloorRatioReporter::any_failed() const {
  return std::any_of(handed_over_.begin(), handed_over_.end(), run_failed);
}

// Floor's runs come in two calls when it is repeated: the repetitions, then
// the aggregates. Either gives the median; with
// --benchmark_report_aggregates_only only the second comes.
void FloorRatioReporter::take_floor_time(const std::vector<Run>& runs) {
  std::vector<double> repetitions;
  for (const Run& run : runs) {
    if (run_failed(run)) {
      continue;
    }
    if (run.run_type == Run::RT_Iteration) {
      repetitions.push_back(real_seconds(run));
    } else if (run.aggregate_name == "median") {
      floor_seconds_ = real_seconds(run);
      return;
    }
  }
  if (!repetitions.empty()) {
    floor_seconds_ = median(repetitions);
  }
}

void FloorRatioReporter::add_ratio(Run& run) const {
  // An aggregate in time units scales with the time; a coefficient of
  // variation or a complexity fit does not.
  bool timed = run.run_type == Run::RT_Iteration ||
               (run.aggregate_unit == benchmark::kTime && !run.report_big_o &&
                !run.report_rms);
  if (floor_seconds_ > 0 && timed && !run_failed(run) &&
      paths_.count(run.run_name.function_name) > 0) {
    run.counters[kFloorRatioCounter] =
        benchmark::Counter(real_seconds(run) / floor_seconds_);
  }
}

void FloorRatioReporter::hand_over_waiting() {
  for (std::vector<Run>& runs : waiting_) {
    for (Run& run : runs) {
      add_ratio(run);
    }
    writer_->ReportRuns(runs);
    handed_over_.insert(handed_over_.end(), runs.begin(), runs.end());
  }
  waiting_.clear();
}
