#pragma once
// Declares a class's dispatch table from its member functions (or lambdas
// taking the object first), reading the parameter types from the C++
// signature:
//
//   static const DispatchTable& Table() {
//       static const DispatchTable table = DispatchTableBuilder<SX_Sample>()
//           .Property(u"Name", 101, &SX_Sample::get_Name, &SX_Sample::put_Name)
//           .Method(u"SetMode", 1001, &SX_Sample::SetMode, {u"mode"})
//           .Method(u"Get3DLocation", 1253, &SX_Sample::Get3DLocation,
//                   {u"screenX", u"screenY", u"x", u"y", u"z"})
//           .Build();
//       return table;
//   }
//
// Every function returns HRESULT. Parameters by value or const reference
// are [in]: std::int32_t (long, int), std::uint32_t, double, VARIANT_BOOL,
// bool, Bstr, std::u16string, std::u16string_view, Variant, and objects as
// ComPtr<T> or T* for a class T derived from Dispatchable (an object of
// another class is a type mismatch; null passes as null). Pointers to the
// value types (std::int32_t*, double*, VARIANT_BOOL*, Bstr*, Variant*,
// ComPtr<T>*, ...) are [out]; they start as 0 / false / empty / null.
//
// Names are given in parameter order. When the last parameter is an [out]
// pointer and is left unnamed (or is named "retval") it is the [out,retval]
// value. Other unnamed parameters are called "value" (the [in] of a put) or
// "arg<N>".

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/Dispatchable.h"
#include "platform/Text.h"

namespace platform {

namespace dispatch_detail {

template <class>
inline constexpr bool kUnsupported = false;

template <class T>
concept DispatchClass = std::derived_from<T, Dispatchable>;

template <class A>
struct Arg {
    static_assert(kUnsupported<A>, "parameter type not supported by dispatch tables");
};

// [in] parameters --------------------------------------------------------------

template <class S, ParamType T>
struct InArg {
    using Storage = S;
    static constexpr bool kIn = true;
    static constexpr ParamType kType = T;
    static S& Pass(S& s) { return s; }
};

template <>
struct Arg<std::int32_t> : InArg<std::int32_t, ParamType::Int32> {
    static bool Load(const Variant& v, Storage& s) { return s = v.Int32Value(), true; }
};
template <>
struct Arg<std::uint32_t> : InArg<std::uint32_t, ParamType::UInt32> {
    static bool Load(const Variant& v, Storage& s) { return s = v.UInt32Value(), true; }
};
template <>
struct Arg<double> : InArg<double, ParamType::Double> {
    static bool Load(const Variant& v, Storage& s) { return s = v.DoubleValue(), true; }
};
template <>
struct Arg<VARIANT_BOOL> : InArg<VARIANT_BOOL, ParamType::Bool> {
    static bool Load(const Variant& v, Storage& s) {
        return s = ToVariantBool(v.BoolValue()), true;
    }
};
template <>
struct Arg<bool> : InArg<bool, ParamType::Bool> {
    static bool Load(const Variant& v, Storage& s) { return s = v.BoolValue(), true; }
};
template <>
struct Arg<Bstr> : InArg<Bstr, ParamType::String> {
    static bool Load(const Variant& v, Storage& s) { return s = Bstr(v.StringValue()), true; }
};
template <>
struct Arg<std::u16string> : InArg<std::u16string, ParamType::String> {
    static bool Load(const Variant& v, Storage& s) { return s = v.StringValue(), true; }
};
template <>
struct Arg<std::u16string_view> : InArg<std::u16string, ParamType::String> {
    static bool Load(const Variant& v, Storage& s) { return s = v.StringValue(), true; }
    static std::u16string_view Pass(Storage& s) { return s; }
};
template <>
struct Arg<Variant> : InArg<Variant, ParamType::Any> {
    static bool Load(const Variant& v, Storage& s) { return s = v, true; }
};

template <DispatchClass T>
bool LoadObject(const Variant& v, ComPtr<T>& s) {
    const ComPtr<Dispatchable>& object = v.ObjectValue();
    if (!object) {
        s.Reset();
        return true;
    }
    s = object.template As<T>();
    return static_cast<bool>(s);
}

template <DispatchClass T>
struct Arg<ComPtr<T>> : InArg<ComPtr<T>, ParamType::Object> {
    static bool Load(const Variant& v, ComPtr<T>& s) { return LoadObject(v, s); }
};
template <DispatchClass T>
struct Arg<T*> : InArg<ComPtr<T>, ParamType::Object> {
    static bool Load(const Variant& v, ComPtr<T>& s) { return LoadObject(v, s); }
    static T* Pass(ComPtr<T>& s) { return s.Get(); }
};

// [out] parameters -------------------------------------------------------------

template <class S, ParamType T>
struct OutArg {
    using Storage = S;
    static constexpr bool kIn = false;
    static constexpr ParamType kType = T;
    static S* Pass(S& s) { return &s; }
    static bool Load(const Variant&, S&) { return true; }
};

template <>
struct Arg<std::int32_t*> : OutArg<std::int32_t, ParamType::Int32> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<std::uint32_t*> : OutArg<std::uint32_t, ParamType::UInt32> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<double*> : OutArg<double, ParamType::Double> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<VARIANT_BOOL*> : OutArg<VARIANT_BOOL, ParamType::Bool> {
    static Variant Store(const Storage& s) { return Variant::FromVariantBool(s); }
};
template <>
struct Arg<bool*> : OutArg<bool, ParamType::Bool> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<Bstr*> : OutArg<Bstr, ParamType::String> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<std::u16string*> : OutArg<std::u16string, ParamType::String> {
    static Variant Store(const Storage& s) { return Variant(s); }
};
template <>
struct Arg<Variant*> : OutArg<Variant, ParamType::Any> {
    static Variant Store(const Storage& s) { return s; }
};
template <DispatchClass T>
struct Arg<ComPtr<T>*> : OutArg<ComPtr<T>, ParamType::Object> {
    static Variant Store(const ComPtr<T>& s) { return Variant(ComPtr<Dispatchable>(s)); }
};

// Pointers keep their type (object in / value out); everything else is read
// without reference and const.
template <class A>
using Normalized =
    std::conditional_t<std::is_pointer_v<A>, std::remove_cv_t<A>, std::remove_cvref_t<A>>;
template <class A>
using ArgOf = Arg<Normalized<A>>;

// Signatures -------------------------------------------------------------------

template <class... A>
struct TypeList {};

template <class F>
struct Signature;
template <class R, class K, class... A>
struct Signature<R (K::*)(A...)> {
    using Result = R;
    using Params = TypeList<A...>;
};
template <class R, class K, class... A>
struct Signature<R (K::*)(A...) const> {
    using Result = R;
    using Params = TypeList<A...>;
};
// Lambdas and function pointers take the object first; it is not a parameter.
template <class R, class Self, class... A>
struct Signature<R (*)(Self&, A...)> {
    using Result = R;
    using Params = TypeList<A...>;
};
template <class R, class L, class Self, class... A>
struct Callable {
    using Result = R;
    using Params = TypeList<A...>;
};
template <class F>
struct LambdaSignature;
template <class R, class L, class Self, class... A>
struct LambdaSignature<R (L::*)(Self&, A...) const> : Callable<R, L, Self, A...> {};
template <class R, class L, class Self, class... A>
struct LambdaSignature<R (L::*)(Self&, A...)> : Callable<R, L, Self, A...> {};

template <class F>
struct SignatureOf : Signature<F> {};
template <class F>
requires requires {
    &F::operator();
}
struct SignatureOf<F> : LambdaSignature<decltype(&F::operator())> {};

template <class C, class F, class... A>
struct Binding {
    static constexpr std::size_t kCount = sizeof...(A);
    static constexpr std::array<bool, kCount> kIn = {ArgOf<A>::kIn...};

    static constexpr std::size_t InIndex(std::size_t param) {
        std::size_t n = 0;
        for (std::size_t k = 0; k < param; ++k) {
            n += kIn[k] ? 1 : 0;
        }
        return n;
    }

    static std::vector<ParamInfo> Params(DispatchKind kind,
                                         std::initializer_list<std::u16string_view> names) {
        constexpr std::array<ParamType, kCount> types = {ArgOf<A>::kType...};
        std::vector<ParamInfo> params(kCount);
        std::size_t named = 0;
        for (std::u16string_view name : names) {
            if (named < kCount) {
                params[named++].name = name;
            }
        }
        for (std::size_t i = 0; i < kCount; ++i) {
            ParamInfo& p = params[i];
            p.type = types[i];
            p.direction = kIn[i] ? ParamDirection::In : ParamDirection::Out;
            const bool last = i + 1 == kCount;
            if (!kIn[i] && last && (i >= named || p.name == u"retval")) {
                p.direction = ParamDirection::Retval;
                p.name = u"retval";
            } else if (i >= named) {
                const bool putValue = kind == DispatchKind::PropertyPut && kIn[i] && last;
                p.name = putValue ? std::u16string(u"value") : u"arg" + W(std::to_string(i));
            }
        }
        return params;
    }

    static HRESULT Call(F& fn, C& self, [[maybe_unused]] std::span<const Variant> in,
                        [[maybe_unused]] InvokeResult& result,
                        [[maybe_unused]] const std::vector<ParamInfo>& params) {
        return CallWith(fn, self, in, result, params, std::index_sequence_for<A...>{});
    }

    template <std::size_t... I>
    static HRESULT CallWith(F& fn, C& self, [[maybe_unused]] std::span<const Variant> in,
                            [[maybe_unused]] InvokeResult& result,
                            [[maybe_unused]] const std::vector<ParamInfo>& params,
                            std::index_sequence<I...>) {
        std::tuple<typename ArgOf<A>::Storage...> storage;
        int bad = -1;
        const bool loaded = (Load<I, A>(in, std::get<I>(storage), bad) && ...);
        if (!loaded) {
            result.argError = bad;
            return DISP_E_TYPEMISMATCH;
        }
        const HRESULT hr = std::invoke(fn, self, ArgOf<A>::Pass(std::get<I>(storage))...);
        if (SUCCEEDED(hr)) {
            (Store<I, A>(std::get<I>(storage), params[I], result), ...);
        }
        return hr;
    }

    template <std::size_t I, class P, class S>
    static bool Load(std::span<const Variant> in, S& s, int& bad) {
        if constexpr (ArgOf<P>::kIn) {
            constexpr std::size_t k = InIndex(I);
            if (!ArgOf<P>::Load(in[k], s)) {
                bad = static_cast<int>(k);
                return false;
            }
        }
        return true;
    }

    template <std::size_t I, class P, class S>
    static void Store(const S& s, const ParamInfo& param, InvokeResult& result) {
        if constexpr (!ArgOf<P>::kIn) {
            if (param.direction == ParamDirection::Retval) {
                result.retval = ArgOf<P>::Store(s);
            } else {
                result.outs.emplace_back(param.name, ArgOf<P>::Store(s));
            }
        }
    }
};

template <class C, class F, class List>
struct BindingFor;
template <class C, class F, class... A>
struct BindingFor<C, F, TypeList<A...>> {
    using Type = Binding<C, F, A...>;
};

}  // namespace dispatch_detail

template <class C>
class DispatchTableBuilder {
  public:
    using Names = std::initializer_list<std::u16string_view>;

    template <class F>
    DispatchTableBuilder& Method(std::u16string_view name, DISPID id, F fn, Names names = {}) {
        return Bind(name, id, DispatchKind::Method, std::move(fn), names);
    }
    template <class F>
    DispatchTableBuilder& Get(std::u16string_view name, DISPID id, F fn, Names names = {}) {
        return Bind(name, id, DispatchKind::PropertyGet, std::move(fn), names);
    }
    template <class F>
    DispatchTableBuilder& Put(std::u16string_view name, DISPID id, F fn, Names names = {}) {
        return Bind(name, id, DispatchKind::PropertyPut, std::move(fn), names);
    }
    template <class G, class P>
    DispatchTableBuilder& Property(std::u16string_view name, DISPID id, G get, P put) {
        Get(name, id, std::move(get));
        return Put(name, id, std::move(put));
    }
    // A member whose work is not written yet: bound like a method, marked as
    // a placeholder (DispatchMember::placeholder) so that a test can find it.
    template <class F>
    DispatchTableBuilder& Placeholder(std::u16string_view name, DISPID id, DispatchKind kind, F fn,
                                      Names names = {}) {
        return Bind(name, id, kind, std::move(fn), names, true);
    }
    // An entry with a hand-written invoker.
    DispatchTableBuilder& Add(DispatchMember member) {
        ok_ = table_.Add(std::move(member)) && ok_;
        return *this;
    }

    // False when any entry was refused (DispatchTable::Add).
    bool Ok() const { return ok_; }
    DispatchTable Build() { return std::move(table_); }

  private:
    template <class F>
    DispatchTableBuilder& Bind(std::u16string_view name, DISPID id, DispatchKind kind, F fn,
                               Names names, bool placeholder = false) {
        using Sig = dispatch_detail::SignatureOf<F>;
        static_assert(std::is_same_v<typename Sig::Result, HRESULT>,
                      "dispatch members return HRESULT");
        using B = typename dispatch_detail::BindingFor<C, F, typename Sig::Params>::Type;
        DispatchMember member;
        member.name = name;
        member.id = id;
        member.kind = kind;
        member.params = B::Params(kind, names);
        member.placeholder = placeholder;
        member.invoke = [fn = std::move(fn), params = member.params](
                            Dispatchable& self, std::span<const Variant> in,
                            InvokeResult& result) mutable -> HRESULT {
            C* object = dynamic_cast<C*>(&self);
            if (object == nullptr) {
                return E_UNEXPECTED;
            }
            return B::Call(fn, *object, in, result, params);
        };
        return Add(std::move(member));
    }

    DispatchTable table_;
    bool ok_ = true;
};

}  // namespace platform
