#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

namespace resources {
namespace {

struct Entry {
    int id;
    const char16_t* text;
};

// Sorted by identifier.
constexpr Entry kTable[] = {
    {100, u"Panora"},
    {101, u"The relative path %s is not right. Current path is %s."},
    {102, u"%s (Absolute path is %s) does not exist."},
    {103, u"Warning"},
    {104, u"Error: File %s not found."},
    {105, u"Fail to load %s."},
    {106,
     u"File %s does not exist or can not be downloaded from the server. Please check with the "
     u"system administrator."},
    {107, u"Missing CubeMaps information <sx:Cubemaps>."},
    {108,
     u"After you clear all markups, you can not get them back!\nYou must export local markups if "
     u"you wish to save them.\nDo you still want to proceed?"},
    {109,
     u"Markup from Server will overwrite local markups. You must\nexport local markups if you "
     u"wish to save them.\nOverwrite local markups?"},
    {110,
     u"Last auto-saved markups will overwrite current markups. You must\nexport current markups "
     u"if you wish to save them.\nOverwrite current markups?"},
    {111, u"XML Parser not initialized."},
    {112, u"DataSet class failed initialization."},
    {113, u"Error"},
    {114, u"No help file availalble."},
    {115, u"XML Parser not initialized."},
    {116, u"XML Error: %X - Line[%d] Pos[%d] - %s."},
    {117, u"Panora viewer, copyright (c) the Panora developers. All rights reserved."},
    {118, u"There are errors:"},
    {119, u"This system does not meet minimal requirements for running Panora."},
    {120, u"Missing %s section."},
    {121, u"Missing %s from %s section."},
    {122, u"Choose file to link"},
    {123, u"All Files (*.*)"},
    {124, u"Deselect"},
    {125, u"Rectangle"},
    {126, u"Circle"},
    {127, u"Line"},
    {128, u"Text"},
    {129, u"Distance"},
    {130, u"Position"},
    {131, u"Unlock"},
    {132, u"View/Hyperlink"},
    {133, u"Pan/Zoom"},
    {134, u"Print"},
    {135, u"Go to Link"},
    {136, u"Markup"},
    {137, u"Edit Markup"},
    {138, u"Delete Markup"},
    {139, u"Delete Hotlink"},
    {140, u"Pick the first point"},
    {141, u"Deselect Line"},
    {142, u"Deselect Circle"},
    {143, u"Deselect Rectangle"},
    {144, u"Deselect Text"},
    {145, u"m"},
    {146, u"cm"},
    {147, u"mm"},
    {148, u"ft"},
    {149, u"''"},
    {150, u"ft (US-Survey)"},
    {151, u"in (US-Survey)"},
    {152, u"yd"},
    {188, u"Pick the second point"},
    {189, u"Double Click to edit"},
    {190, u"Type your text here"},
    {191, u"Pick a point"},
    {192, u"Hello"},
    {220, u"Save image as JPG"},
    {221, u"JPG files (*.jpg)"},
    {222, u"Deselect Coordinate"},
    {223, u"Deselect Distance"},
    {224,
     u"This Quorvant Panora data was published by Strale Publisher 5.6. Distance\nmeasurements"},
    {225, u" are correct, but individual coordinates may not be correctly reported.\n\n"},
    {226, u"Your data administrator may wish to republish this data with an updated\n"},
    {227, u" version of Strale Publisher (version 5.7.1 or later)."},
    {228, u"Warning: Quorvant Panora Plug-in Found Potential Data Issue"},
    {229, u"This Quorvant Panora data requires a newer version of the Quorvant Panora plug-in\n"},
    {230, u"to be installed.\n\n"},
    {231, u"In order to load and view this data, please update your Quorvant Panora plug-in\n"},
    {232, u"Warning: Quorvant Panora Plug-in Upgrade Required"},
    {233, u"Edit Hotlink"},
};

}  // namespace

std::optional<std::u16string> BuiltInString(int id) {
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(kTable) || it->id != id) {
        return std::nullopt;
    }
    return std::u16string(it->text);
}

}  // namespace resources
