# Settings store tests beyond the unit tests.
#
# The registry service once more under a Western ANSI code page (1252): value
# names and texts must still cross as code page 936, never as the system's
# code page.
if(WIN32)
  add_test(NAME wine.RegistryWin32Test.cp1252
           COMMAND /bin/bash -c [[
source="$1" prefix="$2" program="$3"
. "$source/tests/wine/wine-env" "$prefix"
quenthor_ensure_prefix
export LC_ALL=en_US.UTF-8
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a wine "$program"; fi
exec wine "$program"
]] bash ${CMAKE_SOURCE_DIR} ${QUENTHOR_WINEPREFIX} $<TARGET_FILE:RegistryWin32Test>)
  set_tests_properties(wine.RegistryWin32Test.cp1252 PROPERTIES LABELS wine TIMEOUT 300)
endif()
