# Fails when the platform half and the application's side reach into each
# other: a platform source that includes an application-side header, or an
# application-side source that includes any platform header but the public
# umbrella <flutter_linux/flutter_linux.h>. The application's side must build
# on an application's real embedding library, which has nothing else.
#
# cmake -DSOURCE_DIR=... -P seam.cmake

cmake_minimum_required(VERSION 3.16)

set(platform_dir "${SOURCE_DIR}/embedding/platform")
set(host_dir "${SOURCE_DIR}/embedding/host")

# The names of the headers and sources under DIR, without their folders.
function(file_names dir out)
  file(GLOB_RECURSE paths "${dir}/*.h" "${dir}/*.cc")
  set(names "")
  foreach(path IN LISTS paths)
    get_filename_component(name "${path}" NAME)
    list(APPEND names "${name}")
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# Appends to `faults` each include of a file of FORBIDDEN_NAMES, except
# ALLOWED, in the sources under DIR.
function(check_includes dir forbidden_names allowed)
  file(GLOB_RECURSE paths "${dir}/*.h" "${dir}/*.cc")
  foreach(path IN LISTS paths)
    file(STRINGS "${path}" includes REGEX "^#include ")
    foreach(include IN LISTS includes)
      string(REGEX REPLACE "^#include [<\"]([^>\"]+)[>\"].*" "\\1" target
        "${include}")
      get_filename_component(name "${target}" NAME)
      if(NOT target STREQUAL allowed AND name IN_LIST forbidden_names)
        file(RELATIVE_PATH where "${SOURCE_DIR}" "${path}")
        list(APPEND faults "${where} includes ${target}")
      endif()
    endforeach()
  endforeach()
  set(faults "${faults}" PARENT_SCOPE)
endfunction()

file_names("${platform_dir}" platform_names)
file_names("${host_dir}" host_names)
set(faults "")
check_includes("${platform_dir}" "${host_names}" "")
check_includes("${host_dir}" "${platform_names}"
  "flutter_linux/flutter_linux.h")

if(faults)
  list(JOIN faults "\n  " listing)
  message(FATAL_ERROR "the two halves reach into each other:\n  ${listing}")
endif()
message(STATUS "the platform half and the application's side stay apart")
