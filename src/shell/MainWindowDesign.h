// The main window's design: every box, label, field, button, timer, component
// and menu, with the places the window is drawn with. Both window layers read
// this one table. Places are relative to the parent: the window's client area,
// or the named group box.
//
// The outer size 582 x 596 was laid out for a 3-pixel fixed frame, an 18-pixel
// caption and a 19-pixel menu bar, which leaves a client area of 576 x 553: the
// banner at the foot ends exactly at its bottom edge.
#pragma once

#include "shell/ui/WindowDesign.h"

const ui::WindowDesign& mainWindowDesign();
