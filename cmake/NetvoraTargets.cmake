# Compile settings shared by every target of the project, and the helpers that register
# tests.

# netvora_settings(target): warnings and, when asked for, sanitizers or fuzzing coverage.
function(netvora_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(NETVORA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(NETVORA_FUZZ)
    # Coverage for libFuzzer everywhere; the fuzz executables add the fuzzer's main.
    target_compile_options(${target} PRIVATE
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(NETVORA_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# netvora_test(name SOURCES ... LIBS ... [LABELS ...] [ENV ...] [LOCKS ...]): one
# GoogleTest executable, registered with CTest under its own name. Tests that hold the
# same LOCKS (for example ports of this machine's own namespace) never run at once.
function(netvora_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  netvora_settings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
  if(T_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
endfunction()

# netvora_qt_test(name SOURCES ... LIBS ...): one Qt Test executable on the offscreen
# platform, registered with CTest under the label gui.
function(netvora_qt_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  netvora_settings(${name})
  set_target_properties(${name} PROPERTIES AUTOMOC ON
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# netvora_version_test(program): `program --version` prints the program's name and the
# project's version, one line.
function(netvora_version_test program)
  string(REPLACE "." "\\." version "${PROJECT_VERSION}")
  add_test(NAME ${program}_version COMMAND ${program} --version)
  set_tests_properties(${program}_version PROPERTIES LABELS core
    PASS_REGULAR_EXPRESSION "^${program} ${version}\r?\n$")
endfunction()
