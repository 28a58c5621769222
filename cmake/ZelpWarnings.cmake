# Warnings are errors for our own code; sanitizers when asked for.
add_library(zelp_options INTERFACE)
target_compile_options(zelp_options INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(zelp_options INTERFACE QT_NO_KEYWORDS)
if(ZELP_SANITIZE)
    target_compile_options(zelp_options INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=undefined
                                                  -fno-omit-frame-pointer)
    target_link_options(zelp_options INTERFACE -fsanitize=address,undefined)
endif()
