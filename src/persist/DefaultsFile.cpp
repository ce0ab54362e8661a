#include "persist/DefaultsFile.h"

#include <cstdint>
#include <string>

#include "markup2d/SX_Defaults.h"
#include "platform/SL_XMLWriter.h"

namespace {

using StraleLib::SL_XMLWriter;

bool Element(SL_XMLWriter& w, std::u16string_view name, std::uint32_t colour) {
    return w.StartElement(name) && w.SetText(colour) && w.EndElement();
}
bool Element(SL_XMLWriter& w, std::u16string_view name, double number) {
    return w.StartElement(name) && w.SetText(number) && w.EndElement();
}
bool Element(SL_XMLWriter& w, std::u16string_view name, int number) {
    return w.StartElement(name) && w.SetText(number) && w.EndElement();
}
bool Element(SL_XMLWriter& w, std::u16string_view name, std::u16string_view text) {
    return w.StartElement(name) && w.SetText(text) && w.EndElement();
}

bool Units(SL_XMLWriter& w, const SX_UnitSettings& u) {
    return Element(w, u"sx:FrmtDec", static_cast<int>(u.frmtDec)) &&
           Element(w, u"sx:FrmtUnit", u.frmtUnit) && Element(w, u"sx:unit", u.unit) &&
           Element(w, u"sx:internalUnit", u.internalUnit);
}

bool Base(SL_XMLWriter& w, const SX_Defaults& d) {
    return w.StartElement(u"sx:DrawingBase") && Element(w, u"sx:penColor", d.penColor) &&
           Element(w, u"sx:penWidth", static_cast<double>(d.penWidth)) &&
           Element(w, u"sx:brushColor", d.brushColor) &&
           Element(w, u"sx:bboxPenColor", d.bboxPenColor) &&
           Element(w, u"sx:bboxPenWidth", static_cast<double>(d.bboxPenWidth)) &&
           Element(w, u"sx:handlePenColor", d.handlePenColor) &&
           Element(w, u"sx:handlePenWidth", static_cast<double>(d.handlePenWidth)) &&
           Element(w, u"sx:selHandlePenWidth", static_cast<double>(d.selHandlePenWidth)) &&
           Element(w, u"sx:handleBrushColor", d.handleBrushColor) && w.EndElement();
}

bool Text(SL_XMLWriter& w, const SX_Defaults& d) {
    return w.StartElement(u"sx:DrawingText") &&
           Element(w, u"sx:textBrushColor", d.textBrushColor) &&
           Element(w, u"sx:textShadowBrushColor", d.textShadowBrushColor) &&
           Element(w, u"sx:fontSize", d.fontSize) && Element(w, u"sx:fontName", d.fontName) &&
           Units(w, d.text) && w.EndElement();
}

bool Measures(SL_XMLWriter& w, const SX_Defaults& d) {
    return w.StartElement(u"sx:Measures") && Units(w, d.measures) && w.EndElement();
}

}  // namespace

bool persist::SaveDefaults(const SX_Defaults& defaults, std::u16string_view path) {
    if (path.empty()) {
        return false;
    }
    // The document's save replaces the file whole (see XmlDocument::Save).
    SL_XMLWriter w{std::u16string(path)};
    if (!w.StartElement(u"sx:Defaults", kSxNamespace)) {
        return false;
    }
    const bool base = Base(w, defaults);
    const bool text = base && Text(w, defaults);
    const bool measures = text && Measures(w, defaults);
    if (!measures) {
        return false;  // the root stays open: nothing was saved
    }
    w.EndElement();
    return !w.SaveFailed();
}
