// Loads a plugin library before anything else, as a program that opens
// plugins at run time does, and checks that the dynamic linker found the
// embedding library in the directory it expects.
//
// Usage: plugin_loader PLUGIN_LIBRARY EXPECTED_EMBEDDING_DIRECTORY
// Exits 0 when the embedding was loaded from that directory.

#include <dlfcn.h>
#include <link.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string real_path(const char* path) {
  char resolved[PATH_MAX];
  return realpath(path, resolved) != nullptr ? resolved : path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: plugin_loader PLUGIN_LIBRARY EMBEDDING_DIR\n");
    return 2;
  }
  void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    fprintf(stderr, "plugin_loader: %s\n", dlerror());
    return 1;
  }
  void* embedding = dlopen("libflutter_linux_gtk.so", RTLD_NOW | RTLD_NOLOAD);
  struct link_map* map = nullptr;
  if (embedding == nullptr || dlinfo(embedding, RTLD_DI_LINKMAP, &map) != 0 ||
      map == nullptr) {
    fprintf(stderr, "plugin_loader: the embedding library is not loaded\n");
    return 1;
  }
  std::string loaded = real_path(map->l_name);
  std::string expected =
      real_path((std::string(argv[2]) + "/libflutter_linux_gtk.so").c_str());
  if (loaded != expected) {
    fprintf(stderr,
            "plugin_loader: embedding loaded from %s\n"
            "               expected %s\n",
            loaded.c_str(), expected.c_str());
    return 1;
  }
  printf("plugin_loader: embedding loaded from %s\n", loaded.c_str());
  dlclose(embedding);
  dlclose(plugin);
  return 0;
}
