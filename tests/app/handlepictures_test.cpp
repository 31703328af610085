// The handles' pictures on the samples of the brush editor and the
// gradient pane, as a user meets them: the mark read back from the pane's
// window stands centred on the handle's point, and a press in the middle
// of the mark grabs that handle, which then follows the drag while the
// other handles stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/motifdegpane.h"
#include "app/patterndef.h"
#include "app/patternpane.h"
#include "tests/app/panetest.h"

namespace {

// The red of the handles' pictures: neither a brush's black nor the pure
// red of a gradient's colour.
bool IsHandleRed(unsigned p)
{
    const unsigned r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return r >= 0xC0 && r <= 0xF0 && g >= 0x10 && g <= 0x48 && b >= 0x10 && b <= 0x48;
}

class HandlePicturesTest : public PaneTest {
protected:
    void TearDown() override
    {
        Close();
        PaneTest::TearDown();
    }
    // Each case on a pane of its own.
    void Close()
    {
        if (brush_pane.IsValid())
            brush_pane->Delete();
        if (gradient_pane.IsValid())
            gradient_pane->Delete();
        brush_pane = CPatternPaneRef();
        brush = CPatternDefRef();
        gradient_pane = CMotifDegPaneRef();
        gradient = CMotifDefRef();
        Pump();
    }

    // The brush editor with one curve chosen: from (0, 0) through the
    // control points (0.1, 0.2) and (0.3, 0.2) to (0.4, 0).
    void OpenBrush()
    {
        Close();
        brush = ZuNew<CPatternDef>(Zuvi_app_zone);
        brush->Clear();
        brush_pane = MakePane<CPatternPane>(11);
        ASSERT_TRUE(brush_pane->SetDef(CDefRef(ZuObjectRef(brush))));
        const double records[] = {10,  1,   0,   0,   0.1, 0.1, 0,   0,   0,   0, 0,   0, 21,
                                  0.1, 0.2, 0.1, 0.2, 0.3, 0.2, 0.3, 0.2, 0.4, 0, 0.4, 0};
        brush->InsertElement(0, records);
        brush->InsertElement(12, records + 12);
        brush_pane->Refresh();
        Pump();
        const DPoint body = BrushView(0.2, 0.15);
        Press(body, body);
        ASSERT_EQ(brush_pane->RetCurrentShape(), 0);
    }
    DPoint BrushView(double x, double y) const
    {
        return brush_pane->RetSample()->SampleToView(x, y);
    }
    // The curve's points in the window: start, two control points, end.
    std::vector<DPoint> BrushHandles()
    {
        double r[CPatternDef::MAX_RECORD];
        brush->GetElement(0, r);
        const DPoint start = BrushView(r[8], r[9]);
        brush->GetElement(12, r);
        return {start, BrushView(r[1], r[2]), BrushView(r[5], r[6]), BrushView(r[9], r[10])};
    }

    // The gradient pane with an axial gradient from red to blue.
    void OpenGradient()
    {
        Close();
        gradient = ZuNew<CMotifDef>(Zuvi_app_zone);
        gradient->SetValue(61);
        CColorDefRef colours = ZuNew<CColorDef>(Zuvi_app_zone);
        colours->SetCount(2);
        colours->SetIndex(0);
        colours->SetRGB(1, 0, 0);
        colours->SetIndex(1);
        colours->SetRGB(0, 0, 1);
        colours->SetIndex(0);
        dialog->defs[25] = CDefRef(ZuObjectRef(colours));
        gradient_pane = MakePane<CMotifDegPane>(20);
        gradient_pane->SetDef(CDefRef(ZuObjectRef(gradient)));
        gradient_pane->Refresh();
        // The axial kind, chosen on its button.
        Click(14, 4 + 11);
        gradient->SetGradientPoint(1, 0.3);
        gradient->SetGradientPoint(2, 0.7);
        gradient_pane->Update();
        gradient_pane->SetSelected(-1);
        gradient_pane->RetSample()->Display();
        Pump();
    }
    std::vector<DPoint> GradientHandles()
    {
        std::vector<DPoint> out;
        for (int n = 0; n < 4; ++n) {
            DPoint at{-1, -1};
            int look = 0;
            EXPECT_TRUE(gradient_pane->HandlePosition(0, n, at, look)) << n;
            out.push_back(at);
        }
        return out;
    }

    // A press at a, a drag through to b and the release there, on the
    // pane's window.
    void Press(const DPoint& a, const DPoint& b)
    {
        Advance(1000);
        PaneMouse(a.x, a.y, 0);
        PaneMouse(a.x, a.y, MK_LBUTTON);
        PaneMouse((a.x + b.x) / 2, (a.y + b.y) / 2, MK_LBUTTON);
        PaneMouse(b.x, b.y, MK_LBUTTON);
        PaneMouse(b.x, b.y, 0);
    }

    // The box of the handle's red that the window shows around a point;
    // false when there is none.
    bool MarkAround(const DPoint& at, int& x1, int& y1, int& x2, int& y2)
    {
        x1 = y1 = 10000;
        x2 = y2 = -1;
        const int cx = int(std::floor(at.x)), cy = int(std::floor(at.y));
        for (int y = cy - 12; y <= cy + 12; ++y)
            for (int x = cx - 12; x <= cx + 12; ++x)
                if (IsHandleRed(PanePixel(x, y))) {
                    x1 = std::min(x1, x), x2 = std::max(x2, x);
                    y1 = std::min(y1, y), y2 = std::max(y2, y);
                }
        return x2 >= 0;
    }

    CPatternPaneRef brush_pane;
    CPatternDefRef brush;
    CMotifDegPaneRef gradient_pane;
    CMotifDefRef gradient;
};

} // namespace

// Each handle's mark is centred on its point, and pressed in its middle it
// takes that handle along: only that handle moves.
TEST_F(HandlePicturesTest, APressOnTheMarksMiddleGrabsTheHandle)
{
    const struct {
        const char* what;
        bool gradient;
        int grabbed, still; // the handle pressed, one that stays (or -1)
        DPoint drag;
    } cases[] = {
        {"brush control point", false, 1, 0, {-20, 20}},
        {"brush end point", false, 3, 0, {20, 20}},
        {"gradient angle", true, 1, -1, {20, 15}},
        {"gradient start", true, 2, 3, {-15, 15}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.gradient)
            OpenGradient();
        else
            OpenBrush();
        if (HasFatalFailure())
            return;
        auto handles = [&] { return c.gradient ? GradientHandles() : BrushHandles(); };
        const std::vector<DPoint> before = handles();
        const DPoint at = before[size_t(c.grabbed)];
        int x1, y1, x2, y2;
        ASSERT_TRUE(MarkAround(at, x1, y1, x2, y2)) << "no mark near " << at.x << "," << at.y;
        const DPoint middle{(x1 + x2) / 2.0, (y1 + y2) / 2.0};
        EXPECT_LE(std::fabs(middle.x - at.x), 1.0) << x1 << ".." << x2 << " for " << at.x;
        EXPECT_LE(std::fabs(middle.y - at.y), 1.0) << y1 << ".." << y2 << " for " << at.y;

        const DPoint press{std::floor(middle.x), std::floor(middle.y)};
        const DPoint release{press.x + c.drag.x, press.y + c.drag.y};
        Press(press, release);
        const std::vector<DPoint> after = handles();
        const size_t g = size_t(c.grabbed);
        auto distance = [](const DPoint& p, const DPoint& q) {
            return std::hypot(p.x - q.x, p.y - q.y);
        };
        EXPECT_GT(distance(after[g], before[g]), 5.0) << "the pressed handle stayed";
        EXPECT_LT(distance(after[g], release), distance(before[g], release));
        if (c.still >= 0) {
            EXPECT_LT(distance(after[size_t(c.still)], before[size_t(c.still)]), 0.5)
                << "the whole shape moved";
        }
    }
}
