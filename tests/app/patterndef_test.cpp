// Brush definitions: the element records, walking and editing them, the
// prefabricated brushes and the stored record (with records from outside
// that would lead a walk out of the array).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/patterndef.h"
#include "si/except.h"
#include "si/list.h"
#include "si/storage.h"
#include "si/string.h"
#include "tests/app/deftest.h"

namespace {

typedef std::vector<double> Doubles;

void ExpectNear(const Doubles& want, const Doubles& got)
{
    ASSERT_EQ(want.size(), got.size());
    for (std::size_t k = 0; k < want.size(); k++)
        EXPECT_NEAR(want[k], got[k], 1e-12) << k;
}

class CPatternDefTest : public DefTest {
protected:
    CPatternDefRef Brush(int prefab = 0)
    {
        CPatternDefRef b = Make<CPatternDefRef>();
        EXPECT_TRUE(b->LoadPrefab(prefab));
        return b;
    }
    // The elements up to and with the end record.
    static Doubles Elements(const CPatternDefRef& b)
    {
        int length;
        b->GetLength(length);
        Doubles out;
        for (int i = 0; i <= length;) {
            double record[CPatternDef::MAX_RECORD];
            b->GetElement(i, record);
            const int n = CPatternDef::RecordLength(record[0]);
            out.insert(out.end(), record, record + n);
            i += n;
        }
        return out;
    }
    // The indexes of the records, walked with NextElement.
    static std::vector<int> Records(const CPatternDefRef& b)
    {
        std::vector<int> out;
        int i;
        b->FirstElement(i);
        out.push_back(i);
        while (b->NextElement(i))
            out.push_back(i);
        return out;
    }
    static std::vector<int> Headers(const CPatternDefRef& b)
    {
        std::vector<int> out;
        for (int i : Records(b))
            if (b->GetOpcode(i) == CPatternDef::OP_SHAPE)
                out.push_back(i);
        return out;
    }
    static Doubles Handle(const CPatternDefRef& b, int index, int handle, int state)
    {
        double p[2] = {99, 99};
        int kind = 0;
        EXPECT_TRUE(b->GetHandle(index, handle, p, kind, state)) << index << "/" << handle;
        return Doubles{p[0], p[1]};
    }
    // A brush's own record written by hand after a new CDef's record.
    Bytes Record(long long prefab, long long used, const Doubles& elements,
                 unsigned long long count, unsigned long long grow_step)
    {
        Bytes bytes = Stored(Make<CDefRef>());
        const Bytes own = Written([&](const ZuStorageRef& s) {
            s << ZuStorageSync::begin << ZuStorageSync::mark;
            s->StoreInt(prefab);
            s->StoreInt(used);
            s << ZuStorageSync::begin;
            s->StoreCard(count);
            s->StoreCard(grow_step);
            s << ZuStorageSync::mark;
            for (double v : elements)
                s->StoreReal(v);
            s << ZuStorageSync::end << ZuStorageSync::end;
        });
        bytes.insert(bytes.end(), own.begin(), own.end());
        return bytes;
    }
};

TEST_F(CPatternDefTest, NewBrushIsTheCircle)
{
    CPatternDefRef b = Make<CPatternDefRef>();
    EXPECT_EQ(11, b->GetType());
    EXPECT_EQ(201, b->GetValue());
    EXPECT_EQ(0, b->GetPrefabNumber());
    int length = 0;
    EXPECT_TRUE(b->GetLength(length));
    // A disc: one shape of four quarter curves.
    EXPECT_EQ(64, length);
    EXPECT_EQ(10, b->GetOpcode(0));
    EXPECT_EQ(21, b->GetOpcode(12));
    EXPECT_EQ(0, b->GetOpcode(64));

    int i = 0;
    for (int next : {12, 25, 38}) {
        EXPECT_TRUE(b->NextElement(i));
        EXPECT_EQ(next, i);
    }
    EXPECT_TRUE(b->NextElement(i));
    EXPECT_EQ(51, i);
    EXPECT_FALSE(b->NextElement(i));
    EXPECT_EQ(64, i);
    // At the end record it stays.
    EXPECT_FALSE(b->NextElement(i));
    EXPECT_EQ(64, i);

    EXPECT_TRUE(b->Clear());
    EXPECT_TRUE(b->GetLength(length));
    EXPECT_EQ(0, length);
    EXPECT_EQ(0, b->GetOpcode(0));
}

// The seventeen prefabricated brushes: names, lengths, shapes.
TEST_F(CPatternDefTest, PrefabricatedBrushes)
{
    struct Case {
        const char* name; // ISO 8859-1
        int length;
        std::vector<int> headers;
    } const cases[] = {
        {"Cercle", 64, {0}},
        {"Carr\xE9", 32, {0}},
        {"Triangle", 27, {0}},
        {"Croix", 72, {0}},
        {"Fl\xE8"
         "che",
         47,
         {0}},
        {"Cr\xE9neau", 62, {0}},
        {"Vague", 48, {0}},
        {"Coeur", 64, {0}},
        {"Carr\xE9 creux 2 couleurs", 64, {0, 32}},
        {"Carreaux 2 couleurs", 128, {0, 32, 64, 96}},
        {"Carreaux 4 couleurs", 128, {0, 32, 64, 96}},
        {"2 rectangles horizontaux", 54, {0, 27}},
        {"2 rectangles verticaux", 54, {0, 27}},
        {"Carr\xE9 \\", 54, {0, 27}},
        {"Carr\xE9 X 2 couleurs", 108, {0, 27, 54, 81}},
        {"Carr\xE9 X 4 couleurs", 108, {0, 27, 54, 81}},
        {"Hexagones d\xE9"
         "form\xE9s",
         145,
         {0, 37, 64, 91, 118}},
    };
    ZuListRef names;
    ASSERT_TRUE(CPatternDef::FillPrefabList(names));
    ASSERT_TRUE(names.IsValid());
    ASSERT_EQ(17u, names->TotalCount());

    CPatternDefRef b = Make<CPatternDefRef>();
    for (int n = 0; n < 17; n++) {
        const Case& c = cases[n];
        SCOPED_TRACE(c.name);
        ZuObjectRef item;
        ASSERT_TRUE(names->Get(unsigned(n), item));
        EXPECT_STREQ(c.name, ZuStringRef(item)->AccessLatin());

        ASSERT_TRUE(b->LoadPrefab(n));
        EXPECT_EQ(n, b->GetPrefabNumber());
        int length = 0;
        b->GetLength(length);
        EXPECT_EQ(c.length, length);
        EXPECT_EQ(0, b->GetOpcode(length));
        EXPECT_EQ(c.headers, Headers(b));
        // Every shape of the table is filled, not stroked, with no width,
        // cap and join 0.
        for (int h : c.headers) {
            double record[CPatternDef::SHAPE_LENGTH];
            b->GetElement(h, record);
            EXPECT_EQ(2.0, record[1]);
            EXPECT_EQ(0.0, record[4]);
            EXPECT_EQ(0.0, record[5]);
            EXPECT_EQ(0.0, record[6]);
            EXPECT_EQ(0.0, record[7]);
        }
        // Only points and curves between the headers.
        for (int i : Records(b)) {
            const int op = b->GetOpcode(i);
            EXPECT_TRUE(op == 10 || op == 20 || op == 21) << i;
        }
    }

    // A few values, initial and final.
    b->LoadPrefab(3);
    EXPECT_EQ((Doubles{-0.5, 0.1}), Handle(b, 0, 0, 1));
    EXPECT_EQ((Doubles{-0.5, 0.4}), Handle(b, 0, 0, 2));
    b->LoadPrefab(16);
    EXPECT_EQ((Doubles{-0.25, 0.5}), Handle(b, 140, 0, 1));
    EXPECT_EQ((Doubles{-0.25, 0.3}), Handle(b, 140, 0, 2));
    b->LoadPrefab(10);
    for (int k = 0; k < 4; k++) {
        int colour = -1;
        EXPECT_TRUE(b->GetShapeColor(32 * k, colour, 2));
        EXPECT_EQ(k, colour);
    }
    b->LoadPrefab(7);
    EXPECT_EQ((Doubles{0, 0.6}), Handle(b, 25, 2, 0));
}

TEST_F(CPatternDefTest, LoadPrefabRefusesNumbersOutsideTheTable)
{
    CPatternDefRef b = Brush(4);
    b->SetShapeColor(0, 2, 0);
    CPatternDefRef before = Make<CPatternDefRef>();
    before->CopyFrom(b);
    for (int n : {-1, 17, 18, 1000, -2147483647 - 1}) {
        EXPECT_FALSE(b->LoadPrefab(n)) << n;
        EXPECT_EQ(-1, b->GetPrefabNumber());
        EXPECT_TRUE(b->IsEqualCurrent(before)) << n;
    }
    EXPECT_TRUE(b->LoadPrefab(4));
    EXPECT_EQ(4, b->GetPrefabNumber());
}

TEST_F(CPatternDefTest, ShapeColourAndWidthByState)
{
    CPatternDefRef b = Brush();
    int colour = -1;
    EXPECT_TRUE(b->SetShapeColor(0, 3, 2));
    EXPECT_EQ(-1, b->GetPrefabNumber());
    EXPECT_TRUE(b->GetShapeColor(0, colour, 1));
    EXPECT_EQ(0, colour);
    EXPECT_TRUE(b->GetShapeColor(0, colour, 2));
    EXPECT_EQ(3, colour);
    // State 0 reads the initial value.
    EXPECT_TRUE(b->GetShapeColor(0, colour, 0));
    EXPECT_EQ(0, colour);

    // Not a header: refused, and the brush is no longer the prefab.
    b->LoadPrefab(0);
    EXPECT_FALSE(b->SetShapeColor(12, 3, 0));
    EXPECT_EQ(-1, b->GetPrefabNumber());
    EXPECT_FALSE(b->GetShapeColor(12, colour, 0));
    double width = 7.0;
    EXPECT_FALSE(b->SetShapeWidth(12, 1.0, 0));
    EXPECT_FALSE(b->GetShapeWidth(12, width, 0));

    // -1 is the edit state.
    b->SetEditState(1);
    EXPECT_TRUE(b->SetShapeWidth(0, 1.0, -1));
    b->SetEditState(2);
    EXPECT_TRUE(b->SetShapeWidth(0, 3.0, -1));
    EXPECT_TRUE(b->GetShapeWidth(0, width, -1));
    EXPECT_EQ(3.0, width);
    EXPECT_TRUE(b->GetShapeWidth(0, width, 1));
    EXPECT_EQ(1.0, width);
    EXPECT_TRUE(b->SetShapeColor(0, 5, 0));
    EXPECT_TRUE(b->GetShapeColor(0, colour, 1));
    EXPECT_EQ(5, colour);
    EXPECT_TRUE(b->GetShapeColor(0, colour, 2));
    EXPECT_EQ(5, colour);

    struct Case {
        double t, want;
    } const cases[] = {{0.0, 1.0}, {0.5, 2.0}, {1.0, 3.0}, {0.25, 1.5}, {2.0, 5.0}};
    for (const Case& c : cases) {
        EXPECT_TRUE(b->GetShapeWidthAt(0, width, c.t));
        EXPECT_EQ(c.want, width) << c.t;
    }
    // Not a header: the width is left as it was.
    width = 7.0;
    EXPECT_TRUE(b->GetShapeWidthAt(12, width, 0.5));
    EXPECT_EQ(7.0, width);
}

TEST_F(CPatternDefTest, HandlesOfEachRecord)
{
    CPatternDefRef b = Brush(6); // header 0, curve 12, point 25, curve 30, point 43, end 48
    struct Case {
        int index, handle;
        bool exists;
        int kind;
        double x0, y0, x1, y1;
    } const cases[] = {
        {0, 0, true, 1, -0.5, 0.2, -0.5, 0.2},  {0, 1, false, 0, 0, 0, 0, 0},
        {12, 0, true, 1, 0.5, 0.2, 0.5, 0.2},   {12, 1, true, 2, 0, 0.5, 0.5, 0.5},
        {12, 2, true, 2, 0, -0.1, -0.5, -0.1},  {12, 3, false, 0, 0, 0, 0, 0},
        {25, 0, true, 1, 0.5, -0.2, 0.5, -0.2}, {25, 1, false, 0, 0, 0, 0, 0},
        {48, 0, false, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << "/" << c.handle);
        double p[2] = {9, 9};
        int kind = 0;
        EXPECT_EQ(c.exists, b->GetHandle(c.index, c.handle, p, kind, 1));
        if (!c.exists) {
            EXPECT_EQ(9.0, p[0]);
            EXPECT_FALSE(b->GetHandleAt(c.index, c.handle, p, 0.5));
            continue;
        }
        EXPECT_EQ(c.kind, kind);
        EXPECT_EQ(c.x0, p[0]);
        EXPECT_EQ(c.y0, p[1]);
        EXPECT_TRUE(b->GetHandle(c.index, c.handle, p, kind, 2));
        EXPECT_EQ(c.x1, p[0]);
        EXPECT_EQ(c.y1, p[1]);
        for (double t : {0.0, 0.5, 1.0, 1.5}) {
            EXPECT_TRUE(b->GetHandleAt(c.index, c.handle, p, t));
            EXPECT_DOUBLE_EQ(c.x0 + (c.x1 - c.x0) * t, p[0]) << t;
            EXPECT_DOUBLE_EQ(c.y0 + (c.y1 - c.y0) * t, p[1]) << t;
        }
    }

    // Setting by state.
    const double q[2] = {0.3, 0.4};
    EXPECT_TRUE(b->SetHandle(12, 1, q, 1));
    EXPECT_EQ(-1, b->GetPrefabNumber());
    EXPECT_EQ((Doubles{0.3, 0.4}), Handle(b, 12, 1, 1));
    EXPECT_EQ((Doubles{0.5, 0.5}), Handle(b, 12, 1, 2));
    EXPECT_TRUE(b->SetHandle(12, 1, q, 0));
    EXPECT_EQ((Doubles{0.3, 0.4}), Handle(b, 12, 1, 2));
    b->LoadPrefab(6);
    EXPECT_FALSE(b->SetHandle(25, 1, q, 0));
    EXPECT_EQ(-1, b->GetPrefabNumber());
}

TEST_F(CPatternDefTest, WalkingInsideShapes)
{
    // Two shapes: header 0, points 12, 17, 22, 27; header 32, points 44,
    // 49, 54, 59; end 64.
    CPatternDefRef b = Brush(8);
    struct Case {
        const char* op;
        int from;
        bool answer;
        int to;
    } const cases[] = {
        {"next in shape", 12, true, 17},
        {"next in shape", 27, true, 0},
        {"next in shape", 59, true, 32},
        {"next in shape", 0, true, 12},
        {"next in shape", 64, false, 64},
        {"prev in shape", 0, true, 27},
        {"prev in shape", 32, true, 59},
        {"prev in shape", 17, true, 12},
        {"prev in shape", 12, true, 0},
        {"prev", 32, true, 27},
        {"prev", 64, true, 59},
        {"prev", 0, false, 0},
        {"prev", 12, true, 0},
    };
    for (const Case& c : cases) {
        int i = c.from;
        std::string const op = c.op;
        const bool answer = op == "prev"            ? b->PrevElement(i)
                            : op == "prev in shape" ? b->PrevElementInShape(i)
                                                    : b->NextElementInShape(i);
        EXPECT_EQ(c.answer, answer) << op << " from " << c.from;
        EXPECT_EQ(c.to, i) << op << " from " << c.from;
    }
    // A shape of its header alone is a ring of one.
    CPatternDefRef h = Brush(1);
    for (int i = 27; i >= 12; i -= 5)
        h->DeleteElement(i);
    int i = 0;
    EXPECT_TRUE(h->NextElementInShape(i));
    EXPECT_EQ(0, i);
    EXPECT_TRUE(h->PrevElementInShape(i));
    EXPECT_EQ(0, i);
}

TEST_F(CPatternDefTest, InsertingAndDeletingRecords)
{
    CPatternDefRef b = Brush();
    const Doubles before = Elements(b);
    const double point[] = {20, 0.1, 0.2, 0.3, 0.4};
    EXPECT_TRUE(b->InsertElement(12, point));
    int length = 0;
    b->GetLength(length);
    EXPECT_EQ(69, length);
    EXPECT_EQ(20, b->GetOpcode(12));
    EXPECT_EQ(21, b->GetOpcode(17));
    EXPECT_EQ(0, b->GetOpcode(69));
    // Record operations keep the prefab number.
    EXPECT_EQ(0, b->GetPrefabNumber());
    EXPECT_TRUE(b->DeleteElement(12));
    EXPECT_EQ(before, Elements(b));
    EXPECT_TRUE(b->IsEqualCurrent(Make<CPatternDefRef>()));

    // SetElement overwrites a record of the same kind only.
    double record[CPatternDef::MAX_RECORD];
    b->GetElement(12, record);
    record[9] = 0.75;
    EXPECT_TRUE(b->SetElement(12, record));
    EXPECT_EQ((Doubles{0.75, 0}), Handle(b, 12, 0, 1));
    EXPECT_FALSE(b->SetElement(0, record));
    EXPECT_FALSE(b->SetElement(12, point));

    // Past the end record nothing is inserted, and the end record itself
    // is not deleted.
    EXPECT_FALSE(b->InsertElement(65, point));
    EXPECT_FALSE(b->InsertElement(-1, point));
    EXPECT_FALSE(b->DeleteElement(64));
    b->GetLength(length);
    EXPECT_EQ(64, length);
    // At the end record: appended.
    EXPECT_TRUE(b->InsertElement(64, point));
    EXPECT_EQ((std::vector<int>{0, 12, 25, 38, 51, 64}), Records(b));
    EXPECT_EQ(0, b->GetOpcode(69));

    // Many insertions grow the array.
    for (int k = 0; k < 40; k++)
        ASSERT_TRUE(b->InsertElement(12, point));
    b->GetLength(length);
    EXPECT_EQ(269, length);
    EXPECT_EQ(0, b->GetOpcode(269));
}

TEST_F(CPatternDefTest, MovingHandlesTakesNeighboursAlong)
{
    // The square's reference point and its last point coincide.
    CPatternDefRef square = Brush(1);
    const double to[2] = {-0.5, -0.6};
    EXPECT_TRUE(square->MoveHandle(0, 0, to, 0));
    EXPECT_EQ(-1, square->GetPrefabNumber());
    for (int state : {1, 2}) {
        EXPECT_EQ((Doubles{-0.5, -0.6}), Handle(square, 0, 0, state));
        EXPECT_EQ((Doubles{-0.5, -0.6}), Handle(square, 27, 0, state));
        EXPECT_EQ((Doubles{-0.4, 0.4}), Handle(square, 22, 0, state));
    }
    // Moved in the final state only, the initial points stay.
    CPatternDefRef square2 = Brush(1);
    EXPECT_TRUE(square2->MoveHandle(0, 0, to, 2));
    EXPECT_EQ((Doubles{-0.4, -0.4}), Handle(square2, 27, 0, 1));
    EXPECT_EQ((Doubles{-0.5, -0.6}), Handle(square2, 27, 0, 2));

    // The heart: header 0, curves 12, 25, 38, 51, end 64; the last curve
    // ends on the reference point (0, -0.5).
    CPatternDefRef heart = Brush(7);
    const double ref[2] = {0.1, -0.4}; // by (0.1, 0.1)
    EXPECT_TRUE(heart->MoveHandle(0, 0, ref, 0));
    EXPECT_EQ((Doubles{0.1, -0.4}), Handle(heart, 51, 0, 1));
    // The last curve's second control point and the first curve's first
    // control point go along.
    ExpectNear(Doubles{0.2, 0.0}, Handle(heart, 51, 2, 1));
    ExpectNear(Doubles{0.0, 0.0}, Handle(heart, 12, 1, 1));
    // Nothing else.
    EXPECT_EQ((Doubles{0.5, -0.1}), Handle(heart, 51, 1, 1));
    EXPECT_EQ((Doubles{-0.5, -0.1}), Handle(heart, 12, 2, 1));

    // A curve's end point: its own second control point and the next
    // curve's first control point.
    heart = Brush(7);
    const double end[2] = {0.1, 0.3}; // by (0.1, 0.1)
    EXPECT_TRUE(heart->MoveHandle(25, 0, end, 0));
    EXPECT_EQ((Doubles{0.1, 0.3}), Handle(heart, 25, 0, 2));
    ExpectNear(Doubles{0.1, 0.7}, Handle(heart, 25, 2, 2));
    ExpectNear(Doubles{0.1, 0.7}, Handle(heart, 38, 1, 2));
    EXPECT_EQ((Doubles{-0.5, 0.5}), Handle(heart, 25, 1, 2));

    // A control point moves alone; a handle the record lacks is refused.
    heart = Brush(7);
    const double c[2] = {1, 1};
    EXPECT_TRUE(heart->MoveHandle(25, 1, c, 0));
    EXPECT_EQ((Doubles{1, 1}), Handle(heart, 25, 1, 1));
    EXPECT_EQ((Doubles{0, 0.2}), Handle(heart, 25, 0, 1));
    heart->LoadPrefab(7);
    EXPECT_FALSE(heart->MoveHandle(0, 1, c, 0));
    EXPECT_FALSE(heart->MoveHandle(64, 0, c, 0));
    EXPECT_EQ(-1, heart->GetPrefabNumber());
}

TEST_F(CPatternDefTest, CopyInitialToFinal)
{
    Doubles header = {10, 3, 1, 2, 0.5, 1.5, 1, 1, 0.1, 0.2, 0.3, 0.4};
    EXPECT_TRUE(CPatternDef::CopyInitialToFinal(header.data()));
    EXPECT_EQ((Doubles{10, 3, 1, 1, 0.5, 0.5, 1, 1, 0.1, 0.2, 0.1, 0.2}), header);
    Doubles point = {20, 1, 2, 3, 4};
    CPatternDef::CopyInitialToFinal(point.data());
    EXPECT_EQ((Doubles{20, 1, 2, 1, 2}), point);
    Doubles curve = {21, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CPatternDef::CopyInitialToFinal(curve.data());
    EXPECT_EQ((Doubles{21, 1, 2, 1, 2, 5, 6, 5, 6, 9, 10, 9, 10}), curve);
}

TEST_F(CPatternDefTest, StoredRecordRoundTrips)
{
    CPatternDefRef b = Brush(16);
    const double point[] = {20, 0.1, 0.2, 0.3, 0.4};
    b->InsertElement(12, point);
    b->SetShapeWidth(0, 0.25, 1);
    b->SetEditState(2);
    CPatternDefRef back = Make<CPatternDefRef>();
    EXPECT_FALSE(back->IsEqualCurrent(b));
    EXPECT_TRUE(Restore(back, Stored(b)));
    EXPECT_TRUE(back->IsEqualCurrent(b));
    EXPECT_EQ(Elements(b), Elements(back));
    EXPECT_EQ(Stored(b), Stored(back));
    // The edit state is not stored.
    double width = 0;
    back->GetShapeWidth(0, width, -1);
    EXPECT_EQ(0.25, width);
}

// Records from outside that would send a walk out of the array are refused
// with the stream exception, and the brush keeps its drawing.
TEST_F(CPatternDefTest, BadStoredDrawingsAreRefused)
{
    Doubles circle = Elements(Brush());
    Doubles unended = circle;
    unended[64] = 20;
    Doubles short_curve = circle;
    short_curve.resize(21);
    short_curve[20] = 0.0; // an end record inside the first curve, which runs past 20
    Doubles dangling(circle.begin(), circle.begin() + 64);
    struct Case {
        const char* what;
        long long used;
        Doubles elements;
    } const cases[] = {
        {"negative used length", -1, circle},
        {"used length at the count", 65, circle},
        {"used length past the count", 1000, circle},
        {"huge used length", 1LL << 40, circle},
        {"no end record at the used length", 64, unended},
        {"end record inside the last record", 20, short_curve},
        {"records run past the used length", 63, circle},
        {"no array at all", 0, Doubles{}},
        {"end record missing at the array's end", 64, dangling},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPatternDefRef b = Make<CPatternDefRef>();
        b->SetEditState(1);
        const Bytes bytes = Record(5, c.used, c.elements, c.elements.size(), 10);
        EXPECT_THROW(Restore(b, bytes), ZuExcStream);
        EXPECT_TRUE(b->IsEqualCurrent(Make<CPatternDefRef>()));
        EXPECT_EQ((std::vector<int>{0, 12, 25, 38, 51}), Records(b));
    }

    // A well-formed drawing is taken; a stored grow step of 0 does not stop
    // the brush from growing.
    Doubles two = {20, 1, 2, 3, 4, 7, 0, 0, 0};
    CPatternDefRef b = Make<CPatternDefRef>();
    EXPECT_TRUE(Restore(b, Record(3, 6, two, two.size(), 0)));
    EXPECT_EQ(3, b->GetPrefabNumber());
    EXPECT_EQ((std::vector<int>{0, 5}), Records(b));
    for (int k = 0; k < 5; k++)
        EXPECT_TRUE(b->InsertElement(6, two.data()));
    int length = 0;
    b->GetLength(length);
    EXPECT_EQ(31, length);
    // The walk stops at an end record inside the drawing too.
    Doubles inner = {20, 1, 2, 3, 4, 0, 20, 1, 2, 3, 4, 0};
    EXPECT_TRUE(Restore(b, Record(3, 11, inner, inner.size(), 10)));
    EXPECT_EQ((std::vector<int>{0}), Records(b));
}

} // namespace
