// A second plugin, written as a plugin author would write it, driven from
// the application's side: a map argument read with fl_value_lookup_string,
// replies with the respond helpers, and a call back into the application
// with fl_method_channel_invoke_method.

#include "second_plugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

using test_support::Host;

// What a reply says, in one line: "success: VALUE", "error CODE: MESSAGE",
// "not implemented" or "failed: ...".
std::string describe(FlMethodResponse* response, GError* error) {
  if (response == nullptr) {
    return std::string("failed: ") + (error != nullptr ? error->message : "");
  }
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    g_autofree gchar* text =
        fl_value_to_string(fl_method_response_get_result(response, nullptr));
    return std::string("success: ") + text;
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* failure = FL_METHOD_ERROR_RESPONSE(response);
    const gchar* message = fl_method_error_response_get_message(failure);
    return std::string("error ") + fl_method_error_response_get_code(failure) +
           ": " + (message != nullptr ? message : "");
  }
  return "not implemented";
}

FlValue* map_of(const char* key, FlValue* value) {
  FlValue* map = fl_value_new_map();
  fl_value_set_string_take(map, key, value);
  return map;
}

// How the application answers the plugin's "answer" calls in a case.
using ApplicationAnswer = std::function<FlMethodResponse*(FlValue* args)>;

struct SecondPluginCase {
  const char* name;
  const char* method;
  std::function<FlValue*()> args;
  ApplicationAnswer application;  // empty: nothing on the application's side
  const char* reply;
};

void PrintTo(const SecondPluginCase& each, std::ostream* out) {
  *out << each.name;
}

FlMethodResponse* answer_cb(EmbeddingHost* host,
                            const gchar* channel,
                            const gchar* method,
                            FlValue* args,
                            gpointer user_data) {
  EXPECT_STREQ(method, "answer");
  return (*static_cast<ApplicationAnswer*>(user_data))(args);
}

class SecondPluginTest : public testing::TestWithParam<SecondPluginCase> {
 protected:
  Host host_;
};

TEST_P(SecondPluginTest, Replies) {
  const SecondPluginCase& each = GetParam();
  second_plugin_register_with_registrar(host_.registrar());
  ApplicationAnswer application = each.application;
  if (application) {
    embedding_host_set_method_call_handler(host_.host(), "second", answer_cb,
                                           &application, nullptr);
  }
  g_autoptr(FlValue) args = each.args ? each.args() : nullptr;
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response = embedding_host_invoke_method(
      host_.host(), "second", each.method, args, nullptr, &error);
  EXPECT_EQ(describe(response, error), each.reply);
}

INSTANTIATE_TEST_SUITE_P(
    Calls,
    SecondPluginTest,
    testing::Values(
        SecondPluginCase{
            "GreetReadsTheNameFromAMap",
            "greet",
            [] { return map_of("name", fl_value_new_string("Ada")); },
            {},
            "success: Hello, Ada"},
        SecondPluginCase{"GreetWithoutArgumentsIsAnError",
                         "greet",
                         {},
                         {},
                         "error BAD_ARGUMENTS: expected a map with a string "
                         "\"name\""},
        SecondPluginCase{
            "GreetWithANameThatIsNoStringIsAnError",
            "greet",
            [] { return map_of("name", fl_value_new_int(7)); },
            {},
            "error BAD_ARGUMENTS: expected a map with a string \"name\""},
        SecondPluginCase{"AnyOtherMethodIsNotImplemented",
                         "wave",
                         {},
                         {},
                         "not implemented"},
        SecondPluginCase{
            "AskRepliesWithTheApplicationsAnswer", "ask",
            [] { return map_of("question", fl_value_new_string("six * 7")); },
            [](FlValue* args) {
              EXPECT_STREQ(
                  fl_value_get_string(fl_value_lookup_string(args, "question")),
                  "six * 7");
              g_autoptr(FlValue) answer = fl_value_new_int(42);
              return FL_METHOD_RESPONSE(fl_method_success_response_new(answer));
            },
            "success: 42"},
        SecondPluginCase{"AskPassesOnAnErrorOfTheApplication",
                         "ask",
                         {},
                         [](FlValue* args) {
                           return FL_METHOD_RESPONSE(
                               fl_method_error_response_new("NO", "not today",
                                                            nullptr));
                         },
                         "error APPLICATION_ERROR: remote error NO: not today"},
        SecondPluginCase{"AskWithNothingOnTheApplicationsSide",
                         "ask",
                         {},
                         {},
                         "error APPLICATION_ERROR: method not implemented"},
        SecondPluginCase{
            "AskLeftUnansweredByTheApplication",
            "ask",
            {},
            [](FlValue* args) -> FlMethodResponse* { return nullptr; },
            "error APPLICATION_ERROR: the application left the message on "
            "channel \"second\" unanswered"}),
    [](const auto& info) { return info.param.name; });

// Several threads call "ask" at once while the platform's thread runs the
// messenger's context: every call, and every call the plugin makes to the
// application, is delivered there, and each sender gets its own answer.
FlMethodResponse* echo_question_cb(EmbeddingHost* host,
                                   const gchar* channel,
                                   const gchar* method,
                                   FlValue* args,
                                   gpointer user_data) {
  EXPECT_EQ(g_thread_self(), static_cast<GThread*>(user_data));
  return FL_METHOD_RESPONSE(
      fl_method_success_response_new(fl_value_lookup_string(args, "question")));
}

TEST(SecondPlugin, ConcurrentAsksFromOtherThreadsEachGetTheirAnswer) {
  constexpr int kThreads = 4;
  constexpr int kAsksPerThread = 2000;
  GMainContext* context = g_main_context_default();
  ASSERT_TRUE(g_main_context_acquire(context));
  g_autoptr(GMainLoop) loop = g_main_loop_new(context, FALSE);
  Host host;
  second_plugin_register_with_registrar(host.registrar());
  embedding_host_set_method_call_handler(
      host.host(), "second", echo_question_cb, g_thread_self(), nullptr);
  std::atomic<int> right{0};
  std::atomic<int> senders_left{kThreads};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; t++) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kAsksPerThread; i++) {
        std::string question = std::to_string(t) + "." + std::to_string(i);
        g_autoptr(FlValue) args =
            map_of("question", fl_value_new_string(question.c_str()));
        g_autoptr(GError) error = nullptr;
        g_autoptr(FlMethodResponse) response = embedding_host_invoke_method(
            host.host(), "second", "ask", args, nullptr, &error);
        if (describe(response, error) == "success: " + question) {
          right++;
        } else {
          ADD_FAILURE() << question << ": " << describe(response, error);
        }
      }
      if (--senders_left == 0) {
        g_main_loop_quit(loop);
      }
    });
  }
  g_main_loop_run(loop);
  for (std::thread& thread : threads) {
    thread.join();
  }
  g_main_context_release(context);
  EXPECT_EQ(right, kThreads * kAsksPerThread);
}

}  // namespace
