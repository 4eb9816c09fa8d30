// Many threads calling one registered plugin through one messenger: every
// call gets exactly one reply, of the right kind and text, and nothing is
// left alive afterwards.

#include <gtest/gtest.h>
#include <kestrune/kestrune_plugin.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "interposed.h"
#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::take_vector;
using test_support::to_vector;

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 50000;

// The methods each thread cycles through, with the reply each must get.
struct Method {
  const char* name;
  bool implemented;
};
const Method kMethods[] = {
    {"getPlatformVersion", true},
    {"getBatteryLevel", false},
    {"getPlatformVersion", true},
    {"getplatformversion", false},
    {"", false},
};

TEST(Stress, EightThreadsOfFiftyThousandCallsEachGetTheirReplies) {
  test_support::Host host;
  kestrune_plugin_register_with_registrar(host.registrar());

  std::string text = std::string("Linux ") + interposed::kernel_uname().version;
  std::string wire =
      std::string("\x00\x07", 2) + static_cast<char>(text.size()) + text;
  const Bytes success(wire.begin(), wire.end());

  std::vector<Bytes> calls;
  for (const Method& method : kMethods) {
    calls.push_back(
        take_vector(embedding_host_encode_method_call(method.name, nullptr)));
  }

  interposed::respond_calls = 0;
  std::atomic<int> wrong_replies{0};
  std::atomic<int> refused{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; t++) {
    threads.emplace_back([&, t] {
      g_autoptr(GByteArray) reply = g_byte_array_new();
      for (int i = 0; i < kCallsPerThread; i++) {
        size_t which = (t + i) % G_N_ELEMENTS(kMethods);
        const Bytes& call = calls[which];
        if (!embedding_host_messenger_send(host.messenger(), "kestrune",
                                           call.data(), call.size(), reply,
                                           nullptr)) {
          refused++;
          continue;
        }
        bool right = kMethods[which].implemented ? to_vector(reply) == success
                                                 : reply->len == 0;
        if (!right) {
          wrong_replies++;
        }
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }

  EXPECT_EQ(refused, 0);
  EXPECT_EQ(wrong_replies, 0);
  EXPECT_EQ(interposed::respond_calls, kThreads * kCallsPerThread);

  EmbeddingHostLiveObjects live = test_support::live_objects();
  EXPECT_EQ(live.method_calls, 0u);
  EXPECT_EQ(live.responses, 0u);
  EXPECT_EQ(live.values, 0u);
}

}  // namespace
