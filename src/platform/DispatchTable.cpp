#include "platform/DispatchTable.h"

#include <new>

namespace platform {

namespace {

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

VariantType TargetType(ParamType type) {
    switch (type) {
        case ParamType::Bool:
            return VariantType::Bool;
        case ParamType::Int32:
            return VariantType::Int32;
        case ParamType::UInt32:
            return VariantType::UInt32;
        case ParamType::Double:
            return VariantType::Double;
        case ParamType::String:
            return VariantType::String;
        case ParamType::Object:
            return VariantType::Object;
        case ParamType::Any:
            break;
    }
    return VariantType::Empty;
}

constexpr DispatchKind kPreference[] = {DispatchKind::Method, DispatchKind::PropertyGet,
                                        DispatchKind::PropertyPut};

}  // namespace

bool SameMemberName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

const Variant* InvokeResult::Out(std::u16string_view name) const {
    for (const auto& [outName, value] : outs) {
        if (outName == name) {
            return &value;
        }
    }
    return nullptr;
}

std::size_t DispatchMember::InCount() const {
    std::size_t n = 0;
    for (const ParamInfo& p : params) {
        n += p.direction == ParamDirection::In ? 1 : 0;
    }
    return n;
}

bool DispatchTable::Add(DispatchMember member) {
    if (!member.invoke || member.name.empty()) {
        return false;
    }
    for (const DispatchMember& m : members_) {
        const bool sameName = SameMemberName(m.name, member.name);
        if (m.id == member.id && (m.kind == member.kind || !sameName)) {
            return false;
        }
        if (sameName && m.id != member.id) {
            return false;
        }
    }
    members_.push_back(std::move(member));
    return true;
}

const DispatchMember* DispatchTable::Find(DISPID id, DispatchKinds kinds) const {
    for (DispatchKind kind : kPreference) {
        if ((kinds & Kinds(kind)) == 0) {
            continue;
        }
        for (const DispatchMember& m : members_) {
            if (m.id == id && m.kind == kind) {
                return &m;
            }
        }
    }
    return nullptr;
}

const DispatchMember* DispatchTable::FindByName(std::u16string_view name,
                                                DispatchKinds kinds) const {
    const std::optional<DISPID> id = IdOfName(name);
    return id ? Find(*id, kinds) : nullptr;
}

std::optional<DISPID> DispatchTable::IdOfName(std::u16string_view name) const {
    for (const DispatchMember& m : members_) {
        if (SameMemberName(m.name, name)) {
            return m.id;
        }
    }
    return std::nullopt;
}

HRESULT DispatchTable::Invoke(Dispatchable& self, DISPID id, DispatchKinds kinds,
                              const std::vector<Variant>& args, InvokeResult& result) const {
    result.Clear();
    const DispatchMember* member = Find(id, kinds);
    if (member == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    return InvokeMember(self, *member, args, result);
}

HRESULT DispatchTable::InvokeByName(Dispatchable& self, std::u16string_view name,
                                    DispatchKinds kinds, const std::vector<Variant>& args,
                                    InvokeResult& result) const {
    result.Clear();
    const std::optional<DISPID> id = IdOfName(name);
    if (!id) {
        return DISP_E_UNKNOWNNAME;
    }
    return Invoke(self, *id, kinds, args, result);
}

HRESULT DispatchTable::InvokeMember(Dispatchable& self, const DispatchMember& member,
                                    const std::vector<Variant>& args, InvokeResult& result) const {
    // No exception crosses the automation interface: an allocation that
    // fails inside a member (a string result, a new object) answers
    // E_OUTOFMEMORY with the results emptied.
    try {
        return InvokeCoerced(self, member, args, result);
    } catch (const std::bad_alloc&) {
        result.Clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT DispatchTable::InvokeCoerced(Dispatchable& self, const DispatchMember& member,
                                     const std::vector<Variant>& args, InvokeResult& result) const {
    if (args.size() != member.InCount()) {
        return DISP_E_BADPARAMCOUNT;
    }
    std::vector<Variant> coerced;
    coerced.reserve(args.size());
    std::size_t index = 0;
    for (const ParamInfo& p : member.params) {
        if (p.direction != ParamDirection::In) {
            continue;
        }
        const Variant& arg = args[index];
        if (p.type == ParamType::Any) {
            coerced.push_back(arg);
        } else {
            Variant converted;
            const HRESULT hr = arg.ChangeType(TargetType(p.type), converted);
            if (FAILED(hr)) {
                result.argError = static_cast<int>(index);
                return hr;
            }
            coerced.push_back(std::move(converted));
        }
        ++index;
    }
    const HRESULT hr = member.invoke(self, coerced, result);
    if (FAILED(hr)) {
        const int argError = result.argError;
        result.Clear();
        result.argError = argError;
    }
    return hr;
}

}  // namespace platform
