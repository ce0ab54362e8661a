// The message file "Resource.xml" and the side resource file
// "PanoraResources.ini": the input is installed as both, then every kind of
// lookup is made and its text used as a format, as the callers use it.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "host/Resources.h"
#include "host/SX_Format.h"
#include "platform/Text.h"

namespace {

constexpr const char16_t* kKeys[] = {
    u"sx:Resource/sx:Warning",
    u"sx:Resource/sx:SaveSuc",
    u"sx:Resource/sx:FailLoad",
    u"sx:Resource/sx:ViewClear",
    u"sx:Resource/sx:XMLError",
    u"sx:Resource/sx:Missing",
    u"sx:Resource/sx:FileNotFound",
    u"sx:Resource/sx:DataFileWrong",
    u"sx:Resource/sx:MissingFrom",
    u"sx:Resource/sx:VersionInformation/sx:About",
    u"sx:Resource/sx:ImageTooLarge",
    u"sx:Resource",
    u"sx:Resource/",
    u"/sx:Resource//sx:Warning",
};

void Use(const std::u16string& format) {
    // The argument lists the callers pass: texts, integers and reals.
    SX_Format(format, {u"name", 2.5, u"\n", u"\n"});
    SX_Format(format, {0x80004005u, 12, 34, u"reason"});
    SX_Format(format, {u"file", 4194305LL, 4194304LL});
    SX_Format(format, {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::WriteScratch("install/Resource.xml", data, size);
    fuzz::WriteScratch("install/PanoraResources.ini", data, size);
    const std::u16string folder = platform::FromUtf8(fuzz::ScratchDir() + "/install");
    host::Resources resources;
    resources.LoadMessageFile(folder);
    resources.LoadSideModule(folder);
    for (const char16_t* key : kKeys) {
        Use(resources.Text(key, u"built-in %s"));
        Use(resources.Text(key, 104, true));
        std::u16string text;
        resources.GetMessage(key, text, true, host::Resources::kLongMessage);
        resources.GetMessage(key, text, false, 1);
    }
    for (const int id : {100, 101, 104, 108, 116, 153, 999, 1000, -1}) {
        Use(resources.LoadString(id));
        Use(resources.LoadStringWithFallback(id));
    }
    return 0;
}
