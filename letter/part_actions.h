#pragma once

#include "letter/viewer_host.h"

class CBody;
class ui_document;

// What double-clicking a placeholder does with its part: a GB, Big5 or
// ISO-2022-CN part that the screen cannot show opens in its Chinese text
// window; a part that is not text becomes an embedded object opened in its
// program's window (a picture or a sound in Kestrel's own); anything else,
// and an object that cannot be opened, brings the question whether to save
// it, Yes saving it to a file and No showing it in the raw view.
void open_part(viewer_host& host, ui_document& document, const CBody& part);

// Asks for a file and writes the part into it: a text part's text, the bytes
// of any other.
void save_part(const CBody& part, long platform);
