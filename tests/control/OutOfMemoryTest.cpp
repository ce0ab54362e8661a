// Allocation failures inside automation members: the member answers
// E_OUTOFMEMORY, or -1 for a 3D mark that cannot be made, and the control
// goes on.
//
// This program replaces the global operator new: while a size is armed on
// the calling thread, an allocation of exactly that size fails.
#include <cstdlib>
#include <new>

// The replacement below pairs malloc with free; GCC cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include "measure/SX_DistanceMark.h"
#include "measure/SX_VertexMark.h"
#include "support/ControlFixture.h"

namespace {

thread_local std::size_t failingSize = 0;

// Allocations of `size` fail on this thread while the object lives.
class FailAllocations {
  public:
    explicit FailAllocations(std::size_t size) { failingSize = size; }
    ~FailAllocations() { failingSize = 0; }
    FailAllocations(const FailAllocations&) = delete;
    FailAllocations& operator=(const FailAllocations&) = delete;
};

}  // namespace

void* operator new(std::size_t size) {
    if (size != 0 && size == failingSize) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST_F(ControlFixture, MarksThatCannotBeAllocatedAnswerMinusOne) {
    const auto st = Station(sitegen::DescriptionFormat::Metadata);
    LoadedControl(st.description, 200, 150);
    Call(u"ReadyState", {}, platform::DispatchKind::PropertyGet);  // builds the table
    events_.clear();
    using platform::Variant;
    const std::vector<Variant> vertex{Variant(1.0), Variant(2.0), Variant(3.0), Variant(-1),
                                      Variant(std::u16string(u"#ff0000"))};
    const std::vector<Variant> distance{
        Variant(1.0), Variant(2.0), Variant(3.0), Variant(4.0),
        Variant(5.0), Variant(6.0), Variant(-1),  Variant(std::u16string(u"#00ff00"))};
    auto invoke = [this](std::u16string_view name, const std::vector<Variant>& args,
                         std::size_t failing) {
        platform::HRESULT hr = platform::E_FAIL;
        {
            FailAllocations fail(failing);
            hr = automation_->InvokeByName(name, platform::DispatchKind::Method, args, r_);
        }
        EXPECT_EQ(hr, platform::S_OK);
        return r_.retval.Int32Value();
    };
    EXPECT_EQ(invoke(u"VertexMark3D", vertex, sizeof(SX_VertexMark)), -1);
    EXPECT_EQ(invoke(u"DistanceMark3D", distance, sizeof(SX_DistanceMark)), -1);
    // Mark3DAdded reports the failures too; nothing was added.
    EXPECT_EQ(events_, (std::vector<std::string>{"Mark3DAdded(-1)", "Mark3DAdded(-1)"}));
    EXPECT_EQ(control_->DataSet().Marks().Count(), 0u);
    // With memory back the same call succeeds.
    ASSERT_EQ(Call(u"VertexMark3D", vertex), platform::S_OK);
    EXPECT_GE(r_.retval.Int32Value(), 100);
}

TEST_F(ControlFixture, AStringResultThatCannotBeAllocatedAnswersOutOfMemory) {
    MakeControl(MakeOptions());
    Call(u"ReadyState", {}, platform::DispatchKind::PropertyGet);  // builds the table
    // Copies of the colour text are made on the way into the member and
    // for its result.
    const std::u16string src(3000, u'x');
    std::vector<platform::Variant> args{platform::Variant(src)};
    {
        FailAllocations fail((src.size() + 1) * sizeof(char16_t));
        EXPECT_EQ(
            automation_->InvokeByName(u"ChooseHTMLColor", platform::DispatchKind::Method, args, r_),
            platform::E_OUTOFMEMORY);
    }
    EXPECT_TRUE(r_.retval.StringValue().empty());
    EXPECT_EQ(Call(u"ChooseHTMLColor", {platform::Variant(src)}), platform::S_OK);
    EXPECT_EQ(r_.retval.StringValue(), src);
}
