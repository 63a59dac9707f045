#include "shell/ui/WindowDesign.h"

#include <cstring>

namespace ui {

const ControlDesign* findControl(const WindowDesign& design, const char* name) {
  for (const ControlDesign& control : design.controls)
    if (std::strcmp(control.name, name) == 0) return &control;
  return nullptr;
}

}  // namespace ui
