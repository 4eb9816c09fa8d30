# Settings for building the plugin on its own, outside an application. They
# stand in for what an application's Linux build provides: the `flutter`
# target and apply_standard_settings().

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE "RelWithDebInfo" CACHE STRING "Build type" FORCE)
endif()

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)

set(FLUTTER_EPHEMERAL_DIR "" CACHE PATH
  "An application's linux/flutter/ephemeral directory to build against; \
empty builds the stand-in embedding")
option(KESTRUNE_BUILD_TESTS "Build the tests" ON)

add_compile_options(-Wall -Wextra -Wno-unused-parameter -Werror)

# Sanitizer builds (clang): for example -DKESTRUNE_SANITIZERS=address,undefined
# or -DKESTRUNE_SANITIZERS=thread. Every target, the tests included, is
# instrumented; the first error fails the program.
set(KESTRUNE_SANITIZERS "" CACHE STRING
  "Sanitizers to build with, as for -fsanitize= (empty: none)")
option(KESTRUNE_BUILD_FUZZERS
  "Build the libFuzzer targets (clang, with address,undefined)" OFF)
set(KESTRUNE_SANITIZER_FLAGS "")
if(KESTRUNE_SANITIZERS)
  set(KESTRUNE_SANITIZER_FLAGS
    "-fsanitize=${KESTRUNE_SANITIZERS} -fno-sanitize-recover=all -fno-omit-frame-pointer")
endif()
if(KESTRUNE_BUILD_FUZZERS)
  # Coverage for the fuzzers, in the code they drive.
  string(APPEND KESTRUNE_SANITIZER_FLAGS " -fsanitize=fuzzer-no-link")
endif()
if(KESTRUNE_SANITIZER_FLAGS)
  separate_arguments(sanitizer_options UNIX_COMMAND
    "${KESTRUNE_SANITIZER_FLAGS}")
  add_compile_options(${sanitizer_options})
  add_link_options(${sanitizer_options})
endif()

# Hardening for standalone builds; an application's build sets its own.
# Sanitizers check memory themselves and do without the fortified libc.
add_compile_options(-fstack-protector-strong)
if(NOT KESTRUNE_SANITIZER_FLAGS)
  add_compile_definitions("$<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>")
endif()
add_link_options(
  "LINKER:-z,relro" "LINKER:-z,now" "LINKER:-z,noexecstack")


if(FLUTTER_EPHEMERAL_DIR)
  if(NOT EXISTS "${FLUTTER_EPHEMERAL_DIR}/libflutter_linux_gtk.so")
    message(FATAL_ERROR
      "FLUTTER_EPHEMERAL_DIR has no libflutter_linux_gtk.so: "
      "${FLUTTER_EPHEMERAL_DIR}")
  endif()
  add_library(flutter INTERFACE)
  target_include_directories(flutter INTERFACE "${FLUTTER_EPHEMERAL_DIR}")
  target_link_libraries(flutter INTERFACE
    "${FLUTTER_EPHEMERAL_DIR}/libflutter_linux_gtk.so")
else()
  add_subdirectory(embedding/platform)
  add_library(flutter INTERFACE)
  target_include_directories(flutter INTERFACE
    "${FLUTTER_STAND_IN_EPHEMERAL_DIR}")
  target_link_libraries(flutter INTERFACE flutter_linux_gtk)
endif()

function(apply_standard_settings TARGET)
  target_compile_features(${TARGET} PUBLIC cxx_std_17)
  target_compile_options(${TARGET} PRIVATE
    "$<$<NOT:$<CONFIG:Debug>>:-O2>")
  target_compile_definitions(${TARGET} PRIVATE
    "$<$<NOT:$<CONFIG:Debug>>:NDEBUG>")
endfunction()
