#pragma once

#include "ui/ui_child_frame.h"

// The frame of a letter viewer; a child frame like any other.
class CViewerChildWnd : public ui_child_frame {};
