#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/database.h"
#include "si/dbentity.h"
#include "si/dbmodel.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/probes.h"
#include "tests/support/storagetest.h"

namespace {

class DataBaseTest : public ZuviRuntimeTest {
protected:
    static ZuDataBaseRef NewDb()
    {
        return ZuDataBaseRef(ZuNew<ZuDataBase>(Zuvi_app_zone, __LINE__, "test"));
    }
    static ZuEntityModelRef NewModel()
    {
        return ZuEntityModelRef(ZuNew<ZuEntityModel>(Zuvi_app_zone, __LINE__, "test"));
    }
    static ZuEntityRef NewEntity()
    {
        return ZuEntityRef(ZuNew<ZuEntity>(Zuvi_app_zone, __LINE__, "test"));
    }
    // A model "Font" with the given attribute names.
    static ZuEntityModelRef FontModel(const ZuDataBaseRef& db,
                                      std::initializer_list<const char*> names)
    {
        ZuEntityModelRef model = NewModel();
        EXPECT_TRUE(model->Initialise(db, ZuStringRef("Font"), unsigned(names.size())));
        for (const char* n : names)
            EXPECT_TRUE(model->AddAttribute(ZuAtomRef(n)));
        return model;
    }
    // An entity of `model` with Weight = weight (and Name = name when given).
    static ZuEntityRef Font(const ZuEntityModelRef& model, int weight, int name = -1)
    {
        ZuEntityRef e = NewEntity();
        e->Initialise(model);
        e->SetAttribute(ZuAtomRef("Weight"), TestNumber::Make(weight));
        if (name >= 0)
            e->SetAttribute(ZuAtomRef("Name"), TestNumber::Make(name));
        return e;
    }
    static TestNumberRef N(int v) { return TestNumber::Make(v); }
};

TEST_F(DataBaseTest, ClassesComeFromTheFactoryByName)
{
    for (const char* name : {"ZuDataBase", "ZuEntity", "ZuEntityModel"}) {
        ZuObjectRef obj(ZuClassFactory::New(name, Zuvi_app_zone, __LINE__, "test"));
        ASSERT_TRUE(obj.IsValid()) << name;
        EXPECT_STREQ(obj.RetClassName(), name);
    }
}

TEST_F(DataBaseTest, ModelInitialiseAndPositions)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = NewModel();
    EXPECT_FALSE(model->Initialise(db, ZuStringRef("Font"), 0));
    EXPECT_EQ(model->CountAttributes(), 0u);
    ASSERT_TRUE(model->Initialise(db, ZuStringRef("Font"), 3));
    EXPECT_FALSE(model->Initialise(db, ZuStringRef("Other"), 5)); // positions are fixed
    EXPECT_TRUE(model->RetName() == ZuAtomRef("Font"));
    EXPECT_TRUE(model->RetDataBase() == db);
    EXPECT_EQ(model->CountAttributes(), 3u);
    EXPECT_EQ(model->TotalCount(), 3u);

    EXPECT_TRUE(model->AddAttribute(ZuAtomRef("Name")));
    EXPECT_FALSE(model->AddAttribute(ZuAtomRef("Name"))); // already there: nothing changes
    EXPECT_TRUE(model->AddAttribute(ZuAtomRef("Weight")));
    EXPECT_EQ(model->GetAttributeIndex(ZuAtomRef("Weight")), 2u);

    // Position 3 is still empty: it reads as the null atom, but exists.
    ZuAtomRef name("x");
    EXPECT_TRUE(model->GetAttributeName(3, name));
    EXPECT_TRUE(name.IsInvalid());

    EXPECT_TRUE(model->AddAttribute(ZuAtomRef("Style")));
    EXPECT_FALSE(model->AddAttribute(ZuAtomRef("Size"))); // full

    struct Case {
        unsigned pos;
        bool ok;
        const char* name;
    };
    for (Case c : {Case{0, false, nullptr}, Case{1, true, "Name"}, Case{3, true, "Style"},
                   Case{4, false, nullptr}}) {
        ZuAtomRef out("x");
        EXPECT_EQ(model->GetAttributeName(c.pos, out), c.ok) << c.pos;
        if (c.name != nullptr)
            EXPECT_TRUE(out == ZuAtomRef(c.name)) << c.pos;
        else
            EXPECT_TRUE(out.IsInvalid()) << c.pos;
        ZuObjectRef obj = N(1);
        EXPECT_EQ(model->Get(c.pos, obj), c.ok) << c.pos;
        EXPECT_EQ(obj.IsValid(), c.name != nullptr) << c.pos;
    }

    unsigned int pos = 9;
    EXPECT_TRUE(model->GetAttributeIndex(ZuAtomRef("Style"), pos));
    EXPECT_EQ(pos, 3u);
    EXPECT_FALSE(model->GetAttributeIndex(ZuAtomRef("Size"), pos));
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(model->SpecifyExtraction(ZuArrayRef()));
}

TEST_F(DataBaseTest, EntityAttributesCountFromOne)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = FontModel(db, {"Name", "Weight"});
    ZuEntityRef e = NewEntity();

    // Without a model nothing is read or stored.
    ZuObjectRef out = N(1);
    EXPECT_FALSE(e->GetAttribute(1, out));
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(e->SetAttribute(1, N(5)));
    EXPECT_FALSE(e->GetAttribute(ZuAtomRef("Name"), out));

    e->Initialise(model);
    EXPECT_TRUE(e->GetEntityModel() == model);
    EXPECT_EQ(model->RetUserNum(), 1u);
    EXPECT_EQ(e->CountAttributes(), 2u);
    EXPECT_EQ(e->TotalCount(), 2u);

    TestNumberRef name = N(10), weight = N(400);
    EXPECT_TRUE(e->SetAttribute(ZuAtomRef("Name"), name));
    EXPECT_TRUE(e->SetAttribute(2, weight));
    EXPECT_FALSE(e->SetAttribute(ZuAtomRef("Size"), N(3)));
    EXPECT_FALSE(e->SetAttribute(3, N(3)));
    EXPECT_FALSE(e->SetAttribute(0, N(3)));

    struct Case {
        unsigned pos;
        bool ok;
        ZuObjectRef want;
    };
    for (const Case& c : {Case{0, false, ZuObjectNull}, Case{1, true, name}, Case{2, true, weight},
                          Case{3, false, ZuObjectNull}}) {
        ZuObjectRef got = N(1);
        EXPECT_EQ(e->GetAttribute(c.pos, got), c.ok) << c.pos;
        EXPECT_TRUE(got == c.want) << c.pos;
        got = N(1);
        EXPECT_EQ(e->Get(c.pos, got), c.ok) << c.pos; // the container view counts from 1 too
        EXPECT_TRUE(got == c.want) << c.pos;
    }
    EXPECT_TRUE(e->GetAttribute(ZuAtomRef("Weight"), out));
    EXPECT_TRUE(out == weight);
    EXPECT_FALSE(e->GetAttribute(ZuAtomRef("Size"), out));
    EXPECT_TRUE(out.IsInvalid());

    e->RemoveAll();
    EXPECT_EQ(e->TotalCount(), 2u);
    EXPECT_TRUE(e->GetAttribute(1, out));
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(e->SpecifyExtraction(ZuArrayRef()));

    // An entity that goes away leaves the model's users.
    e = ZuEntityNull;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(model->RetUserNum(), 0u);
    ZuEntityRef again = Font(model, 400);
    EXPECT_EQ(model->RetUserNum(), 1u);
}

TEST_F(DataBaseTest, MisuseStopsWithTheAssertionText)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = FontModel(db, {"Weight"});
    ZuEntityRef e = Font(model, 400);
    EXPECT_DEATH(e->Initialise(model), "Failed assertion: this->model.IsInvalid \\(\\)");
    EXPECT_DEATH(NewEntity()->Initialise(ZuEntityModelNull),
                 "Failed assertion: model.IsValid \\(\\)");
    EXPECT_DEATH(NewEntity()->Initialise(NewModel()), "Failed assertion: this->name_num");
}

TEST_F(DataBaseTest, IndexOrdersByValueTiesInInsertionOrder)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = FontModel(db, {"Name", "Weight"});
    ZuAtomRef weight("Weight"), name("Name");
    ZuEntityRef out;
    // The index exists before the entities come, so they enter it in the
    // order of insertion (an index built later is filled in table order).
    EXPECT_FALSE(db->GetEntity(weight, 0, out));
    ZuEntityRef a = Font(model, 400, 1), b = Font(model, 700, 2), c = Font(model, 400, 3);
    for (const ZuEntityRef& e : {a, b, c})
        EXPECT_TRUE(db->Insert(e));
    EXPECT_EQ(db->TotalCount(), 3u);

    std::vector<ZuEntityRef> want = {a, c, b};
    for (unsigned i = 0; i < 3; ++i) {
        ASSERT_TRUE(db->GetEntity(weight, i, out)) << i;
        EXPECT_TRUE(out == want[i]) << i;
    }
    EXPECT_FALSE(db->GetEntity(weight, 3, out));
    EXPECT_TRUE(out.IsInvalid());

    // The extraction modes read the same order.
    db->SpecifyExtractAttribute(weight, name);
    EXPECT_EQ(NumbersOf(db), "1 3 2");
    db->SpecifyExtractAttribute(weight, 2u);
    EXPECT_EQ(NumbersOf(db), "400 400 700");
    db->SpecifyExtractEntity(weight);
    ZuObjectRef obj;
    ASSERT_TRUE(db->Get(2, obj));
    EXPECT_TRUE(obj == b);
    EXPECT_EQ(db->RetMode(), 1u);

    // Mode 0 reads nothing while the count stays.
    ZuDataBaseRef empty_mode = NewDb();
    empty_mode->Insert(a);
    EXPECT_EQ(empty_mode->TotalCount(), 1u);
    EXPECT_FALSE(empty_mode->Get(0, obj));
    EXPECT_TRUE(obj.IsInvalid());
    empty_mode->RemoveAll();
    db->RemoveAll();
    EXPECT_EQ(db->TotalCount(), 0u);
    EXPECT_FALSE(db->GetEntity(weight, 0, out));
}

TEST_F(DataBaseTest, InsertAndRemoveKeepTheIndexesUpToDate)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef fonts = FontModel(db, {"Name", "Weight"});
    ZuEntityModelRef others = FontModel(db, {"Name"});
    ZuAtomRef weight("Weight");
    ZuEntityRef a = Font(fonts, 700, 1);
    EXPECT_FALSE(db->Insert(ZuEntityNull));
    EXPECT_TRUE(db->Insert(a));
    EXPECT_TRUE(db->Insert(a)); // entered twice
    EXPECT_EQ(db->TotalCount(), 2u);

    // The index, built now, lists both; later entities with the attribute
    // join it, those without it do not.
    db->SpecifyExtractAttribute(weight, 2u);
    EXPECT_EQ(NumbersOf(db), "700 700");
    ZuEntityRef b = Font(fonts, 300, 2);
    ZuEntityRef other = NewEntity();
    other->Initialise(others);
    other->SetAttribute(1u, N(9));
    EXPECT_TRUE(db->Insert(b));
    EXPECT_TRUE(db->Insert(other));
    EXPECT_EQ(db->TotalCount(), 4u);
    db->SpecifyExtractAttribute(weight, 1u);
    EXPECT_EQ(NumbersOf(db), "2 1 1");
    ZuObjectRef obj;
    EXPECT_FALSE(db->Get(3, obj));

    // The entity without the attribute leaves the table, but its removal
    // from the Weight index fails.
    EXPECT_FALSE(db->Remove(other));
    EXPECT_EQ(db->TotalCount(), 3u);
    EXPECT_FALSE(db->Remove(other)); // no longer there
    EXPECT_TRUE(db->Remove(a));
    EXPECT_EQ(db->TotalCount(), 2u);
    EXPECT_EQ(NumbersOf(db), "2 1");
    EXPECT_TRUE(db->Remove(a));
    EXPECT_FALSE(db->Remove(a));
    EXPECT_EQ(NumbersOf(db), "2");

    // An index built over an entity that lacks the attribute lists it too
    // (under an empty key).
    ZuDataBaseRef mixed = NewDb();
    mixed->Insert(other);
    mixed->Insert(b);
    ZuEntityRef out;
    unsigned n = 0;
    while (mixed->GetEntity(weight, n, out))
        ++n;
    EXPECT_EQ(n, 2u);
    EXPECT_TRUE(mixed->Remove(other));
    mixed->RemoveAll();
    db->RemoveAll();
}

TEST_F(DataBaseTest, FindBySameObjectOrByComparison)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = FontModel(db, {"Name", "Weight"});
    ZuEntityRef a = Font(model, 400, 1), b = Font(model, 700, 2), c = Font(model, 400, 3);
    for (const ZuEntityRef& e : {a, b, c})
        db->Insert(e);
    ZuAtomRef weight("Weight");
    ZuObjectRef a_weight;
    a->GetAttribute(weight, a_weight);

    ZuEntityRef out;
    EXPECT_TRUE(db->Find(weight, a_weight, out, 0, false));
    EXPECT_TRUE(out == a);
    EXPECT_FALSE(db->Find(weight, a_weight, out, 1, false)); // c's 400 is another object
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(db->Find(weight, N(400), out, 0, false));

    // With comparison both 400s match, in table order.
    std::vector<ZuEntityRef> found;
    for (unsigned n = 0; db->Find(weight, N(400), out, n, true); ++n)
        found.push_back(out);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE((found[0] == a && found[1] == c) || (found[0] == c && found[1] == a));

    EXPECT_FALSE(db->Find(ZuAtomRef("Size"), N(400), out, 0, true));
    // A null value compares nothing: it matches unset attributes only.
    EXPECT_FALSE(db->Find(weight, ZuObjectNull, out, 0, true));
    c->SetAttribute(weight, ZuObjectNull);
    EXPECT_TRUE(db->Find(weight, ZuObjectNull, out, 0, true));
    EXPECT_TRUE(out == c);
    db->RemoveAll();
}

TEST_F(DataBaseTest, GenericExtractionLists)
{
    ZuDataBaseRef db = NewDb();
    ZuEntityModelRef model = FontModel(db, {"Name", "Weight"});
    db->Insert(Font(model, 700, 1));
    db->Insert(Font(model, 400, 2));

    auto spec = [](std::initializer_list<ZuObjectRef> items) {
        ZuArrayRef a(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "t"));
        for (ZuObjectRef const& o : items)
            a->Insert(o);
        return a;
    };
    ZuAtomRef ext_attr("ExtractAttribute"), ext_ent("ExtractEntity"), weight("Weight"),
        name("Name");

    EXPECT_TRUE(db->SpecifyExtraction(spec({ext_attr, weight, name})));
    EXPECT_EQ(db->RetMode(), 2u);
    EXPECT_EQ(NumbersOf(db), "2 1");

    struct Case {
        const char* what;
        ZuArrayRef spec;
    };
    std::vector<Case> refused = {
        {"null", ZuArrayRef()},
        {"empty", spec({})},
        {"attribute without its name", spec({ext_attr, weight})},
        {"entity with too much", spec({ext_ent, weight, name})},
        {"not an atom first", spec({N(1), weight})},
        {"unknown word", spec({ZuAtomRef("ExtractKey"), weight})},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(db->SpecifyExtraction(c.spec)) << c.what;
        EXPECT_EQ(db->RetMode(), 2u) << c.what;
        EXPECT_EQ(NumbersOf(db), "2 1") << c.what;
    }
    EXPECT_TRUE(db->SpecifyExtraction(spec({ext_ent, weight})));
    EXPECT_EQ(db->RetMode(), 1u);
    db->RemoveAll();
}

class DataBaseStorageTest : public DataBaseTest {
protected:
    // A data base of three fonts with its Weight index built, stored.
    std::vector<unsigned char> StoredFonts()
    {
        ZuDataBaseRef db = NewDb();
        ZuEntityModelRef model = FontModel(db, {"Name", "Weight"});
        ZuEntityRef first;
        db->GetEntity(ZuAtomRef("Weight"), 0, first); // index first: ties in insertion order
        db->Insert(Font(model, 400, 1));
        db->Insert(Font(model, 700, 2));
        db->Insert(Font(model, 400, 3));
        db->SpecifyExtractAttribute(ZuAtomRef("Weight"), ZuAtomRef("Name"));
        EXPECT_EQ(NumbersOf(db), "1 3 2");
        ZuTestStorageRef store = ZuTestStorage::Make();
        store->StartStoring();
        store->StoreObject(db);
        std::vector<unsigned char> bytes = store->Bytes();
        db->RemoveAll();
        return bytes;
    }
};

TEST_F(DataBaseStorageTest, RestoredDataBaseKeepsItsIndexesAndUsers)
{
    std::vector<unsigned char> bytes = StoredFonts();
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartRestoring(bytes);
    ZuDataBaseRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(store->Remaining(), 0u);
    EXPECT_EQ(back->TotalCount(), 3u);
    EXPECT_EQ(back->RetMode(), 2u);
    EXPECT_EQ(NumbersOf(back), "1 3 2"); // the stored index, ties kept

    ZuEntityRef e;
    ASSERT_TRUE(back->GetEntity(ZuAtomRef("Weight"), 0, e));
    ZuEntityModelRef model = e->GetEntityModel();
    ASSERT_TRUE(model.IsValid());
    EXPECT_TRUE(model->RetName() == ZuAtomRef("Font"));
    EXPECT_TRUE(model->RetDataBase() == back);
    EXPECT_EQ(model->RetUserNum(), 3u);
    EXPECT_EQ(model->GetAttributeIndex(ZuAtomRef("Weight")), 2u);

    // It goes on working: a new entity joins the restored index.
    ZuEntityRef d = Font(model, 100, 4);
    EXPECT_TRUE(back->Insert(d));
    EXPECT_EQ(NumbersOf(back), "4 1 3 2");
    e = ZuEntityNull;
    d = ZuEntityNull;
    back->RemoveAll();
    store = ZuTestStorageRef(); // it holds what it restored
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(model->RetUserNum(), 0u);
}

// Every cut of the stored bytes either throws or gives back the whole data
// base: never a part of it presented as the whole.
TEST_F(DataBaseStorageTest, CutInputThrowsOrComesBackWhole)
{
    std::vector<unsigned char> bytes = StoredFonts();
    ZuTestStorageRef store = ZuTestStorage::Make();
    std::string whole;
    {
        store->StartRestoring(bytes);
        ZuDataBaseRef full;
        ZuStorageRef(store) >> full;
        ASSERT_TRUE(full.IsValid());
        whole = NumbersOf(full);
        ASSERT_FALSE(whole.empty());
        full->RemoveAll();
    }
    for (std::size_t n = 1; n < bytes.size(); ++n) {
        store->StartRestoring(std::vector<unsigned char>(bytes.begin(), bytes.begin() + long(n)));
        ZuDataBaseRef back;
        bool threw = false;
        try {
            ZuStorageRef(store) >> back;
        } catch (const ZuExcStream&) {
            threw = true;
        }
        if (!threw) {
            ASSERT_TRUE(back.IsValid()) << "cut at " << n << " neither threw nor came back";
            EXPECT_EQ(whole, NumbersOf(back)) << "cut at " << n;
        }
        if (back.IsValid())
            back->RemoveAll();
    }
}

} // namespace
