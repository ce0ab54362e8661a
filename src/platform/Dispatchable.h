#pragma once
// Base of every object that a page or a host can call through automation:
// reference counted, and answering calls through the dispatch table of its
// class. Callers hold a reference (ComPtr) for the duration of a call.

#include <optional>
#include <string_view>
#include <vector>

#include "platform/ComObject.h"
#include "platform/DispatchTable.h"

namespace platform {

class Dispatchable : public RefCounted {
  public:
    virtual const DispatchTable& GetDispatchTable() const = 0;

    HRESULT Invoke(DISPID id, DispatchKinds kinds, const std::vector<Variant>& args,
                   InvokeResult& result) {
        return GetDispatchTable().Invoke(*this, id, kinds, args, result);
    }
    HRESULT Invoke(DISPID id, DispatchKind kind, const std::vector<Variant>& args,
                   InvokeResult& result) {
        return Invoke(id, Kinds(kind), args, result);
    }
    HRESULT InvokeByName(std::u16string_view name, DispatchKinds kinds,
                         const std::vector<Variant>& args, InvokeResult& result) {
        return GetDispatchTable().InvokeByName(*this, name, kinds, args, result);
    }
    HRESULT InvokeByName(std::u16string_view name, DispatchKind kind,
                         const std::vector<Variant>& args, InvokeResult& result) {
        return InvokeByName(name, Kinds(kind), args, result);
    }
    std::optional<DISPID> IdOfName(std::u16string_view name) const {
        return GetDispatchTable().IdOfName(name);
    }
};

}  // namespace platform
