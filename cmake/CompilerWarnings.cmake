# Warnings every target of the project links through `project_warnings`.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(VIMO_WERROR)
    target_compile_options(project_warnings INTERFACE -Werror)
endif()
