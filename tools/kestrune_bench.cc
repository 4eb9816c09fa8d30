// kestrune-bench: the cost of answering a call, measured against the least
// work any implementation must do per call, and the memory a long run keeps.
//
// Floor is that least work: ask the kernel with uname() and format the text.
// Each path's time is reported as a multiple of Floor's in the same run (the
// "floor_ratio" counter), so the ratios hold from one machine to another.
//
// A Google Benchmark program: its flags choose what runs and how it is
// written, and its reporters write it; a summary for a person goes to
// stderr. --kestrune_check also compares the medians with their targets.

#include <benchmark/benchmark.h>
#include <kestrune/kestrune_plugin.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bench_summary.h"
#include "embedding_host/embedding_host.h"
#include "floor_ratio_reporter.h"
#include "kestrune_plugin_private.h"

namespace {

// The plugin registered on a host, as in an application, and a call to
// @method encoded once, sent again and again; the last reply is kept.
class WireCaller {
 public:
  explicit WireCaller(const char* method) : host_(embedding_host_new()) {
    embedding_host_register_plugin(host_, "KestrunePlugin",
                                   kestrune_plugin_register_with_registrar);
    call_ = embedding_host_encode_method_call(embedding_host_get_codec(host_),
                                              method, nullptr, nullptr);
  }
  ~WireCaller() {
    g_bytes_unref(call_);
    g_clear_pointer(&reply_, g_bytes_unref);
    g_object_unref(host_);
  }
  WireCaller(const WireCaller&) = delete;
  WireCaller& operator=(const WireCaller&) = delete;

  bool call() {
    g_clear_pointer(&reply_, g_bytes_unref);
    reply_ = embedding_host_messenger_send(embedding_host_get_messenger(host_),
                                           "kestrune", call_, nullptr, nullptr);
    return reply_ != nullptr;
  }

  // The first byte of the last reply: 0 for success; -1 when empty.
  int reply_kind() const {
    gsize size = 0;
    const auto* data =
        static_cast<const guint8*>(g_bytes_get_data(reply_, &size));
    return size > 0 ? data[0] : -1;
  }

 private:
  EmbeddingHost* host_;
  GBytes* call_ = nullptr;
  GBytes* reply_ = nullptr;
};

void Floor(benchmark::State& state) {
  for (auto _ : state) {
    struct utsname name;
    memset(&name, 0, sizeof(name));
    uname(&name);
    gchar* text = g_strdup_printf("Linux %s", name.version);
    benchmark::DoNotOptimize(text);
    g_free(text);
  }
}
BENCHMARK(Floor);

void PlatformVersionReply(benchmark::State& state) {
  for (auto _ : state) {
    FlMethodResponse* response = get_platform_version();
    benchmark::DoNotOptimize(response);
    g_object_unref(response);
  }
}
BENCHMARK(PlatformVersionReply);

// Whole round trips of @method; @expect_success tells which reply is right.
void round_trips(benchmark::State& state,
                 const char* method,
                 bool expect_success) {
  WireCaller caller(method);
  for (auto _ : state) {
    caller.call();
  }
  if (caller.reply_kind() != (expect_success ? 0 : -1)) {
    state.SkipWithError("the reply is not the expected one");
  }
}

void WireRoundTrip(benchmark::State& state) {
  round_trips(state, "getPlatformVersion", true);
}
BENCHMARK(WireRoundTrip);

void NotImplementedRoundTrip(benchmark::State& state) {
  round_trips(state, "getBatteryLevel", false);
}
BENCHMARK(NotImplementedRoundTrip);

// Decoding a map of range(0) entries, string keys to ints, with the
// standard message codec, and releasing it. Each key is looked up among
// those before it, as the platform does, so an entry costs more in a larger
// map.
void MapDecode(benchmark::State& state) {
  const int64_t entries = state.range(0);
  g_autoptr(FlValue) map = fl_value_new_map();
  for (int64_t i = 0; i < entries; i++) {
    g_autofree gchar* key = g_strdup_printf("key %" G_GINT64_FORMAT, i);
    fl_value_set_take(map, fl_value_new_string(key), fl_value_new_int(i));
  }
  g_autoptr(FlStandardMessageCodec) codec = fl_standard_message_codec_new();
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) message =
      fl_message_codec_encode_message(FL_MESSAGE_CODEC(codec), map, &error);
  if (message == nullptr) {
    state.SkipWithError(error->message);
    return;
  }
  for (auto _ : state) {
    g_autoptr(FlValue) decoded = fl_message_codec_decode_message(
        FL_MESSAGE_CODEC(codec), message, &error);
    if (decoded == nullptr) {
      state.SkipWithError(error->message);
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(MapDecode)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

long resident_kib() {
  long pages_total = 0;
  long pages_resident = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  if (statm == nullptr) {
    return -1;
  }
  if (fscanf(statm, "%ld %ld", &pages_total, &pages_resident) != 2) {
    pages_resident = -1;
  }
  fclose(statm);
  return pages_resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A long run must not grow: after a warm-up that lets allocators and
// caches settle, a million more round trips may add less than 1 MiB of
// resident memory. It runs once even when the others are repeated: a
// million calls take seconds, and the growth does not depend on timing.
void MemoryGrowth(benchmark::State& state) {
  constexpr int kWarmUpCalls = 10000;
  WireCaller caller("getPlatformVersion");
  for (int i = 0; i < kWarmUpCalls; i++) {
    caller.call();
  }
  long before = resident_kib();
  for (auto _ : state) {
    if (!caller.call()) {
      state.SkipWithError("a call got no reply");
      break;
    }
  }
  long after = resident_kib();
  if (before < 0 || after < 0) {
    state.SkipWithError("/proc/self/statm cannot be read");
  } else if (caller.reply_kind() != 0) {
    state.SkipWithError("getPlatformVersion did not succeed");
  } else {
    state.counters[kMemoryGrowthCounter] = after - before;
  }
}
BENCHMARK(MemoryGrowth)->Iterations(1000000)->Repetitions(1);

// What Google Benchmark will take for its flag @name, read the way it reads
// it: the last --name=VALUE in @args, else the environment variable NAME in
// capitals, else "". It has no accessor for most of its flags, and
// benchmark::Initialize() takes them out of the arguments.
std::string benchmark_flag(const std::vector<char*>& args,
                           const std::string& name) {
  std::string prefix = "--" + name + "=";
  for (auto arg = args.rbegin(); arg != args.rend(); ++arg) {
    if (strncmp(*arg, prefix.c_str(), prefix.size()) == 0) {
      return *arg + prefix.size();
    }
  }
  g_autofree gchar* variable = g_ascii_strup(name.c_str(), -1);
  const char* value = getenv(variable);
  return value != nullptr ? value : "";
}

// The reporter Google Benchmark would write --benchmark_out with, for
// --benchmark_out_format=@format.
std::unique_ptr<benchmark::BenchmarkReporter> file_writer(
    const std::string& format) {
  if (format == "console") {
    return std::make_unique<benchmark::ConsoleReporter>(
        benchmark::ConsoleReporter::OO_None);
  }
  if (format == "csv") {
    // Deprecated, yet what Google Benchmark itself writes CSV with.
    BENCHMARK_DISABLE_DEPRECATED_WARNING
    return std::unique_ptr<benchmark::BenchmarkReporter>(
        new benchmark::CSVReporter());
    BENCHMARK_RESTORE_DEPRECATED_WARNING
  }
  return std::make_unique<benchmark::JSONReporter>();
}

// Ratios need Floor from the same run, so a filter that selects benchmarks
// ("Wire") is widened to select Floor as well. A negative filter ("-Wire")
// keeps Floor already, unless it names Floor itself.
std::string with_floor(const std::string& filter) {
  if (filter.empty() || filter == "all" || filter[0] == '-') {
    return filter;
  }
  return std::string("^") + kFloorBenchmark + "$|(" + filter + ")";
}

void print_help() {
  benchmark::PrintDefaultHelp();
  printf(
      "          [--kestrune_check]\n"
      "\n"
      "--kestrune_check compares the median ratio of each path to Floor, and\n"
      "the memory growth, with their targets, and exits 1 if one is missed.\n"
      "It repeats every benchmark but MemoryGrowth 9 times, unless\n"
      "--benchmark_repetitions is given.\n");
}

// Google Benchmark's arguments: @argv without --kestrune_check, which sets
// @check and, unless the repetitions are given, asks for nine: their median
// is not moved by a few disturbed ones.
std::vector<char*> benchmark_arguments(int argc, char** argv, bool* check) {
  static char check_repetitions[] = "--benchmark_repetitions=9";
  std::vector<char*> args;
  *check = false;
  for (int i = 0; i < argc; i++) {
    if (strcmp(argv[i], "--kestrune_check") == 0) {
      *check = true;
    } else {
      args.push_back(argv[i]);
    }
  }
  if (*check && benchmark_flag(args, "benchmark_repetitions").empty()) {
    args.push_back(check_repetitions);
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  bool check = false;
  std::vector<char*> args = benchmark_arguments(argc, argv, &check);
  std::string display_format = benchmark_flag(args, "benchmark_format");
  std::string out_file = benchmark_flag(args, "benchmark_out");
  std::string out_format = benchmark_flag(args, "benchmark_out_format");

  int arg_count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&arg_count, args.data(), print_help);
  if (benchmark::ReportUnrecognizedArguments(arg_count, args.data())) {
    return 2;
  }

  std::set<std::string> paths;
  for (const PathTarget& path : kPathTargets) {
    paths.insert(path.name);
  }
  // Google Benchmark keeps the display reporter it makes; it is not ours to
  // delete.
  FloorRatioReporter display(benchmark::CreateDefaultDisplayReporter(), paths,
                             display_format == "csv");
  std::unique_ptr<benchmark::BenchmarkReporter> writer;
  std::unique_ptr<FloorRatioReporter> file;
  if (!out_file.empty()) {
    writer = file_writer(out_format.empty() ? "json" : out_format);
    file = std::make_unique<FloorRatioReporter>(writer.get(), paths,
                                                out_format == "csv");
  }
  benchmark::RunSpecifiedBenchmarks(
      &display, file.get(), with_floor(benchmark::GetBenchmarkFilter()));

  int status = display.any_failed() ? 1 : 0;
  if (!display.runs().empty()) {
    // After the report, also where stdout and stderr go to one place.
    fflush(stdout);
    bool targets_met = write_summary(display.runs(), check, stderr);
    if (check && !targets_met) {
      status = 1;
    }
  }
  benchmark::Shutdown();
  return status;
}
