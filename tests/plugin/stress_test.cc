// Many threads calling one registered plugin through one messenger, whose
// main context one thread runs, as an application's platform thread does:
// every call gets exactly one reply, of the right kind and text, and every
// one is answered on that thread. Leaks are for the sanitizers and valgrind.

#include <gtest/gtest.h>
#include <kestrune/kestrune_plugin.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "interposed.h"
#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::to_hex;
using test_support::to_vector;

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 10000;

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

TEST(Stress, EightThreadsSendAndOneContextDeliversEveryReply) {
  // This thread delivers: it owns the context before any sender can.
  GMainContext* context = g_main_context_default();
  ASSERT_TRUE(g_main_context_acquire(context));
  g_autoptr(GMainLoop) loop = g_main_loop_new(context, FALSE);
  interposed::respond_thread = std::this_thread::get_id();
  test_support::Host host;
  kestrune_plugin_register_with_registrar(host.registrar());

  std::string text = std::string("Linux ") + interposed::kernel_uname().version;
  std::string wire =
      std::string("\x00\x07", 2) + static_cast<char>(text.size()) + text;
  const Bytes success(wire.begin(), wire.end());

  std::vector<GBytes*> calls;
  for (const Method& method : kMethods) {
    calls.push_back(
        test_support::to_bytes(test_support::encode_method_call(method.name)));
  }

  interposed::respond_calls = 0;
  interposed::responds_on_another_thread = 0;
  std::atomic<int> senders_left{kThreads};
  std::atomic<int> wrong_replies{0};
  // The first wrong reply, said in full.
  std::mutex first_wrong_mutex;
  std::string first_wrong;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; t++) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kCallsPerThread; i++) {
        size_t which = (t + i) % G_N_ELEMENTS(kMethods);
        g_autoptr(GError) error = nullptr;
        g_autoptr(GBytes) reply = embedding_host_messenger_send(
            host.messenger(), "kestrune", calls[which], nullptr, &error);
        Bytes got = reply != nullptr ? to_vector(reply) : Bytes();
        const Bytes expected = kMethods[which].implemented ? success : Bytes();
        if (reply != nullptr && got == expected) {
          continue;
        }
        if (wrong_replies++ == 0) {
          std::lock_guard<std::mutex> lock(first_wrong_mutex);
          first_wrong = std::string("\"") + kMethods[which].name +
                        "\" expected " + to_hex(expected) + ", got " +
                        (reply != nullptr ? to_hex(got) : error->message);
        }
      }
      if (--senders_left == 0) {
        g_main_loop_quit(loop);
      }
    });
  }
  g_main_loop_run(loop);
  for (auto& thread : threads) {
    thread.join();
  }
  for (GBytes* call : calls) {
    g_bytes_unref(call);
  }

  EXPECT_EQ(wrong_replies, 0) << "first: " << first_wrong;
  EXPECT_EQ(interposed::respond_calls, kThreads * kCallsPerThread);
  EXPECT_EQ(interposed::responds_on_another_thread, 0);
  g_main_context_release(context);
}

}  // namespace
