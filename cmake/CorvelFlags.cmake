# corvel::flags: the warning, optimisation and sanitizer flags of the project's own code. Every
# layer library, test executable, benchmark and the program link it; targets from outside (the
# Qt, GoogleTest and Google Benchmark libraries) keep their own flags.
add_library(corvel_build_flags INTERFACE)
add_library(corvel::flags ALIAS corvel_build_flags)

target_compile_options(corvel_build_flags INTERFACE -Wall -Wextra -Wpedantic)
# A fast headless run is bound by the tick and the sentence builder: full optimisation (about 10 %
# faster than -O2 there), with the debug information kept. It comes after the build type's -O2,
# and the last -O given wins; the link step carries it too, where link-time optimisation compiles.
target_compile_options(corvel_build_flags INTERFACE $<$<CONFIG:RelWithDebInfo>:-O3>)
target_link_options(corvel_build_flags INTERFACE $<$<CONFIG:RelWithDebInfo>:-O3>)
# Nothing reads errno after a math call: sqrt and friends may then compile to single instructions.
target_compile_options(corvel_build_flags INTERFACE -fno-math-errno)
# g++ 12 reports std::string assignments from short literals as overlapping copies (GCC bug 105329,
# a false positive at -O2): that one warning stays off.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(corvel_build_flags INTERFACE -Wno-restrict)
endif()
if(CORVEL_WERROR)
  target_compile_options(corvel_build_flags INTERFACE -Werror)
endif()
if(CORVEL_SANITIZE)
  # The instrumentation makes g++ 12 see uninitialised reads in std::regex and std::function that
  # are not there; the normal build keeps that warning.
  target_compile_options(corvel_build_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=all -Wno-maybe-uninitialized)
  target_link_options(corvel_build_flags INTERFACE -fsanitize=address,undefined)
endif()
