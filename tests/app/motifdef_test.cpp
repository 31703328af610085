// Fill definitions: special-pattern and hatching values, the gradient
// kinds with their default geometry, meshes and their transformation, and
// the stored record.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "app/motifdef.h"
#include "si/except.h"
#include "si/storage.h"
#include "tests/app/deftest.h"

namespace {

class CMotifDefTest : public DefTest {
protected:
    static CMotifDefRef New() { return Make<CMotifDefRef>(); }
    // Record k of a mesh with records of n numbers.
    static void ExpectVertex(const CMotifDefRef& m, int k, int n, double x, double y)
    {
        EXPECT_DOUBLE_EQ(x, m->GetGradientPoint(k * n)) << "vertex " << k;
        EXPECT_DOUBLE_EQ(y, m->GetGradientPoint(k * n + 1)) << "vertex " << k;
    }
};

TEST_F(CMotifDefTest, NewFillAndItsClampedValues)
{
    CMotifDefRef m = New();
    EXPECT_EQ(30, m->GetType());
    EXPECT_EQ(60, m->GetValue());
    EXPECT_EQ(0, m->GetGradientType());
    EXPECT_EQ(2, m->GetColorCount());
    EXPECT_EQ(0u, m->GetMeshFlags());
    EXPECT_EQ(0, m->CountGradientPoints());
    EXPECT_EQ(0.785398163375, m->GetHatchAngle(3));
    EXPECT_EQ(10.0, m->GetHatchSpacing(0));
    EXPECT_EQ(0.8, m->GetOccupiedHeight());

    EXPECT_TRUE(m->SetStepX(0.0));
    EXPECT_EQ(0.1, m->GetStepX());
    m->SetStepY(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(0.1, m->GetStepY());
    m->SetStepY(0.5);
    EXPECT_EQ(0.5, m->GetStepY());
    for (auto c : {std::pair<int, int>{1, 2}, {25, 10}, {5, 5}, {-3, 2}}) {
        EXPECT_TRUE(m->SetColorCount(c.first));
        EXPECT_EQ(c.second, m->GetColorCount());
    }
    for (int i : {-1, 4}) {
        EXPECT_FALSE(m->SetHatchThickness(i, 3.0));
        EXPECT_FALSE(m->SetHatchSpacing(i, 3.0));
        EXPECT_FALSE(m->SetHatchAngle(i, 3.0));
        EXPECT_EQ(0.0, m->GetHatchThickness(i));
    }
    struct Kind {
        int kind, values;
    } const kinds[] = {{60, 1}, {61, 2}, {62, 2}, {63, 2}, {64, 7}, {65, 1}};
    for (const Kind& k : kinds) {
        m->SetValue(k.kind);
        EXPECT_EQ(k.values, m->CountKindValues()) << k.kind;
    }
}

TEST_F(CMotifDefTest, GradientKindFollowsTheFillKind)
{
    CMotifDefRef m = New();
    EXPECT_TRUE(m->SetValue(61));
    ASSERT_EQ(230, m->GetGradientType());
    ASSERT_EQ(23, m->CountGradientPoints());
    const double axial[] = {0.785398163375, 1.0, 1.0, 1.0};
    for (int i = 0; i < 23; ++i)
        EXPECT_EQ(i < 4 ? axial[i] : 0.0, m->GetGradientPoint(i)) << i;

    // Five colours evenly placed; the parameters stay.
    m->SetGradientPoint(0, 0.5);
    m->SetGradientPoint(13, 9.0);
    m->SetColorCount(5);
    EXPECT_TRUE(m->ResetGradientPoints());
    const double positions[] = {0.25, 0.5, 0.75, 1.0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(positions[i], m->GetGradientPoint(3 + i));
        EXPECT_EQ(0.0, m->GetGradientPoint(13 + i));
    }
    EXPECT_EQ(0.5, m->GetGradientPoint(0));

    // A gradient already chosen stays; any other kind drops it.
    m->SetValue(61);
    EXPECT_EQ(5, m->GetColorCount());
    m->SetValue(62);
    EXPECT_EQ(0, m->GetGradientType());
    EXPECT_EQ(0, m->CountGradientPoints());
    EXPECT_FALSE(m->ResetGradientPoints());
    m->SetGradientType(233);
    m->SetValue(61);
    EXPECT_EQ(233, m->GetGradientType());
    EXPECT_EQ(36, m->CountGradientPoints());

    // Radial and rectangular defaults.
    m->SetGradientType(231);
    ASSERT_EQ(26, m->CountGradientPoints());
    EXPECT_EQ(1.0, m->GetGradientPoint(2));
    EXPECT_EQ(1.0, m->GetGradientPoint(6));
    EXPECT_EQ(0.0, m->GetGradientPoint(7));
    EXPECT_EQ(0u, m->GetMeshFlags());
    EXPECT_EQ(2, m->GetColorCount());
    m->SetGradientType(232);
    EXPECT_EQ(2, m->CountGradientPoints());
    EXPECT_EQ(2u, m->GetMeshFlags());
    // A new layout does not inherit what the previous one left.
    m->SetGradientType(231);
    m->SetGradientPoint(20, 4.0);
    m->SetGradientType(230);
    EXPECT_EQ(0.0, m->GetGradientPoint(20));

    const int n = m->CountGradientPoints();
    EXPECT_EQ(0.0, m->GetGradientPoint(n));
    EXPECT_EQ(0.0, m->GetGradientPoint(-1));
    EXPECT_FALSE(m->SetGradientPoint(n, 1.0));
    EXPECT_FALSE(m->SetGradientPoint(-1, 1.0));
}

TEST_F(CMotifDefTest, TriangleMeshDefaultsAndSizes)
{
    CMotifDefRef m = New();
    EXPECT_TRUE(m->SetGradientType(233));
    EXPECT_EQ(10, m->GetColorCount());
    EXPECT_EQ(0x10800u, m->GetMeshFlags());
    ASSERT_EQ(36, m->CountGradientPoints());
    for (int k = 0; k < 9; ++k) {
        ExpectVertex(m, k, 4, -1.0 + k % 3, -1.0 + k / 3);
        EXPECT_EQ(0.0, m->GetGradientPoint(4 * k + 2));
        EXPECT_EQ(k == 4 ? 1.0 : 0.0, m->GetGradientPoint(4 * k + 3)) << k;
    }
    struct Size {
        unsigned flags;
        int columns, rows;
    } const sizes[] = {{0x2000 | 0x10000, 5, 3},
                       {0x800 | 0x2000, 5, 2},
                       {0x1000 | 0x40000 | 0x10000, 4, 5},
                       {0, 2, 2},
                       {2, 2, 2}};
    for (const Size& s : sizes) {
        EXPECT_TRUE(m->SetMeshFlags(s.flags));
        int c, r;
        m->GetMeshSize(c, r);
        EXPECT_EQ(s.columns, c) << s.flags;
        EXPECT_EQ(s.rows, r) << s.flags;
        EXPECT_EQ(c * r * 4, m->CountGradientPoints());
        ExpectVertex(m, c * r - 1, 4, 1.0, 1.0);
    }
    // Colour values from the bend: a checkerboard for 2 and 3.
    m->SetMeshFlags(0x10800);
    m->BuildDefaultMesh(2, 2.0);
    EXPECT_EQ(0.0, m->GetGradientPoint(4 * 0 + 2));
    EXPECT_EQ(1.0, m->GetGradientPoint(4 * 1 + 2));
    EXPECT_EQ(0.0, m->GetGradientPoint(4 * 4 + 2));
    m->BuildDefaultMesh(2, 3.0);
    EXPECT_EQ(1.0, m->GetGradientPoint(4 * 0 + 2));
    EXPECT_EQ(0.0, m->GetGradientPoint(4 * 3 + 2));
    m->BuildDefaultMesh(2, 0.5);
    EXPECT_EQ(0.0, m->GetGradientPoint(4 * 3 + 2));
    m->BuildDefaultMesh(2, 1.0);
    EXPECT_EQ(1.0, m->GetGradientPoint(4 * 3 + 2));
    // A mesh size on a gradient that is no mesh only stores the bits.
    m->SetGradientType(230);
    m->SetMeshFlags(0x2000);
    EXPECT_EQ(23, m->CountGradientPoints());
}

TEST_F(CMotifDefTest, CurveMeshDefaults)
{
    CMotifDefRef m = New();
    m->SetGradientType(234);
    ASSERT_EQ(171, m->CountGradientPoints());
    const int centre = 4 * 19;
    const double want[19] = {0.0,  0.0, -0.4, 0.0, 0.4,  0.0,  0.0, 0.4,  0.0, -0.4,
                             -0.4, 0.4, 0.4,  0.4, -0.4, -0.4, 0.4, -0.4, 1.0};
    for (int i = 0; i < 19; ++i)
        EXPECT_DOUBLE_EQ(want[i], m->GetGradientPoint(centre + i)) << i;
    EXPECT_EQ(0.0, m->GetGradientPoint(18));
    // Part 3 alone moves only the diagonal points.
    m->BuildDefaultMesh(3, 0.5);
    EXPECT_DOUBLE_EQ(-0.5, m->GetGradientPoint(centre + 10));
    EXPECT_DOUBLE_EQ(-0.4, m->GetGradientPoint(centre + 2));
    // Parts 1 and 2 the handles.
    m->BuildDefaultMesh(2, 0.25);
    EXPECT_DOUBLE_EQ(-0.25, m->GetGradientPoint(centre + 2));
    EXPECT_DOUBLE_EQ(-0.5, m->GetGradientPoint(centre + 10));
}

TEST_F(CMotifDefTest, TransformMeshKeepsTheBorderOnTheSquare)
{
    ChangeRecord move;
    std::memset(&move, 0, sizeof move);
    move.kind = 1;
    move.b = {0.25, -0.5};
    for (int kind : {233, 234}) {
        SCOPED_TRACE(kind);
        const int n = kind == 233 ? 4 : 19;
        CMotifDefRef m = New();
        m->SetGradientType(kind);
        m->TransformMesh(move);
        for (int k = 0; k < 9; ++k) {
            const int i = k % 3;
            const int j = k / 3;
            const double x = i == 0 ? -1.0 : i == 2 ? 1.0 : 0.25;
            const double y = j == 0 ? -1.0 : j == 2 ? 1.0 : -0.5;
            ExpectVertex(m, k, n, x, y);
        }
        if (kind == 234) {
            // Corner vertex 0: its left handle goes outside, its lower
            // handle too; its right handle moved with the change.
            EXPECT_DOUBLE_EQ(-2.0, m->GetGradientPoint(2));
            EXPECT_DOUBLE_EQ(-1.0, m->GetGradientPoint(3));
            EXPECT_DOUBLE_EQ(-1.0 + 0.4 + 0.25, m->GetGradientPoint(4));
            EXPECT_DOUBLE_EQ(-2.0, m->GetGradientPoint(9));
            EXPECT_DOUBLE_EQ(-1.0, m->GetGradientPoint(6));
            // The centre's diagonal point moved.
            EXPECT_DOUBLE_EQ(-0.4 + 0.25, m->GetGradientPoint(4 * 19 + 10));
        }
    }
    // Other gradients are left alone.
    CMotifDefRef axial = New();
    axial->SetGradientType(230);
    axial->TransformMesh(move);
    EXPECT_EQ(0.785398163375, axial->GetGradientPoint(0));
}

TEST_F(CMotifDefTest, MeshFillRoundTripsEqual)
{
    CMotifDefRef m = New();
    m->SetValue(61);
    m->SetGradientType(233);
    m->SetMeshFlags(0x1000 | 0x40000);
    m->SetGradientPoint(7, 0.375);
    CDefRef back = RoundTrip(m);
    ASSERT_TRUE(back.IsValid());
    EXPECT_TRUE(back->IsEqualCurrent(m));
    EXPECT_EQ(80, CMotifDefRef(back)->CountGradientPoints());
    EXPECT_EQ(0.375, CMotifDefRef(back)->GetGradientPoint(7));
}

TEST_F(CMotifDefTest, StoredRecordSurplusHatchesAndShortArrays)
{
    CMotifDefRef fresh = New();
    const Bytes stored = Stored(fresh);
    auto own = [&](long long sets, int kind, int colors, const std::vector<double>& points) {
        return Written([&](ZuStorageRef const& s) {
            s << ZuStorageSync::begin;
            s->StoreInt(sets);
            s << ZuStorageSync::repeat;
            for (long long i = 0; i < sets; ++i)
                s << ZuStorageSync::begin << double(i + 2) << 10.0 << 0.785398163375
                  << ZuStorageSync::end;
            s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
            for (double d : {0.0, 0.0, 0.8, 0.8, 10.0, 10.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0})
                s << d;
            s << ZuStorageSync::mark << kind << colors << 0;
            s << ZuStorageSync::begin;
            s->StoreCard(points.size());
            s->StoreCard(0);
            s << ZuStorageSync::mark;
            for (double d : points)
                s << d;
            s << ZuStorageSync::end << ZuStorageSync::end;
        });
    };
    // A new fill: four sets of thickness 1 .. (stored 2 + i below), no
    // gradient.
    const Bytes fresh_own = Written([&](const ZuStorageRef& s) {
        s << ZuStorageSync::begin << 4 << ZuStorageSync::repeat;
        for (int i = 0; i < 4; ++i)
            s << ZuStorageSync::begin << 1.0 << 10.0 << 0.785398163375 << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << ZuStorageSync::mark;
        for (double d : {0.0, 0.0, 0.8, 0.8, 10.0, 10.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0})
            s << d;
        s << ZuStorageSync::mark << 0 << 2 << 0;
        s << ZuStorageSync::begin;
        s->StoreCard(0);
        s->StoreCard(0);
        s << ZuStorageSync::mark << ZuStorageSync::end << ZuStorageSync::end;
    });
    ASSERT_GT(stored.size(), fresh_own.size());
    ASSERT_EQ(fresh_own, Bytes(stored.end() - fresh_own.size(), stored.end()));
    const Bytes prefix(stored.begin(), stored.end() - fresh_own.size());

    // Six sets: two read and dropped.
    Bytes bytes = prefix;
    Bytes record = own(6, 0, 2, {});
    bytes.insert(bytes.end(), record.begin(), record.end());
    CMotifDefRef m = New();
    EXPECT_TRUE(Restore(m, bytes));
    EXPECT_EQ(5.0, m->GetHatchThickness(3));

    // An axial gradient cut short, with a colour count beyond ten: placing
    // the colours stays inside what is there.
    bytes = prefix;
    record = own(4, 230, 40, {0.5, 1.0, 1.0, 0.5, 0.5});
    bytes.insert(bytes.end(), record.begin(), record.end());
    m = New();
    EXPECT_TRUE(Restore(m, bytes));
    EXPECT_EQ(10, m->GetColorCount());
    EXPECT_EQ(5, m->CountGradientPoints());
    EXPECT_TRUE(m->ResetGradientPoints());
    EXPECT_DOUBLE_EQ(1.0 / 9, m->GetGradientPoint(3));
    EXPECT_EQ(5, m->CountGradientPoints());

    // Cut anywhere, a record leaves the values read so far in range.
    const Bytes full = bytes;
    for (std::size_t cut = prefix.size(); cut < full.size(); ++cut) {
        CMotifDefRef part = New();
        try {
            Restore(part, Bytes(full.begin(), full.begin() + cut));
        } catch (const ZuExcStream&) {}
        EXPECT_LE(part->GetColorCount(), 10) << cut;
    }

    // A mesh whose points do not fill its size.
    bytes = prefix;
    record = own(4, 234, 10, {0.5, 0.5, 0.5});
    bytes.insert(bytes.end(), record.begin(), record.end());
    m = New();
    EXPECT_TRUE(Restore(m, bytes));
    ChangeRecord move;
    std::memset(&move, 0, sizeof move);
    move.kind = 1;
    move.b = {1, 1};
    m->TransformMesh(move);
    m->ClampMeshBorder();
    m->BuildDefaultMesh(0, 0.4);
    EXPECT_EQ(3, m->CountGradientPoints());
    EXPECT_EQ(0.5, m->GetGradientPoint(0));
}

} // namespace
