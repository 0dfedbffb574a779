# Installs the build into a fresh prefix and checks what a user's desktop needs:
# cmake -DBUILD_DIR=... -DPREFIX=... -P install_test.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(launcher "${PREFIX}/share/applications/snapwire.desktop")
foreach(file bin/snapwire bin/snapwire-reg share/snapwire/help/Start.htm share/applications/snapwire.desktop)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(STRINGS "${launcher}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${PREFIX}/bin/snapwire\"")
  message(FATAL_ERROR "the launcher starts ${exec}, not the installed program")
endif()
file(STRINGS "${launcher}" icon REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT EXISTS "${icon}")
  message(FATAL_ERROR "the launcher's icon ${icon} is missing")
endif()

# The installed tool runs on its own, without the build folder.
set(ENV{SNAPWIRE_HOME} "${PREFIX}/home")
execute_process(COMMAND "${PREFIX}/bin/snapwire-reg" export RESULT_VARIABLE result OUTPUT_VARIABLE script)
if(NOT result EQUAL 0 OR NOT script MATCHES "Windows Registry Editor Version 5.00")
  message(FATAL_ERROR "the installed snapwire-reg does not run: ${result}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
