#pragma once

#include <QIcon>

// The program's icon, on the main window and every window in it: a letter
// under a kestrel's wing, drawn at the sizes window frames ask for.
QIcon program_icon();
