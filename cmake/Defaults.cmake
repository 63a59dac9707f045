# Compile options of the project's own targets: warnings on and treated as
# errors, and every narrow string literal compiled as GBK bytes.
#
# The charset is not applied to third-party code: libstdc++'s <chrono> holds a
# literal ("\u00b5s") that GBK cannot encode, so the project's code does not
# include <chrono> either (core/Clock.h gives it the time it needs).
function(quenthor_defaults target)
  target_compile_options(${target} PRIVATE -fexec-charset=GBK -finput-charset=UTF-8
                         -Wall -Wextra -Wpedantic -Werror -Wshadow -Wnon-virtual-dtor
                         -Wcast-align -Wformat=2)
endfunction()
