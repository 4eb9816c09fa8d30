// How the application's side delivers messages: in send order, batch by
// batch as the platform's task runner does, and from whichever thread may
// run the messenger's context.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

using test_support::Host;
using test_support::to_bytes;
using test_support::to_hex;

void answer(FlBinaryMessenger* messenger,
            FlBinaryMessengerResponseHandle* response_handle) {
  EXPECT_TRUE(fl_binary_messenger_send_response(messenger, response_handle,
                                                nullptr, nullptr));
}

void record_cb(FlBinaryMessenger* messenger,
               const gchar* channel,
               GBytes* message,
               FlBinaryMessengerResponseHandle* response_handle,
               gpointer user_data) {
  static_cast<std::vector<std::string>*>(user_data)->push_back(to_hex(message));
  answer(messenger, response_handle);
}

// Sends "03" twice, the second time waiting for the reply, which runs the
// messenger's context inside this handler.
void send_then_wait_cb(FlBinaryMessenger* messenger,
                       const gchar* channel,
                       GBytes* message,
                       FlBinaryMessengerResponseHandle* response_handle,
                       gpointer user_data) {
  auto* self = EMBEDDING_HOST_MESSENGER(messenger);
  g_autoptr(GBytes) third = to_bytes({3});
  embedding_host_messenger_send_async(self, "record", third, nullptr, nullptr,
                                      nullptr);
  g_autoptr(GBytes) reply =
      embedding_host_messenger_send(self, "record", third, nullptr, nullptr);
  EXPECT_NE(reply, nullptr);
  answer(messenger, response_handle);
}

TEST(Messenger, ALoopInsideAHandlerRunsOnlyTheMessagesSentAfterItsBatch) {
  Host host;
  std::vector<std::string> recorded;
  fl_binary_messenger_set_message_handler_on_channel(
      host.binary_messenger(), "record", record_cb, &recorded, nullptr);
  fl_binary_messenger_set_message_handler_on_channel(
      host.binary_messenger(), "wait", send_then_wait_cb, nullptr, nullptr);
  g_autoptr(GBytes) first = to_bytes({1});
  g_autoptr(GBytes) second = to_bytes({2});
  embedding_host_messenger_send_async(host.messenger(), "wait", first, nullptr,
                                      nullptr, nullptr);
  embedding_host_messenger_send_async(host.messenger(), "record", second,
                                      nullptr, nullptr, nullptr);
  while (recorded.size() < 3) {
    g_main_context_iteration(nullptr, TRUE);
  }
  // "02" was in the batch that "01" began; the two "03"s came later.
  EXPECT_EQ(recorded, (std::vector<std::string>{"03", "03", "02"}));
}

// A chain of messages, each sent by the handler of the one before, and a
// timer due at once, set by the first handler.
struct Chain {
  static constexpr int kLength = 100;
  int delivered = 0;
  int delivered_when_the_timer_ran = -1;
};

void chain_cb(FlBinaryMessenger* messenger,
              const gchar* channel,
              GBytes* message,
              FlBinaryMessengerResponseHandle* response_handle,
              gpointer user_data) {
  auto* chain = static_cast<Chain*>(user_data);
  if (++chain->delivered == 1) {
    g_timeout_add(
        0,
        [](gpointer user_data) {
          auto* chain = static_cast<Chain*>(user_data);
          chain->delivered_when_the_timer_ran = chain->delivered;
          return G_SOURCE_REMOVE;
        },
        chain);
  }
  if (chain->delivered < Chain::kLength) {
    embedding_host_messenger_send_async(EMBEDDING_HOST_MESSENGER(messenger),
                                        channel, message, nullptr, nullptr,
                                        nullptr);
  }
  answer(messenger, response_handle);
}

TEST(Messenger, TheContextsOtherSourcesRunBetweenBatches) {
  Host host;
  Chain chain;
  fl_binary_messenger_set_message_handler_on_channel(
      host.binary_messenger(), "chain", chain_cb, &chain, nullptr);
  g_autoptr(GBytes) message = to_bytes({1});
  embedding_host_messenger_send_async(host.messenger(), "chain", message,
                                      nullptr, nullptr, nullptr);
  while (chain.delivered < Chain::kLength ||
         chain.delivered_when_the_timer_ran < 0) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_LE(chain.delivered_when_the_timer_ran, 2);
}

TEST(Messenger, TheMainThreadRunsTheDefaultContextForAMessengerMadeElsewhere) {
  // Made on a thread that pushed no context of its own, the messenger
  // delivers in the global default context, which belongs to the main
  // thread, this one.
  EmbeddingHost* made = nullptr;
  std::thread([&made] { made = embedding_host_new(); }).join();
  g_autoptr(EmbeddingHost) host = made;
  FlBinaryMessenger* messenger =
      FL_BINARY_MESSENGER(embedding_host_get_messenger(host));
  std::vector<std::string> recorded;
  fl_binary_messenger_set_message_handler_on_channel(
      messenger, "record", record_cb, &recorded, nullptr);
  g_autoptr(GBytes) message = to_bytes({7});
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      embedding_host_get_messenger(host), "record", message, nullptr, &error);
  EXPECT_NE(reply, nullptr) << error->message;
  EXPECT_EQ(recorded, std::vector<std::string>{"07"});
}

// A thread that does not run the messenger's context never runs it, even
// while no other thread holds it: it waits for the thread that does, here
// the main thread, which the global default context belongs to.
void note_thread_cb(FlBinaryMessenger* messenger,
                    const gchar* channel,
                    GBytes* message,
                    FlBinaryMessengerResponseHandle* response_handle,
                    gpointer user_data) {
  *static_cast<std::atomic<GThread*>*>(user_data) = g_thread_self();
  answer(messenger, response_handle);
}

TEST(Messenger, AnotherThreadsSendWaitsForTheContextsOwnThread) {
  Host host;
  std::atomic<GThread*> handled_on{nullptr};
  fl_binary_messenger_set_message_handler_on_channel(
      host.binary_messenger(), "note", note_thread_cb, &handled_on, nullptr);
  std::thread sender([&host] {
    g_autoptr(GBytes) message = to_bytes({1});
    g_autoptr(GBytes) reply = embedding_host_messenger_send(
        host.messenger(), "note", message, nullptr, nullptr);
    EXPECT_NE(reply, nullptr);
  });
  // Nobody holds the context until the message waits there.
  while (!g_main_context_pending(nullptr) && handled_on == nullptr) {
    g_thread_yield();
  }
  while (handled_on == nullptr) {
    g_main_context_iteration(nullptr, TRUE);
  }
  sender.join();
  EXPECT_EQ(handled_on, g_thread_self());
}

// The main thread runs the global default context even when another
// thread holds it as the send begins. Should the holder let go without
// running anything, the main thread delivers; should it run the context
// first, the holder delivers, and the main thread gets the reply all the
// same. Either way the send returns.
TEST(Messenger, TheMainThreadsSendOutlastsAnotherHolderOfItsContext) {
  for (bool holder_runs : {false, true}) {
    SCOPED_TRACE(holder_runs ? "the holder runs the context"
                             : "the holder runs nothing");
    Host host;
    std::atomic<GThread*> handled_on{nullptr};
    fl_binary_messenger_set_message_handler_on_channel(
        host.binary_messenger(), "note", note_thread_cb, &handled_on, nullptr);
    std::atomic<GThread*> holding{nullptr};
    std::thread holder([&holding, holder_runs] {
      GMainContext* context = g_main_context_default();
      ASSERT_TRUE(g_main_context_acquire(context));
      // What earlier tests left is not the send's.
      while (g_main_context_pending(context)) {
        g_main_context_iteration(context, FALSE);
      }
      holding = g_thread_self();
      // The send has begun once its message waits in the context.
      while (!g_main_context_pending(context)) {
        g_thread_yield();
      }
      while (holder_runs && g_main_context_pending(context)) {
        g_main_context_iteration(context, FALSE);
      }
      g_main_context_release(context);
    });
    while (holding == nullptr) {
      g_thread_yield();
    }
    g_autoptr(GBytes) message = to_bytes({1});
    g_autoptr(GBytes) reply = embedding_host_messenger_send(
        host.messenger(), "note", message, nullptr, nullptr);
    holder.join();
    EXPECT_NE(reply, nullptr);
    EXPECT_EQ(handled_on, holder_runs ? holding.load() : g_thread_self());
  }
}

// Whichever thread delivers, and whatever context it pushed, a handler runs
// with the messenger's context as its thread-default one, so that what it
// starts, a call to the application say, finishes there.
void note_thread_default_cb(FlBinaryMessenger* messenger,
                            const gchar* channel,
                            GBytes* message,
                            FlBinaryMessengerResponseHandle* response_handle,
                            gpointer user_data) {
  *static_cast<GMainContext**>(user_data) = g_main_context_ref_thread_default();
  answer(messenger, response_handle);
}

TEST(Messenger, AHandlerRunsWithTheMessengersContextAsItsThreadDefault) {
  Host host;
  GMainContext* seen = nullptr;
  fl_binary_messenger_set_message_handler_on_channel(
      host.binary_messenger(), "note", note_thread_default_cb, &seen, nullptr);
  GMainContext* other = g_main_context_new();
  g_main_context_push_thread_default(other);
  g_autoptr(GBytes) message = to_bytes({1});
  embedding_host_messenger_send_async(host.messenger(), "note", message,
                                      nullptr, nullptr, nullptr);
  while (seen == nullptr) {
    g_main_context_iteration(g_main_context_default(), TRUE);
  }
  g_main_context_pop_thread_default(other);
  g_main_context_unref(other);
  EXPECT_EQ(seen, g_main_context_default());
  g_main_context_unref(seen);
}

// A channel holds its messenger until the messenger lets go of it, so
// shutting down may drop the messenger's last reference, with the channel.
// Under AddressSanitizer or valgrind nothing touches it afterwards.
TEST(Messenger, ShutdownMayDropItsLastReference) {
  EmbeddingHostMessenger* messenger = embedding_host_messenger_new();
  test_support::LifeWatch watch(messenger);
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_object_unref(fl_method_channel_new(FL_BINARY_MESSENGER(messenger), "c",
                                       FL_METHOD_CODEC(codec)));
  g_object_unref(messenger);
  EXPECT_EQ(watch.finalized(), 0);
  embedding_host_messenger_shutdown(messenger);
  EXPECT_EQ(watch.finalized(), 1);
}

// The application's handler may drop the last reference to the host while
// the host is calling a plugin, whose answer waits for that handler's. The
// host's channels close as it goes, so the plugin's answer may fail, logged
// in each embedding's own words; the call still ends, with an answer or an
// error, and nothing is touched after it is freed.
TEST(Host, MayBeLetGoByItsOwnHandlerDuringACall) {
  EmbeddingHost* host = embedding_host_new();
  embedding_host_set_method_call_handler(
      host, "c",
      [](EmbeddingHost* host, const gchar*, const gchar*, FlValue*, gpointer) {
        g_object_unref(host);
        return FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
      },
      nullptr, nullptr);
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
      FL_BINARY_MESSENGER(embedding_host_get_messenger(host)), "c",
      FL_METHOD_CODEC(codec));
  fl_method_channel_set_method_call_handler(
      channel,
      [](FlMethodChannel* channel, FlMethodCall* call, gpointer) {
        fl_method_channel_invoke_method(
            channel, "ask", nullptr, nullptr,
            [](GObject*, GAsyncResult*, gpointer call) {
              g_autoptr(FlMethodCall) asked = FL_METHOD_CALL(call);
              fl_method_call_respond_not_implemented(asked, nullptr);
            },
            g_object_ref(call));
      },
      nullptr, nullptr);
  test_support::LogCapture log;
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response =
      embedding_host_invoke_method(host, "c", "m", nullptr, nullptr, &error);
  EXPECT_TRUE(response != nullptr || error != nullptr);
}

}  // namespace
