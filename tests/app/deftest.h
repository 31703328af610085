// Support for the tests of the attribute definitions: a fixture with a byte
// storage, making definitions by class, and reaching a definition's own
// stored part as the storage reaches it.
#ifndef LUMBRA_TESTS_APP_DEFTEST_H
#define LUMBRA_TESTS_APP_DEFTEST_H

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/def.h"
#include "si/classfactory.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

typedef std::vector<unsigned char> Bytes;

struct DefAccess : CDef {
    static void Store(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::StoreInstance))(s);
    }
    static void Restore(const CDefRef& d, const ZuStorageRef& s)
    {
        (d.RetRawObject()->*(&DefAccess::RestoreInstance))(s);
    }
};

class DefTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        store = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        store = static_cast<ZuTestStorage*>(nullptr);
        ZuviRuntimeTest::TearDown();
    }

    static CDefRef Make(const char* class_name)
    {
        return CDefRef(ZuObjectRef(ZuClassFactory::New(class_name, nullptr, __LINE__, __FILE__)));
    }
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }

    // The instance record of a definition (object part first).
    Bytes Stored(const CDefRef& d)
    {
        store->StartStoring();
        DefAccess::Store(d, store);
        return store->Bytes();
    }
    // Restores bytes into d; true when the whole input was used.
    bool Restore(const CDefRef& d, const Bytes& bytes)
    {
        store->StartRestoring(bytes);
        DefAccess::Restore(d, store);
        return store->Remaining() == 0;
    }
    // Bytes written by `body` on a fresh run.
    Bytes Written(const std::function<void(const ZuStorageRef&)>& body)
    {
        store->StartStoring();
        body(store);
        return store->Bytes();
    }
    // A definition through the storage's object records and back.
    CDefRef RoundTrip(const CDefRef& d)
    {
        store->StartStoring();
        store->StoreObject(d);
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        store->RestoreObject(back, CDefRef::RetRuntime());
        EXPECT_EQ(0u, store->Remaining());
        return CDefRef(back);
    }

    ZuTestStorageRef store;
};

#endif
