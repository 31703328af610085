// ZuRect: a rectangle of doubles with inclusive ends (the width is
// x2 - x1 + 1) and an empty flag. An empty rectangle made by the library has
// all four coordinates 0.
#ifndef SI_RECT_H
#define SI_RECT_H

struct Zuvi_TypeDef;

class ZuRect {
public:
    ZuRect() : x1(0), y1(0), x2(0), y2(0), empty(true) {}
    // Not empty when x2 >= x1 and y2 >= y1; otherwise empty with zeros.
    ZuRect(double x1_, double y1_, double x2_, double y2_) : x1(0), y1(0), x2(0), y2(0), empty(true)
    {
        if (x2_ >= x1_ && y2_ >= y1_) {
            x1 = x1_;
            y1 = y1_;
            x2 = x2_;
            y2 = y2_;
            empty = false;
        }
    }
    // r shrunk by margin on every side, when r is not empty and at least
    // margin wide and high; otherwise empty. (A rectangle of width 3 shrunk
    // by 3 keeps its flag with x2 below x1: callers rely on that.)
    ZuRect(const ZuRect& r, double margin) : x1(0), y1(0), x2(0), y2(0), empty(true)
    {
        if (!r.empty && r.DX() >= margin && r.DY() >= margin) {
            x1 = r.x1 + margin;
            y1 = r.y1 + margin;
            x2 = r.x2 - margin;
            y2 = r.y2 - margin;
            empty = false;
        }
    }
    ZuRect(const ZuRect& r) = default;
    ZuRect& operator=(const ZuRect& r) = default;

    // An empty rectangle becomes the single point; otherwise each bound
    // grows to take the point in.
    ZuRect& InsertPoint(double x, double y)
    {
        if (empty) {
            x1 = x2 = x;
            y1 = y2 = y;
            empty = false;
        } else {
            if (x < x1)
                x1 = x;
            if (y < y1)
                y1 = y;
            if (x > x2)
                x2 = x;
            if (y > y2)
                y2 = y;
        }
        return *this;
    }
    ZuRect& MakeEmpty()
    {
        x1 = y1 = x2 = y2 = 0;
        empty = true;
        return *this;
    }
    // Moves the rectangle to the origin (x, y), keeping its size and flag.
    void SetOrigin(double x, double y)
    {
        x2 += x - x1;
        y2 += y - y1;
        x1 = x;
        y1 = y;
    }
    void MoveOrigin(double dx, double dy)
    {
        x1 += dx;
        x2 += dx;
        y1 += dy;
        y2 += dy;
    }
    // Empty exactly when w or h is 0.
    void SetSize(double w, double h)
    {
        x2 = x1 + w - 1;
        y2 = y1 + h - 1;
        empty = (w == 0 || h == 0);
    }
    // The size of an empty rectangle counts as 0; a negative result as 0.
    void ChangeSize(double dw, double dh)
    {
        double w = empty ? dw : DX() + dw;
        double h = empty ? dh : DY() + dh;
        SetSize(w < 0 ? 0 : w, h < 0 ? 0 : h);
    }
    // A negative margin can make an empty rectangle non-empty.
    void ApplyMargin(double m)
    {
        if (m == 0)
            return;
        x1 += m;
        y1 += m;
        x2 -= m;
        y2 -= m;
        empty = (x2 < x1 || y2 < y1);
    }

    bool GetOrigin(double& x, double& y) const
    {
        x = x1;
        y = y1;
        return !empty;
    }
    bool GetSize(double& w, double& h) const
    {
        if (empty) {
            w = h = 0;
            return false;
        }
        w = DX();
        h = DY();
        return true;
    }
    double DX() const { return empty ? 0 : x2 - x1 + 1; }
    double DY() const { return empty ? 0 : y2 - y1 + 1; }
    // Writing through these leaves the flag alone.
    double X1() const { return x1; }
    double Y1() const { return y1; }
    double X2() const { return x2; }
    double Y2() const { return y2; }
    double& X1() { return x1; }
    double& Y1() { return y1; }
    double& X2() { return x2; }
    double& Y2() { return y2; }
    bool IsEmpty() const { return empty; }

    bool IsInside(double x, double y) const
    {
        return !empty && x1 <= x && x <= x2 && y1 <= y && y <= y2;
    }
    // Touching edges overlap.
    bool DoOverlap(const ZuRect& r) const
    {
        if (empty || r.empty)
            return false;
        return x1 <= r.x2 && x2 >= r.x1 && y1 <= r.y2 && y2 >= r.y1;
    }

    // Equal when both are empty, else when the coordinates are equal (the
    // flags are not compared). Unequal when the flags differ, else when any
    // coordinate differs. So an empty rectangle and the 1 by 1 rectangle at
    // the origin are both equal and unequal; callers depend on both answers.
    bool operator==(const ZuRect& r) const
    {
        if (empty && r.empty)
            return true;
        return x1 == r.x1 && y1 == r.y1 && x2 == r.x2 && y2 == r.y2;
    }
    bool operator!=(const ZuRect& r) const
    {
        if (empty != r.empty)
            return true;
        return x1 != r.x1 || y1 != r.y1 || x2 != r.x2 || y2 != r.y2;
    }

    // Union: an empty o changes nothing; an empty rectangle becomes o.
    ZuRect& operator+=(const ZuRect& o)
    {
        if (o.empty)
            return *this;
        if (empty) {
            *this = o;
            return *this;
        }
        if (o.x1 < x1)
            x1 = o.x1;
        if (o.y1 < y1)
            y1 = o.y1;
        if (o.x2 > x2)
            x2 = o.x2;
        if (o.y2 > y2)
            y2 = o.y2;
        return *this;
    }
    // Intersection: empty when either is empty or nothing is shared;
    // touching rectangles share a one-pixel-wide band.
    ZuRect& operator*=(const ZuRect& o)
    {
        if (empty)
            return *this;
        if (o.empty)
            return MakeEmpty();
        if (o.x1 > x1)
            x1 = o.x1;
        if (o.y1 > y1)
            y1 = o.y1;
        if (o.x2 < x2)
            x2 = o.x2;
        if (o.y2 < y2)
            y2 = o.y2;
        if (x1 > x2 || y1 > y2)
            MakeEmpty();
        return *this;
    }

    static const ZuRect none;

private:
    double x1;
    double y1;
    double x2;
    double y2;
    bool empty;
};

extern const Zuvi_TypeDef ZuRect_type;
extern const Zuvi_TypeDef* const ZuRectTypeDef;

#endif
