// The COM server as the shell meets it: class registration in the prefix's
// HKEY_CLASSES_ROOT, CoCreateInstance, the identity and counting rules, the
// unload answer and DllGetVersion.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <thread>
#include <vector>

#include "ShellextTestSupport.h"

using namespace shellext;

namespace {

const IID kIContextMenu2 = {0x000214F4, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIContextMenu3 = {0xBCFCE0A0, 0xEC17, 0x11D0, {0x8D, 0x10, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x19}};
const IID kIShellCopyHookA = {0x000214EF, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIShellCopyHookW = {0x000214FC, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllGetVersionFn = HRESULT(STDAPICALLTYPE*)(DLLVERSIONINFO*);

class ComServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Ok());
        // Activation loads the library; the exports are then taken from it.
        Ref<IUnknown> first;
        ASSERT_EQ(S_OK, CreateExtension(IID_IUnknown, first.OutVoid()));
        module_ = TolvaneModule();
        ASSERT_NE(nullptr, module_);
        getClassObject_ = Export<DllGetClassObjectFn>(module_, "DllGetClassObject");
        getVersion_ = Export<DllGetVersionFn>(module_, "DllGetVersion");
        ASSERT_NE(nullptr, getClassObject_);
        ASSERT_NE(nullptr, getVersion_);
        // Hold the library for the test so that COM cannot unload it midway.
        char path[MAX_PATH];
        GetModuleFileNameA(module_, path, MAX_PATH);
        held_ = LoadLibraryA(path);
    }
    void TearDown() override {
        if (held_) FreeLibrary(held_);
    }

    Apartment apartment_;
    RegisteredServer server_;
    HMODULE module_ = nullptr;
    HMODULE held_ = nullptr;
    DllGetClassObjectFn getClassObject_ = nullptr;
    DllGetVersionFn getVersion_ = nullptr;
};

TEST_F(ComServerTest, EveryInterfaceAnswersTheSameTableWithOneIdentityAndOneCount) {
    Ref<IUnknown> unknown;
    ASSERT_EQ(S_OK, CreateExtension(IID_IUnknown, unknown.OutVoid()));
    Ref<IShellExtInit> init;
    Ref<IContextMenu> menu;
    Ref<IShellPropSheetExt> sheet;
    Ref<IUnknown> copyHook;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IShellExtInit, init.OutVoid()));
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IContextMenu, menu.OutVoid()));
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IShellPropSheetExt, sheet.OutVoid()));
    ASSERT_EQ(S_OK, unknown->QueryInterface(kIShellCopyHookA, copyHook.OutVoid()));
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(init.Get()));

    IUnknown* pointers[] = {unknown.Get(), init.Get(), menu.Get(), sheet.Get(), copyHook.Get()};
    const IID* answered[] = {&IID_IUnknown, &IID_IShellExtInit, &IID_IContextMenu, &IID_IShellPropSheetExt,
                             &kIShellCopyHookA};
    void* expected[] = {init.Get(), init.Get(), menu.Get(), sheet.Get(), copyHook.Get()};
    const IID* refused[] = {&kIContextMenu2, &kIContextMenu3, &kIShellCopyHookW, &IID_IClassFactory,
                            &IID_IDataObject};
    for (size_t from = 0; from < 5; ++from) {
        SCOPED_TRACE(testing::Message() << "interface pointer " << from);
        for (size_t i = 0; i < 5; ++i) {
            void* got = nullptr;
            ASSERT_EQ(S_OK, pointers[from]->QueryInterface(*answered[i], &got));
            EXPECT_EQ(expected[i], got) << "interface " << i;
            static_cast<IUnknown*>(got)->Release();
        }
        for (const IID* iid : refused) {
            void* got = reinterpret_cast<void*>(1);
            EXPECT_EQ(E_NOINTERFACE, pointers[from]->QueryInterface(*iid, &got));
            EXPECT_EQ(nullptr, got);
        }
    }

    // Five references are held, one per pointer; each pointer adds to and takes
    // from the same count.
    ULONG count = unknown->AddRef();
    EXPECT_EQ(6u, count);
    for (IUnknown* pointer : pointers) EXPECT_EQ(++count, pointer->AddRef());
    for (IUnknown* pointer : pointers) EXPECT_EQ(--count, pointer->Release());
    EXPECT_EQ(5u, unknown->Release());
}

TEST_F(ComServerTest, CanUnloadOnlyWhenNoFactoryAndNoObjectLives) {
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());
    Ref<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject_(contract::kClassId, IID_IClassFactory, factory.OutVoid()));
    EXPECT_EQ(S_FALSE, CallDllCanUnloadNow());

    Ref<IContextMenu> menu;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IContextMenu, menu.OutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, CallDllCanUnloadNow());
    menu.Reset();
    // A lock does not keep the library: only live objects do.
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());
}

TEST_F(ComServerTest, RefusedRequestsHandBackNullAndLeaveNothingAlive) {
    void* got = reinterpret_cast<void*>(1);
    const CLSID foreign = {0x9C52E1B7, 0x0A4F, 0x11d3, {0xB6, 0xE2, 0x7F, 0x41, 0xC0, 0x8D, 0x5A, 0x97}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(foreign, IID_IClassFactory, &got));
    EXPECT_EQ(nullptr, got);

    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, getClassObject_(contract::kClassId, IID_IContextMenu, &got));
    EXPECT_EQ(nullptr, got);
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());

    Ref<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject_(contract::kClassId, IID_IUnknown, factory.OutVoid()));
    for (const IID* iid : {&IID_IContextMenu, &IID_IShellExtInit}) {
        got = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(*iid, &got));
        EXPECT_EQ(nullptr, got);
    }
    Ref<IUnknown> outer;
    ASSERT_EQ(S_OK, CreateExtension(IID_IUnknown, outer.OutVoid()));
    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IUnknown, &got));
    EXPECT_EQ(nullptr, got);
    got = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, kIContextMenu3, &got));
    EXPECT_EQ(nullptr, got);
    outer.Reset();
    factory.Reset();
    // The object made for the refused request is gone again.
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());
}

TEST_F(ComServerTest, ObjectsMadeAndFreedOnManyThreadsAtOnceLeaveTheCountAtZero) {
    auto churn = [this] {
        for (int i = 0; i < 20000; ++i) {
            IClassFactory* factory = nullptr;
            if (FAILED(getClassObject_(contract::kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory))))
                return;
            IUnknown* object = nullptr;
            factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
            factory->Release();
            if (object) object->Release();
        }
    };
    Ref<IUnknown> alive;
    ASSERT_EQ(S_OK, CreateExtension(IID_IUnknown, alive.OutVoid()));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(churn);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(S_FALSE, CallDllCanUnloadNow());
    alive.Reset();
    EXPECT_EQ(S_OK, CallDllCanUnloadNow());
}

TEST_F(ComServerTest, DllGetVersionWritesTheFieldsItsSizeCoversAndAnswersTwenty) {
    struct Case { DWORD size; DWORD major, minor, build, platform; };
    const DWORD untouched = 0xA5A5A5A5;
    const Case cases[] = {
        {0, untouched, untouched, untouched, untouched},   {7, untouched, untouched, untouched, untouched},
        {8, 1, untouched, untouched, untouched},           {11, 1, untouched, untouched, untouched},
        {12, 1, 13, untouched, untouched},                 {15, 1, 13, untouched, untouched},
        {16, 1, 13, 247, untouched},                       {19, 1, 13, 247, untouched},
        {20, 1, 13, 247, DLLVER_PLATFORM_WINDOWS},         {32, 1, 13, 247, DLLVER_PLATFORM_WINDOWS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cbSize " << c.size);
        DWORD record[8];
        for (DWORD& field : record) field = untouched;
        record[0] = c.size;
        EXPECT_EQ(20, getVersion_(reinterpret_cast<DLLVERSIONINFO*>(record)));
        EXPECT_EQ(c.size, record[0]);
        EXPECT_EQ(c.major, record[1]);
        EXPECT_EQ(c.minor, record[2]);
        EXPECT_EQ(c.build, record[3]);
        EXPECT_EQ(c.platform, record[4]);
        EXPECT_EQ(untouched, record[5]);
    }
    EXPECT_TRUE(FAILED(getVersion_(nullptr)));
}

TEST_F(ComServerTest, CopyHookNeverBlocks) {
    Ref<ICopyHookA> hook;
    ASSERT_EQ(S_OK, CreateExtension(kIShellCopyHookA, hook.OutVoid()));
    const UINT operations[] = {FO_MOVE, FO_COPY, FO_DELETE, FO_RENAME, 0, 0xFFFF};
    for (UINT operation : operations) {
        EXPECT_EQ(static_cast<UINT>(IDYES), hook->CopyCallback(nullptr, operation, 0, "C:\\a.txt",
                                                               FILE_ATTRIBUTE_NORMAL, "C:\\b.txt", 0));
        EXPECT_EQ(static_cast<UINT>(IDYES),
                  hook->CopyCallback(GetDesktopWindow(), operation, 0xFFFFFFFF, nullptr, 0xFFFFFFFF, nullptr, 0));
    }
}

}  // namespace
