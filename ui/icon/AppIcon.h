#pragma once
// The program's picture, a meter dial on a blue tile. Drawn rather than stored so the window and
// the desktop menu show the same picture, sharp at every size.

#include <QIcon>
#include <QImage>

// The picture on a transparent square of side x side pixels.
QImage DrawAppIcon(int side);

// The window icon: the picture drawn at whatever size the window system asks for.
QIcon AppIcon();
