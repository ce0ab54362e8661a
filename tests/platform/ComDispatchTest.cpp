// The dispatch table's own checks, before the object sees a call: argument
// counts, overflowing numbers, typed object parameters, a table used with an
// object of another class, and conflicting entries. (Coercion of script
// values, unknown names and read-only properties: the script host's member
// tests; every real table's members: the dispatch-table walk.)
#include <gtest/gtest.h>

#include "platform/DispatchTableBuilder.h"

using namespace platform;

namespace {

class SX_Sample : public Dispatchable {
  public:
    const DispatchTable& GetDispatchTable() const override { return Table(); }
    static const DispatchTable& Table();

    HRESULT get_Name(Bstr* name) {
        *name = name_;
        return S_OK;
    }
    HRESULT put_Name(const Bstr& name) {
        name_ = name;
        return S_OK;
    }
    HRESULT SetMode(std::int32_t mode) {
        mode_ = mode;
        return S_OK;
    }
    HRESULT Link(ComPtr<SX_Sample> other, VARIANT_BOOL* linked) {
        linked_ = other;
        *linked = ToVariantBool(static_cast<bool>(other));
        return S_OK;
    }

    std::int32_t mode_ = 0;
    ComPtr<SX_Sample> linked_;

  private:
    Bstr name_ = u"sample";
};

const DispatchTable& SX_Sample::Table() {
    static const DispatchTable table =
        DispatchTableBuilder<SX_Sample>()
            .Property(u"Name", 101, &SX_Sample::get_Name, &SX_Sample::put_Name)
            .Method(u"SetMode", 1001, &SX_Sample::SetMode, {u"mode"})
            .Method(u"Link", 1004, &SX_Sample::Link, {u"other"})
            .Build();
    return table;
}

class Other : public Dispatchable {
  public:
    const DispatchTable& GetDispatchTable() const override {
        static const DispatchTable empty;
        return empty;
    }
};

}  // namespace

TEST(ComDispatch, CallsAreCheckedBeforeTheObjectSeesThem) {
    auto sample = MakeRef<SX_Sample>();
    InvokeResult r;
    EXPECT_EQ(sample->Invoke(1001, DispatchKind::Method, {}, r), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(sample->Invoke(101, DispatchKind::PropertyPut, {}, r), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(sample->Invoke(1001, DispatchKind::Method, {Variant(1e10)}, r), DISP_E_OVERFLOW);
    EXPECT_EQ(r.argError, 0);
    EXPECT_EQ(sample->mode_, 0);

    // Typed object parameters: the right class, null, and another class.
    auto other = MakeRef<SX_Sample>();
    EXPECT_EQ(sample->Invoke(1004, DispatchKind::Method, {Variant(other)}, r), S_OK);
    EXPECT_EQ(r.retval, Variant(true));
    EXPECT_EQ(sample->linked_, other);
    EXPECT_EQ(sample->Invoke(1004, DispatchKind::Method, {Variant(nullptr)}, r), S_OK);
    EXPECT_EQ(r.retval, Variant(false));
    EXPECT_EQ(sample->Invoke(1004, DispatchKind::Method, {Variant(MakeRef<Other>())}, r),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(r.argError, 0);

    // A table used with an object of another class refuses the call.
    Other stranger;
    EXPECT_EQ(
        SX_Sample::Table().Invoke(stranger, 1001, Kinds(DispatchKind::Method), {Variant(1)}, r),
        E_UNEXPECTED);
}

TEST(ComDispatch, TableRefusesConflictingEntries) {
    DispatchTableBuilder<SX_Sample> builder;
    builder.Get(u"Name", 101, &SX_Sample::get_Name);
    EXPECT_TRUE(builder.Ok());
    builder.Get(u"NAME", 101, &SX_Sample::get_Name);  // same DISPID and kind
    EXPECT_FALSE(builder.Ok());

    DispatchTable table;
    DispatchMember m;
    m.name = u"Value";
    m.id = 5;
    m.invoke = [](Dispatchable&, std::span<const Variant>, InvokeResult&) { return S_OK; };
    EXPECT_TRUE(table.Add(m));
    DispatchMember renamed = m;
    renamed.name = u"Other";
    renamed.kind = DispatchKind::PropertyGet;
    EXPECT_FALSE(table.Add(renamed));  // one DISPID, two names
    DispatchMember moved = m;
    moved.id = 6;
    moved.name = u"value";
    EXPECT_FALSE(table.Add(moved));  // one name (any case), two DISPIDs
    EXPECT_EQ(table.Members().size(), 1u);
}
