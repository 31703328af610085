// Which of the program's classes stored bytes may make: a document, a
// sample file or a message that names one of the program's services (the
// application, the main window, a dialog, the tool palette, the PostScript
// port, the editing engine, the drawing thread) is refused before it is
// made; every class the program stores comes back as it went.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/except.h"
#include "si/iclasspatch.h"
#include "si/interface.h"
#include "si/rtclass.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// Logs the class of every object the factory constructs while it is
// installed (a patch is asked for each class's construction function the
// first time one is made after it went in).
ZU_HANDLE(TAppMadeLog, ZuObject)
class TAppMadeLog : public ZuObject, public ZuiClassPatch {
    ZU_CLASS(TAppMadeLog, ZuObject)
public:
    TAppMadeLog() {}
    ConstructFunc FindAlternateConstructor(const ZuRuntime* runtime) override
    {
        made.push_back(runtime->RetClassName());
        return nullptr;
    }
    std::vector<std::string> made;
};
ZU_CLASS_END(TAppMadeLog)
ZU_IMPLEMENT_CLASS(TAppMadeLog, "tests/app/storable", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TAppMadeLog, ZuiClassPatch)

namespace {

using Bytes = std::vector<unsigned char>;

// A new object of the named class (name 1, object 1), then the start of its
// data.
Bytes Record(const char* name)
{
    Bytes b = {0x40, static_cast<unsigned char>(std::strlen(name)), 0x01, 0x01};
    b.insert(b.end(), name, name + std::strlen(name));
    b.insert(b.end(), {0x43, 0x01});
    return b;
}

// The program's services: never made from bytes.
const char* const kRefused[] = {
    "App",       "CFileArchive",  "CMainWindow",  "CToolPalette", "CSplashWindow", "PageDrawThread",
    "CGraPort",  "CSelectObject", "CDefDlg",      "CExportDlg",   "CFilenameDlg",  "CPageDlg",
    "CPrintDlg", "CPropertyDlg",  "CQuestionDlg", "CSampleDlg",   "CSetupDlg",
};

bool IsProgramClass(const ZuRuntimeRef& rt)
{
    const std::string file = rt->RetFileName();
    for (const char* lib : {"si/", "sd/", "tests/", "fuzz/"})
        if (file.compare(0, std::strlen(lib), lib) == 0)
            return false;
    return true;
}

class AppStorableTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        log = ZuNew<TAppMadeLog>();
        storage = ZuTestStorage::Make();
    }
    void TearDown() override
    {
        storage = ZuTestStorageRef();
        log = ZuObjectRef();
        ZuviRuntimeTest::TearDown();
    }
    // Restores the bytes with the log installed, lets go of what came back
    // and answers the classes made; `refused` says whether the read ended
    // in the stream error.
    std::vector<std::string> Made(const Bytes& bytes, bool& refused)
    {
        log->made.clear();
        EXPECT_TRUE(ZuClassFactory::InsertPatch(log));
        ZuObjectRef back;
        refused = false;
        storage->StartRestoring(bytes);
        try {
            storage->RestoreObject(back, ZuRuntimeRef());
        } catch (const ZuExcStream&) {
            refused = true;
        }
        EXPECT_TRUE(ZuClassFactory::RemovePatch(log));
        storage->StartStoring();
        if (back.IsValid())
            back->Delete();
        back = ZuObjectRef();
        ZuObjectRef::RealiseDeletions();
        return log->made;
    }
    TAppMadeLogRef log;
    ZuTestStorageRef storage;
};

} // namespace

TEST_F(AppStorableTest, ARecordNamingAServiceOfTheProgramIsRefusedBeforeItIsMade)
{
    for (const char* name : kRefused) {
        SCOPED_TRACE(name);
        ZuRuntimeRef rt;
        ASSERT_TRUE(ZuClassFactory::GetClass(name, rt));
        EXPECT_FALSE(rt->IsStorable());
        bool refused = false;
        std::vector<std::string> made = Made(Record(name), refused);
        EXPECT_TRUE(refused);
        EXPECT_TRUE(made.empty()) << made.front();
    }
}

TEST_F(AppStorableTest, EveryOtherClassOfTheProgramIsMadeFromItsRecordWithoutTheScreen)
{
    std::set<std::string> refused_classes;
    ZuRuntimeRef rt;
    for (unsigned i = 0; ZuClassFactory::GetClass(i, rt); ++i) {
        if (rt->IsAbstract() || !IsProgramClass(rt))
            continue;
        const char* name = rt->RetClassName();
        SCOPED_TRACE(name);
        if (!rt->IsStorable()) {
            refused_classes.insert(name);
            continue;
        }
        bool refused = false;
        std::vector<std::string> made = Made(Record(name), refused);
        EXPECT_NE(made.end(), std::find(made.begin(), made.end(), name));
    }
    EXPECT_EQ(std::set<std::string>(std::begin(kRefused), std::end(kRefused)), refused_classes);
}

TEST_F(AppStorableTest, EveryClassTheProgramStoresComesBackAsItWent)
{
    // What documents, sample files and view trees hold (the document
    // itself, which a bare one cannot show, comes back whole in the
    // document's own file tests).
    const char* const stored[] = {
        "CTree",         "CTreeNode",    "CList",       "CListNode",    "CSampleList",
        "CSampleNode",   "CView",        "CUndoGroup",  "CArcDef",      "CArrowDef",
        "CCloseDef",     "CColorDef",    "CCornerDef",  "CFontDef",     "CMotifDef",
        "CPatternDef",   "CPenDef",      "CPolyRegDef", "CPositionDef", "CPulsarDef",
        "CGraArc",       "CGraArrow",    "CGraGroup",   "CGraLine",     "CGraLineText",
        "CGraPolyCurve", "CGraPolyLine", "CGraPolyReg", "CGraRect",     "GSContext",
        "GSView",
    };
    for (const char* name : stored) {
        SCOPED_TRACE(name);
        ZuRuntimeRef rt;
        ASSERT_TRUE(ZuClassFactory::GetClass(name, rt));
        EXPECT_TRUE(rt->IsStorable());
        ZuObjectRef object(ZuClassFactory::New(rt, nullptr, __LINE__, __FILE__));
        storage->StartStoring();
        storage->StoreObject(object);
        const Bytes bytes = storage->Bytes();
        object->Delete();
        object = ZuObjectRef();

        ZuObjectRef back;
        storage->StartRestoring(bytes);
        ASSERT_NO_THROW(storage->RestoreObject(back, ZuRuntimeRef()));
        EXPECT_EQ(0u, storage->Remaining());
        ASSERT_TRUE(back.IsValid());
        EXPECT_TRUE(back->IsA(rt));
        storage->StartStoring();
        storage->StoreObject(back);
        EXPECT_EQ(bytes, storage->Bytes());
        storage->StartStoring();
        back->Delete();
        back = ZuObjectRef();
        ZuObjectRef::RealiseDeletions();
    }
}
