#include "si/datalog.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "si/array.h"
#include "si/atom.h"
#include "si/except.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// An object publishing a number "level" for the log to read.
ZU_HANDLE(TDataLogSource, ZuObject)
class TDataLogSource : public ZuObject {
    ZU_CLASS(TDataLogSource, ZuObject)
public:
    TDataLogSource() {}
    int level = 0;
};
ZU_CLASS_END(TDataLogSource)
ZU_IMPLEMENT_CLASS(TDataLogSource, "tests/datalog", ZU_CLASS_PLAIN)

namespace {

void GetLevel(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TDataLogSource*>(o)->level);
}

void Declare(ZuRuntime* rt)
{
    static Zuvi_PubDataDef level = {&TDataLogSourceRef::RetRuntime(),
                                    "level",
                                    "a level",
                                    &Int32_type,
                                    true,
                                    false,
                                    &GetLevel,
                                    nullptr};
    rt->PublishData(level);
}
Zuvi_PubDataExport declare(&Declare);

class DataLogTest : public ZuviRuntimeTest {
protected:
    ZuDataLogRef NewLog(ZuSimpleType type, unsigned int ring)
    {
        ZuDataLogRef log(ZuNew<ZuDataLog>());
        log->InitLog(type, ring);
        return log;
    }
};

} // namespace

TEST_F(DataLogTest, RingKeepsTheLatestEntries)
{
    ZuDataLogRef log = NewLog(ZU_TYPE_CARD, 3);
    for (unsigned int i = 1; i <= 5; ++i)
        EXPECT_TRUE(log->InsertCard32(i));
    EXPECT_EQ(log->TotalCount(), 5u);
    const unsigned int expected[] = {4, 5, 3, 4, 5};
    for (unsigned int n = 0; n < 5; ++n) {
        unsigned int got = 0;
        EXPECT_TRUE(log->GetNthCard32(n, got)) << n;
        EXPECT_EQ(got, expected[n]) << n;
    }
    unsigned int got = 0;
    EXPECT_FALSE(log->GetNthCard32(5, got));

    unsigned int out[3] = {};
    EXPECT_TRUE(log->GetMultipleCard32(3, out, 3));
    EXPECT_EQ(std::vector<unsigned int>(out, out + 3), (std::vector<unsigned int>{4, 5, 3}));
    // A full ring wraps around as often as asked.
    unsigned int wrapped[7] = {};
    EXPECT_TRUE(log->GetMultipleCard32(4, wrapped, 7));
    EXPECT_EQ(std::vector<unsigned int>(wrapped, wrapped + 7),
              (std::vector<unsigned int>{5, 3, 4, 5, 3, 4, 5}));
    EXPECT_FALSE(log->GetMultipleCard32(5, out, 1));

    // InitLog empties the log.
    log->InitLog(ZU_TYPE_CARD, 3);
    EXPECT_EQ(log->TotalCount(), 0u);
    EXPECT_FALSE(log->GetNthCard32(0, got));
}

TEST_F(DataLogTest, ReadingStopsAtEntriesNeverWritten)
{
    // A ring not yet full, and an unlimited log, have room past their
    // entries; that room holds nothing to read.
    ZuDataLogRef ring = NewLog(ZU_TYPE_INT, 4);
    ring->InsertInt32(-1);
    ring->InsertInt32(-2);
    int out[4] = {7, 7, 7, 7};
    EXPECT_FALSE(ring->GetMultipleInt32(0, out, 4));
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{-1, -2, 7, 7}));
    EXPECT_TRUE(ring->GetMultipleInt32(1, out, 1));
    EXPECT_EQ(out[0], -2);
    int got = 0;
    EXPECT_FALSE(ring->GetNthInt32(2, got));
}

TEST_F(DataLogTest, UnlimitedLogGrowsKeepingItsEntries)
{
    ZuDataLogRef log = NewLog(ZU_TYPE_REAL, 0);
    for (unsigned int i = 0; i < 151; ++i)
        ASSERT_TRUE(log->InsertReal(i * 0.5));
    EXPECT_EQ(log->TotalCount(), 151u);
    for (unsigned int i = 0; i < 151; ++i) {
        double got = -1;
        ASSERT_TRUE(log->GetNthReal(i, got));
        EXPECT_EQ(got, i * 0.5);
    }
    std::vector<double> all(151);
    EXPECT_TRUE(log->GetMultipleReal(0, all.data(), 151));
    EXPECT_EQ(all[150], 75.0);
    // Past the last entry: what was there is copied, then false.
    std::vector<double> tail(20, -1);
    EXPECT_FALSE(log->GetMultipleReal(140, tail.data(), 20));
    EXPECT_EQ(tail[10], 75.0);
    EXPECT_EQ(tail[11], -1);
}

TEST_F(DataLogTest, PackedLogsTakeOnlyTheirOwnType)
{
    struct Case {
        ZuSimpleType type;
        bool card, int32, flag, real;
    } const cases[] = {
        {ZU_TYPE_CARD, true, false, false, false},  {ZU_TYPE_INT, false, true, false, false},
        {ZU_TYPE_BOOL, false, false, true, false},  {ZU_TYPE_REAL, false, false, false, true},
        {ZU_TYPE_NONE, false, false, false, false},
    };
    for (const Case& c : cases) {
        ZuDataLogRef log = NewLog(c.type, 0);
        EXPECT_EQ(log->RetType(), c.type);
        EXPECT_EQ(log->InsertCard32(7), c.card) << c.type;
        EXPECT_EQ(log->InsertInt32(-7), c.int32) << c.type;
        EXPECT_EQ(log->InsertBool(true), c.flag) << c.type;
        EXPECT_EQ(log->InsertReal(7.5), c.real) << c.type;
        EXPECT_EQ(log->TotalCount(), c.type == ZU_TYPE_NONE ? 0u : 1u);

        unsigned int u = 0;
        int i = 0;
        bool b = false;
        double r = 0;
        EXPECT_EQ(log->GetNthCard32(0, u), c.card);
        EXPECT_EQ(log->GetNthInt32(0, i), c.int32);
        EXPECT_EQ(log->GetNthBool(0, b), c.flag);
        EXPECT_EQ(log->GetNthReal(0, r), c.real);
        EXPECT_EQ(log->GetMultipleCard32(0, &u, 1), c.card);
        EXPECT_EQ(log->GetMultipleInt32(0, &i, 1), c.int32);
        EXPECT_EQ(log->GetMultipleBool(0, &b, 1), c.flag);
        EXPECT_EQ(log->GetMultipleReal(0, &r, 1), c.real);
        if (c.card) {
            EXPECT_EQ(u, 7u);
        }
        if (c.int32) {
            EXPECT_EQ(i, -7);
        }
        if (c.flag) {
            EXPECT_TRUE(b);
        }
        if (c.real) {
            EXPECT_EQ(r, 7.5);
        }

        // The entry as a value, and through the container view.
        ZuValueRef v;
        ZuObjectRef o(log);
        EXPECT_EQ(log->GetNthValue(0, v), c.type != ZU_TYPE_NONE);
        EXPECT_EQ(log->Get(0, o), c.type != ZU_TYPE_NONE);
        if (c.type == ZU_TYPE_NONE) {
            EXPECT_TRUE(o.IsInvalid());
            continue;
        }
        EXPECT_EQ(v->RetType(), c.type);
        EXPECT_EQ(ZuValueRef(o)->RetType(), c.type);
        EXPECT_FALSE(log->Get(1, o));
        EXPECT_TRUE(o.IsInvalid());
    }

    // A log never initialised accepts nothing either; it is made by name and
    // offers both interfaces.
    ZuDataLogRef bare(ZuClassFactory::New("ZuDataLog", Zuvi_app_zone, __LINE__, __FILE__));
    ASSERT_TRUE(bare.IsValid());
    EXPECT_NE(bare->CastToInterface(&ZuiSmartSource::interface), nullptr);
    EXPECT_NE(bare->CastToInterface(&ZuiContainer::interface), nullptr);
    EXPECT_EQ(bare->RetType(), ZU_TYPE_NONE);
    EXPECT_FALSE(bare->InsertCard32(1));
    EXPECT_FALSE(bare->InsertValue(ZuValueRef(1u)));
    EXPECT_EQ(bare->TotalCount(), 0u);
}

TEST_F(DataLogTest, ValuesAreConvertedToThePackedType)
{
    ZuDataLogRef card = NewLog(ZU_TYPE_CARD, 0);
    EXPECT_TRUE(card->InsertValue(ZuValueRef(-1)));
    EXPECT_TRUE(card->InsertValue(ZuValueRef(true)));
    EXPECT_TRUE(card->InsertValue(ZuValueRef(3.0)));
    EXPECT_FALSE(card->InsertValue(ZuValueRef()));
    EXPECT_FALSE(card->InsertValue(ZuValueRef(ZuObjectRef(ZuStringRef("12")))));
    EXPECT_FALSE(card->InsertValue(ZuValueRef(ZuRect())));
    unsigned int out[3] = {};
    ASSERT_TRUE(card->GetMultipleCard32(0, out, 3));
    EXPECT_EQ(out[0], 0xFFFFFFFFu);
    EXPECT_EQ(out[1], 1u);
    EXPECT_EQ(out[2], 3u);

    ZuDataLogRef flags = NewLog(ZU_TYPE_BOOL, 2);
    EXPECT_TRUE(flags->InsertValue(ZuValueRef(5u)));
    EXPECT_TRUE(flags->InsertValue(ZuValueRef(0)));
    bool b[2] = {false, true};
    ASSERT_TRUE(flags->GetMultipleBool(0, b, 2));
    EXPECT_TRUE(b[0]);
    EXPECT_FALSE(b[1]);
}

TEST_F(DataLogTest, OtherTypesMakeALogOfValues)
{
    for (int type : {4, 6, 101, 255, -3}) {
        ZuDataLogRef log = NewLog(static_cast<ZuSimpleType>(type), 0);
        EXPECT_EQ(log->RetType(), ZU_TYPE_OBJECT) << type;
    }
    ZuDataLogRef log = NewLog(ZU_TYPE_ENUM, 3);
    ZuValueRef text(ZuObjectRef(ZuStringRef("bonjour")));
    EXPECT_TRUE(log->InsertValue(text));
    EXPECT_TRUE(log->InsertCard32(9));
    EXPECT_TRUE(log->InsertValue(ZuValueRef())); // an empty value is kept
    EXPECT_TRUE(log->InsertReal(1.5));           // overwrites the oldest

    EXPECT_EQ(log->TotalCount(), 4u);
    ZuValueRef v;
    ASSERT_TRUE(log->GetNthValue(3, v));
    EXPECT_EQ(v->RetReal(), 1.5);
    ASSERT_TRUE(log->GetNthValue(1, v));
    EXPECT_EQ(v->RetCard32(), 9u);
    ASSERT_TRUE(log->GetNthValue(2, v));
    EXPECT_TRUE(v.IsInvalid());
    EXPECT_FALSE(log->GetNthValue(4, v));
    unsigned int u = 0;
    EXPECT_FALSE(log->GetNthCard32(1, u));
    EXPECT_FALSE(log->GetMultipleCard32(1, &u, 1));

    // The log shares the value object it was given.
    ZuDataLogRef plain = NewLog(ZU_TYPE_TEXT, 0);
    ASSERT_TRUE(plain->InsertValue(text));
    ZuObjectRef o;
    ASSERT_TRUE(plain->Get(0, o));
    EXPECT_EQ(o, ZuObjectRef(text));
}

TEST_F(DataLogTest, LogsTheReadingOfABoundValue)
{
    TDataLogSourceRef source(ZuNew<TDataLogSource>());
    ZuDataLogRef log = NewLog(ZU_TYPE_INT, 0);

    // Nothing bound: nothing logged.
    log->AutoInsertFromSource();
    EXPECT_EQ(log->TotalCount(), 0u);

    ASSERT_TRUE(log->InitValueByName(source, ZuAtomRef("level")));
    source->level = 1;
    log->FlushCacheAndAutoInsertFromSource();
    source->level = 2;
    log->AutoInsertFromSource(); // the cached reading
    EXPECT_TRUE(ZuObject::Action(log, ZuStringRef("FlushCacheAndAutoInsertFromSource")));
    source->level = 3;
    EXPECT_TRUE(ZuObject::Action(log, ZuStringRef("FlushCache")));
    EXPECT_TRUE(ZuObject::Action(log, ZuStringRef("AutoInsertFromSource")));
    int out[4] = {};
    ASSERT_TRUE(log->GetMultipleInt32(0, out, 4));
    EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{1, 1, 2, 3}));

    // By path, into a log of values.
    ZuDataLogRef values = NewLog(ZU_TYPE_OBJECT, 0);
    ASSERT_TRUE(values->InitValueByPath(source, ZuStringRef("level")));
    values->FlushCacheAndAutoInsertFromSource();
    ZuValueRef v;
    ASSERT_TRUE(values->GetNthValue(0, v));
    EXPECT_EQ(v->RetInt32(), 3);
}

TEST_F(DataLogTest, RestoredLogIsEmptyWithItsTypeAndRing)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    for (ZuSimpleType type : {ZU_TYPE_REAL, ZU_TYPE_TEXT, ZU_TYPE_NONE}) {
        ZuDataLogRef log = NewLog(type, 4);
        log->InsertReal(2.0);
        store->StartStoring();
        ZuStorageRef(store) << log;
        store->StartRestoring(store->Bytes());
        ZuDataLogRef back;
        ZuStorageRef(store) >> back;
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(back->RetType(), log->RetType());
        EXPECT_EQ(back->TotalCount(), 0u);
        if (type == ZU_TYPE_NONE)
            continue;
        // The ring size came back.
        for (int i = 0; i < 6; ++i)
            EXPECT_TRUE(back->InsertReal(i));
        ZuValueRef v;
        ASSERT_TRUE(back->GetNthValue(0, v));
        EXPECT_EQ(v->RetReal(), 4.0);
    }
}

TEST_F(DataLogTest, RingTooLargeForMemoryIsRefused)
{
    // A ring size read from a file may not fit in the zone's sizes: the
    // entry is refused instead of being written past a wrapped-round buffer.
    ZuDataLogRef log = NewLog(ZU_TYPE_REAL, 0x40000000u);
    EXPECT_FALSE(log->InsertReal(1.0));
    EXPECT_EQ(log->TotalCount(), 0u);
    double r = 0;
    EXPECT_FALSE(log->GetNthReal(0, r));
}

// A data log as a damaged file holds it: its query arrays are stored as
// other objects. The class name has the length of the real one, so that a
// test can rename it in the stream.
ZU_HANDLE(ZuDataLoh, ZuDataLog)
class ZuDataLoh : public ZuDataLog {
    ZU_CLASS(ZuDataLoh, ZuDataLog)
public:
    ZuDataLoh() {}
    ZuObjectRef roots;
    ZuObjectRef names;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuBaseContainer::StoreInstance(s);
        static ZuStorageSync smart(
            "<ZuiSmartSource query_roots query_names is_cache_volatile max_num num>");
        s << smart << ZuStorageSync::begin << roots << names;
        s->StoreBool(false);
        s->StoreCard(0);
        s->StoreCard(0);
        s << ZuStorageSync::end;
        static ZuStorageSync log("<ZuDataLog type cyclic_size>");
        s << log << ZuStorageSync::begin << ZU_TYPE_REAL;
        s->StoreCard(4);
        s << ZuStorageSync::end;
    }
};
ZU_CLASS_END(ZuDataLoh)
ZU_IMPLEMENT_CLASS(ZuDataLoh, "tests/datalog", ZU_CLASS_PLAIN)

// A stored reference of the wrong class is a stream error (a conversion of
// it escaped restoring and ended the program).
TEST_F(DataLogTest, QueryArraysOfAnotherClassAreBadData)
{
    struct Case {
        ZuObjectRef roots;
        ZuObjectRef names;
    };
    ZuArrayRef array(
        ZuClassFactory::New(ZuArrayRef::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__));
    const Case cases[] = {
        {ZuStringRef("pas un tableau"), array},
        {array, ZuObjectRef(ZuAtomRef("racine"))},
        {NewLog(ZU_TYPE_REAL, 2), array},
    };
    for (const Case& c : cases) {
        ZuDataLohRef damaged(
            ZuClassFactory::New(ZuDataLohRef::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__));
        damaged->roots = c.roots;
        damaged->names = c.names;
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(damaged);
        std::vector<unsigned char> bytes = store->Bytes();
        std::string const from = "ZuDataLoh";
        for (std::size_t at = 0; at + from.size() <= bytes.size(); at++)
            if (std::equal(from.begin(), from.end(), bytes.begin() + std::ptrdiff_t(at)))
                bytes[at + from.size() - 1] = 'g';
        store->StartRestoring(bytes);
        ZuObjectRef back;
        EXPECT_THROW(store->RestoreObject(back, ZuRuntimeRef()), ZuExcStream);
        EXPECT_TRUE(back.IsInvalid());
    }
    // The same stream with arrays reads.
    ZuDataLohRef sound(
        ZuClassFactory::New(ZuDataLohRef::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__));
    sound->roots = array;
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(sound);
    std::vector<unsigned char> bytes = store->Bytes();
    bytes[std::size_t(std::search(bytes.begin(), bytes.end(), std::begin("ZuDataLoh"),
                                  std::end("ZuDataLoh") - 1) -
                      bytes.begin()) +
          8] = 'g';
    store->StartRestoring(bytes);
    ZuObjectRef back;
    store->RestoreObject(back, ZuRuntimeRef());
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->IsA(ZuDataLogRef::RetRuntime()));
}
