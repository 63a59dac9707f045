// What the process learns about its surroundings: environment variables and
// the folder its program file lives in. The entry point puts these into the
// App (App::environment, App::programFolder); handlers read them from there.
#pragma once

#include "core/Text.h"

namespace Environment {

// The variable's value as GBK text; empty when it is not set.
Text variable(const Text& name);

// The folder of the running program file, without a closing backslash
// ("C:\Quenthor" for "C:\Quenthor\Quenthor.exe", "C:" for "C:\Quenthor.exe").
Text programFolder();

}  // namespace Environment
