#ifndef KESTRUNE_TESTS_PLATFORM_API_H_
#define KESTRUNE_TESTS_PLATFORM_API_H_

// The platform's API as plugins call it: every function with its C
// signature, written down once from the platform's documentation. The ABI
// test checks each signature against the headers; the library-file test
// checks that the stand-in exports each name and nothing else.
//
// X(function, type of a pointer to it)
#define KESTRUNE_PLATFORM_API(X)                                              \
  /* FlPluginRegistrar, FlPluginRegistry */                                   \
  X(fl_plugin_registrar_get_messenger,                                        \
    FlBinaryMessenger* (*)(FlPluginRegistrar*))                               \
  X(fl_plugin_registrar_get_texture_registrar,                                \
    FlTextureRegistrar* (*)(FlPluginRegistrar*))                              \
  X(fl_plugin_registrar_get_view, FlView* (*)(FlPluginRegistrar*))            \
  X(fl_plugin_registry_get_registrar_for_plugin,                              \
    FlPluginRegistrar* (*)(FlPluginRegistry*, const gchar*))                  \
  /* FlBinaryMessenger */                                                     \
  X(fl_binary_messenger_codec_error_quark, GQuark (*)(void))                  \
  X(fl_binary_messenger_set_message_handler_on_channel,                       \
    void (*)(FlBinaryMessenger*, const gchar*,                                \
             FlBinaryMessengerMessageHandler, gpointer, GDestroyNotify))      \
  X(fl_binary_messenger_send_response,                                        \
    gboolean (*)(FlBinaryMessenger*, FlBinaryMessengerResponseHandle*,        \
                 GBytes*, GError**))                                          \
  X(fl_binary_messenger_send_on_channel,                                      \
    void (*)(FlBinaryMessenger*, const gchar*, GBytes*, GCancellable*,        \
             GAsyncReadyCallback, gpointer))                                  \
  X(fl_binary_messenger_send_on_channel_finish,                               \
    GBytes* (*)(FlBinaryMessenger*, GAsyncResult*, GError**))                 \
  X(fl_binary_messenger_resize_channel,                                       \
    void (*)(FlBinaryMessenger*, const gchar*, int64_t))                      \
  X(fl_binary_messenger_set_warns_on_channel_overflow,                        \
    void (*)(FlBinaryMessenger*, const gchar*, bool))                         \
  /* Codecs */                                                                \
  X(fl_message_codec_error_quark, GQuark (*)(void))                           \
  X(fl_message_codec_encode_message,                                          \
    GBytes* (*)(FlMessageCodec*, FlValue*, GError**))                         \
  X(fl_message_codec_decode_message,                                          \
    FlValue* (*)(FlMessageCodec*, GBytes*, GError**))                         \
  X(fl_standard_message_codec_new, FlStandardMessageCodec* (*)(void))         \
  X(fl_standard_message_codec_write_size,                                     \
    void (*)(FlStandardMessageCodec*, GByteArray*, uint32_t))                 \
  X(fl_standard_message_codec_read_size,                                      \
    gboolean (*)(FlStandardMessageCodec*, GBytes*, size_t*, uint32_t*,        \
                 GError**))                                                   \
  X(fl_standard_message_codec_write_value,                                    \
    gboolean (*)(FlStandardMessageCodec*, GByteArray*, FlValue*, GError**))   \
  X(fl_standard_message_codec_read_value,                                     \
    FlValue* (*)(FlStandardMessageCodec*, GBytes*, size_t*, GError**))        \
  X(fl_standard_method_codec_new, FlStandardMethodCodec* (*)(void))           \
  X(fl_standard_method_codec_new_with_message_codec,                          \
    FlStandardMethodCodec* (*)(FlStandardMessageCodec*))                      \
  /* FlMethodChannel */                                                       \
  X(fl_method_channel_new,                                                    \
    FlMethodChannel* (*)(FlBinaryMessenger*, const gchar*, FlMethodCodec*))   \
  X(fl_method_channel_set_method_call_handler,                                \
    void (*)(FlMethodChannel*, FlMethodChannelMethodCallHandler, gpointer,    \
             GDestroyNotify))                                                 \
  X(fl_method_channel_invoke_method,                                          \
    void (*)(FlMethodChannel*, const gchar*, FlValue*, GCancellable*,         \
             GAsyncReadyCallback, gpointer))                                  \
  X(fl_method_channel_invoke_method_finish,                                   \
    FlMethodResponse* (*)(FlMethodChannel*, GAsyncResult*, GError**))         \
  /* FlMethodCall */                                                          \
  X(fl_method_call_get_name, const gchar* (*)(FlMethodCall*))                 \
  X(fl_method_call_get_args, FlValue* (*)(FlMethodCall*))                     \
  X(fl_method_call_respond,                                                   \
    gboolean (*)(FlMethodCall*, FlMethodResponse*, GError**))                 \
  X(fl_method_call_respond_success,                                           \
    gboolean (*)(FlMethodCall*, FlValue*, GError**))                          \
  X(fl_method_call_respond_error,                                             \
    gboolean (*)(FlMethodCall*, const gchar*, const gchar*, FlValue*,         \
                 GError**))                                                   \
  X(fl_method_call_respond_not_implemented,                                   \
    gboolean (*)(FlMethodCall*, GError**))                                    \
  /* FlMethodResponse */                                                      \
  X(fl_method_response_error_quark, GQuark (*)(void))                         \
  X(fl_method_response_get_result, FlValue* (*)(FlMethodResponse*, GError**)) \
  X(fl_method_success_response_new, FlMethodSuccessResponse* (*)(FlValue*))   \
  X(fl_method_success_response_get_result,                                    \
    FlValue* (*)(FlMethodSuccessResponse*))                                   \
  X(fl_method_error_response_new,                                             \
    FlMethodErrorResponse* (*)(const gchar*, const gchar*, FlValue*))         \
  X(fl_method_error_response_get_code,                                        \
    const gchar* (*)(FlMethodErrorResponse*))                                 \
  X(fl_method_error_response_get_message,                                     \
    const gchar* (*)(FlMethodErrorResponse*))                                 \
  X(fl_method_error_response_get_details,                                     \
    FlValue* (*)(FlMethodErrorResponse*))                                     \
  X(fl_method_not_implemented_response_new,                                   \
    FlMethodNotImplementedResponse* (*)(void))                                \
  /* FlValue */                                                               \
  X(fl_value_new_null, FlValue* (*)(void))                                    \
  X(fl_value_new_bool, FlValue* (*)(bool))                                    \
  X(fl_value_new_int, FlValue* (*)(int64_t))                                  \
  X(fl_value_new_float, FlValue* (*)(double))                                 \
  X(fl_value_new_string, FlValue* (*)(const gchar*))                          \
  X(fl_value_new_string_sized, FlValue* (*)(const gchar*, size_t))            \
  X(fl_value_new_uint8_list, FlValue* (*)(const uint8_t*, size_t))            \
  X(fl_value_new_uint8_list_from_bytes, FlValue* (*)(GBytes*))                \
  X(fl_value_new_int32_list, FlValue* (*)(const int32_t*, size_t))            \
  X(fl_value_new_int64_list, FlValue* (*)(const int64_t*, size_t))            \
  X(fl_value_new_float32_list, FlValue* (*)(const float*, size_t))            \
  X(fl_value_new_float_list, FlValue* (*)(const double*, size_t))             \
  X(fl_value_new_list, FlValue* (*)(void))                                    \
  X(fl_value_new_list_from_strv, FlValue* (*)(const gchar* const*))           \
  X(fl_value_new_map, FlValue* (*)(void))                                     \
  X(fl_value_ref, FlValue* (*)(FlValue*))                                     \
  X(fl_value_unref, void (*)(FlValue*))                                       \
  X(fl_value_get_type, FlValueType (*)(FlValue*))                             \
  X(fl_value_equal, bool (*)(FlValue*, FlValue*))                             \
  X(fl_value_append, void (*)(FlValue*, FlValue*))                            \
  X(fl_value_append_take, void (*)(FlValue*, FlValue*))                       \
  X(fl_value_set, void (*)(FlValue*, FlValue*, FlValue*))                     \
  X(fl_value_set_take, void (*)(FlValue*, FlValue*, FlValue*))                \
  X(fl_value_set_string, void (*)(FlValue*, const gchar*, FlValue*))          \
  X(fl_value_set_string_take, void (*)(FlValue*, const gchar*, FlValue*))     \
  X(fl_value_get_bool, bool (*)(FlValue*))                                    \
  X(fl_value_get_int, int64_t (*)(FlValue*))                                  \
  X(fl_value_get_float, double (*)(FlValue*))                                 \
  X(fl_value_get_string, const gchar* (*)(FlValue*))                          \
  X(fl_value_get_uint8_list, const uint8_t* (*)(FlValue*))                    \
  X(fl_value_get_int32_list, const int32_t* (*)(FlValue*))                    \
  X(fl_value_get_int64_list, const int64_t* (*)(FlValue*))                    \
  X(fl_value_get_float32_list, const float* (*)(FlValue*))                    \
  X(fl_value_get_float_list, const double* (*)(FlValue*))                     \
  X(fl_value_get_length, size_t (*)(FlValue*))                                \
  X(fl_value_get_list_value, FlValue* (*)(FlValue*, size_t))                  \
  X(fl_value_get_map_key, FlValue* (*)(FlValue*, size_t))                     \
  X(fl_value_get_map_value, FlValue* (*)(FlValue*, size_t))                   \
  X(fl_value_lookup, FlValue* (*)(FlValue*, FlValue*))                        \
  X(fl_value_lookup_string, FlValue* (*)(FlValue*, const gchar*))             \
  X(fl_value_to_string, gchar* (*)(FlValue*))

#endif  // KESTRUNE_TESTS_PLATFORM_API_H_
