// An application that loads the plugin, uses it, unloads it and loads it
// again. The plugin registers a GObject type, which cannot outlive its code,
// so the library must stay in memory once loaded. This program does not link
// the plugin: it loads it by path, as such an application does.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using RegisterFunction = void (*)(FlPluginRegistrar*);

// Loads the plugin, registers it on a new host and calls it once; returns
// the reply's text, or what went wrong.
std::string load_register_and_call(void** handle) {
  *handle = dlopen(PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (*handle == nullptr) {
    return std::string("dlopen failed: ") + dlerror();
  }
  auto register_plugin = reinterpret_cast<RegisterFunction>(
      dlsym(*handle, "kestrune_plugin_register_with_registrar"));
  if (register_plugin == nullptr) {
    return "no kestrune_plugin_register_with_registrar";
  }
  test_support::Host host;
  register_plugin(host.registrar());
  g_autoptr(FlMethodResponse) response =
      host.call("kestrune", "getPlatformVersion");
  FlValue* result = fl_method_response_get_result(response, nullptr);
  if (result == nullptr || fl_value_get_type(result) != FL_VALUE_TYPE_STRING) {
    return "not a string reply";
  }
  return fl_value_get_string(result);
}

TEST(Reload, ThePluginStaysLoadedAndWorksAfterUnloadingAndLoadingAgain) {
  void* first = nullptr;
  std::string first_reply = load_register_and_call(&first);
  ASSERT_EQ(first_reply.rfind("Linux ", 0), 0u) << first_reply;
  GType type = g_type_from_name("KestrunePlugin");
  ASSERT_NE(type, G_TYPE_INVALID);
  ASSERT_EQ(dlclose(first), 0) << dlerror();

  // Still mapped: the type's name and functions point into it.
  void* still_loaded = dlopen(PLUGIN_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(still_loaded, nullptr) << "the plugin was unloaded by dlclose()";
  dlclose(still_loaded);
  EXPECT_STREQ(g_type_name(g_type_from_name("KestrunePlugin")),
               "KestrunePlugin");

  void* second = nullptr;
  EXPECT_EQ(load_register_and_call(&second), first_reply);
  EXPECT_EQ(g_type_from_name("KestrunePlugin"), type);
  if (second != nullptr) {
    dlclose(second);
  }
}

}  // namespace
