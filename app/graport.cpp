#include "app/graport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/globallock.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"

ZU_IMPLEMENT_CLASS(CGraPort, "app/graport", ZU_CLASS_NOT_STORED)

namespace {

// Room for the longest "%f" text of a double (309 digits, the point, six
// decimals and a sign).
const int kNumberRoom = 400;

// The byte values of a binary object sequence and its object types.
const unsigned char kBinarySequence = 129;
const unsigned char kTypeReal = 2;
const unsigned char kTypeBoolean = 4;
const unsigned char kTypeString = 5;
const unsigned char kTypeArray = 9;
// A font name of this length or more ends the list.
const int kFontNameLimit = 100;

const double kDegreesPerRadian = 57.29577951471995;
const double kRadiansPerDegree = 0.017453292519444445;

const char* const kSpotFunctions[9] = {
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

// Room for the "%f" text of a number the short way takes: a sign, 7
// digits, the point and six decimals, and the byte after them that its
// word-wide writes reach.
const int kShortNumberRoom = 16;

// The two digits of 0 to 99.
const char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void PutDigitPair(char* out, uint32_t pair)
{
    out[0] = kDigitPairs[2 * pair];
    out[1] = kDigitPairs[2 * pair + 1];
}

// The text of each whole number below 1000 (the whole part of nearly
// every number a page holds): its digits, then their count.
struct SmallWholes {
    char entry[1000][4];
    constexpr SmallWholes() : entry()
    {
        for (int i = 0; i < 1000; i++) {
            const int width = i >= 100 ? 3 : i >= 10 ? 2 : 1;
            for (int k = 0, v = i; k < 3; k++, v /= 10)
                entry[i][k < width ? width - 1 - k : k] = char('0' + (k < width ? v % 10 : 0));
            entry[i][3] = char(width);
        }
    }
};
constexpr SmallWholes kSmallWholes;

// "%f" of a number below 2^40 / 10^6 (a million or so: every coordinate,
// colour and width a page holds) without the general conversion: the
// number times 10^6, rounded to the nearest whole, is the text's digits.
// The product is off the exact one by at most half a unit in its last
// place (2^-13 here); where that could move it across a half, the general
// conversion decides. Writes into `out`, which has kShortNumberRoom bytes
// (the bytes after the text among them may be written too), and answers
// the length of the text, or 0 when the number takes the general way.
int FormatShortReal(char* out, double value)
{
    const double scaled = std::fabs(value) * 1e6;
    if (!(scaled < 0x1p40))
        return 0;
    // Below 2^40 the conversion to an integer is the floor.
    const int64_t truncated = int64_t(scaled);
    const double fraction = scaled - double(truncated);
    if (std::fabs(fraction - 0.5) < 0x1p-10)
        return 0;
    const uint64_t digits = uint64_t(truncated) + (fraction > 0.5 ? 1 : 0);
    uint32_t units = uint32_t(digits / 1000000);
    const uint32_t decimals = uint32_t(digits - uint64_t(units) * 1000000);
    // The sign stays on a negative number that rounds to zero, as "%f" keeps
    // it; without one the whole part writes over it.
    char* p = out;
    *p = '-';
    p += std::signbit(value) ? 1 : 0;
    if (units < 1000) {
        std::memcpy(p, kSmallWholes.entry[units], 4);
        p += kSmallWholes.entry[units][3];
    } else {
        // At most 7 digits, from the end.
        int width = 4;
        for (uint32_t bound = 10000; width < 7 && units >= bound; bound *= 10)
            width++;
        char* q = p + width;
        while (units >= 10) {
            q -= 2;
            PutDigitPair(q, units % 100);
            units /= 100;
        }
        if (q > p)
            *--q = char('0' + units);
        p += width;
    }
    if (decimals == 0) {
        std::memcpy(p, ".0000000", 8);
        return int(p + 7 - out);
    }
    *p++ = '.';
    PutDigitPair(p, decimals / 10000);
    PutDigitPair(p + 2, decimals / 100 % 100);
    PutDigitPair(p + 4, decimals % 100);
    return int(p + 6 - out);
}

// "%f" in the C locale, whatever the process's locale, without its
// terminating zero; answers the length, or -1 when the text does not fit
// `size` bytes with a terminating zero.
int FormatRealText(char* out, int size, double value)
{
    if (size > kShortNumberRoom) {
        const int n = FormatShortReal(out, value);
        if (n > 0)
            return n;
    }
    std::to_chars_result r = std::to_chars(out, out + size - 1, value, std::chars_format::fixed, 6);
    if (r.ec != std::errc())
        return -1;
    return int(r.ptr - out);
}

// The same with its terminating zero; false when it does not fit.
bool FormatReal(char* out, int size, double value)
{
    const int n = FormatRealText(out, size, value);
    if (n < 0)
        return false;
    out[n] = '\0';
    return true;
}

void FormatInt(char* out, int size, int32_t value)
{
    std::to_chars_result r = std::to_chars(out, out + size - 1, value);
    *r.ptr = '\0';
}

template <class R>
R NewObject(const ZuRuntimeRef& runtime)
{
    return R(ZuObjectRef(ZuClassFactory::New(runtime, nullptr, __LINE__, ZU_SRC_FILE)));
}

// A little-endian IEEE single.
double ReadSingle(const unsigned char* p)
{
    uint32_t bits =
        uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A colour number read as a double (from a file, perhaps): an index of a
// colour definition, kept where a conversion to int is defined.
int ColourIndex(double v)
{
    if (!(v >= 0.0))
        return 0;
    return v < 1000.0 ? int(v) : 1000;
}

bool SameTransform(const CGraTransform& a, const CGraTransform& b)
{
    return a.dx == b.dx && a.dy == b.dy && a.scale == b.scale && a.angle == b.angle;
}

} // namespace

bool CGraPort::SameColour(const ColourSettings& a, const ColourSettings& b)
{
    if (a.model != b.model || a.transparency != b.transparency)
        return false;
    for (int n = 0; n < 4; n++)
        if (a.components[n] != b.components[n])
            return false;
    return true;
}

CGraPort::CGraPort()
    : length(0), resultCount(0), matrixDirty(true), colourDirty(true), colourSpaceDirty(true),
      penDirty(true), fontDirty(true), pathMode(false), hitTestMode(false), boundsMode(false),
      pathOpen(false), lastX(0.0), lastY(0.0), pathRefused(false), nameCounter(1),
      metricsCounter(1), piecesSent(false), pieceFailed(false), deferred(false), fedLength(-1)
{
    std::memset(fontNameTable, 0, sizeof fontNameTable);
    for (MetricsRecord*& record : metricsTable)
        record = nullptr;
    buffer[0] = '\0';
    std::memset(results, 0, sizeof results);
    InitTransform(transform);
    emittedTransform = transform;
    std::memset(&emittedPen, 0, sizeof emittedPen);
    std::memset(&emittedColour, 0, sizeof emittedColour);
    strokeColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    fillColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    pen = NewObject<CPenDefRef>(CPenDefRef::RetRuntime());
    motif = NewObject<CMotifDefRef>(CMotifDefRef::RetRuntime());
    font = NewObject<CFontDefRef>(CFontDefRef::RetRuntime());
    emittedFont = NewObject<CFontDefRef>(CFontDefRef::RetRuntime());
}

CGraPort::~CGraPort()
{
    for (MetricsRecord*& record : metricsTable) {
        delete record;
        record = nullptr;
    }
}

// ---------------------------------------------------------------- target and sending

void CGraPort::SetTarget(const GSContextRef& context)
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
    fedLength = -1;
}

void CGraPort::SetDeferred(bool on)
{
    deferred = on;
}

bool CGraPort::EndOperation()
{
    if (!deferred)
        return SendBuffer();
    // The line feed that ends a send is kept in its place, so that the
    // interpreter gets the same text as when each operation is sent. The
    // appenders leave the length below the limit: the line feed fits.
    if (length > 0) {
        buffer[length++] = '\n';
        fedLength = length;
        if (length >= BUFFER_LIMIT - 1)
            SendPiece();
    }
    return true;
}

bool CGraPort::SendBuffer()
{
    if (length == 0 && !piecesSent)
        return true;
    const bool pieces_failed = pieceFailed;
    const bool pieces_sent = piecesSent;
    piecesSent = pieceFailed = false;
    if (target.IsInvalid()) {
        length = 0;
        fedLength = -1;
        return true;
    }
    if (!pieces_sent)
        target->ClearOutput();
    bool ran = !pieces_failed;
    if (length > 0) {
        // The text goes with its length, so that a zero byte inside a string
        // does not end it early. Text that ends with a deferred operation
        // has its line feed already.
        const int32_t sent = length == fedLength ? length : length + 1;
        buffer[length] = '\n';
        buffer[sent] = '\0';
        if (!target->ExecuteText(buffer, sent))
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
        Zuvi_Trace("%.900s", answer ? reinterpret_cast<const char*>(answer) : "");
        target->ExecuteText("clear\n", 0);
        target->ClearOutput();
        // Answers of a failed send are not values of this one.
        resultCount = 0;
        ok = false;
    }
    if (answer)
        ZuMemZone::FreeAnyZone(answer, __LINE__, ZU_SRC_FILE);
    length = 0;
    fedLength = -1;
    return ok;
}

CGraPort::AnswerKind CGraPort::ReadAnswer(const unsigned char* answer, int n)
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
            const unsigned char* object = answer + 12 * k;
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

bool CGraPort::AddToken(const char* text)
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

bool CGraPort::AddText(const char* text)
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

bool CGraPort::AddBytes(const void* bytes, int n)
{
    if (n < 0 || (n > 0 && !bytes) || n >= BUFFER_LIMIT - length)
        return false;
    if (n > 0)
        std::memcpy(buffer + length, bytes, size_t(n));
    length += n;
    return true;
}

bool CGraPort::AddString(const char* bytes, int n)
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

bool CGraPort::AddOperator(const char* name)
{
    return AddToken(name);
}

// ---------------------------------------------------------------- emission helpers

void CGraPort::PutTokenInPiece(const char* text, size_t n)
{
    if (length == 0)
        return;
    SendPiece();
    if (n + 1 >= size_t(BUFFER_LIMIT))
        return;
    std::memcpy(buffer + length, text, n);
    buffer[length + int(n)] = ' ';
    length += int(n) + 1;
}

void CGraPort::PutText(const char* text)
{
    if (!AddText(text) && length > 0) {
        SendPiece();
        AddText(text);
    }
}

void CGraPort::PutReal(double value)
{
    // Where the short way's longest text and its space fit, the number is
    // written in place; the rest takes the way of any token.
    if (length + kShortNumberRoom + 1 < BUFFER_LIMIT) {
        const int n = FormatShortReal(buffer + length, value);
        if (n > 0) {
            buffer[length + n] = ' ';
            length += n + 1;
            return;
        }
    }
    char text[kNumberRoom];
    const int n = FormatRealText(text, sizeof text, value);
    if (n >= 0)
        PutToken(text, n);
}

void CGraPort::PutInt(int32_t value)
{
    char text[16];
    FormatInt(text, sizeof text, value);
    Put(text);
}

void CGraPort::PutPoint(const DPoint& p)
{
    PutReal(p.x);
    PutReal(p.y);
}

// ---------------------------------------------------------------- state setters

void CGraPort::SetPenColor(const CColorDefRef& colour)
{
    strokeColour = colour;
}

void CGraPort::SetFillColor(const CColorDefRef& colour)
{
    fillColour = colour;
}

void CGraPort::SetPen(const CPenDefRef& requested)
{
    pen = requested;
}

void CGraPort::SetMotif(const CMotifDefRef& requested)
{
    motif = requested;
}

void CGraPort::SetStrokeBrush(const CPatternDefRef& brush)
{
    strokeBrush = brush;
}

void CGraPort::SetFillBrush(const CPatternDefRef& brush)
{
    fillBrush = brush;
}

void CGraPort::SetStrokePulsar(const CPulsarDefRef& pulsar)
{
    strokePulsar = pulsar;
}

void CGraPort::SetFillPulsar(const CPulsarDefRef& pulsar)
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

bool CGraPort::SetTransform(const CGraTransform& requested)
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

void CGraPort::WriteColor(const CColorDefRef& colour)
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

void CGraPort::EmitColor(const CColorDefRef& colour, int index)
{
    if (colour.IsInvalid())
        return;
    if (colourSpaceDirty) {
        Put("/DeviceGray");
        Put("setcolorspace");
        colourSpaceDirty = false;
        colourDirty = true;
    }
    CColorDef* c = colour.CheckAndResolve();
    c->SetIndex(index);
    // Read into a record and compared there: a copy of the whole colour
    // definition for each shape cost more than the text it spares.
    ColourSettings now;
    now.model = c->GetValue();
    for (int n = 0; n < 4; n++)
        c->GetComponent(n, now.components[n]);
    now.transparency = c->GetTransparency();
    if (!colourDirty && SameColour(now, emittedColour))
        return;
    WriteColor(colour);
    emittedColour = now;
    colourDirty = false;
}

bool CGraPort::IsInvisible(const CColorDefRef& colour)
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
    EmitPenSettings(false, 0.0);
}

void CGraPort::EmitPenWidth(double width)
{
    EmitPenSettings(true, width);
}

void CGraPort::EmitPenSettings(bool widthOverride, double width)
{
    RequestedPen req;
    if (pen.IsValid()) {
        const CPenDef* p = pen.CheckAndResolve();
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
    if (widthOverride)
        req.width = width;
    PenSettings& e = emittedPen;
    const bool same = req.width == e.width && req.cap == e.cap && req.join == e.join &&
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

bool CGraPort::IsFancyPen() const
{
    return pen.IsValid() && pen->GetValue() == 41;
}

void CGraPort::MoveUnlessContinuing(const DPoint& p)
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

void CGraPort::EndStroke(bool recorded)
{
    // A segment the path object refused would cut the brushes short: the
    // outline is stroked plainly instead.
    if (recorded && IsFancyPen() && path.IsValid() && !pathRefused) {
        Put("newpath");
        DrawFancyStroke(pen, strokeBrush, strokePulsar, strokeColour, false);
        return;
    }
    Put("stroke");
}

CGraPath* CGraPort::Record()
{
    if (path.IsInvalid())
        path = NewObject<CGraPathRef>(CGraPathRef::RetRuntime());
    // Painting at once strokes this one segment.
    if (!IsCollecting()) {
        path->Clear();
        pathRefused = false;
    }
    return path.CheckAndResolve();
}

// ---------------------------------------------------------------- drawing

bool CGraPort::DrawLine(const DPoint& p1, const DPoint& p2)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen() && !Record()->AddLine(p1, p2))
        pathRefused = true;
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
    return EndOperation();
}

bool CGraPort::DrawRect(const DPoint& p1, const DPoint& p2, double angle, bool fill, bool stroke)
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
        return EndOperation();
    }
    if ((!fill && !stroke) || (p1.x == p2.x && p1.y == p2.y))
        return true;
    EmitMatrix();
    const bool turned = angle != 0.0;
    const PenSettings pen_before = emittedPen;
    const bool pen_dirty_before = penDirty;
    const bool space_dirty_before = colourSpaceDirty;
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
    const double w = p2.x - p1.x;
    const double h = p2.y - p1.y;
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
    return EndOperation();
}

bool CGraPort::DrawCircle(const DPoint& centre, double r)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    const DPoint start = {centre.x + r, centre.y};
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
    // Circles are not recorded in the path: they are stroked plainly.
    if (painting)
        EndStroke(false);
    return EndOperation();
}

bool CGraPort::DrawEllipseArc(const DPoint& centre, const DPoint& radii, double a1, double a2,
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
        const double rx = radii.x;
        const double ry = radii.y;
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
        if (IsFancyPen() && !Record()->AddArc(centre, radii, a1, a2, rotation, kind))
            pathRefused = true;
    }
    return EndOperation();
}

bool CGraPort::DrawCurve(const DPoint& p0, const DPoint& p1, const DPoint& p2, const DPoint& p3)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen() && !Record()->AddCurve(p0, p1, p2, p3))
        pathRefused = true;
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
    return EndOperation();
}

bool CGraPort::DrawRoundCorner(const DPoint& p0, const DPoint& p1, const DPoint& p2, double r)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (IsFancyPen()) {
        // The corner answers true even when the list had no room for it.
        CGraPath* recorded = Record();
        const int before = recorded->RetCount();
        recorded->AddArcCorner(p0, p1, p2, 0, 0);
        if (recorded->RetCount() == before)
            pathRefused = true;
    }
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
    return EndOperation();
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

bool CGraPort::SetScreen(const CGraScreen& screen)
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

// ---------------------------------------------------------------- saved state

CGraPort::SavedState CGraPort::SaveState() const
{
    return SavedState{emittedPen, penDirty, colourSpaceDirty};
}

void CGraPort::RestoreState(const SavedState& saved)
{
    // "grestore" brings back the pen and colour space of before "gsave";
    // which colour was in force is no longer known.
    emittedPen = saved.pen;
    penDirty = saved.penDirty;
    colourSpaceDirty = saved.spaceDirty;
    colourDirty = true;
}

// ---------------------------------------------------------------- collection modes

void CGraPort::BeginPath()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    pathMode = true;
    hitTestMode = boundsMode = false;
    pathOpen = false;
    lastX = lastY = 0.0;
    EmitMatrix();
    if (IsFancyPen()) {
        if (path.IsInvalid())
            path = NewObject<CGraPathRef>(CGraPathRef::RetRuntime());
        path->Clear();
        pathRefused = false;
    }
}

bool CGraPort::EndPath(bool fill, bool stroke, bool close)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (!pathMode)
        return false;
    pathMode = false;
    if (close) {
        Put("closepath");
        if (path.IsValid() && IsFancyPen() && !path->Close() && path->RetCount() > 0)
            pathRefused = true;
    }
    if (fill && !FillSpecial()) {
        for (int pass = 0; pass < 2; pass++)
            if (FillPaint(pass)) {
                Put("gsave");
                Put("eofill");
                Put("grestore");
            }
    }
    if (stroke) {
        if (IsFancyPen() && path.IsValid() && !pathRefused) {
            Put("newpath");
            DrawFancyStroke(pen, strokeBrush, strokePulsar, strokeColour, close);
            path->Clear();
        } else if (!IsInvisible(strokeColour)) {
            EmitPen();
            EmitColor(strokeColour, strokeColour->GetIndex());
            Put("stroke");
        }
    }
    if (path.IsValid() && IsFancyPen())
        path->Clear();
    pathRefused = false;
    Put("newpath");
    pathOpen = false;
    return EndOperation();
}

void CGraPort::BeginBounds()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    boundsMode = true;
    pathMode = hitTestMode = false;
    pathOpen = false;
    lastX = lastY = 0.0;
    EmitMatrix();
}

bool CGraPort::EndBounds(DRect& out, bool withPen, bool close)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (!boundsMode || !pathOpen) {
        boundsMode = false;
        return false;
    }
    boundsMode = false;
    if (close)
        Put("closepath");
    if (withPen)
        EmitPen();
    else
        EmitPenWidth(0.0);
    Put("strokepath");
    // An outline that strokes to nothing (a point under a pen of no width)
    // has no box: "pathbbox" would fail, and every error that reaches the
    // binding leaves entries on the interpreter's execution stack until,
    // some hundreds of errors later, each call costs seconds. The failure
    // is caught here and answers nothing.
    Put("{pathbbox} stopped");
    Put("{$error /newerror false put}");
    Put("{0 printobject 0 printobject 0 printobject 0 printobject}");
    Put("ifelse");
    Put("flush");
    Put("newpath");
    pathOpen = false;
    if (!SendBuffer() || resultCount != 4)
        return false;
    // The interpreter prints the top of its stack first: ury, urx, lly, llx.
    out = DRect{results[3], results[2], results[1], results[0]};
    return true;
}

bool CGraPort::BeginHitTest()
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    hitTestMode = true;
    pathMode = boundsMode = false;
    pathOpen = false;
    lastX = lastY = 0.0;
    EmitMatrix();
    return true;
}

bool CGraPort::EndHitTest(const DPoint& p, double zoom, bool testFill, bool testStroke, bool close)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (!hitTestMode)
        return false;
    hitTestMode = false;
    bool hit = false;
    if (close)
        Put("closepath");
    if (testFill) {
        PutPoint(p);
        Put("ineofill");
        Put("0 printobject");
        Put("flush");
        hit = SendBuffer() && resultCount == 1 && results[0] == 1.0;
    }
    if (testStroke && !hit) {
        const double w = pen.IsValid() ? pen->GetWidth() : 0.0;
        // A thin line can be hit within 3 units of the view; a zoom that is
        // no positive number leaves the pen as it is.
        if (zoom > 0.0 && std::isfinite(zoom) && w * zoom < 3.0)
            EmitPenWidth(3.0 / zoom);
        else
            EmitPen();
        PutPoint(p);
        Put("instroke");
        Put("0 printobject");
        Put("flush");
        hit = SendBuffer() && resultCount == 1 && results[0] == 1.0;
    }
    Put("newpath");
    pathOpen = false;
    SendBuffer();
    return hit;
}

// ---------------------------------------------------------------- fills

bool CGraPort::FillPaint(int pass)
{
    if (fillColour.IsInvalid())
        return false;
    fillColour->SetIndex(pass);
    if (IsInvisible(fillColour))
        return false;
    if (pass == 0) {
        EmitColor(fillColour, 0);
        return true;
    }
    if (!DefinePattern())
        return false;
    Put("Motif0");
    Put("setpattern");
    // The colour space is now the pattern's.
    colourSpaceDirty = true;
    return true;
}

bool CGraPort::DefinePattern()
{
    if (motif.IsInvalid())
        return false;
    switch (motif->GetValue()) {
    case CMotifDef::KIND_HATCHING:
        return DefineHatching();
    case CMotifDef::KIND_SPECIAL:
        return DefineSpecialPattern();
    default:
        return false;
    }
}

bool CGraPort::DefineHatching()
{
    const CMotifDef* m = motif.CheckAndResolve();
    const double t = m->GetHatchThickness(0);
    const double s = m->GetHatchSpacing(0);
    double a = m->GetHatchAngle(0);
    if (!(s > 0.0) || !std::isfinite(s) || !std::isfinite(t) || !std::isfinite(a))
        return false;
    if (a >= kTwoPi)
        a = 0.0;
    const double q = a * 0.6366197723857773;
    double x_step, y_step, dx, dy;
    // The stroke crosses the cell from (-dx, -dy) to (2 dx, 2 dy), or along
    // the other diagonal for a line that falls to the right.
    bool falling = false;
    if (std::fabs(q) < 0.01) {
        x_step = 1.0, y_step = s, dx = 1.0, dy = 0.0;
    } else if (std::fabs(q - 1.0) < 0.01) {
        x_step = s, y_step = 1.0, dx = 0.0, dy = 1.0;
    } else if (std::fabs(q - 2.0) < 0.01) {
        x_step = -1.0, y_step = s, dx = -1.0, dy = 0.0;
    } else if (std::fabs(q - 3.0) < 0.01) {
        x_step = s, y_step = -1.0, dx = 0.0, dy = -1.0;
    } else {
        const double cot = s * std::tan(1.57079632675 - a);
        const double tan = s * std::tan(a);
        x_step = std::sqrt(s * s + cot * cot);
        y_step = std::sqrt(s * s + tan * tan);
        dx = x_step;
        dy = y_step;
        falling = std::tan(a) < 0.0;
    }
    Put("<<");
    Put("/PaintType 1 /PatternType 1 /TilingType 1 /BBox [");
    PutReal(-t / 2);
    PutReal(-t / 2);
    // Steps of a half or three-quarter turn are negative: the box takes
    // their size, or it would be empty.
    PutReal(std::fabs(x_step) + t / 2);
    PutReal(std::fabs(y_step) + t / 2);
    Put("] /XStep");
    PutReal(x_step);
    Put("/YStep");
    PutReal(y_step);
    Put("/PaintProc {");
    Put("pop");
    fillColour->SetIndex(1);
    WriteColor(fillColour);
    Put("[] 0");
    Put("setdash");
    PutReal(t);
    Put("setlinewidth");
    if (falling) {
        PutReal(0.0 - x_step);
        PutReal(2 * y_step);
        Put("moveto");
        PutReal(2 * x_step);
        PutReal(0.0 - y_step);
        Put("lineto");
    } else {
        PutReal(0.0 - dx);
        PutReal(0.0 - dy);
        Put("moveto");
        PutReal(2 * dx);
        PutReal(2 * dy);
        Put("lineto");
    }
    Put("stroke");
    Put("}");
    Put(">>");
    Put("[1");
    Put("0");
    Put("0");
    Put("1 0 0]");
    Put("makepattern");
    Put("/Motif0");
    Put("exch");
    Put("def");
    return true;
}

namespace {

// Steps of a special fill: below 0.1, or no number, count as 0.1.
double FillStep(double step)
{
    return step >= 0.1 && std::isfinite(step) ? step : 0.1;
}

} // namespace

bool CGraPort::DefineSpecialPattern()
{
    if (fillBrush.IsInvalid())
        return false;
    const CMotifDef* m = motif.CheckAndResolve();
    const double step_x = FillStep(m->GetStepX());
    const double step_y = FillStep(m->GetStepY());
    const double w = step_x * m->GetOccupiedWidth();
    const double h = step_y * m->GetOccupiedHeight();
    // A cell of no size has nothing to tile.
    if (!(std::fabs(w) > 0.0) || !(std::fabs(h) > 0.0) || !std::isfinite(w) || !std::isfinite(h))
        return false;
    const double bw = 0.72 * std::fabs(w);
    const double bh = 0.72 * std::fabs(h);
    Put("<<");
    Put("/PaintType 1 /PatternType 1 /TilingType 3 /BBox [");
    PutReal(-bw);
    PutReal(-bh);
    PutReal(bw);
    PutReal(bh);
    Put("] /XStep");
    PutReal(step_x);
    Put("/YStep");
    PutReal(step_y);
    Put("/PaintProc {");
    Put("pop");
    Put("[1");
    PutReal(0.0 - m->GetOffsetY());
    PutReal(0.0 - m->GetOffsetX());
    Put("1 0 0]");
    Put("concat");
    if (m->GetMotifAngle() != 0.0) {
        PutReal(m->GetMotifAngle() * kDegreesPerRadian);
        Put("rotate");
    }
    ChangeRecord scale = {};
    scale.kind = 2;
    scale.a = DPoint{0.0, 0.0};
    scale.c = DPoint{w, h};
    DrawBrush(fillBrush, fillColour, scale, m->GetVariation(), 1);
    Put("}");
    Put(">>");
    Put("[1");
    PutReal(m->GetPerspectiveY() + m->GetOffsetY());
    PutReal(m->GetPerspectiveX() + m->GetOffsetX());
    Put("1 0 0]");
    const bool moved = m->GetOriginX() != 0.0 || m->GetOriginY() != 0.0;
    const bool turned = m->GetGlobalAngle() != 0.0;
    if (moved) {
        PutReal(m->GetOriginX());
        PutReal(m->GetOriginY());
        Put("translate");
    }
    if (turned) {
        PutReal(m->GetGlobalAngle() * kDegreesPerRadian);
        Put("rotate");
    }
    Put("makepattern");
    if (turned) {
        PutReal(0.0 - m->GetGlobalAngle() * kDegreesPerRadian);
        Put("rotate");
    }
    if (moved) {
        PutReal(0.0 - m->GetOriginX());
        PutReal(0.0 - m->GetOriginY());
        Put("translate");
    }
    Put("/Motif0");
    Put("exch");
    Put("def");
    return true;
}

bool CGraPort::AskPathBox(DRect& box)
{
    Put("gsave");
    Put("pathbbox");
    for (int i = 0; i < 4; i++)
        Put("0 printobject");
    Put("flush");
    if (!SendBuffer() || resultCount != 4) {
        Put("grestore");
        return false;
    }
    box = DRect{results[3], results[2], results[1], results[0]};
    return true;
}

bool CGraPort::FillSpecial()
{
    if (motif.IsInvalid() || fillColour.IsInvalid())
        return false;
    const int kind = motif->GetValue();
    if (kind == CMotifDef::KIND_SPECIAL && fillPulsar.IsValid() &&
        fillPulsar->GetValue() != CPulsarDef::CONSTANT)
        return FillCells();
    if (kind == CMotifDef::KIND_GRADIENT)
        return FillGradient();
    return false;
}

bool CGraPort::FillCells()
{
    const CMotifDef* m = motif.CheckAndResolve();
    CPulsarDef* pulsar = fillPulsar.CheckAndResolve();
    const SavedState saved = SaveState();
    DRect box;
    if (!AskPathBox(box))
        return false;
    const double w = box.x2 - box.x1;
    const double h = box.y2 - box.y1;
    if (w == 0.0 || h == 0.0) {
        Put("grestore");
        return false;
    }
    const double step_x = FillStep(m->GetStepX());
    const double step_y = FillStep(m->GetStepY());
    const DPoint c = {(box.x1 + box.x2) / 2, (box.y1 + box.y2) / 2};
    const double global = m->GetGlobalAngle();
    const DPoint corners[4] = {
        {box.x1, box.y1}, {box.x2, box.y1}, {box.x2, box.y2}, {box.x1, box.y2}};
    double big_x = -HUGE_VAL, big_y = -HUGE_VAL;
    for (const DPoint& corner : corners) {
        const DPoint turned = RotatePoint(corner, c, -global);
        big_x = Max(big_x, turned.x - c.x);
        big_y = Max(big_y, turned.y - c.y);
    }
    const double x2 =
        big_x + (std::fabs(m->GetPerspectiveX()) + std::fabs(m->GetOffsetX())) * big_y;
    const double y2 = big_y + (std::fabs(m->GetPerspectiveY()) + std::fabs(m->GetOffsetY())) * x2;
    Put("clip");
    Put("newpath");
    fillColour->SetIndex(0);
    if (!IsInvisible(fillColour)) {
        EmitColor(fillColour, 0);
        PutReal(box.x1);
        PutReal(box.y1);
        PutReal(w);
        PutReal(h);
        Put("rectfill");
    }
    // The grid walked covers the area widened by the shear, which values
    // from a file can make far larger than the box: both are bounded.
    const double rows_d = std::floor(2 * y2 / step_y + 3.5);
    const double columns_d = std::floor(2 * x2 / step_x + 3.5);
    const double cells = (h / step_y) * (w / step_x);
    const bool dense = !(cells <= MAX_FILL_CELLS) || !(rows_d * columns_d <= MAX_WALKED_CELLS);
    if (!dense) {
        const int rows = int(rows_d);
        const int columns = int(columns_d);
        PutReal(m->GetOriginX() + c.x);
        PutReal(m->GetOriginY() + c.y);
        Put("translate");
        PutReal(global * kDegreesPerRadian);
        Put("rotate");
        Put("[1");
        PutReal(m->GetPerspectiveY() + m->GetOffsetY());
        PutReal(m->GetPerspectiveX() + m->GetOffsetX());
        Put("1 0 0]");
        Put("concat");
        for (int i = 0; i < 4; i++)
            pulsar->SetBaseValues(i, 0.0, -1.0, 0.0, 1.0);
        pulsar->SetBaseValues(4, m->GetMotifAngle(), -3.14159265359, 0.0, 3.14159265359);
        pulsar->SetBaseValues(5, m->GetVariation(), 0.0, 0.5, 1.0);
        pulsar->NewRandomSeed();
        pulsar->SetAxis(0);
        pulsar->BeginPath(rows - 3, true);
        const DMatrix shear = {1.0, -m->GetOffsetY(), -m->GetOffsetX(), 1.0, 0.0, 0.0};
        double y = c.y - y2 - step_y;
        for (int row = 0; row < rows; row++, y += step_y) {
            pulsar->SetAxis(1);
            pulsar->BeginPath(columns - 3, true);
            double x = c.x - x2 - step_x;
            for (int column = 0; column < columns; column++, x += step_x) {
                double var[6];
                for (int i = 0; i < 6; i++)
                    var[i] = pulsar->GetCombinedVariation(i);
                DMatrix placed = MatrixScale(step_x * m->GetOccupiedWidth() * (var[0] + 1),
                                             step_y * m->GetOccupiedHeight() * (var[1] + 1));
                placed = MatrixMultiply(placed, MatrixRotate(var[4]));
                placed = MatrixMultiply(placed, shear);
                placed = MatrixMultiply(
                    placed, MatrixTranslate(x - c.x + step_x * var[2], y - c.y + step_y * var[3]));
                ChangeRecord record = {};
                record.kind = 7;
                record.a = DPoint{placed.a, placed.b};
                record.b = DPoint{placed.c, placed.d};
                record.c = DPoint{placed.e, placed.f};
                DrawBrush(fillBrush, fillColour, record, var[5], 1);
                EndOperation();
                if (column >= 1 && column < columns - 2) {
                    pulsar->SetAxis(1);
                    pulsar->NextStep();
                }
            }
            if (row >= 1 && row < rows - 2) {
                pulsar->SetAxis(0);
                pulsar->NextStep();
            }
        }
    } else {
        // The mark of a motif too dense to draw.
        fillColour->SetIndex(1);
        WriteColor(fillColour);
        PutReal(5.0);
        Put("setlinewidth");
        PutReal(box.x1);
        PutReal(box.y1);
        Put("moveto");
        PutReal(box.x2);
        PutReal(box.y2);
        Put("lineto");
        Put("stroke");
        PutReal(box.x1);
        PutReal(box.y2);
        Put("moveto");
        PutReal(box.x2);
        PutReal(box.y1);
        Put("lineto");
        Put("stroke");
    }
    Put("initclip");
    Put("grestore");
    RestoreState(saved);
    return true;
}

namespace {

// The exponent of a sub-function: 0.5 .. 10 for parameters -1 .. 1.
double Exponent(double v)
{
    return v >= 0.0 ? 1.0 + 9.0 * v : 1.0 + 0.5 * v;
}

} // namespace

void CGraPort::WriteRGB(int i)
{
    fillColour->SetIndex(i);
    double r, g, b;
    fillColour->GetRGB(r, g, b);
    PutReal(r);
    PutReal(g);
    PutReal(b);
}

void CGraPort::WriteSubFunctions(int n, int firstExponent)
{
    const CMotifDef* m = motif.CheckAndResolve();
    Put("/Function << /FunctionType 3 /Domain [0 1] /Functions [");
    for (int i = 0; i + 1 < n; i++) {
        Put("<< /FunctionType 2 /Domain [0 1] /C0 [");
        WriteRGB(i);
        Put("] /C1 [");
        WriteRGB(i + 1);
        Put("] /N");
        PutReal(Exponent(m->GetGradientPoint(firstExponent + i)));
        Put(">>");
    }
    Put("] /Bounds [");
    const int first_bound = firstExponent == 13 ? 3 : 6;
    for (int i = 0; i < n - 2; i++)
        PutReal(m->GetGradientPoint(first_bound + i));
    Put("] /Encode [");
    for (int i = 0; i + 1 < n; i++)
        Put("0 1");
    Put("] >> /Extend [true true] >>");
}

bool CGraPort::FillGradient()
{
    const CMotifDef* m = motif.CheckAndResolve();
    const int type = m->GetGradientType();
    if (type < CMotifDef::GRADIENT_AXIAL || type > CMotifDef::GRADIENT_CURVES)
        return false;
    const SavedState saved = SaveState();
    DRect box;
    if (!AskPathBox(box))
        return false;
    Put("clip");
    Put("newpath");
    const double w = box.x2 - box.x1;
    const double h = box.y2 - box.y1;
    const DPoint c = {(box.x1 + box.x2) / 2, (box.y1 + box.y2) / 2};
    int n = m->GetColorCount();
    if (n < CMotifDef::MIN_COLORS)
        n = CMotifDef::MIN_COLORS;
    if (n > CMotifDef::MAX_COLORS)
        n = CMotifDef::MAX_COLORS;
    auto map = [&](double x, double y) { return DPoint{c.x + 0.5 * w * x, c.y + 0.5 * h * y}; };
    switch (type) {
    case CMotifDef::GRADIENT_AXIAL: {
        const double angle = m->GetGradientPoint(0);
        const DPoint corners[4] = {
            {box.x1, box.y1}, {box.x2, box.y1}, {box.x2, box.y2}, {box.x1, box.y2}};
        double reach = -HUGE_VAL;
        for (const DPoint& corner : corners)
            reach = Max(reach, RotatePoint(corner, c, -angle).x - c.x);
        const DPoint a = {c.x + reach * std::cos(angle), c.y + reach * std::sin(angle)};
        const DPoint b = {2 * c.x - a.x, 2 * c.y - a.y};
        const double from = m->GetGradientPoint(1);
        const double to = m->GetGradientPoint(2);
        Put("<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [");
        PutReal(c.x + (b.x - c.x) * from);
        PutReal(c.y + (b.y - c.y) * from);
        PutReal(c.x + (a.x - c.x) * to);
        PutReal(c.y + (a.y - c.y) * to);
        Put("]");
        WriteSubFunctions(n, 13);
        break;
    }
    case CMotifDef::GRADIENT_RADIAL: {
        const double d = std::sqrt(w * w + h * h);
        Put("<< /ShadingType 3 /ColorSpace /DeviceRGB /Coords [");
        PutPoint(map(m->GetGradientPoint(0), m->GetGradientPoint(1)));
        PutReal(m->GetGradientPoint(2) * d / 2);
        PutPoint(map(m->GetGradientPoint(3), m->GetGradientPoint(4)));
        PutReal(m->GetGradientPoint(5) * d / 2);
        Put("]");
        WriteSubFunctions(n, 16);
        break;
    }
    case CMotifDef::GRADIENT_RECT: {
        static const int corners[5][3] = {{1, 2, 2}, {2, 2, 1}, {2, 1, 2}, {2, 3, 4}, {1, 1, 1}};
        int row;
        switch (m->GetMeshFlags() & 0x7FF) {
        case 4:
            row = 0;
            break;
        case 8:
            row = 1;
            break;
        case 16:
            row = 2;
            break;
        case 32:
            row = 3;
            break;
        default:
            row = 4;
            break;
        }
        struct Vertex {
            double flag;
            DPoint at;
            int colour;
        } const vertices[6] = {
            {0.0, map(m->GetGradientPoint(0), m->GetGradientPoint(1)), 0},
            {0.0, {box.x2, box.y2}, 1},
            {0.0, {box.x1, box.y2}, corners[row][0]},
            {2.0, {box.x1, box.y1}, corners[row][1]},
            {2.0, {box.x2, box.y1}, corners[row][2]},
            {2.0, {box.x2, box.y2}, 1},
        };
        Put("<< /ShadingType 4 /ColorSpace [/DeviceRGB] /DataSource [");
        for (const Vertex& v : vertices) {
            PutReal(v.flag);
            PutPoint(v.at);
            WriteRGB(v.colour);
        }
        Put("] >>");
        break;
    }
    case CMotifDef::GRADIENT_TRIANGLES: {
        int columns, rows;
        m->GetMeshSize(columns, rows);
        Put("<< /ShadingType 4 /ColorSpace /DeviceRGB /DataSource [");
        auto node = [&](int r, int col) {
            int const k = 4 * (r * columns + col);
            PutReal(0.0);
            PutPoint(map(m->GetGradientPoint(k), m->GetGradientPoint(k + 1)));
            WriteRGB(ColourIndex(m->GetGradientPoint(k + 3)));
        };
        for (int r = 0; r + 1 < rows; r++)
            for (int col = 0; col + 1 < columns; col++) {
                if (m->GetGradientPoint(4 * (r * columns + col) + 2) == 0.0) {
                    node(r, col), node(r + 1, col), node(r + 1, col + 1);
                    node(r, col), node(r, col + 1), node(r + 1, col + 1);
                } else {
                    node(r, col), node(r, col + 1), node(r + 1, col);
                    node(r + 1, col + 1), node(r, col + 1), node(r + 1, col);
                }
            }
        Put("] >>");
        break;
    }
    case CMotifDef::GRADIENT_CURVES: {
        int columns, rows;
        m->GetMeshSize(columns, rows);
        auto point = [&](int r, int col, int number) {
            int const k = 19 * (r * columns + col) + number;
            PutPoint(map(m->GetGradientPoint(k), m->GetGradientPoint(k + 1)));
        };
        static const int order[16][3] = {{0, 0, 0},  {0, 0, 4},  {0, 1, 2},  {0, 1, 0},
                                         {0, 1, 6},  {1, 1, 8},  {1, 1, 0},  {1, 1, 2},
                                         {1, 0, 4},  {1, 0, 0},  {1, 0, 8},  {0, 0, 6},
                                         {0, 0, 12}, {0, 1, 10}, {1, 1, 14}, {1, 0, 16}};
        Put("<< /ShadingType 7 /ColorSpace /DeviceRGB /DataSource [");
        for (int r = 0; r + 1 < rows; r++)
            for (int col = 0; col + 1 < columns; col++) {
                PutReal(0.0);
                for (const auto& o : order)
                    point(r + o[0], col + o[1], o[2]);
                const int colour_nodes[4][2] = {
                    {r, col}, {r, col + 1}, {r + 1, col + 1}, {r + 1, col}};
                for (const auto& nd : colour_nodes)
                    WriteRGB(ColourIndex(m->GetGradientPoint(19 * (nd[0] * columns + nd[1]) + 18)));
            }
        Put("] >>");
        break;
    }
    }
    Put("shfill");
    Put("initclip");
    Put("grestore");
    RestoreState(saved);
    return true;
}

// ---------------------------------------------------------------- fonts and text

void CGraPort::SetFont(const CFontDefRef& requested)
{
    font = requested;
}

namespace {

// A name that the interpreter reads back as the same name when written
// after "/": printable, no white space, no delimiter.
bool IsPlainName(const char* name)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; p++) {
        if (*p <= 32 || *p >= 127)
            return false;
        if (std::strchr("()<>[]{}/%", *p))
            return false;
    }
    return true;
}

} // namespace

void CGraPort::PutFontName(const char* name, const char* suffix)
{
    char text[2 * CDef::NAME_PLACES + 16];
    if (IsPlainName(name)) {
        std::snprintf(text, sizeof text, "/%s%s", name, suffix);
        Put(text);
        return;
    }
    // Data, never code: a string turned into a name.
    std::snprintf(text, sizeof text, "%s%s", name, suffix);
    const int n = int(std::strlen(text));
    if (!AddString(text, n) && length > 0) {
        SendPiece();
        AddString(text, n);
    }
    Put("cvn");
}

void CGraPort::Reencode(const char* name)
{
    for (const FontNameEntry& e : fontNameTable)
        if (e.used && std::strcmp(e.name, name) == 0)
            return;
    PutFontName(name, "");
    Put("findfont");
    Put("dup");
    Put("length");
    Put("dict");
    Put("begin");
    Put("{1 index /FID ne {def } {pop pop } ifelse }");
    Put("forall");
    Put("/Encoding");
    Put("ISOLatin1Encoding");
    Put("def");
    Put("currentdict");
    Put("end");
    PutFontName(name, "-ISOLatin1");
    Put("exch");
    Put("definefont");
    Put("pop");
    FontNameEntry* slot = nullptr;
    for (FontNameEntry& e : fontNameTable)
        if (!e.used) {
            slot = &e;
            break;
        }
    if (!slot) {
        slot = &fontNameTable[0];
        for (FontNameEntry& e : fontNameTable)
            if (e.stamp < slot->stamp)
                slot = &e;
    }
    slot->used = true;
    std::snprintf(slot->name, sizeof slot->name, "%s", name);
    slot->stamp = nameCounter++;
}

bool CGraPort::SelectFont()
{
    if (font.IsInvalid())
        return false;
    const CFontDef* f = font.CheckAndResolve();
    if (!fontDirty && f->IsEqualCurrent(emittedFont))
        return true;
    const double size = f->GetScale();
    if (size == 0.0)
        return false;
    const char* name = f->RetNameText();
    Reencode(name);
    PutFontName(name, "-ISOLatin1");
    const double stretch = f->GetStretch();
    const double slant = f->GetItalic();
    if (stretch == 0.0 && slant == 0.0) {
        PutReal(size);
    } else {
        PutText("[");
        PutReal((stretch + 1) * size);
        PutReal(0.0);
        PutReal(slant * size);
        PutReal(size);
        PutReal(0.0);
        PutReal(0.0);
        PutText("] ");
    }
    Put("selectfont");
    emittedFont->CopyFrom(font);
    fontDirty = false;
    return true;
}

bool CGraPort::DrawText(const DPoint& p, double angle, const char* text, int n)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (n == 0)
        return true;
    if (n < 0 || !text)
        return false;
    EmitMatrix();
    if (!SelectFont())
        return false;
    if (strokeColour.IsValid())
        EmitColor(strokeColour, strokeColour->GetIndex());
    pathOpen = true;
    if (angle == 0.0) {
        PutPoint(p);
        Put("moveto");
    } else {
        Put("gsave");
        PutPoint(p);
        Put("translate");
        PutReal(angle);
        Put("rotate");
        Put("0 0");
        Put("moveto");
    }
    const CFontDef* f = font.CheckAndResolve();
    const double size = f->GetScale();
    // A longer text goes in pieces, each going on from where the last ended.
    bool ok = true;
    for (int at = 0; at < n; at += MAX_TEXT_PIECE) {
        const int piece = n - at < MAX_TEXT_PIECE ? n - at : MAX_TEXT_PIECE;
        if (at > 0 && !EndOperation())
            ok = false;
        PutReal(f->GetWordSpacing() * size);
        Put("0");
        Put("8#040");
        PutReal(f->GetWidth() * size * 0.5);
        Put("0");
        if (!AddString(text + at, piece) && length > 0) {
            SendPiece();
            AddString(text + at, piece);
        }
        Put("awidthshow");
    }
    if (angle != 0.0)
        Put("grestore");
    return EndOperation() && ok;
}

bool CGraPort::TextMetrics(int c, DRect& box, DPoint& advance)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    if (font.IsInvalid())
        return false;
    MetricsRecord* record = nullptr;
    for (MetricsRecord* r : metricsTable)
        if (r && r->font->IsEqualCurrent(font)) {
            record = r;
            break;
        }
    if (!record) {
        int slot = -1;
        for (int i = 0; i < FONT_METRICS && slot < 0; i++)
            if (!metricsTable[i])
                slot = i;
        if (slot < 0) {
            slot = 0;
            for (int i = 1; i < FONT_METRICS; i++)
                if (metricsTable[i]->stamp < metricsTable[slot]->stamp)
                    slot = i;
        }
        if (!metricsTable[slot]) {
            metricsTable[slot] = new MetricsRecord;
            metricsTable[slot]->font = NewObject<CFontDefRef>(CFontDefRef::RetRuntime());
        }
        record = metricsTable[slot];
        record->font->CopyFrom(font);
        std::memset(record->measured, 0, sizeof record->measured);
    }
    record->stamp = metricsCounter++;
    const bool cached = c >= 0 && c <= 255;
    if (cached && record->measured[c]) {
        box = record->box[c];
        advance = record->advance[c];
    } else {
        if (!SelectFont())
            return false;
        const char one = static_cast<char>(c);
        Put("0 0");
        Put("moveto");
        AddString(&one, 1);
        Put("false");
        Put("charpath");
        Put("pathbbox");
        for (int i = 0; i < 4; i++)
            Put("0 printobject");
        Put("flush");
        Put("newpath");
        pathOpen = false;
        if (!SendBuffer() || resultCount != 4)
            return false;
        const DRect measured = {results[3], results[2], results[1], results[0]};
        AddString(&one, 1);
        Put("stringwidth");
        Put("0 printobject");
        Put("0 printobject");
        Put("flush");
        if (!SendBuffer() || resultCount != 2)
            return false;
        box = measured;
        advance = DPoint{results[1], results[0]};
        if (cached) {
            record->box[c] = box;
            record->advance[c] = advance;
            record->measured[c] = true;
        }
    }
    const CFontDef* f = font.CheckAndResolve();
    const double size = f->GetScale();
    if (c == 32)
        advance.x += f->GetWordSpacing() * size;
    advance.x += f->GetWidth() * size * 0.5;
    return true;
}

bool CGraPort::GetFontList(ZuListRef& out)
{
    ZuGlobalLockAcquisition lock(ZU_GLOBAL_LOCK_HANDLE);
    // An interpreter without fonts answers nothing: an empty list.
    fontNames = NewObject<ZuListRef>(ZuListRef::RetRuntime());
    Put("(*)");
    Put("{0 printobject }");
    Put("100 string");
    Put("/Font");
    Put("resourceforall");
    Put("flush");
    const bool ok = SendBuffer();
    out = fontNames;
    return ok;
}

// ---------------------------------------------------------------- brushes

void CGraPort::WriteBlend(const CColorDefRef& colour, int first, int second, double t)
{
    if (first == second || t == 0.0) {
        colour->SetIndex(first);
        WriteColor(colour);
        return;
    }
    if (t == 1.0) {
        colour->SetIndex(second);
        WriteColor(colour);
        return;
    }
    double r0, g0, b0, r1, g1, b1;
    colour->SetIndex(first);
    colour->GetRGB(r0, g0, b0);
    colour->SetIndex(second);
    colour->GetRGB(r1, g1, b1);
    if (blendColour.IsInvalid())
        blendColour = NewObject<CColorDefRef>(CColorDefRef::RetRuntime());
    blendColour->SetValue(CColorDef::MODEL_RGB);
    blendColour->SetRGB(r0 + (r1 - r0) * t, g0 + (g1 - g0) * t, b0 + (b1 - b0) * t);
    WriteColor(blendColour);
}

bool CGraPort::DrawBrush(const CPatternDefRef& brush, const CColorDefRef& colour,
                         const ChangeRecord& placement, double t, int colourOffset)
{
    if (brush.IsInvalid())
        return false;
    const CPatternDef* b = brush.CheckAndResolve();
    auto place = [&](DPoint p) {
        TransformPoints(p, p, placement);
        return p;
    };
    // The shape under way: filled (even-odd) and/or stroked.
    bool open = false, filled = false, stroked = false;
    auto finish = [&]() {
        if (!open)
            return;
        if (filled) {
            Put("closepath");
            if (stroked) {
                Put("gsave");
                Put("eofill");
                Put("grestore");
                Put("stroke");
            } else {
                Put("eofill");
            }
        } else if (stroked) {
            Put("stroke");
        }
        open = false;
    };
    int used = 0;
    b->GetLength(used);
    int index = 0;
    b->FirstElement(index);
    // Each record moves the walk on; the walk cannot outlast the records.
    for (int guard = 0; guard <= used; guard++) {
        const int op = b->GetOpcode(index);
        if (op == CPatternDef::OP_END)
            break;
        double record[CPatternDef::MAX_RECORD];
        b->GetElement(index, record);
        double point[2];
        if (op == CPatternDef::OP_SHAPE) {
            finish();
            const int flags = ColourIndex(record[1]) & 3;
            filled = (flags & 2) != 0;
            stroked = (flags & 1) != 0;
            open = true;
            if (colour.IsValid())
                WriteBlend(colour, ColourIndex(record[2]) + colourOffset,
                           ColourIndex(record[3]) + colourOffset, t);
            if (stroked) {
                double width = 0.0;
                b->GetShapeWidthAt(index, width, t);
                const DPoint o = place(DPoint{0.0, 0.0});
                const DPoint e = place(DPoint{width, 0.0});
                Put("[] 0");
                Put("setdash");
                PutReal(Distance(o, e));
                Put("setlinewidth");
                PutInt(ColourIndex(record[6]));
                Put("setlinecap");
                PutInt(ColourIndex(record[7]));
                Put("setlinejoin");
            }
            b->GetHandleAt(index, 0, point, t);
            PutPoint(place(DPoint{point[0], point[1]}));
            Put("moveto");
        } else if (op == CPatternDef::OP_POINT) {
            b->GetHandleAt(index, 0, point, t);
            PutPoint(place(DPoint{point[0], point[1]}));
            Put("lineto");
        } else if (op == CPatternDef::OP_CURVE) {
            for (int handle : {1, 2, 0}) {
                b->GetHandleAt(index, handle, point, t);
                PutPoint(place(DPoint{point[0], point[1]}));
            }
            Put("curveto");
        }
        if (!b->NextElement(index) && b->GetOpcode(index) != CPatternDef::OP_END)
            break;
    }
    finish();
    return true;
}

bool CGraPort::DrawFancyStroke(const CPenDefRef& fancyPen, const CPatternDefRef& brush,
                               const CPulsarDefRef& pulsar, const CColorDefRef& colour, bool closed)
{
    if (path.IsInvalid() || brush.IsInvalid() || fancyPen.IsInvalid())
        return false;
    CGraPath* walk = path.CheckAndResolve();
    const CPenDef* f = fancyPen.CheckAndResolve();
    const double p = f->GetMotifParam();
    const double s0 = f->GetMotifPair(0);
    const double s1 = f->GetMotifPair(1);
    const double m1 = f->GetMotifValue1();
    const double m2 = f->GetMotifValue2();
    const double m3 = f->GetMotifValue3();
    const int mode = f->GetMotifMode();
    CPulsarDef* pv = pulsar.IsValid() ? pulsar.CheckAndResolve() : nullptr;
    if (pv) {
        const double pi = 3.1415926535;
        pv->SetAxis(0);
        auto flag = [&](int i) {
            unsigned char v = 0;
            pv->GetValueFlags(i, v);
            return v != 0;
        };
        pv->SetBaseValues(0, p, 0.0, p, 2 * p);
        if (flag(1))
            pv->SetBaseValues(1, s0, 0.0, s0, 2 * s0);
        else
            pv->SetBaseValues(1, s0, 0.5, 1.0, 5.0);
        if (flag(2))
            pv->SetBaseValues(2, s1, 0.0, s1, 2 * s1);
        else
            pv->SetBaseValues(2, s1, 0.5, 1.0, 5.0);
        if (flag(3))
            pv->SetBaseValues(3, m1, m1 - 1, m1, m1 + 1);
        else
            pv->SetBaseValues(3, m1, -2.0, 0.0, 2.0);
        if (flag(4))
            pv->SetBaseValues(4, m2, m2 - pi, m2, m2 + pi);
        else
            pv->SetBaseValues(4, m2, -pi, 0.0, pi);
        if (flag(5))
            pv->SetBaseValues(5, m3, m3 - 0.5, m3, m3 + 0.5);
        else
            pv->SetBaseValues(5, m3, 0.0, 0.5, 1.0);
    }
    const int steps = walk->CountSteps(p);
    double extra = 0.0;
    bool fitting = false;
    int copies = MAX_BRUSH_COPIES;
    if (mode & 0x200) {
        if (pv) {
            pv->SetAxis(0);
            pv->BeginPath(steps, true);
        }
        walk->ResetWalk();
        int counted = 0;
        while (counted < MAX_BRUSH_COPIES && walk->NextStep(pv ? pv->GetVariation(0) : p, false)) {
            counted++;
            if (pv)
                pv->NextStep();
        }
        if (counted > 0) {
            extra = walk->GetRemainder() / counted;
            copies = closed ? counted : counted + 1;
            fitting = true;
        }
    }
    EmitMatrix();
    EmitPen();
    if (colour.IsValid())
        EmitColor(colour, colour->GetIndex());
    if (pv) {
        pv->SetAxis(0);
        pv->BeginPath(steps, true);
    }
    walk->ResetWalk();
    for (int copy = 0; copy < copies; copy++) {
        DPoint at;
        double direction = 0.0;
        if (!walk->GetWalkPoint(at, direction))
            break;
        double step, size0, size1, value1, angle, t;
        if (pv) {
            pv->SetAxis(0);
            pv->SetRotation(direction);
            step = pv->GetVariation(0) + extra;
            size0 = pv->GetVariation(1);
            size1 = pv->GetVariation(2);
            value1 = pv->GetVariation(3);
            angle = pv->GetVariation(4);
            t = pv->GetVariation(5);
        } else {
            step = p + extra;
            size0 = s0;
            size1 = s1;
            value1 = m1;
            angle = m2;
            t = m3;
        }
        DPoint c1, c2, c3, c4;
        if (!walk->NextQuad(step, step, angle, (mode & 0x8) != 0, (mode & 0x4) != 0, fitting, c1,
                            c2, c3, c4, direction))
            break;
        if (mode & 0x40) {
            std::swap(c1, c2);
            std::swap(c3, c4);
        }
        if (mode & 0x80) {
            std::swap(c1, c4);
            std::swap(c2, c3);
        }
        if ((mode & 0x100) && Distance(c1, c2) < Distance(c3, c4)) {
            std::swap(c1, c4);
            std::swap(c2, c3);
        }
        // A copy of no size draws nothing (and would divide by zero).
        if (size0 != 0.0 && size1 != 0.0 && std::isfinite(size0) && std::isfinite(size1)) {
            const double lift = 0.5 * value1 * s1;
            ChangeRecord placement = {};
            placement.kind = 4;
            placement.a = DPoint{-0.5 / size0, -0.5 / size1 + lift};
            placement.b = DPoint{0.5 / size0, 0.5 / size1 + lift};
            placement.c = c1;
            placement.d = c2;
            placement.e = c3;
            placement.f = c4;
            DrawBrush(brush, colour, placement, t, 0);
        }
        if (!EndOperation())
            return false;
        if (pv) {
            pv->SetAxis(0);
            pv->NextStep();
        }
    }
    colourDirty = true;
    penDirty = true;
    return true;
}
