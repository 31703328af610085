#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/iclasspatch.h"
#include "si/string.h"
#include "si/typeinfo.h"
#include "tests/support/objmodel.h"

ZU_HANDLE(TFacSingle, ZuObject)
class TFacSingle : public ZuObject {
    ZU_CLASS(TFacSingle, ZuObject)
public:
    TFacSingle() {}
};
ZU_CLASS_END(TFacSingle)
ZU_IMPLEMENT_CLASS(TFacSingle, "tests/classfactory", ZU_CLASS_SINGLETON)

// Derives from a singleton class: singleton too.
ZU_HANDLE(TFacSingleChild, TFacSingle)
class TFacSingleChild : public TFacSingle {
    ZU_CLASS(TFacSingleChild, TFacSingle)
public:
    TFacSingleChild() {}
};
ZU_CLASS_END(TFacSingleChild)
ZU_IMPLEMENT_CLASS(TFacSingleChild, "tests/classfactory", ZU_CLASS_PLAIN)

ZU_HANDLE(TFacAbstract, ZuObject)
class TFacAbstract : public ZuObject {
    ZU_CLASS(TFacAbstract, ZuObject)
public:
    TFacAbstract() {}
};
ZU_CLASS_END(TFacAbstract)
ZU_IMPLEMENT_CLASS(TFacAbstract, "tests/classfactory", ZU_CLASS_ABSTRACT)

// A plain class, and a patch that builds it its own way.
ZU_HANDLE(TFacPlain, ZuObject)
class TFacPlain : public ZuObject {
    ZU_CLASS(TFacPlain, ZuObject)
public:
    TFacPlain() {}
    int made_by = 0;
};
ZU_CLASS_END(TFacPlain)
ZU_IMPLEMENT_CLASS(TFacPlain, "tests/classfactory", ZU_CLASS_PLAIN)

// A class whose constructor is defaulted, with a member initialiser.
ZU_HANDLE(TFacDefaulted, ZuObject)
class TFacDefaulted : public ZuObject {
    ZU_CLASS(TFacDefaulted, ZuObject)
public:
    TFacDefaulted() = default;
    int value = 7;
};
ZU_CLASS_END(TFacDefaulted)
ZU_IMPLEMENT_CLASS(TFacDefaulted, "tests/classfactory", ZU_CLASS_PLAIN)

ZU_HANDLE(TFacPatch, ZuObject)
class TFacPatch : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(TFacPatch, ZuObject)
public:
    TFacPatch() {}
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override
    {
        ++asked;
        if (runtime != TFacPlainRef::RetRuntime().RetRawObject())
            return nullptr;
        return [](void* memory, unsigned size) {
            TFacPlain::Construct(memory, size);
            static_cast<TFacPlain*>(static_cast<ZuObject*>(memory))->made_by = 7;
        };
    }
    int asked = 0;
};
ZU_CLASS_END(TFacPatch)
ZU_IMPLEMENT_CLASS(TFacPatch, "tests/classfactory", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TFacPatch, ZuiClassPatch)

namespace {

class ClassFactoryTest : public ZuviRuntimeTest {};

std::vector<std::string> Names()
{
    std::vector<std::string> names;
    for (ZuClassFactory::ClassDef* def = ZuClassFactory::list_head; def; def = def->next)
        names.push_back(static_cast<const char*>(def->name));
    return names;
}

TEST_F(ClassFactoryTest, UnknownNameThrowsCodeTwo)
{
    try {
        ZuClassFactory::New("NoSuchClassAnywhere", nullptr, __LINE__, __FILE__);
        FAIL() << "no exception";
    } catch (const ZuExcObject& e) {
        EXPECT_EQ(2, int(e.RetError()));
        EXPECT_EQ(nullptr, e.RetFaultyObject());
    }
}

TEST_F(ClassFactoryTest, SingletonIsMadeOnce)
{
    ZuObjectRef first(ZuClassFactory::New("TFacSingle", nullptr, __LINE__, __FILE__));
    ZuObjectRef second(
        ZuClassFactory::New(TFacSingleRef::RetRuntime(), nullptr, __LINE__, __FILE__));
    EXPECT_TRUE(first.IsValid());
    EXPECT_EQ(first.RetRawObject(), second.RetRawObject());
    EXPECT_TRUE(TFacSingleChildRef::RetRuntime()->IsSingleton());
    EXPECT_FALSE(ZuRuntimeRef::RetRuntime()->IsSingleton());
}

TEST_F(ClassFactoryTest, ClassesByStringName)
{
    ZuRuntimeRef rt;
    EXPECT_TRUE(ZuClassFactory::GetClass(ZuStringRef("TFacSingleChild"), rt));
    EXPECT_TRUE(rt == TFacSingleChildRef::RetRuntime());
    ZuObjectRef obj(
        ZuClassFactory::New(ZuStringRef("TFacSingleChild"), nullptr, __LINE__, __FILE__));
    EXPECT_TRUE(obj->IsA(rt));
    EXPECT_THROW(ZuClassFactory::New(ZuStringRef("Nope"), nullptr, __LINE__, __FILE__),
                 ZuExcObject);
}

TEST_F(ClassFactoryTest, ObjectsCarryTheirZone)
{
    ZuObjectRef in_temp(ZuClassFactory::New("TFacSingleChild", Zuvi_temp_zone, __LINE__, __FILE__));
    EXPECT_EQ(Zuvi_temp_zone, in_temp->RetMemZone());
    ZuRuntimeRef rt;
    ASSERT_TRUE(ZuClassFactory::GetClass("ZuRuntime", rt));
    EXPECT_EQ(Zuvi_sys_zone, rt->RetMemZone());
}

// A defaulted constructor keeps the zone the factory wrote before
// construction (value-initialisation would have zeroed it) and still runs
// the member initialisers.
TEST_F(ClassFactoryTest, DefaultedConstructorKeepsTheZone)
{
    TFacDefaultedRef made = ZuNew<TFacDefaulted>(Zuvi_temp_zone);
    ASSERT_TRUE(made.IsValid());
    EXPECT_EQ(Zuvi_temp_zone, made->RetMemZone());
    EXPECT_EQ(7, made->value);
    EXPECT_TRUE(made->IsA(TFacDefaultedRef::RetRuntime()));
    EXPECT_TRUE(TFacDefaultedRef::RetRuntime()->RetSuper() == ZuObjectRef::RetRuntime());
}

TEST_F(ClassFactoryTest, NullZoneMeansApplicationZone)
{
    ZuClassFactory::Kill();
    ZuClassFactory::Initialise();
    ZuObjectRef obj(ZuClassFactory::New("TFacSingle", nullptr, __LINE__, __FILE__));
    EXPECT_EQ(Zuvi_app_zone, obj->RetMemZone());
}

TEST_F(ClassFactoryTest, FarClassesMoveToTheFrontNearOnesStay)
{
    std::vector<std::string> names = Names();
    ASSERT_GT(names.size(), 6u);
    ZuRuntimeRef rt;
    ASSERT_TRUE(ZuClassFactory::GetClass(names[3].c_str(), rt));
    EXPECT_EQ(names, Names());
    EXPECT_STREQ(names[3].c_str(), rt->RetClassName());

    ASSERT_TRUE(ZuClassFactory::GetClass(names[5].c_str(), rt));
    std::vector<std::string> after = Names();
    EXPECT_EQ(names[5], after[0]);
    EXPECT_EQ(names[0], after[1]);
    EXPECT_EQ(names.size(), after.size());
    EXPECT_STREQ(names[5].c_str(), rt->RetClassName());
}

TEST_F(ClassFactoryTest, ClassesByPosition)
{
    ZuRuntimeRef rt;
    EXPECT_FALSE(ZuClassFactory::GetClass(ZuClassFactory::TotalCount(), rt));
    EXPECT_TRUE(rt.IsInvalid());
    ASSERT_TRUE(ZuClassFactory::GetClass(0u, rt));
    EXPECT_TRUE(rt.IsValid());
    EXPECT_EQ(1u, ZuObjectRef::RetRuntime()->RetClassDepth());
    EXPECT_EQ(2u, TFacSingleRef::RetRuntime()->RetClassDepth());
    EXPECT_EQ(3u, TFacSingleChildRef::RetRuntime()->RetClassDepth());
    EXPECT_TRUE(ZuObjectRef::RetRuntime()->IsAbstract());
    EXPECT_TRUE(ZuAtomRef::RetRuntime()->IsSpecial());
}

TEST_F(ClassFactoryTest, PatchesSupplyConstructors)
{
    TFacPatchRef patch(ZuClassFactory::New("TFacPatch", nullptr, __LINE__, __FILE__));
    ZuObjectRef plain_object(ZuClassFactory::New("TFacSingle", nullptr, __LINE__, __FILE__));
    EXPECT_FALSE(ZuClassFactory::InsertPatch(plain_object)); // no ZuiClassPatch
    EXPECT_FALSE(ZuClassFactory::InsertPatch(ZuObjectNull));
    EXPECT_FALSE(ZuClassFactory::HasPatches());

    // A class built once before the patch keeps no stale choice.
    TFacPlainRef before(ZuClassFactory::New("TFacPlain", nullptr, __LINE__, __FILE__));
    EXPECT_EQ(0, before->made_by);
    EXPECT_TRUE(ZuClassFactory::InsertPatch(patch));
    EXPECT_FALSE(ZuClassFactory::InsertPatch(patch));
    EXPECT_TRUE(ZuClassFactory::HasPatches());
    TFacPlainRef patched(ZuClassFactory::New("TFacPlain", nullptr, __LINE__, __FILE__));
    EXPECT_EQ(7, patched->made_by);
    EXPECT_EQ(1u, patched->RetRefCount());
    int asked = patch->asked;
    ZuClassFactory::New("TFacPlain", nullptr, __LINE__, __FILE__);
    EXPECT_EQ(asked, patch->asked); // the choice is kept per class

    EXPECT_TRUE(ZuClassFactory::RemovePatch(patch));
    EXPECT_FALSE(ZuClassFactory::RemovePatch(patch));
    EXPECT_FALSE(ZuClassFactory::HasPatches());
    TFacPlainRef after(ZuClassFactory::New("TFacPlain", nullptr, __LINE__, __FILE__));
    EXPECT_EQ(0, after->made_by);
}

TEST_F(ClassFactoryTest, EveryClassHasItsTypeDescriptors)
{
    EXPECT_EQ(&TFacSingle_type, Zuvi_TypeInfo::Find("TFacSingle"));
    EXPECT_EQ(&TFacSingleArray_type, Zuvi_TypeInfo::Find("TFacSingleArray"));
    EXPECT_EQ(&ZuObject_type, Zuvi_TypeInfo::Find("ZuObjectRef"));
    EXPECT_EQ(&ZuRuntime_type, Zuvi_TypeInfo::Find("ZuRuntime"));
    EXPECT_EQ(&TFacSingleRef::RetRuntime(), TFacSingle_type.extra);
    EXPECT_NE(nullptr, Zuvi_TypeInfo::Find("ZuObjectStatusBit"));
}

TEST(ClassFactoryDeathTest, AbstractClassesRefuseInstances)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuClassFactory::New("TFacAbstract", nullptr, __LINE__, __FILE__);
        },
        "Cannot instanciate TFacAbstract");
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            ZuClassFactory::New("ZuObject", nullptr, __LINE__, __FILE__);
        },
        "Cannot instanciate ZuObject");
}

} // namespace
