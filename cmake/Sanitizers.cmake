# VIMO_SANITIZE is a comma-separated list for -fsanitize= (for example
# "address,undefined" or "thread"); every target links `project_sanitizers`.
add_library(project_sanitizers INTERFACE)
if(VIMO_SANITIZE)
    target_compile_options(project_sanitizers INTERFACE
        -fsanitize=${VIMO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(project_sanitizers INTERFACE -fsanitize=${VIMO_SANITIZE})
endif()
