// Which classes stored bytes may make: a record that names a class which
// cannot be stored, or a service of the running program, is refused before
// anything of that class is made; every other class of the library still
// comes back from its record, in a process without the screen's services.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "si/carbon.h"
#include "si/classfactory.h"
#include "si/except.h"
#include "si/grailpxm.h"
#include "si/iclasspatch.h"
#include "si/interface.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// Logs the class of every object the factory constructs while it is
// installed: a patch is asked for the construction function of each class
// the first time one is made after it went in.
ZU_HANDLE(TMadeLog, ZuObject)
class TMadeLog : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(TMadeLog, ZuObject)
public:
    TMadeLog() {}
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override
    {
        made.push_back(runtime->RetClassName());
        return nullptr;
    }
    std::vector<std::string> made;
};
ZU_CLASS_END(TMadeLog)
ZU_IMPLEMENT_CLASS(TMadeLog, "tests/storable", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TMadeLog, ZuiClassPatch)

// A pixmap that would store itself: a subclass of a class that cannot be
// stored stays refused whatever it declares.
ZU_HANDLE(TStoringPixmap, ZuGrailPixmap)
class TStoringPixmap : public ZuGrailPixmap {
    ZU_CLASS(TStoringPixmap, ZuGrailPixmap)
public:
    TStoringPixmap() {}

protected:
    void StoreInstance(const ZuStorageRef& s) override { ZuObject::StoreInstance(s); }
    void RestoreInstance(const ZuStorageRef& s) override { ZuObject::RestoreInstance(s); }
};
ZU_CLASS_END(TStoringPixmap)
ZU_IMPLEMENT_CLASS(TStoringPixmap, "tests/storable", ZU_CLASS_PLAIN)

// Reads an integer and an object, the arguments of a call from outside.
ZU_HANDLE(TStorableReceiver, ZuObject)
class TStorableReceiver : public ZuObject {
    ZU_CLASS(TStorableReceiver, ZuObject)
public:
    TStorableReceiver() {}
    unsigned calls = 0;
};
ZU_CLASS_END(TStorableReceiver)
ZU_IMPLEMENT_CLASS(TStorableReceiver, "tests/storable", ZU_CLASS_PLAIN)

namespace {

bool TakeThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Take (int n, ZuObject object)");
        exp->SetArg("Int32", "n", "");
        exp->SetArg("ZuObject", "object", "");
        return true;
    }
    int n = 0;
    ZuObjectRef object;
    msg >> n >> object;
    ++static_cast<TStorableReceiver*>(obj)->calls;
    return true;
}
Zuvi_TargetExport take_export(&TakeThunk, TStorableReceiverRef::RetRuntime());

using Bytes = std::vector<unsigned char>;

// A new object of the named class: tag 0x40, the name's length, name 1,
// object 1, the name.
Bytes Record(const char* name)
{
    Bytes b = {0x40, static_cast<unsigned char>(std::strlen(name)), 0x01, 0x01};
    b.insert(b.end(), name, name + std::strlen(name));
    return b;
}

// The record the fuzzers found: the object's record, then whatever bytes,
// 62 in all.
Bytes FoundInput(const char* name)
{
    Bytes b = Record(name);
    const unsigned char tail[] = {0x43, 0x01, 0xFE, 0xFC, 0x80, 0x00, 0x09, 0xFD};
    while (b.size() < 62)
        b.push_back(tail[b.size() % sizeof tail]);
    return b;
}

// The services and the classes that refuse to be stored, each a kind a
// record may name.
const char* const kRefused[] = {
    "ZuLookMan",    "ZuGrailPixmap", "ZuGrailWindow", "TStoringPixmap", "ZuApp",
    "ZuResMan",     "ZuLocaleMan",   "ZuConvert",     "ZuAdorner",      "ZuCursorRecord",
    "ZuIconRecord", "ZuGrailCursor", "ZuDialog",      "ZuFileRead",     "ZuFileWrite",
    "ZuArchive",    "ZuPipeServer",  "ZuPipeClient",  "ZuThread",       "GCThread",
    "ZuRuntime",
};

class StorableTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        log = ZuNew<TMadeLog>();
    }
    void TearDown() override
    {
        log = ZuObjectRef();
        ZuviRuntimeTest::TearDown();
    }
    // Runs the read with the log installed and answers the classes made.
    template <class F>
    std::vector<std::string> Made(F read)
    {
        log->made.clear();
        EXPECT_TRUE(ZuClassFactory::InsertPatch(log));
        read();
        EXPECT_TRUE(ZuClassFactory::RemovePatch(log));
        return log->made;
    }
    TMadeLogRef log;
};

} // namespace

TEST_F(StorableTest, TheStorageRefusesARecordNamingAServiceBeforeMakingIt)
{
    // The basic services only: the screen's are not there to be needed.
    ASSERT_TRUE(ZuLookMan::Current().IsInvalid());
    ZuTestStorageRef storage = ZuTestStorage::Make();
    for (const char* name : kRefused) {
        SCOPED_TRACE(name);
        ZuRuntimeRef rt;
        ASSERT_TRUE(ZuClassFactory::GetClass(name, rt));
        EXPECT_FALSE(rt->IsStorable());
        for (const Bytes& bytes : {FoundInput(name), Record(name)}) {
            ZuObjectRef back;
            std::vector<std::string> made = Made([&] {
                storage->StartRestoring(bytes);
                EXPECT_THROW(storage->RestoreObject(back, ZuRuntimeRef()), ZuExcStream);
            });
            EXPECT_TRUE(back.IsInvalid());
            EXPECT_TRUE(made.empty()) << made.front();
        }
        // Named inside another object's data (the record of a string the
        // node links to, renamed), the read ends there too and has made
        // only what came before.
        ZuTestNodeRef node = ZuTestNode::Make(5);
        node->a = ZuStringRef("x");
        storage->StartStoring();
        storage->StoreObject(node);
        Bytes bytes = storage->Bytes();
        node->Delete();
        const char* const string_class = "ZuString";
        auto at = std::search(bytes.begin(), bytes.end(), string_class, string_class + 8);
        ASSERT_NE(at, bytes.end());
        ASSERT_EQ(0x40, at[-4]);
        ASSERT_EQ(8, at[-3]);
        at[-3] = static_cast<unsigned char>(std::strlen(name));
        at = bytes.erase(at, at + 8);
        bytes.insert(at, name, name + std::strlen(name));
        ZuObjectRef back;
        std::vector<std::string> made = Made([&] {
            storage->StartRestoring(bytes);
            EXPECT_THROW(storage->RestoreObject(back, ZuRuntimeRef()), ZuExcStream);
        });
        EXPECT_TRUE(back.IsInvalid());
        EXPECT_EQ(std::vector<std::string>{"ZuTestNode"}, made);
    }
    storage->StartStoring();
    EXPECT_TRUE(ZuLookMan::Current().IsInvalid());
}

TEST_F(StorableTest, AMessageFromOutsideNamingAServiceIsRefusedWhenRead)
{
    TStorableReceiverRef receiver = ZuNew<TStorableReceiver>();
    ZuCarbonCopyRef copy = ZuNew<ZuCarbonCopy>();
    for (const char* name : kRefused) {
        SCOPED_TRACE(name);
        // As the message itself, the object the command pipe delivers.
        const Bytes found = FoundInput(name);
        ZuObjectRef back;
        std::vector<std::string> made = Made([&] {
            copy->SetRawData(found.data(), unsigned(found.size()));
            EXPECT_THROW(copy->RestoreObject(back, ZuRuntimeRef()), ZuExcStream);
        });
        copy->StartStoring();
        EXPECT_TRUE(back.IsInvalid());
        EXPECT_TRUE(made.empty()) << made.front();

        // As an argument of a message stored in remote mode.
        ZuMessageRef msg(
            ZuObjectRef(ZuClassFactory::New("ZuMessage", nullptr, __LINE__, __FILE__)));
        msg->SetRemoteMode(true);
        msg->SetMethod("Take");
        msg << 7;
        const Bytes record = Record(name);
        msg->StoreData(record.data(), unsigned(record.size()));
        copy->StartStoring();
        copy->StoreObject(msg);
        Bytes bytes(copy->RetRawDataSize());
        copy->ExtractRawData(bytes.data(), unsigned(bytes.size()));
        copy->StartStoring();
        msg->Delete();
        copy->SetRawData(bytes.data(), unsigned(bytes.size()));
        ZuObjectRef got;
        copy->RestoreObject(got, ZuMessageRef::RetRuntime());
        copy->StartStoring();
        ZuMessageRef from_outside(got);
        ASSERT_TRUE(from_outside.IsValid());
        ASSERT_TRUE(from_outside->IsFromOutside());
        made = Made([&] { EXPECT_THROW(from_outside->Send(receiver), ZuExcStream); });
        EXPECT_TRUE(made.empty()) << made.front();
        EXPECT_EQ(0u, receiver->calls);
        from_outside->Delete();
    }
    EXPECT_TRUE(ZuLookMan::Current().IsInvalid());
    receiver->Delete();
}

TEST_F(StorableTest, EveryOtherClassOfTheLibraryIsMadeFromItsRecordWithoutTheScreen)
{
    // What the library refuses is the table above, no more: every other
    // class that real files and messages hold stays restorable.
    std::set<std::string> refused;
    ZuRuntimeRef rt;
    ZuTestStorageRef storage = ZuTestStorage::Make();
    for (unsigned i = 0; ZuClassFactory::GetClass(i, rt); ++i) {
        const std::string file = rt->RetFileName();
        if (rt->IsAbstract() || (file.compare(0, 3, "si/") != 0 && file.compare(0, 3, "sd/") != 0))
            continue;
        const char* name = rt->RetClassName();
        SCOPED_TRACE(name);
        if (!rt->IsStorable()) {
            refused.insert(name);
            continue;
        }
        // Its record and the start of its data: the constructor runs in a
        // process without the screen's services and must not stop it; the
        // data that ends early is the stream error.
        Bytes bytes = Record(name);
        bytes.insert(bytes.end(), {0x43, 0x01});
        ZuObjectRef back;
        std::vector<std::string> made = Made([&] {
            storage->StartRestoring(bytes);
            try {
                storage->RestoreObject(back, ZuRuntimeRef());
            } catch (const ZuExcStream&) {}
        });
        storage->StartStoring();
        if (back.IsValid())
            back->Delete();
        back = ZuObjectRef();
        ZuObjectRef::RealiseDeletions();
        // Atoms travel as atom items only.
        if (std::strcmp(name, "ZuAtom") != 0) {
            EXPECT_NE(made.end(), std::find(made.begin(), made.end(), name));
        }
    }
    std::set<std::string> expected;
    for (const char* name : kRefused)
        if (std::strncmp(name, "T", 1) != 0)
            expected.insert(name);
    EXPECT_EQ(expected, refused);
}
