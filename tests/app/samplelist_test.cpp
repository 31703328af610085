// Sample lists and samples: new samples, copies of definitions by code,
// guarded indexes and the stored form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/samplelist.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "tests/support/debugcapture.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class CSampleListTest : public ZuviRuntimeTest {
protected:
    template <class R>
    static R Make()
    {
        return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), nullptr, __LINE__, __FILE__)));
    }
    static std::string NameOf(const CSampleListRef& list, int i)
    {
        ZuStringRef name;
        if (!list->GetName(i, name) || name.IsInvalid())
            return "<none>";
        std::string text;
        for (unsigned k = 0; k < name->CharacterCount(); ++k)
            text += char(name->RetCharacter(k));
        return text;
    }
    static std::vector<int> Codes(const CSampleNodeRef& node)
    {
        std::vector<int> codes;
        node->StartDefIteration();
        for (int code = 0; node->NextDefCode(code);)
            codes.push_back(code);
        return codes;
    }
    // Three samples "A", "B", "C" of kinds 32, 33, 34.
    static CSampleListRef Three()
    {
        CSampleListRef list = Make<CSampleListRef>();
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(list->InsertNew(i));
            list->SetName(i, ZuStringRef(names[i]));
            list->SetKind(i, 32 + i);
        }
        return list;
    }
};

TEST_F(CSampleListTest, ANewSampleIsEmptyOfKindAll)
{
    CSampleListRef list = Make<CSampleListRef>();
    EXPECT_TRUE(list->InsertNew(0));
    EXPECT_EQ(1, list->Count());
    EXPECT_EQ(37, list->GetKind(0));
    ZuStringRef name;
    EXPECT_TRUE(list->GetName(0, name));
    EXPECT_TRUE(name.IsInvalid());
    EXPECT_TRUE(Codes(list->GetNode(0)).empty());
    EXPECT_TRUE(list->GetObject(0).IsInvalid());
    // At the front, the others move on.
    list->SetName(0, ZuStringRef("old"));
    list->InsertNew(0);
    EXPECT_EQ("old", NameOf(list, 1));
    EXPECT_FALSE(list->InsertNew(5));
}

TEST_F(CSampleListTest, IndexesWithoutASampleAnswerFalse)
{
    CSampleListRef list = Three();
    EXPECT_FALSE(list->Swap(0, 5));
    EXPECT_FALSE(list->Swap(-1, 0));
    EXPECT_EQ("A", NameOf(list, 0));
    EXPECT_TRUE(list->Swap(0, 2));
    EXPECT_EQ("C", NameOf(list, 0));
    EXPECT_EQ(32, list->GetKind(2));
    EXPECT_EQ(-1, list->GetKind(7));
    EXPECT_EQ(-1, list->GetKind(-1));
    EXPECT_FALSE(list->SetKind(3, 1));
    EXPECT_FALSE(list->SetName(3, ZuStringRef("x")));
    EXPECT_FALSE(list->SetDef(3, 10, Make<CPenDefRef>()));
    EXPECT_FALSE(list->Remove(3));
    EXPECT_TRUE(list->GetNode(3).IsInvalid());
    EXPECT_TRUE(list->GetObject(9).IsInvalid());
    EXPECT_EQ("<none>", NameOf(list, 3));
    EXPECT_TRUE(list->Remove(1));
    EXPECT_EQ(2, list->Count());
    EXPECT_EQ("A", NameOf(list, 1));
    list->SetObject(0, CSampleListRef::RetRuntime());
    EXPECT_TRUE(list->GetObject(0) == CSampleListRef::RetRuntime());
}

TEST_F(CSampleListTest, SamplesHoldTheirOwnCopyOfOneDefinitionPerCode)
{
    CSampleListRef list = Three();
    CPenDefRef first = Make<CPenDefRef>(), second = Make<CPenDefRef>();
    first->SetWidth(1.0);
    second->SetWidth(3.0);
    EXPECT_TRUE(list->SetDef(1, 10, first));
    EXPECT_TRUE(list->SetDef(1, 10, second));
    EXPECT_EQ(10, second->GetKind());
    CSampleNodeRef node = list->GetNode(1);
    EXPECT_EQ(std::vector<int>({10}), Codes(node));
    CDefRef held;
    ASSERT_TRUE(node->FindDef(10, held));
    EXPECT_FALSE(held == second);
    EXPECT_TRUE(held->IsEqualCurrent(second));
    // The caller's later changes stay with the caller.
    second->SetWidth(9.0);
    EXPECT_EQ(3.0, CPenDefRef(held)->GetWidth());
    // The newest code comes first.
    EXPECT_TRUE(list->SetDef(1, 20, Make<CMotifDefRef>()));
    EXPECT_EQ(std::vector<int>({20, 10}), Codes(node));
    EXPECT_FALSE(node->FindDef(15, held));
    // A sample's name is its own string.
    ZuStringRef name("Trait 1");
    list->SetName(0, name);
    name->SetString("changed");
    EXPECT_EQ("Trait 1", NameOf(list, 0));
}

TEST_F(CSampleListTest, AStoredListComesBackWhole)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    CSampleListRef list = Three();
    list->SetDef(0, 10, Make<CPenDefRef>());
    list->SetDef(0, 15, Make<CColorDefRef>());
    list->SetCurrent(2);
    store->StartStoring();
    store->StoreObject(list);
    store->StartRestoring(store->Bytes());
    CSampleListRef back;
    {
        DebugCapture quiet;
        ZuStorageRef(store) >> back;
        store->FinallyAwake();
        EXPECT_NE(std::string::npos, quiet.DebugText().find("CSampleNode::RestoreInstance B\n"));
    }
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(0u, store->Remaining());
    EXPECT_EQ(3, back->Count());
    EXPECT_EQ(2, back->GetCurrent());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(NameOf(list, i), NameOf(back, i));
        EXPECT_EQ(32 + i, back->GetKind(i));
    }
    EXPECT_EQ(std::vector<int>({15, 10}), Codes(back->GetNode(0)));
    CDefRef pen;
    ASSERT_TRUE(back->GetNode(0)->FindDef(10, pen));
    EXPECT_TRUE(pen->IsKindOf(CPenDefRef::RetRuntime()));
    back->Delete();
    store = static_cast<ZuTestStorage*>(nullptr);
}

TEST_F(CSampleListTest, ForeignContentIsRefused)
{
    DebugCapture quiet;
    ZuTestStorageRef store = ZuTestStorage::Make();
    // A list holding something else than samples, and a sample whose
    // definitions list holds something else than definitions.
    CSampleListRef foreign = Three();
    ZuArrayRef array;
    {
        struct Peek : CSampleList {
            static ZuObjectRef Nodes(const CSampleListRef& l)
            {
                return l.RetRawObject()->*(&Peek::nodes);
            }
        };
        array = Peek::Nodes(foreign);
    }
    array[1] = Make<CPenDefRef>();
    CSampleListRef odd = Three();
    CListNodeRef n = Make<CListNodeRef>();
    n->SetObject(Make<CSampleListRef>());
    odd->GetNode(0)->RetDefinitions()->Append(n);
    for (const CSampleListRef& list : {foreign, odd}) {
        store->StartStoring();
        store->StoreObject(list);
        store->StartRestoring(store->Bytes());
        bool refused = false;
        try {
            CSampleListRef back;
            ZuStorageRef(store) >> back;
            store->FinallyAwake();
        } catch (const ZuExcStream&) {
            refused = true;
        }
        EXPECT_TRUE(refused);
    }
    store = static_cast<ZuTestStorage*>(nullptr);
}

} // namespace
