#pragma once

// Numbers shared by the framework and the program: message box styles and
// answers, the framework's command ids, and its own messages.

// Message box buttons (low four bits) and icons.
enum : unsigned {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
};

// Answers of message boxes and dialogs; also the ids of the OK and Cancel
// buttons of a dialog.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Commands the framework handles itself.
enum : int {
  ID_FILE_NEW = 57600,
  ID_FILE_OPEN = 57601,
  ID_FILE_CLOSE = 57602,
  ID_FILE_SAVE = 57603,
  ID_FILE_SAVE_AS = 57604,
  ID_FILE_PRINT_SETUP = 57606,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_FILE_MRU_FILE1 = 57616,  // and the three after it
  ID_EDIT_CLEAR = 57632,
  ID_EDIT_COPY = 57634,
  ID_EDIT_CUT = 57635,
  ID_EDIT_PASTE = 57637,
  ID_EDIT_SELECT_ALL = 57642,
  ID_EDIT_UNDO = 57643,
  ID_WINDOW_NEW = 57648,
  ID_WINDOW_ARRANGE = 57649,
  ID_WINDOW_CASCADE = 57650,
  ID_WINDOW_TILE_HORZ = 57651,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_WINDOW_FIRST_CHILD = 65280,  // the window list of the Window menu
  ID_OLE_INSERT_NEW = 57856,      // Insert New Object
  ID_CANCEL_EDIT_CNTR = 32768,    // Escape: ends the editing of an object in place
};

inline constexpr int kRecentFileCount = 4;

// The framework's messages.
inline constexpr const char* kAskToSave = "Save changes to %1?";
inline constexpr const char* kFailedToOpen = "Failed to open document.";
inline constexpr const char* kFailedToSave = "Failed to save document.";
inline constexpr const char* kCommandFailed = "Command failed.";
inline constexpr const char* kTooManyCharacters = "Please enter no more than %1 characters.";
inline constexpr const char* kNotAnInteger = "Please enter an integer.";
inline constexpr const char* kOpenTitle = "Open";
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kAllFilesFilter = "All Files (*.*)";
inline constexpr const char* kIdleMessage = "就绪";
