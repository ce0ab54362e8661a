#pragma once
// The control's automation interface, ISX_Control: every member by name and
// dispatch identifier with its parameter list, as a page or a script host
// calls it.
//
// The object is a thin dispatcher over an SX_Control it does not own: every
// member forwards to it. A member that quietly declines a call (not ready,
// unknown identifier) answers success with its neutral result (false, -1,
// 0.0, an empty string or no object) and leaves its [out] parameters
// untouched. Once the control is gone (Detach), every member declines that
// way, except Views, which reports E_PENDING.
//
// The table is split by area over three files: this one's .cpp holds the
// properties, the load, camera and view-window members; ...Marks.cpp the 3D
// marks, units, drawing defaults, views and markup files; ...Site.cpp the
// neighbour stations, logos and the browser's dialogs; ...Hotlinks.cpp the
// hotlinks.

#include "platform/DispatchTableBuilder.h"
#include "platform/Dispatchable.h"

class SX_Control;

namespace control {

class Automation final : public platform::Dispatchable {
  public:
    using Builder = platform::DispatchTableBuilder<Automation>;

    explicit Automation(SX_Control* control) : control_(control) {}

    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();

    // The control, or null once detached.
    SX_Control* Control() const { return control_; }
    // Called when the control goes away while the page still holds this object.
    void Detach() { control_ = nullptr; }

  private:
    static void AddControlMembers(Builder& builder);
    static void AddMarkMembers(Builder& builder);
    static void AddSiteMembers(Builder& builder);
    static void AddHotlinkMembers(Builder& builder);
    static void AddBrowserMembers(Builder& builder);

    SX_Control* control_ = nullptr;
};

}  // namespace control
