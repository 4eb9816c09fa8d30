// What a plugin sees: this unit includes the platform's umbrella header and
// nothing of the stand-in's own, and uses every type through the casts,
// checks and g_autoptr() that the platform's headers provide.

#include <flutter_linux/flutter_linux.h>
#include <gtest/gtest.h>

#include "platform_headers_test_host.h"

namespace {

void check_call_cb(FlMethodChannel* channel,
                   FlMethodCall* method_call,
                   gpointer user_data) {
  EXPECT_TRUE(FL_IS_METHOD_CHANNEL(channel));
  EXPECT_TRUE(FL_IS_METHOD_CALL(method_call));
  FlMethodCall* same = FL_METHOD_CALL(G_OBJECT(method_call));
  EXPECT_STREQ(fl_method_call_get_name(same), "check");
  EXPECT_EQ(fl_value_get_type(fl_method_call_get_args(same)),
            FL_VALUE_TYPE_NULL);
  g_autoptr(FlMethodNotImplementedResponse) response =
      fl_method_not_implemented_response_new();
  EXPECT_TRUE(fl_method_call_respond(method_call, FL_METHOD_RESPONSE(response),
                                     nullptr));
  *static_cast<bool*>(user_data) = true;
}

TEST(PlatformHeaders, CastsChecksAndAutoptrWorkForEveryType) {
  g_autoptr(FlPluginRegistry) registry = header_test_host::new_registry();
  ASSERT_TRUE(FL_IS_PLUGIN_REGISTRY(registry));
  EXPECT_NE(FL_PLUGIN_REGISTRY_GET_IFACE(registry), nullptr);
  g_autoptr(FlPluginRegistrar) registrar =
      fl_plugin_registry_get_registrar_for_plugin(registry, "HeadersPlugin");
  ASSERT_TRUE(FL_IS_PLUGIN_REGISTRAR(registrar));
  EXPECT_EQ(fl_plugin_registrar_get_texture_registrar(registrar), nullptr);
  EXPECT_EQ(fl_plugin_registrar_get_view(registrar), nullptr);
  FlBinaryMessenger* messenger = fl_plugin_registrar_get_messenger(registrar);
  EXPECT_TRUE(FL_IS_BINARY_MESSENGER(messenger));
  EXPECT_NE(FL_BINARY_MESSENGER_GET_IFACE(messenger), nullptr);
  EXPECT_NE(FL_PLUGIN_REGISTRAR_GET_IFACE(registrar), nullptr);

  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  EXPECT_TRUE(FL_IS_STANDARD_METHOD_CODEC(codec));
  EXPECT_TRUE(FL_IS_METHOD_CODEC(codec));
  EXPECT_NE(FL_METHOD_CODEC_GET_CLASS(codec), nullptr);
  g_autoptr(FlMethodCodec) codec_ref =
      FL_METHOD_CODEC(g_object_ref(FL_METHOD_CODEC(codec)));
  EXPECT_EQ(codec_ref, FL_METHOD_CODEC(codec));

  g_autoptr(FlMethodChannel) channel =
      fl_method_channel_new(messenger, "headers", FL_METHOD_CODEC(codec));
  EXPECT_TRUE(FL_IS_METHOD_CHANNEL(channel));
  bool called = false;
  fl_method_channel_set_method_call_handler(channel, check_call_cb, &called,
                                            nullptr);
  header_test_host::call(registry, "headers", "check");
  EXPECT_TRUE(called);

  g_autoptr(FlValue) value = fl_value_new_string("v");
  g_autoptr(FlMethodSuccessResponse) success =
      fl_method_success_response_new(value);
  g_autoptr(FlMethodErrorResponse) error =
      fl_method_error_response_new("E", nullptr, nullptr);
  g_autoptr(FlMethodNotImplementedResponse) not_implemented =
      fl_method_not_implemented_response_new();
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(g_object_ref(success));
  EXPECT_TRUE(FL_IS_METHOD_SUCCESS_RESPONSE(response));
  EXPECT_TRUE(FL_IS_METHOD_RESPONSE(error));
  EXPECT_TRUE(FL_IS_METHOD_ERROR_RESPONSE(FL_METHOD_RESPONSE(error)));
  EXPECT_TRUE(FL_IS_METHOD_NOT_IMPLEMENTED_RESPONSE(not_implemented));
  EXPECT_FALSE(FL_IS_METHOD_SUCCESS_RESPONSE(not_implemented));
  EXPECT_EQ(fl_method_response_get_result(response, nullptr), value);
  EXPECT_EQ(FL_METHOD_SUCCESS_RESPONSE(response), success);
  EXPECT_EQ(FL_METHOD_ERROR_RESPONSE(error), error);
  EXPECT_EQ(FL_METHOD_NOT_IMPLEMENTED_RESPONSE(not_implemented),
            not_implemented);

  g_autoptr(FlStandardMessageCodec) message_codec =
      fl_standard_message_codec_new();
  EXPECT_TRUE(FL_IS_MESSAGE_CODEC(message_codec));
  EXPECT_NE(FL_STANDARD_MESSAGE_CODEC_GET_CLASS(message_codec), nullptr);
  g_autoptr(FlMessageCodec) message_codec_ref =
      FL_MESSAGE_CODEC(g_object_ref(message_codec));
  EXPECT_EQ(FL_STANDARD_MESSAGE_CODEC(message_codec_ref), message_codec);
  g_autoptr(FlStandardMethodCodec) custom_codec =
      fl_standard_method_codec_new_with_message_codec(message_codec);
  EXPECT_TRUE(FL_IS_METHOD_CODEC(custom_codec));
}

TEST(PlatformHeaders, TypesHaveThePlatformsKindsAndParents) {
  struct Expected {
    GType type;
    const char* name;
    GType parent;
    bool is_final;
  };
  const Expected expected[] = {
      {fl_method_codec_get_type(), "FlMethodCodec", G_TYPE_OBJECT, false},
      {fl_standard_method_codec_get_type(), "FlStandardMethodCodec",
       fl_method_codec_get_type(), true},
      {fl_method_response_get_type(), "FlMethodResponse", G_TYPE_OBJECT, false},
      {fl_method_success_response_get_type(), "FlMethodSuccessResponse",
       fl_method_response_get_type(), true},
      {fl_method_error_response_get_type(), "FlMethodErrorResponse",
       fl_method_response_get_type(), true},
      {fl_method_not_implemented_response_get_type(),
       "FlMethodNotImplementedResponse", fl_method_response_get_type(), true},
      {fl_method_call_get_type(), "FlMethodCall", G_TYPE_OBJECT, true},
      {fl_method_channel_get_type(), "FlMethodChannel", G_TYPE_OBJECT, true},
      {fl_message_codec_get_type(), "FlMessageCodec", G_TYPE_OBJECT, false},
      {fl_standard_message_codec_get_type(), "FlStandardMessageCodec",
       fl_message_codec_get_type(), false},
      {fl_binary_messenger_response_handle_get_type(),
       "FlBinaryMessengerResponseHandle", G_TYPE_OBJECT, false},
  };
  for (const Expected& type : expected) {
    EXPECT_STREQ(g_type_name(type.type), type.name);
    EXPECT_EQ(g_type_parent(type.type), type.parent) << type.name;
    EXPECT_EQ(G_TYPE_IS_FINAL(type.type), type.is_final) << type.name;
  }
  for (GType interface :
       {fl_binary_messenger_get_type(), fl_plugin_registrar_get_type(),
        fl_plugin_registry_get_type()}) {
    EXPECT_TRUE(G_TYPE_IS_INTERFACE(interface));
    guint count = 0;
    g_autofree GType* prerequisites =
        g_type_interface_prerequisites(interface, &count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(prerequisites[0], G_TYPE_OBJECT);
  }
  EXPECT_STREQ(g_type_name(fl_binary_messenger_get_type()),
               "FlBinaryMessenger");
  EXPECT_STREQ(g_type_name(fl_plugin_registrar_get_type()),
               "FlPluginRegistrar");
  EXPECT_STREQ(g_type_name(fl_plugin_registry_get_type()), "FlPluginRegistry");
}

}  // namespace
