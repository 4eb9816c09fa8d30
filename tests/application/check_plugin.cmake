# Run after the build: the plugin that an application's build made must look
# for the embedding beside itself and then in the application's ephemeral
# directory, need the embedding library first, and export exactly its two
# entry points. Given: PLUGIN (the library) and EPHEMERAL_DIR.

cmake_minimum_required(VERSION 3.19)

execute_process(COMMAND readelf -dW "${PLUGIN}"
  OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "\\(RUNPATH\\)[^\n]*\\[([^]\n]*)\\]" runpath "${dynamic}")
set(expected_runpath "$ORIGIN:${EPHEMERAL_DIR}")
if(NOT CMAKE_MATCH_1 STREQUAL expected_runpath)
  message(FATAL_ERROR
    "RUNPATH of ${PLUGIN} is '${CMAKE_MATCH_1}', not '${expected_runpath}'")
endif()
string(REGEX MATCH "\\(NEEDED\\)[^\n]*\\[([^]\n]*)\\]" needed "${dynamic}")
if(NOT CMAKE_MATCH_1 STREQUAL "libflutter_linux_gtk.so")
  message(FATAL_ERROR "${PLUGIN} needs '${CMAKE_MATCH_1}' first, "
    "not the embedding library")
endif()

execute_process(COMMAND nm -D --defined-only "${PLUGIN}"
  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE "[^\n]* ([^ \n]+)\n" "\\1;" exported "${symbols}")
list(SORT exported)
list(REMOVE_ITEM exported "")
set(expected kestrune_plugin_get_type kestrune_plugin_register_with_registrar)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "${PLUGIN} exports '${exported}', not '${expected}'")
endif()
