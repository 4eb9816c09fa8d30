// The platform's ABI as a plugin compiled against it relies on: each
// function's C signature, and the slots of each interface and class
// structure in order. A mismatch fails to compile; the test below checks
// that the library registered its types with the structures the headers
// declare.

#include <flutter_linux/flutter_linux.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "platform_api.h"

namespace {

#define CHECK_SIGNATURE(function, pointer_type)                    \
  static_assert(std::is_same_v<decltype(&function), pointer_type>, \
                #function " does not have the platform's signature");
KESTRUNE_PLATFORM_API(CHECK_SIGNATURE)
#undef CHECK_SIGNATURE

static_assert(std::is_same_v<FlBinaryMessengerMessageHandler,
                             void (*)(FlBinaryMessenger*,
                                      const gchar*,
                                      GBytes*,
                                      FlBinaryMessengerResponseHandle*,
                                      gpointer)>);
static_assert(
    std::is_same_v<FlMethodChannelMethodCallHandler,
                   void (*)(FlMethodChannel*, FlMethodCall*, gpointer)>);

// Each slot has its type, right after the one before it: the first after
// the parent structure.
#define SLOT(Struct, previous_end, member, ...)                        \
  static_assert(std::is_same_v<decltype(Struct::member), __VA_ARGS__>, \
                #Struct "." #member " has another type");              \
  static_assert(offsetof(Struct, member) == (previous_end),            \
                #Struct "." #member " is not where the platform has it");

#define END_OF(Struct, member) (offsetof(Struct, member) + sizeof(void*))

SLOT(FlBinaryMessengerInterface,
     sizeof(GTypeInterface),
     set_message_handler_on_channel,
     void (*)(FlBinaryMessenger*,
              const gchar*,
              FlBinaryMessengerMessageHandler,
              gpointer,
              GDestroyNotify))
SLOT(FlBinaryMessengerInterface,
     END_OF(FlBinaryMessengerInterface, set_message_handler_on_channel),
     send_response,
     gboolean (*)(FlBinaryMessenger*,
                  FlBinaryMessengerResponseHandle*,
                  GBytes*,
                  GError**))
SLOT(FlBinaryMessengerInterface,
     END_OF(FlBinaryMessengerInterface, send_response),
     send_on_channel,
     void (*)(FlBinaryMessenger*,
              const gchar*,
              GBytes*,
              GCancellable*,
              GAsyncReadyCallback,
              gpointer))
SLOT(FlBinaryMessengerInterface,
     END_OF(FlBinaryMessengerInterface, send_on_channel),
     send_on_channel_finish,
     GBytes* (*)(FlBinaryMessenger*, GAsyncResult*, GError**))
SLOT(FlBinaryMessengerInterface,
     END_OF(FlBinaryMessengerInterface, send_on_channel_finish),
     resize_channel,
     void (*)(FlBinaryMessenger*, const gchar*, int64_t))
SLOT(FlBinaryMessengerInterface,
     END_OF(FlBinaryMessengerInterface, resize_channel),
     set_warns_on_channel_overflow,
     void (*)(FlBinaryMessenger*, const gchar*, bool))
static_assert(sizeof(FlBinaryMessengerInterface) ==
              END_OF(FlBinaryMessengerInterface,
                     set_warns_on_channel_overflow));

static_assert(sizeof(FlBinaryMessengerResponseHandleClass) ==
              sizeof(GObjectClass));

SLOT(FlPluginRegistrarInterface,
     sizeof(GTypeInterface),
     get_messenger,
     FlBinaryMessenger* (*)(FlPluginRegistrar*))
SLOT(FlPluginRegistrarInterface,
     END_OF(FlPluginRegistrarInterface, get_messenger),
     get_texture_registrar,
     FlTextureRegistrar* (*)(FlPluginRegistrar*))
SLOT(FlPluginRegistrarInterface,
     END_OF(FlPluginRegistrarInterface, get_texture_registrar),
     get_view,
     FlView* (*)(FlPluginRegistrar*))
static_assert(sizeof(FlPluginRegistrarInterface) ==
              END_OF(FlPluginRegistrarInterface, get_view));

SLOT(FlPluginRegistryInterface,
     sizeof(GTypeInterface),
     get_registrar_for_plugin,
     FlPluginRegistrar* (*)(FlPluginRegistry*, const gchar*))
static_assert(sizeof(FlPluginRegistryInterface) ==
              END_OF(FlPluginRegistryInterface, get_registrar_for_plugin));

SLOT(FlMessageCodecClass,
     sizeof(GObjectClass),
     encode_message,
     GBytes* (*)(FlMessageCodec*, FlValue*, GError**))
SLOT(FlMessageCodecClass,
     END_OF(FlMessageCodecClass, encode_message),
     decode_message,
     FlValue* (*)(FlMessageCodec*, GBytes*, GError**))
static_assert(sizeof(FlMessageCodecClass) ==
              END_OF(FlMessageCodecClass, decode_message));

SLOT(FlStandardMessageCodecClass,
     sizeof(FlMessageCodecClass),
     write_value,
     gboolean (*)(FlStandardMessageCodec*, GByteArray*, FlValue*, GError**))
SLOT(FlStandardMessageCodecClass,
     END_OF(FlStandardMessageCodecClass, write_value),
     read_value_of_type,
     FlValue* (*)(FlStandardMessageCodec*, GBytes*, size_t*, int, GError**))
static_assert(sizeof(FlStandardMessageCodecClass) ==
              END_OF(FlStandardMessageCodecClass, read_value_of_type));

SLOT(FlMethodCodecClass,
     sizeof(GObjectClass),
     encode_method_call,
     GBytes* (*)(FlMethodCodec*, const gchar*, FlValue*, GError**))
SLOT(FlMethodCodecClass,
     END_OF(FlMethodCodecClass, encode_method_call),
     decode_method_call,
     gboolean (*)(FlMethodCodec*, GBytes*, gchar**, FlValue**, GError**))
SLOT(FlMethodCodecClass,
     END_OF(FlMethodCodecClass, decode_method_call),
     encode_success_envelope,
     GBytes* (*)(FlMethodCodec*, FlValue*, GError**))
SLOT(
    FlMethodCodecClass,
    END_OF(FlMethodCodecClass, encode_success_envelope),
    encode_error_envelope,
    GBytes* (*)(FlMethodCodec*, const gchar*, const gchar*, FlValue*, GError**))
SLOT(FlMethodCodecClass,
     END_OF(FlMethodCodecClass, encode_error_envelope),
     decode_response,
     FlMethodResponse* (*)(FlMethodCodec*, GBytes*, GError**))
static_assert(sizeof(FlMethodCodecClass) ==
              END_OF(FlMethodCodecClass, decode_response));

static_assert(sizeof(FlMethodResponseClass) == sizeof(GObjectClass));

#undef SLOT
#undef END_OF

// The platform's error codes, in their order.
static_assert(FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED == 0);
static_assert(FL_MESSAGE_CODEC_ERROR_FAILED == 0 &&
              FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA == 1 &&
              FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA == 2 &&
              FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE == 3);
static_assert(FL_METHOD_RESPONSE_ERROR_FAILED == 0 &&
              FL_METHOD_RESPONSE_ERROR_REMOTE_ERROR == 1 &&
              FL_METHOD_RESPONSE_ERROR_NOT_IMPLEMENTED == 2);

TEST(PlatformAbi, TypesAreRegisteredWithTheStructuresTheHeadersDeclare) {
  struct Expected {
    GType type;
    size_t class_size;
  };
  const Expected expected[] = {
      {fl_message_codec_get_type(), sizeof(FlMessageCodecClass)},
      {fl_standard_message_codec_get_type(),
       sizeof(FlStandardMessageCodecClass)},
      {fl_method_codec_get_type(), sizeof(FlMethodCodecClass)},
      {fl_method_response_get_type(), sizeof(FlMethodResponseClass)},
      {fl_binary_messenger_response_handle_get_type(),
       sizeof(FlBinaryMessengerResponseHandleClass)},
  };
  for (const Expected& each : expected) {
    GTypeQuery query;
    g_type_query(each.type, &query);
    EXPECT_EQ(query.class_size, each.class_size) << g_type_name(each.type);
  }
}

// A quark's name is written once and must not be reformatted into another
// one (a formatter spaced out a hyphenated name once).
TEST(PlatformAbi, ErrorDomainQuarksAreNamedLikeTheirFunctions) {
  EXPECT_STREQ(g_quark_to_string(FL_BINARY_MESSENGER_ERROR),
               "fl_binary_messenger_codec_error_quark");
  EXPECT_STREQ(g_quark_to_string(FL_MESSAGE_CODEC_ERROR),
               "fl_message_codec_error_quark");
  EXPECT_STREQ(g_quark_to_string(FL_METHOD_RESPONSE_ERROR),
               "fl_method_response_error_quark");
}

}  // namespace
