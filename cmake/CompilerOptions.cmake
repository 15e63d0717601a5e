# Warnings and sanitizer settings for every target of the project.
add_compile_options(-Wall -Wextra)

if(AEROVANE_SANITIZE AND AEROVANE_TSAN)
    message(FATAL_ERROR "AEROVANE_SANITIZE and AEROVANE_TSAN cannot be combined")
endif()

if(AEROVANE_SANITIZE)
    # GCC reports false maybe-uninitialized warnings inside <regex> and <functional> when instrumenting.
    add_compile_options(-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                        -Wno-maybe-uninitialized)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(AEROVANE_TSAN)
    add_compile_options(-O1 -g -fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
