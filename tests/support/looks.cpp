#include "tests/support/looks.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/filewrite.h"
#include "si/memzone.h"

namespace {

ZuObjectRef Make(const ZuRuntimeRef& runtime)
{
    return ZuObjectRef(
        ZuClassFactory::New(runtime, Zuvi_app_zone, __LINE__, "tests/support/looks"));
}

} // namespace

void LookTest::SetUp()
{
    PortTest::SetUp();
    if (library_sheets)
        unsetenv("ZUVI_DIR");
    else
        setenv("ZUVI_DIR", scratch.Path().c_str(), 1);
    std::filesystem::create_directories(scratch.Path() + "/user");
    if (start_look)
        StartLook();
}

void LookTest::TearDown()
{
    ZuLookMan::Kill();
    unsetenv("ZUVI_DIR");
    PortTest::TearDown();
}

void LookTest::StartLook()
{
    ZuLookMan::Initialise();
}

std::string LookTest::PolicyPath() const
{
    return scratch.Path() + "/user/Zuvi.policies";
}

void LookTest::WritePolicies(const ZuObjectRef& root)
{
    ZuFileWriteRef out(Make(ZuFileWriteRef::RetRuntime()));
    out->Open(ZuStringRef(PolicyPath().c_str()), false);
    ZuArchiveRef archive(Make(ZuArchiveRef::RetRuntime()));
    archive->SetOutput(out);
    ZuStorageRef(archive) << root;
    archive->Reset();
    out->Close();
}

void LookTest::WritePolicyBytes(const std::string& bytes)
{
    std::ofstream(PolicyPath(), std::ios::binary) << bytes;
}

ZuDicTreeRef LookTest::NewTree()
{
    return ZuDicTreeRef(Make(ZuDicTreeRef::RetRuntime()));
}
