#include "persist/SxViews.h"

#include <algorithm>

#include "host/SX_EventIds.h"

using namespace platform;

namespace {

// The enumerator _NewEnum hands out.
class SxViewsEnum final : public Dispatchable {
  public:
    using Builder = DispatchTableBuilder<SxViewsEnum>;

    explicit SxViewsEnum(std::vector<ComPtr<SxView>> views) : views_(std::move(views)) {}

    const DispatchTable& GetDispatchTable() const override { return Table(); }

    static const DispatchTable& Table() {
        static const DispatchTable table =
            Builder()
                .Method(u"Next", 1,
                        [](SxViewsEnum& e, Variant* item) -> HRESULT {
                            if (e.next_ >= e.views_.size()) {
                                return S_FALSE;
                            }
                            *item = Variant(e.views_[e.next_++]);
                            return S_OK;
                        })
                .Method(u"Skip", 2,
                        [](SxViewsEnum& e, std::int32_t count) -> HRESULT {
                            const std::size_t left = e.views_.size() - e.next_;
                            const std::size_t n = count < 0 ? 0 : static_cast<std::size_t>(count);
                            e.next_ += std::min(n, left);
                            return n <= left ? S_OK : S_FALSE;
                        },
                        {u"celt"})
                .Method(u"Reset", 3,
                        [](SxViewsEnum& e) -> HRESULT {
                            e.next_ = 0;
                            return S_OK;
                        })
                .Method(u"Clone", 4,
                        [](SxViewsEnum& e, ComPtr<Dispatchable>* copy) -> HRESULT {
                            ComPtr<SxViewsEnum> c = MakeRef<SxViewsEnum>(e.views_);
                            c->next_ = e.next_;
                            *copy = c;
                            return S_OK;
                        })
                .Build();
        return table;
    }

  private:
    std::vector<ComPtr<SxView>> views_;
    std::size_t next_ = 0;
};

}  // namespace

HRESULT SxViews::Item(std::int32_t index, ComPtr<SxView>* view) const {
    if (view == nullptr) {
        return E_POINTER;
    }
    if (index < 1) {
        return E_INVALIDARG;
    }
    if (index > Count()) {
        return E_FAIL;
    }
    *view = views_[static_cast<std::size_t>(index - 1)];
    return S_OK;
}

HRESULT SxViews::Add(const Variant& item) {
    if (item.Type() != VariantType::Object) {
        return E_INVALIDARG;
    }
    ComPtr<SxView> view = item.ObjectValue().As<SxView>();
    if (!view) {
        return E_INVALIDARG;
    }
    views_.push_back(view);
    if (persist::ViewsHost* host = link_ ? link_->host : nullptr) {
        host->FireEvent(SX_ControlEvents::kViewAdded,
                        {Variant(view->Name()), Variant(std::int32_t{view->Id()})});
    }
    return S_OK;
}

HRESULT SxViews::Remove(const Variant& index) {
    std::int32_t i = 0;
    if (FAILED(index.ToInt32(i))) {
        return S_OK;
    }
    if (i < 0 || i >= Count()) {
        return E_INVALIDARG;
    }
    SetCurrentViewNull();
    views_.erase(views_.begin() + i);
    return S_OK;
}

void SxViews::Clear() {
    views_.clear();
}

ComPtr<SxView> SxViews::Find(std::int32_t id) {
    for (const ComPtr<SxView>& view : views_) {
        if (view->Id() == id) {
            current_ = view;
            return view;
        }
    }
    return nullptr;
}

ComPtr<SxView> SxViews::Next(std::int32_t id, bool forward) {
    if (views_.empty()) {
        return nullptr;
    }
    const auto n = views_.size();
    std::size_t at = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (views_[i]->Id() == id) {
            at = i;
            break;
        }
    }
    std::size_t pick = 0;
    if (at == n) {
        pick = forward ? 0 : n - 1;
    } else {
        pick = forward ? (at + 1) % n : (at + n - 1) % n;
    }
    current_ = views_[pick];
    return current_;
}

ComPtr<SxView> SxViews::GetCurrentView() {
    if (views_.empty() || !current_) {
        return nullptr;
    }
    return Find(current_->Id());
}

HRESULT SxViews::GetViewByName(const std::u16string& name, ComPtr<SxView>* view) const {
    for (const ComPtr<SxView>& v : views_) {
        if (v->Name() == name) {
            *view = v;
            return S_OK;
        }
    }
    return S_FALSE;
}

ComPtr<Dispatchable> SxViews::NewEnum() const {
    return MakeRef<SxViewsEnum>(views_);
}

const DispatchTable& SxViews::Table() {
    using Long = std::int32_t;
    using ViewOut = ComPtr<SxView>*;
    static const DispatchTable table =
        Builder()
            .Get(u"_NewEnum", DISPID_NEWENUM,
                 [](SxViews& v, ComPtr<Dispatchable>* e) -> HRESULT {
                     *e = v.NewEnum();
                     return S_OK;
                 })
            .Get(
                u"Item", DISPID_VALUE,
                [](SxViews& v, Long index, ViewOut view) -> HRESULT { return v.Item(index, view); },
                {u"Index"})
            .Get(u"count", 1,
                 [](SxViews& v, Long* n) -> HRESULT {
                     *n = v.Count();
                     return S_OK;
                 })
            .Method(u"Add", 2, [](SxViews& v, const Variant& item) { return v.Add(item); },
                    {u"Item"})
            .Method(u"Remove", 3, [](SxViews& v, const Variant& index) { return v.Remove(index); },
                    {u"Index"})
            .Method(u"Clear", 4,
                    [](SxViews& v) -> HRESULT {
                        v.Clear();
                        return S_OK;
                    })
            .Method(u"Find", 5,
                    [](SxViews& v, Long id, ViewOut view) -> HRESULT {
                        *view = v.Find(id);
                        return S_OK;
                    },
                    {u"ID"})
            .Method(u"Next", 6,
                    [](SxViews& v, Long id, VARIANT_BOOL forward, ViewOut view) -> HRESULT {
                        *view = v.Next(id, IsVariantTrue(forward));
                        return S_OK;
                    },
                    {u"ID", u"IsFWDDir"})
            .Method(u"GetCurrentView", 7,
                    [](SxViews& v, ViewOut view) -> HRESULT {
                        *view = v.GetCurrentView();
                        return S_OK;
                    })
            .Method(u"SetCurrentViewNull", 8,
                    [](SxViews& v) -> HRESULT {
                        v.SetCurrentViewNull();
                        return S_OK;
                    })
            .Method(u"GetViewByName", 9,
                    [](SxViews& v, const Bstr& name, ViewOut view) -> HRESULT {
                        return v.GetViewByName(name.Str(), view);
                    },
                    {u"viewName"})
            .Build();
    return table;
}
