#pragma once
// The reply object of the hotlink click events (IEventHandlerReturn): one
// boolean, EventProcessingComplete (1000), false when made. A handler that
// sets it takes the click over and the control skips its own handling.
#include "platform/DispatchTable.h"
#include "platform/Dispatchable.h"

namespace view3d {

class EventHandlerReturn final : public platform::Dispatchable {
  public:
    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();

    bool Complete() const { return complete_; }
    void SetComplete(bool complete) { complete_ = complete; }

  private:
    bool complete_ = false;
};

}  // namespace view3d
