// What kestrune-bench adds to Google Benchmark's reports: each path's ratio
// to Floor, whatever order the runs come in, and runs handed on so that
// Google Benchmark's own reporters can write them.

#include "floor_ratio_reporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using BenchmarkRun = benchmark::BenchmarkReporter::Run;

// Keeps what it is given, call by call.
class RecordingReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override { return true; }
  void ReportRuns(const std::vector<BenchmarkRun>& runs) override {
    calls.push_back(runs);
  }
  void Finalize() override { finalized = true; }

  std::vector<std::vector<BenchmarkRun>> calls;
  bool finalized = false;
};

BenchmarkRun repetition(const char* name, double nanoseconds) {
  BenchmarkRun run;
  run.run_name.function_name = name;
  run.time_unit = benchmark::kNanosecond;
  run.iterations = 10;
  run.real_accumulated_time = nanoseconds * 10 * 1e-9;
  return run;
}

BenchmarkRun aggregate(const char* name,
                       const char* statistic,
                       double nanoseconds,
                       benchmark::StatisticUnit unit = benchmark::kTime) {
  BenchmarkRun run = repetition(name, nanoseconds);
  run.run_type = BenchmarkRun::RT_Aggregate;
  run.aggregate_name = statistic;
  run.aggregate_unit = unit;
  return run;
}

// A run as the writer got it: its name and its ratio, NAN for none.
struct Written {
  std::string name;
  double ratio;
};

struct OrderCase {
  const char* name;
  std::vector<std::vector<BenchmarkRun>> reports;
  bool all_at_end;
  size_t writer_calls;
  std::vector<Written> written;
};

void PrintTo(const OrderCase& order, std::ostream* out) {
  *out << order.name;
}

const OrderCase kOrderCases[] = {
    {"FloorFirst",
     {{repetition("Floor", 200)}, {repetition("Path", 500)}},
     false,
     2,
     {{"Floor", NAN}, {"Path", 2.5}}},
    {"PathBeforeFloorWaitsForIt",
     {{repetition("Path", 500)}, {repetition("Floor", 200)}},
     false,
     2,
     {{"Path", 2.5}, {"Floor", NAN}}},
    {"RepeatedFloorStandsWithItsMedian",
     {{repetition("Floor", 100), repetition("Floor", 300),
       repetition("Floor", 200), repetition("Floor", 900)},
      {aggregate("Floor", "median", 250)},
      {repetition("Path", 500), repetition("Path", 1000)},
      {aggregate("Path", "median", 750), aggregate("Path", "stddev", 50),
       aggregate("Path", "cv", 0.1, benchmark::kPercentage)}},
     false,
     4,
     {{"Floor", NAN},
      {"Floor", NAN},
      {"Floor", NAN},
      {"Floor", NAN},
      {"Floor_median", NAN},
      {"Path", 2},
      {"Path", 4},
      {"Path_median", 3},
      {"Path_stddev", 0.2},
      {"Path_cv", NAN}}},
    {"FloorAggregatesOnly",
     {{aggregate("Floor", "median", 200)}, {aggregate("Path", "median", 300)}},
     false,
     2,
     {{"Floor_median", NAN}, {"Path_median", 1.5}}},
    {"WithoutFloorRunsGoOnAtTheEnd",
     {{repetition("Path", 500)}},
     false,
     1,
     {{"Path", NAN}}},
    {"AllAtEndInOneCall",
     {{repetition("Floor", 200)},
      {repetition("Path", 500)},
      {repetition("MapDecode", 1000)}},
     true,
     1,
     {{"Floor", NAN}, {"Path", 2.5}, {"MapDecode", NAN}}},
};

class FloorRatioOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(FloorRatioOrderTest, WriterGetsEveryRunWithItsRatio) {
  const OrderCase& order = GetParam();
  RecordingReporter writer;
  FloorRatioReporter reporter(&writer, {"Path"}, order.all_at_end);
  for (const std::vector<BenchmarkRun>& runs : order.reports) {
    reporter.ReportRuns(runs);
  }
  reporter.Finalize();

  EXPECT_TRUE(writer.finalized);
  EXPECT_EQ(writer.calls.size(), order.writer_calls);
  std::vector<BenchmarkRun> written;
  for (const std::vector<BenchmarkRun>& runs : writer.calls) {
    written.insert(written.end(), runs.begin(), runs.end());
  }
  ASSERT_EQ(written.size(), order.written.size());
  for (size_t i = 0; i < written.size(); i++) {
    SCOPED_TRACE(order.written[i].name);
    EXPECT_EQ(written[i].benchmark_name(), order.written[i].name);
    auto counter = written[i].counters.find(kFloorRatioCounter);
    if (std::isnan(order.written[i].ratio)) {
      EXPECT_EQ(counter, written[i].counters.end());
    } else {
      ASSERT_NE(counter, written[i].counters.end());
      EXPECT_DOUBLE_EQ(counter->second.value, order.written[i].ratio);
    }
  }
  EXPECT_EQ(reporter.runs().size(), written.size());
}

INSTANTIATE_TEST_SUITE_P(FloorRatioReporter,
                         FloorRatioOrderTest,
                         testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
