# telemon_warnings(target): the project's warning set, per target.
function(telemon_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TELEMON_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
