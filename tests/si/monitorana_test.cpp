// The value monitor and its analogue gauge: the value through the smart
// source and its cache, the scale rules (rectified, symmetric, clamped or
// growing maximum), the dial drawn from them, and the stored form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "si/classfactory.h"
#include "si/grailpxm.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/monitorana.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

// A pixmap that also notes the anti-aliased lines and the texts drawn on it.
ZU_HANDLE(TGaugePort, ZuGrailPixmap)
class TGaugePort : public ZuGrailPixmap {
    ZU_CLASS(TGaugePort, ZuGrailPixmap)
public:
    TGaugePort() {}
    struct Line {
        double x1, y1, x2, y2;
    };
    struct Text {
        double x, y;
        std::string text;
        ZuTextHPos h;
        ZuTextVPos v;
    };
    void DrawAALineTo(double x1, double y1, double x2, double y2) override
    {
        lines.push_back({x1, y1, x2, y2});
        ZuGrailPixmap::DrawAALineTo(x1, y1, x2, y2);
    }
    void ShowText(double x, double y, const ZuStringRef& text, unsigned start, unsigned count,
                  const ZuTextStyle& style, double width) override
    {
        texts.push_back({x, y, text->AccessLatin(), style, style});
        ZuGrailPixmap::ShowText(x, y, text, start, count, style, width);
    }
    std::vector<Line> lines;
    std::vector<Text> texts;
};
ZU_CLASS_END(TGaugePort)
ZU_IMPLEMENT_CLASS(TGaugePort, "tests/si/monitorana_test", ZU_CLASS_PLAIN)

namespace {

const double kPi = 3.14159265358979323846;

class GaugeTest : public LookTest {
protected:
    void TearDown() override
    {
        for (ZuObjectRef& o : made)
            o->Delete();
        made.clear();
        ZuObjectRef::RealiseDeletions();
        LookTest::TearDown();
    }
    ZuMonitorAnalogicRef NewGauge(double dx, double dy)
    {
        ZuMonitorAnalogicRef g = ZuNew<ZuMonitorAnalogic>(Zuvi_app_zone);
        g->SetBox(ZuRect(0, 0, dx - 1, dy - 1));
        made.push_back(g);
        return g;
    }
    // The gauge drawn on a new port of its box's size.
    TGaugePortRef Drawn(const ZuMonitorAnalogicRef& g)
    {
        const ZuRect box = g->RetBox();
        TGaugePortRef port = ZuNew<TGaugePort>(Zuvi_app_zone);
        port->Initialise(32, box.X2() + 1, box.Y2() + 1);
        made.push_back(port);
        g->Draw(port, box, ZU_DRAW_ALL);
        return port;
    }
    // The angle of the needle (the line from the centre), from straight up.
    static double NeedleAngle(const TGaugePortRef& port)
    {
        const TGaugePort::Line& l = port->lines.back();
        return std::atan2(l.x2 - l.x1, l.y1 - l.y2);
    }
    static std::string SignOf(const TGaugePortRef& port)
    {
        for (const TGaugePort::Text& t : port->texts)
            if (t.h == ZU_TEXT_HPOS_LEFT)
                return t.text;
        return "";
    }
    unsigned Ink(ZuLookColor color)
    {
        ZuGrailPixmapRef probe = NewPixmap(32, 4, 4);
        probe->SetForeColor(ZuColorPixel(color));
        probe->DrawDot(1, 1);
        const unsigned ink = Pixel(probe, 1, 1);
        probe->Delete();
        return ink;
    }
    std::vector<ZuObjectRef> made;
};

// The box 104 x 64 with the look's relief of 2: r = 50, R = 58, centre
// (52, 61), half-angle asin(50 / 58).
const double kA = std::asin(50.0 / 58.0);

TEST_F(GaugeTest, NeedleFollowsTheScaleRules)
{
    struct Case {
        const char* what;
        bool symmetric, rectified, dynamic;
        double value;
        double needle; // angle, in half-angles
        const char* sign;
        double maximum; // after the update
    } cases[] = {
        {"below zero shows 0", false, false, false, -0.3, -1, "-", 1},
        {"40 % of the arc", false, false, false, 0.4, -1 + 0.8, "+", 1},
        {"rectified", false, true, false, -0.3, -1 + 0.6, "-", 1},
        {"symmetric half", true, false, false, -0.5, -0.5, "-", 1},
        {"symmetric zero", true, false, false, 0, 0, "+", 1},
        {"clamped", false, false, false, 7.3, 1, "+", 1},
        {"symmetric clamped below", true, false, false, -7.3, -1, "-", 1},
        {"grows to 10", false, false, true, 7.3, -1 + 2 * 0.73, "+", 10},
        {"grows to 5", false, false, true, 3.2, -1 + 2 * 0.64, "+", 5},
        // Far below -max on a plain gauge: 0 like any negative value, not
        // full scale, and no growth.
        {"far below", false, false, false, -1.5, -1, "-", 1},
        {"far below, dynamic", false, false, true, -25, -1, "-", 1},
        {"no number", false, false, false, std::numeric_limits<double>::quiet_NaN(), -1, "+", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZuMonitorAnalogicRef g = NewGauge(104, 64);
        g->SetSymmetric(c.symmetric);
        g->SetRectified(c.rectified);
        g->SetDynamicMax(c.dynamic);
        ASSERT_TRUE(g->SetValue(ZuValueRef(c.value)));
        TGaugePortRef port = Drawn(g);
        ASSERT_EQ(port->lines.size(), 12u);
        const TGaugePort::Line& needle = port->lines.back();
        EXPECT_EQ(needle.x1, 52);
        EXPECT_EQ(needle.y1, 61);
        EXPECT_NEAR(std::hypot(needle.x2 - 52, needle.y2 - 61), 58, 1e-9);
        EXPECT_NEAR(NeedleAngle(port), c.needle * kA, 1e-9);
        EXPECT_EQ(SignOf(port), c.sign);
        EXPECT_EQ(g->RetMaximum(), c.maximum);
    }
}

TEST_F(GaugeTest, TicksAndLabelsFollowTheAngleRule)
{
    // Plain scale, maximum 250: ticks every tenth of the arc, "0" and "2"
    // at the ends, the multiplier "x 100" and the sign.
    ZuMonitorAnalogicRef g = NewGauge(104, 64);
    g->SetMaximum(250);
    g->SetValue(ZuValueRef(100.0));
    TGaugePortRef port = Drawn(g);
    ASSERT_EQ(port->lines.size(), 12u);
    for (unsigned k = 0; k <= 10; ++k) {
        const double t = -kA + k * 2 * kA / 10;
        const TGaugePort::Line& l = port->lines[k];
        EXPECT_NEAR(l.x1, 52 + 0.9 * 58 * std::sin(t), 1e-9);
        EXPECT_NEAR(l.y1, 61 - 0.9 * 58 * std::cos(t), 1e-9);
        EXPECT_NEAR(l.x2, 52 + 58 * std::sin(t), 1e-9);
        EXPECT_NEAR(l.y2, 61 - 58 * std::cos(t), 1e-9);
    }
    ASSERT_EQ(port->texts.size(), 4u);
    const struct {
        const char* text;
        double x, y;
        ZuTextHPos h;
        ZuTextVPos v;
    } labels[] = {
        {"0", 52 - 0.8 * 58 * std::sin(kA), 61 - 0.8 * 58 * std::cos(kA), ZU_TEXT_HPOS_CENTER,
         ZU_TEXT_VPOS_CENTER},
        {"2", 52 + 0.8 * 58 * std::sin(kA), 61 - 0.8 * 58 * std::cos(kA), ZU_TEXT_HPOS_CENTER,
         ZU_TEXT_VPOS_CENTER},
        {"x 100", 52 + 0.9 * 58 * std::sin(kA), 61 - 0.7 * 58 * std::cos(kA), ZU_TEXT_HPOS_RIGHT,
         ZU_TEXT_VPOS_TOP},
        {"+", 52 - 0.9 * 58 * std::sin(kA), 61 - 0.7 * 58 * std::cos(kA), ZU_TEXT_HPOS_LEFT,
         ZU_TEXT_VPOS_TOP},
    };
    for (unsigned i = 0; i < 4; ++i) {
        SCOPED_TRACE(labels[i].text);
        EXPECT_EQ(port->texts[i].text, labels[i].text);
        EXPECT_NEAR(port->texts[i].x, labels[i].x, 1e-9);
        EXPECT_NEAR(port->texts[i].y, labels[i].y, 1e-9);
        EXPECT_EQ(port->texts[i].h, labels[i].h);
        EXPECT_EQ(port->texts[i].v, labels[i].v);
    }
    EXPECT_NEAR(NeedleAngle(port), -kA + 0.4 * 2 * kA, 1e-9);
}

// 124 x 64: r = 60 is cut to R = 58, a half-angle of 90 degrees. The zero
// label stands straight up, not on the "+" end label.
TEST_F(GaugeTest, SymmetricZeroLabelStandsStraightUp)
{
    ZuMonitorAnalogicRef g = NewGauge(124, 64);
    g->SetSymmetric(true);
    TGaugePortRef port = Drawn(g);
    ASSERT_EQ(port->lines.size(), 12u);
    for (int k = -5; k <= 5; ++k) {
        const double t = k * (kPi / 2) / 5;
        EXPECT_NEAR(port->lines[k + 5].x2, 60 + 58 * std::sin(t), 1e-9);
        EXPECT_NEAR(port->lines[k + 5].y2, 61 - 58 * std::cos(t), 1e-9);
    }
    ASSERT_EQ(port->texts.size(), 5u);
    const struct {
        const char* text;
        double x, y;
    } labels[] = {{"-1", 60 - 0.8 * 58, 61}, {"+1", 60 + 0.8 * 58, 61}, {"0", 60, 61 - 0.8 * 58}};
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE(labels[i].text);
        EXPECT_EQ(port->texts[i].text, labels[i].text);
        EXPECT_NEAR(port->texts[i].x, labels[i].x, 1e-9);
        EXPECT_NEAR(port->texts[i].y, labels[i].y, 1e-9);
    }
    EXPECT_EQ(port->texts[3].text, "x 1");
    EXPECT_NEAR(NeedleAngle(port), 0, 1e-9);
}

// Without a maximum there is no scale: the dial and its ticks, no needle
// and no label. The maximum is kept as a magnitude.
TEST_F(GaugeTest, ZeroMaximumDrawsTheTicksAlone)
{
    ZuMonitorAnalogicRef g = NewGauge(104, 64);
    EXPECT_TRUE(g->SetMaximum(-4));
    EXPECT_EQ(g->RetMaximum(), 4);
    g->SetMaximum(0);
    g->SetValue(ZuValueRef(0.5));
    TGaugePortRef port = Drawn(g);
    EXPECT_EQ(port->lines.size(), 11u);
    EXPECT_TRUE(port->texts.empty());
}

// Inner size (the box less twice the relief of 2) below 20 x 7: the white
// background alone, every pixel of the box.
TEST_F(GaugeTest, SmallBoxShowsOnlyItsBackground)
{
    const unsigned white = Ink(ZU_COLOR_WHITE);
    struct Case {
        double dx, dy;
        size_t lines;
    } cases[] = {{23, 64, 0}, {24, 64, 12}, {104, 10, 0}, {104, 11, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << " x " << c.dy);
        ZuMonitorAnalogicRef g = NewGauge(c.dx, c.dy);
        TGaugePortRef port = Drawn(g);
        EXPECT_EQ(port->lines.size(), c.lines);
        if (c.lines != 0)
            continue;
        EXPECT_TRUE(port->texts.empty());
        for (int y = 0; y < c.dy; ++y)
            for (int x = 0; x < c.dx; ++x)
                ASSERT_EQ(Pixel(port, x, y), white) << x << ", " << y;
    }
}

// The needle of a plain gauge at 0 runs from the centre to the left end of
// the dial; the mirror side stays white.
TEST_F(GaugeTest, NeedleAtZeroPointsToTheLeftEnd)
{
    const unsigned white = Ink(ZU_COLOR_WHITE);
    ZuMonitorAnalogicRef g = NewGauge(104, 64);
    g->SetValue(ZuValueRef(0.0));
    TGaugePortRef port = Drawn(g);
    for (double d : {10.0, 20.0, 30.0}) {
        const int x = static_cast<int>(std::lround(52 - d * std::sin(kA)));
        const int mirror = static_cast<int>(std::lround(52 + d * std::sin(kA)));
        const int y = static_cast<int>(std::lround(61 - d * std::cos(kA)));
        EXPECT_NE(Pixel(port, x, y), white) << d;
        EXPECT_EQ(Pixel(port, mirror, y), white) << d;
    }
}

TEST_F(GaugeTest, ValueGoesThroughTheSourceAndItsCache)
{
    ZuMonitorAnalogicRef source = NewGauge(104, 64);
    EXPECT_TRUE(source->RetValue().IsInvalid());
    ASSERT_TRUE(source->SetValue(ZuValueRef(0.25)));
    EXPECT_EQ(source->RetValue()->RetReal(), 0.25);
    ZuValueRef by_name;
    ASSERT_TRUE(source->QueryData(ZuAtomRef("value"), by_name));
    EXPECT_EQ(by_name->RetReal(), 0.25);

    // A gauge reading the other's "value": it keeps what it read until its
    // cache is flushed, by a "Refresh" broadcast or the "FlushCache" target.
    ZuMonitorAnalogicRef g = NewGauge(104, 64);
    ASSERT_TRUE(g->InitValueByName(0, source, ZuAtomRef("value")));
    EXPECT_NEAR(NeedleAngle(Drawn(g)), -kA + 0.25 * 2 * kA, 1e-9);
    ASSERT_TRUE(source->DefineData(ZuAtomRef("value"), ZuValueRef(0.5)));
    EXPECT_NEAR(NeedleAngle(Drawn(g)), -kA + 0.25 * 2 * kA, 1e-9);
    g->Broadcast(ZuAtomRef("Refresh"), ZuObjectNull);
    EXPECT_NEAR(NeedleAngle(Drawn(g)), 0, 1e-9);
    source->SetValue(ZuValueRef(0.75));
    g->Broadcast(ZuAtomRef("LookManChanged"), ZuObjectNull);
    EXPECT_NEAR(NeedleAngle(Drawn(g)), 0, 1e-9);
    EXPECT_TRUE(g->Action(ZuAtomRef("FlushCache"), ZuObjectNull, 0));
    EXPECT_NEAR(NeedleAngle(Drawn(g)), -kA + 0.75 * 2 * kA, 1e-9);
    EXPECT_EQ(g->RetValue()->RetReal(), 0.75);
    source->SetValue(ZuValueRef(1.0));
    EXPECT_TRUE(g->Action(ZuAtomRef("FlushCacheAndRedraw"), ZuObjectNull, 0));
    EXPECT_NEAR(NeedleAngle(Drawn(g)), kA, 1e-9);
    // A value written through the gauge reaches the datum it reads.
    ASSERT_TRUE(g->SetValue(ZuValueRef(0.125)));
    EXPECT_EQ(source->RetValue()->RetReal(), 0.125);
}

TEST_F(GaugeTest, StoresItsScaleAndPublishesIt)
{
    ZuMonitorAnalogicRef g = NewGauge(104, 64);
    EXPECT_TRUE(g->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_TRUE(g->DefineData(ZuAtomRef("max_value"), ZuValueRef(-20.0)));
    EXPECT_TRUE(g->DefineData(ZuAtomRef("is_symmetric"), ZuValueRef(true)));
    EXPECT_TRUE(g->DefineData(ZuAtomRef("is_dynamic_max"), ZuValueRef(true)));
    EXPECT_EQ(g->RetMaximum(), 20);
    ZuValueRef v;
    ASSERT_TRUE(g->QueryData(ZuAtomRef("is_rectified"), v));
    EXPECT_FALSE(v->RetBool());

    ZuMonitorAnalogicRef back(StoredAndRead(g));
    ASSERT_TRUE(back.IsValid());
    made.push_back(back);
    EXPECT_EQ(back->RetMaximum(), 20);
    EXPECT_TRUE(back->IsSymmetric());
    EXPECT_FALSE(back->IsRectified());
    EXPECT_TRUE(back->IsDynamicMax());
}

} // namespace
