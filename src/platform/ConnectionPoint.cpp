#include "platform/ConnectionPoint.h"

#include "platform/Dispatchable.h"

namespace platform {

std::uint32_t ConnectionPoint::Advise(Sink sink) {
    if (!sink) {
        return 0;
    }
    auto connection = std::make_shared<Connection>();
    connection->sink = std::move(sink);
    std::lock_guard lock(mutex_);
    connection->cookie = nextCookie_++;
    connections_.push_back(connection);
    return connection->cookie;
}

std::uint32_t ConnectionPoint::Advise(ComPtr<Dispatchable> sink) {
    if (!sink) {
        return 0;
    }
    return Advise([sink](DISPID id, const std::vector<Variant>& args) {
        InvokeResult ignored;
        return sink->Invoke(id, DispatchKind::Method, args, ignored);
    });
}

HRESULT ConnectionPoint::Unadvise(std::uint32_t cookie) {
    std::shared_ptr<Connection> removed;
    {
        std::lock_guard lock(mutex_);
        for (auto it = connections_.begin(); it != connections_.end(); ++it) {
            if ((*it)->cookie == cookie) {
                (*it)->connected = false;
                removed = std::move(*it);
                connections_.erase(it);
                break;
            }
        }
    }
    // The sink (and what it holds) is released here, outside the lock, unless
    // a firing in progress still holds it.
    return removed ? S_OK : CONNECT_E_NOCONNECTION;
}

void ConnectionPoint::UnadviseAll() {
    std::vector<std::shared_ptr<Connection>> removed;
    {
        std::lock_guard lock(mutex_);
        for (auto& c : connections_) {
            c->connected = false;
        }
        removed.swap(connections_);
    }
}

HRESULT ConnectionPoint::Fire(DISPID id, const std::vector<Variant>& args) {
    std::vector<std::shared_ptr<Connection>> snapshot;
    {
        std::lock_guard lock(mutex_);
        snapshot = connections_;
    }
    HRESULT result = S_OK;
    for (const auto& connection : snapshot) {
        {
            std::lock_guard lock(mutex_);
            if (!connection->connected) {
                continue;
            }
        }
        const HRESULT hr = connection->sink(id, args);
        if (FAILED(hr)) {
            result = hr;
        }
    }
    return result;
}

std::size_t ConnectionPoint::Count() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
}

}  // namespace platform
