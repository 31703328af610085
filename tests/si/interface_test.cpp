#include "si/interface.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/icontainer.h"
#include "si/itickhandler.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"

// A container of three objects (itself), declaring ZuiContainer.
ZU_HANDLE(TIfaceList, ZuObject)
class TIfaceList : public ZuObject, public ZuiContainer {
    ZU_CLASS(TIfaceList, ZuObject)
public:
    TIfaceList() {}
    unsigned int TotalCount() const override { return 3; }
    bool Get(unsigned int index, ZuObjectRef& out) override
    {
        if (index >= 3)
            return false;
        out = this;
        return true;
    }
};
ZU_CLASS_END(TIfaceList)
ZU_IMPLEMENT_CLASS(TIfaceList, "tests/interface", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TIfaceList, ZuiContainer)

// Inherits the interface of its base and adds one of its own.
ZU_HANDLE(TIfaceTicking, TIfaceList)
class TIfaceTicking : public TIfaceList, public ZuiTickHandler {
    ZU_CLASS(TIfaceTicking, TIfaceList)
public:
    TIfaceTicking() {}
    void Tick(unsigned int tick) override { last_tick = tick; }
    unsigned int last_tick = 0;
};
ZU_CLASS_END(TIfaceTicking)
ZU_IMPLEMENT_CLASS(TIfaceTicking, "tests/interface", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TIfaceTicking, ZuiTickHandler)

// Declares nothing.
ZU_HANDLE(TIfacePlain, ZuObject)
class TIfacePlain : public ZuObject {
    ZU_CLASS(TIfacePlain, ZuObject)
public:
    TIfacePlain() {}
};
ZU_CLASS_END(TIfacePlain)
ZU_IMPLEMENT_CLASS(TIfacePlain, "tests/interface", ZU_CLASS_PLAIN)

namespace {

class Interface : public ZuviRuntimeTest {
protected:
    static ZuObjectRef Make(const char* name)
    {
        return ZuObjectRef(ZuClassFactory::New(name, nullptr, __LINE__, __FILE__));
    }
};

TEST_F(Interface, DeclaringObjectIsFoundAndCast)
{
    ZuObjectRef list = Make("TIfaceList");
    ASSERT_TRUE(list->SupportsInterface(&ZuiContainer::interface));
    auto* container = static_cast<ZuiContainer*>(list->CastToInterface(&ZuiContainer::interface));
    ASSERT_NE(container, nullptr);
    // The interface part is not the object's start, and leads back to it.
    EXPECT_NE(static_cast<void*>(container), static_cast<void*>(list.RetRawObject()));
    EXPECT_EQ(container->RetSelfAsObject(), list.RetRawObject());
    EXPECT_EQ(container->TotalCount(), 3u);
    ZuObjectRef out;
    EXPECT_TRUE(container->Get(2, out));
    EXPECT_TRUE(out == list);
    EXPECT_FALSE(container->Get(3, out));

    const ZuObject* constant = list.RetRawObject();
    EXPECT_EQ(constant->CastToInterface(&ZuiContainer::interface),
              static_cast<const void*>(container));
    EXPECT_FALSE(list->SupportsInterface(&ZuiTickHandler::interface));
    EXPECT_EQ(list->CastToInterface(&ZuiTickHandler::interface), nullptr);
}

TEST_F(Interface, ObjectWithoutTheInterfaceAnswersNull)
{
    ZuObjectRef plain = Make("TIfacePlain");
    EXPECT_FALSE(plain->SupportsInterface(&ZuiContainer::interface));
    EXPECT_EQ(plain->CastToInterface(&ZuiContainer::interface), nullptr);
    const ZuObject* constant = plain.RetRawObject();
    EXPECT_EQ(constant->CastToInterface(&ZuiContainer::interface), nullptr);
    EXPECT_FALSE(plain->SupportsInterface(nullptr));
}

TEST_F(Interface, SubclassInheritsItsBasesInterfaces)
{
    ZuObjectRef ticking = Make("TIfaceTicking");
    EXPECT_TRUE(ticking->SupportsInterface(&ZuiContainer::interface));
    EXPECT_TRUE(ticking->SupportsInterface(&ZuiTickHandler::interface));
    auto* tick = static_cast<ZuiTickHandler*>(ticking->CastToInterface(&ZuiTickHandler::interface));
    ASSERT_NE(tick, nullptr);
    tick->Tick(42);
    EXPECT_EQ(static_cast<TIfaceTicking*>(ticking.RetRawObject())->last_tick, 42u);
    auto* container =
        static_cast<ZuiContainer*>(ticking->CastToInterface(&ZuiContainer::interface));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->RetSelfAsObject(), ticking.RetRawObject());

    ZuRuntimeRef runtime;
    ASSERT_TRUE(ZuClassFactory::GetClass("TIfaceTicking", runtime));
    EXPECT_EQ(runtime->CountInterfaces(), 2u);
    const Zuvi_Interface* first = nullptr;
    ASSERT_TRUE(runtime->GetInterface(0, first));
    EXPECT_STREQ(first->RetName(), "ZuiTickHandler"); // own first
    ASSERT_TRUE(runtime->GetInterface(1, first));
    EXPECT_STREQ(first->RetName(), "ZuiContainer");
    EXPECT_FALSE(runtime->GetInterface(2, first));
}

TEST_F(Interface, ClassMapFollowsTheClassList)
{
    ZuRuntimeRef list, plain;
    ASSERT_TRUE(ZuClassFactory::GetClass("TIfaceList", list));
    ASSERT_TRUE(ZuClassFactory::GetClass("TIfacePlain", plain));
    const Zuvi_Interface& iface = ZuiContainer::interface;
    EXPECT_TRUE(iface.CheckClassMap(list->RetRuntimeClassID()));
    EXPECT_FALSE(iface.CheckClassMap(plain->RetRuntimeClassID()));
    EXPECT_GE(iface.RetClassMap().RetCount(), ZuClassFactory::TotalCount() + 1);
    EXPECT_FALSE(iface.CheckClassMap(ZuClassFactory::TotalCount() + 5));

    // A restart of the factory makes every map rebuild.
    unsigned int before = Zuvi_Interface::current_seq_id;
    ZuviStopRuntime();
    ZuviStartRuntime();
    EXPECT_GT(Zuvi_Interface::current_seq_id, before);
    ZuObjectRef again = Make("TIfaceList");
    EXPECT_TRUE(again->SupportsInterface(&ZuiContainer::interface));
}

} // namespace
