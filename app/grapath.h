// CGraPath: the geometry of one path as a flat list of at most 1000
// numbers, collected by the PostScript port while it draws a fancy stroke,
// then walked to place the copies of the brush along it.
//
// Elements, each opening with its code:
//   1  straight segment: x1, y1, x2, y2
//   2  cubic Bezier segment: x0, y0, x1, y1, x2, y2, x3, y3
//   11, 12, 13, 50  value elements: one number each (the walk skips them)
//   0  end of the list
// The list is always followed by the end mark 0.0.
//
// The walk treats the path as a chain of straight pieces: a whole straight
// segment, or on a Bezier segment the chord from its point at t to its point
// at t + 0.01 (so a Bezier segment is walked as 100 chords). It keeps the
// element it is on, the distance from the start of the current piece, the
// piece's parameter on a Bezier segment, the length gathered by the step
// under way (the remainder) and whether a step ran past the end.
//
// The class is not stored.
#ifndef LUMBRA_APP_GRAPATH_H
#define LUMBRA_APP_GRAPATH_H

#include "app/misc.h"
#include "si/object.h"

ZU_HANDLE(CGraPath, ZuObject)

class CGraPath : public ZuObject {
    ZU_CLASS(CGraPath, ZuObject)
public:
    enum {
        MAX_NUMBERS = 1000,
        LINE = 1,
        CURVE = 2,
        PIE = 225 // an arc drawn as a pie starts with a line from the centre
    };

    CGraPath();

    // An empty list.
    bool Clear();
    // Appends a straight segment; a segment of no length is not appended
    // (true all the same). False when the list is full.
    bool AddLine(const DPoint& from, const DPoint& to);
    // Appends a Bezier segment; false when the list is full.
    bool AddCurve(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3);
    // An elliptic arc about the centre with radii (rx, ry), from start to end
    // (degrees, anticlockwise, through 0 when end < start), the ellipse
    // turned by rotation (degrees), as Bezier segments of at most 22.5
    // degrees. Kind PIE starts with a line from the centre. False when the
    // list filled up before the arc was complete.
    bool AddArc(const DPoint& centre, const DPoint& radii, double start, double end,
                double rotation, int kind);
    // One Bezier segment from a to b rounding the corner between them.
    bool AddArcCorner(const DPoint& a, const DPoint& corner, const DPoint& b, int reserved1,
                      int reserved2);
    // A straight segment from the current point back to the first point.
    // False on an empty list or a full one.
    bool Close();

    // The walk.
    bool ResetWalk();
    // Passes value elements; false at the end of the list.
    bool SkipValues();
    // The number of whole steps along the path (steps shorter than 1.0
    // count as 1.0); GetRemainder then gives what is left after the last.
    int CountSteps(double step);
    // One step along the path; false when the path ended before the step
    // did. With extend a step may run past the end: it then answers true
    // and the position lies on the extension of the last piece.
    bool NextStep(double step, bool extend);
    // The walk's position and the direction of its piece (0 .. 2 pi).
    bool GetWalkPoint(DPoint& at, double& angle);
    double GetRemainder() const;
    // The quadrilateral of one brush copy at the walk's position, then a
    // step: c1 and c4 on its back edge, c2 and c3 on its front edge, c1 and
    // c2 on its left. Without bend a rectangle step long and width wide
    // centred on the position, turned to the direction plus angle (to angle
    // alone when absolute); with bend its back and front edges stand across
    // the path at the position and a step further.
    bool NextQuad(double step, double width, double angle, bool bend, bool absolute, bool extend,
                  DPoint& c1, DPoint& c2, DPoint& c3, DPoint& c4, double& direction);

    // The list, for the port and the tests.
    int RetCount() const { return count; }
    double RetNumber(int i) const { return i >= 0 && i <= count ? numbers[i] : 0.0; }

private:
    // The current piece of the element at the walk index (code 1 or 2).
    void GetPiece(DPoint& s, DPoint& e) const;

    double numbers[MAX_NUMBERS];
    int count;
    DPoint current;
    int walk_index;
    double piece_offset;
    double piece_parameter;
    double remainder;
    bool past_end;
};
ZU_CLASS_END(CGraPath)

#endif
