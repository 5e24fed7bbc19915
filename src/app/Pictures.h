#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures: the icons made in assets/icons (compiled in),
// the toolbar's drawn in code.
namespace Pictures {
QIcon Settings();
QIcon Statistics();
QIcon Help();
// Frame i (0 to 7) of the rest animation, 16 x 16.
QPixmap AnimationFrame(int i);
// The program's icon in all its sizes (32 x 32 among them).
QIcon ProgramIcon();
}  // namespace Pictures
