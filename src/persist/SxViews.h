#pragma once
// The view collection (ISxViews): an ordered array of views, each held by
// reference, and the current view (or none). Item counts from 1 and Remove
// from 0. Add fires ViewAdded(name, ID) through the host; Clear keeps the
// current-view reference. _NewEnum hands out an enumerator over a snapshot
// of the array (Next gives one view at a time, then nothing with S_FALSE).
#include <cstdint>
#include <string>
#include <vector>

#include "persist/SxView.h"
#include "persist/ViewsHost.h"

class SxViews final : public platform::Dispatchable {
  public:
    using Builder = platform::DispatchTableBuilder<SxViews>;

    explicit SxViews(persist::ViewsHostRef link) : link_(std::move(link)) {}

    const platform::DispatchTable& GetDispatchTable() const override { return Table(); }
    static const platform::DispatchTable& Table();

    const std::vector<platform::ComPtr<SxView>>& Views() const { return views_; }
    std::int32_t Count() const { return static_cast<std::int32_t>(views_.size()); }

    // E_POINTER for a null result, E_INVALIDARG below 1, E_FAIL past the end.
    platform::HRESULT Item(std::int32_t index, platform::ComPtr<SxView>* view) const;
    // E_INVALIDARG unless the variant holds a view.
    platform::HRESULT Add(const platform::Variant& item);
    // E_INVALIDARG outside 0..count-1; a value that is no number is ignored.
    platform::HRESULT Remove(const platform::Variant& index);
    void Clear();
    // Each of these makes its result the current view (when there is one).
    platform::ComPtr<SxView> Find(std::int32_t id);
    platform::ComPtr<SxView> Next(std::int32_t id, bool forward);
    platform::ComPtr<SxView> GetCurrentView();
    void SetCurrentViewNull() { current_.Reset(); }
    // S_FALSE when no view has the name (case-sensitive).
    platform::HRESULT GetViewByName(const std::u16string& name,
                                    platform::ComPtr<SxView>* view) const;
    platform::ComPtr<platform::Dispatchable> NewEnum() const;

  private:
    persist::ViewsHostRef link_;
    std::vector<platform::ComPtr<SxView>> views_;
    platform::ComPtr<SxView> current_;
};
