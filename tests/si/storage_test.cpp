// The storage object: object graphs, identifiers, atoms, blocks, modes and
// bad input.
#include "si/storage.h"

#include "si/except.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include "si/array.h"
#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/dataslot.h"
#include "si/phantom.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Slice(const Bytes& b, std::size_t from, std::size_t n)
{
    return Bytes(b.begin() + std::ptrdiff_t(from), b.begin() + std::ptrdiff_t(from + n));
}

// Index of the first occurrence of needle in hay at or after from, or npos.
std::size_t Find(const Bytes& hay, const Bytes& needle, std::size_t from = 0)
{
    if (needle.size() > hay.size())
        return std::string::npos;
    for (std::size_t i = from; i + needle.size() <= hay.size(); i++)
        if (std::memcmp(hay.data() + i, needle.data(), needle.size()) == 0)
            return i;
    return std::string::npos;
}

Bytes Text(const char* s)
{
    return Bytes(s, s + std::strlen(s));
}

class StorageTest : public ZuviRuntimeTest {
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
    ZuTestStorageRef store;
};

TEST_F(StorageTest, ScalarsThroughTheHandleOperators)
{
    store->StartStoring();
    ZuStorageRef s = store;
    s << 0 << 255 << 256 << -129 << 65536u << true << 2.0 << (unsigned char)200 << (short)-5;
    EXPECT_EQ(store->Bytes(),
              (Bytes{0x1C, 0x15, 0xFF, 0x19, 0x01, 0x00, 0x18, 0xFF, 0x7F, 0x11, 0x00,
                     0x01, 0x00, 0x00, 0x09, 0x31, 0x15, 0x02, 0x15, 0xC8, 0x14, 0xFB}));
    store->StartRestoring(store->Bytes());
    int a = 9, b = 9, c = 9, d = 9;
    unsigned e = 9;
    bool f = false;
    double g = 0;
    unsigned char h = 0;
    short i = 0;
    s >> a >> b >> c >> d >> e >> f >> g >> h >> i;
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(c, 256);
    EXPECT_EQ(d, -129);
    EXPECT_EQ(e, 65536u);
    EXPECT_TRUE(f);
    EXPECT_EQ(g, 2.0);
    EXPECT_EQ(h, 200);
    EXPECT_EQ(i, -5);
}

TEST_F(StorageTest, MissingFieldsKeepTheVariablesValue)
{
    store->StartRestoring({0xFD});
    ZuStorageRef s = store;
    int a = 17;
    double d = 2.5;
    bool b = true;
    unsigned long long c = 99;
    s >> a >> d >> b >> c;
    EXPECT_EQ(a, 17);
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(b);
    EXPECT_EQ(c, 99u);
    EXPECT_TRUE(store->CheckForEnd());
}

TEST_F(StorageTest, AtomIsWrittenByNameThenByIdentifier)
{
    store->StartStoring();
    ZuStorageRef s = store;
    ZuAtomRef abc("abc");
    s << abc << abc << ZuAtomRef();
    EXPECT_EQ(store->Bytes(), (Bytes{0x50, 0x03, 'a', 'b', 'c', 0x51, 0x01, 0x50, 0x00}));

    store->StartRestoring(store->Bytes());
    ZuAtomRef x, y, z("zzz");
    store->RestoreAtom(x);
    store->RestoreAtom(y);
    store->RestoreAtom(z);
    EXPECT_TRUE(x == abc);
    EXPECT_TRUE(y == abc);
    EXPECT_TRUE(z.IsInvalid());
}

TEST_F(StorageTest, AtomsLongerThanTheLengthFieldAreRefused)
{
    store->StartStoring();
    std::string const text(70000, 'q');
    ZuAtomRef big(text.c_str());
    EXPECT_THROW(store->StoreAtom(big), ZuExcStream);
    EXPECT_TRUE(store->Bytes().empty());
    // The name table did not learn it either: a short atom still gets ID 1.
    store->StoreAtom(ZuAtomRef("ok"));
    EXPECT_EQ(store->Bytes(), (Bytes{0x50, 0x02, 'o', 'k'}));
}

TEST_F(StorageTest, SameObjectTwiceIsWrittenOnceThenReferenced)
{
    ZuTestNodeRef node = ZuTestNode::Make(7);
    store->StartStoring();
    store->StoreObject(node);
    std::size_t const first = store->Bytes().size();
    store->StoreObject(node);
    const Bytes bytes = store->Bytes();
    // 40, name length, name ID 1, object ID 1, the class name.
    Bytes head = {0x40, 10, 0x01, 0x01};
    Bytes name = Text("ZuTestNode");
    head.insert(head.end(), name.begin(), name.end());
    EXPECT_EQ(Slice(bytes, 0, head.size()), head);
    // Then the data record of object 1 follows at once.
    EXPECT_EQ(Slice(bytes, head.size(), 2), (Bytes{0x43, 0x01}));
    // The second time: 42 and the same ID, nothing else.
    EXPECT_EQ(Slice(bytes, first, bytes.size() - first), (Bytes{0x42, 0x01}));

    store->StartRestoring(bytes);
    ZuObjectRef a, b;
    store->RestoreObject(a, ZuTestNodeRef::RetRuntime());
    store->RestoreObject(b, ZuTestNodeRef::RetRuntime());
    ASSERT_TRUE(a.IsValid());
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == node);
    EXPECT_EQ(ZuTestNodeRef(a)->value, 7);

    // A new run numbers from 1 again.
    store->StartStoring();
    store->StoreObject(node);
    EXPECT_EQ(Slice(store->Bytes(), 0, 4), (Bytes{0x40, 10, 0x01, 0x01}));
}

TEST_F(StorageTest, SecondObjectOfAClassUsesTheKnownName)
{
    ZuTestNodeRef a = ZuTestNode::Make(1), b = ZuTestNode::Make(2);
    store->StartStoring();
    store->StoreObject(a);
    std::size_t const first = store->Bytes().size();
    store->StoreObject(b);
    const Bytes bytes = store->Bytes();
    // Name ID 1 was the class name; the node's own record adds names after
    // it, so the class is found again by its ID 1 and the object is 2.
    EXPECT_EQ(Slice(bytes, first, 3), (Bytes{0x41, 0x01, 0x02}));
}

TEST_F(StorageTest, PendingDataIsWrittenNewestFirst)
{
    // A refers to B and C: A's reference and data, then C's data, then B's.
    ZuTestNodeRef a = ZuTestNode::Make(1), b = ZuTestNode::Make(2), c = ZuTestNode::Make(3);
    a->a = b;
    a->b = c;
    store->StartStoring();
    store->StoreObject(a);
    const Bytes bytes = store->Bytes();
    std::size_t const data_a = Find(bytes, {0x43, 0x01});
    std::size_t const data_c = Find(bytes, {0x43, 0x03});
    std::size_t const data_b = Find(bytes, {0x43, 0x02});
    ASSERT_NE(data_a, std::string::npos);
    ASSERT_NE(data_b, std::string::npos);
    ASSERT_NE(data_c, std::string::npos);
    EXPECT_LT(data_a, data_c);
    EXPECT_LT(data_c, data_b);

    store->StartRestoring(bytes);
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->value, 1);
    EXPECT_EQ(ZuTestNodeRef(back->a)->value, 2);
    EXPECT_EQ(ZuTestNodeRef(back->b)->value, 3);
}

TEST_F(StorageTest, CyclesRoundTrip)
{
    ZuTestNodeRef a = ZuTestNode::Make(1), b = ZuTestNode::Make(2);
    a->a = b;
    b->a = a;
    b->b = b;
    store->StartStoring();
    store->StoreObject(a);
    store->StartRestoring(store->Bytes());
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    ZuTestNodeRef back_b = back->a;
    ASSERT_TRUE(back_b.IsValid());
    EXPECT_EQ(back_b->value, 2);
    EXPECT_TRUE(back_b->a == back);
    EXPECT_TRUE(back_b->b == back_b);
    // Break the cycles so that the objects can go.
    a->Delete();
    b->Delete();
    back->Delete();
    back_b->Delete();
}

// A ring of nodes with shared links and a few names, like a document's
// objects: restored, compared field by field and stored again, it gives the
// same bytes; an object read in the run is known to the run's writer.
TEST_F(StorageTest, LargeGraphRestoredAndStoredAgainGivesTheSameBytes)
{
    const int n = 3000;
    std::vector<ZuTestNodeRef> nodes(n);
    for (int i = 0; i < n; i++) {
        nodes[i] = ZuTestNode::Make(i * 7 - 1000);
        if (i % 5 == 0)
            nodes[i]->name = ZuAtomRef(i % 2 ? "bord" : "un nom assez long pour un enregistrement");
    }
    for (int i = 0; i < n; i++) {
        nodes[i]->a = nodes[(i + 1) % n];
        nodes[i]->b = nodes[(i * 31 + 17) % n];
    }
    store->StartStoring();
    store->StoreObject(nodes[0]);
    const Bytes first = store->Bytes();

    store->StartRestoring(first);
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(0u, store->Remaining());
    std::vector<ZuTestNodeRef> got(n);
    got[0] = back;
    for (int i = 1; i < n; i++) {
        got[i] = got[i - 1]->a;
        ASSERT_TRUE(got[i].IsValid()) << i;
    }
    EXPECT_TRUE(ZuTestNodeRef(got[n - 1]->a) == back);
    for (int i = 0; i < n; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(nodes[i]->value, got[i]->value);
        EXPECT_TRUE(got[i]->b == got[(i * 31 + 17) % n]);
        EXPECT_EQ(nodes[i]->name.IsValid(), got[i]->name.IsValid());
        if (nodes[i]->name.IsValid() && got[i]->name.IsValid()) {
            EXPECT_TRUE(nodes[i]->name == got[i]->name);
        }
    }
    // The same run writes the root it read as a reference only.
    std::size_t const before = store->Bytes().size();
    store->StoreObject(got[n / 2]);
    EXPECT_LT(store->Bytes().size() - before, 8u);

    store->StartStoring();
    store->StoreObject(back);
    EXPECT_TRUE(store->Bytes() == first);
    store->StartStoring();
    for (int i = 0; i < n; i++) {
        nodes[i]->Delete();
        got[i]->Delete();
    }
}

TEST_F(StorageTest, AbsentBlockGivesDefaultsAndContinuesAfterItsEnd)
{
    // What an older writer left: the node's block is replaced by a mark.
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuStorageSync::mark << 5;
    store->StartRestoring(store->Bytes());
    int inside = 42;
    s >> ZuStorageSync::begin >> inside >> ZuStorageSync::end;
    EXPECT_EQ(inside, 42);
    int after = 0;
    s >> ZuStorageSync::mark >> after;
    EXPECT_EQ(after, 5);
}

TEST_F(StorageTest, MarkMissingFromItsBlockIsSoughtNoFurtherThanTheBlocksEnd)
{
    // The block holds items but not the mark its reader wants: the items
    // are passed over, the mark reads as absent, and the block's end still
    // ends it. (Seeking on past the end read what follows as the block's.)
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuStorageSync::begin << 1 << 2 << ZuStorageSync::end << ZuStorageSync::mark << 9;
    store->StartRestoring(store->Bytes());
    int inside = 42, after = 0;
    s >> ZuStorageSync::begin >> ZuStorageSync::mark >> inside >> ZuStorageSync::end;
    EXPECT_EQ(inside, 42);
    s >> ZuStorageSync::mark >> after;
    EXPECT_EQ(after, 9);
    EXPECT_EQ(store->Remaining(), 0u);
}

TEST_F(StorageTest, BlockAppendedByANewerVersionReadsAsAbsent)
{
    // Older data: the class's block ends where the newer reader expects a
    // nested block of its own; the nested block reads as defaults.
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuStorageSync::begin << 1 << ZuStorageSync::end << 9;
    store->StartRestoring(store->Bytes());
    int known = 0, added = 33, after = 0;
    s >> ZuStorageSync::begin >> known >> ZuStorageSync::begin >> added >> ZuStorageSync::end >>
        ZuStorageSync::end >> after;
    EXPECT_EQ(known, 1);
    EXPECT_EQ(added, 33);
    EXPECT_EQ(after, 9);
}

TEST_F(StorageTest, ANewRunForgetsAbsentBlocksOfThePreviousOne)
{
    // The first input ends inside an absent block.
    store->StartRestoring({0xFE});
    ZuStorageRef s = store;
    s >> ZuStorageSync::begin;
    // The next run reads its own block normally.
    store->StartRestoring({0xFC, 0x15, 0x04, 0xFD});
    int v = 0;
    s >> ZuStorageSync::begin >> v >> ZuStorageSync::end;
    EXPECT_EQ(v, 4);
    EXPECT_EQ(store->Remaining(), 0u);
}

TEST_F(StorageTest, UnknownFieldsBeforeEndAreSkipped)
{
    // A newer writer appended two fields and a nested block to a block.
    store->StartStoring();
    ZuStorageRef s = store;
    ZuTestNodeRef extra = ZuTestNode::Make(9);
    s << ZuStorageSync::begin << 1 << 2.5 << ZuAtomRef("new") << ZuStorageSync::begin << 3
      << ZuStorageSync::mark << ZuStorageSync::end << extra << ZuStorageSync::end << 77;
    store->StartRestoring(store->Bytes());
    int known = 0, after = 0;
    s >> ZuStorageSync::begin >> known >> ZuStorageSync::end >> after;
    EXPECT_EQ(known, 1);
    EXPECT_EQ(after, 77);
}

TEST_F(StorageTest, ClassRecordsAreAtomsAndTypePassesOverThem)
{
    static ZuStorageSync record("<Thing a b>");
    store->StartStoring();
    ZuStorageRef s = store;
    s << record << ZuStorageSync::begin << 4 << ZuStorageSync::end << record;
    Bytes expect = {0x80, 0x50, 11};
    Bytes text = Text("<Thing a b>");
    expect.insert(expect.end(), text.begin(), text.end());
    Bytes rest = {0xFC, 0x15, 0x04, 0xFD, 0x80, 0x51, 0x01};
    expect.insert(expect.end(), rest.begin(), rest.end());
    EXPECT_EQ(store->Bytes(), expect);

    store->StartRestoring(store->Bytes());
    int v = 0;
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> v >> ZuStorageSync::end >>
        ZuStorageSync::type;
    EXPECT_EQ(v, 4);
}

TEST_F(StorageTest, LocalModeKeepsAllAddressBits)
{
    ZuTestNodeRef node = ZuTestNode::Make(3);
    store->SetMode(ZuStorage::ZU_STORAGE_LOCAL);
    store->StoreObject(node);
    const Bytes bytes = store->Bytes();
    std::uint64_t const address =
        std::uint64_t(reinterpret_cast<std::uintptr_t>(node.RetRawObject()));
    if (address >> 32)
        ASSERT_EQ(bytes.size(), 9u);
    else
        ASSERT_EQ(bytes.size(), 5u);
    store->StartRestoring(bytes, ZuStorage::ZU_STORAGE_LOCAL);
    ZuObjectRef back;
    store->RestoreObject(back, ZuRuntimeRef());
    EXPECT_TRUE(back == node);
}

TEST_F(StorageTest, ModeOffWritesNulls)
{
    ZuTestNodeRef node = ZuTestNode::Make(3);
    store->SetMode(ZuStorage::ZU_STORAGE_OFF);
    store->StoreObject(node);
    EXPECT_EQ(store->Bytes(), (Bytes{0x00}));
}

// ---- bad input --------------------------------------------------------------

TEST_F(StorageTest, CorruptStreamsThrowAndLeaveTheHandleAlone)
{
    const Bytes name = Text("ZuTestNode");
    auto node_head = [&](unsigned char name_len, Bytes ids) {
        Bytes b = {0x40, name_len};
        b.insert(b.end(), ids.begin(), ids.end());
        b.insert(b.end(), name.begin(), name.end());
        return b;
    };
    Bytes good;
    {
        ZuTestNodeRef n = ZuTestNode::Make(5);
        n->a = ZuTestNode::Make(6);
        store->StartStoring();
        store->StoreObject(n);
        good = store->Bytes();
    }
    std::vector<Bytes> bad = {
        {},                             // nothing at all
        {0x43},                         // cut inside an item
        {0x42, 0x01},                   // reference to an object never met
        {0x41, 0x05, 0x01},             // name never met
        {0x12, 0x00, 0x00, 0x10, 0x00}, // an address from outside
        {0x22, 0, 0, 0, 1, 0, 0, 0, 0}, // a 64-bit one too
        {0x60},                         // no such tag
        node_head(10, {0x01, 0x02}),    // object ID out of order
        node_head(10, {0x02, 0x01}),    // name ID out of order
        {0x40, 0x07, 0x01, 0x01, 'N', 'o', 'C', 'l', 'a', 's', 's'},           // unknown class
        {0x40, 0x09, 0x01, 0x01, 'Z', 'u', 'S', 't', 'o', 'r', 'a', 'g', 'e'}, // abstract class
        {0x40, 0x06, 0x01, 0x01, 'Z', 'u', 'A', 't', 'o', 'm'}, // atoms are never records
    };
    // Every cut of a good stream.
    for (std::size_t n = 1; n < good.size(); n++)
        bad.push_back(Slice(good, 0, n));
    // A wrong tag where the data record must follow.
    Bytes no_data = good;
    no_data[node_head(10, {1, 1}).size()] = 0x1C;
    bad.push_back(no_data);

    for (const Bytes& b : bad) {
        store->StartRestoring(b);
        ZuObjectRef handle = ZuTestNode::Make(-1);
        ZuObject* before = handle.RetRawObject();
        EXPECT_THROW(store->RestoreObject(handle, ZuTestNodeRef::RetRuntime()), ZuExcStream)
            << "stream of " << b.size() << " bytes";
        EXPECT_EQ(handle.RetRawObject(), before);
    }
}

TEST_F(StorageTest, HalfBuiltObjectsAreDetachedFromTheTable)
{
    Bytes good;
    {
        ZuTestNodeRef n = ZuTestNode::Make(5);
        n->a = ZuTestNode::Make(6);
        n->b = n;
        store->StartStoring();
        store->StoreObject(n);
        good = store->Bytes();
    }
    store->StartRestoring(Slice(good, 0, good.size() - 2));
    const unsigned made = ZuTestNode::made, deleted = ZuTestNode::deleted;
    ZuObjectRef handle;
    EXPECT_THROW(store->RestoreObject(handle, ZuTestNodeRef::RetRuntime()), ZuExcStream);
    EXPECT_TRUE(handle.IsInvalid());
    // Both nodes were made, and both were taken apart again.
    EXPECT_EQ(ZuTestNode::made - made, 2u);
    EXPECT_EQ(ZuTestNode::deleted - deleted, 2u);
}

TEST_F(StorageTest, DeeplyNestedInputIsRefused)
{
    // Items that each open another item, without end.
    for (unsigned char tag : {0x45, 0x52, 0x31}) {
        Bytes deep(100000, tag);
        store->StartRestoring(deep);
        ZuObjectRef handle;
        EXPECT_THROW(store->RestoreObject(handle, ZuRuntimeRef()), ZuExcStream) << int(tag);
    }
}

TEST(StorageDeathTest, UnknownModeStops)
{
    ZuviStartRuntime();
    ZuTestStorageRef store = ZuTestStorage::Make();
    EXPECT_DEATH(store->SetMode(ZuStorage::StorageMode(3)), "Unknown storage mode specified\\.");
    store = static_cast<ZuTestStorage*>(nullptr);
    ZuviStopRuntime();
}

} // namespace

namespace {

class StorageValueTest : public ZuviRuntimeTest {
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
    ZuTestStorageRef store;
};

TEST_F(StorageValueTest, ScalarItemsReadAsValuesWhereAnObjectIsExpected)
{
    store->StartRestoring({0x15, 0x07, 0x09, 0x33, 0x14, 0xFF});
    ZuValueRef v;
    ZuStorageRef s = store;
    s >> v;
    ASSERT_TRUE(v.IsValid());
    EXPECT_EQ(v->RetType(), ZU_TYPE_CARD); // 1..65535 come back as cards
    EXPECT_EQ(v->RetInt64(), 7);
    s >> v;
    EXPECT_TRUE(v->RetBool());
    s >> v;
    EXPECT_EQ(v->RetReal(), 1.0);
    s >> v;
    EXPECT_EQ(v->RetType(), ZU_TYPE_INT);
    EXPECT_EQ(v->RetInt64(), -1);
}

TEST_F(StorageValueTest, PlainValuesTravelAsScalars)
{
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuObjectRef(ZuValueRef(true)) << ZuObjectRef(ZuValueRef(-3))
      << ZuObjectRef(ZuValueRef(70000u)) << ZuObjectRef(ZuValueRef(0.0));
    EXPECT_EQ(store->Bytes(), (Bytes{0x09, 0x14, 0xFD, 0x11, 0x00, 0x01, 0x11, 0x70, 0x32}));
}

TEST_F(StorageValueTest, ScalarReadersConvertOtherItemsThroughValues)
{
    // An int field that was written as a value object of kind real, and a
    // bool field written as an atom "1": both read as the kind asked for.
    store->StartRestoring({0x31, 0x15, 0x05});
    EXPECT_EQ(store->RestoreReal(0.0), 5.0);
    store->StartRestoring({0x33});
    EXPECT_EQ(store->RestoreInt(9), 1);
}

TEST_F(StorageValueTest, TextsConvertToTheExpectedTextClass)
{
    // A stored atom read into a string handle gives a string of its text.
    store->StartStoring();
    ZuStorageRef s = store;
    s << ZuAtomRef("hello");
    store->StartRestoring(store->Bytes());
    ZuStringRef text;
    s >> text;
    ASSERT_TRUE(text.IsValid());
    EXPECT_TRUE(ZuAtomRef(text) == ZuAtomRef("hello"));

    // A node where a string is expected is refused as bad data.
    ZuTestNodeRef node = ZuTestNode::Make(1);
    store->StartStoring();
    s << node;
    store->StartRestoring(store->Bytes());
    ZuStringRef wrong;
    EXPECT_THROW(s >> wrong, ZuExcStream);
    EXPECT_TRUE(wrong.IsInvalid());
}

TEST_F(StorageValueTest, CountsAreCheckedAgainstTheInputLeft)
{
    store->StartRestoring({1, 2, 3});
    EXPECT_TRUE(store->CanHoldItems(3));
    EXPECT_FALSE(store->CanHoldItems(4));
    EXPECT_FALSE(store->CanHoldItems(0xFFFFFFFFull));
    EXPECT_TRUE(store->CheckForBegin() == false); // a peek keeps the byte
    EXPECT_TRUE(store->CanHoldItems(3));
}

} // namespace

// ---- round trips of the library's own classes ---------------------------------

namespace {

class StorageRoundTripTest : public ZuviRuntimeTest {
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
    // Stores the object, then reads it back from the bytes in a new run.
    ZuObjectRef RoundTrip(const ZuObjectRef& object, const ZuRuntimeRef& type)
    {
        store->StartStoring();
        store->StoreObject(object);
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        store->RestoreObject(back, type);
        EXPECT_EQ(store->Remaining(), 0u);
        return back;
    }
    ZuTestStorageRef store;
};

TEST_F(StorageRoundTripTest, StringDataIsWrittenWhereItIsReferenced)
{
    // A node holds a string and another node: the string's data record
    // follows its reference inside the node's data, the other node's data
    // comes after the node's data ends.
    ZuTestNodeRef node = ZuTestNode::Make(1);
    node->a = ZuTestNode::Make(2);
    node->b = ZuStringRef("texte");
    store->StartStoring();
    store->StoreObject(node);
    const Bytes bytes = store->Bytes();
    std::size_t const node_data = Find(bytes, {0x43, 0x01});
    std::size_t const string_data = Find(bytes, {0x43, 0x03});
    std::size_t const other_data = Find(bytes, {0x43, 0x02});
    ASSERT_NE(string_data, std::string::npos);
    ASSERT_NE(other_data, std::string::npos);
    EXPECT_LT(node_data, string_data);
    EXPECT_LT(string_data, other_data);

    store->StartRestoring(bytes);
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    ZuStringRef text = back->b;
    ASSERT_TRUE(text.IsValid());
    EXPECT_TRUE(ZuAtomRef(text) == ZuAtomRef("texte"));
    EXPECT_EQ(ZuTestNodeRef(back->a)->value, 2);
}

TEST_F(StorageRoundTripTest, AtomPathComesBackWithItsAtoms)
{
    ZuAtomPathRef path("def.notify_Modify");
    ZuObjectRef back = RoundTrip(path, ZuAtomPathRef::RetRuntime());
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(ZuAtomRef(ZuAtomPathRef(back)->RetString()) == ZuAtomRef("def.notify_Modify"));
}

TEST_F(StorageRoundTripTest, ValueHoldingAStringComesBack)
{
    ZuValueRef value(ZuObjectRef(ZuStringRef("dans une valeur")));
    ZuObjectRef back = RoundTrip(value, ZuValueRef::RetRuntime());
    ASSERT_TRUE(back.IsValid());
    ZuStringRef text = static_cast<ZuValue*>(back.Resolve())->RetObject();
    ASSERT_TRUE(text.IsValid());
    EXPECT_TRUE(ZuAtomRef(text) == ZuAtomRef("dans une valeur"));
}

TEST_F(StorageRoundTripTest, ArrayWithGapsKeepsItsPlaces)
{
    ZuArrayRef array(ZuNew<ZuArray>());
    array->SetSize(5);
    array[0] = ZuTestNode::Make(10);
    array[3] = ZuStringRef("trois");
    array[4] = array[0];
    ZuObjectRef back = RoundTrip(array, ZuArrayRef::RetRuntime());
    ASSERT_TRUE(back.IsValid());
    ZuArrayRef copy(back);
    ASSERT_EQ(copy->TotalCount(), 5u);
    EXPECT_EQ(ZuTestNodeRef(copy[0])->value, 10);
    EXPECT_TRUE(ZuObjectRef(copy[1]).IsInvalid());
    EXPECT_TRUE(ZuObjectRef(copy[2]).IsInvalid());
    EXPECT_TRUE(ZuAtomRef(ZuStringRef(ZuObjectRef(copy[3]))) == ZuAtomRef("trois"));
    EXPECT_TRUE(ZuObjectRef(copy[4]) == ZuObjectRef(copy[0]));
    array->RemoveAll();
    copy->RemoveAll();
}

} // namespace

// ---- unknown data and data slots ---------------------------------------------

namespace {

class StorageUnknownDataTest : public StorageRoundTripTest {};

Bytes Renamed(Bytes bytes, const char* from, const char* to)
{
    const Bytes f = Text(from);
    std::size_t at;
    while ((at = Find(bytes, f)) != std::string::npos)
        std::memcpy(bytes.data() + at, to, f.size());
    return bytes;
}

TEST_F(StorageUnknownDataTest, FieldsAnOlderReaderSkippedAreWrittenBackInPlace)
{
    // A newer writer's node, read by the older class and stored again,
    // gives the newer writer's bytes back.
    ZuTestNodeRef newer = ZuNew<ZuTestNod2>();
    newer->value = 12;
    // The linked node is of the newer class too, so that the renamed
    // stream names one class only.
    ZuTestNodeRef linked = ZuNew<ZuTestNod2>();
    linked->value = 3;
    newer->a = linked;
    newer->name = ZuAtomRef("n");
    store->StartStoring();
    store->StoreObject(newer);
    const Bytes written = Renamed(store->Bytes(), "ZuTestNod2", "ZuTestNode");

    store->StartRestoring(written);
    ZuTestNodeRef older;
    ZuStorageRef(store) >> older;
    ASSERT_TRUE(older.IsValid());
    EXPECT_FALSE(older->IsKindOf(ZuTestNod2Ref::RetRuntime()));
    EXPECT_EQ(older->value, 12);
    EXPECT_EQ(ZuTestNodeRef(older->a)->value, 3);
    EXPECT_EQ(store->Remaining(), 0u);

    store->StartStoring();
    store->StoreObject(older);
    EXPECT_EQ(store->Bytes(), written);

    // Read back once more by the older class: the same fields again.
    store->StartRestoring(store->Bytes());
    ZuTestNodeRef again;
    ZuStorageRef(store) >> again;
    ASSERT_TRUE(again.IsValid());
    EXPECT_EQ(again->value, 12);
    EXPECT_TRUE(again->name == ZuAtomRef("n"));
}

TEST_F(StorageUnknownDataTest, ObjectsWithNothingUnknownKeepNoTree)
{
    ZuTestNodeRef node = ZuTestNode::Make(4);
    ZuObjectRef back = RoundTrip(node, ZuTestNodeRef::RetRuntime());
    ASSERT_TRUE(back.IsValid());
    store->StartStoring();
    store->StoreObject(node);
    const Bytes first = store->Bytes();
    store->StartStoring();
    store->StoreObject(back);
    EXPECT_EQ(store->Bytes(), first);
}

TEST_F(StorageUnknownDataTest, DataSlotObjectsTravelByName)
{
    ZuDataSlotRef slot = ZuNew<ZuDataSlot>();
    ZuTestNodeRef shared = ZuTestNode::Make(99);
    slot->InsertField(ZuAtomRef("Shared Node"), shared);

    ZuTestNodeRef node = ZuTestNode::Make(1);
    node->a = shared;
    store->SetDataSlot(slot);
    store->StartStoring();
    store->StoreObject(node);
    const Bytes bytes = store->Bytes();
    Bytes slot_item = {0x44, 0x50, 11};
    Bytes name = Text("Shared Node");
    slot_item.insert(slot_item.end(), name.begin(), name.end());
    EXPECT_NE(Find(bytes, slot_item), std::string::npos);

    store->StartRestoring(bytes);
    ZuTestNodeRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->a == shared);

    // Without the slot the field is not found: the handle stays empty.
    store->RemoveDataSlot(slot);
    EXPECT_TRUE(store->RetDataSlot(0).IsInvalid());
    store->StartRestoring(bytes);
    ZuTestNodeRef lost;
    ZuStorageRef(store) >> lost;
    ASSERT_TRUE(lost.IsValid());
    EXPECT_TRUE(lost->a.IsInvalid());
}

TEST(StorageDeathTest, OnlyDataSlotZeroExists)
{
    ZuviStartRuntime();
    ZuTestStorageRef store = ZuTestStorage::Make();
    EXPECT_DEATH(store->RetDataSlot(1), "Failed assertion: index == 0");
    store = static_cast<ZuTestStorage*>(nullptr);
    ZuviStopRuntime();
}

} // namespace

namespace {

class StoragePhantomTest : public StorageRoundTripTest {};

TEST_F(StoragePhantomTest, PhantomIsWrittenInPlaceWithItsRootAndPath)
{
    ZuTestNodeRef root = ZuTestNode::Make(8);
    ZuPhantomRef phantom = ZuNew<ZuPhantom>();
    phantom->Initialise(root, ZuAtomPathRef("some.data"), true);
    ZuObjectRef held;
    static_cast<ZuObjectRef&>(held) = phantom;
    store->StartStoring();
    store->StoreObject(held);
    const Bytes bytes = store->Bytes();
    // 45, then at once the phantom's own data: no object record for it.
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 0x45);
    EXPECT_EQ(bytes[1], 0x80);

    store->StartRestoring(bytes);
    ZuObjectRef back;
    store->RestoreObject(back, ZuRuntimeRef());
    ASSERT_TRUE(back.RetRawObject() != nullptr);
    ZuPhantom* copy = static_cast<ZuPhantom*>(back.RetRawObject());
    ASSERT_TRUE(copy->IsA(ZuPhantomRef::RetRuntime()));
    EXPECT_TRUE(copy->IsConstObject());
    ASSERT_TRUE(copy->RetRoot().IsValid());
    EXPECT_EQ(ZuTestNodeRef(copy->RetRoot())->value, 8);
    EXPECT_TRUE(ZuAtomRef(copy->RetPath()->RetString()) == ZuAtomRef("some.data"));
    EXPECT_EQ(store->Remaining(), 0u);
}

TEST_F(StoragePhantomTest, WhereAClassIsExpectedAPhantomGivesWayToWhatItStandsFor)
{
    // The phantom's root is a data slot (stored with it) whose fields the
    // paths name: a node, a string, nothing.
    ZuDataSlotRef root(ZuNew<ZuDataSlot>());
    ZuTestNodeRef node = ZuTestNode::Make(4);
    root->InsertField("node", node);
    root->InsertField("text", ZuStringRef("not a node"));
    struct Case {
        const char* path;
        bool refused;
        int value; // of the node read, 0: an empty handle
    } const cases[] = {{"node", false, 4}, {"text", true, 0}, {"missing", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ZuPhantomRef phantom = ZuNew<ZuPhantom>();
        phantom->Initialise(root, ZuAtomPathRef(c.path), false);
        store->StartStoring();
        store->StoreObject(ZuObjectRef(phantom.RetRawObject()));
        const Bytes bytes = store->Bytes();
        phantom.RetRawObject()->Delete(); // -> would reach the target

        // Read where any object may stand, it stays a phantom.
        store->StartRestoring(bytes);
        ZuObjectRef any;
        store->RestoreObject(any, ZuRuntimeRef());
        EXPECT_TRUE(any.RetRawObject()->IsA(ZuPhantomRef::RetRuntime()));

        // Read as a node, the handle holds what the phantom stands for.
        store->StartRestoring(bytes);
        ZuTestNodeRef typed;
        if (c.refused) {
            EXPECT_THROW(ZuStorageRef(store) >> typed, ZuExcStream);
            continue;
        }
        ZuStorageRef(store) >> typed;
        EXPECT_FALSE(typed.IsPhantom());
        if (c.value == 0) {
            EXPECT_TRUE(typed.IsInvalid());
        } else {
            ASSERT_TRUE(typed.IsValid());
            EXPECT_TRUE(typed.RetRawObject()->IsA(ZuTestNodeRef::RetRuntime()));
            EXPECT_EQ(c.value, typed->value);
            EXPECT_NO_THROW(ZuTestNodeRef(ZuObjectRef(typed)));
        }
    }
    store->StartStoring();
    root->Delete();
    node->Delete();
}

} // namespace

// ---- restoring throws only stream errors -------------------------------------

#include "si/memzone.h"

// A class whose reading fails with the exception the test chooses, after
// it has read a node of its own.
ZU_HANDLE(ZuTestFailing, ZuObject)
class ZuTestFailing : public ZuObject {
    ZU_CLASS(ZuTestFailing, ZuObject)
public:
    ZuTestFailing() {}
    static int failure;
    ZuObjectRef held;

protected:
    void StoreInstance(const ZuStorageRef& storage) override
    {
        ZuObject::StoreInstance(storage);
        storage->StoreObject(held);
    }
    void RestoreInstance(const ZuStorageRef& storage) override
    {
        ZuObject::RestoreInstance(storage);
        storage->RestoreObject(held, ZuRuntimeRef());
        switch (failure) {
        case 1:
            throw ZuExcObject(ZuExcObject::ZU_OBJ_WRONG_CLASS, held.Resolve());
        case 2:
            throw ZuExcAccess(ZuExcAccess::ZU_ACCESS_OUT_OF_RANGE);
        case 3:
            throw ZuExcMemory(ZuExcMemory::ZU_MEM_NO_MEMORY, nullptr, __LINE__, __FILE__);
        }
    }
};
ZU_CLASS_END(ZuTestFailing)
ZU_IMPLEMENT_CLASS(ZuTestFailing, "tests/storage", ZU_CLASS_PLAIN)
int ZuTestFailing::failure = 0;

namespace {

TEST_F(StorageRoundTripTest, OtherLibraryExceptionsWhileReadingBecomeStreamErrors)
{
    for (int failure : {1, 2, 3}) {
        SCOPED_TRACE(failure);
        ZuTestFailingRef failing = ZuObjectRef(
            ZuClassFactory::New(ZuTestFailingRef::RetRuntime(), nullptr, __LINE__, __FILE__));
        failing->held = ZuTestNode::Make(5);
        ZuTestNodeRef outer = ZuTestNode::Make(1);
        outer->a = failing;
        store->StartStoring();
        store->StoreObject(outer);
        const unsigned made = ZuTestNode::made;
        const unsigned deleted = ZuTestNode::deleted;
        ZuTestFailing::failure = failure;
        store->StartRestoring(store->Bytes());
        ZuObjectRef back;
        EXPECT_THROW(store->RestoreObject(back, ZuRuntimeRef()), ZuExcStream);
        ZuTestFailing::failure = 0;
        EXPECT_TRUE(back.IsInvalid());
        // The nodes made by the failed read were taken apart.
        EXPECT_EQ(ZuTestNode::made - made, ZuTestNode::deleted - deleted);
    }
}

// The in-use bytes of the standard zones and the live handles: what a
// repeated operation must leave as it found.
struct Footprint {
    std::uint64_t bytes = 0;
    unsigned handles = 0;
    static Footprint Now()
    {
        ZuObjectRef::RealiseDeletions();
        Footprint f;
        for (ZuMemZone* zone : {Zuvi_data_zone, Zuvi_app_zone, Zuvi_temp_zone, Zuvi_iface_zone})
            f.bytes += zone->RetTotalBytes() - zone->RetFreeBytes();
        f.handles = ZuObjectRef::RetLiveHandleCount();
        return f;
    }
};

// Reading a newer file keeps the fields an older class skips as a list tree
// on each object; the trees go with their objects (they leaked on every
// load: a tree held a handle to itself).
TEST_F(StorageUnknownDataTest, LoadingNewerFilesLeavesTheZonesAsTheyWere)
{
    ZuTestNodeRef first, previous;
    for (int i = 0; i < 3; i++) {
        ZuTestNodeRef node = ZuObjectRef(
            ZuClassFactory::New(ZuTestNod2Ref::RetRuntime(), nullptr, __LINE__, __FILE__));
        node->value = i;
        if (previous.IsValid())
            previous->a = node;
        else
            first = node;
        previous = node;
    }
    store->StartStoring();
    store->StoreObject(first);
    const Bytes newer = Renamed(store->Bytes(), "ZuTestNod2", "ZuTestNode");
    first = previous = ZuTestNodeNull;

    auto load = [&] {
        store->StartRestoring(newer);
        ZuTestNodeRef back;
        ZuStorageRef(store) >> back;
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(ZuTestNodeRef(ZuTestNodeRef(back->a)->a)->value, 2);
        store->StartStoring(); // the storage lets go of what it read
        back = ZuTestNodeNull;
        ZuObjectRef::RealiseDeletions();
    };
    load();
    const Footprint before = Footprint::Now();
    for (int i = 0; i < 1000; i++)
        load();
    const Footprint after = Footprint::Now();
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.bytes, before.bytes);
}

} // namespace
