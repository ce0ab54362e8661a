#pragma once
// Automation objects as JavaScript objects.
//
// A wrapped object is a Proxy whose target holds one reference to the
// object (released by the target's finalizer). Reading a name looks the
// member up in the object's dispatch table without ASCII case:
//   - a method, or a property get that takes arguments: a function (the
//     same function object on every read) that calls it with its arguments
//     in parameter order; the function holds its own reference;
//   - a property get without arguments: the property's value, read now;
//   - attachEvent / detachEvent on an object registered with events;
//   - anything else: undefined.
// Writing a name calls the member's property put; a name without one throws.
//
// Every call records its status through BindingOwner::SetLastStatus. A status
// below zero throws an Error whose `number` is the status and whose message is
// "Member: STATUS_NAME", followed by " (argument N)" for an argument that did
// not convert and ": description" when the member left an error description.
// A member with [out] parameters returns an object keyed by their names, plus
// `retval` where the member has one; otherwise the call returns the retval
// (undefined without one). Objects in results are wrapped the same way.
//
// Values into the object: undefined -> empty, null -> null object, booleans,
// numbers (whole numbers that fit 32 bits as integers, others as doubles),
// strings, wrapped objects; other values as their string.
//
// The engine unwinds errors with longjmp, so the C functions here throw only
// after every C++ object of the call is gone.

#include <duktape.h>

#include <string_view>

#include "platform/ComStatus.h"
#include "platform/Dispatchable.h"

namespace scripthost {

class BindingOwner {
  public:
    virtual ~BindingOwner() = default;
    virtual void SetLastStatus(platform::HRESULT hr) = 0;
    // attachEvent / detachEvent of the object registered with event source
    // `source`: the event name is at index 0 and the function at index 1 of
    // the current call. Return the call's result.
    virtual bool AttachEvent(duk_context* ctx, int source) = 0;
    virtual bool DetachEvent(duk_context* ctx, int source) = 0;
};

class DispatchBinding {
  public:
    // Once per heap, before any other call.
    static void Install(duk_context* ctx, BindingOwner* owner);

    // Pushes the wrapper of an object (null for a null pointer); `source` is
    // the event source index for attachEvent, or -1.
    static void PushObject(duk_context* ctx, const platform::ComPtr<platform::Dispatchable>& object,
                           int source = -1);
    static void PushVariant(duk_context* ctx, const platform::Variant& value);
    static platform::Variant ToVariant(duk_context* ctx, duk_idx_t idx);

    // Pushes (does not throw) the Error for a failed call.
    static void PushStatusError(duk_context* ctx, std::u16string_view member, platform::HRESULT hr,
                                int argError);

    static BindingOwner* Owner(duk_context* ctx);
};

}  // namespace scripthost
