#include "tests/support/samplegraph.h"

#include "si/array.h"
#include "si/array2d.h"
#include "si/cycarray.h"
#include "si/dictree.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const ZuObjectRef& object)
{
    ZuStringRef s(object);
    if (s.IsInvalid())
        return "<not a string>";
    char buf[256];
    s->GetStringCopy(buf, sizeof buf);
    return buf;
}

} // namespace

ZuTestNodeRef BuildSampleGraph()
{
    ZuTestNodeRef root = ZuTestNode::Make(1);
    root->name = ZuAtomRef("racine");
    ZuTestNodeRef two = ZuTestNode::Make(-2147483647 - 1);
    two->name = ZuAtomRef("deux");
    ZuStringRef shared("texte partag\xe9");
    two->a = shared;
    two->b = root;
    ZuTestNodeRef three = ZuTestNode::Make(123456);
    three->a = shared;
    ZuArrayRef array = ZuNew<ZuArray>();
    array->SetSize(6);
    array->Access(0) = two;
    array->Access(3) = ZuStringRef("\xe9lan");
    array->Access(4) = root;
    array->Access(5) = three;
    root->a = array;
    root->b = three;

    // The containers: a ring that has wrapped, a grid, a dictionary tree.
    ZuArrayRef extras = ZuNew<ZuArray>();
    ZuCyclicArrayRef ring = ZuNew<ZuCyclicArray>();
    ring->SetModulo(2);
    for (const char* x : {"x", "y", "z"})
        ring->Insert(ZuObjectRef(ZuStringRef(x)));
    ZuArray2DRef grid = ZuNew<ZuArray2D>();
    grid->SetSize(2, 2);
    grid->Access(1, 0) = ZuStringRef("g");
    ZuDicTreeRef tree = ZuNew<ZuDicTree>();
    tree->InsertUsingPath("k:l", ZuStringRef("feuille"));
    tree->InsertUsingPath("m", shared);
    extras->Insert(ZuObjectRef(ring));
    extras->Insert(ZuObjectRef(grid));
    extras->Insert(ZuObjectRef(tree));
    three->b = extras;
    return root;
}

void ExpectSampleGraph(const ZuTestNodeRef& root)
{
    ASSERT_TRUE(root.IsValid());
    EXPECT_EQ(root->value, 1);
    EXPECT_TRUE(root->name == ZuAtomRef("racine"));
    ZuArrayRef array = root->a;
    ASSERT_TRUE(array.IsValid());
    ASSERT_EQ(array->TotalCount(), 6u);
    EXPECT_TRUE(array->Access(1).IsInvalid());
    EXPECT_TRUE(array->Access(2).IsInvalid());
    EXPECT_EQ(Text(array->Access(3)), "\xe9lan");
    EXPECT_TRUE(array->Access(4) == root);

    ZuTestNodeRef two = array->Access(0);
    ASSERT_TRUE(two.IsValid());
    EXPECT_EQ(two->value, -2147483647 - 1);
    EXPECT_TRUE(two->name == ZuAtomRef("deux"));
    EXPECT_EQ(Text(two->a), "texte partag\xe9");
    EXPECT_TRUE(two->b == root);

    ZuTestNodeRef three = root->b;
    ASSERT_TRUE(three.IsValid());
    EXPECT_TRUE(array->Access(5) == three);
    EXPECT_EQ(three->value, 123456);
    EXPECT_TRUE(three->name.IsInvalid());
    // The string is one object, shared by both nodes.
    EXPECT_TRUE(three->a == two->a);

    ZuArrayRef extras = three->b;
    ASSERT_TRUE(extras.IsValid());
    ASSERT_EQ(extras->TotalCount(), 3u);
    ZuCyclicArrayRef ring = extras->Access(0);
    ASSERT_TRUE(ring.IsValid());
    EXPECT_EQ(ring->RetModulo(), 2u);
    ASSERT_EQ(ring->TotalCount(), 3u);
    EXPECT_TRUE(ring->Access(0).IsInvalid());
    EXPECT_EQ(Text(ring->Access(1)), "y");
    EXPECT_EQ(Text(ring->Access(2)), "z");
    ZuArray2DRef grid = extras->Access(1);
    ASSERT_TRUE(grid.IsValid());
    EXPECT_EQ(grid->RetNumRows(), 2u);
    EXPECT_EQ(grid->RetNumCols(), 2u);
    EXPECT_EQ(Text(grid->Access(1, 0)), "g");
    EXPECT_TRUE(grid->Access(0, 0).IsInvalid());
    ZuDicTreeRef tree = extras->Access(2);
    ASSERT_TRUE(tree.IsValid());
    EXPECT_EQ(tree->TotalCount(), 2u);
    ZuObjectRef leaf;
    EXPECT_TRUE(tree->GetFromPath("k:l", leaf));
    EXPECT_EQ(Text(leaf), "feuille");
    EXPECT_TRUE(tree->GetFromPath("m", leaf));
    EXPECT_TRUE(leaf == two->a);
}

void BreakSampleGraph(const ZuTestNodeRef& root)
{
    if (root.IsInvalid())
        return;
    ZuArrayRef array = root->a;
    if (array.IsValid()) {
        ZuTestNodeRef two = array->Access(0);
        if (two.IsValid())
            two->Delete();
        array->Delete();
    }
    ZuTestNodeRef three = root->b;
    if (three.IsValid()) {
        ZuArrayRef extras = three->b;
        if (extras.IsValid()) {
            ZuDicTreeRef tree = extras->Access(2);
            if (tree.IsValid())
                tree->Delete();
            extras->Delete();
        }
    }
    root->Delete();
}
