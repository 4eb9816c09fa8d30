#include "flutter_linux/fl_method_codec.h"

#include "codec_failure.h"
#include "fl_method_codec_private.h"

G_DEFINE_ABSTRACT_TYPE(FlMethodCodec, fl_method_codec, G_TYPE_OBJECT)

static void fl_method_codec_class_init(FlMethodCodecClass* klass) {}

static void fl_method_codec_init(FlMethodCodec* self) {}

GBytes* fl_method_codec_encode_method_call(FlMethodCodec* self,
                                           const gchar* name,
                                           FlValue* args,
                                           GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), nullptr);
  g_return_val_if_fail(name != nullptr, nullptr);
  g_autoptr(GError) failure = nullptr;
  GBytes* message = FL_METHOD_CODEC_GET_CLASS(self)->encode_method_call(
      self, name, args, &failure);
  if (message == nullptr) {
    pass_on_codec_failure("fl_method_codec_encode_method_call", &failure,
                          error);
  }
  return message;
}

gboolean fl_method_codec_decode_method_call(FlMethodCodec* self,
                                            GBytes* message,
                                            gchar** name,
                                            FlValue** args,
                                            GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), FALSE);
  g_return_val_if_fail(message != nullptr, FALSE);
  g_return_val_if_fail(name != nullptr && args != nullptr, FALSE);
  g_autoptr(GError) failure = nullptr;
  if (!FL_METHOD_CODEC_GET_CLASS(self)->decode_method_call(self, message, name,
                                                           args, &failure)) {
    pass_on_codec_failure("fl_method_codec_decode_method_call", &failure,
                          error);
    return FALSE;
  }
  return TRUE;
}

GBytes* fl_method_codec_encode_success_envelope(FlMethodCodec* self,
                                                FlValue* result,
                                                GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), nullptr);
  g_autoptr(GError) failure = nullptr;
  GBytes* message = FL_METHOD_CODEC_GET_CLASS(self)->encode_success_envelope(
      self, result, &failure);
  if (message == nullptr) {
    pass_on_codec_failure("fl_method_codec_encode_success_envelope", &failure,
                          error);
  }
  return message;
}

GBytes* fl_method_codec_encode_error_envelope(FlMethodCodec* self,
                                              const gchar* code,
                                              const gchar* message,
                                              FlValue* details,
                                              GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), nullptr);
  g_return_val_if_fail(code != nullptr, nullptr);
  g_autoptr(GError) failure = nullptr;
  GBytes* encoded = FL_METHOD_CODEC_GET_CLASS(self)->encode_error_envelope(
      self, code, message, details, &failure);
  if (encoded == nullptr) {
    pass_on_codec_failure("fl_method_codec_encode_error_envelope", &failure,
                          error);
  }
  return encoded;
}

GBytes* fl_method_codec_encode_response(FlMethodCodec* self,
                                        FlMethodResponse* response,
                                        GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), nullptr);
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), nullptr);
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    return fl_method_codec_encode_success_envelope(
        self,
        fl_method_success_response_get_result(
            FL_METHOD_SUCCESS_RESPONSE(response)),
        error);
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* failure = FL_METHOD_ERROR_RESPONSE(response);
    return fl_method_codec_encode_error_envelope(
        self, fl_method_error_response_get_code(failure),
        fl_method_error_response_get_message(failure),
        fl_method_error_response_get_details(failure), error);
  }
  // Not implemented: the empty message.
  return g_bytes_new(nullptr, 0);
}

FlMethodResponse* fl_method_codec_decode_response(FlMethodCodec* self,
                                                  GBytes* message,
                                                  GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(self), nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  g_autoptr(GError) failure = nullptr;
  FlMethodResponse* response =
      FL_METHOD_CODEC_GET_CLASS(self)->decode_response(self, message, &failure);
  if (response == nullptr) {
    pass_on_codec_failure("fl_method_codec_decode_response", &failure, error);
  }
  return response;
}
