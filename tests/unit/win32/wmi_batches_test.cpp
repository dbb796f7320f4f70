// The walk of a query's objects over a stand-in enumerator: every batch is
// read, the last (short) one included, nothing is asked for after WMI said
// there is no more, and every object is let go.
#include <gtest/gtest.h>

#include "platform/win32/com.h"
#include "platform/win32/wmi_win32.h"
#include "platform/wmi_listing.h"

namespace vindrel::testing {
namespace {

using Microsoft::WRL::ComPtr;

// Hands out one object `count` times, in batches of at most what is asked
// for, the last with WBEM_S_FALSE, as WMI does.
class StandInEnumerator : public IEnumWbemClassObject {
public:
    StandInEnumerator(IWbemClassObject* object, ULONG count) : object_(object), left_(count) {}
    int calls = 0;
    long timeout = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Next(long time, ULONG count, IWbemClassObject** out,
                                   ULONG* returned) override {
        ++calls;
        timeout = time;
        for (*returned = 0; *returned < count && left_ > 0; ++*returned, --left_) {
            object_->AddRef();
            out[*returned] = object_;
        }
        return *returned < count ? WBEM_S_FALSE : WBEM_S_NO_ERROR;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Skip(long, ULONG) override { return E_NOTIMPL; }

private:
    IWbemClassObject* object_;
    ULONG left_;
};

// How many references the object has.
ULONG References(IWbemClassObject* object) {
    object->AddRef();
    return object->Release();
}

TEST(WbemCollection, ReadsEveryBatchUpToTheLastShortOneAndLetsEveryObjectGo) {
    // A real object to hand out: the class of the objects listed.
    const win32::ComApartment apartment;
    ComPtr<IWbemLocator> locator;
    ASSERT_HRESULT_SUCCEEDED(win32::Com().CoCreateInstance(
        CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&locator)));
    ComPtr<IWbemServices> services;
    const win32::Bstr space(L"ROOT\\CIMV2"), name(L"Win32_Process");
    ASSERT_HRESULT_SUCCEEDED(locator->ConnectServer(space.Get(), nullptr, nullptr, nullptr, 0,
                                                    nullptr, nullptr, &services));
    ComPtr<IWbemClassObject> object;
    ASSERT_HRESULT_SUCCEEDED(services->GetObject(name.Get(), 0, nullptr, &object, nullptr));
    const ULONG before = References(object.Get());

    StandInEnumerator enumerator(object.Get(), 67);
    int walked = 0;
    {
        const auto collection = win32::WbemCollection(ComPtr<IEnumWbemClassObject>(&enumerator));
        WmiObject listed;
        while (collection->Next(listed))
            ++walked;
        EXPECT_FALSE(collection->Next(listed));
    }
    EXPECT_EQ(walked, 67);
    EXPECT_EQ(enumerator.calls, 2);  // 64, then 3, and none after the end
    EXPECT_EQ(enumerator.timeout, static_cast<long>(kListingDeadline.count()));
    EXPECT_EQ(References(object.Get()), before);
}

}  // namespace
}  // namespace vindrel::testing
