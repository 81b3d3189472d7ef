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
