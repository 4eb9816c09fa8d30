// How channels, calls and the messenger behave towards a plugin: handlers
// outlive their channel reference, names are taken over, shutdown drops
// everything once, every call gets exactly one reply, and every message is
// delivered on the platform's thread.

#include <gtest/gtest.h>

#include <atomic>
#include <list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::encode_method_call;
using test_support::error_matches;
using test_support::from_hex;
using test_support::Host;
using test_support::LogCapture;
using test_support::to_bytes;
using test_support::to_hex;
using test_support::to_vector;

// What a handler's user data stands for: it counts the calls it sees and how
// often it is destroyed.
struct Handler {
  std::atomic<int> calls{0};
  std::atomic<int> destroyed{0};
  std::string reply_text = "reply";

  static void destroy(gpointer data) {
    static_cast<Handler*>(data)->destroyed++;
  }
};

// Runs the default main context, which the messenger delivers in, on this
// thread until quit() is called from any thread. It owns the context from
// the start, so that no other thread can dispatch it meanwhile.
class PlatformLoop {
 public:
  PlatformLoop() : loop_(g_main_loop_new(nullptr, FALSE)) {
    EXPECT_TRUE(g_main_context_acquire(nullptr));
  }
  ~PlatformLoop() {
    g_main_context_release(nullptr);
    g_main_loop_unref(loop_);
  }

  void run() { g_main_loop_run(loop_); }
  void quit() { g_main_loop_quit(loop_); }

 private:
  GMainLoop* loop_;
};

void reply_with_text_cb(FlMethodChannel* channel,
                        FlMethodCall* call,
                        gpointer user_data) {
  auto* handler = static_cast<Handler*>(user_data);
  handler->calls++;
  g_autoptr(FlValue) result = fl_value_new_string(handler->reply_text.c_str());
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_success_response_new(result));
  EXPECT_TRUE(fl_method_call_respond(call, response, nullptr));
}

class ChannelTest : public testing::Test {
 protected:
  // Handlers live as long as the fixture, longer than the host, which may
  // drop them when it shuts down.
  Handler& add_handler(const char* reply_text = "reply") {
    handlers_.emplace_back();
    handlers_.back().reply_text = reply_text;
    return handlers_.back();
  }

  FlMethodChannel* open(const char* name, Handler* handler) {
    g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
    FlMethodChannel* channel = fl_method_channel_new(
        host_.binary_messenger(), name, FL_METHOD_CODEC(codec));
    if (handler != nullptr) {
      fl_method_channel_set_method_call_handler(channel, reply_with_text_cb,
                                                handler, Handler::destroy);
    }
    return channel;
  }

  // The text of a success reply, "<not implemented>" or "<error CODE>".
  std::string call_text(const char* channel, const char* method = "m") {
    g_autoptr(FlMethodResponse) response = host_.call(channel, method);
    if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
      return fl_value_get_string(
          fl_method_response_get_result(response, nullptr));
    }
    if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
      return std::string("<error ") +
             fl_method_error_response_get_code(
                 FL_METHOD_ERROR_RESPONSE(response)) +
             ">";
    }
    return "<not implemented>";
  }

  std::list<Handler> handlers_;
  Host host_;
};

TEST_F(ChannelTest, HandlerStaysInForceAfterTheChannelIsReleased) {
  Handler& handler = add_handler();
  g_object_unref(open("c", &handler));
  EXPECT_EQ(call_text("c"), "reply");
  EXPECT_EQ(handler.calls, 1);
  EXPECT_EQ(handler.destroyed, 0);
}

TEST_F(ChannelTest, ChannelKeepsTheCodecAfterItsCreatorDropsIt) {
  Handler& handler = add_handler();
  FlStandardMethodCodec* codec = fl_standard_method_codec_new();
  g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
      host_.binary_messenger(), "c", FL_METHOD_CODEC(codec));
  fl_method_channel_set_method_call_handler(channel, reply_with_text_cb,
                                            &handler, Handler::destroy);
  g_object_add_weak_pointer(G_OBJECT(codec),
                            reinterpret_cast<gpointer*>(&codec));
  g_object_unref(codec);
  EXPECT_NE(codec, nullptr);
  EXPECT_EQ(call_text("c"), "reply");
  g_object_remove_weak_pointer(G_OBJECT(codec),
                               reinterpret_cast<gpointer*>(&codec));
}

TEST_F(ChannelTest, ANewChannelTakesTheNameOverAndDropsTheOldHandlerOnce) {
  Handler& first = add_handler();
  Handler& second = add_handler("second");
  g_autoptr(FlMethodChannel) old_channel = open("c", &first);
  g_object_unref(open("c", &second));

  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(call_text("c"), "second");
  EXPECT_EQ(first.calls, 0);

  // The creator still holds the old channel; releasing it drops nothing more.
  g_clear_object(&old_channel);
  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(second.destroyed, 0);
}

TEST_F(ChannelTest, AHandlerSetOnAChannelThatLostItsNameIsRefused) {
  Handler& first = add_handler();
  Handler& late = add_handler("late");
  Handler& second = add_handler("second");
  g_autoptr(FlMethodChannel) old_channel = open("c", &first);
  g_object_unref(open("c", &second));

  g_test_expect_message("flutter", G_LOG_LEVEL_WARNING,
                        "*channel \"c\", which another channel has taken*");
  fl_method_channel_set_method_call_handler(old_channel, reply_with_text_cb,
                                            &late, Handler::destroy);
  g_test_assert_expected_messages();
  // Its data is dropped at once, and the name stays with the newer channel.
  EXPECT_EQ(late.destroyed, 1);
  EXPECT_EQ(call_text("c"), "second");
}

TEST_F(ChannelTest, ReplacingTheHandlerDropsTheOldOneOnce) {
  Handler& first = add_handler();
  Handler& second = add_handler("second");
  g_autoptr(FlMethodChannel) channel = open("c", &first);
  fl_method_channel_set_method_call_handler(channel, reply_with_text_cb,
                                            &second, Handler::destroy);
  EXPECT_EQ(first.destroyed, 1);
  EXPECT_EQ(call_text("c"), "second");

  fl_method_channel_set_method_call_handler(channel, nullptr, nullptr, nullptr);
  EXPECT_EQ(second.destroyed, 1);
}

TEST_F(ChannelTest, ShutdownDropsEveryHandlerExactlyOnce) {
  Handler& a = add_handler();
  Handler& b = add_handler();
  g_autoptr(FlMethodChannel) kept = open("a", &a);
  g_object_unref(open("b", &b));

  embedding_host_messenger_shutdown(host_.messenger());
  EXPECT_EQ(a.destroyed, 1);
  EXPECT_EQ(b.destroyed, 1);
  EXPECT_EQ(call_text("a"), "<not implemented>");
  EXPECT_EQ(call_text("b"), "<not implemented>");

  // Neither a second shutdown nor the release of a channel drops them again,
  // and a handler set after shutdown is dropped at once, with a warning.
  embedding_host_messenger_shutdown(host_.messenger());
  g_clear_object(&kept);
  Handler& late = add_handler();
  {
    LogCapture log;
    g_object_unref(open("late", &late));
    EXPECT_EQ(log.messages().size(), 1u);
  }
  EXPECT_EQ(a.destroyed, 1);
  EXPECT_EQ(b.destroyed, 1);
  EXPECT_EQ(late.destroyed, 1);
  EXPECT_EQ(call_text("late"), "<not implemented>");
}

// A channel keeps its messenger, and the messenger keeps the channel while
// it serves the name: shutting the messenger down ends that, as an engine's
// shutdown does, and then nothing is left.
TEST(Messenger, ShutdownDropsTheHandlersAndLetsTheMessengerGo) {
  Handler handler;
  EmbeddingHostMessenger* messenger = embedding_host_messenger_new();
  g_object_add_weak_pointer(G_OBJECT(messenger),
                            reinterpret_cast<gpointer*>(&messenger));
  {
    g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
    g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
        FL_BINARY_MESSENGER(messenger), "c", FL_METHOD_CODEC(codec));
    fl_method_channel_set_method_call_handler(channel, reply_with_text_cb,
                                              &handler, Handler::destroy);
  }
  embedding_host_messenger_shutdown(messenger);
  EXPECT_EQ(handler.destroyed, 1);
  g_object_unref(messenger);
  EXPECT_EQ(messenger, nullptr);
}

void respond_twice_cb(FlMethodChannel* channel,
                      FlMethodCall* call,
                      gpointer user_data) {
  g_autoptr(FlValue) first_value = fl_value_new_string("first");
  g_autoptr(FlMethodResponse) first =
      FL_METHOD_RESPONSE(fl_method_success_response_new(first_value));
  g_autoptr(FlMethodResponse) second =
      FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  EXPECT_TRUE(fl_method_call_respond(call, first, nullptr));

  g_autoptr(GError) error = nullptr;
  // A mistake whether or not the caller asks for the error.
  g_test_expect_message("flutter", G_LOG_LEVEL_CRITICAL,
                        "*has already been answered*");
  EXPECT_FALSE(fl_method_call_respond(call, second, &error));
  g_test_assert_expected_messages();
  EXPECT_PRED_FORMAT3(error_matches, error, FL_BINARY_MESSENGER_ERROR,
                      FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED);
  *static_cast<std::string*>(user_data) =
      error != nullptr ? error->message : "";
}

TEST_F(ChannelTest, ACallIsAnsweredOnlyOnce) {
  std::string second_error;
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_set_method_call_handler(channel, respond_twice_cb,
                                            &second_error, nullptr);
  EXPECT_EQ(call_text("c", "twice"), "first");
  EXPECT_EQ(second_error,
            "the message on channel \"c\" has already been answered");
}

// A handler may keep the call and answer later, from another thread; the
// sender waits for that answer.
struct LateAnswer {
  std::thread responder;
  std::atomic<bool> sent{false};
};

void answer_later_cb(FlMethodChannel* channel,
                     FlMethodCall* call,
                     gpointer user_data) {
  auto* late = static_cast<LateAnswer*>(user_data);
  g_object_ref(call);
  late->responder = std::thread([late, call] {
    g_autoptr(FlValue) result = fl_value_new_int(7);
    g_autoptr(FlMethodResponse) response =
        FL_METHOD_RESPONSE(fl_method_success_response_new(result));
    late->sent = fl_method_call_respond(call, response, nullptr);
    g_object_unref(call);
  });
}

TEST_F(ChannelTest, AnAnswerFromAnotherThreadReachesTheSender) {
  LateAnswer late;
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_set_method_call_handler(channel, answer_later_cb, &late,
                                            nullptr);
  Bytes reply = host_.send("c", encode_method_call("m"));
  late.responder.join();
  EXPECT_TRUE(late.sent);
  EXPECT_EQ(to_hex(reply), "00 03 07 00 00 00");
}

// A plugin answers from another thread while the platform's thread hands the
// channel's name to a new channel, which closes the old one. The answer
// reaches the sender if it came first, and fails otherwise, the call being
// released unanswered; the old channel lives until its call is done with it.
void store_reply_cb(GObject* source, GAsyncResult* result, gpointer user_data) {
  auto* reply = static_cast<std::pair<GBytes*, GError*>*>(user_data);
  reply->first = embedding_host_messenger_send_finish(
      EMBEDDING_HOST_MESSENGER(source), result, &reply->second);
}

TEST_F(ChannelTest, AnAnswerFromAnotherThreadWhileTheNameIsTakenOver) {
  for (int round = 0; round < 50; round++) {
    LateAnswer late;
    FlMethodChannel* channel = open("c", nullptr);
    fl_method_channel_set_method_call_handler(channel, answer_later_cb, &late,
                                              nullptr);
    g_object_unref(channel);
    g_autoptr(GBytes) message = to_bytes(encode_method_call("m"));
    std::pair<GBytes*, GError*> reply{nullptr, nullptr};
    LogCapture log;
    embedding_host_messenger_send_async(host_.messenger(), "c", message,
                                        nullptr, store_reply_cb, &reply);
    // Delivered: the handler has handed the call to its thread.
    while (!late.responder.joinable()) {
      g_main_context_iteration(nullptr, TRUE);
    }
    Handler& next = add_handler("next");
    g_object_unref(open("c", &next));
    while (reply.first == nullptr && reply.second == nullptr) {
      g_main_context_iteration(nullptr, TRUE);
    }
    late.responder.join();
    if (late.sent) {
      EXPECT_EQ(to_hex(reply.first), "00 03 07 00 00 00") << "round " << round;
      EXPECT_EQ(log.messages().size(), 0u) << "round " << round;
    } else {
      EXPECT_PRED_FORMAT3(error_matches, reply.second, EMBEDDING_HOST_ERROR,
                          EMBEDDING_HOST_ERROR_NO_RESPONSE);
      // The refused answer's, and the unanswered release's.
      EXPECT_EQ(log.messages().size(), 2u) << "round " << round;
    }
    g_clear_pointer(&reply.first, g_bytes_unref);
    g_clear_error(&reply.second);
  }
}

// A channel its messenger has let go of is closed, as on the platform: an
// answer through it fails, and so does a call to the application, each with
// a critical. Unlike the platform's, the answer sets the GError asked for,
// and the call's callback runs, with the error, instead of never.
void keep_call_cb(FlMethodChannel* channel,
                  FlMethodCall* call,
                  gpointer user_data) {
  *static_cast<FlMethodCall**>(user_data) = FL_METHOD_CALL(g_object_ref(call));
}

TEST_F(ChannelTest, AClosedChannelRefusesAnswersAndCalls) {
  FlMethodCall* call = nullptr;
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_set_method_call_handler(channel, keep_call_cb, &call,
                                            nullptr);
  g_autoptr(GBytes) message = to_bytes(encode_method_call("m"));
  std::pair<GBytes*, GError*> reply{nullptr, nullptr};
  embedding_host_messenger_send_async(host_.messenger(), "c", message, nullptr,
                                      store_reply_cb, &reply);
  while (call == nullptr) {
    g_main_context_iteration(nullptr, TRUE);
  }
  embedding_host_messenger_shutdown(host_.messenger());

  g_autoptr(GError) error = nullptr;
  g_test_expect_message("flutter", G_LOG_LEVEL_CRITICAL,
                        "Failed to send method call response: channel \"c\" "
                        "is closed*");
  EXPECT_FALSE(fl_method_call_respond_not_implemented(call, &error));
  g_test_assert_expected_messages();
  EXPECT_PRED_FORMAT3(error_matches, error, G_IO_ERROR, G_IO_ERROR_CLOSED);
  g_test_expect_message("embedding-host", G_LOG_LEVEL_CRITICAL,
                        "*released without a response*");
  g_object_unref(call);
  g_test_assert_expected_messages();
  while (reply.second == nullptr) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_PRED_FORMAT3(error_matches, reply.second, EMBEDDING_HOST_ERROR,
                      EMBEDDING_HOST_ERROR_NO_RESPONSE);
  g_clear_error(&reply.second);

  g_test_expect_message("flutter", G_LOG_LEVEL_CRITICAL,
                        "*method \"ask\" on channel \"c\"*");
  GError* invoked = nullptr;
  fl_method_channel_invoke_method(
      channel, "ask", nullptr, nullptr,
      [](GObject* channel, GAsyncResult* result, gpointer invoked) {
        EXPECT_EQ(fl_method_channel_invoke_method_finish(
                      FL_METHOD_CHANNEL(channel), result,
                      static_cast<GError**>(invoked)),
                  nullptr);
      },
      &invoked);
  g_test_assert_expected_messages();
  while (invoked == nullptr) {
    g_main_context_iteration(nullptr, TRUE);
  }
  EXPECT_PRED_FORMAT3(error_matches, invoked, G_IO_ERROR, G_IO_ERROR_CLOSED);
  g_error_free(invoked);
}

// Two threads answer one call at once: exactly one wins, the other is told
// so, and neither touches what the winner's sender may already be freeing.
struct RacingAnswers {
  std::thread threads[2];
  std::atomic<int> sent{0};
  std::atomic<int> refused{0};
};

void answer_from_two_threads_cb(FlMethodChannel* channel,
                                FlMethodCall* call,
                                gpointer user_data) {
  auto* race = static_cast<RacingAnswers*>(user_data);
  for (int i = 0; i < 2; i++) {
    race->threads[i] = std::thread([race, i,
                                    call = FL_METHOD_CALL(g_object_ref(call))] {
      g_autoptr(FlValue) result = fl_value_new_int(i);
      g_autoptr(GError) error = nullptr;
      if (fl_method_call_respond_success(call, result, &error)) {
        race->sent++;
      } else if (g_error_matches(error, FL_BINARY_MESSENGER_ERROR,
                                 FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED)) {
        race->refused++;
      }
      g_object_unref(call);
    });
  }
}

TEST_F(ChannelTest, ConcurrentAnswersToOneCallSendExactlyOne) {
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  for (int round = 0; round < 200; round++) {
    RacingAnswers race;
    fl_method_channel_set_method_call_handler(
        channel, answer_from_two_threads_cb, &race, nullptr);
    Bytes reply;
    {
      // The loser's critical, from whichever thread loses.
      LogCapture log;
      reply = host_.send("c", encode_method_call("m"));
      for (std::thread& thread : race.threads) {
        thread.join();
      }
      ASSERT_EQ(log.messages().size(), 1u);
    }
    ASSERT_EQ(race.sent, 1) << "answers sent in round " << round;
    ASSERT_EQ(race.refused, 1) << "answers refused in round " << round;
    // The reply carries the winner's number: 0 or 1.
    std::string reply_hex = to_hex(reply);
    ASSERT_TRUE(reply_hex == "00 03 00 00 00 00" ||
                reply_hex == "00 03 01 00 00 00")
        << "reply " << reply_hex << " in round " << round;
  }
}

// Calls towards the application finish as GIO's asynchronous calls do: in
// the caller's thread-default main context, never before the call returns.
struct Invocation {
  GMainContext* context = nullptr;
  bool finished = false;
  bool finished_in_context = false;
  FlMethodResponse* response = nullptr;
  GError* error = nullptr;
};

void invocation_finished_cb(GObject* source,
                            GAsyncResult* result,
                            gpointer user_data) {
  auto* invocation = static_cast<Invocation*>(user_data);
  invocation->finished = true;
  invocation->finished_in_context =
      g_main_context_get_thread_default() == invocation->context;
  invocation->response = fl_method_channel_invoke_method_finish(
      FL_METHOD_CHANNEL(source), result, &invocation->error);
}

FlMethodResponse* answer_seven_cb(EmbeddingHost* host,
                                  const gchar* channel,
                                  const gchar* method,
                                  FlValue* args,
                                  gpointer user_data) {
  g_autoptr(FlValue) seven = fl_value_new_int(7);
  return FL_METHOD_RESPONSE(fl_method_success_response_new(seven));
}

class InvokeMethodTest : public ChannelTest {
 protected:
  void SetUp() override {
    g_main_context_push_thread_default(context_);
    invocation_.context = context_;
    embedding_host_set_method_call_handler(host_.host(), "c", answer_seven_cb,
                                           nullptr, nullptr);
  }

  void TearDown() override {
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
    g_clear_object(&invocation_.response);
    g_clear_error(&invocation_.error);
  }

  // The application answers in the messenger's context, the default one;
  // the callback then runs in the caller's.
  void run_until_finished() {
    while (!invocation_.finished) {
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
      g_main_context_iteration(context_, TRUE);
    }
  }

  GMainContext* context_ = g_main_context_new();
  Invocation invocation_;
};

TEST_F(InvokeMethodTest, FinishesInTheCallersThreadDefaultContext) {
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_invoke_method(channel, "m", nullptr, nullptr,
                                  invocation_finished_cb, &invocation_);
  EXPECT_FALSE(invocation_.finished);
  run_until_finished();
  EXPECT_TRUE(invocation_.finished_in_context);
  ASSERT_NE(invocation_.response, nullptr) << invocation_.error->message;
  EXPECT_EQ(fl_value_get_int(
                fl_method_response_get_result(invocation_.response, nullptr)),
            7);
}

TEST_F(InvokeMethodTest, ACancelledCallFinishesWithTheCancellation) {
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  g_autoptr(GCancellable) cancellable = g_cancellable_new();
  g_cancellable_cancel(cancellable);
  fl_method_channel_invoke_method(channel, "m", nullptr, cancellable,
                                  invocation_finished_cb, &invocation_);
  run_until_finished();
  EXPECT_EQ(invocation_.response, nullptr);
  EXPECT_PRED_FORMAT3(error_matches, invocation_.error, G_IO_ERROR,
                      G_IO_ERROR_CANCELLED);
}

TEST_F(ChannelTest, ANameNobodyServesGetsTheEmptyReply) {
  EXPECT_EQ(host_.send("nobody", encode_method_call("m")), Bytes());
}

TEST_F(ChannelTest, AnUndecodableMessageNeverReachesTheHandler) {
  Handler& handler = add_handler();
  g_object_unref(open("c", &handler));
  g_autoptr(GBytes) garbage = to_bytes(from_hex("07 05 61"));
  g_autoptr(GError) error = nullptr;
  g_test_expect_message("flutter", G_LOG_LEVEL_WARNING,
                        "Failed to decode method call on channel \"c\": size "
                        "5 at offset 1 needs 5 bytes but only 1 are left");
  g_test_expect_message("embedding-host", G_LOG_LEVEL_CRITICAL,
                        "*released without a response*");
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      host_.messenger(), "c", garbage, nullptr, &error);
  g_test_assert_expected_messages();
  EXPECT_EQ(reply, nullptr);
  EXPECT_PRED_FORMAT3(error_matches, error, EMBEDDING_HOST_ERROR,
                      EMBEDDING_HOST_ERROR_NO_RESPONSE);
  EXPECT_EQ(handler.calls, 0);
}

// Taking a name over while a call on it is being handled drops the old
// handler's data at once, as the platform does: a handler must not touch it
// after replacing itself.
struct Reentrant {
  Host* host;
  std::atomic<int> destroyed{0};
  int destroyed_during_call = -1;
};

void take_over_during_call_cb(FlMethodChannel* channel,
                              FlMethodCall* call,
                              gpointer user_data) {
  auto* reentrant = static_cast<Reentrant*>(user_data);
  // Answered first: the take-over closes this channel.
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  fl_method_call_respond(call, response, nullptr);
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_object_unref(fl_method_channel_new(reentrant->host->binary_messenger(), "c",
                                       FL_METHOD_CODEC(codec)));
  reentrant->destroyed_during_call = reentrant->destroyed;
}

TEST_F(ChannelTest, TakeOverDuringACallDropsTheOldHandlerAtOnce) {
  Reentrant reentrant{&host_};
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_set_method_call_handler(
      channel, take_over_during_call_cb, &reentrant,
      [](gpointer data) { static_cast<Reentrant*>(data)->destroyed++; });
  EXPECT_EQ(call_text("c"), "<not implemented>");
  EXPECT_EQ(reentrant.destroyed_during_call, 1);
  EXPECT_EQ(reentrant.destroyed, 1);
}

TEST_F(ChannelTest, ConcurrentCallsOnSeveralChannelsEachGetTheirOwnReply) {
  constexpr int kThreads = 4;
  constexpr int kCallsPerThread = 2000;
  Handler* handlers[] = {&add_handler("zero"), &add_handler("one")};
  g_object_unref(open("zero", &(*handlers[0])));
  g_object_unref(open("one", &(*handlers[1])));

  std::atomic<int> wrong{0};
  std::atomic<int> senders_left{kThreads};
  std::vector<std::thread> threads;
  PlatformLoop platform;
  for (int t = 0; t < kThreads; t++) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kCallsPerThread; i++) {
        int which = (t + i) % 2;
        g_autoptr(FlMethodResponse) response = embedding_host_invoke_method(
            host_.host(), which == 0 ? "zero" : "one", "m", nullptr, nullptr,
            nullptr);
        FlValue* result = response != nullptr
                              ? fl_method_response_get_result(response, nullptr)
                              : nullptr;
        if (result == nullptr ||
            handlers[which]->reply_text != fl_value_get_string(result)) {
          wrong++;
        }
      }
      if (--senders_left == 0) {
        platform.quit();
      }
    });
  }
  platform.run();
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ((*handlers[0]).calls + (*handlers[1]).calls,
            kThreads * kCallsPerThread);
}

}  // namespace

namespace {

// A plugin may use the messenger itself: bytes in, bytes out.
void echo_bytes_cb(FlBinaryMessenger* messenger,
                   const gchar* channel,
                   GBytes* message,
                   FlBinaryMessengerResponseHandle* response_handle,
                   gpointer user_data) {
  g_autoptr(GError) error = nullptr;
  EXPECT_TRUE(fl_binary_messenger_send_response(messenger, response_handle,
                                                message, &error));
  EXPECT_FALSE(fl_binary_messenger_send_response(messenger, response_handle,
                                                 nullptr, nullptr));
}

TEST_F(ChannelTest, ARawHandlerAnswersWithBytes) {
  fl_binary_messenger_set_message_handler_on_channel(
      host_.binary_messenger(), "raw", echo_bytes_cb, nullptr, nullptr);
  EXPECT_EQ(to_hex(host_.send("raw", from_hex("de ad be ef"))), "de ad be ef");
}

// The application may let its host go while it answers a plugin's call.
TEST(ApplicationHandler, MayLetTheHostGoWhileAnsweringACall) {
  EmbeddingHost* host = embedding_host_new();
  embedding_host_set_method_call_handler(
      host, "c",
      [](EmbeddingHost* host, const gchar*, const gchar*, FlValue*, gpointer) {
        g_object_unref(host);
        g_autoptr(FlValue) result = fl_value_new_int(1);
        return FL_METHOD_RESPONSE(fl_method_success_response_new(result));
      },
      nullptr, nullptr);
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
      FL_BINARY_MESSENGER(embedding_host_get_messenger(host)), "c",
      FL_METHOD_CODEC(codec));
  bool finished = false;
  fl_method_channel_invoke_method(
      channel, "m", nullptr, nullptr,
      [](GObject*, GAsyncResult*, gpointer finished) {
        *static_cast<bool*>(finished) = true;
      },
      &finished);
  while (!finished) {
    g_main_context_iteration(nullptr, TRUE);
  }
}

// A message sent from another thread is delivered on the platform's thread,
// the one running the messenger's context, and its reply comes back to the
// sender's own context.
void note_thread_cb(FlMethodChannel* channel,
                    FlMethodCall* call,
                    gpointer user_data) {
  *static_cast<GThread**>(user_data) = g_thread_self();
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  fl_method_call_respond(call, response, nullptr);
}

TEST_F(ChannelTest, AMessageFromAnotherThreadIsHandledOnThePlatformThread) {
  GThread* handled_on = nullptr;
  g_autoptr(FlMethodChannel) channel = open("c", nullptr);
  fl_method_channel_set_method_call_handler(channel, note_thread_cb,
                                            &handled_on, nullptr);
  PlatformLoop platform;
  Bytes reply{0xff};
  std::thread sender([&] {
    g_autoptr(GBytes) message = to_bytes(encode_method_call("m"));
    g_autoptr(GBytes) bytes = embedding_host_messenger_send(
        host_.messenger(), "c", message, nullptr, nullptr);
    reply = bytes != nullptr ? to_vector(bytes) : Bytes{0xff};
    platform.quit();
  });
  platform.run();
  sender.join();
  EXPECT_EQ(handled_on, g_thread_self());
  EXPECT_EQ(reply, Bytes());
}

}  // namespace
