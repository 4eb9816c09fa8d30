# An application installed as a bundle, copied to another folder, with the
# build tree's ephemeral directory gone, as on a machine the bundle was
# moved to. The runner must still call the plugin, and the plugin, loaded
# first on its own, must find the embedding library inside the bundle.
#
# The loader would prefer a copy named by the caller's LD_LIBRARY_PATH to the
# one RUNPATH finds, so both programs run without it.
#
# Given: BUILD_DIR (the application's built tree, see CMakeLists.txt here)
# and WORK_DIR (a scratch folder, emptied first).

cmake_minimum_required(VERSION 3.19)

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}"
    --prefix "${WORK_DIR}/installed"
  COMMAND_ERROR_IS_FATAL ANY)
file(COPY "${WORK_DIR}/installed/bundle" DESTINATION "${WORK_DIR}/moved")
file(REMOVE_RECURSE "${WORK_DIR}/installed" "${BUILD_DIR}/flutter/ephemeral")

set(bundle "${WORK_DIR}/moved/bundle")
foreach(file runner lib/libflutter_linux_gtk.so lib/libkestrune_plugin.so)
  if(NOT EXISTS "${bundle}/${file}")
    message(FATAL_ERROR "the bundle has no ${file}")
  endif()
endforeach()

set(without_library_path "${CMAKE_COMMAND}" -E env --unset=LD_LIBRARY_PATH)

execute_process(COMMAND ${without_library_path} "${bundle}/runner"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the runner of the moved bundle failed: ${status}")
endif()

execute_process(
  COMMAND ${without_library_path} "${BUILD_DIR}/plugin_loader"
    "${bundle}/lib/libkestrune_plugin.so" "${bundle}/lib"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR
    "the moved plugin, loaded first, did not find the bundle's embedding")
endif()
