#ifndef KESTRUNE_TESTS_SUPPORT_TEST_SUPPORT_H_
#define KESTRUNE_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "embedding_host/embedding_host.h"

namespace test_support {

using Bytes = std::vector<uint8_t>;

// "07 03 61 62 63" -> {0x07, 0x03, 0x61, 0x62, 0x63}; blanks are ignored.
Bytes from_hex(const std::string& hex);
std::string to_hex(const uint8_t* data, size_t size);
std::string to_hex(const Bytes& bytes);
std::string to_hex(GBytes* bytes);
Bytes to_vector(GBytes* bytes);
// As to_vector(), and releases @bytes.
Bytes take_vector(GBytes* bytes);
Bytes to_vector(GByteArray* bytes);

GBytes* to_bytes(const Bytes& bytes);

// The standard method codec's encoding of a call, as bytes.
Bytes encode_method_call(const char* method, FlValue* args = nullptr);

// The standard message codec's encoding of @value, and its decoding of
// @bytes (NULL with @error set when they do not decode).
Bytes encode_value(FlValue* value);
FlValue* decode_value(const Bytes& bytes, GError** error = nullptr);

// The standard method codec's decoding of a call, and its encoding and
// decoding of replies.
bool decode_method_call(const Bytes& bytes,
                        gchar** name,
                        FlValue** args,
                        GError** error = nullptr);
Bytes encode_response(FlMethodResponse* response);
FlMethodResponse* decode_response(const Bytes& bytes, GError** error = nullptr);

// What a failed expectation shows: a value as fl_value_to_string() writes
// it, an error as its domain, code and message, a response as its kind and
// contents. NULL is "none".
std::string describe(FlValue* value);
std::string describe(const GError* error);
std::string describe(FlMethodResponse* response);

// fl_value_equal() for EXPECT_PRED_FORMAT2(values_equal, actual, expected),
// which shows both values when they differ.
testing::AssertionResult values_equal(const char* actual_expression,
                                      const char* expected_expression,
                                      FlValue* actual,
                                      FlValue* expected);

// g_error_matches() for EXPECT_PRED_FORMAT3(error_matches, error, DOMAIN,
// CODE), which shows the error there was instead.
testing::AssertionResult error_matches(const char* error_expression,
                                       const char* domain_expression,
                                       const char* code_expression,
                                       const GError* error,
                                       GQuark domain,
                                       gint code);

// Records the warnings and criticals logged while it lives, instead of
// letting them through (or abort the test under G_DEBUG=fatal-warnings).
// A test that does not create one expects no such message at all.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& messages() const { return messages_; }

 private:
  static GLogWriterOutput write(GLogLevelFlags level,
                                const GLogField* fields,
                                gsize field_count,
                                gpointer user_data);
  static gboolean keep_going(const gchar* domain,
                             GLogLevelFlags level,
                             const gchar* message,
                             gpointer user_data);

  std::vector<std::string> messages_;
  GLogLevelFlags saved_fatal_mask_;
};

// The application's side, with a registrar for one plugin, as an
// application's generated registrant gets one.
class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  EmbeddingHost* host() const { return host_; }
  EmbeddingHostMessenger* messenger() const {
    return embedding_host_get_messenger(host_);
  }
  FlBinaryMessenger* binary_messenger() const {
    return FL_BINARY_MESSENGER(messenger());
  }
  FlPluginRegistrar* registrar() const { return registrar_; }

  // Sends @message on @channel; returns the reply bytes. Fails the test if
  // no reply comes.
  Bytes send(const char* channel, const Bytes& message);

  // Calls @method on @channel, as the application's Dart side does. Fails
  // the test if no decodable reply comes.
  FlMethodResponse* call(const char* channel,
                         const char* method,
                         FlValue* args = nullptr);

 private:
  EmbeddingHost* host_;
  FlPluginRegistrar* registrar_;
};

// Counts how often a GObject is disposed and finalised, without touching its
// class: a weak reference is notified during dispose, object data is
// released in finalize.
class LifeWatch {
 public:
  explicit LifeWatch(gpointer object);
  ~LifeWatch();
  LifeWatch(const LifeWatch&) = delete;
  LifeWatch& operator=(const LifeWatch&) = delete;

  int disposed() const { return disposed_; }
  int finalized() const { return finalized_; }

 private:
  static void weak_notify(gpointer data, GObject* where_the_object_was);
  static void data_destroyed(gpointer data);

  GObject* object_;
  int disposed_ = 0;
  int finalized_ = 0;
};

}  // namespace test_support

#endif  // KESTRUNE_TESTS_SUPPORT_TEST_SUPPORT_H_
