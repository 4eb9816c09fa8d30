// kestrune-bench: the cost of answering a call, measured against the least
// work any implementation must do per call, and the memory a long run keeps.
//
// Floor is that least work: ask the kernel with uname() and format the text.
// Every other benchmark is reported as a multiple of Floor measured in the
// same run, so the ratios hold from one machine to another.

#include <benchmark/benchmark.h>
#include <kestrune/kestrune_plugin.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "embedding_host/embedding_host.h"
#include "kestrune_plugin_private.h"

namespace {

// A host with the plugin registered on it, as in an application.
class RegisteredPlugin {
 public:
  RegisteredPlugin() : host_(embedding_host_new()) {
    g_autoptr(FlPluginRegistrar) registrar =
        fl_plugin_registry_get_registrar_for_plugin(FL_PLUGIN_REGISTRY(host_),
                                                    "KestrunePlugin");
    kestrune_plugin_register_with_registrar(registrar);
  }
  ~RegisteredPlugin() { g_object_unref(host_); }
  RegisteredPlugin(const RegisteredPlugin&) = delete;
  RegisteredPlugin& operator=(const RegisteredPlugin&) = delete;

  EmbeddingHostMessenger* messenger() const {
    return embedding_host_get_messenger(host_);
  }

 private:
  EmbeddingHost* host_;
};

// Sends the encoded call to @method again and again, keeping the last
// reply.
class WireCaller {
 public:
  explicit WireCaller(const char* method) {
    g_autoptr(FlMethodCodec) codec =
        FL_METHOD_CODEC(fl_standard_method_codec_new());
    call_ = embedding_host_encode_method_call(codec, method, nullptr, nullptr);
  }
  ~WireCaller() {
    g_bytes_unref(call_);
    g_clear_pointer(&reply_, g_bytes_unref);
  }
  WireCaller(const WireCaller&) = delete;
  WireCaller& operator=(const WireCaller&) = delete;

  bool call(EmbeddingHostMessenger* messenger) {
    g_clear_pointer(&reply_, g_bytes_unref);
    reply_ =
        embedding_host_messenger_send(messenger, "kestrune", call_, nullptr);
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

void HandlerCall(benchmark::State& state) {
  RegisteredPlugin plugin;
  int reply_kind = -1;
  for (auto _ : state) {
    GBytes* reply = embedding_host_messenger_call_handler(
        plugin.messenger(), "kestrune", "getPlatformVersion", nullptr, nullptr);
    reply_kind =
        g_bytes_get_size(reply) > 0
            ? static_cast<const guint8*>(g_bytes_get_data(reply, nullptr))[0]
            : -1;
    g_bytes_unref(reply);
  }
  if (reply_kind != 0) {
    state.SkipWithError("getPlatformVersion did not succeed");
  }
}
BENCHMARK(HandlerCall);

// Whole round trips of @method; @expect_success tells which reply is right.
void round_trips(benchmark::State& state,
                 const char* method,
                 bool expect_success) {
  RegisteredPlugin plugin;
  WireCaller caller(method);
  for (auto _ : state) {
    caller.call(plugin.messenger());
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

// Whether @run ended in an error (or was skipped). Google Benchmark 1.8
// replaced Run::error_occurred with Run::skipped, non-zero when the
// benchmark stopped early; the first overload is chosen where that member
// exists.
template <typename BenchmarkRun>
auto run_failed(const BenchmarkRun& run, int)
    -> decltype(static_cast<int>(run.skipped) != 0) {
  return static_cast<int>(run.skipped) != 0;
}
template <typename BenchmarkRun>
bool run_failed(const BenchmarkRun& run, long) {
  return run.error_occurred;
}

// Keeps the console output and remembers each benchmark's time per
// iteration, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter()
      : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Color : OO_None) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the mean stands for the benchmark.
      bool aggregate = run.run_type == Run::RT_Aggregate;
      if (run_failed(run, 0) || (aggregate && run.aggregate_name != "mean")) {
        continue;
      }
      nanoseconds_[run.run_name.function_name] =
          run.GetAdjustedRealTime() *
          benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
          benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
  }

  // Prints each benchmark as a multiple of Floor; returns false if one is
  // over its target.
  bool print_ratios() const {
    struct Target {
      const char* name;
      double most;  // 0: no target
    };
    const Target targets[] = {{"PlatformVersionReply", 3.0},
                              {"HandlerCall", 5.0},
                              {"WireRoundTrip", 6.0},
                              {"NotImplementedRoundTrip", 0.0}};
    auto floor = nanoseconds_.find("Floor");
    if (floor == nanoseconds_.end() || floor->second <= 0) {
      printf("\nratios: Floor was not measured\n");
      return true;
    }
    bool all_within = true;
    printf("\n%-26s %8s %8s\n", "ratio to Floor", "measured", "target");
    for (const Target& target : targets) {
      auto measured = nanoseconds_.find(target.name);
      if (measured == nanoseconds_.end()) {
        continue;
      }
      double ratio = measured->second / floor->second;
      bool within = target.most == 0 || ratio <= target.most;
      all_within = all_within && within;
      if (target.most > 0) {
        printf("%-26s %7.2fx %7.1fx%s\n", target.name, ratio, target.most,
               within ? "" : "  OVER TARGET");
      } else {
        printf("%-26s %7.2fx %8s\n", target.name, ratio, "-");
      }
    }
    return all_within;
  }

 private:
  std::map<std::string, double> nanoseconds_;
};

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
// caches settle, a million more calls may add less than 1 MiB.
bool check_memory_growth() {
  constexpr long kCalls = 1000000;
  constexpr long kWarmUp = 10000;
  constexpr long kLimitKib = 1024;
  RegisteredPlugin plugin;
  WireCaller caller("getPlatformVersion");
  for (long i = 0; i < kWarmUp; i++) {
    caller.call(plugin.messenger());
  }
  long before = resident_kib();
  for (long i = 0; i < kCalls; i++) {
    if (!caller.call(plugin.messenger())) {
      printf("\nmemory: call %ld failed\n", i);
      return false;
    }
  }
  long after = resident_kib();
  long growth = after - before;
  bool within = before > 0 && growth < kLimitKib;
  printf(
      "\nmemory: resident %ld KiB before and %ld KiB after %ld calls: "
      "growth %ld KiB (limit %ld KiB)%s\n",
      before, after, kCalls, growth, kLimitKib, within ? "" : "  OVER LIMIT");
  return within;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 2;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  bool ratios_within = reporter.print_ratios();
  bool memory_within = check_memory_growth();
  benchmark::Shutdown();
  return ratios_within && memory_within ? 0 : 1;
}
