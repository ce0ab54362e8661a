#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "platform/ComBstr.h"
#include "platform/ComObject.h"
#include "platform/ComStatus.h"
#include "platform/ComVariant.h"
#include "platform/DispatchTable.h"
#include "platform/Dispatchable.h"

using namespace platform;

namespace {

class Tracked : public Dispatchable {
  public:
    explicit Tracked(int* destroyed) : destroyed_(destroyed) {}
    ~Tracked() override { ++*destroyed_; }
    const DispatchTable& GetDispatchTable() const override {
        static const DispatchTable empty;
        return empty;
    }

  private:
    int* destroyed_;
};

}  // namespace

TEST(ComStatus, ErrorDescriptionBelongsToTheThread) {
    SetErrorDescription(u"sink failed");
    std::u16string seenElsewhere = u"unset";
    std::thread([&] { seenElsewhere = ErrorDescription(); }).join();
    EXPECT_EQ(seenElsewhere, u"");
    EXPECT_EQ(ErrorDescription(), u"sink failed");
    ClearErrorDescription();
    EXPECT_EQ(ErrorDescription(), u"");
}

TEST(ComBstr, NullAndEmptyReadAsEmptyButStayDistinguishable) {
    const Bstr null;
    const Bstr fromNullPointer(static_cast<const char16_t*>(nullptr));
    const Bstr empty(u"");
    EXPECT_TRUE(null.IsNull());
    EXPECT_TRUE(fromNullPointer.IsNull());
    EXPECT_FALSE(empty.IsNull());
    for (const Bstr* s : {&null, &fromNullPointer, &empty}) {
        EXPECT_TRUE(s->IsEmpty() && s->Str().empty());
        ASSERT_NE(s->c_str(), nullptr);
        EXPECT_EQ(s->c_str()[0], u'\0');
    }
    EXPECT_EQ(null, empty);
    EXPECT_EQ(Variant(null), Variant(u""));

    // Length-prefixed: an embedded NUL is part of the text.
    const std::u16string withNul(u"a\0b", 3);
    const Bstr s(withNul);
    EXPECT_EQ(s.Length(), 3u);
    EXPECT_EQ(s.ByteLength(), 6u);
    EXPECT_NE(s, Bstr(u"a"));
    Bstr cleared(u"x");
    cleared.Clear();
    EXPECT_TRUE(cleared.IsNull());
}

TEST(ComVariant, NumbersCoerceLikeAnAutomationHost) {
    // Halves round to even; true is -1, empty 0; failures leave the output alone.
    for (const auto& [in, out] : {std::pair{Variant(2.5), 2},
                                  {Variant(3.5), 4},
                                  {Variant(-2.5), -2},
                                  {Variant(2147483647.4), 2147483647},
                                  {Variant(true), -1},
                                  {Variant(), 0},
                                  {Variant(u"+3"), 3}}) {
        std::int32_t i = 99;
        EXPECT_EQ(in.ToInt32(i), S_OK);
        EXPECT_EQ(i, out);
    }
    std::int32_t i = 99;
    for (const Variant& v :
         {Variant(2147483647.5), Variant(std::nan("")), Variant(std::uint32_t{0x80000000u})}) {
        EXPECT_EQ(v.ToInt32(i), DISP_E_OVERFLOW);
    }
    EXPECT_EQ(i, 99);

    std::uint32_t u = 0;
    EXPECT_EQ(Variant(-1).ToUInt32(u), DISP_E_OVERFLOW);
    EXPECT_EQ(Variant(4294967295.0).ToUInt32(u), S_OK);
    EXPECT_EQ(u, 4294967295u);

    double d = 0;
    EXPECT_EQ(Variant(std::int32_t{-7}).ToDouble(d), S_OK);
    EXPECT_EQ(d, -7.0);
    EXPECT_EQ(Variant(u" 12.5e1 ").ToDouble(d), S_OK);
    EXPECT_EQ(d, 125.0);
    EXPECT_EQ(Variant(u"12px").ToDouble(d), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Variant(u"inf").ToDouble(d), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Variant(u"\u0661").ToDouble(d), DISP_E_TYPEMISMATCH);  // non-ASCII digit
}

TEST(ComVariant, BoolsStringsAndObjects) {
    for (const auto& [in, out] : {std::pair{Variant(0.5), true},
                                  {Variant(u"FALSE"), false},
                                  {Variant(u"True"), true},
                                  {Variant(u"0"), false}}) {
        bool b = !out;
        EXPECT_EQ(in.ToBool(b), S_OK);
        EXPECT_EQ(b, out);
    }
    bool b = false;
    EXPECT_EQ(Variant(u"yes").ToBool(b), DISP_E_TYPEMISMATCH);
    VARIANT_BOOL vb = 0;
    EXPECT_EQ(Variant(std::int32_t{1}).ToVariantBool(vb), S_OK);
    EXPECT_EQ(vb, VARIANT_TRUE);

    std::u16string s;
    int destroyed = 0;
    {
        ComPtr<Tracked> object = MakeRef<Tracked>(&destroyed);
        const Variant v(object);
        EXPECT_EQ(object->RefCount(), 2u);
        EXPECT_EQ(v.ToString(s), DISP_E_TYPEMISMATCH);
        ComPtr<Dispatchable> back;
        EXPECT_EQ(v.ToObject(back), S_OK);
        EXPECT_EQ(back, object);
        EXPECT_EQ(Variant().ToObject(back), S_OK);  // empty passes as a null object
        EXPECT_FALSE(back);
        EXPECT_EQ(Variant(1.0).ToObject(back), DISP_E_TYPEMISMATCH);
        EXPECT_NE(Variant(nullptr), Variant());
    }
    EXPECT_EQ(destroyed, 1);
}
