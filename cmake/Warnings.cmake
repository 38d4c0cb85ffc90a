# Compiler settings every target of the project shares: strict warnings, optionally as
# errors, and the sanitizer build. Targets opt in with zr_target_defaults(<target>).
add_library(zr_defaults INTERFACE)
target_compile_options(zr_defaults INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual)
if(ZR_WERROR)
  target_compile_options(zr_defaults INTERFACE -Werror)
endif()
if(ZR_SANITIZE)
  set(zr_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(zr_defaults INTERFACE ${zr_san})
  target_link_options(zr_defaults INTERFACE ${zr_san})
endif()

if(ZR_FUZZ)
  # Coverage for libFuzzer in every library the fuzz targets link.
  target_compile_options(zr_defaults INTERFACE -fsanitize=fuzzer-no-link)
endif()

function(zr_target_defaults target)
  target_link_libraries(${target} PRIVATE zr_defaults)
endfunction()
