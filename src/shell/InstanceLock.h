// One running copy per machine: a lock file under the Windows folder, held open
// without deletion sharing for the process's life, so a second copy cannot
// delete it and knows the first is running.
#pragma once

#include "shell/App.h"

namespace InstanceLock {

// The single-instance check of the main window's creation. Deletes a lock file
// left behind and creates it anew, held in app.lockFile. When a lock file
// exists and cannot be deleted, warns and shuts the program down, answering
// false: the caller must then stop. Failing to create the file is silent; the
// program then runs without the guard.
bool acquire(App& app);

}  // namespace InstanceLock
