// The built libraries as a host's dynamic linker sees them: names, exported
// symbols, search path, dependencies and hardening. This program links
// neither library, so that dlopen() below finds them the way a host does.

#include <dlfcn.h>
#include <glib-object.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform_api.h"

// The platform's type, declared as its header does, for a call through a
// pointer of the function's own type.
struct _FlStandardMethodCodec;

namespace {

std::string run(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) {
    argv.push_back(const_cast<char*>(word.c_str()));
  }
  argv.push_back(nullptr);
  g_autofree gchar* out = nullptr;
  g_autofree gchar* err = nullptr;
  gint status = 0;
  g_autoptr(GError) error = nullptr;
  bool spawned =
      g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                   nullptr, &out, &err, &status, &error);
  EXPECT_TRUE(spawned) << error->message;
  EXPECT_TRUE(g_spawn_check_wait_status(status, nullptr)) << err;
  return out != nullptr ? out : "";
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    result.push_back(line);
  }
  return result;
}

std::set<std::string> exported_symbols(const char* library) {
  std::set<std::string> symbols;
  for (const std::string& line :
       lines(run({"nm", "-D", "--defined-only", library}))) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) {
      symbols.insert(name);
    }
  }
  return symbols;
}

// Values of the dynamic-section entries of one tag, in order, e.g. "NEEDED".
std::vector<std::string> dynamic_entries(const char* library,
                                         const std::string& tag) {
  std::vector<std::string> values;
  for (const std::string& line : lines(run({"readelf", "-dW", library}))) {
    if (line.find("(" + tag + ")") == std::string::npos) {
      continue;
    }
    size_t open = line.find('[');
    size_t close = line.rfind(']');
    values.push_back(open != std::string::npos && close > open
                         ? line.substr(open + 1, close - open - 1)
                         : line.substr(line.find(')') + 1));
  }
  return values;
}

bool has_prefix(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool has_suffix(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The platform API that plugins may call, besides the types' _get_type.
#define NAME_OF(function, pointer_type) #function,
const std::set<std::string> kPlatformApi = {KESTRUNE_PLATFORM_API(NAME_OF)};
#undef NAME_OF

TEST(StandInLibrary, IsNamedAsThePlatformLibrary) {
  EXPECT_EQ(dynamic_entries(STAND_IN_LIBRARY, "SONAME"),
            std::vector<std::string>{"libflutter_linux_gtk.so"});
  EXPECT_TRUE(has_suffix(STAND_IN_LIBRARY,
                         "/flutter/ephemeral/"
                         "libflutter_linux_gtk.so"))
      << STAND_IN_LIBRARY;
}

// As the platform's library: the API and its types' _get_type functions,
// nothing of the application's side.
TEST(StandInLibrary, ExportsThePlatformApiOnly) {
  std::set<std::string> symbols = exported_symbols(STAND_IN_LIBRARY);
  for (const std::string& symbol : symbols) {
    bool allowed =
        kPlatformApi.count(symbol) > 0 ||
        (has_prefix(symbol, "fl_") && has_suffix(symbol, "_get_type") &&
         symbol != "fl_value_get_type");
    EXPECT_TRUE(allowed) << "unexpected export: " << symbol;
  }
  for (const std::string& function : kPlatformApi) {
    EXPECT_EQ(symbols.count(function), 1u) << "missing: " << function;
  }
}

// Its GTypes cannot outlive its code: unloading the last plugin that brought
// it in must not unload it.
TEST(StandInLibrary, StaysLoadedOnceLoaded) {
  EXPECT_NE(run({"readelf", "-d", STAND_IN_LIBRARY}).find("NODELETE"),
            std::string::npos);
}

// A plugin that is not itself kept loaded (the second plugin) brings the
// stand-in in with it. Unloading the plugin must leave the stand-in, whose
// types stay registered, so that loading the plugin again finds them.
TEST(StandInLibrary, OutlivesAPluginThatIsUnloadedAndLoadedAgain) {
  // The constructor's own type: the sanitizers check calls through pointers.
  using Function = _FlStandardMethodCodec* (*)();
  for (int round = 0; round < 2; round++) {
    void* plugin = dlopen(SECOND_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(plugin, nullptr) << dlerror();
    void* stand_in = dlopen("libflutter_linux_gtk.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(stand_in, nullptr);
    auto codec_new = reinterpret_cast<Function>(
        dlsym(stand_in, "fl_standard_method_codec_new"));
    ASSERT_NE(codec_new, nullptr);
    g_object_unref(codec_new());
    dlclose(stand_in);
    ASSERT_EQ(dlclose(plugin), 0) << dlerror();
    stand_in = dlopen("libflutter_linux_gtk.so", RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(stand_in, nullptr) << "unloaded with the plugin";
    if (stand_in != nullptr) {
      dlclose(stand_in);
    }
  }
}

TEST(PluginLibrary, ExportsExactlyItsTwoEntryPoints) {
  EXPECT_EQ(exported_symbols(PLUGIN_LIBRARY),
            (std::set<std::string>{"kestrune_plugin_get_type",
                                   "kestrune_plugin_register_with_registrar"}));
}

TEST(PluginLibrary, FindsTheEmbeddingBesideItselfThenInTheEphemeralDirectory) {
  // $ORIGIN first: in an installed bundle the embedding lies beside the
  // plugin, and a moved bundle must not load the build machine's copy.
  EXPECT_EQ(dynamic_entries(PLUGIN_LIBRARY, "RUNPATH"),
            std::vector<std::string>{std::string("$ORIGIN:") + EPHEMERAL_DIR});
  EXPECT_EQ(dynamic_entries(PLUGIN_LIBRARY, "RPATH"),
            std::vector<std::string>{});
  std::vector<std::string> needed = dynamic_entries(PLUGIN_LIBRARY, "NEEDED");
  ASSERT_FALSE(needed.empty()) << "the plugin has no NEEDED entry";
  EXPECT_EQ(needed[0], "libflutter_linux_gtk.so")
      << "first of " << testing::PrintToString(needed);
}

TEST(PluginLibrary, LoadsWithEverySymbolBound) {
  void* handle = dlopen(PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  EXPECT_NE(dlsym(handle, "kestrune_plugin_register_with_registrar"), nullptr);
  EXPECT_NE(dlsym(handle, "kestrune_plugin_get_type"), nullptr);
  EXPECT_EQ(dlsym(handle, "get_platform_version"), nullptr);
}

// The symbols @library takes from others.
std::set<std::string> imported_symbols(const char* library) {
  std::set<std::string> symbols;
  for (const std::string& line :
       lines(run({"nm", "-D", "--undefined-only", library}))) {
    std::istringstream fields(line);
    std::string kind, name;
    if (fields >> kind >> name) {
      symbols.insert(name.substr(0, name.find('@')));
    }
  }
  return symbols;
}

TEST(PluginLibrary, RegistersItsTypeThroughTheOnceInitOfItsGLib) {
  // GLib 2.80 gave G_DEFINE_TYPE a pointer-sized once-only initialisation;
  // the plugin must use the one of the GLib it was built with (the headers
  // this test is compiled with).
  std::set<std::string> imported = imported_symbols(PLUGIN_LIBRARY);
#if GLIB_CHECK_VERSION(2, 80, 0)
  const char* expected = "g_once_init_enter_pointer";
  const char* unexpected = "g_once_init_enter";
#else
  const char* expected = "g_once_init_enter";
  const char* unexpected = "g_once_init_enter_pointer";
#endif
  EXPECT_EQ(imported.count(expected), 1u)
      << "GLib " << GLIB_MAJOR_VERSION << "." << GLIB_MINOR_VERSION;
  EXPECT_EQ(imported.count(unexpected), 0u);
}

// Program headers of @library by type, e.g. "GNU_STACK" -> its flags.
std::vector<std::string> program_header_flags(const char* library,
                                              const std::string& type) {
  std::vector<std::string> flags;
  for (const std::string& line : lines(run({"readelf", "-lW", library}))) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    if (first != type) {
      continue;
    }
    // Type Offset VirtAddr PhysAddr FileSiz MemSiz Flg Align: the flags are
    // the letters between the sizes and the alignment.
    std::string field, letters;
    while (fields >> field) {
      if (field.rfind("0x", 0) != 0 &&
          field.find_first_not_of("RWE") == std::string::npos) {
        letters += field;
      }
    }
    flags.push_back(letters);
  }
  return flags;
}

TEST(PluginLibrary, IsHardened) {
  // Every symbol bound at load time (BIND_NOW), so that the relocations can
  // be made read-only afterwards (GNU_RELRO), and no executable stack.
  std::vector<std::string> flags = dynamic_entries(PLUGIN_LIBRARY, "FLAGS");
  std::vector<std::string> flags_1 = dynamic_entries(PLUGIN_LIBRARY, "FLAGS_1");
  bool bind_now =
      (!flags.empty() && flags[0].find("BIND_NOW") != std::string::npos) ||
      (!flags_1.empty() && flags_1[0].find("NOW") != std::string::npos);
  EXPECT_TRUE(bind_now) << "FLAGS " << testing::PrintToString(flags)
                        << ", FLAGS_1 " << testing::PrintToString(flags_1);
  EXPECT_EQ(program_header_flags(PLUGIN_LIBRARY, "GNU_RELRO").size(), 1u);
  EXPECT_EQ(program_header_flags(PLUGIN_LIBRARY, "GNU_STACK"),
            std::vector<std::string>{"RW"});
}

}  // namespace
