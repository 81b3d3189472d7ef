# Every target links pixalto_warnings, so warning and sanitizer flags live in
# one place.
add_library(pixalto_warnings INTERFACE)
target_compile_options(pixalto_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(PIXALTO_WERROR)
  target_compile_options(pixalto_warnings INTERFACE -Werror)
endif()
if(PIXALTO_SANITIZE)
  target_compile_options(pixalto_warnings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(pixalto_warnings INTERFACE -fsanitize=address,undefined)
endif()

# Test-side code (tests, their builders, benchmarks) builds vectors with
# insert/copy patterns on which g++ 12's optimiser reports false
# out-of-bounds writes at -O2 and above. Those checks stay on for the
# program's own code; the tests run under AddressSanitizer, which catches
# real ones.
add_library(pixalto_test_warnings INTERFACE)
target_link_libraries(pixalto_test_warnings INTERFACE pixalto_warnings)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(pixalto_test_warnings INTERFACE -Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread)
endif()

# Fuzzing (clang only): every library carries libFuzzer's coverage hooks and
# the sanitizers, so that the fuzzer sees the edges of the code it exercises
# and every bad access there stops it. Only the fuzz targets link libFuzzer
# itself (-fsanitize=fuzzer, in fuzz/CMakeLists.txt); the rest links the
# hooks' runtime without its main.
if(PIXALTO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PIXALTO_FUZZ needs clang: CC=clang CXX=clang++ cmake ...")
  endif()
  # Unoptimised, every step of a loop over a sector's bytes is a call into
  # the coverage hooks: a fuzz build runs optimised unless told otherwise.
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
  endif()
  set(PIXALTO_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer -g)
  target_compile_options(pixalto_warnings INTERFACE ${PIXALTO_FUZZ_FLAGS})
  target_link_options(pixalto_warnings INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
endif()
