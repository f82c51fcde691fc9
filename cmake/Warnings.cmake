# Strict warnings for byte-level code, where a silent conversion is a real bug.
function(sorabu_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wconversion -Wsign-conversion)
endfunction()

function(sorabu_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
