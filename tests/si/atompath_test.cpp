#include "si/atompath.h"

#include <gtest/gtest.h>

#include <string>

#include "si/array.h"
#include "si/atom.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class AtomPathTest : public ZuviRuntimeTest {};

ZuAtomPathRef Path(const char* text)
{
    return ZuAtomPathRef(text);
}

std::string Text(const ZuAtomPathRef& path)
{
    ZuStringRef s = path->RetString();
    const char* latin = s->AccessLatin();
    return latin != nullptr ? latin : "";
}

} // namespace

TEST_F(AtomPathTest, ParsesDottedText)
{
    struct Case {
        const char* text;
        unsigned int count;
        const char* nulls; // 'n' marks a null entry, '-' an atom
    } const cases[] = {
        {"a.b.c", 3, "---"}, {"a.", 2, "-n"}, {".a", 2, "n-"}, {"a..b", 3, "-n-"},
        {"", 0, ""},         {".", 2, "nn"},  {"abc", 1, "-"},
    };
    for (const auto& c : cases) {
        ZuAtomPathRef p = Path(c.text);
        ASSERT_EQ(c.count, p->TotalCount()) << c.text;
        for (unsigned int i = 0; i < c.count; ++i)
            EXPECT_EQ(c.nulls[i] == 'n', p->RetAtom(i).IsInvalid()) << c.text << " at " << i;
        EXPECT_EQ(std::string(c.text), Text(p)) << c.text;
        EXPECT_EQ(std::string(c.text).size(), p->CharacterCount()) << c.text;
    }
}

TEST_F(AtomPathTest, WildcardsMatch)
{
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } const cases[] = {
        {"a.*", "a.b.c", true}, {"a.*", "a.b", true},    {"a.*", "a", false},
        {"a.?", "a.b", true},   {"a.?", "a.b.c", false}, {"a.b.c", "a.*", true},
        {"*.c", "a.b.c", true}, {"a.b", "a.c", false},   {"a.b", "a.b", true},
        {"?", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.equal, Path(c.a)->IsEqual(Path(c.b))) << c.a << " vs " << c.b;
}

TEST_F(AtomPathTest, ManyWildcardsStayCheap)
{
    // 20 stars against 20 atoms that end in a mismatch: a naive search would
    // branch three ways at every step.
    std::string stars, atoms;
    for (int i = 0; i < 19; ++i) {
        stars += "*.";
        atoms += "x.";
    }
    stars += "y";
    atoms += "x";
    EXPECT_FALSE(Path(stars.c_str())->IsEqual(Path(atoms.c_str())));
}

TEST_F(AtomPathTest, TrimsHeadAndTail)
{
    ZuAtomPathRef p = Path("a.b.c");
    ZuAtomPathRef out;
    ASSERT_TRUE(p->TrimHead(1, out));
    EXPECT_EQ("b.c", Text(out));
    ASSERT_TRUE(p->TrimTail(1, out));
    EXPECT_EQ("a.b", Text(out));
    EXPECT_FALSE(p->TrimHead(3, out));
    ASSERT_TRUE(p->ExtractAtomPath(1, 100, out));
    EXPECT_EQ("b.c", Text(out));
    EXPECT_FALSE(Path("")->TrimTail(0, out));
}

TEST_F(AtomPathTest, AtomsAndHash)
{
    ZuAtomPathRef p = Path("");
    EXPECT_EQ(0u, p->ComputeHashValue(211));
    for (int i = 0; i < ZU_ATOM_PATH_LEN; ++i)
        EXPECT_TRUE(p->AddAtom(ZuAtomRef("x")));
    EXPECT_FALSE(p->AddAtom(ZuAtomRef("x")));
    EXPECT_FALSE(p->SetAtom(20, ZuAtomRef("y")));
    EXPECT_TRUE(p->SetAtom(19, ZuAtomRef("y")));
    EXPECT_TRUE(p->RetAtom(19) == ZuAtomRef("y"));
    EXPECT_TRUE(p->RetAtom(20).IsInvalid());
    EXPECT_EQ(Path("a.b")->ComputeHashValue(97), Path("a.b")->ComputeHashValue(97));
}

TEST_F(AtomPathTest, BadTextGivesAnEmptyPath)
{
    // Text that comes from outside must not stop the program.
    std::string long_segment(100, 'x');
    std::string ok_segment(99, 'x');
    std::string twenty, twenty_one;
    for (int i = 0; i < 20; ++i)
        twenty += (i ? ".a" : "a");
    twenty_one = twenty + ".a";

    ZuAtomPathRef p = Path("a.b");
    EXPECT_FALSE(p->SetString(ZuStringRef(long_segment.c_str())));
    EXPECT_EQ(0u, p->TotalCount());
    EXPECT_TRUE(p->SetString(ZuStringRef(ok_segment.c_str())));
    EXPECT_EQ(1u, p->TotalCount());
    EXPECT_TRUE(p->SetString(ZuStringRef(twenty.c_str())));
    EXPECT_EQ(20u, p->TotalCount());
    EXPECT_FALSE(p->SetString(ZuStringRef(twenty_one.c_str())));
    EXPECT_EQ(0u, p->TotalCount());
    EXPECT_FALSE(p->SetString(ZuStringRef((twenty + ".").c_str())));
    EXPECT_EQ(0u, Path(twenty_one.c_str())->TotalCount());
}

TEST_F(AtomPathTest, HandlesFromTextsAndObjects)
{
    ZuAtomPathRef from_string(ZuTextRef(ZuStringRef("x.y")));
    EXPECT_EQ("x.y", Text(from_string));
    ZuAtomPathRef from_atom{ZuObjectRef(ZuAtomRef("solo"))};
    EXPECT_EQ(1u, from_atom->TotalCount());
    ZuAtomPathRef from_other{ZuObjectRef(ZuTextNull)};
    EXPECT_TRUE(from_other.IsInvalid());

    // Assigning a text re-parses the path in place: both handles see it.
    ZuAtomPathRef p = Path("a.b");
    ZuAtomPathRef same = p;
    same = ZuTextRef(ZuStringRef("c.d.e"));
    EXPECT_EQ("c.d.e", Text(p));

    // Paths compare with other texts by their parsed form.
    const ZuAtomPath& path = *p.operator->();
    EXPECT_TRUE(path.IsEqual(ZuObjectRef(ZuStringRef("c.*"))));
    EXPECT_FALSE(path.IsEqual(ZuObjectRef(ZuArrayRef())));

    // The atoms as a container and as an array.
    ZuObjectRef atom;
    EXPECT_TRUE(p->Get(2, atom));
    EXPECT_TRUE(ZuAtomRef(atom) == ZuAtomRef("e"));
    EXPECT_FALSE(p->Get(3, atom));
    ZuAtomArray array = p->RetArray();
    ASSERT_EQ(3u, array->TotalCount());
    EXPECT_TRUE(ZuAtomRef(array[1]) == ZuAtomRef("d"));

    ZuAtomPathRef copy = Path("");
    copy->Copy(p);
    EXPECT_EQ("c.d.e", Text(copy));
    copy->Copy(ZuStringRef("q"));
    EXPECT_EQ("q", Text(copy));
    copy->Copy(ZuObjectNull);
    EXPECT_EQ(0u, copy->TotalCount());
}

TEST_F(AtomPathTest, StoresItsAtoms)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    ZuAtomPathRef p = Path("a..c");
    store->StartStoring();
    store->StoreObject(p);
    store->StartRestoring(store->Bytes());
    ZuAtomPathRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ("a..c", Text(back));
    EXPECT_TRUE(back->RetAtom(1).IsInvalid());
}
