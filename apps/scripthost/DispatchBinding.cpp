#include "scripthost/DispatchBinding.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "scripthost/JsText.h"

namespace scripthost {

using platform::ComPtr;
using platform::Dispatchable;
using platform::DispatchKind;
using platform::DispatchKinds;
using platform::DispatchMember;
using platform::HRESULT;
using platform::InvokeResult;
using platform::Variant;

namespace {

// Hidden keys (never seen by scripts, and read past a Proxy's traps).
constexpr const char* kPtr = DUK_HIDDEN_SYMBOL("ptr");          // Dispatchable*, one reference
constexpr const char* kSource = DUK_HIDDEN_SYMBOL("source");    // event source index
constexpr const char* kCache = DUK_HIDDEN_SYMBOL("cache");      // member functions by name
constexpr const char* kName = DUK_HIDDEN_SYMBOL("name");        // member name of a function
constexpr const char* kKinds = DUK_HIDDEN_SYMBOL("kinds");      // kinds a function calls
constexpr const char* kOwner = DUK_HIDDEN_SYMBOL("owner");      // BindingOwner* in the stash
constexpr const char* kHandler = DUK_HIDDEN_SYMBOL("handler");  // the Proxy handler

void PushText(duk_context* ctx, std::u16string_view text) {
    const std::string bytes = ToJs(text);
    duk_push_lstring(ctx, bytes.data(), bytes.size());
}

std::u16string GetText(duk_context* ctx, duk_idx_t idx) {
    duk_size_t len = 0;
    const char* s = duk_get_lstring(ctx, idx, &len);
    return s != nullptr ? FromJs(std::string_view(s, len)) : std::u16string();
}

Dispatchable* HeldObject(duk_context* ctx, duk_idx_t idx) {
    if (!duk_is_object(ctx, idx)) {
        return nullptr;
    }
    duk_get_prop_string(ctx, idx, kPtr);
    void* p = duk_get_pointer(ctx, -1);
    duk_pop(ctx);
    return static_cast<Dispatchable*>(p);
}

// Stores one reference to the object on the object at idx, released by its
// finalizer.
duk_ret_t ReleaseFinalizer(duk_context* ctx) {
    duk_get_prop_string(ctx, 0, kPtr);
    auto* object = static_cast<Dispatchable*>(duk_get_pointer(ctx, -1));
    duk_pop(ctx);
    if (object != nullptr) {
        duk_push_pointer(ctx, nullptr);
        duk_put_prop_string(ctx, 0, kPtr);
        object->Release();
    }
    return 0;
}

void HoldObject(duk_context* ctx, duk_idx_t idx, Dispatchable* object) {
    idx = duk_normalize_index(ctx, idx);
    object->AddRef();
    duk_push_pointer(ctx, object);
    duk_put_prop_string(ctx, idx, kPtr);
    duk_push_c_function(ctx, ReleaseFinalizer, 2);
    duk_set_finalizer(ctx, idx);
}

// Calls a member with the arguments at 0 .. nargs-1 and pushes the result or
// the error; true when the pushed value is an error to throw.
bool CallMember(duk_context* ctx, Dispatchable* raw, const std::u16string& name,
                DispatchKinds kinds, duk_idx_t nargs, duk_idx_t firstArg) {
    if (raw == nullptr) {
        DispatchBinding::PushStatusError(ctx, name, platform::E_POINTER, -1);
        return true;
    }
    const ComPtr<Dispatchable> object(raw);  // alive for the whole call
    std::vector<Variant> args;
    args.reserve(static_cast<std::size_t>(nargs));
    for (duk_idx_t i = 0; i < nargs; ++i) {
        args.push_back(DispatchBinding::ToVariant(ctx, firstArg + i));
    }
    InvokeResult result;
    platform::ClearErrorDescription();
    const HRESULT hr = object->InvokeByName(name, kinds, args, result);
    if (BindingOwner* owner = DispatchBinding::Owner(ctx)) {
        owner->SetLastStatus(hr);
    }
    const DispatchMember* member = object->GetDispatchTable().FindByName(name, kinds);
    const std::u16string& shownName = member != nullptr ? member->name : name;
    if (platform::FAILED(hr)) {
        DispatchBinding::PushStatusError(ctx, shownName, hr, result.argError);
        return true;
    }
    if (result.outs.empty()) {
        DispatchBinding::PushVariant(ctx, result.retval);
        return false;
    }
    duk_push_object(ctx);
    for (const auto& [outName, value] : result.outs) {
        DispatchBinding::PushVariant(ctx, value);
        const std::string key = ToJs(outName);
        duk_put_prop_lstring(ctx, -2, key.data(), key.size());
    }
    bool hasRetval = false;
    if (member != nullptr) {
        for (const platform::ParamInfo& p : member->params) {
            hasRetval = hasRetval || p.direction == platform::ParamDirection::Retval;
        }
    }
    if (hasRetval) {
        DispatchBinding::PushVariant(ctx, result.retval);
        duk_put_prop_string(ctx, -2, "retval");
    }
    return false;
}

bool CallFromFunction(duk_context* ctx) {
    const duk_idx_t nargs = duk_get_top(ctx);
    duk_push_current_function(ctx);
    Dispatchable* object = HeldObject(ctx, -1);
    duk_get_prop_string(ctx, -1, kName);
    const std::u16string name = GetText(ctx, -1);
    duk_get_prop_string(ctx, -2, kKinds);
    const auto kinds = static_cast<DispatchKinds>(duk_get_uint(ctx, -1));
    duk_pop_3(ctx);
    return CallMember(ctx, object, name, kinds, nargs, 0);
}

duk_ret_t MemberFunction(duk_context* ctx) {
    const bool failed = CallFromFunction(ctx);
    return failed ? duk_throw(ctx) : 1;
}

duk_ret_t EventFunction(duk_context* ctx, bool attach) {
    duk_set_top(ctx, 2);
    duk_push_current_function(ctx);
    duk_get_prop_string(ctx, -1, kSource);
    const int source = duk_get_int(ctx, -1);
    duk_pop_2(ctx);
    BindingOwner* owner = DispatchBinding::Owner(ctx);
    bool done = false;
    if (owner != nullptr) {
        done = attach ? owner->AttachEvent(ctx, source) : owner->DetachEvent(ctx, source);
    }
    duk_push_boolean(ctx, done);
    return 1;
}
duk_ret_t AttachEventFunction(duk_context* ctx) {
    return EventFunction(ctx, true);
}
duk_ret_t DetachEventFunction(duk_context* ctx) {
    return EventFunction(ctx, false);
}

duk_ret_t ToStringFunction(duk_context* ctx) {
    duk_push_string(ctx, "[object Dispatch]");
    return 1;
}

// Pushes the cached function of a member of the target at 0, making it on
// the first read.
void PushMemberFunction(duk_context* ctx, Dispatchable* object, const DispatchMember& member,
                        DispatchKinds kinds) {
    const std::string key = ToJs(member.name);
    duk_get_prop_string(ctx, 0, kCache);
    if (duk_get_prop_lstring(ctx, -1, key.data(), key.size())) {
        duk_remove(ctx, -2);
        return;
    }
    duk_pop(ctx);
    duk_push_c_function(ctx, MemberFunction, DUK_VARARGS);
    HoldObject(ctx, -1, object);
    PushText(ctx, member.name);
    duk_put_prop_string(ctx, -2, kName);
    duk_push_uint(ctx, kinds);
    duk_put_prop_string(ctx, -2, kKinds);
    duk_dup_top(ctx);
    duk_put_prop_lstring(ctx, -3, key.data(), key.size());
    duk_remove(ctx, -2);
}

bool IsNameKey(duk_context* ctx, duk_idx_t idx) {
    return duk_is_string(ctx, idx) && !duk_is_symbol(ctx, idx);
}

// get(target, key, receiver)
bool TrapGet(duk_context* ctx) {
    if (!IsNameKey(ctx, 1)) {
        duk_push_undefined(ctx);
        return false;
    }
    Dispatchable* object = HeldObject(ctx, 0);
    const std::u16string name = GetText(ctx, 1);
    if (object != nullptr) {
        const platform::DispatchTable& table = object->GetDispatchTable();
        if (const DispatchMember* m = table.FindByName(name, Kinds(DispatchKind::Method))) {
            PushMemberFunction(ctx, object, *m, Kinds(DispatchKind::Method));
            return false;
        }
        if (const DispatchMember* g = table.FindByName(name, Kinds(DispatchKind::PropertyGet))) {
            if (g->InCount() > 0) {
                PushMemberFunction(ctx, object, *g,
                                   DispatchKind::Method | DispatchKind::PropertyGet);
                return false;
            }
            return CallMember(ctx, object, g->name, Kinds(DispatchKind::PropertyGet), 0, 0);
        }
    }
    duk_get_prop_string(ctx, 0, kSource);
    const int source = duk_get_int_default(ctx, -1, -1);
    duk_pop(ctx);
    const bool attach = platform::SameMemberName(name, u"attachEvent");
    if (source >= 0 && (attach || platform::SameMemberName(name, u"detachEvent"))) {
        duk_push_c_function(ctx, attach ? AttachEventFunction : DetachEventFunction, 2);
        duk_push_int(ctx, source);
        duk_put_prop_string(ctx, -2, kSource);
        return false;
    }
    if (name == u"toString") {
        duk_push_c_function(ctx, ToStringFunction, 0);
        return false;
    }
    duk_push_undefined(ctx);
    return false;
}

duk_ret_t TrapGetFunction(duk_context* ctx) {
    const bool failed = TrapGet(ctx);
    return failed ? duk_throw(ctx) : 1;
}

// set(target, key, value, receiver)
bool TrapSet(duk_context* ctx) {
    if (!IsNameKey(ctx, 1)) {
        duk_push_true(ctx);
        return false;
    }
    const std::u16string name = GetText(ctx, 1);
    if (CallMember(ctx, HeldObject(ctx, 0), name, Kinds(DispatchKind::PropertyPut), 1, 2)) {
        return true;
    }
    duk_pop(ctx);
    duk_push_true(ctx);
    return false;
}

duk_ret_t TrapSetFunction(duk_context* ctx) {
    const bool failed = TrapSet(ctx);
    return failed ? duk_throw(ctx) : 1;
}

// has(target, key)
duk_ret_t TrapHasFunction(duk_context* ctx) {
    bool found = false;
    if (IsNameKey(ctx, 1)) {
        const std::u16string name = GetText(ctx, 1);
        Dispatchable* object = HeldObject(ctx, 0);
        found = object != nullptr && object->IdOfName(name).has_value();
    }
    duk_push_boolean(ctx, found);
    return 1;
}

}  // namespace

void DispatchBinding::Install(duk_context* ctx, BindingOwner* owner) {
    duk_push_heap_stash(ctx);
    duk_push_pointer(ctx, owner);
    duk_put_prop_string(ctx, -2, kOwner);
    duk_push_object(ctx);
    duk_push_c_function(ctx, TrapGetFunction, 3);
    duk_put_prop_string(ctx, -2, "get");
    duk_push_c_function(ctx, TrapSetFunction, 4);
    duk_put_prop_string(ctx, -2, "set");
    duk_push_c_function(ctx, TrapHasFunction, 2);
    duk_put_prop_string(ctx, -2, "has");
    duk_put_prop_string(ctx, -2, kHandler);
    duk_pop(ctx);
}

BindingOwner* DispatchBinding::Owner(duk_context* ctx) {
    duk_push_heap_stash(ctx);
    duk_get_prop_string(ctx, -1, kOwner);
    void* p = duk_get_pointer(ctx, -1);
    duk_pop_2(ctx);
    return static_cast<BindingOwner*>(p);
}

void DispatchBinding::PushObject(duk_context* ctx, const ComPtr<Dispatchable>& object, int source) {
    if (!object) {
        duk_push_null(ctx);
        return;
    }
    duk_push_object(ctx);  // the target
    HoldObject(ctx, -1, object.Get());
    duk_push_int(ctx, source);
    duk_put_prop_string(ctx, -2, kSource);
    duk_push_bare_object(ctx);
    duk_put_prop_string(ctx, -2, kCache);
    duk_push_heap_stash(ctx);
    duk_get_prop_string(ctx, -1, kHandler);
    duk_remove(ctx, -2);
    duk_push_proxy(ctx, 0);
}

void DispatchBinding::PushVariant(duk_context* ctx, const Variant& value) {
    switch (value.Type()) {
        case platform::VariantType::Empty:
            duk_push_undefined(ctx);
            break;
        case platform::VariantType::Bool:
            duk_push_boolean(ctx, value.BoolValue());
            break;
        case platform::VariantType::Int32:
            duk_push_int(ctx, value.Int32Value());
            break;
        case platform::VariantType::UInt32:
            duk_push_uint(ctx, value.UInt32Value());
            break;
        case platform::VariantType::Double:
            duk_push_number(ctx, value.DoubleValue());
            break;
        case platform::VariantType::String:
            PushText(ctx, value.StringValue());
            break;
        case platform::VariantType::Object:
            PushObject(ctx, value.ObjectValue());
            break;
    }
}

Variant DispatchBinding::ToVariant(duk_context* ctx, duk_idx_t idx) {
    idx = duk_normalize_index(ctx, idx);
    switch (duk_get_type(ctx, idx)) {
        case DUK_TYPE_NONE:
        case DUK_TYPE_UNDEFINED:
            return Variant();
        case DUK_TYPE_NULL:
            return Variant(nullptr);
        case DUK_TYPE_BOOLEAN:
            return Variant(static_cast<bool>(duk_get_boolean(ctx, idx)));
        case DUK_TYPE_NUMBER: {
            const double d = duk_get_number(ctx, idx);
            if (std::trunc(d) == d && d >= -2147483648.0 && d <= 2147483647.0 &&
                !(d == 0 && std::signbit(d))) {
                return Variant(static_cast<std::int32_t>(d));
            }
            return Variant(d);
        }
        case DUK_TYPE_STRING:
            return Variant(GetText(ctx, idx));
        case DUK_TYPE_OBJECT:
            if (Dispatchable* object = HeldObject(ctx, idx)) {
                return Variant(ComPtr<Dispatchable>(object));
            }
            break;
        default:
            break;
    }
    duk_dup(ctx, idx);
    duk_size_t len = 0;
    const char* s = duk_safe_to_lstring(ctx, -1, &len);
    Variant text(FromJs(std::string_view(s, len)));
    duk_pop(ctx);
    return text;
}

void DispatchBinding::PushStatusError(duk_context* ctx, std::u16string_view member, HRESULT hr,
                                      int argError) {
    std::string message = platform::ToUtf8(member) + ": " + platform::StatusName(hr);
    if (argError >= 0) {
        message += " (argument " + std::to_string(argError + 1) + ")";
    }
    const std::u16string& description = platform::ErrorDescription();
    if (!description.empty()) {
        message += ": " + platform::ToUtf8(description);
    }
    const std::string text = ToJs(platform::FromUtf8(message));
    // No C file and line: the error then carries the calling script's line.
    duk_push_error_object_raw(ctx, DUK_ERR_ERROR, nullptr, 0, "%s", text.c_str());
    duk_push_int(ctx, hr);
    duk_put_prop_string(ctx, -2, "number");
}

}  // namespace scripthost
