# SPDX-License-Identifier: MIT
# orv_warnings(target): the project's warning set, errors in CI builds.
function(orv_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local
        -Wno-missing-field-initializers)
    if(ORV_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
