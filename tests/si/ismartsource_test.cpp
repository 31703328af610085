#include "si/ismartsource.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// A monitor of values, counting its updates.
ZU_HANDLE(TSmartMonitor, ZuObject)
class TSmartMonitor : public ZuObject, public ZuiSmartSource {
    ZU_CLASS(TSmartMonitor, ZuObject)
public:
    TSmartMonitor() {}
    void DoUpdate() override { ++updates; }
    int updates = 0;
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::StoreInstance(s);
        ZuiSmartSource::StoreInstance(s);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::RestoreInstance(s);
        ZuiSmartSource::RestoreInstance(s);
    }
};
ZU_CLASS_END(TSmartMonitor)
ZU_IMPLEMENT_CLASS(TSmartMonitor, "tests/ismartsource", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TSmartMonitor, ZuiSmartSource)

// A source publishing a number "level" and an object "next".
ZU_HANDLE(TSmartSource, ZuObject)
class TSmartSource : public ZuObject {
    ZU_CLASS(TSmartSource, ZuObject)
public:
    TSmartSource() {}
    unsigned level = 0;
    ZuObjectRef next;
};
ZU_CLASS_END(TSmartSource)
ZU_IMPLEMENT_CLASS(TSmartSource, "tests/ismartsource", ZU_CLASS_PLAIN)

namespace {

void GetLevel(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TSmartSource*>(o)->level);
}
bool SetLevel(const ZuValueRef& v, ZuObject* o)
{
    static_cast<TSmartSource*>(o)->level = Zuvi_ValueToCard32(v);
    return true;
}
void GetNext(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TSmartSource*>(o)->next);
}

void Declare(ZuRuntime* rt)
{
    static Zuvi_PubDataDef level = {&TSmartSourceRef::RetRuntime(),
                                    "level",
                                    "a level",
                                    &Card32_type,
                                    true,
                                    true,
                                    &GetLevel,
                                    &SetLevel};
    static Zuvi_PubDataDef next = {&TSmartSourceRef::RetRuntime(),
                                   "next",
                                   "the next source",
                                   &ZuObject_type,
                                   true,
                                   false,
                                   &GetNext,
                                   nullptr};
    rt->PublishData(level);
    rt->PublishData(next);
}
Zuvi_PubDataExport declare(&Declare);

class SmartSource : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        monitor =
            TSmartMonitorRef(ZuClassFactory::New("TSmartMonitor", nullptr, __LINE__, __FILE__));
        source = TSmartSourceRef(ZuClassFactory::New("TSmartSource", nullptr, __LINE__, __FILE__));
        s = static_cast<ZuiSmartSource*>(monitor->CastToInterface(&ZuiSmartSource::interface));
        ASSERT_NE(s, nullptr);
    }
    void TearDown() override
    {
        monitor = TSmartMonitorRef();
        source = TSmartSourceRef();
        ZuviRuntimeTest::TearDown();
    }
    TSmartMonitorRef monitor;
    TSmartSourceRef source;
    ZuiSmartSource* s = nullptr;
};

TEST_F(SmartSource, ValuesByNameAndByPath)
{
    source->level = 7;
    TSmartSourceRef second(ZuClassFactory::New("TSmartSource", nullptr, __LINE__, __FILE__));
    second->level = 9;
    source->next = second;
    ASSERT_TRUE(s->InitValueByName(0, source, ZuAtomRef("level")));
    ASSERT_TRUE(s->InitValueByPath(1, source, ZuStringRef("next.level")));
    ZuValueRef v;
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 7u);
    ASSERT_TRUE(s->GetNthValue(1, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 9u);
    EXPECT_EQ(monitor->updates, 1);

    // The cache answers until it is flushed.
    source->level = 8;
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 7u);
    s->FlushCache();
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 8u);
    s->EnableCache(false); // volatile: read every time
    source->level = 3;
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 3u);

    // Writing goes into the root's item, along the path too.
    ASSERT_TRUE(s->SetNthValue(1, ZuValueRef(11u)));
    EXPECT_EQ(second->level, 11u);
    ASSERT_TRUE(s->SetNthValue(0, ZuValueRef(12u)));
    EXPECT_EQ(source->level, 12u);
    EXPECT_FALSE(s->SetNthValue(2, ZuValueRef(1u)));
    EXPECT_FALSE(s->GetNthValue(2, v));
}

TEST_F(SmartSource, CountsAndLimits)
{
    ASSERT_TRUE(s->InitValueByName(5, source, ZuAtomRef("level")));
    ZuValueRef v(1u);
    ASSERT_TRUE(s->GetNthValue(5, v));
    ASSERT_TRUE(s->GetNthValue(4, v)); // never given a root: an empty value
    EXPECT_TRUE(v.IsInvalid());
    EXPECT_FALSE(s->GetNthValue(6, v));
}

TEST_F(SmartSource, RootWithoutNameIsTheValueItself)
{
    ZuValueRef held(5u);
    ASSERT_TRUE(s->InitValueByName(0, held, ZuAtomRef()));
    ZuValueRef v;
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_TRUE(v == held);
    // Setting a value on an index without a name replaces the root.
    ZuValueRef other(6u);
    ASSERT_TRUE(s->SetNthValue(0, other));
    ASSERT_TRUE(s->GetNthValue(0, v));
    EXPECT_TRUE(v == other);
    // A root that is no value comes back wrapped in a new value.
    ASSERT_TRUE(s->InitValueByName(1, source, ZuAtomRef()));
    ASSERT_TRUE(s->GetNthValue(1, v));
    EXPECT_TRUE(v->RetObject() == source);
}

TEST_F(SmartSource, StoredWithItsObject)
{
    ASSERT_TRUE(s->InitValueByName(1, source, ZuAtomRef("level")));
    s->EnableCache(false);
    source->level = 4;
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(monitor);
    store->StartRestoring(store->Bytes());
    TSmartMonitorRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    auto* b = static_cast<ZuiSmartSource*>(back->CastToInterface(&ZuiSmartSource::interface));
    // The root and the name came back: writing reaches the restored root,
    // reading finds the value there (the cache stayed volatile).
    ZuValueRef v;
    ASSERT_TRUE(b->SetNthValue(1, ZuValueRef(21u)));
    ASSERT_TRUE(b->GetNthValue(1, v));
    EXPECT_EQ(Zuvi_ValueToCard32(v), 21u);
    EXPECT_EQ(source->level, 4u); // a copy, not the original
    ASSERT_TRUE(b->GetNthValue(0, v));
    EXPECT_TRUE(v.IsInvalid());
    EXPECT_FALSE(b->GetNthValue(2, v));
}

} // namespace
