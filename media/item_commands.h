#pragma once

#include <optional>
#include <string>

#include "model/cntr_item.h"

class CBody;
class CVelmarDocData;
class object_servers;

// A mailbox document as its embedded items see it: where they are kept, what
// they tell, the environment their data is laid out for and their programs.
struct item_container {
  CVelmarDocData& document;
  item_site& site;
  int environment;
  object_servers& servers;
};

// Insert New Object: asks for the kind of object in the Insert Object
// dialog, makes the item on the document and its object, and shows a new
// object in its program's window. The new item; null when the user cancelled
// or, after "Command failed.", when the object could not be made.
CVelmarCntrItem* insert_new_object(const item_container& container);

// The object the dialog's choice makes: a blank picture or a silent sound;
// from a file, a picture from a bitmap, PNG or JPEG file (kept as a bitmap
// file) or a sound from a wave file. Nothing when the file is not one.
std::optional<embedded_object> chosen_object(int type, bool from_file, const std::string& path);

// What became of a received part opened as an object.
enum class part_object { opened, not_loaded, not_opened };

// A new item on the document made from the part's bytes (a picture for the
// subtype "Bitmap", a sound for "WAV", else the item's stored form) and
// opened in its program's window. An item that cannot be made is deleted;
// one whose window cannot be opened stays.
part_object open_part_object(const item_container& container, const CBody& part);

// Takes the item out of the document with its object and its window.
void delete_item(const item_container& container, CVelmarCntrItem& item);
