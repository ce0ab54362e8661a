#pragma once
// The control's hotlinks: its collection, the icons drawn in each frame,
// the clicks on them, the "Hotlink Properties" dialog and the opening of
// their links. Everything runs on the window thread.
//
// Clicks: a left click over an icon fires HotLinkClicked with a fresh
// EventHandlerReturn; unless a handler set EventProcessingComplete the link
// is opened. A right release fires HotlinkRightClicked (a handled one shows
// no menu); a double click fires HotlinkDoubleClicked.
//
// Opening a link: a link without ".." opens unless FullUrl names a missing
// file; one with ".." is first joined with the station's data location
// (each ".." takes one folder off; climbing too high shows string 101 and
// stops), the joined path becomes FullUrl and is opened. A page's browser
// container opens it in a new window ("_blank"); without one the control's
// desktop opener does.
//
// The dialog's OK: a blank Tag/Index takes the label, a blank label the
// Tag/Index, a blank category "Misc"; a link that is neither a web address
// nor a file that resolves asks (Yes/No, "Warning") whether to go on, and
// No keeps the dialog open.
#include <functional>
#include <memory>
#include <string>

#include "host/HostUi.h"
#include "platform/ComStatus.h"
#include "view3d/HotlinkPainter.h"
#include "view3d/SX_Hotlinks.h"

class SX_Control;
class SX_LoadingContext;
namespace StraleLib {
class SX_OpenGLCamera;
class SX_OpenGLWorld;
}  // namespace StraleLib

namespace control {

class HotlinkController {
  public:
    using Ref = view3d::SX_Hotlinks::Ref;
    static constexpr std::u16string_view kDialogTitle = u"Hotlink Properties";
    static constexpr std::u16string_view kLinkWarning =
        u"Given link is neither a valid HREF nor a valid local file. Still want to continue?\n"
        u"A valid link is a web address (see RFC 3986 for its forms, e.g. "
        u"https://host/page.html) or the path of an existing file.";

    explicit HotlinkController(SX_Control& control);
    ~HotlinkController();
    HotlinkController(const HotlinkController&) = delete;
    HotlinkController& operator=(const HotlinkController&) = delete;

    view3d::SX_Hotlinks& Collection() { return *collection_; }
    view3d::HotlinkPainter& Painter() { return painter_; }
    // Called after LoadHotlinks added hotlinks: the markup's auto-save.
    void SetAutoSaveHook(std::function<void()> hook) { autoSave_ = std::move(hook); }

    // Automation work; S_FALSE where the members say so.
    platform::HRESULT Add(const std::u16string& link, const std::u16string& label,
                          const std::u16string& category, const std::u16string& uniqueId,
                          const std::u16string& image, double x, double y, double z);
    // The 3D point under a client pixel; false (outputs untouched) when none.
    bool Locate(int screenX, int screenY, double& x, double& y, double& z) const;
    platform::HRESULT Remove(const std::u16string& uniqueId);
    platform::HRESULT Edit(const std::u16string& oldId, const std::u16string& newId,
                           const std::u16string& link, const std::u16string& label,
                           const std::u16string& category);
    platform::HRESULT ReplaceImage(const std::u16string& uniqueId, const std::u16string& image);
    void DisplaySelected(const std::u16string& category);
    // A new collection sharing the hotlinks of the category; null when unknown.
    platform::ComPtr<view3d::SX_Hotlinks> CollectionOf(const std::u16string& category) const;
    // The properties dialog for a new hotlink at the position.
    platform::HRESULT Mark3D(double x, double y, double z);
    void Load(const std::u16string& file);

    // The view.
    Ref HitTest(int x, int y) const { return collection_->HitTest(x, y); }
    void Click(int x, int y);
    bool RightClick(int x, int y);
    bool DoubleClick(int x, int y);
    void DeleteAt(int x, int y);
    void EditAt(int x, int y);
    void Draw(StraleLib::SX_OpenGLWorld& world, StraleLib::SX_OpenGLCamera* camera);

    // Links.
    bool OpenLink(view3d::SX_Hotlink& hotlink);
    // Joins a link with the data location (see SX_LoadingContext::ResolveLink).
    bool ResolveLink(const std::u16string& link, std::u16string& joined) const;
    bool LinkIsValid(const std::u16string& link) const;
    // Shows the dialog; true with the accepted fields.
    bool RunDialog(HostUi::HotlinkFields& fields);

  private:
    class Site;
    platform::HRESULT EditObject(const Ref& hotlink, const std::u16string& newId,
                                 const std::u16string& link, const std::u16string& label,
                                 const std::u16string& category);
    std::shared_ptr<const SX_LoadingContext> Context() const;
    Ref FireClick(platform::DISPID id, int x, int y, bool& complete);

    SX_Control& control_;
    std::shared_ptr<Site> site_;
    platform::ComPtr<view3d::SX_Hotlinks> collection_;
    view3d::HotlinkPainter painter_;
    std::function<void()> autoSave_;
};

}  // namespace control
