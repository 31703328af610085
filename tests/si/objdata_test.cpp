#include <gtest/gtest.h>

#include "si/atompath.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

// A class that publishes an object item "child" (published twice: one item),
// a number "number", and a group "alt" of two items whose first cannot be
// read; it also has the actors "First" and "Second".
ZU_HANDLE(TDataHolder, ZuObject)
class TDataHolder : public ZuObject {
    ZU_CLASS(TDataHolder, ZuObject)
public:
    TDataHolder() {}
    bool Second()
    {
        ++seconds;
        return true;
    }
    ZuObjectRef child;
    unsigned number = 0;
    int seconds = 0;
};
ZU_CLASS_END(TDataHolder)
ZU_IMPLEMENT_CLASS(TDataHolder, "tests/objdata", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TDataHolder, Second)

namespace {

void GetChild(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TDataHolder*>(o)->child);
}
bool SetChild(const ZuValueRef& v, ZuObject* o)
{
    static_cast<TDataHolder*>(o)->child = v->RetObject();
    return true;
}
void GetNumber(ZuValueRef& v, ZuObject* o)
{
    v = ZuValueRef(static_cast<TDataHolder*>(o)->number);
}
bool SetNumber(const ZuValueRef& v, ZuObject* o)
{
    static_cast<TDataHolder*>(o)->number = unsigned(v);
    return true;
}
void GetAlt(ZuValueRef& v, ZuObject*)
{
    v = ZuValueRef(42u);
}

void Declare(ZuRuntime* rt)
{
    static Zuvi_PubDataDef child = {&TDataHolderRef::RetRuntime(),
                                    "child",
                                    "the child",
                                    &ZuObject_type,
                                    true,
                                    true,
                                    &GetChild,
                                    &SetChild};
    static Zuvi_PubDataDef number = {&TDataHolderRef::RetRuntime(),
                                     "number",
                                     "a number",
                                     &Card32_type,
                                     true,
                                     true,
                                     &GetNumber,
                                     &SetNumber};
    static Zuvi_PubDataDef alt_blind = {&TDataHolderRef::RetRuntime(),
                                        "alt",
                                        "no getter",
                                        &Card32_type,
                                        true,
                                        false,
                                        nullptr,
                                        nullptr};
    static Zuvi_PubDataDef alt = {&TDataHolderRef::RetRuntime(),
                                  "alt",
                                  "with getter",
                                  &Card32_type,
                                  true,
                                  false,
                                  &GetAlt,
                                  nullptr};
    rt->PublishData(child);
    rt->PublishData(child);
    rt->PublishData(number);
    rt->PublishData(alt_blind);
    rt->PublishData(alt);
}
Zuvi_PubDataExport declare(&Declare);

class ObjDataTest : public ZuviRuntimeTest {
protected:
    static TDataHolderRef NewHolder()
    {
        return TDataHolderRef(ZuClassFactory::New("TDataHolder", nullptr, __LINE__, __FILE__));
    }
};

TEST_F(ObjDataTest, ItemsPublishedOnceGroupedByNameAndType)
{
    const ZuRuntime* rt = TDataHolderRef::RetRuntime().RetRawObject();
    EXPECT_EQ(3u, rt->CountPubData()); // child, number, alt (with its group)
    const Zuvi_PubData* alt = rt->FindPubData(ZuAtomRef("alt"), 0);
    ASSERT_NE(nullptr, alt);
    ASSERT_NE(nullptr, alt->same_name);
    EXPECT_EQ(nullptr, rt->FindPubData(ZuAtomRef("alt"), 1));
    // The root's "self" is inherited.
    EXPECT_NE(nullptr, rt->FindPubData(ZuAtomRef("self"), 0));
    EXPECT_EQ(nullptr, rt->FindPubData(ZuAtomRef("self"), 1));

    TDataHolderRef h = NewHolder();
    EXPECT_EQ(4u, h->CountPublicData());
    ZuAtomRef name;
    ZuStringRef description;
    ZuTypeInfoRef type;
    ASSERT_TRUE(h->GetPublicData(3, name, description, type));
    EXPECT_TRUE(name == "self");
    EXPECT_EQ(0, description->CompareWith("self reference", true));
    EXPECT_TRUE(type->RetReadOk());
    EXPECT_FALSE(type->RetWriteOk());
    EXPECT_FALSE(h->GetPublicData(4, name));
}

TEST_F(ObjDataTest, ReadsAndWritesByName)
{
    TDataHolderRef h = NewHolder();
    TDataHolderRef other = NewHolder();
    ZuObjectRef out;
    EXPECT_TRUE(h->QueryData(ZuAtomRef("self"), out));
    EXPECT_TRUE(out == h);

    EXPECT_TRUE(h->DefineData(ZuAtomRef("child"), other));
    EXPECT_TRUE(h->child == other);
    EXPECT_TRUE(h->QueryData(ZuAtomRef("child"), out));
    EXPECT_TRUE(out == other);
    // A value holding an object stands for the object.
    EXPECT_TRUE(h->DefineData(ZuAtomRef("child"), ZuObjectRef(ZuValueRef(ZuObjectRef(h)))));
    EXPECT_TRUE(h->child == h);
    h->child = ZuObjectNull;

    EXPECT_TRUE(h->DefineData(ZuAtomRef("number"), ZuValueRef(17u)));
    EXPECT_EQ(17u, h->number);
    ZuValueRef v;
    EXPECT_TRUE(h->QueryData(ZuAtomRef("number"), v));
    EXPECT_EQ(17u, unsigned(v));
    // A number is not an object.
    EXPECT_FALSE(h->QueryData(ZuAtomRef("number"), out));
    // The group answers from the item that can be read.
    EXPECT_TRUE(h->QueryData(ZuAtomRef("alt"), v));
    EXPECT_EQ(42u, unsigned(v));
    EXPECT_FALSE(h->DefineData(ZuAtomRef("alt"), ZuValueRef(1u)));
    EXPECT_FALSE(h->QueryData(ZuAtomRef("missing"), v));
    // By position, own class first.
    EXPECT_TRUE(h->QueryData(3u, out));
    EXPECT_TRUE(out == h);
}

TEST_F(ObjDataTest, ActionsAlongAPathAndTheUserPath)
{
    TDataHolderRef h = NewHolder();
    ZuAtomPathRef both("First.Second");
    EXPECT_TRUE(h->Action(both, ZuObjectNull, 0));
    EXPECT_EQ(1, h->seconds);
    EXPECT_FALSE(h->Action(ZuAtomPathRef("First"), ZuObjectNull, 0));
    EXPECT_FALSE(h->Action(ZuAtomPathRef(), ZuObjectNull, 0));
    ZuAtomPathRef user = h->RetUserPath();
    ASSERT_TRUE(user.IsValid());
    EXPECT_EQ(0u, user->TotalCount());
    EXPECT_EQ(Zuvi_app_zone, user->RetMemZone());
}

} // namespace
