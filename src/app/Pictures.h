#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn in code.
namespace Pictures {
QIcon Settings();
QIcon Statistics();
QIcon Help();
// Frame i (0 to 7) of the rest animation, 16 x 16.
QPixmap AnimationFrame(int i);
}  // namespace Pictures
