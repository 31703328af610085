// Messages: calls by name with marshalled arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/target.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// A receiver whose method "Take" reads an integer, a string and an object;
// "Poke" is an actor and "Note" an observer.
ZU_HANDLE(TMsgReceiver, ZuObject)
class TMsgReceiver : public ZuObject {
    ZU_CLASS(TMsgReceiver, ZuObject)
public:
    TMsgReceiver() {}
    bool Take(int n, const ZuStringRef& text, const ZuObjectRef& object)
    {
        log += "take(" + std::to_string(n) + "," + (text.IsValid() ? text->AccessLatin() : "-") +
               "," + (object.IsValid() ? "obj" : "-") + ") ";
        last = object;
        return false; // the callee's answer is not passed on
    }
    bool Poke()
    {
        log += "poke ";
        return true;
    }
    bool Note(const ZuObjectRef&, unsigned id)
    {
        log += "note(" + std::to_string(id) + ") ";
        return true;
    }
    void Delete() override
    {
        last = ZuObjectNull;
        ZuObject::Delete();
    }
    std::string log;
    ZuObjectRef last;
};
ZU_CLASS_END(TMsgReceiver)
ZU_IMPLEMENT_CLASS(TMsgReceiver, "tests/message", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(TMsgReceiver, Poke)
ZU_EXPORT_OBSERVER(TMsgReceiver, Note)

namespace {

unsigned g_described = 0;

bool TakeThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        ++g_described;
        exp->SetCall("Take (int n, ZuString text, ZuObject object)");
        exp->SetArg("Int32", "n", "a number");
        exp->SetArg("ZuString", "text", "a text");
        exp->SetArg("ZuObject", "object", "an object");
        return true;
    }
    int n = 0;
    ZuStringRef text;
    ZuObjectRef object;
    msg >> n >> text >> object;
    return static_cast<TMsgReceiver*>(obj)->Take(n, text, object);
}
Zuvi_TargetExport take_export(&TakeThunk, TMsgReceiverRef::RetRuntime());

class MessageTest : public ZuviRuntimeTest {
protected:
    TMsgReceiverRef NewReceiver() { return ZuNew<TMsgReceiver>(); }
    ZuMessageRef NewMessage()
    {
        return ZuObjectRef(ZuClassFactory::New("ZuMessage", Zuvi_app_zone, __LINE__, __FILE__));
    }
    ZuTargetRef NewTarget(const char* name, const ZuObjectRef& object, ZuTargetType type)
    {
        ZuTargetRef t(ZuNew<ZuTarget>());
        t->SetTarget(ZuAtomRef(name), object, type);
        return t;
    }
    std::vector<unsigned char> Store(const ZuObjectRef& object)
    {
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartStoring();
        s->StoreObject(object);
        return s->Bytes();
    }
    ZuObjectRef Restore(const std::vector<unsigned char>& bytes)
    {
        ZuTestStorageRef s = ZuTestStorage::Make();
        s->StartRestoring(bytes);
        ZuObjectRef out;
        s->RestoreObject(out, ZuObjectRef::RetRuntime());
        return out;
    }
    void Write(const ZuMessageRef& msg, int n, const char* text, const ZuObjectRef& object)
    {
        msg << n << ZuObjectRef(ZuStringRef(text)) << object;
    }
};

} // namespace

TEST_F(MessageTest, TheMessageFormDescribesItselfOnceAtRegistration)
{
    EXPECT_EQ(1u, g_described);
    const Zuvi_Target* t = TMsgReceiverRef::RetRuntime()->FindMethod(ZuAtomRef("Take"), 0);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(3u, t->num_param);
    EXPECT_EQ(unsigned(ZU_TARGET_MESSAGE), t->RetKind());
}

TEST_F(MessageTest, OneMessageSentTwicePassesTheSameArgumentsAndStaysWritable)
{
    TMsgReceiverRef a = NewReceiver(), b = NewReceiver(), arg = NewReceiver();
    ZuMessageRef msg = NewMessage();
    msg->Clear();
    msg->SetMethod("Take");
    Write(msg, 7, "abc", arg);
    const unsigned length = msg->RetLength();
    EXPECT_TRUE(a < msg);
    EXPECT_EQ(length, msg->RetLength());
    EXPECT_TRUE(msg->Send(b));
    EXPECT_EQ("take(7,abc,obj) ", a->log);
    EXPECT_EQ(a->log, b->log);
    EXPECT_TRUE(a->last == arg && b->last == arg);
    // Still in write state: what is written next follows the arguments.
    msg << 1;
    EXPECT_GT(msg->RetLength(), length);
    // Cleared, the method stays and the arguments are gone.
    msg->Clear();
    EXPECT_EQ(0u, msg->RetLength());
    EXPECT_TRUE(msg->RetMethod() == "Take");
    a->Delete();
    b->Delete();
}

TEST_F(MessageTest, AMessageCarriesAMethodOrATargetNeverBoth)
{
    TMsgReceiverRef r = NewReceiver();
    ZuMessageRef msg = NewMessage();
    ZuTargetRef target = NewTarget("Poke", r, ZU_TARGET_ACTOR);

    msg->SetMethod("Take");
    msg->SetTarget(target);
    EXPECT_TRUE(msg->IsTargetOk());
    EXPECT_FALSE(msg->IsMethodOk());
    EXPECT_TRUE(msg->RetMethod().IsInvalid());
    msg->SetMethod(ZuAtomRef()); // an empty atom keeps the target
    EXPECT_TRUE(msg->IsTargetOk());
    EXPECT_TRUE(msg->RetTarget() == target);

    msg->SetMethod(ZuStringRef("Take"));
    EXPECT_TRUE(msg->IsMethodOk());
    EXPECT_FALSE(msg->IsTargetOk());
    EXPECT_TRUE(msg->RetTarget().IsInvalid());
    msg->SetTarget(ZuTargetRef()); // an empty target keeps the method
    EXPECT_TRUE(msg->IsMethodOk());
    EXPECT_TRUE(msg->RetMethod() == "Take");
}

TEST_F(MessageTest, SendingFindsTheCalleeByMethodOrTarget)
{
    TMsgReceiverRef r = NewReceiver();
    ZuObjectRef stranger = ZuTestNode::Make(1);
    struct Case {
        const char* what;
        const char* method; // or null for a target
        ZuTargetType kind;
        bool to_stranger;
        bool sent;
        const char* log;
    } const cases[] = {
        {"method", "Take", 0, false, true, "take(3,x,-) "},
        {"actor by method name, no argument read", "Poke", 0, false, true, "poke "},
        {"no such name", "Missing", 0, false, false, ""},
        {"observer by method name", "Note", 0, false, false, ""},
        {"message target", nullptr, ZU_TARGET_MESSAGE, false, true, "take(3,x,-) "},
        {"actor target", nullptr, ZU_TARGET_ACTOR, false, true, "poke "},
        {"observer target", nullptr, ZU_TARGET_OBSERVER, false, false, ""},
        {"target on a class without the name", nullptr, ZU_TARGET_ACTOR, true, false, ""},
    };
    const char* names[] = {"", "Take", "Note", "Poke"};
    for (const Case& c : cases) {
        r->log.clear();
        ZuMessageRef msg = NewMessage();
        if (c.method)
            msg->SetMethod(c.method);
        else
            msg->SetTarget(NewTarget(names[c.kind], r, c.kind));
        Write(msg, 3, "x", ZuObjectNull);
        EXPECT_EQ(c.sent, msg->Send(c.to_stranger ? stranger : ZuObjectRef(r))) << c.what;
        EXPECT_EQ(c.log, r->log) << c.what;
    }
    ZuMessageRef empty = NewMessage();
    EXPECT_FALSE(empty->Send(r));
    r->Delete();
}

TEST_F(MessageTest, TheDefaultTargetIsTheTargetsOwnObject)
{
    TMsgReceiverRef r = NewReceiver();
    ZuMessageRef msg = NewMessage();
    msg->SetMethod("Take");
    EXPECT_FALSE(msg->SendToDefaultTarget()); // a method name has no object
    msg->SetTarget(NewTarget("Take", r, ZU_TARGET_MESSAGE));
    Write(msg, 5, "d", ZuObjectNull);
    EXPECT_TRUE(msg->SendToDefaultTarget());
    EXPECT_TRUE(msg->SendToDefaultTarget());
    EXPECT_EQ("take(5,d,-) take(5,d,-) ", r->log);
    // A target whose name resolved to nothing makes no delivery.
    ZuMessageRef none = NewMessage();
    none->SetTarget(NewTarget("Missing", r, ZU_TARGET_MESSAGE));
    EXPECT_FALSE(none->SendToDefaultTarget());
    r->Delete();
}

TEST_F(MessageTest, TheHeapHoldsAtMost999BytesOfArguments)
{
    ZuMessageRef msg = NewMessage();
    unsigned char bytes[1000] = {};
    msg->StoreData(bytes, 999);
    EXPECT_EQ(999u, msg->RetLength());
    EXPECT_DEATH(msg->StoreData(bytes, 1), "si/message:[0-9]+:error: ZuMessage heap too small");
}

TEST_F(MessageTest, ReadingPastTheArgumentsOfAMessageOfThisProcessIsFatal)
{
    TMsgReceiverRef r = NewReceiver();
    ZuMessageRef msg = NewMessage();
    msg->SetMethod("Take");
    msg << 1;
    EXPECT_DEATH(msg->Send(r), "Expecting more data from ZuMessage heap");
    r->Delete();
}

TEST_F(MessageTest, AStoredMessageComesBackWithItsCallFlagsAndArguments)
{
    TMsgReceiverRef r = NewReceiver(), arg = NewReceiver();
    for (bool by_target : {false, true}) {
        r->log.clear();
        ZuMessageRef msg = NewMessage();
        msg->SetRemoteMode(true);
        if (by_target)
            msg->SetTarget(NewTarget("Take", r, ZU_TARGET_MESSAGE));
        else
            msg->SetMethod("Take");
        Write(msg, 42, "stored", arg);
        ZuMessageRef back(Restore(Store(msg)));
        ASSERT_TRUE(back.IsValid());
        EXPECT_EQ(msg->IsTargetOk(), back->IsTargetOk());
        EXPECT_EQ(msg->IsMethodOk(), back->IsMethodOk());
        EXPECT_TRUE(back->RetRemoteMode());
        EXPECT_EQ(msg->RetLength(), back->RetLength());
        if (by_target) {
            ASSERT_TRUE(back->RetTarget().IsValid());
            EXPECT_TRUE(back->RetTarget()->RetName() == "Take");
            EXPECT_TRUE(back->RetTarget()->IsValid()); // resolved again
        } else {
            EXPECT_TRUE(back->RetMethod() == "Take");
        }
        EXPECT_TRUE(back->Send(r));
        // The argument object travelled by value: a copy of its class.
        EXPECT_EQ("take(42,stored,obj) ", r->log);
        ASSERT_TRUE(r->last.IsValid());
        EXPECT_TRUE(r->last->IsA(TMsgReceiverRef::RetRuntime()));
        EXPECT_FALSE(r->last == arg);
        // Stored again, the same bytes of arguments.
        EXPECT_EQ(back->RetLength(), msg->RetLength());
        if (ZuObject* copy = r->last.Resolve())
            copy->Delete();
    }
    r->Delete();
    arg->Delete();
}

TEST_F(MessageTest, ARestoredMessageReadsItsArgumentsAsOutsideData)
{
    // Built in local mode, the object argument is an address: from outside
    // it is refused instead of being taken for an object.
    TMsgReceiverRef r = NewReceiver(), arg = NewReceiver();
    ZuMessageRef msg = NewMessage();
    msg->SetMethod("Take");
    Write(msg, 1, "a", arg);
    ZuMessageRef back(Restore(Store(msg)));
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->RetRemoteMode());
    EXPECT_TRUE(back->IsFromOutside());
    EXPECT_THROW(back->Send(r), ZuExcStream);
    EXPECT_EQ("", r->log);
    // Arguments that end early: a stream exception, not the fatal error.
    ZuMessageRef shorter = NewMessage();
    shorter->SetRemoteMode(true);
    shorter->SetMethod("Take");
    shorter << 1;
    ZuMessageRef short_back(Restore(Store(shorter)));
    EXPECT_THROW(short_back->Send(r), ZuExcStream);
    // After either, the message is still whole and can be sent again.
    EXPECT_EQ(shorter->RetLength(), short_back->RetLength());
    EXPECT_THROW(short_back->Send(r), ZuExcStream);
    // Cleared and written here, it is this process's message again.
    back->Clear();
    EXPECT_FALSE(back->IsFromOutside());
    Write(back, 2, "b", arg);
    EXPECT_TRUE(back->Send(r));
    EXPECT_EQ("take(2,b,obj) ", r->log);
    r->Delete();
    arg->Delete();
}

// A class whose stored record has the shape of a message's, with a length
// of its choosing; its name has the length of "ZuMessage", so a test can
// rename it in the bytes.
ZU_HANDLE(ZuFakeMsg, ZuStorage)
class ZuFakeMsg : public ZuStorage {
    ZU_CLASS(ZuFakeMsg, ZuStorage)
public:
    ZuFakeMsg() {}
    void StoreData(const void*, unsigned int) override {}
    void RestoreData(void*, unsigned int) override {}
    unsigned length = 0;
    unsigned bytes = 0;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        static ZuStorageSync record(
            "<ZuMessage target method target_ok method_ok remote_mode length bindata>");
        ZuStorage::StoreInstance(s);
        s << record << ZuStorageSync::begin;
        s->StoreObject(ZuObjectNull);
        s->StoreAtom(ZuAtomRef("Take"));
        s->StoreBool(false);
        s->StoreBool(true);
        s->StoreBool(true);
        s->StoreCard(length);
        std::vector<unsigned char> data(bytes, 0x55);
        s->StoreBinData(data.data(), bytes);
        s << ZuStorageSync::end;
    }
};
ZU_CLASS_END(ZuFakeMsg)
ZU_IMPLEMENT_CLASS(ZuFakeMsg, "tests/message", ZU_CLASS_PLAIN)

TEST_F(MessageTest, AStoredLengthAboveTheHeapIsRefused)
{
    struct Case {
        unsigned length;
        bool accepted;
    } const cases[] = {{1000, true}, {1001, false}, {0xFFFFFFFFu, false}};
    for (const Case& c : cases) {
        ZuFakeMsgRef fake(ZuNew<ZuFakeMsg>());
        fake->length = c.length;
        fake->bytes = c.accepted ? c.length : 1000;
        std::vector<unsigned char> bytes = Store(fake);
        auto at = std::search(bytes.begin(), bytes.end(), "ZuFakeMsg", "ZuFakeMsg" + 9);
        ASSERT_NE(bytes.end(), at);
        std::memcpy(&*at, "ZuMessage", 9);
        if (c.accepted) {
            ZuMessageRef back(Restore(bytes));
            ASSERT_TRUE(back.IsValid()) << c.length;
            EXPECT_EQ(1000u, back->RetLength());
        } else {
            EXPECT_THROW(Restore(bytes), ZuExcStream) << c.length;
        }
    }
}

TEST_F(MessageTest, ACopyHasTheCallAndNoArguments)
{
    TMsgReceiverRef r = NewReceiver();
    ZuMessageRef msg = NewMessage();
    msg->SetMethod("Take");
    Write(msg, 9, "z", ZuObjectNull);
    ZuMessageRef copy(msg->Clone());
    EXPECT_TRUE(copy->RetMethod() == "Take");
    EXPECT_EQ(0u, copy->RetLength());

    ZuTargetRef target = NewTarget("Poke", r, ZU_TARGET_ACTOR);
    msg->SetTarget(target);
    ZuMessageRef copy2(msg->Clone());
    EXPECT_TRUE(copy2->RetTarget() == target);
    EXPECT_TRUE(copy2->RetMethod().IsInvalid());
    EXPECT_EQ(0u, copy2->RetLength());
    r->Delete();
}
