#ifndef EMBEDDING_SHARED_HANDLER_REGISTRATION_H_
#define EMBEDDING_SHARED_HANDLER_REGISTRATION_H_

#include <glib.h>

// A handler with its user data, shared between whoever installed it (a
// messenger's channel table, a channel) and each delivery in progress. The
// destroy notification runs once, when the last of them lets go, so a
// handler replaced while a message is being delivered stays valid until that
// delivery has finished.
template <typename Handler>
class HandlerRegistration {
 public:
  HandlerRegistration(Handler handler,
                      gpointer user_data,
                      GDestroyNotify destroy_notify)
      : handler_(handler),
        user_data_(user_data),
        destroy_notify_(destroy_notify) {}

  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;

  Handler handler() const { return handler_; }
  gpointer user_data() const { return user_data_; }

  HandlerRegistration* ref() {
    g_atomic_int_inc(&ref_count_);
    return this;
  }

  void unref() {
    if (!g_atomic_int_dec_and_test(&ref_count_)) {
      return;
    }
    if (destroy_notify_ != nullptr) {
      destroy_notify_(user_data_);
    }
    delete this;
  }

 private:
  ~HandlerRegistration() = default;

  Handler handler_;
  gpointer user_data_;
  GDestroyNotify destroy_notify_;
  gint ref_count_ = 1;
};

#endif  // EMBEDDING_SHARED_HANDLER_REGISTRATION_H_
