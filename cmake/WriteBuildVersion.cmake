# Run as a script (cmake -P) by vaultora_build_version: writes OUTPUT with SHORT_VERSION and
# the commit of SOURCE_DIR. Sources outside a git work tree get the build version "unknown".
find_package(Git QUIET)
set(commit "")
if(GIT_FOUND)
  execute_process(
    COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit
    RESULT_VARIABLE result
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(NOT result EQUAL 0)
    set(commit "")
  endif()
endif()
if(commit STREQUAL "")
  set(commit "unknown")
endif()

set(content "// Written by the build; do not edit.
#pragma once

namespace BuildVersion {
inline constexpr char shortVersion[] = \"${SHORT_VERSION}\";
inline constexpr char buildVersion[] = \"${commit}\";
} // namespace BuildVersion
")

set(previous "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
endif()
if(NOT previous STREQUAL content)
  file(WRITE ${OUTPUT} "${content}")
endif()
