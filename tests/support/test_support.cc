#include "test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <mutex>

namespace test_support {

Bytes from_hex(const std::string& hex) {
  Bytes bytes;
  std::string digits;
  for (char c : hex) {
    if (isxdigit(static_cast<unsigned char>(c))) {
      digits += c;
    }
  }
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(
        static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string to_hex(const uint8_t* data, size_t size) {
  std::string hex;
  char byte[4];
  for (size_t i = 0; i < size; i++) {
    snprintf(byte, sizeof(byte), i == 0 ? "%02x" : " %02x", data[i]);
    hex += byte;
  }
  return hex;
}

std::string to_hex(const Bytes& bytes) {
  return to_hex(bytes.data(), bytes.size());
}

Bytes to_vector(GBytes* bytes) {
  gsize size = 0;
  const auto* data =
      static_cast<const uint8_t*>(g_bytes_get_data(bytes, &size));
  return Bytes(data, data + size);
}

Bytes take_vector(GBytes* bytes) {
  Bytes vector = to_vector(bytes);
  g_bytes_unref(bytes);
  return vector;
}

Bytes to_vector(GByteArray* bytes) {
  return Bytes(bytes->data, bytes->data + bytes->len);
}

GBytes* to_bytes(const Bytes& bytes) {
  return g_bytes_new(bytes.data(), bytes.size());
}

namespace {

// Made for each use, so that no codec outlives the test that counts them.
FlMethodCodec* standard_method_codec() {
  return FL_METHOD_CODEC(fl_standard_method_codec_new());
}

FlMessageCodec* standard_message_codec() {
  return FL_MESSAGE_CODEC(fl_standard_message_codec_new());
}

}  // namespace

Bytes encode_method_call(const char* method, FlValue* args) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodCodec) codec = standard_method_codec();
  g_autoptr(GBytes) bytes =
      embedding_host_encode_method_call(codec, method, args, &error);
  EXPECT_NE(bytes, nullptr) << error->message;
  return bytes != nullptr ? to_vector(bytes) : Bytes();
}

Bytes encode_value(FlValue* value) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMessageCodec) codec = standard_message_codec();
  g_autoptr(GBytes) bytes =
      fl_message_codec_encode_message(codec, value, &error);
  EXPECT_NE(bytes, nullptr) << error->message;
  return bytes != nullptr ? to_vector(bytes) : Bytes();
}

FlValue* decode_value(const Bytes& bytes, GError** error) {
  g_autoptr(FlMessageCodec) codec = standard_message_codec();
  g_autoptr(GBytes) message = to_bytes(bytes);
  return fl_message_codec_decode_message(codec, message, error);
}

bool decode_method_call(const Bytes& bytes,
                        gchar** name,
                        FlValue** args,
                        GError** error) {
  g_autoptr(FlMethodCodec) codec = standard_method_codec();
  g_autoptr(GBytes) message = to_bytes(bytes);
  return embedding_host_decode_method_call(codec, message, name, args, error);
}

Bytes encode_response(FlMethodResponse* response) {
  g_autoptr(FlMethodCodec) codec = standard_method_codec();
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) bytes =
      embedding_host_encode_response(codec, response, &error);
  EXPECT_NE(bytes, nullptr) << error->message;
  return bytes != nullptr ? to_vector(bytes) : Bytes();
}

FlMethodResponse* decode_response(const Bytes& bytes, GError** error) {
  g_autoptr(FlMethodCodec) codec = standard_method_codec();
  g_autoptr(GBytes) message = to_bytes(bytes);
  return embedding_host_decode_response(codec, message, error);
}

std::string to_hex(GBytes* bytes) {
  return to_hex(to_vector(bytes));
}

std::string describe(FlValue* value) {
  if (value == nullptr) {
    return "none";
  }
  g_autofree gchar* text = fl_value_to_string(value);
  return text;
}

std::string describe(const GError* error) {
  if (error == nullptr) {
    return "none";
  }
  return std::string(g_quark_to_string(error->domain)) + " code " +
         std::to_string(error->code) + ": " + error->message;
}

std::string describe(FlMethodResponse* response) {
  if (response == nullptr) {
    return "none";
  }
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    return "success: " + describe(fl_method_success_response_get_result(
                             FL_METHOD_SUCCESS_RESPONSE(response)));
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* failure = FL_METHOD_ERROR_RESPONSE(response);
    const gchar* message = fl_method_error_response_get_message(failure);
    return std::string("error ") + fl_method_error_response_get_code(failure) +
           ": " + (message != nullptr ? message : "(no message)") +
           ", details " +
           describe(fl_method_error_response_get_details(failure));
  }
  if (FL_IS_METHOD_NOT_IMPLEMENTED_RESPONSE(response)) {
    return "not implemented";
  }
  return G_OBJECT_TYPE_NAME(response);
}

testing::AssertionResult values_equal(const char* actual_expression,
                                      const char* expected_expression,
                                      FlValue* actual,
                                      FlValue* expected) {
  if (actual != nullptr && expected != nullptr &&
      fl_value_equal(actual, expected)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << "Expected equal values:\n  " << actual_expression
         << "\n    Which is: " << describe(actual) << "\n  "
         << expected_expression << "\n    Which is: " << describe(expected);
}

testing::AssertionResult error_matches(const char* error_expression,
                                       const char* domain_expression,
                                       const char* code_expression,
                                       const GError* error,
                                       GQuark domain,
                                       gint code) {
  if (g_error_matches(error, domain, code)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << "Expected " << error_expression << " to be "
         << g_quark_to_string(domain) << " code " << code << " ("
         << code_expression << ")\n    Which is: " << describe(error);
}

namespace {

// GLib takes one log writer per process; it hands messages to the capture in
// force, if any, and to GLib's default writer otherwise.
LogCapture* active_capture = nullptr;
std::mutex capture_mutex;

}  // namespace

LogCapture::LogCapture() {
  static gsize writer_installed = 0;
  if (g_once_init_enter(&writer_installed)) {
    g_log_set_writer_func(write, nullptr, nullptr);
    g_once_init_leave(&writer_installed, 1);
  }
  // Warnings and criticals are expected here: they must not abort the test
  // when G_DEBUG makes them fatal.
  saved_fatal_mask_ =
      g_log_set_always_fatal(static_cast<GLogLevelFlags>(G_LOG_FATAL_MASK));
  g_test_log_set_fatal_handler(keep_going, nullptr);
  std::lock_guard<std::mutex> lock(capture_mutex);
  active_capture = this;
}

LogCapture::~LogCapture() {
  {
    std::lock_guard<std::mutex> lock(capture_mutex);
    active_capture = nullptr;
  }
  g_test_log_set_fatal_handler(nullptr, nullptr);
  g_log_set_always_fatal(saved_fatal_mask_);
}

GLogWriterOutput LogCapture::write(GLogLevelFlags level,
                                   const GLogField* fields,
                                   gsize field_count,
                                   gpointer user_data) {
  if ((level & (G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL)) != 0) {
    std::lock_guard<std::mutex> lock(capture_mutex);
    if (active_capture != nullptr) {
      for (gsize i = 0; i < field_count; i++) {
        if (g_strcmp0(fields[i].key, "MESSAGE") == 0) {
          active_capture->messages_.emplace_back(
              static_cast<const char*>(fields[i].value));
        }
      }
      return G_LOG_WRITER_HANDLED;
    }
  }
  return g_log_writer_default(level, fields, field_count, nullptr);
}

gboolean LogCapture::keep_going(const gchar* domain,
                                GLogLevelFlags level,
                                const gchar* message,
                                gpointer user_data) {
  return FALSE;
}

Host::Host()
    : host_(embedding_host_new()),
      registrar_(
          fl_plugin_registry_get_registrar_for_plugin(FL_PLUGIN_REGISTRY(host_),
                                                      "TestPlugin")) {}

Host::~Host() {
  g_object_unref(registrar_);
  embedding_host_shutdown(host_);
  g_object_unref(host_);
}

Bytes Host::send(const char* channel, const Bytes& message) {
  g_autoptr(GBytes) bytes = to_bytes(message);
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      messenger(), channel, bytes, nullptr, &error);
  EXPECT_NE(reply, nullptr) << (error != nullptr ? error->message : "");
  return reply != nullptr ? to_vector(reply) : Bytes();
}

FlMethodResponse* Host::call(const char* channel,
                             const char* method,
                             FlValue* args) {
  g_autoptr(GError) error = nullptr;
  FlMethodResponse* response = embedding_host_invoke_method(
      host_, channel, method, args, nullptr, &error);
  EXPECT_NE(response, nullptr) << (error != nullptr ? error->message : "");
  return response;
}

LifeWatch::LifeWatch(gpointer object) : object_(G_OBJECT(object)) {
  g_object_weak_ref(object_, weak_notify, this);
  g_object_set_data_full(object_, "test-support-life-watch", this,
                         data_destroyed);
}

LifeWatch::~LifeWatch() {
  if (disposed_ == 0) {
    g_object_weak_unref(object_, weak_notify, this);
  }
  if (finalized_ == 0) {
    g_object_steal_data(object_, "test-support-life-watch");
  }
}

void LifeWatch::weak_notify(gpointer data, GObject* where_the_object_was) {
  static_cast<LifeWatch*>(data)->disposed_++;
}

void LifeWatch::data_destroyed(gpointer data) {
  static_cast<LifeWatch*>(data)->finalized_++;
}

}  // namespace test_support
