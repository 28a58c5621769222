# Warnings are errors for our own code; sanitizers when asked for.
add_library(zelp_options INTERFACE)
target_compile_options(zelp_options INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(zelp_options INTERFACE QT_NO_KEYWORDS)
# GCC 12 reports -Wrestrict for "literal" + std::string once optimised (GCC bug 105329), a
# false positive in the standard library's own code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(zelp_options INTERFACE -Wno-restrict)
endif()
if(ZELP_SANITIZE)
    target_compile_options(zelp_options INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=undefined
                                                  -fno-omit-frame-pointer)
    target_link_options(zelp_options INTERFACE -fsanitize=address,undefined)
endif()
