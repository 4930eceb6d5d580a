#pragma once

#include <QPixmap>

#include "ui/ui_button_picture.h"

// The pictures of the message list's buttons, by bitmap resource id: 32 by
// 32 pixels, a raised button for the up pictures and a pressed one for the
// down pictures. A null pixmap for an unknown id.
QPixmap button_bitmap(int resource);
