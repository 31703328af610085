// CGraPort: the PostScript output port. Drawing objects, sample previews
// and the page view describe a page by calling the port; the port writes
// PostScript text into a buffer of its own and sends it to its target
// context, then reads the interpreter's answers back (values printed with
// "printobject" as binary object sequences, font names, error reports).
//
// The buffer holds at most 9,999 bytes of PostScript; a send adds a line
// feed and a terminating zero behind them. The appenders (AddToken ...
// AddOperator) write whole or not at all and answer whether they wrote.
// The port's own operations never lose text: when a token does not fit,
// the buffer goes to the interpreter as a piece (it always ends between
// tokens) and the token starts the next piece; answers are read after the
// last piece.
//
// Graphics state is kept by value and written lazily: the view transform,
// the colour, the colour space and the pen are written only when they
// differ from what was written last (InitGraphics marks all of them to be
// written again). Numbers are written as "%f" and "%d" would in the C
// locale, whatever the process's locale.
//
// Collection modes: between BeginPath and EndPath, BeginBounds and
// EndBounds, BeginHitTest and EndHitTest the drawing operations only append
// path segments (a segment that starts where the last one ended goes on
// without "moveto"); the End operation then paints the path, asks the
// interpreter for its bounding box, or asks whether a point hits it.
//
// Fills follow the fill definition: a uniform or checkerboard fill paints
// the background colour, a hatching or special fill paints a tiling
// pattern ("Motif0") over it, a gradient a shading, and a special fill with
// a varying pulsar is drawn cell by cell with the fill brush. A pen of the
// fancy kind repeats its brush along the path instead of stroking it.
//
// Text is drawn in fonts re-encoded with the ISO Latin-1 encoding (one
// re-encoding per font name, 50 names remembered); a font name that is not
// a plain PostScript name goes to the interpreter as a string, never as
// code. Character measures are cached per font (20 fonts).
//
// Every operation that writes and sends holds the library's global lock
// (id 3) from its first token to its send; the appenders, SendBuffer and
// the setters do not lock. A port is used by one thread at a time.
#ifndef LUMBRA_APP_GRAPORT_H
#define LUMBRA_APP_GRAPORT_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/colordef.h"
#include "app/fontdef.h"
#include "app/grapath.h"
#include "app/misc.h"
// The fill definition's arrays of numbers store through the storage operators.
#include "si/storage.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/pulsardef.h"
#include "ghost/gscontext.h"
#include "si/list.h"
#include "si/object.h"

// The view transform of a port: translation (in scaled units), scale and
// angle in degrees.
struct CGraTransform {
    double dx;
    double dy;
    double scale;
    double angle;
};

// A halftone screen: frequency, angle in radians, spot function 0 to 8,
// inverted transfer, and a shift of the page by -50, -50 (what the print
// dialog's mirror switch asks for).
struct CGraScreen {
    double frequency;
    double angle;
    int spot;
    bool negative;
    bool shifted;
};

ZU_HANDLE(CGraPort, ZuObject)

class CGraPort : public ZuObject {
    ZU_CLASS(CGraPort, ZuObject)
public:
    enum {
        BUFFER_LIMIT = 10000, // an append that would reach this length is refused
        MAX_RESULTS = 10,
        MAX_TEXT_PIECE = 100,
        FONT_NAMES = 50,
        FONT_METRICS = 20,
        // Cells of a special fill drawn one by one; beyond, a diagonal mark.
        MAX_FILL_CELLS = 1000,
        // Cells walked to cover the sheared area of a special fill.
        MAX_WALKED_CELLS = 10000,
        // Copies of a brush along one fancy stroke.
        MAX_BRUSH_COPIES = 100000
    };

    // What an answer of the interpreter was.
    enum AnswerKind {
        ANSWER_EMPTY,      // nothing came back
        ANSWER_VALUES,     // value sequences (or an answer of the wrong length)
        ANSWER_FONT_NAMES, // a list of font names
        ANSWER_IGNORED,    // ">>"
        ANSWER_ERROR       // anything else: an error report
    };

    CGraPort();
    ~CGraPort() override;

    // ---- Target and sending (lock: Flush and InitBinaryMode)
    void SetTarget(const GSContextRef& target);
    bool Flush();
    // "2 setobjectformat" and "$error /binary true put", sent: from then on
    // printed objects come back as binary object sequences.
    bool InitBinaryMode();
    // Sends the buffer and reads the answer; the caller holds the lock.
    // An empty buffer sends nothing; without a target the buffer is dropped.
    // False when the interpreter reported an error or a piece failed: the
    // text and the answer are traced, the operand stack is cleared with
    // "clear", and no results are kept.
    bool SendBuffer();
    // While deferred, the drawing operations keep their text (each with
    // the line feed that would end its send) instead of running it at once,
    // and answer true: it goes as a piece when the buffer is full, and with
    // the next send that reads answers (a hit test, a measure, Flush),
    // which then reports a failed piece. Each run of the interpreter costs
    // more than a drawing's text, and a render draws thousands. Turning it
    // off sends nothing by itself.
    void SetDeferred(bool on);
    bool IsDeferred() const { return deferred; }

    // ---- Appenders (no lock; false when nothing was written)
    bool AddToken(const char* text);
    bool AddText(const char* text);
    bool AddBytes(const void* bytes, int n);
    // "(", the bytes with a backslash before "(", ")" and "\", ")" and a space.
    bool AddString(const char* bytes, int n);
    bool AddReal(double value);
    bool AddInt(int32_t value);
    bool AddOperator(const char* name);

    // Reads one answer of the interpreter into the results (at most ten; an
    // answer that is not whole value sequences leaves them) or into a new
    // sorted list of font names (a name of 100 bytes or more, a sequence of
    // no length or one running past the answer ends it). Never reads
    // outside the n bytes.
    AnswerKind ReadAnswer(const unsigned char* answer, int n);

    // ---- Graphics state setters (no lock, nothing written)
    void SetPenColor(const CColorDefRef& colour);
    void SetFillColor(const CColorDefRef& colour);
    void SetPen(const CPenDefRef& pen);
    void SetMotif(const CMotifDefRef& motif);
    void SetStrokeBrush(const CPatternDefRef& brush);
    void SetFillBrush(const CPatternDefRef& brush);
    void SetStrokePulsar(const CPulsarDefRef& pulsar);
    void SetFillPulsar(const CPulsarDefRef& pulsar);

    // ---- View transform (no lock, nothing written)
    // The identity {0, 0, 1, 0} into out; the matrix is written again at the
    // next painting.
    void InitTransform(CGraTransform& out);
    bool SetTransform(const CGraTransform& transform);
    void GetTransform(CGraTransform& out) const;

    // ---- Drawing (lock; each ends with a send). In a collection mode they
    // append path segments instead of painting.
    bool DrawLine(const DPoint& p1, const DPoint& p2);
    bool DrawRect(const DPoint& p1, const DPoint& p2, double angle, bool fill, bool stroke);
    bool DrawCircle(const DPoint& centre, double r);
    // Angles in degrees; kind 222 whole ellipse, 223 open, 224 chord, 225
    // pie. Only appends, in a collection mode; a radius of 0 or equal angles
    // append nothing.
    bool DrawEllipseArc(const DPoint& centre, const DPoint& radii, double a1, double a2,
                        double rotation, int kind);
    bool DrawCurve(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3);
    bool DrawRoundCorner(const DPoint& p0, const DPoint& p1, const DPoint& p2, double r);

    // ---- Collection modes (lock). Each Begin turns the other modes off and
    // writes the matrix; each End sends.
    void BeginPath();
    // Fills (even-odd) and strokes the collected path; false when not
    // collecting a path or when the send failed.
    bool EndPath(bool fill, bool stroke, bool close);
    void BeginBounds();
    // The box {llx, lly, urx, ury} of the collected path, of its stroke with
    // the pen when withPen, else of the bare outline. False, without asking
    // the interpreter, when nothing was collected.
    bool EndBounds(DRect& out, bool withPen, bool close);
    bool BeginHitTest();
    // Whether p lies inside the path (testFill) or on its stroke
    // (testStroke, the pen widened to 3 units of the view at this zoom).
    bool EndHitTest(const DPoint& p, double zoom, bool testFill, bool testStroke, bool close);

    // ---- Text (lock but SetFont)
    void SetFont(const CFontDefRef& requested);
    // The bytes at p in the current font and the stroke colour, turned by
    // angle degrees. Long texts go in pieces of at most MAX_TEXT_PIECE bytes.
    bool DrawText(const DPoint& p, double angle, const char* text, int length);
    // The box and advance of character c in the current font, letter and
    // word spacing included.
    bool TextMetrics(int c, DRect& box, DPoint& advance);
    // The names of the fonts the interpreter offers.
    bool GetFontList(ZuListRef& out);

    // ---- Brushes (the caller holds the lock)
    // One copy of the brush placed by the change record, its points and
    // widths at t, its colour numbers shifted by colourOffset. Not sent.
    bool DrawBrush(const CPatternDefRef& brush, const CColorDefRef& colour,
                   const ChangeRecord& placement, double t, int colourOffset);
    // The brush repeated along the recorded path, each copy sent on its own.
    bool DrawFancyStroke(const CPenDefRef& fancyPen, const CPatternDefRef& brush,
                         const CPulsarDefRef& pulsar, const CColorDefRef& colour, bool closed);

    // ---- Page (lock)
    // "initgraphics", every cached state to be written again; not sent.
    void InitGraphics();
    bool ErasePage();
    bool ShowPage();
    // False, with nothing written, for a spot function outside 0 to 8.
    bool SetScreen(const CGraScreen& screen);

    // ---- Reading back
    int RetLength() const { return length; }
    const char* RetBuffer() const { return buffer; }
    int RetResultCount() const { return resultCount; }
    // Result i (0.0 outside 0 .. MAX_RESULTS - 1).
    double RetResult(int i) const;
    const ZuListRef& RetFontNames() const { return fontNames; }
    const GSContextRef& RetTarget() const { return target; }

protected:
    // The settings of a pen as they were last written.
    struct PenSettings {
        double width;
        int cap;
        int join;
        double limit;
        int kind;
        double dash[5];
        double gap[5];
        double offset;
    };
    // The colour as it was last written: the model, components and
    // transparency of its current index.
    struct ColourSettings {
        int model;
        double components[4];
        double transparency;
    };
    static bool SameColour(const ColourSettings& a, const ColourSettings& b);

    // Emission helpers of the port's own operations: a token that does not
    // fit sends the buffer as a piece first. The caller holds the lock.
    // Written where they are called (a drawing writes dozens of tokens,
    // most of them names whose length is known there): the common case
    // copies the token in place; a full buffer takes PutTokenInPiece.
    void Put(const char* text)
    {
        if (text)
            PutToken(text, std::strlen(text));
    }
    // The same with the token's length known.
    void PutToken(const char* text, size_t n)
    {
        if (size_t(length) + n + 1 >= size_t(BUFFER_LIMIT)) {
            PutTokenInPiece(text, n);
            return;
        }
        std::memcpy(buffer + length, text, n);
        buffer[length + int(n)] = ' ';
        length += int(n) + 1;
    }
    // A token that does not fit: the buffer goes as a piece first.
    void PutTokenInPiece(const char* text, size_t n);
    void PutText(const char* text);
    void PutReal(double value);
    void PutInt(int32_t value);
    void PutPoint(const DPoint& p);
    // Sends the buffer without reading answers (the rest follows).
    void SendPiece();
    // The end of a drawing operation: SendBuffer, or true while deferred.
    bool EndOperation();

    // Lazy emission.
    void EmitMatrix();
    // Selects the index on the colour and writes it when it differs from
    // what was written last.
    void EmitColor(const CColorDefRef& colour, int index);
    // The colour's value by its model, without the cache.
    void WriteColor(const CColorDefRef& colour);
    void EmitPen();
    // Writes the pen with the given width instead of its own.
    void EmitPenWidth(double width);
    void EmitPenSettings(bool widthOverride, double width);
    // The paint of a fill pass: 0 the background colour, 1 the hatching or
    // special pattern; false when the pass paints nothing.
    bool FillPaint(int pass);
    // The special fill drawn cell by cell, or a gradient; false when the
    // fill is of another kind or could not be measured.
    bool FillSpecial();
    bool FillCells();
    bool FillGradient();
    // Asks for the current path's box inside a "gsave"; false after
    // "grestore" when no box came back.
    bool AskPathBox(DRect& box);
    // The tiling pattern of the motif, defined as Motif0; false when the
    // motif makes none.
    bool DefinePattern();
    bool DefineHatching();
    bool DefineSpecialPattern();
    void WriteSubFunctions(int n, int firstExponent);
    // The RGB of the fill colour at index i.
    void WriteRGB(int i);
    // The state the cache holds before a "gsave", put back after the
    // matching "grestore".
    struct SavedState {
        PenSettings pen;
        bool penDirty;
        bool spaceDirty;
    };
    SavedState SaveState() const;
    void RestoreState(const SavedState& saved);
    // Font selection and re-encoding.
    bool SelectFont();
    void Reencode(const char* name);
    // "/name" and the suffix, or the same as a string through "cvn" when the
    // name is not a plain PostScript name.
    void PutFontName(const char* name, const char* suffix);
    // The colour blended between two indexes at t, written without the cache.
    void WriteBlend(const CColorDefRef& colour, int first, int second, double t);
    // Whether the colour's current value is invisible (or no colour is set).
    static bool IsInvisible(const CColorDefRef& colour);
    bool IsFancyPen() const;
    bool IsCollecting() const { return pathMode || hitTestMode || boundsMode; }
    // In a collection mode: "moveto" p unless the path goes on from p.
    void MoveUnlessContinuing(const DPoint& p);
    // Painting at once: matrix, pen and stroke colour; false when the
    // stroke colour is invisible.
    bool BeginStroke();
    // "stroke", or the fancy stroke of the recorded path when the segment
    // was recorded.
    void EndStroke(bool recorded = true);
    // The path that records a fancy pen's segments, made on first use and,
    // when painting at once, emptied first.
    CGraPath* Record();

    GSContextRef target;
    int32_t length;
    // The line feed and the terminating zero of a send follow the text.
    char buffer[BUFFER_LIMIT + 1];
    int32_t resultCount;
    double results[MAX_RESULTS];
    ZuListRef fontNames;

    CGraTransform transform;
    CGraTransform emittedTransform;
    bool matrixDirty;
    CColorDefRef strokeColour;
    CColorDefRef fillColour;
    ColourSettings emittedColour;
    bool colourDirty;
    bool colourSpaceDirty;
    CPenDefRef pen;
    PenSettings emittedPen;
    bool penDirty;
    CMotifDefRef motif;
    CPatternDefRef strokeBrush;
    CPatternDefRef fillBrush;
    CPulsarDefRef strokePulsar;
    CPulsarDefRef fillPulsar;
    CFontDefRef font;
    CFontDefRef emittedFont;
    bool fontDirty;

    bool pathMode;
    bool hitTestMode;
    bool boundsMode;
    bool pathOpen;
    double lastX;
    double lastY;
    CGraPathRef path;

    // A segment the path object could not keep: the path is stroked plainly.
    bool pathRefused;

    struct FontNameEntry {
        bool used;
        int32_t stamp;
        char name[CDef::NAME_PLACES];
    };
    struct MetricsRecord {
        CFontDefRef font;
        int32_t stamp;
        bool measured[256];
        DRect box[256];
        DPoint advance[256];
    };
    FontNameEntry fontNameTable[FONT_NAMES];
    int32_t nameCounter;
    MetricsRecord* metricsTable[FONT_METRICS];
    int32_t metricsCounter;
    // The blend of two colours of a brush shape.
    CColorDefRef blendColour;

    // Pieces of the current send already went to the interpreter: its
    // output is kept for the last piece, and a failed piece fails the send.
    bool piecesSent;
    bool pieceFailed;
    bool deferred;
    // The length just after the line feed of a deferred operation (-1
    // when text came after it or the buffer went).
    int32_t fedLength;
};
ZU_CLASS_END(CGraPort)

#endif
