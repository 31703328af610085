// The drawing program's shared free functions: small arithmetic, points
// (pairs of doubles), rectangles (x1, y1, x2, y2), 2-D affine matrices, the
// change record that moves, scales, rotates and deforms objects, arrow-head
// geometry, the definitions by attribute kind, and the table of length
// units with the writing of numbers.
//
// Angles are in radians and turn anticlockwise (y up). Texts of numbers
// always use a point for the decimals, whatever the user's locale.
#ifndef LUMBRA_APP_MISC_H
#define LUMBRA_APP_MISC_H

#include <cstddef>

#include "app/arrowdef.h"
#include "app/def.h"
#include "si/textline.h"

ZU_FORWARD(CDocument)
ZU_FORWARD(CView)
ZU_FORWARD(CGraObject)

struct DPoint {
    double x;
    double y;
};

// A rectangle by two corners; "normalised" when x1 <= x2 and y1 <= y2.
struct DRect {
    double x1;
    double y1;
    double x2;
    double y2;
};

// An affine matrix [a b c d e f]: (x, y) becomes
// (a x + c y + e, b x + d y + f).
struct DMatrix {
    double a;
    double b;
    double c;
    double d;
    double e;
    double f;
};

// The change record applied by TransformPoints. What the points hold
// depends on the kind:
//   1 move: a start, b end
//   2 scale: a centre, c the factors (x, y)
//   3 rotate: a centre, c.x the angle
//   4 rectangle onto quadrilateral: a (x1, y1), b (x2, y2) the source
//     rectangle; c, d, e, f the corners C1 .. C4 that (x1, y1), (x2, y1),
//     (x2, y2), (x1, y2) go to
//   5 rectangle onto a curved envelope: as 4, and g[0] .. g[7] the control
//     points g1 .. g8 of the edges C1-C2 (g1, g2), C2-C3 (g3, g4), C3-C4
//     (g5, g6) and C4-C1 (g7, g8), each pair from its edge's first corner
//   6 scale: a centre, b the factors
//   7 affine matrix: a.x, a.y, b.x, b.y, c.x, c.y are [a b c d e f]
//   8 move a centre inside a frame: a, b the frame, c the old centre, d the
//     new one
//   9 scale along rays from a centre: a, b the frame, c the centre, d.x the
//     factor
// Any other kind changes nothing.
struct ChangeRecord {
    int kind;
    DPoint a;
    DPoint b;
    DPoint c;
    DPoint d;
    DPoint e;
    DPoint f;
    DPoint g[8];
};

// 2 pi wherever an object turns full circle.
const double kTwoPi = 6.283185307;

// ---------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------
double Min(double a, double b);
double Min(double a, double b, double c);
double Min(double a, double b, double c, double d);
double Min(double a, double b, double c, double d, double e);
double Max(double a, double b);
double Max(double a, double b, double c);
double Max(double a, double b, double c, double d);
double Max(double a, double b, double c, double d, double e);
// To 0.0 .. 1.0; a value that is not a number becomes 0.0.
double Clamp01(double v);
double Abs(double v);
void Swap(int& a, int& b);
void Swap(double& a, double& b);

// ---------------------------------------------------------------------------
// Rectangles
// ---------------------------------------------------------------------------
void NormaliseRect(DRect& r);
// Edges included; the rectangles are taken normalised.
bool IsPointInRect(const DPoint& p, const DRect& r);
// Whether inner lies wholly inside outer.
bool IsRectInRect(const DRect& inner, const DRect& outer);
bool DoRectsIntersect(const DRect& r1, const DRect& r2);
void ClearRect(DRect& r);
// Both corners equal.
bool IsRectNull(const DRect& r);
// A null rectangle counts as absent; two null ones give the zero rectangle.
DRect UnionRect(const DRect& r1, const DRect& r2);
// The overlap; a null rectangle counts as absent (the other is answered);
// the zero rectangle when they do not overlap.
DRect IntersectRect(const DRect& r1, const DRect& r2);
// The smaller edge moves by -d and the larger by +d, on both axes.
void InflateRect(DRect& r, double d);

// ---------------------------------------------------------------------------
// Points
// ---------------------------------------------------------------------------
// p1 + (p2 - p1) t
DPoint InterpolatePoint(const DPoint& p1, const DPoint& p2, double t);
DPoint MidPoint(const DPoint& p1, const DPoint& p2);
// 2 centre - p
DPoint MirrorPoint(const DPoint& p, const DPoint& centre);
// The point at the distance from p1 towards p2; p2 when the two coincide.
DPoint PointTowards(const DPoint& p1, const DPoint& p2, double distance);
double Distance(const DPoint& p1, const DPoint& p2);
// Per axis (p3 - p1) / (p2 - p1); 0.0 on an axis where p2 equals p1.
DPoint PointRatio(const DPoint& p1, const DPoint& p2, const DPoint& p3);
// Per axis p1 + (p3 - p1) ratio.
DPoint PointFromRatio(const DPoint& p1, const DPoint& ratio, const DPoint& p3);
// The drawing constraint of the line-like objects: p onto the horizontal
// through ref when |dy| <= |dx|, else onto its vertical.
void SnapToAxis(const DPoint& ref, DPoint& p);
// p turned about the centre by the angle.
DPoint RotatePoint(const DPoint& p, const DPoint& centre, double angle);
// The angle about the centre from a to b, 0 .. 2 pi; 0.0 when a or b is the
// centre.
double AngleBetween(const DPoint& centre, const DPoint& a, const DPoint& b);
// The angle at p from the horizontal ray to x, as AngleBetween measures it.
double Inclination(const DPoint& p, const DPoint& x);
// The point at the distance from p in the direction of the angle: the
// point d to the right of p turned about p.
DPoint PolarPoint(const DPoint& p, double d, double angle);
// The crossing of the lines p0-p1 and p2-p3 (both unbounded); false, out
// unchanged, when they are parallel or a line has no length.
bool LineIntersection(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3,
                      DPoint& out);
// Where the foot of the perpendicular from p on the line c-e lies, as the
// fraction from c (0) to e (1), measured on the axis along which e - c is
// longer (y when both are equal); 0.0 when c equals e.
double LineParam(const DPoint& c, const DPoint& e, const DPoint& p);
// The centre of the arc that rounds the corner between a and b: the
// crossing of the perpendiculars to corner-a at a and to corner-b at b; the
// corner itself when they do not cross or cross 10000 or more away on both
// axes.
DPoint CornerCentre(const DPoint& a, const DPoint& corner, const DPoint& b);
DPoint BezierPoint(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3,
                   double t);
// The parameter of the segment's point nearest to p, sampling t from 0 to 1
// in the given number of steps; -1.0 for fewer than one step.
double BezierNearest(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3,
                     const DPoint& p, int steps);

// ---------------------------------------------------------------------------
// Matrices
// ---------------------------------------------------------------------------
DMatrix MatrixIdentity();
DMatrix MatrixTranslate(double tx, double ty);
DMatrix MatrixScale(double sx, double sy);
// (cos, sin, -sin, cos, 0, 0)
DMatrix MatrixRotate(double angle);
// The matrix that applies first, then second.
DMatrix MatrixMultiply(const DMatrix& first, const DMatrix& second);
DPoint MatrixApply(const DMatrix& m, const DPoint& p);

// ---------------------------------------------------------------------------
// Change record
// ---------------------------------------------------------------------------
// Applies the record to p and, when q is another point than p, to q. In
// kind 5, q is a handle of p and follows the envelope's slope at p.
void TransformPoints(DPoint& p, DPoint& q, const ChangeRecord& record);
// p through the quadrilateral C1 .. C4 onto which the rectangle goes.
DPoint MapToQuad(const DRect& rect, const DPoint& c1, const DPoint& c2, const DPoint& c3,
                 const DPoint& c4, const DPoint& p);
// p (and q as its handle, when q is another point) through the bicubic patch
// built from the corners and the eight edge control points g[0] .. g[7]. A
// rectangle without width or height maps its points from its edge.
void MapToPatch(const DRect& rect, const DPoint& c1, const DPoint& c2, const DPoint& c3,
                const DPoint& c4, const DPoint g[8], DPoint& p, DPoint& q);
// The frame stays in place while its centre c moves to d; the centre itself
// goes to d.
DPoint ShiftCentre(const DRect& frame, const DPoint& c, const DPoint& d, const DPoint& p);
// p along the ray from c scaled by the factor; the centre itself stays.
DPoint ScaleFromCentre(const DRect& frame, const DPoint& c, double factor, const DPoint& p);

// ---------------------------------------------------------------------------
// Arrow heads
// ---------------------------------------------------------------------------
// The points of the arrow's head at tip on a line from from: the head's
// value chooses the shape (67 triangle, 68 circle, 69 architect's tick).
void GetArrowHeadPoints(const CArrowDefRef& arrow, const DPoint& from, const DPoint& tip,
                        DPoint& o1, DPoint& o2, DPoint& o3, DPoint& o4);

// ---------------------------------------------------------------------------
// Definitions by kind
// ---------------------------------------------------------------------------
// The definition type that serves an attribute kind; 0 for none.
int GetDefTypeOfKind(int kind);
// A new definition of the type in the application zone; empty for a type
// without a class (or whose class is not in the program).
CDefRef NewDefinition(int type);
// The drawing class of an object kind: 10 line, 11 rectangle, 12 curve
// chain, 13 free polygon, 14 regular polygon, 15 arrow, 16 line of text,
// 18 arc, any other kind the base CGraObject. Empty for a kind whose class
// is not in the program.
ZuRuntimeRef GetGraObjectRuntime(int kind);
// A new drawing object of the class in the application zone; empty for an
// empty or foreign class.
CGraObjectRef NewGraObject(const ZuRuntimeRef& runtime);
// Appends kind to list unless it holds it already (count grows by one).
// The list must have room for one more.
void AddUniqueKind(int* list, int* count, int kind);

// ---------------------------------------------------------------------------
// The current document
// ---------------------------------------------------------------------------
// The document and view settings that the helpers below work with (empty
// handles: none).
void SetCurrentDocument(const CDocumentRef& document, const CViewRef& view);
CDocumentRef GetCurrentDocument();
// The unit code of a unit slot of the current document; 0 without one.
int GetDocumentUnit(int slot);
// Page coordinates (origin at the page's centre) to the user coordinates
// shown in properties: p - (the view's user origin - half the page size);
// p unchanged without a current document or view.
DPoint PageToUserPoint(const DPoint& p);
DPoint UserToPagePoint(const DPoint& p);
// -w/2 < x <= w/2 and -h/2 < y <= h/2 for the current document's page;
// true without a current document or view.
bool IsPointOnPage(const DPoint& p);

// ---------------------------------------------------------------------------
// Units and numbers
// ---------------------------------------------------------------------------
enum { UNIT_CODES = 61 };

// 0 stands for the current document's main unit; without a document it
// stays 0. Other codes are answered unchanged.
int ResolveUnit(int code);
// The table's name for codes 0 .. 60 (empty where the table has none);
// null outside.
const char* GetUnitName(int code);
// Millimetres (radians for 13) per unit; 1 for codes outside the table.
double GetUnitFactor(int code);
// Decimals shown for the unit (the code resolved first); 2 outside the
// table.
int GetUnitDecimals(int code);
double UnitToMm(double value, int code);
double MmToUnit(double value, int code);
// The value with the given decimals, cut (not rounded) after them, without
// the point for 0 decimals; never "-0" or "-0.00". At most room - 1
// characters and a NUL are written (nothing for room 0).
void FormatNumber(char* out, std::size_t room, double value, int decimals);
// The millimetres in the unit, rounded half away from zero to the unit's
// decimals.
void FormatInUnit(char* out, std::size_t room, double mm, int code);

// ---------------------------------------------------------------------------
// Numbers in text lines
// ---------------------------------------------------------------------------
// Each setter writes the number and changes the line's text only when the
// new text differs, so an unchanged value reports nothing. The readers take
// the first 99 characters, skip leading blanks and read the longest number
// there, with a point for the decimals whatever the locale; an empty or
// unreadable text reads 0. An empty line handle is left alone and reads 0.
void SetTextLineUnitValue(const ZuTextLineRef& line, double mm, int code);
void SetTextLineNumber(const ZuTextLineRef& line, double value, int decimals);
void SetTextLineInt(const ZuTextLineRef& line, int value);
double GetTextLineReal(const ZuTextLineRef& line);
double GetTextLineUnitValue(const ZuTextLineRef& line, int code);
int GetTextLineInt(const ZuTextLineRef& line);

#endif
