#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon, on the main window and every window in it: a letter
// under a kestrel's wing, drawn at the sizes window frames ask for.
QIcon program_icon();
// The icon drawn at one size (the desktop's icon theme takes these as files).
QPixmap program_icon_pixmap(int side);
