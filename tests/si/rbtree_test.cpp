#include "si/rbtree.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

// A test storage that also notes every card it writes.
ZU_HANDLE(TRbCardLog, ZuTestStorage)
class TRbCardLog : public ZuTestStorage {
    ZU_CLASS(TRbCardLog, ZuTestStorage)
public:
    TRbCardLog() {}
    void StoreCard(std::uint64_t value) override
    {
        cards.push_back(value);
        ZuTestStorage::StoreCard(value);
    }
    std::vector<std::uint64_t> cards;
};
ZU_CLASS_END(TRbCardLog)
ZU_IMPLEMENT_CLASS(TRbCardLog, "tests/rbtree", ZU_CLASS_PLAIN)

namespace {

class RBTreeTest : public ZuviRuntimeTest {
protected:
    static ZuRBTreeRef NewTree() { return ZuRBTreeRef(ZuNew<ZuRBTree>()); }

    // Black height of a subtree; -1 when a red node has a red child or
    // the black heights of two children differ.
    static int BlackHeight(const ZuRBTree::Node* n, const ZuRBTree::Node* nil)
    {
        if (n == nil)
            return 1;
        if (n->red && (n->left->red || n->right->red))
            return -1;
        const int l = BlackHeight(n->left, nil);
        const int r = BlackHeight(n->right, nil);
        if (l < 0 || l != r)
            return -1;
        return l + (n->red ? 0 : 1);
    }

    static std::vector<unsigned char> Store(const ZuRBTreeRef& tree)
    {
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(tree);
        return store->Bytes();
    }

    static ZuRBTreeRef Restore(const std::vector<unsigned char>& bytes)
    {
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartRestoring(bytes);
        ZuObjectRef back;
        store->RestoreObject(back, ZuRBTreeRef::RetRuntime());
        return ZuRBTreeRef(back);
    }
};

TEST_F(RBTreeTest, NearestFirstAndLast)
{
    ZuRBTreeRef tree = NewTree();
    unsigned key = 0;
    EXPECT_FALSE(tree->FindFirst(key));
    EXPECT_FALSE(tree->FindLast(key));
    for (unsigned k : {5u, 3u, 8u, 1u, 4u})
        tree->Insert(k, ZuValueRef(k * 10));

    struct Case {
        bool next; // FindNearestNext, else FindNearestPrev
        unsigned probe;
        bool found;
        unsigned key;
    } cases[] = {
        {false, 2, true, 1}, {true, 6, true, 8},  {true, 9, false, 0},   {false, 0, false, 0},
        {true, 4, true, 4},  {false, 4, true, 4}, {false, 100, true, 8}, {true, 0, true, 1},
    };
    for (const Case& c : cases) {
        ZuObjectRef result = ZuStringRef("untouched");
        const bool found = c.next ? tree->FindNearestNext(c.probe, result)
                                  : tree->FindNearestPrev(c.probe, result);
        EXPECT_EQ(found, c.found) << c.next << " " << c.probe;
        if (c.found)
            EXPECT_EQ(unsigned(ZuValueRef(result)), c.key * 10) << c.next << " " << c.probe;
        else
            EXPECT_TRUE(result->IsKindOf(ZuStringRef::RetRuntime())) << c.next << " " << c.probe;
    }
    ASSERT_TRUE(tree->FindFirst(key));
    EXPECT_EQ(key, 1u);
    ASSERT_TRUE(tree->FindLast(key));
    EXPECT_EQ(key, 8u);
    EXPECT_TRUE(tree->Find(3));
    EXPECT_FALSE(tree->Find(7));
}

TEST_F(RBTreeTest, OrderedInsertionsStayBalanced)
{
    for (bool increasing : {true, false}) {
        ZuRBTreeRef tree = NewTree();
        for (unsigned i = 1; i <= 1000; ++i)
            tree->Insert(increasing ? i : 1001 - i, ZuObjectNull);
        for (unsigned i = 1; i <= 1000; ++i)
            ASSERT_TRUE(tree->Find(i)) << i;
        ASSERT_NE(tree->RetRoot(), nullptr);
        EXPECT_FALSE(tree->RetRoot()->red);
        EXPECT_GT(BlackHeight(tree->RetRoot(), tree->RetNil()), 0) << increasing;
    }
}

TEST_F(RBTreeTest, EqualKeysAreAllKept)
{
    ZuRBTreeRef tree = NewTree();
    ZuStringRef a("a"), b("b");
    tree->Insert(7, a);
    tree->Insert(7, b);
    ZuObjectRef removed;
    ASSERT_TRUE(tree->Remove(7, removed));
    EXPECT_TRUE(removed == a || removed == b);
    ZuObjectRef left;
    ASSERT_TRUE(tree->Find(7, left));
    EXPECT_TRUE(left != removed);
    EXPECT_TRUE(tree->Remove(7));
    EXPECT_FALSE(tree->Remove(7));
    unsigned key = 0;
    EXPECT_FALSE(tree->FindFirst(key));
}

TEST_F(RBTreeTest, AgreesWithAMultimap)
{
    std::mt19937 random(1234);
    ZuRBTreeRef tree = NewTree();
    std::multimap<unsigned, unsigned> model;
    for (int step = 0; step < 6000; ++step) {
        const unsigned key = random() % 300;
        switch (random() % 5) {
        case 0:
        case 1:
            tree->Insert(key, ZuValueRef(key));
            model.emplace(key, key);
            break;
        case 2: {
            auto it = model.find(key);
            ZuObjectRef removed;
            ASSERT_EQ(tree->Remove(key, removed), it != model.end()) << step;
            if (it != model.end()) {
                EXPECT_EQ(unsigned(ZuValueRef(removed)), key);
                model.erase(it);
            }
            break;
        }
        case 3: {
            unsigned found = 0;
            auto it = model.lower_bound(key);
            ASSERT_EQ(tree->FindNearestNextKey(key, found), it != model.end()) << step;
            if (it != model.end()) {
                EXPECT_EQ(found, it->first) << step;
            }
            break;
        }
        default: {
            unsigned found = 0;
            auto it = model.upper_bound(key);
            const bool exists = it != model.begin();
            ASSERT_EQ(tree->FindNearestPrevKey(key, found), exists) << step;
            if (exists) {
                EXPECT_EQ(found, std::prev(it)->first) << step;
            }
            break;
        }
        }
        unsigned first = 0, last = 0;
        ASSERT_EQ(tree->FindFirst(first), !model.empty());
        ASSERT_EQ(tree->FindLast(last), !model.empty());
        if (!model.empty()) {
            EXPECT_EQ(first, model.begin()->first);
            EXPECT_EQ(last, model.rbegin()->first);
        }
    }
}

TEST_F(RBTreeTest, StoredWithChildCodes)
{
    // Empty objects, so that no object item writes cards of its own.
    ZuRBTreeRef plain = NewTree();
    for (unsigned k : {2u, 1u, 3u})
        plain->Insert(k, ZuObjectNull);
    ASSERT_EQ(plain->RetRoot()->key, 2u);
    TRbCardLogRef log(ZuNew<TRbCardLog>());
    log->StartStoring();
    log->StoreObject(plain);
    // The card 1 (a root follows), then key and code of each node in
    // pre-order.
    const std::vector<std::uint64_t> expected = {1, 2, 3, 1, 0, 3, 0};
    EXPECT_NE(std::search(log->cards.begin(), log->cards.end(), expected.begin(), expected.end()),
              log->cards.end());

    ZuRBTreeRef tree = NewTree();
    tree->Insert(2, ZuStringRef("two"));
    tree->Insert(1, ZuStringRef("one"));
    tree->Insert(3, ZuStringRef("three"));
    log->StartStoring();
    log->StoreObject(tree);
    ZuRBTreeRef copy = Restore(log->Bytes());
    ASSERT_TRUE(copy.IsValid());
    ZuObjectRef one;
    ASSERT_TRUE(copy->Find(1, one));
    EXPECT_EQ(ZuStringRef(one)->CompareWith("one", true), 0);
    EXPECT_EQ(copy->RetRoot()->key, 2u);
    EXPECT_FALSE(copy->RetRoot()->red);
    EXPECT_TRUE(copy->RetRoot()->left->red);

    ZuRBTreeRef empty = Restore(Store(NewTree()));
    ASSERT_TRUE(empty.IsValid());
    EXPECT_EQ(empty->RetRoot(), nullptr);
}

// A one-node tree's bytes split around the node: what comes before its
// colour, the node without its code, and what follows its code.
struct NodeBytes {
    std::vector<unsigned char> before, node, after;
};

NodeBytes Split(const std::vector<unsigned char>& bytes)
{
    const unsigned char key[] = {0x11, 0x12, 0x34, 0x56, 0x78};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(key), std::end(key));
    EXPECT_NE(at, bytes.end());
    // colour, key, null object, then the code 0 (0x1D).
    auto code = at + 5 + 1;
    EXPECT_EQ(*code, 0x1D);
    NodeBytes out;
    out.before.assign(bytes.begin(), at - 1);
    out.node.assign(at - 1, code);
    out.after.assign(code + 1, bytes.end());
    return out;
}

TEST_F(RBTreeTest, BadChildCodeIsRefused)
{
    ZuRBTreeRef tree = NewTree();
    tree->Insert(0x12345678, ZuObjectNull);
    NodeBytes parts = Split(Store(tree));
    for (unsigned char code : {4, 7, 255}) {
        // A good left child, then a node with a bad code.
        std::vector<unsigned char> bytes = parts.before;
        bytes.insert(bytes.end(), parts.node.begin(), parts.node.end());
        bytes.insert(bytes.end(), {0x15, 0x02});
        bytes.insert(bytes.end(), parts.node.begin(), parts.node.end());
        bytes.insert(bytes.end(), {0x15, code});
        bytes.insert(bytes.end(), parts.after.begin(), parts.after.end());
        EXPECT_THROW(Restore(bytes), ZuExcStream) << int(code);
    }
}

TEST_F(RBTreeTest, DeeplyNestedStreamRestoresWithoutRecursion)
{
    ZuRBTreeRef tree = NewTree();
    tree->Insert(0x12345678, ZuObjectNull);
    NodeBytes parts = Split(Store(tree));
    const unsigned depth = 100000;
    std::vector<unsigned char> bytes = parts.before;
    for (unsigned i = 0; i < depth; ++i) {
        bytes.insert(bytes.end(), parts.node.begin(), parts.node.end());
        bytes.insert(bytes.end(), {0x15, 0x02}); // a left child follows
    }
    bytes.insert(bytes.end(), parts.node.begin(), parts.node.end());
    bytes.push_back(0x1D);
    bytes.insert(bytes.end(), parts.after.begin(), parts.after.end());
    ZuRBTreeRef deep = Restore(bytes);
    ASSERT_TRUE(deep.IsValid());
    unsigned key = 0;
    ASSERT_TRUE(deep->FindFirst(key));
    EXPECT_EQ(key, 0x12345678u);
    // It can be stored again and freed.
    EXPECT_EQ(Store(deep).size(), bytes.size());
    deep->Delete();
    EXPECT_FALSE(deep->FindFirst(key));

    // The same stream cut short: refused, nothing kept.
    bytes.resize(bytes.size() / 2);
    EXPECT_THROW(Restore(bytes), ZuExcStream);
}

} // namespace
