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
