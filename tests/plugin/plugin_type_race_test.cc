// First calls of kestrune_plugin_get_type() racing from several threads in a
// fresh process register the type once and all get the same identifier.
// This program holds this one test so that nothing touches the type before.

#include <gtest/gtest.h>
#include <kestrune/kestrune_plugin.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(PluginTypeRace, ConcurrentFirstCallsAgree) {
  ASSERT_EQ(g_type_from_name("KestrunePlugin"), G_TYPE_INVALID)
      << "the type must not be registered before the race";

  constexpr int kThreads = 8;
  std::atomic<int> ready{0};
  std::atomic<bool> go{false};
  std::vector<GType> seen(kThreads, G_TYPE_INVALID);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; i++) {
    threads.emplace_back([&, i] {
      ready++;
      while (!go.load()) {
        std::this_thread::yield();
      }
      seen[i] = kestrune_plugin_get_type();
    });
  }
  while (ready.load() < kThreads) {
    std::this_thread::yield();
  }
  go = true;
  for (auto& thread : threads) {
    thread.join();
  }

  GType type = g_type_from_name("KestrunePlugin");
  EXPECT_NE(type, G_TYPE_INVALID);
  for (GType each : seen) {
    EXPECT_EQ(each, type);
  }
}

}  // namespace
