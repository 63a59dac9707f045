// The program's icon in .ico form (13 images), as the tray icon takes it. The
// bytes are src/app/Quenthor.ico, compiled in by CMake (cmake/ProgramIcon.cmake).
#pragma once

#include "core/Text.h"

namespace ProgramIcon {

const ByteBlob& ico();

}  // namespace ProgramIcon
