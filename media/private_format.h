#pragma once

#include <QString>
#include <optional>
#include <string>

class CVelmarCntrItem;

// The private clipboard format "MFC OClient Sample", through which an item's
// stored form is taken out: a MIME type of that name on the clipboard.
inline constexpr const char* kPrivateFormatName = "MFC OClient Sample";

// The format's MIME type, registered on first use and kept for the run.
const QString& private_clipboard_format();

// Puts the item on the clipboard: its stored form under the private format
// and, for other programs, a picture as an image and a sound as "audio/wav".
// False when there is no clipboard.
bool copy_item_to_clipboard(const CVelmarCntrItem& item, const std::string& stored_form);
// The private format's bytes on the clipboard; nothing when it has none.
std::optional<std::string> private_clipboard_data();
