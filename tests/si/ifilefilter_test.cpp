#include "si/ifilefilter.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/fileatt.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// Passes folders; the check mode inverts the answer.
ZU_HANDLE(TFolderFilter, ZuObject)
class TFolderFilter : public ZuObject, public ZuiFileFilter {
    ZU_CLASS(TFolderFilter, ZuObject)
public:
    TFolderFilter() {}
    bool Check(const ZuStringRef&, const ZuFileAttInfo& info) const override
    {
        return info.attributes.TestBit(ZU_FATT_DIRECTORY) == RetCheckMode();
    }
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::StoreInstance(s);
        ZuiFileFilter::StoreInstance(s);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::RestoreInstance(s);
        ZuiFileFilter::RestoreInstance(s);
    }
};
ZU_CLASS_END(TFolderFilter)
ZU_IMPLEMENT_CLASS(TFolderFilter, "tests/ifilefilter", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TFolderFilter, ZuiFileFilter)

namespace {

class FileFilter : public ZuviRuntimeTest {};

TEST_F(FileFilter, CheckModeStartsTrueAndIsStored)
{
    TFolderFilterRef filter(ZuClassFactory::New("TFolderFilter", nullptr, __LINE__, __FILE__));
    auto* f = static_cast<ZuiFileFilter*>(filter->CastToInterface(&ZuiFileFilter::interface));
    ASSERT_NE(f, nullptr);
    ZuFileAttInfo folder;
    folder.attributes.SetBit(ZU_FATT_DIRECTORY);
    EXPECT_TRUE(f->RetCheckMode());
    EXPECT_TRUE(f->Check(ZuStringRef("x"), folder));
    EXPECT_TRUE(f->SetCheckMode(false));
    EXPECT_FALSE(f->Check(ZuStringRef("x"), folder));

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(filter);
    store->StartRestoring(store->Bytes());
    TFolderFilterRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back->RetCheckMode());
}

} // namespace
