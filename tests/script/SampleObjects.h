#pragma once
// Small automation objects for the script host's tests: a control-like
// object with properties, methods, [out] parameters, failing members,
// handed-out objects and events on a connection point.

#include <string>
#include <vector>

#include "platform/ComStatus.h"
#include "platform/ConnectionPoint.h"
#include "platform/DispatchTableBuilder.h"
#include "scripthost/EventTable.h"

namespace scripttest {

using namespace platform;

// An object handed out by the sample control; counts live instances.
class SampleItem : public Dispatchable {
  public:
    explicit SampleItem(std::u16string name) : name_(std::move(name)) { ++live; }
    ~SampleItem() override { --live; }

    const DispatchTable& GetDispatchTable() const override {
        static const DispatchTable table =
            DispatchTableBuilder<SampleItem>()
                .Get(u"Name", 1, &SampleItem::get_Name)
                .Get(u"EventProcessingComplete", 1000, &SampleItem::get_Complete)
                .Put(u"EventProcessingComplete", 1000, &SampleItem::put_Complete)
                .Method(u"Child", 2, &SampleItem::Child, {u"name"})
                .Build();
        return table;
    }
    HRESULT get_Name(Bstr* value) {
        *value = Bstr(name_);
        return S_OK;
    }
    HRESULT get_Complete(VARIANT_BOOL* value) {
        *value = complete;
        return S_OK;
    }
    HRESULT put_Complete(VARIANT_BOOL value) {
        complete = value;
        return S_OK;
    }
    HRESULT Child(const Bstr& name, ComPtr<SampleItem>* item) {
        *item = MakeRef<SampleItem>(name_ + u"/" + name.Str());
        return S_OK;
    }

    VARIANT_BOOL complete = VARIANT_FALSE;
    static inline int live = 0;

  private:
    std::u16string name_;
};

class SampleControl : public Dispatchable {
  public:
    const DispatchTable& GetDispatchTable() const override {
        static const DispatchTable table =
            DispatchTableBuilder<SampleControl>()
                .Property(u"src", 100, &SampleControl::get_src, &SampleControl::put_src)
                .Get(u"ReadyState", DISPID_READYSTATE, &SampleControl::get_ReadyState)
                .Property(u"Enabled", DISPID_ENABLED, &SampleControl::get_Enabled,
                          &SampleControl::put_Enabled)
                .Method(u"Add", 200, &SampleControl::Add, {u"a", u"b"})
                .Method(u"FindView", 203, &SampleControl::FindView, {u"name"})
                .Method(u"Fail", 204, &SampleControl::Fail, {u"status"})
                .Method(u"NewItem", 205, &SampleControl::NewItem, {u"name"})
                .Method(u"ItemName", 206, &SampleControl::ItemName, {u"item"})
                .Method(u"Pick", 208, &SampleControl::Pick, {u"x", u"y", u"z"})
                .Method(u"AddView", 209, &SampleControl::AddView, {u"name"})
                .Method(u"Click", 210, &SampleControl::Click, {u"url"})
                .Build();
        return table;
    }

    static scripthost::EventTable Events() {
        return {{u"PointPicked", 6, {u"x", u"y", u"z"}},
                {u"ViewAdded", 11, {u"viewName", u"viewID"}},
                {u"HotLinkClicked", 30, {u"url", u"pEventHandlerReturn"}}};
    }

    HRESULT get_src(Bstr* value) {
        *value = Bstr(src);
        return S_OK;
    }
    HRESULT put_src(const Bstr& value) {
        src = value.Str();
        return S_OK;
    }
    HRESULT get_ReadyState(std::int32_t* value) {
        *value = 4;
        return S_OK;
    }
    HRESULT get_Enabled(VARIANT_BOOL* value) {
        *value = enabled;
        return S_OK;
    }
    HRESULT put_Enabled(VARIANT_BOOL value) {
        enabled = value;
        return S_OK;
    }
    HRESULT Add(std::int32_t a, std::int32_t b, std::int32_t* sum) {
        *sum = a + b;
        return S_OK;
    }
    HRESULT FindView(const Bstr& name, std::int32_t* id) {
        if (name.Str() == u"Front") {
            *id = 100;
            return S_OK;
        }
        *id = -1;
        return S_FALSE;
    }
    HRESULT Fail(std::int32_t status) {
        SetErrorDescription(u"the sample refused");
        return status;
    }
    HRESULT NewItem(const Bstr& name, ComPtr<SampleItem>* item) {
        *item = MakeRef<SampleItem>(name.Str());
        return S_OK;
    }
    HRESULT ItemName(SampleItem* item, Bstr* name) {
        if (item == nullptr) {
            return E_POINTER;
        }
        return item->get_Name(name);
    }
    HRESULT Pick(double x, double y, double z) {
        events.Fire(6, {Variant(x), Variant(y), Variant(z)});  // the result is ignored
        return S_OK;
    }
    HRESULT AddView(const Bstr& name) {
        events.Fire(11, {Variant(name), Variant(nextView++)});
        return S_OK;
    }
    // Fires HotLinkClicked with a reply object and reports what the page put in it.
    HRESULT Click(const Bstr& url, VARIANT_BOOL* handled) {
        const ComPtr<SampleItem> reply = MakeRef<SampleItem>(u"reply");
        events.Fire(30, {Variant(url), Variant(reply)});
        *handled = reply->complete;
        return S_OK;
    }

    ConnectionPoint events;
    std::u16string src;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    std::int32_t nextView = 100;
};

}  // namespace scripttest
