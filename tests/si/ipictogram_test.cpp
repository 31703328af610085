#include "si/ipictogram.h"

#include <gtest/gtest.h>

#include "si/array.h"
#include "si/classfactory.h"
#include "si/ipictogramlabel.h"
#include "si/storage.h"
#include "si/textcompare.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

// A label kept in the object, declared as both interfaces.
ZU_HANDLE(TPictoLabel, ZuObject)
class TPictoLabel : public ZuObject, public ZuiPictogramLabel {
    ZU_CLASS(TPictoLabel, ZuObject)
public:
    TPictoLabel() {}

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::StoreInstance(s);
        ZuiPictogramLabel::StoreInstance(s);
    }
    void RestoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::RestoreInstance(s);
        ZuiPictogramLabel::RestoreInstance(s);
    }
};
ZU_CLASS_END(TPictoLabel)
ZU_IMPLEMENT_CLASS(TPictoLabel, "tests/ipictogram", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TPictoLabel, ZuiPictogramLabel)
ZU_IMPLEMENT_INTERFACE(TPictoLabel, ZuiPictogram)

// A read-only pictogram with a normal text and an icon only.
ZU_HANDLE(TPictoFixed, ZuObject)
class TPictoFixed : public ZuObject, public ZuiPictogram {
    ZU_CLASS(TPictoFixed, ZuObject)
public:
    TPictoFixed() {}
    bool GetText(ZuTextVersion version, ZuStringRef& out) const override
    {
        if (version != ZU_TEXTVER_NORMAL)
            return false;
        out = ZuStringRef("Ouvrir");
        return true;
    }
    bool GetIcon(ZuAtomRef& out) const override
    {
        out = ZuAtomRef("FileOpen");
        return true;
    }
};
ZU_CLASS_END(TPictoFixed)
ZU_IMPLEMENT_CLASS(TPictoFixed, "tests/ipictogram", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(TPictoFixed, ZuiPictogram)

namespace {

class Pictogram : public ZuviRuntimeTest {
protected:
    template <class I>
    static I* As(const ZuObjectRef& o)
    {
        return static_cast<I*>(o->CastToInterface(&I::interface));
    }
};

TEST_F(Pictogram, MoreItemsByKey)
{
    ZuObjectRef fixed(ZuClassFactory::New("TPictoFixed", nullptr, __LINE__, __FILE__));
    ZuiPictogram* p = As<ZuiPictogram>(fixed);
    ASSERT_NE(p, nullptr);

    ZuObjectRef out;
    ASSERT_TRUE(p->GetMore(ZuAtomRef(), out));
    ZuArrayRef names(out);
    ASSERT_TRUE(names.IsValid());
    const char* expected[] = {"text_short", "text_normal", "text_tip", "text_desc", "icon"};
    ASSERT_EQ(names->TotalCount(), 5u);
    for (unsigned i = 0; i < 5; ++i) {
        ZuObjectRef name;
        ASSERT_TRUE(names->Get(i, name));
        EXPECT_TRUE(ZuAtomRef(name) == expected[i]) << i;
    }

    ASSERT_TRUE(p->GetMore(ZuAtomRef("text_normal"), out));
    EXPECT_TRUE("Ouvrir" == ZuStringRef(out));
    EXPECT_FALSE(p->GetMore(ZuAtomRef("text_tip"), out));
    ASSERT_TRUE(p->GetMore(ZuAtomRef("icon"), out));
    EXPECT_TRUE(ZuAtomRef(out) == "FileOpen");
    EXPECT_FALSE(p->GetMore(ZuAtomRef("colour"), out));

    EXPECT_TRUE(p->RetText(ZU_TEXTVER_SHORT).IsInvalid());
    EXPECT_TRUE(p->RetIcon() == "FileOpen");
    EXPECT_TRUE(p->RetMore(ZuAtomRef("text_desc")).IsInvalid());
    EXPECT_FALSE(p->SetText(ZU_TEXTVER_SHORT, ZuStringRef("x")));
    EXPECT_FALSE(p->SetIcon(ZuAtomRef("x")));
    EXPECT_FALSE(p->SetMore(ZuAtomRef("icon"), ZuAtomRef("x")));
}

TEST_F(Pictogram, LabelKeepsTextsAndIcon)
{
    ZuObjectRef label(ZuClassFactory::New("TPictoLabel", nullptr, __LINE__, __FILE__));
    ASSERT_TRUE(label->SupportsInterface(&ZuiPictogram::interface));
    ZuiPictogramLabel* l = As<ZuiPictogramLabel>(label);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(static_cast<ZuiPictogram*>(l), As<ZuiPictogram>(label));

    ZuStringRef out;
    EXPECT_FALSE(l->GetText(ZU_TEXTVER_TIP, out));
    EXPECT_FALSE(l->SetText(static_cast<ZuTextVersion>(4), ZuStringRef("x")));
    EXPECT_TRUE(l->SetText(ZU_TEXTVER_TIP, ZuStringRef()));
    ASSERT_TRUE(l->GetText(ZU_TEXTVER_TIP, out)); // the empty text
    EXPECT_EQ(out->CharacterCount(), 0u);

    ZuStringRef original("Enregistrer");
    l->DefineLabel(ZuAtomRef("FileSave"), ZuStringRef("Enr."), original, ZuStringRef("Enregistre"),
                   ZuStringRef("Enregistre le document"));
    original->SetString("changed later"); // the label kept its own copy
    ASSERT_TRUE(l->GetText(ZU_TEXTVER_NORMAL, out));
    EXPECT_TRUE("Enregistrer" == out);
    EXPECT_TRUE(l->RetIcon() == "FileSave");

    EXPECT_TRUE(l->SetMore(ZuAtomRef("text_short"), ZuAtomRef("Court")));
    EXPECT_TRUE("Court" == l->RetText(ZU_TEXTVER_SHORT));
    EXPECT_TRUE(l->SetMore(ZuAtomRef("icon"), ZuStringRef("Other")));
    EXPECT_TRUE(l->RetIcon() == "Other");
    EXPECT_FALSE(l->SetMore(ZuAtomRef("size"), ZuStringRef("x")));

    ZuObjectRef copy(ZuClassFactory::New("TPictoLabel", nullptr, __LINE__, __FILE__));
    As<ZuiPictogramLabel>(copy)->CopyPictogramLabel(label);
    EXPECT_TRUE(As<ZuiPictogram>(copy)->RetIcon() == "Other");
    EXPECT_TRUE("Enregistre le document" == As<ZuiPictogram>(copy)->RetText(ZU_TEXTVER_DESC));
    // Something that is no label changes nothing.
    ZuObjectRef fixed(ZuClassFactory::New("TPictoFixed", nullptr, __LINE__, __FILE__));
    As<ZuiPictogramLabel>(copy)->CopyPictogramLabel(fixed);
    EXPECT_TRUE(As<ZuiPictogram>(copy)->RetIcon() == "Other");
}

TEST_F(Pictogram, LabelIsStoredWithItsObject)
{
    ZuObjectRef label(ZuClassFactory::New("TPictoLabel", nullptr, __LINE__, __FILE__));
    As<ZuiPictogramLabel>(label)->DefineLabel(ZuAtomRef("Icon"), ZuStringRef("a"), ZuStringRef("b"),
                                              ZuStringRef("c"), ZuStringRef("d"));
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(label);
    store->StartRestoring(store->Bytes());
    TPictoLabelRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    ZuiPictogram* p = As<ZuiPictogram>(back);
    EXPECT_TRUE(p->RetIcon() == "Icon");
    EXPECT_TRUE("a" == p->RetText(ZU_TEXTVER_SHORT));
    EXPECT_TRUE("d" == p->RetText(ZU_TEXTVER_DESC));
}

} // namespace
