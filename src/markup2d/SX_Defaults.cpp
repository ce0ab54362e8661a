#include "markup2d/SX_Defaults.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/Resources.h"
#include "host/SX_Format.h"
#include "platform/Text.h"
#include "platform/XmlDocument.h"
#include "resources/StringTable.h"

namespace {

// Skips blanks and a '+' the way "%d" and "%lf" do.
const char* SkipBlanks(const char* p, const char* end) {
    while (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) {
        ++p;
    }
    if (p != end && *p == '+' && p + 1 != end && p[1] != '-') {
        ++p;
    }
    return p;
}

std::optional<long long> ParseInt(const std::string& text) {
    const char* end = text.data() + text.size();
    long long v = 0;
    const auto r = std::from_chars(SkipBlanks(text.data(), end), end, v);
    if (r.ec != std::errc()) {
        return std::nullopt;
    }
    return v;
}

std::optional<double> ParseDouble(const std::string& text) {
    const char* end = text.data() + text.size();
    double v = 0;
    const auto r = std::from_chars(SkipBlanks(text.data(), end), end, v);
    if (r.ec != std::errc()) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::u16string SX_Defaults::ColorText(std::uint32_t argb) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%u %u %u %u", (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                  argb & 0xFF, argb >> 24);
    return platform::FromUtf8(buf);
}

std::optional<std::uint32_t> SX_Defaults::ParseColorText(std::u16string_view text) {
    const std::string s = platform::ToUtf8(text);
    const char* p = s.data();
    const char* end = p + s.size();
    // red, green, blue, alpha
    std::uint32_t parts[4] = {0, 0, 0, 255};
    int n = 0;
    for (; n < 4; ++n) {
        p = SkipBlanks(p, end);
        long long v = 0;
        const auto r = std::from_chars(p, end, v);
        if (r.ec != std::errc()) {
            break;
        }
        parts[n] = static_cast<std::uint32_t>(v) & 0xFF;
        p = r.ptr;
    }
    if (n == 0) {
        return std::nullopt;
    }
    return Argb(parts[3], parts[0], parts[1], parts[2]);
}

std::u16string SX_Defaults::HexColor(std::uint32_t argb) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                  argb & 0xFF);
    return platform::FromUtf8(buf);
}

std::optional<std::uint32_t> SX_Defaults::ParseHexColor(std::u16string_view text) {
    const std::string s = platform::ToUtf8(text);
    unsigned r = 0;
    unsigned g = 0;
    unsigned b = 0;
    if (std::sscanf(s.c_str(), "#%02x%02x%02x", &r, &g, &b) != 3) {
        return std::nullopt;
    }
    return Argb(255, r, g, b);
}

int SX_Defaults::FillTransparency() const {
    return static_cast<int>((1.0 - static_cast<double>(brushColor >> 24) / 255.0) * 100.0);
}

void SX_Defaults::SetFillTransparency(int percent) {
    const int alpha = static_cast<int>((100.0 - percent) / 100.0 * 255.0);
    brushColor = (brushColor & 0x00FFFFFFu) | ((static_cast<std::uint32_t>(alpha) & 0xFF) << 24);
}

double SX_Defaults::FontSizeFor(int shapeType) const {
    return shapeType == -1 || (shapeType >= 13 && shapeType <= 15) ? fontSize : -1.0;
}

void SX_Defaults::SetFontSize(double size) {
    if (size > 0) {
        fontSize = size;
    }
}

bool SX_Defaults::Load(std::u16string_view path, const host::Resources& resources) {
    filePath_ = std::u16string(path);
    if (path.empty()) {
        return false;
    }
    platform::XmlDocument doc;
    if (!doc.Load(path)) {
        const platform::XmlParseError& e = doc.ParseError();
        AddMessage(SX_Format(resources.Text(u"sx:Resource/sx:XMLError", resources::IDS_XML_ERROR),
                             {static_cast<unsigned>(e.code), e.line, e.position, e.reason}));
        return false;
    }
    ReadSection(doc, u"sx:DrawingBase", resources);
    ReadSection(doc, u"sx:DrawingText", resources);
    ReadSection(doc, u"sx:Measures", resources);
    loaded_ = true;
    return true;
}

bool SX_Defaults::ReadSection(const platform::XmlDocument& doc, std::u16string_view section,
                              const host::Resources& resources) {
    const std::u16string sectionTag = u"<" + std::u16string(section) + u">";
    const platform::XmlNode node = doc.SelectSingleNode(u"/sx:Defaults/" + std::u16string(section));
    if (!node) {
        AddMessage(SX_Format(
            resources.Text(u"sx:Resource/sx:MissingSection", resources::IDS_MISSING_SECTION),
            {sectionTag}));
        return false;
    }
    using Reader = std::function<void(const std::string&)>;
    const auto colour = [](std::uint32_t& field) -> Reader {
        return [&field](const std::string& t) {
            if (auto c = ParseColorText(platform::FromUtf8(t))) {
                field = *c;
            }
        };
    };
    const auto width = [](float& field) -> Reader {
        return [&field](const std::string& t) {
            if (auto v = ParseDouble(t)) {
                field = static_cast<float>(*v);
            }
        };
    };
    const auto integer = [](int& field) -> Reader {
        return [&field](const std::string& t) {
            if (auto v = ParseInt(t)) {
                field = static_cast<int>(*v);
            }
        };
    };
    const auto label = [](std::u16string& field) -> Reader {
        return [&field](const std::string& t) { field = platform::FromUtf8(t); };
    };
    const auto units = [&](SX_UnitSettings& u) {
        return std::vector<std::pair<const char16_t*, Reader>>{
            {u"sx:FrmtDec", integer(u.frmtDec)},
            {u"sx:FrmtUnit", label(u.frmtUnit)},
            {u"sx:unit", integer(u.unit)},
            {u"sx:internalUnit", integer(u.internalUnit)}};
    };

    std::vector<std::pair<const char16_t*, Reader>> elements;
    if (section == u"sx:DrawingBase") {
        elements = {{u"sx:penColor", colour(penColor)},
                    {u"sx:penWidth", width(penWidth)},
                    {u"sx:brushColor", colour(brushColor)},
                    {u"sx:bboxPenColor", colour(bboxPenColor)},
                    {u"sx:bboxPenWidth", width(bboxPenWidth)},
                    {u"sx:handlePenColor", colour(handlePenColor)},
                    {u"sx:handlePenWidth", width(handlePenWidth)},
                    {u"sx:selHandlePenWidth", width(selHandlePenWidth)},
                    {u"sx:handleBrushColor", colour(handleBrushColor)}};
    } else if (section == u"sx:DrawingText") {
        elements = {{u"sx:textBrushColor", colour(textBrushColor)},
                    {u"sx:textShadowBrushColor", colour(textShadowBrushColor)},
                    {u"sx:fontSize",
                     [this](const std::string& t) {
                         if (auto v = ParseDouble(t)) {
                             fontSize = *v;
                         }
                     }},
                    {u"sx:fontName", label(fontName)}};
        for (auto& e : units(text)) {
            elements.push_back(std::move(e));
        }
    } else {
        elements = units(measures);
    }

    bool ok = true;
    for (const auto& [name, read] : elements) {
        const platform::XmlNode child = node.SelectSingleNode(name);
        if (!child) {
            AddMessage(SX_Format(
                resources.Text(u"sx:Resource/sx:MissingFrom", resources::IDS_MISSING_FROM),
                {u"<" + std::u16string(name) + u">", sectionTag}));
            ok = false;
            continue;
        }
        read(platform::ToUtf8(child.Text()));
    }
    return ok;
}
