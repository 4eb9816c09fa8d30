// The platform's ABI as a plugin compiled against it relies on: each
// function's C signature, and the slots of each interface and class
// structure in order. A mismatch fails to compile; the tests below check
// the types the library registers.

// First and alone, as a plugin includes it: the umbrella header compiles on
// its own.
#include <flutter_linux/flutter_linux.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>
#include <utility>

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

// The type relationships a plugin relies on: each type's name, kind and
// parent, and the class structure it was registered with.
TEST(PlatformAbi, TypesHaveThePlatformsNamesKindsParentsAndStructures) {
  struct Expected {
    GType type;
    const char* name;
    GType parent;
    bool is_final;
    size_t class_size;
  };
  const Expected expected[] = {
      {fl_message_codec_get_type(), "FlMessageCodec", G_TYPE_OBJECT, false,
       sizeof(FlMessageCodecClass)},
      {fl_standard_message_codec_get_type(), "FlStandardMessageCodec",
       fl_message_codec_get_type(), false, sizeof(FlStandardMessageCodecClass)},
      {fl_method_codec_get_type(), "FlMethodCodec", G_TYPE_OBJECT, false,
       sizeof(FlMethodCodecClass)},
      {fl_standard_method_codec_get_type(), "FlStandardMethodCodec",
       fl_method_codec_get_type(), true, sizeof(FlStandardMethodCodecClass)},
      {fl_method_response_get_type(), "FlMethodResponse", G_TYPE_OBJECT, false,
       sizeof(FlMethodResponseClass)},
      {fl_method_success_response_get_type(), "FlMethodSuccessResponse",
       fl_method_response_get_type(), true,
       sizeof(FlMethodSuccessResponseClass)},
      {fl_method_error_response_get_type(), "FlMethodErrorResponse",
       fl_method_response_get_type(), true, sizeof(FlMethodErrorResponseClass)},
      {fl_method_not_implemented_response_get_type(),
       "FlMethodNotImplementedResponse", fl_method_response_get_type(), true,
       sizeof(FlMethodNotImplementedResponseClass)},
      {fl_method_call_get_type(), "FlMethodCall", G_TYPE_OBJECT, true,
       sizeof(FlMethodCallClass)},
      {fl_method_channel_get_type(), "FlMethodChannel", G_TYPE_OBJECT, true,
       sizeof(FlMethodChannelClass)},
      {fl_binary_messenger_response_handle_get_type(),
       "FlBinaryMessengerResponseHandle", G_TYPE_OBJECT, false,
       sizeof(FlBinaryMessengerResponseHandleClass)},
  };
  for (const Expected& each : expected) {
    EXPECT_STREQ(g_type_name(each.type), each.name);
    EXPECT_EQ(g_type_parent(each.type), each.parent) << each.name;
    EXPECT_EQ(G_TYPE_IS_FINAL(each.type), each.is_final) << each.name;
    GTypeQuery query;
    g_type_query(each.type, &query);
    EXPECT_EQ(query.class_size, each.class_size) << each.name;
  }
  const std::pair<GType, const char*> interfaces[] = {
      {fl_binary_messenger_get_type(), "FlBinaryMessenger"},
      {fl_plugin_registrar_get_type(), "FlPluginRegistrar"},
      {fl_plugin_registry_get_type(), "FlPluginRegistry"},
  };
  for (const auto& [interface, name] : interfaces) {
    EXPECT_STREQ(g_type_name(interface), name);
    EXPECT_TRUE(G_TYPE_IS_INTERFACE(interface)) << name;
    guint count = 0;
    g_autofree GType* prerequisites =
        g_type_interface_prerequisites(interface, &count);
    ASSERT_EQ(count, 1u) << name;
    EXPECT_EQ(prerequisites[0], G_TYPE_OBJECT) << name;
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
