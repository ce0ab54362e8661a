#pragma once
// Dispatch tables: how an automation object answers calls by name and by
// dispatch identifier (DISPID).
//
// A table lists the members of one interface. Each entry is one kind of one
// member: a method, a property get or a property put (a read-write property
// is two entries with the same name and DISPID). An entry carries the
// parameter list (names, types, directions) and an invoker. Names are matched
// without regard to ASCII case, as automation does.
//
// Invoke checks the call before the object sees it:
//   - no entry for the DISPID and any of the requested kinds:
//     DISP_E_MEMBERNOTFOUND (DISP_E_UNKNOWNNAME for an unknown name);
//   - the number of arguments differs from the number of [in] parameters:
//     DISP_E_BADPARAMCOUNT;
//   - an argument cannot be coerced to its parameter's type (ComVariant.h):
//     DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, with InvokeResult::argError the
//     index of that argument.
// Arguments are given in parameter order (first parameter first). The
// member's own status comes back unchanged (S_FALSE included). On success the
// [out,retval] value is InvokeResult::retval and each [out] parameter is in
// InvokeResult::outs under its parameter name, in parameter order; on failure
// both are empty.
//
// DispatchTableBuilder.h builds tables from member functions or lambdas.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ComStatus.h"
#include "platform/ComVariant.h"

namespace platform {

class Dispatchable;

using DISPID = std::int32_t;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_NEWENUM = -4;
inline constexpr DISPID DISPID_ENABLED = -514;
inline constexpr DISPID DISPID_READYSTATE = -525;

enum class DispatchKind : std::uint8_t { Method = 1, PropertyGet = 2, PropertyPut = 4 };
// A set of kinds: a script host that cannot tell a call of a method from a
// read of a property with arguments asks for Method | PropertyGet.
using DispatchKinds = std::uint8_t;
constexpr DispatchKinds operator|(DispatchKind a, DispatchKind b) {
    return static_cast<DispatchKinds>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr DispatchKinds Kinds(DispatchKind kind) {
    return static_cast<DispatchKinds>(kind);
}

enum class ParamType : std::uint8_t { Bool, Int32, UInt32, Double, String, Object, Any };
enum class ParamDirection : std::uint8_t { In, Out, Retval };

struct ParamInfo {
    std::u16string name;
    ParamType type = ParamType::Any;
    ParamDirection direction = ParamDirection::In;
};

struct InvokeResult {
    Variant retval;
    std::vector<std::pair<std::u16string, Variant>> outs;
    int argError = -1;  // index of the argument that failed coercion

    void Clear() {
        retval = Variant();
        outs.clear();
        argError = -1;
    }
    // The [out] value of that name (exact spelling), or null.
    const Variant* Out(std::u16string_view name) const;
};

// Receives the [in] arguments already coerced to the declared types.
using DispatchInvoker =
    std::function<HRESULT(Dispatchable& self, std::span<const Variant> in, InvokeResult& result)>;

struct DispatchMember {
    std::u16string name;
    DISPID id = DISPID_UNKNOWN;
    DispatchKind kind = DispatchKind::Method;
    std::vector<ParamInfo> params;
    DispatchInvoker invoke;
    // Set by DispatchTableBuilder::Placeholder: the member is listed so that
    // the interface is complete, but its work is not written yet. Tests walk
    // the tables and refuse any such entry.
    bool placeholder = false;

    std::size_t InCount() const;
};

class DispatchTable {
  public:
    // Refuses (false) an entry without invoker or name, a second entry for the
    // same DISPID and kind, a name already used for another DISPID, and a
    // DISPID already used under another name.
    bool Add(DispatchMember member);

    // Preference when several kinds are asked for: method, get, put.
    const DispatchMember* Find(DISPID id, DispatchKinds kinds) const;
    const DispatchMember* FindByName(std::u16string_view name, DispatchKinds kinds) const;
    std::optional<DISPID> IdOfName(std::u16string_view name) const;
    const std::vector<DispatchMember>& Members() const { return members_; }

    HRESULT Invoke(Dispatchable& self, DISPID id, DispatchKinds kinds,
                   const std::vector<Variant>& args, InvokeResult& result) const;
    HRESULT InvokeByName(Dispatchable& self, std::u16string_view name, DispatchKinds kinds,
                         const std::vector<Variant>& args, InvokeResult& result) const;

  private:
    HRESULT InvokeMember(Dispatchable& self, const DispatchMember& member,
                         const std::vector<Variant>& args, InvokeResult& result) const;
    HRESULT InvokeCoerced(Dispatchable& self, const DispatchMember& member,
                          const std::vector<Variant>& args, InvokeResult& result) const;

    std::vector<DispatchMember> members_;
};

// ASCII case-insensitive comparison of member names.
bool SameMemberName(std::u16string_view a, std::u16string_view b);

}  // namespace platform
