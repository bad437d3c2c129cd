# Common compile settings for every target of the project.
set(VARNEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Werror)

if(VARNEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VARNEL_FUZZ)
  # Libraries get coverage instrumentation; fuzz/ links the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# varnel_target_settings(TARGET [CONVERSION]): warnings as errors, plus
# -Wconversion where the code handles raw file bytes.
function(varnel_target_settings target)
  cmake_parse_arguments(ARG "CONVERSION" "" "" ${ARGN})
  target_compile_options(${target} PRIVATE ${VARNEL_WARNINGS})
  if(ARG_CONVERSION)
    target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
  endif()
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
endfunction()

# varnel_add_test(NAME SOURCES... LIBS ...): one gtest binary per layer,
# discovered by CTest. The shared fixtures folder is passed in the environment.
function(varnel_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  varnel_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    VARNEL_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared"
    VARNEL_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
    VARNEL_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# varnel_add_fuzzer(NAME SOURCES... LIBS... [SECONDS n]): a libFuzzer target
# and a CTest test that runs it for a bounded time from its seed corpus
# (fuzz/<name>/corpus when present). Only in the VARNEL_FUZZ build.
function(varnel_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 20)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  varnel_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  set(seeds "")
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
  endif()
  add_test(NAME fuzz.${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=${ARG_SECONDS} -max_len=65536 -print_final_stats=1 '${work}' ${seeds}")
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()
