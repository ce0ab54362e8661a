#include "control/HotlinkController.h"

#include "control/HostContainer.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "platform/Path.h"
#include "platform/XmlDocument.h"
#include "resources/StringTable.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/EventHandlerReturn.h"
#include "view3d/SX_GraphicWindow.h"

using platform::HRESULT;
using platform::S_FALSE;
using platform::S_OK;
using platform::Variant;

namespace {

bool IsBlank(const std::u16string& text) {
    return text.find_first_not_of(u" \t\r\n") == std::u16string::npos;
}

}  // namespace

class control::HotlinkController::Site final : public view3d::HotlinkSite {
  public:
    explicit Site(HotlinkController& owner) : owner_(owner) {}
    bool Locate(int screenX, int screenY, double& x, double& y, double& z) override {
        return owner_.Locate(screenX, screenY, x, y, z);
    }
    void Fire(platform::DISPID id, const std::vector<Variant>& args) override {
        owner_.control_.FireEvent(id, args);
    }

  private:
    HotlinkController& owner_;
};

control::HotlinkController::HotlinkController(SX_Control& control)
    : control_(control),
      site_(std::make_shared<Site>(*this)),
      collection_(platform::MakeRef<view3d::SX_Hotlinks>()) {
    collection_->SetSite(site_);
}

control::HotlinkController::~HotlinkController() = default;

bool control::HotlinkController::Locate(int screenX, int screenY, double& x, double& y,
                                        double& z) const {
    SX_GraphicWindow* window = control_.GraphicWindow();
    if (control_.Camera() == nullptr || window == nullptr) {
        return false;
    }
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    if (!window->PickPoint(screenX, screenY, X, Y, Z)) {
        return false;
    }
    x = X;
    y = Y;
    z = Z;
    return true;
}

HRESULT control::HotlinkController::Add(const std::u16string& link, const std::u16string& label,
                                        const std::u16string& category,
                                        const std::u16string& uniqueId, const std::u16string& image,
                                        double x, double y, double z) {
    if (collection_->Find(uniqueId)) {
        return S_FALSE;
    }
    auto h = platform::MakeRef<view3d::SX_Hotlink>();
    h->x = x;
    h->y = y;
    h->z = z;
    h->link = link;
    h->label = label;
    h->category = category;
    h->uniqueId = uniqueId;
    h->imageFile = image;
    collection_->Add(h);
    control_.Redraw();
    return S_OK;
}

HRESULT control::HotlinkController::Remove(const std::u16string& uniqueId) {
    return collection_->Remove(uniqueId) ? S_OK : S_FALSE;
}

HRESULT control::HotlinkController::Edit(const std::u16string& oldId, const std::u16string& newId,
                                         const std::u16string& link, const std::u16string& label,
                                         const std::u16string& category) {
    const Ref target = collection_->Find(oldId);
    const int others = collection_->CountId(newId) - (target && target->uniqueId == newId ? 1 : 0);
    if (others > 0 || !target) {
        return S_FALSE;
    }
    return EditObject(target, newId, link, label, category);
}

HRESULT control::HotlinkController::EditObject(const Ref& h, const std::u16string& newId,
                                               const std::u16string& link,
                                               const std::u16string& label,
                                               const std::u16string& category) {
    std::vector<Variant> args = view3d::SX_Hotlinks::EventArgs(*h);
    h->uniqueId = newId;
    h->link = link;
    h->label = label;
    if (h->category != category) {
        collection_->MoveToCategory(h.Get(), category);
    }
    args.insert(args.end(), {Variant(h->link), Variant(h->label), Variant(h->category),
                             Variant(h->uniqueId), Variant(h->imageFile)});
    control_.FireEvent(SX_ControlEvents::kHotlinkChanged, args);
    control_.Redraw();
    return S_OK;
}

HRESULT control::HotlinkController::ReplaceImage(const std::u16string& uniqueId,
                                                 const std::u16string& image) {
    const Ref h = collection_->Find(uniqueId);
    if (!h) {
        return S_FALSE;
    }
    h->imageFile = image;
    return S_OK;
}

void control::HotlinkController::DisplaySelected(const std::u16string& category) {
    collection_->DisplaySelected(category);
    control_.Redraw();
}

platform::ComPtr<view3d::SX_Hotlinks> control::HotlinkController::CollectionOf(
    const std::u16string& category) const {
    const auto& map = collection_->Categories();
    const auto it = map.find(category);
    if (it == map.end()) {
        return nullptr;
    }
    auto copy = platform::MakeRef<view3d::SX_Hotlinks>();
    copy->SetSite(site_);
    for (const Ref& h : it->second) {
        copy->Insert(h);
    }
    return copy;
}

HRESULT control::HotlinkController::Mark3D(double x, double y, double z) {
    HostUi::HotlinkFields fields;
    if (!RunDialog(fields)) {
        return S_OK;
    }
    if ((fields.link.empty() && fields.id.empty()) || fields.category.empty()) {
        return S_OK;
    }
    return Add(fields.link, fields.label, fields.category, fields.id, {}, x, y, z);
}

std::shared_ptr<const SX_LoadingContext> control::HotlinkController::Context() const {
    if (auto context = control_.LoadingContext()) {
        return context;
    }
    const control::HostContainer* container = control_.HostContainer();
    return std::make_shared<const SX_LoadingContext>(
        SX_LoadingContext::FromContainer{},
        container != nullptr ? container->BaseLocation() : std::u16string());
}

void control::HotlinkController::Load(const std::u16string& file) {
    if (file.empty()) {
        return;
    }
    const auto context = Context();
    const std::u16string path = context->ResolveWithin(file, SX_LoadingContext::kWindowThreadLimit);
    platform::XmlDocument document;
    if (!path.empty() && document.Load(path)) {
        if (const platform::XmlNode section = document.SelectSingleNode(u"sx:Markup/sx:Hotlinks")) {
            collection_->ReadSection(section, [&context](const std::u16string& name) {
                return context->ResolveWithin(name, SX_LoadingContext::kWindowThreadLimit);
            });
        }
    }
    // The markup file's auto-save is not written here; its owner hooks it in.
    if (autoSave_) {
        autoSave_();
    }
    control_.Redraw();
}

// ---------------------------------------------------------------------------
// The view

control::HotlinkController::Ref control::HotlinkController::FireClick(platform::DISPID id, int x,
                                                                      int y, bool& complete) {
    complete = false;
    Ref h = collection_->HitTest(x, y);
    if (!h) {
        return nullptr;
    }
    auto reply = platform::MakeRef<view3d::EventHandlerReturn>();
    control_.FireEvent(id, {Variant(h->link), Variant(h->label), Variant(h->uniqueId),
                            Variant(h->category), Variant(reply)});
    complete = reply->Complete();
    return h;
}

void control::HotlinkController::Click(int x, int y) {
    bool complete = false;
    const Ref h = FireClick(SX_ControlEvents::kHotLinkClicked, x, y, complete);
    if (h && !complete) {
        OpenLink(*h);
    }
}

bool control::HotlinkController::RightClick(int x, int y) {
    bool complete = false;
    FireClick(SX_ControlEvents::kHotlinkRightClicked, x, y, complete);
    return complete;
}

bool control::HotlinkController::DoubleClick(int x, int y) {
    bool complete = false;
    FireClick(SX_ControlEvents::kHotlinkDoubleClicked, x, y, complete);
    return complete;
}

void control::HotlinkController::DeleteAt(int x, int y) {
    if (const Ref h = collection_->HitTest(x, y)) {
        collection_->RemoveObject(h.Get());
        control_.Redraw();
    }
}

void control::HotlinkController::EditAt(int x, int y) {
    const Ref h = collection_->HitTest(x, y);
    if (!h) {
        return;
    }
    HostUi::HotlinkFields fields{h->uniqueId, h->label, h->category, h->link};
    if (!RunDialog(fields)) {
        return;
    }
    if ((fields.link.empty() && fields.id.empty()) || fields.category.empty()) {
        return;
    }
    const int others = collection_->CountId(fields.id) - (h->uniqueId == fields.id ? 1 : 0);
    if (others > 0) {
        return;
    }
    EditObject(h, fields.id, fields.link, fields.label, fields.category);
}

void control::HotlinkController::Draw(StraleLib::SX_OpenGLWorld& world,
                                      StraleLib::SX_OpenGLCamera* camera) {
    painter_.Draw(*collection_, world, camera, control_.DataSet().UpDirection());
}

// ---------------------------------------------------------------------------
// Links and the dialog

bool control::HotlinkController::ResolveLink(const std::u16string& link,
                                             std::u16string& joined) const {
    return Context()->ResolveLink(link, joined, 4096, &control_.Ui(), control_.Resources());
}

bool control::HotlinkController::LinkIsValid(const std::u16string& link) const {
    if (platform::ClassifyLocation(link) == platform::LocationKind::Web) {
        return true;
    }
    std::u16string joined;
    return !IsBlank(link) && ResolveLink(link, joined);
}

bool control::HotlinkController::OpenLink(view3d::SX_Hotlink& h) {
    std::u16string target = h.link;
    if (h.link.find(u"..") != std::u16string::npos) {
        std::u16string joined;
        if (!ResolveLink(h.link, joined)) {
            return false;
        }
        h.fullUrl = joined;
        target = joined;
    } else if (!h.fullUrl.empty() && !SX_LoadingContext::TargetExists(h.link, h.fullUrl)) {
        return false;
    }
    if (IsBlank(target)) {
        return false;
    }
    return control_.OpenLink(target, u"_blank");
}

bool control::HotlinkController::RunDialog(HostUi::HotlinkFields& fields) {
    const host::Resources& resources = control_.Resources();
    HostUi::HotlinkDialogTexts texts;
    texts.title = kDialogTitle;
    texts.browseTitle = resources.LoadStringWithFallback(resources::IDS_CHOOSE_LINK_FILE);
    texts.browseFilterLabel = resources.LoadStringWithFallback(resources::IDS_ALL_FILES);
    texts.browsePattern = u"*.*";
    const auto accept = [this, &resources](HostUi::HotlinkFields& f) {
        if (!IsBlank(f.label) && IsBlank(f.id)) {
            f.id = f.label;
        }
        if (IsBlank(f.label)) {
            f.label = f.id;
        }
        if (IsBlank(f.category)) {
            f.category = view3d::SX_Hotlink::kDefaultCategory;
        }
        if (LinkIsValid(f.link)) {
            return true;
        }
        const int answer = control_.Ui().MessageBox(
            std::u16string(kLinkWarning), resources.LoadStringWithFallback(resources::IDS_WARNING),
            HostUi::kYesNo | HostUi::kIconWarning);
        return answer == HostUi::kIdYes;
    };
    return control_.Ui().HotlinkDialog(fields, texts, accept);
}
