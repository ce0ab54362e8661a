#pragma once
// The control's own string table: every text the viewer shows when neither the
// message file nor the side resource module rewords it. Entries are looked up
// by their numeric identifier; the identifiers are stable (the side module and
// the message lookup name entries by them).

#include <optional>
#include <string>

namespace resources {

// Identifiers of entries that the code names.
enum StringId : int {
    IDS_PROJNAME = 100,
    IDS_RELATIVE_PATH_WRONG = 101,
    IDS_ABSOLUTE_PATH_MISSING = 102,
    IDS_WARNING = 103,
    IDS_FILE_NOT_FOUND = 104,
    IDS_FAIL_TO_LOAD = 105,
    IDS_FAIL_TO_DOWNLOAD = 106,
    IDS_MISSING_CUBEMAPS = 107,
    IDS_VIEW_CLEAR = 108,
    IDS_VIEW_CLEAR1 = 109,
    IDS_VIEW_CLEAR2 = 110,
    IDS_PARSER_NOT_INITIALIZED = 111,
    IDS_DATASET_NOT_INITIALIZED = 112,
    IDS_ERROR = 113,
    IDS_NO_HELP = 114,
    IDS_PARSER_NOT_INITIALIZED2 = 115,
    IDS_XML_ERROR = 116,
    IDS_COPYRIGHT = 117,
    IDS_ERRORS = 118,
    IDS_SYSTEM_NOT_MEET = 119,
    IDS_MISSING_SECTION = 120,
    IDS_MISSING_FROM = 121,
    IDS_CHOOSE_LINK_FILE = 122,
    IDS_ALL_FILES = 123,
    IDS_DESELECT = 124,
    IDS_PRINT = 134,
    IDS_DELETE_HOTLINK = 139,
    IDS_PICK_FIRST_POINT = 140,
    IDS_UNIT_FIRST = 145,
    IDS_PICK_SECOND_POINT = 188,
    IDS_PICK_POINT = 191,
    IDS_SAVE_JPG_TITLE = 220,
    IDS_SAVE_JPG_FILTER = 221,
    IDS_DATA_ISSUE_FIRST = 224,
    IDS_DATA_ISSUE_CAPTION = 228,
    IDS_UPGRADE_FIRST = 229,
    IDS_UPGRADE_CAPTION = 232,
    IDS_EDIT_HOTLINK = 233,
};

// Entry `id` of the control's own table; nothing when the table has no such
// entry. "\n" inside an entry is a real line feed.
std::optional<std::u16string> BuiltInString(int id);

}  // namespace resources
