// The control's markup file members: SaveMarks (a named file, under the
// file's named lock), SaveMarkup (the per-station auto-save), LoadMarks,
// CheckMarkupFile and ClearViews. The document itself is persist::MarkupFile.
#include <chrono>
#include <memory>
#include <thread>

#include "control/HostContainer.h"
#include "control/HotlinkController.h"
#include "control/SX_Control.h"
#include "control/SX_ControlEvents.h"
#include "host/HostUi.h"
#include "host/Log.h"
#include "host/SX_Format.h"
#include "markup2d/SX_2DDrawingWindow.h"
#include "persist/MarkupFile.h"
#include "persist/SxViews.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/NamedLock.h"
#include "platform/XmlDocument.h"
#include "resources/StringTable.h"
#include "station/SX_LoadingContext.h"
#include "station/SX_PanoramaDataSet.h"
#include "view3d/NeighborView.h"

namespace {

// The caption of a box that names none.
constexpr char16_t kDefaultCaption[] = u"Error";
// "The markup file %s could not be written.": a side module's entry (the
// built-in table has none).
constexpr int kNotWrittenString = 153;
// An auto-save needs an identifier of at least this many characters; reading
// the auto-saved file back needs one more.
constexpr std::size_t kAutoSaveMinId = 16;

std::u16string Cut(std::u16string text) {
    if (text.size() > persist::kMaxIdentifier) {
        text.resize(persist::kMaxIdentifier);
    }
    return text;
}

}  // namespace

std::u16string SX_Control::DataSetIdentifier() const {
    return Cut(dataSet_->UniqueId());  // copied under the station's data lock
}

persist::MarkupParts SX_Control::MarkupParts() const {
    persist::MarkupParts parts;
    parts.dataSetId = DataSetIdentifier();
    parts.versionChecked = versionCheckDone_.load();
    parts.views = views_.Get();
    parts.viewsLink = viewsLink_;
    parts.neighbors = neighbors_.get();
    parts.hotlinks = &hotlinks_->Collection();
    parts.resolveImage = [context = loader_.Context()](const std::u16string& name) {
        return context ? context->ResolveWithin(name, SX_LoadingContext::kWindowThreadLimit) : name;
    };
    return parts;
}

bool SX_Control::WriteMarkup(const std::u16string& path) {
    switch (persist::SaveMarkupFile(MarkupParts(), path)) {
        case persist::MarkupSave::kSaved:
            return true;
        case persist::MarkupSave::kNotBuilt:
            return false;
        case persist::MarkupSave::kWriteFailed:
            break;
    }
    ui_.MessageBox(SX_Format(resources_.LoadStringWithFallback(kNotWrittenString), {path}),
                   kDefaultCaption, HostUi::kOk | HostUi::kIconError);
    return false;
}

bool SX_Control::SaveMarks(const std::u16string& fileName) {
    platform::NamedLock lock(fileName);
    if (!lock.IsHeld()) {
        SX_Trace("NamedLock fails to be created, error code:%d\r\n", lock.Error());
    }
    const bool saved = WriteMarkup(fileName);
    if (saved) {
        const std::u16string text =
            SX_Format(resources_.Text(u"sx:Resource/sx:SaveSuc", u"%s %s was saved successfully"),
                      {resources_.Text(u"sx:Resource/sx:Markup", u"Markup File"), fileName});
        ui_.MessageBox(text, resources_.Text(u"sx:Resource/sx:Information", u"Information"),
                       HostUi::kOk | HostUi::kIconInformation);
    }
    return saved;
}

void SX_Control::SaveMarkup() {
    const std::u16string id = DataSetIdentifier();
    const std::u16string path = persist::AutoSavePath(id);
    if (id.size() < kAutoSaveMinId || path.empty()) {
        return;
    }
    platform::CreateFolders(platform::PerUserPath(u"\\Panora\\"));
    WriteMarkup(path);
}

void SX_Control::MarkupWait() {
    // A blocking pause of the window thread; on a virtual clock it is the
    // clock that moves.
    constexpr int kMs = 500;
    platform::Clock& clock = loop_.GetClock();
    if (auto* simulated = dynamic_cast<platform::VirtualClock*>(&clock)) {
        simulated->Advance(kMs);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(kMs));
    }
}

bool SX_Control::LoadMarks(const std::u16string& fileName, bool forceServerVersion) {
    marksLocal_ = false;
    MarkupWait();
    std::u16string file = fileName.substr(0, persist::kMaxIdentifier);
    const std::u16string id = DataSetIdentifier();
    if (id.size() > kAutoSaveMinId && !forceServerVersion) {
        file = persist::AutoSavePath(id);
        marksLocal_ = true;
        if (file.empty()) {
            return false;  // no per-user folder: not even MarkupsLoaded
        }
    }
    auto context = hostContainer_
                       ? std::make_unique<SX_LoadingContext>(SX_LoadingContext::FromContainer{},
                                                             hostContainer_->BaseLocation())
                       : std::make_unique<SX_LoadingContext>(file);
    if (options_.downloadCache != nullptr) {
        context->SetDownloadCache(options_.downloadCache);
    }
    bool result = false;
    const std::u16string path = context->ResolveWithin(file, SX_LoadingContext::kWindowThreadLimit);
    platform::XmlDocument document;
    if (!path.empty() && document.Load(path)) {
        persist::MarkupParts parts = MarkupParts();
        result = persist::ReadMarkup(document, parts);
    } else if (!path.empty()) {
        const platform::XmlParseError& error = document.ParseError();
        if (error.code == platform::kXmlFileNotFound ||
            error.code == platform::kXmlFileUnreadable) {
            errors_.AddMessage(SX_Format(
                resources_.Text(u"sx:Resource/sx:FileLoadError", resources::IDS_FAIL_TO_LOAD),
                {file}));
        } else {
            errors_.AddMessage(SX_Format(
                resources_.Text(u"sx:Resource/sx:XMLError", resources::IDS_XML_ERROR),
                {static_cast<unsigned>(error.code), error.line, error.position, error.reason}));
        }
    }
    if (forceServerVersion && !result) {
        ui_.MessageBox(
            SX_Format(resources_.Text(u"sx:Resource/sx:FailLoad", u"Failed to load %s %s"),
                      {resources_.Text(u"sx:Resource/sx:Markup", u"Markup File"), fileName}),
            resources_.Text(u"sx:Resource/sx:Information", u"Information"),
            HostUi::kOk | HostUi::kIconInformation);
    }
    FireEvent(SX_ControlEvents::kMarkupsLoaded);
    return result;
}

int SX_Control::CheckMarkupFile(const std::u16string& fileName) const {
    return persist::CheckMarkupFile(fileName, DataSetIdentifier());
}

bool SX_Control::ClearViews(std::int32_t type) {
    static constexpr struct {
        const char16_t* key;
        int id;
    } kQuestions[] = {
        {u"sx:Resource/sx:ViewClear", resources::IDS_VIEW_CLEAR},
        {u"sx:Resource/sx:ViewClear1", resources::IDS_VIEW_CLEAR1},
        {u"sx:Resource/sx:ViewClear2", resources::IDS_VIEW_CLEAR2},
    };
    if (type < 0 || type > 2) {
        return false;
    }
    const auto& question = kQuestions[type];
    const int answer =
        ui_.MessageBox(resources_.Text(question.key, question.id, true),
                       resources_.Text(u"sx:Resource/sx:Warning", resources::IDS_WARNING),
                       HostUi::kYesNo | HostUi::kIconWarning);
    if (answer != HostUi::kIdYes) {
        return false;
    }
    if (drawingWindow_) {
        drawingWindow_->ReleaseDrawings();
    }
    if (views_) {
        views_->Clear();
    }
    Redraw();
    return true;
}
