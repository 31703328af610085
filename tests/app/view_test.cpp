// Stored view settings: defaults, the zoom history and the stored record.
#include <gtest/gtest.h>

#include <vector>

#include "app/view.h"
#include "si/classfactory.h"
#include "si/storage.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

typedef std::vector<unsigned char> Bytes;

class CViewTest : public ZuviRuntimeTest {
protected:
    static CViewRef New() { return CViewRef(ZuNew<CView>()); }
};

TEST_F(CViewTest, NewViewDefaults)
{
    CViewRef v = New();
    EXPECT_EQ(2.834645669291339, v->zoom);
    EXPECT_EQ(0.5, v->x);
    EXPECT_EQ(0.5, v->y);
    const bool on[] = {false, false, true, false, true, true, false, false};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(on[i], v->switches[i]) << i;
    EXPECT_EQ(0.0, v->values[3]);
    EXPECT_EQ(10.0, v->values[4]);
    EXPECT_EQ(10.0, v->values[5]);
    EXPECT_EQ(10, v->count1);
    EXPECT_EQ(10, v->count2);
    EXPECT_EQ(0, v->RetHistoryCount());
    EXPECT_FALSE(v->PopZoomHistory());
}

TEST_F(CViewTest, HistoryKeepsTheNewestHundred)
{
    CViewRef v = New();
    for (int i = 1; i <= 101; ++i) {
        v->zoom = i;
        v->x = i + 0.5;
        v->y = -i;
        EXPECT_TRUE(v->PushZoomHistory());
    }
    v->zoom = 1000.0;
    for (int i = 101; i >= 2; --i) {
        ASSERT_TRUE(v->PopZoomHistory());
        EXPECT_EQ(double(i), v->zoom);
        EXPECT_EQ(i + 0.5, v->x);
        EXPECT_EQ(-i, v->y);
    }
    EXPECT_FALSE(v->PopZoomHistory());
    EXPECT_EQ(2.0, v->zoom);
    v->PushZoomHistory();
    v->ClearZoomHistory();
    EXPECT_FALSE(v->PopZoomHistory());
}

TEST_F(CViewTest, StoredSettingsComeBackWithoutHistory)
{
    CViewRef v = New();
    for (int i = 0; i < 8; ++i)
        v->switches[i] = i % 3 == 0;
    v->x = 1.25;
    v->y = -3.5;
    v->zoom = 7.0;
    v->origin_x = 12.5;
    v->origin_y = -0.125;
    for (int i = 0; i < 6; ++i)
        v->values[i] = i * 1.5;
    v->count1 = 3;
    v->count2 = -4;
    v->switch9 = true;
    v->current_page = 7;
    v->current_layer = 2;
    v->PushZoomHistory();

    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(v);
    const Bytes bytes = store->Bytes();
    store->StartRestoring(bytes);
    ZuObjectRef object;
    store->RestoreObject(object, CViewRef::RetRuntime());
    EXPECT_EQ(0u, store->Remaining());
    CViewRef back(object);
    ASSERT_TRUE(back.IsValid());
    EXPECT_FALSE(back == v);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(v->switches[i], back->switches[i]) << i;
    EXPECT_EQ(1.25, back->x);
    EXPECT_EQ(-3.5, back->y);
    EXPECT_EQ(7.0, back->zoom);
    EXPECT_EQ(12.5, back->origin_x);
    EXPECT_EQ(-0.125, back->origin_y);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(i * 1.5, back->values[i]);
    EXPECT_EQ(3, back->count1);
    EXPECT_EQ(-4, back->count2);
    EXPECT_TRUE(back->switch9);
    EXPECT_EQ(7, back->current_page);
    EXPECT_EQ(2, back->current_layer);
    EXPECT_EQ(0, back->RetHistoryCount());
    // Stored again, the same bytes.
    store->StartStoring();
    store->StoreObject(back);
    EXPECT_EQ(bytes, store->Bytes());
}

TEST_F(CViewTest, InstanceRecordLayout)
{
    struct Access : CView {
        static void Store(const CViewRef& v, const ZuStorageRef& s)
        {
            (v.RetRawObject()->*(&Access::StoreInstance))(s);
        }
    };
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    Access::Store(New(), store);
    const Bytes bytes = store->Bytes();
    store->StartStoring();
    ZuStorageRef s(store);
    s << ZuStorageSync::begin << ZuStorageSync::mark;
    for (bool b : {false, false, true, false, true, true, false, false})
        s << b;
    s << ZuStorageSync::mark << 0.5 << 0.5 << 72.0 / 25.4 << ZuStorageSync::mark;
    for (double d : {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 10.0, 10.0})
        s << d;
    s << 10 << 10 << false << ZuStorageSync::mark << 0 << 0 << ZuStorageSync::end;
    const Bytes own = store->Bytes();
    ASSERT_GT(bytes.size(), own.size());
    EXPECT_EQ(own, Bytes(bytes.end() - own.size(), bytes.end()));
}

} // namespace
