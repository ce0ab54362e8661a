#include <gtest/gtest.h>

#include "platform/DispatchTableBuilder.h"

using namespace platform;

namespace {

// A small automation object in the style of the control's interfaces.
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
    HRESULT get_Item(std::int32_t index, Bstr* label) {
        if (index < 0 || index >= static_cast<std::int32_t>(labels_.size())) {
            return E_INVALIDARG;
        }
        *label = labels_[index];
        return S_OK;
    }
    // Declines a negative mode with a false result, as automation members do.
    HRESULT SetMode(std::int32_t mode, VARIANT_BOOL* result) {
        if (mode < 0) {
            return S_OK;
        }
        mode_ = mode;
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT Get3DLocation(std::int32_t screenX, std::int32_t screenY, double* x, double* y,
                          double* z) {
        *x = screenX * 0.5;
        *y = screenY * 0.25;
        *z = -1.0;
        return S_OK;
    }
    HRESULT AddLabel(const Bstr& label, VARIANT_BOOL atFront) {
        labels_.insert(IsVariantTrue(atFront) ? labels_.begin() : labels_.end(), label.Str());
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
    std::vector<std::u16string> labels_ = {u"a", u"b"};
};

const DispatchTable& SX_Sample::Table() {
    static const DispatchTable table =
        DispatchTableBuilder<SX_Sample>()
            .Property(u"Name", 101, &SX_Sample::get_Name, &SX_Sample::put_Name)
            .Get(u"Item", DISPID_VALUE, &SX_Sample::get_Item, {u"Index"})
            .Method(u"SetMode", 1001, &SX_Sample::SetMode, {u"mode"})
            .Method(u"Get3DLocation", 1253, &SX_Sample::Get3DLocation,
                    {u"screenX", u"screenY", u"x", u"y", u"z"})
            .Method(u"AddLabel", 1003, &SX_Sample::AddLabel, {u"label", u"atFront"})
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
    EXPECT_EQ(sample->mode_, 0);

    // Type checks name the offending argument.
    EXPECT_EQ(sample->Invoke(1253, DispatchKind::Method, {Variant(1), Variant(u"left")}, r),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(r.argError, 1);
    EXPECT_TRUE(r.outs.empty());
    EXPECT_EQ(sample->Invoke(1001, DispatchKind::Method, {Variant(1e10)}, r), DISP_E_OVERFLOW);
    EXPECT_EQ(r.argError, 0);
    // Script values coerce: a numeric string, a boolean for a long, a number for a bool.
    EXPECT_EQ(sample->Invoke(1001, DispatchKind::Method, {Variant(u"7")}, r), S_OK);
    EXPECT_EQ(sample->mode_, 7);
    EXPECT_EQ(r.argError, -1);
    EXPECT_EQ(sample->Invoke(1003, DispatchKind::Method, {Variant(u"c"), Variant(1)}, r), S_OK);
    EXPECT_EQ(sample->Invoke(DISPID_VALUE, DispatchKind::PropertyGet, {Variant(0)}, r), S_OK);
    EXPECT_EQ(r.retval, Variant(u"c"));

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

    EXPECT_EQ(sample->Invoke(4242, DispatchKind::Method, {}, r), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(sample->Invoke(DISPID_VALUE, DispatchKind::PropertyPut, {Variant(3)}, r),
              DISP_E_MEMBERNOTFOUND);  // read-only
    EXPECT_EQ(sample->InvokeByName(u"Nope", DispatchKind::Method, {}, r), DISP_E_UNKNOWNNAME);

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
