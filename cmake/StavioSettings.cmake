# SPDX-License-Identifier: GPL-3.0-or-later
# One place for the language level and warning flags; every target links stavio_settings.
add_library(stavio_settings INTERFACE)
target_compile_features(stavio_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(stavio_settings INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
# CI turns this on so that a new warning fails the build instead of scrolling by; off by default
# because a newer compiler than ours may warn where ours does not.
option(STAVIO_WARNINGS_AS_ERRORS "Fail the build on any compiler warning" OFF)
if(STAVIO_WARNINGS_AS_ERRORS)
  target_compile_options(stavio_settings INTERFACE $<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>)
endif()
target_compile_definitions(stavio_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# Address and undefined-behaviour checks for every target (./sanitize.sh builds with them).
option(STAVIO_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(STAVIO_SANITIZE)
  set(STAVIO_SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_compile_options(stavio_settings INTERFACE ${STAVIO_SANITIZE_FLAGS})
  target_link_options(stavio_settings INTERFACE ${STAVIO_SANITIZE_FLAGS})
endif()

# Coverage-guided fuzzing with libFuzzer (./fuzz.sh): clang only. The code under test is
# instrumented here; the fuzz targets add the fuzzer's own main when they link.
option(STAVIO_FUZZ "Build the libFuzzer targets in fuzz/ (clang)" OFF)
if(STAVIO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "STAVIO_FUZZ needs clang (for example -DCMAKE_CXX_COMPILER=clang++-14)")
  endif()
  target_compile_options(stavio_settings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  target_link_options(stavio_settings INTERFACE -fsanitize=address,undefined)
endif()
