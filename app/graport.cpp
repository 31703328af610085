#include "app/graport.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/globallock.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraPort, "app/graport", ZU_CLASS_PLAIN)

namespace {

// Room for the longest "%f" text of a double (309 digits, the point, six
// decimals and a sign).
int const kNumberRoom = 400;

// The byte values of a binary object sequence and its object types.
unsigned char const kBinarySequence = 129;
unsigned char const kTypeReal = 2;
unsigned char const kTypeBoolean = 4;
unsigned char const kTypeString = 5;
unsigned char const kTypeArray = 9;
// A font name of this length or more ends the list.
int const kFontNameLimit = 100;

double const kDegreesPerRadian = 57.29577951471995;
double const kRadiansPerDegree = 0.017453292519444445;

char const* const kSpotFunctions[9] = {
    nullptr,
    "{ 180 mul cos exch 180 mul cos add 2 div }",
    "{ dup mul exch dup mul add 1 exch sub }",
    "{ abs exch abs 2 copy add 1 gt {1 sub dup mul exch 1 sub dup mul add 1 sub } "
    "{ dup mul exch dup mul add 1 exch sub } ifelse }",
    "{ abs exch abs 2 copy add .75 le { dup mul exch dup mul add 1 exch sub } "
    "{ 2 copy add 1.25 le { .85 mul add 1 exch sub } "
    "{ 1 sub dup mul exch 1 sub dup mul add 1 sub } ifelse } ifelse }",
    "{ dup mul exch dup mul add 1 sub }",
    "{ abs exch abs .8 mul add 2 div }",
    "{ exch pop }",
    "{ add 2 div }",
};

// "%f" in the C locale, whatever the process's locale; false when the text
// does not fit `size` bytes with its terminating zero.
bool FormatReal(char* out, int size, double value)
{
    std::to_chars_result r = std::to_chars(out, out + size - 1, value, std::chars_format::fixed, 6);
    if (r.ec != std::errc())
        return false;
    *r.ptr = '\0';
    return true;
}

void FormatInt(char* out, int size, int32_t value)
{
    std::to_chars_result r = std::to_chars(out, out + size - 1, value);
    *r.ptr = '\0';
}

template <class R>
R NewObject(ZuRuntimeRef const& runtime)
{
    return R(ZuObjectRef(ZuClassFactory::New(runtime, nullptr, __LINE__, ZU_SRC_FILE)));
}

// A little-endian IEEE single.
double ReadSingle(unsigned char const* p)
{
    uint32_t bits = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool SameTransform(CGraTransform const& a, CGraTransform const& b)
{
    return a.dx == b.dx && a.dy == b.dy && a.scale == b.scale && a.angle == b.angle;
}

} // namespace

CGraPort::CGraPort()
    : length(0), resultCount(0), matrixDirty(true), colourDirty(true), colourSpaceDirty(true),
      penDirty(true), fontDirty(true), pathMode(false), hitTestMode(false), boundsMode(false),
      pathOpen(false), lastX(0.0), lastY(0.0), piecesSent(false), pieceFailed(false)
{
    buffer[0] = '\0';
    std::memset(results, 0, sizeof results);
    InitTransform(transform);
    emittedTransform = transform;
    std::memset(&emittedPen, 0, sizeof emittedPen);
    strokeColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    fillColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    emittedColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    pen = NewObject<CPenDefRef>(CPenDefRef::RetRuntime());
    motif = NewObject<CMotifDefRef>(CMotifDefRef::RetRuntime());
    font = NewObject<CFontDefRef>(CFontDefRef::RetRuntime());
    emittedFont = NewObject<CFontDefRef>(CFontDefRef::RetRuntime());
}

CGraPort::~CGraPort() {}

// ---------------------------------------------------------------- target and sending

void CGraPort::SetTarget(GSContextRef const& context)
{
    target = context;
}

bool CGraPort::Flush()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    return SendBuffer();
}

bool CGraPort::InitBinaryMode()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    Put("2 setobjectformat");
    Put("$error /binary true put\n");
    return SendBuffer();
}

void CGraPort::SendPiece()
{
    if (length == 0)
        return;
    if (target.IsValid()) {
        if (!piecesSent)
            target->ClearOutput();
        piecesSent = true;
        if (!target->ExecuteText(buffer, length))
            pieceFailed = true;
    }
    length = 0;
}

bool CGraPort::SendBuffer()
{
    if (length == 0 && !piecesSent)
        return true;
    bool const pieces_failed = pieceFailed;
    bool const pieces_sent = piecesSent;
    piecesSent = pieceFailed = false;
    if (target.IsInvalid()) {
        length = 0;
        return true;
    }
    if (!pieces_sent)
        target->ClearOutput();
    bool ran = !pieces_failed;
    if (length > 0) {
        // The text goes with its length, so that a zero byte inside a string
        // does not end it early.
        buffer[length] = '\n';
        buffer[length + 1] = '\0';
        if (!target->ExecuteText(buffer, length + 1))
            ran = false;
    }
    int n = target->GetOutputLength();
    unsigned char* answer = nullptr;
    if (n > 0) {
        answer = static_cast<unsigned char*>(
            Zuvi_temp_zone->Alloc(unsigned(n) + 1, "Card8", __LINE__, ZU_SRC_FILE));
        if (!answer || !target->ReadOutput(reinterpret_cast<char*>(answer), n + 1)) {
            target->ClearOutput();
            n = 0;
        } else {
            answer[n] = 0;
        }
    }
    AnswerKind kind = ANSWER_EMPTY;
    if (n > 0)
        kind = ReadAnswer(answer, n);
    else
        resultCount = 0;
    bool ok = true;
    if (kind == ANSWER_ERROR || !ran) {
        // The trace keeps to the debug output's line length.
        buffer[length] = '\0';
        Zuvi_Trace("Error=%.900s", buffer);
        Zuvi_Trace("%.900s", answer ? reinterpret_cast<char const*>(answer) : "");
        target->ExecuteText("clear\n", 0);
        target->ClearOutput();
        // Answers of a failed send are not values of this one.
        resultCount = 0;
        ok = false;
    }
    if (answer)
        ZuMemZone::FreeAnyZone(answer, __LINE__, ZU_SRC_FILE);
    length = 0;
    return ok;
}

CGraPort::AnswerKind CGraPort::ReadAnswer(unsigned char const* answer, int n)
{
    if (!answer || n <= 0) {
        resultCount = 0;
        return ANSWER_EMPTY;
    }
    if (answer[0] == kBinarySequence && n > 4 && answer[4] == kTypeString) {
        ZuListRef names = NewObject<ZuListRef>(ZuListRef::RetRuntime());
        names->SetInsertMode(true);
        fontNames = names;
        for (int p = 0; p + 12 <= n;) {
            if (answer[p + 4] == kTypeString) {
                int size = answer[p + 6];
                if (size >= kFontNameLimit || p + 12 + size > n)
                    break;
                char name[kFontNameLimit];
                std::memcpy(name, answer + p + 12, size_t(size));
                name[size] = '\0';
                names->Insert(ZuStringRef(name));
            }
            int step = answer[p + 2];
            if (step == 0)
                break;
            p += step;
        }
        return ANSWER_FONT_NAMES;
    }
    if (answer[0] == kBinarySequence) {
        // An error report as a binary object sequence is an array.
        if (n > 4 && (answer[4] & 0x7F) == kTypeArray)
            return ANSWER_ERROR;
        if (n % 12 != 0)
            return ANSWER_VALUES;
        int count = n / 12;
        if (count > MAX_RESULTS)
            count = MAX_RESULTS;
        for (int k = 0; k < count; k++) {
            unsigned char const* object = answer + 12 * k;
            double value = 0.0;
            if (object[4] == kTypeReal)
                value = ReadSingle(object + 8);
            else if (object[4] == kTypeBoolean)
                value = static_cast<signed char>(object[8]);
            results[k] = value;
        }
        resultCount = count;
        return ANSWER_VALUES;
    }
    if (n >= 2 && answer[0] == '>' && answer[1] == '>')
        return ANSWER_IGNORED;
    return ANSWER_ERROR;
}

double CGraPort::RetResult(int i) const
{
    return i >= 0 && i < MAX_RESULTS ? results[i] : 0.0;
}

// ---------------------------------------------------------------- appenders

bool CGraPort::AddToken(char const* text)
{
    if (!text)
        return false;
    size_t n = std::strlen(text);
    if (size_t(length) + n + 1 >= size_t(BUFFER_LIMIT))
        return false;
    std::memcpy(buffer + length, text, n);
    buffer[length + int(n)] = ' ';
    length += int(n) + 1;
    return true;
}

bool CGraPort::AddText(char const* text)
{
    if (!text)
        return false;
    size_t n = std::strlen(text);
    if (size_t(length) + n >= size_t(BUFFER_LIMIT))
        return false;
    std::memcpy(buffer + length, text, n);
    length += int(n);
    return true;
}

bool CGraPort::AddBytes(void const* bytes, int n)
{
    if (n < 0 || (n > 0 && !bytes) || n >= BUFFER_LIMIT - length)
        return false;
    if (n > 0)
        std::memcpy(buffer + length, bytes, size_t(n));
    length += n;
    return true;
}

bool CGraPort::AddString(char const* bytes, int n)
{
    if (n < 0 || (n > 0 && !bytes))
        return false;
    long long size = 3; // "(", ")" and the space
    for (int i = 0; i < n; i++) {
        char c = bytes[i];
        size += (c == '(' || c == ')' || c == '\\') ? 2 : 1;
    }
    if (length + size >= BUFFER_LIMIT)
        return false;
    char* out = buffer + length;
    *out++ = '(';
    for (int i = 0; i < n; i++) {
        char c = bytes[i];
        if (c == '(' || c == ')' || c == '\\')
            *out++ = '\\';
        *out++ = c;
    }
    *out++ = ')';
    *out++ = ' ';
    length += int(size);
    return true;
}

bool CGraPort::AddReal(double value)
{
    char text[kNumberRoom];
    return FormatReal(text, sizeof text, value) && AddToken(text);
}

bool CGraPort::AddInt(int32_t value)
{
    char text[16];
    FormatInt(text, sizeof text, value);
    return AddToken(text);
}

bool CGraPort::AddOperator(char const* name)
{
    return AddToken(name);
}

// ---------------------------------------------------------------- emission helpers

void CGraPort::Put(char const* text)
{
    if (!AddToken(text) && length > 0) {
        SendPiece();
        AddToken(text);
    }
}

void CGraPort::PutText(char const* text)
{
    if (!AddText(text) && length > 0) {
        SendPiece();
        AddText(text);
    }
}

void CGraPort::PutReal(double value)
{
    char text[kNumberRoom];
    if (FormatReal(text, sizeof text, value))
        Put(text);
}

void CGraPort::PutInt(int32_t value)
{
    char text[16];
    FormatInt(text, sizeof text, value);
    Put(text);
}

void CGraPort::PutPoint(DPoint const& p)
{
    PutReal(p.x);
    PutReal(p.y);
}

// ---------------------------------------------------------------- state setters

void CGraPort::SetPenColor(CColorDefRef const& colour)
{
    strokeColour = colour;
}

void CGraPort::SetFillColor(CColorDefRef const& colour)
{
    fillColour = colour;
}

void CGraPort::SetPen(CPenDefRef const& requested)
{
    pen = requested;
}

void CGraPort::SetMotif(CMotifDefRef const& requested)
{
    motif = requested;
}

void CGraPort::SetStrokeBrush(CPatternDefRef const& brush)
{
    strokeBrush = brush;
}

void CGraPort::SetFillBrush(CPatternDefRef const& brush)
{
    fillBrush = brush;
}

void CGraPort::SetStrokePulsar(CPulsarDefRef const& pulsar)
{
    strokePulsar = pulsar;
}

void CGraPort::SetFillPulsar(CPulsarDefRef const& pulsar)
{
    fillPulsar = pulsar;
}

void CGraPort::InitTransform(CGraTransform& out)
{
    out.dx = 0.0;
    out.dy = 0.0;
    out.scale = 1.0;
    out.angle = 0.0;
    matrixDirty = true;
}

bool CGraPort::SetTransform(CGraTransform const& requested)
{
    transform = requested;
    return true;
}

void CGraPort::GetTransform(CGraTransform& out) const
{
    out = transform;
}

// ---------------------------------------------------------------- lazy emission

void CGraPort::EmitMatrix()
{
    if (!matrixDirty && SameTransform(transform, emittedTransform))
        return;
    Put("initmatrix");
    PutReal(transform.scale);
    PutReal(transform.scale);
    Put("scale");
    PutReal(transform.dx);
    PutReal(transform.dy);
    Put("translate");
    PutReal(transform.angle);
    Put("rotate");
    emittedTransform = transform;
    matrixDirty = false;
}

void CGraPort::WriteColor(CColorDefRef const& colour)
{
    CColorDef* c = colour.CheckAndResolve();
    switch (c->GetValue()) {
    case CColorDef::MODEL_RGB: {
        double r, g, b;
        c->GetRGB(r, g, b);
        PutReal(r);
        PutReal(g);
        PutReal(b);
        Put("setrgbcolor");
        break;
    }
    case CColorDef::MODEL_HSB: {
        double h, s, v;
        c->GetHSB(h, s, v);
        PutReal(h);
        PutReal(s);
        PutReal(v);
        Put("sethsbcolor");
        break;
    }
    case CColorDef::MODEL_CMYK: {
        double cy, m, y, k;
        c->GetCMYK(cy, m, y, k);
        PutReal(cy);
        PutReal(m);
        PutReal(y);
        PutReal(k);
        Put("setcmykcolor");
        break;
    }
    case CColorDef::MODEL_GRAY: {
        double g;
        c->GetGray(g);
        PutReal(g);
        Put("setgray");
        break;
    }
    default:
        break;
    }
}

void CGraPort::EmitColor(CColorDefRef const& colour, int index)
{
    if (colour.IsInvalid())
        return;
    if (colourSpaceDirty) {
        Put("/DeviceGray");
        Put("setcolorspace");
        colourSpaceDirty = false;
        colourDirty = true;
    }
    colour->SetIndex(index);
    if (!colourDirty && colour->IsEqualCurrent(emittedColour))
        return;
    WriteColor(colour);
    emittedColour->CopyFrom(colour);
    colourDirty = false;
}

bool CGraPort::IsInvisible(CColorDefRef const& colour)
{
    return colour.IsInvalid() || colour->GetTransparency() == 1.0;
}

namespace {

// The pen as the port writes it; a port without a pen strokes with a new
// pen's settings.
struct RequestedPen {
    double width = 0.0;
    int cap = 0;
    int join = 0;
    double limit = 10.0;
    int kind = 40;
    double dash[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    double gap[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    double offset = 0.0;
};

} // namespace

void CGraPort::EmitPen()
{
    RequestedPen req;
    if (pen.IsValid()) {
        CPenDef const* p = pen.CheckAndResolve();
        req.width = p->GetWidth();
        req.cap = p->GetCap();
        req.join = p->GetJoin();
        req.limit = p->GetMiterLimit();
        req.kind = p->GetValue();
        for (int i = 0; i < 5; i++) {
            req.dash[i] = p->GetDash(i);
            req.gap[i] = p->GetGap(i);
        }
        req.offset = p->GetDashOffset();
    }
    PenSettings& e = emittedPen;
    bool const same = req.width == e.width && req.cap == e.cap && req.join == e.join &&
                      req.limit == e.limit && req.kind == e.kind;
    if (penDirty || !same) {
        if (penDirty || req.width != e.width) {
            PutReal(req.width);
            Put("setlinewidth");
            e.width = req.width;
        }
        if (penDirty || req.cap != e.cap) {
            PutInt(req.cap);
            Put("setlinecap");
            e.cap = req.cap;
        }
        if (penDirty || req.join != e.join) {
            PutInt(req.join);
            Put("setlinejoin");
            e.join = req.join;
        }
        // The limit matters only to miter joins.
        if (penDirty || (req.limit != e.limit && req.join == 0)) {
            PutReal(req.limit);
            Put("setmiterlimit");
            e.limit = req.limit;
        }
        e.kind = req.kind;
    }
    bool same_dash = req.offset == e.offset;
    for (int i = 0; i < 5 && same_dash; i++)
        same_dash = req.dash[i] == e.dash[i] && req.gap[i] == e.gap[i];
    if (!penDirty && same_dash)
        return;
    int last = -1;
    for (int i = 0; i < 5; i++)
        if (req.dash[i] != 0.0 && req.gap[i] != 0.0)
            last = i;
    if (last < 0) {
        Put("[] 0");
        Put("setdash");
    } else {
        PutText("[");
        for (int i = 0; i <= last; i++) {
            PutReal(req.dash[i]);
            PutReal(req.gap[i]);
        }
        PutText("] ");
        PutReal(req.offset);
        Put("setdash");
    }
    for (int i = 0; i < 5; i++) {
        e.dash[i] = req.dash[i];
        e.gap[i] = req.gap[i];
    }
    e.offset = req.offset;
    penDirty = false;
}

bool CGraPort::FillPaint(int pass)
{
    if (fillColour.IsInvalid())
        return false;
    fillColour->SetIndex(pass);
    if (IsInvisible(fillColour))
        return false;
    if (pass != 0)
        return false; // the pattern pass comes with the pattern fills
    EmitColor(fillColour, 0);
    return true;
}

bool CGraPort::IsFancyPen() const
{
    return pen.IsValid() && pen->GetValue() == 41;
}

void CGraPort::MoveUnlessContinuing(DPoint const& p)
{
    if (pathOpen && p.x == lastX && p.y == lastY)
        return;
    PutPoint(p);
    Put("moveto");
}

bool CGraPort::BeginStroke()
{
    if (IsInvisible(strokeColour))
        return false;
    EmitMatrix();
    EmitPen();
    EmitColor(strokeColour, strokeColour->GetIndex());
    return true;
}

void CGraPort::EndStroke()
{
    // A fancy pen's segments are recorded in the path; until brushes are
    // drawn along it, the outline is stroked plainly.
    Put("stroke");
}

CGraPath* CGraPort::Record()
{
    if (path.IsInvalid())
        path = NewObject<CGraPathRef>(CGraPathRef::RetRuntime());
    // Painting at once strokes this one segment.
    if (!IsCollecting())
        path->Clear();
    return path.CheckAndResolve();
}

// ---------------------------------------------------------------- drawing

bool CGraPort::DrawLine(DPoint const& p1, DPoint const& p2)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen())
        Record()->AddLine(p1, p2);
    if (IsCollecting()) {
        MoveUnlessContinuing(p1);
        PutPoint(p2);
        Put("lineto");
        pathOpen = true;
        lastX = p2.x;
        lastY = p2.y;
    } else if (BeginStroke()) {
        PutPoint(p1);
        Put("moveto");
        PutPoint(p2);
        Put("lineto");
        EndStroke();
    }
    return SendBuffer();
}

bool CGraPort::DrawRect(DPoint const& p1, DPoint const& p2, double angle, bool fill, bool stroke)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsCollecting()) {
        // Appended unturned: a turned rectangle in a path takes the path route.
        PutPoint(p1);
        Put("moveto");
        PutReal(p2.x);
        PutReal(p1.y);
        Put("lineto");
        PutPoint(p2);
        Put("lineto");
        PutReal(p1.x);
        PutReal(p2.y);
        Put("lineto");
        PutPoint(p1);
        Put("lineto");
        Put("closepath");
        // After "closepath" the current point is the first corner.
        pathOpen = true;
        lastX = p1.x;
        lastY = p1.y;
        return SendBuffer();
    }
    if ((!fill && !stroke) || (p1.x == p2.x && p1.y == p2.y))
        return true;
    EmitMatrix();
    bool const turned = angle != 0.0;
    PenSettings const pen_before = emittedPen;
    bool const pen_dirty_before = penDirty;
    bool const space_dirty_before = colourSpaceDirty;
    double x, y;
    if (turned) {
        Put("gsave");
        PutReal((p1.x + p2.x) / 2);
        PutReal((p1.y + p2.y) / 2);
        Put("translate");
        PutReal(angle);
        Put("rotate");
        x = (p1.x - p2.x) / 2;
        y = (p1.y - p2.y) / 2;
    } else {
        x = p1.x;
        y = p1.y;
    }
    double const w = p2.x - p1.x;
    double const h = p2.y - p1.y;
    if (fill && FillPaint(0)) {
        PutReal(x);
        PutReal(y);
        PutReal(w);
        PutReal(h);
        Put("rectfill");
    }
    if (stroke && !IsInvisible(strokeColour)) {
        EmitPen();
        EmitColor(strokeColour, strokeColour->GetIndex());
        PutReal(x);
        PutReal(y);
        PutReal(w);
        PutReal(h);
        Put("rectstroke");
    }
    if (turned) {
        Put("grestore");
        // "grestore" brings back the colour, colour space and pen of before
        // "gsave": what was written inside is no longer in force.
        emittedPen = pen_before;
        penDirty = pen_dirty_before;
        colourSpaceDirty = space_dirty_before;
        colourDirty = true;
    }
    return SendBuffer();
}

bool CGraPort::DrawCircle(DPoint const& centre, double r)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    DPoint const start = {centre.x + r, centre.y};
    bool painting = false;
    if (IsCollecting()) {
        MoveUnlessContinuing(start);
        pathOpen = true;
        lastX = start.x;
        lastY = start.y;
    } else {
        painting = BeginStroke();
        if (painting) {
            PutPoint(start);
            Put("moveto");
        }
    }
    if (IsCollecting() || painting) {
        PutPoint(centre);
        PutReal(r);
        Put("0");
        Put("360");
        Put("arc");
    }
    if (painting)
        EndStroke();
    return SendBuffer();
}

bool CGraPort::DrawEllipseArc(DPoint const& centre, DPoint const& radii, double a1, double a2,
                              double rotation, int kind)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (kind == 222) {
        a1 = 0.0;
        a2 = 360.0;
    }
    // A flat ellipse would divide by zero in the scales below.
    if (radii.x == 0.0 || radii.y == 0.0 || a1 == a2)
        return true;
    if (IsCollecting()) {
        double const rx = radii.x;
        double const ry = radii.y;
        PutPoint(centre);
        Put("translate");
        PutReal(rotation);
        Put("rotate");
        Put("1");
        PutReal(ry / rx);
        Put("scale");
        if (kind == 225) {
            Put("0");
            Put("0");
        } else {
            PutReal(rx * std::cos(a1 * kRadiansPerDegree));
            PutReal(rx * std::sin(a1 * kRadiansPerDegree));
        }
        Put("moveto");
        Put("0");
        Put("0");
        PutReal(rx);
        PutReal(a1);
        PutReal(a2);
        Put("arc");
        Put("1");
        PutReal(rx / ry);
        Put("scale");
        PutReal(-rotation);
        Put("rotate");
        PutReal(-centre.x);
        PutReal(-centre.y);
        Put("translate");
        if (kind == 223) {
            // Ends the subpath, so that a later "closepath" leaves the arc open.
            PutReal(rx * std::cos(a2 * kRadiansPerDegree));
            PutReal(rx * std::sin(a2 * kRadiansPerDegree));
            Put("moveto");
        }
        pathOpen = true;
        lastX = centre.x;
        lastY = centre.y;
        if (IsFancyPen())
            Record()->AddArc(centre, radii, a1, a2, rotation, kind);
    }
    return SendBuffer();
}

bool CGraPort::DrawCurve(DPoint const& p0, DPoint const& p1, DPoint const& p2, DPoint const& p3)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen())
        Record()->AddCurve(p0, p1, p2, p3);
    bool painting = false;
    if (IsCollecting()) {
        MoveUnlessContinuing(p0);
        pathOpen = true;
        lastX = p3.x;
        lastY = p3.y;
    } else {
        painting = BeginStroke();
        if (painting) {
            PutPoint(p0);
            Put("moveto");
        }
    }
    if (IsCollecting() || painting) {
        PutPoint(p1);
        PutPoint(p2);
        PutPoint(p3);
        Put("curveto");
    }
    if (painting)
        EndStroke();
    return SendBuffer();
}

bool CGraPort::DrawRoundCorner(DPoint const& p0, DPoint const& p1, DPoint const& p2, double r)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen())
        Record()->AddArcCorner(p0, p1, p2, 0, 0);
    bool painting = false;
    if (IsCollecting()) {
        MoveUnlessContinuing(p0);
        pathOpen = true;
        lastX = p2.x;
        lastY = p2.y;
    } else {
        painting = BeginStroke();
        if (painting) {
            PutPoint(p0);
            Put("moveto");
        }
    }
    if (IsCollecting() || painting) {
        PutPoint(p1);
        PutPoint(p2);
        PutReal(r);
        Put("arct");
        PutPoint(p2);
        Put("lineto");
    }
    if (painting)
        EndStroke();
    return SendBuffer();
}

// ---------------------------------------------------------------- page

void CGraPort::InitGraphics()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    Put("initgraphics");
    matrixDirty = true;
    colourDirty = true;
    colourSpaceDirty = true;
    penDirty = true;
    fontDirty = true;
}

bool CGraPort::ErasePage()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    Put("erasepage");
    return SendBuffer();
}

bool CGraPort::ShowPage()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    Put("showpage");
    return SendBuffer();
}

bool CGraPort::SetScreen(CGraScreen const& screen)
{
    if (screen.spot < 0 || screen.spot > 8)
        return false;
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    PutReal(screen.frequency);
    if (screen.spot == 0) {
        Put(".sethiresscreen");
    } else {
        PutReal(screen.angle * kDegreesPerRadian);
        Put(kSpotFunctions[screen.spot]);
        Put("bind");
        Put("setscreen");
    }
    if (screen.negative) {
        Put("{ 1 exch sub }");
        Put("bind");
        Put("settransfer");
    }
    if (screen.shifted) {
        PutReal(-50.0);
        PutReal(-50.0);
        Put("translate");
    }
    return SendBuffer();
}
