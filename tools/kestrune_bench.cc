// kestrune-bench: the cost of answering a call, measured against the least
// work any implementation must do per call, and the memory a long run keeps.
// An ordinary Google Benchmark program: its flags choose what runs and how
// it is written.
//
// Floor is that least work: ask the kernel with uname() and format the text.
// Each path reports its CPU time per call as a multiple of Floor's in the
// same run, the "floor_ratio" counter, so that the ratios hold from one
// machine to another. Without Floor in the run there is no ratio.

#include <benchmark/benchmark.h>
#include <kestrune/kestrune_plugin.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "embedding_host/embedding_host.h"
#include "kestrune_plugin_private.h"

namespace {

// The process's CPU time, in seconds, as Google Benchmark counts CPU time.
double cpu_seconds() {
  timespec now;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// Floor's CPU time per call in this run; 0 until Floor has run.
double floor_seconds = 0;

// Gives @state the "floor_ratio" counter of a loop that took @seconds.
void report_floor_ratio(benchmark::State& state, double seconds) {
  if (floor_seconds > 0 && state.iterations() > 0) {
    state.counters["floor_ratio"] =
        seconds / static_cast<double>(state.iterations()) / floor_seconds;
  }
}

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
  double start = cpu_seconds();
  for (auto _ : state) {
    struct utsname name;
    memset(&name, 0, sizeof(name));
    uname(&name);
    gchar* text = g_strdup_printf("Linux %s", name.version);
    benchmark::DoNotOptimize(text);
    g_free(text);
  }
  floor_seconds =
      (cpu_seconds() - start) / static_cast<double>(state.iterations());
}
BENCHMARK(Floor);

void PlatformVersionReply(benchmark::State& state) {
  double start = cpu_seconds();
  for (auto _ : state) {
    FlMethodResponse* response = get_platform_version();
    benchmark::DoNotOptimize(response);
    g_object_unref(response);
  }
  report_floor_ratio(state, cpu_seconds() - start);
}
BENCHMARK(PlatformVersionReply);

// Whole round trips of @method; @expect_success tells which reply is right.
void round_trips(benchmark::State& state,
                 const char* method,
                 bool expect_success) {
  WireCaller caller(method);
  double start = cpu_seconds();
  for (auto _ : state) {
    caller.call();
  }
  report_floor_ratio(state, cpu_seconds() - start);
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

// What a million round trips add to resident memory, after a warm-up that
// lets allocators and caches settle: the "memory_growth_kib" counter. It
// runs once even when the others are repeated: a million calls take
// seconds, and the growth does not depend on timing.
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
    state.counters["memory_growth_kib"] = after - before;
  }
}
BENCHMARK(MemoryGrowth)->Iterations(1000000)->Repetitions(1);

}  // namespace

BENCHMARK_MAIN();
