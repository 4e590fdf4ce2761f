# Warnings every target of the project links through `project_warnings`.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # g++ 12 reports impossible overlaps inside std::string's operator+ at -O3
    # (a known false positive of that release).
    target_compile_options(project_warnings INTERFACE -Wno-restrict)
endif()
if(VIMO_WERROR)
    target_compile_options(project_warnings INTERFACE -Werror)
endif()
