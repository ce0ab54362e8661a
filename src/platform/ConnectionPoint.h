#pragma once
// A connection point: the ordered list of sinks that receive one outgoing
// (event) interface.
//
// Advise appends a sink and returns its cookie (1, 2, ... never reused within
// one connection point; 0 means refused). Fire calls every sink in connection
// order with the event's DISPID and its arguments in parameter order. A sink
// that fails does not stop the others; the result is the last failure, or
// S_OK. A failing sink's error description (ComStatus.h) stays as the
// thread's error information.
//
// Changes during a firing: Fire works on the list as it was when the firing
// began. A sink advised during the firing is first called by the next firing;
// a sink unadvised during the firing is not called any more, not even later
// in the same firing (a sink may unadvise itself). Firing again from inside a
// sink (a handler that causes another event) is allowed and runs to the end
// before the outer firing goes on. The list is guarded by a lock; no sink is
// called with it held.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ComObject.h"
#include "platform/DispatchTable.h"

namespace platform {

class ConnectionPoint {
  public:
    using Sink = std::function<HRESULT(DISPID id, const std::vector<Variant>& args)>;

    ConnectionPoint() = default;
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    // 0 for an empty sink.
    std::uint32_t Advise(Sink sink);
    // A dispatchable sink is invoked as a method call on the event's DISPID;
    // the connection holds a reference to it. 0 for a null object.
    std::uint32_t Advise(ComPtr<Dispatchable> sink);
    // CONNECT_E_NOCONNECTION for a cookie that is not connected.
    HRESULT Unadvise(std::uint32_t cookie);
    void UnadviseAll();

    HRESULT Fire(DISPID id, const std::vector<Variant>& args = {});

    std::size_t Count() const;

  private:
    struct Connection {
        std::uint32_t cookie = 0;
        Sink sink;
        bool connected = true;  // guarded by mutex_
    };

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Connection>> connections_;
    std::uint32_t nextCookie_ = 1;
};

}  // namespace platform
