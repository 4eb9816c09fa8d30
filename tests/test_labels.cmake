# Read by CTest, after the lists of the tests GoogleTest discovered: labels
# each of TESTS with LABELS, and those that run threads at once with
# "concurrency" as well. A threaded test in an executable that has others
# is known by its name; name a new one to match.
set(kestrune_concurrent_test_names "Concurrent|AnotherThread|TakeOverDuring")

function(kestrune_label_tests tests labels)
  foreach(test IN LISTS tests)
    set(test_labels ${labels})
    if(test MATCHES "${kestrune_concurrent_test_names}")
      list(APPEND test_labels concurrency)
      list(REMOVE_DUPLICATES test_labels)
    endif()
    set_tests_properties("${test}" PROPERTIES LABELS "${test_labels}")
  endforeach()
endfunction()
