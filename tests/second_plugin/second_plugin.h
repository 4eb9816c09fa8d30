#ifndef KESTRUNE_TESTS_SECOND_PLUGIN_SECOND_PLUGIN_H_
#define KESTRUNE_TESTS_SECOND_PLUGIN_SECOND_PLUGIN_H_

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS

// A second plugin, written the way a plugin author writes one against the
// platform's API, for tests of the stand-in. Its channel "second" answers:
//   greet {"name": STRING}  success "Hello, NAME"; error BAD_ARGUMENTS
//                           without a string "name", the arguments as its
//                           details
//   echo ANY                success: the arguments
//   ask {"question": ...}   calls "answer" on the application's side of the
//                           channel with the same arguments and replies with
//                           its result; error APPLICATION_ERROR otherwise
//   anything else           not implemented
__attribute__((visibility("default"))) void
second_plugin_register_with_registrar(FlPluginRegistrar* registrar);

G_END_DECLS

#endif  // KESTRUNE_TESTS_SECOND_PLUGIN_SECOND_PLUGIN_H_
