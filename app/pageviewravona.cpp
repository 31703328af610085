// Drawings of the older format (".ravona"), converted when they are opened.
//
// Such a file is a 16-byte header followed by 16-byte records of big-endian
// 16-bit numbers in tenths of a millimetre from a corner of the page: line
// segments (chained into one polygon where they meet end to start with the
// same pen), rectangles, circles and ellipses, and characters of text
// (gathered into lines of text while they follow each other). The file is
// read once; its end, or an end record, ends the drawing.
//
// The bytes come from outside: every record is read whole or not at all,
// nothing is indexed by what the file says, and a chain or a text that
// grows past what one object holds is emitted and a new one started.
#include "app/arcdef.h"
#include "app/colordef.h"
#include "app/fontdef.h"
#include "app/graarc.h"
#include "app/graline.h"
#include "app/gralinetext.h"
#include "app/grapolyl.h"
#include "app/grarect.h"
#include "app/pageview.h"
#include "app/tree.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/memzone.h"

#include <string>

namespace {

template <class R>
R Make()
{
    return R(ZuObjectRef(ZuClassFactory::New(R::RetRuntime(), Zuvi_app_zone, __LINE__, __FILE__)));
}

const int kHeaderSize = 16;
const int kRecordSize = 16;
// The longest chain one polygon holds, and the longest text.
const int kMaxChainSegments =
    CGraPolyLine::MAX_VERTICES - 1 < 999 ? CGraPolyLine::MAX_VERTICES - 1 : 999;
const unsigned kMaxTextCharacters = 199;

// Grid steps in millimetres of grid codes 1 .. 15.
const double kGridSteps[16] = {0.0, 0.2, 0.4, 0.8, 1.6, 3.2, 0.3, 0.6,
                               1.2, 2.4, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0};

// Accented letters of character bytes 15 .. 29, in ISO 8859-1.
const unsigned char kAccents[15] = {0xFC, 0xE0, 0xE2, 0xE9, 0xE8, 0xEB, 0xEA, 0xEF,
                                    0xEE, 0xF4, 0xF9, 0xFB, 0xE4, 0xF6, 0xE7};

// Dashes and gaps of the pen rows, in tenths of a millimetre: a pattern
// for each row r mod 5 (1, 2, 3, 4, 0), in four groups of five rows.
const int kPenPatterns[4][5][4] = {
    {{0, 0, 0, 0}, {8, 8, 0, 0}, {4, 12, 0, 0}, {1, 4, 0, 0}, {6, 4, 1, 4}},
    {{0, 0, 0, 0}, {8, 8, 0, 0}, {4, 12, 0, 0}, {1, 4, 0, 0}, {6, 4, 1, 4}},
    {{0, 0, 0, 0}, {8, 8, 0, 0}, {4, 12, 0, 0}, {1, 8, 0, 0}, {6, 4, 1, 4}},
    {{0, 0, 0, 0}, {16, 16, 0, 0}, {8, 24, 0, 0}, {1, 14, 0, 0}, {12, 8, 1, 8}},
};
const double kPenWidths[4] = {0.0, 0.2, 0.4, 1.0};

unsigned Be16(const unsigned char* b)
{
    return unsigned(b[0]) << 8 | b[1];
}

// A new document's tree: one page holding one layer.
void BuildFreshTree(const CDocumentRef& doc)
{
    if (doc.IsInvalid() || doc->GetTree().IsInvalid())
        return;
    CTreeNodeRef root;
    doc->GetTree()->GetNode(root, -1, -1);
    if (root.IsInvalid())
        return;
    root->RemoveAllChildren();
    CTreeNodeRef page = Make<CTreeNodeRef>();
    page->InsertFirstChild(root);
    CTreeNodeRef layer = Make<CTreeNodeRef>();
    layer->InsertFirstChild(page);
    layer->SetObject(NewGraObject(CGraObjectRef::RetRuntime()));
}

// What one conversion works with.
struct Converter {
    CDocumentRef doc;
    CGraPortRef port;
    CTreeNodeRef layer;
    CPenDefRef pen;
    CArcDefRef arc;
    CColorDefRef transparent;
    CColorDefRef fill;
    CFontDefRef font;
    double halfW = 0.0, halfH = 0.0;

    bool chain = false;
    int n = 0;
    DPoint p[kMaxChainSegments + 1] = {};
    int chainPen = 0;

    bool text = false;
    int textSize = 0;
    DPoint textPos = {};
    std::string chars;
    double lastX = 0.0;

    DPoint Page(unsigned x, unsigned y) const { return DPoint{x / 10.0 - halfW, y / 10.0 - halfH}; }

    // The object in a new node under the layer, in file order.
    void Insert(const CGraObjectRef& object)
    {
        CTreeNodeRef node = Make<CTreeNodeRef>();
        node->SetObject(object);
        CGraObjectRef o = object;
        o->UpdateBoundingBox(port);
        node->InsertLastChild(layer);
    }

    bool EmitChain()
    {
        if (n == 1) {
            CGraObjectRef line = NewGraObject(CGraLineRef::RetRuntime());
            if (line.IsInvalid())
                return false;
            CPageView::SetRavonaPen(pen, chainPen);
            line->SetDefinition(10, pen);
            line->SetPoints(&p[0], 0);
            line->DragPoint(p[1], 0);
            Insert(line);
        } else {
            CGraObjectRef poly = NewGraObject(CGraPolyLineRef::RetRuntime());
            if (poly.IsInvalid())
                return false;
            CPageView::SetRavonaPen(pen, chainPen);
            poly->SetDefinition(10, pen);
            poly->SetDefinition(25, transparent);
            poly->SetPoints(&p[0], 0);
            poly->DragPoint(p[1], 0);
            for (int i = 2; i <= n; ++i) {
                poly->SetPoints(&p[i], 0);
                poly->DragPoint(p[i], 0);
            }
            Insert(poly);
        }
        chain = false;
        return true;
    }

    void EmitText()
    {
        CGraObjectRef line = NewGraObject(CGraLineTextRef::RetRuntime());
        text = false;
        if (line.IsInvalid())
            return;
        font->SetScale((textSize / 10) * 1.7);
        line->SetDefinition(120, font);
        CGraLineTextRef(line)->SetText(ZuStringRef(chars.c_str()));
        const DPoint both[2] = {textPos, textPos};
        line->SetPoints(both, 2);
        line->DragPoint(textPos, 0);
        Insert(line);
    }

    // One record; false when it ends the drawing.
    bool Record(const unsigned char* r)
    {
        const int type = r[1];
        const unsigned y1 = Be16(r + 2), x1 = Be16(r + 4), y2 = Be16(r + 6), x2 = Be16(r + 8);
        const int code = r[11];
        // A record of two points that coincide draws nothing and is left
        // out. Circles, ellipses and characters hold radii or a character
        // in their first pair, not a point: a circle whose radius equals
        // its centre's coordinates is a circle like any other.
        const bool firstIsPoint = type != 5 && type != 8 && type != 9 && type != 10 && type != 11;
        if (firstIsPoint && x1 == x2 && y1 == y2)
            return true;
        const DPoint a = Page(x1, y1), b = Page(x2, y2);
        const bool segment = type <= 4;
        if (chain && !(segment && a.x == p[n].x && a.y == p[n].y && code == chainPen)) {
            if (!EmitChain())
                return true;
        }
        if (segment) {
            // A chain at its limit goes out whole; the new one starts where
            // it ended.
            if (chain && n >= kMaxChainSegments && !EmitChain())
                return true;
            if (!chain) {
                chain = true;
                n = 0;
            }
            p[n] = a;
            ++n;
            p[n] = b;
            chainPen = code;
        }
        switch (type) {
        case 6:
        case 7: {
            CGraObjectRef rect = NewGraObject(CGraRectRef::RetRuntime());
            if (rect.IsInvalid())
                return true;
            if (type == 6) {
                CPageView::SetRavonaPen(pen, code);
                rect->SetDefinition(10, pen);
                rect->SetDefinition(25, transparent);
            } else {
                CPageView::SetRavonaColor(fill, code);
                rect->SetDefinition(15, transparent);
                rect->SetDefinition(25, fill);
            }
            rect->SetPoints(&a, 1);
            rect->DragPoint(b, 0);
            Insert(rect);
            break;
        }
        case 5:
        case 9:
        case 10:
        case 11: {
            CGraObjectRef o = NewGraObject(CGraArcRef::RetRuntime());
            if (o.IsInvalid())
                return true;
            const double rx = x1 / 10.0;
            const double ry = type == 5 || type == 9 ? rx : y1 / 10.0;
            const DPoint c = b;
            arc->SetValue(type == 5 || type == 9 ? 220 : 221);
            CPageView::SetRavonaPen(pen, code);
            o->SetDefinition(10, pen);
            o->SetDefinition(25, transparent);
            // The arc learns whether it is a circle before its points are
            // placed: with its own default definition, a circle, both radii
            // would take the larger one.
            arc->SetMode(222);
            o->SetDefinition(51, arc);
            o->SetPoints(&c, 0);
            o->DragPoint(DPoint{c.x + rx, c.y + ry}, 0);
            const int half = type == 9 ? r[3] : type == 11 ? r[0] : -1;
            DPoint start, end;
            bool open = true;
            switch (half) {
            case 195:
                start = DPoint{c.x, c.y - ry}, end = DPoint{c.x, c.y + ry};
                break;
            case 60:
                start = DPoint{c.x, c.y + ry}, end = DPoint{c.x, c.y - ry};
                break;
            case 15:
                start = DPoint{c.x + rx, c.y}, end = DPoint{c.x - rx, c.y};
                break;
            case 240:
                start = DPoint{c.x - rx, c.y}, end = DPoint{c.x + rx, c.y};
                break;
            default:
                open = false;
            }
            if (open) {
                o->SetHandlePosition(4, start);
                o->SetHandlePosition(5, end);
                arc->SetMode(223);
            }
            o->SetDefinition(51, arc);
            Insert(o);
            break;
        }
        case 100:
        case 102:
            Zuvi_Trace("DU\n");
            break;
        case 101:
        case 103:
            Zuvi_Trace("FU\n");
            break;
        default:
            break;
        }
        const int size = r[4];
        if (text) {
            const bool joins = type == 8 && size == textSize && b.y == textPos.y && b.x >= lastX &&
                               b.x <= lastX + (textSize / 10) * 1.7 * 1.1;
            if (!joins || chars.size() >= kMaxTextCharacters)
                EmitText();
        }
        if (type == 8) {
            if (!text) {
                text = true;
                textPos = b;
                textSize = size;
                chars.clear();
            }
            unsigned char c = r[5];
            if (c >= 15 && c <= 29)
                c = kAccents[c - 15];
            if (c != 0)
                chars.push_back(char(c));
            lastX = b.x;
        }
        return type != 99;
    }

    // What is pending when the drawing ends.
    void Finish()
    {
        if (chain)
            EmitChain();
        if (text)
            EmitText();
    }
};

// Reads n bytes or fewer at the end; a stream error counts as the end.
unsigned ReadWhole(const std::function<unsigned(void*, unsigned)>& read, unsigned char* to,
                   unsigned n)
{
    unsigned got = 0;
    while (got < n) {
        unsigned k = 0;
        try {
            k = read(to + got, n - got);
        } catch (const ZuExcStream&) {
            return got;
        }
        if (k == 0 || k > n - got)
            break;
        got += k;
    }
    return got;
}

} // namespace

void CPageView::SetRavonaPen(CPenDefRef& pen, int code)
{
    pen->SetWidth(0.0);
    for (int i = 0; i < 2; ++i) {
        pen->SetDash(i, 0.0);
        pen->SetGap(i, 0.0);
    }
    const int r = code / 4;
    if (r == 0) {
        if (code == 1)
            pen->SetWidth(0.2);
        else if (code == 2)
            pen->SetWidth(0.5);
        return;
    }
    if (r < 1 || r > 20)
        return;
    const int group = (r - 1) / 5;
    const int* row = kPenPatterns[group][(r - 1) % 5];
    pen->SetWidth(kPenWidths[group]);
    pen->SetDash(0, row[0] / 10.0);
    pen->SetGap(0, row[1] / 10.0);
    pen->SetDash(1, row[2] / 10.0);
    pen->SetGap(1, row[3] / 10.0);
}

void CPageView::SetRavonaColor(CColorDefRef& colour, int code)
{
    static const double greys[5] = {0.5, 0.75, 0.5, 0.25, 0.0};
    const double g = code >= 1 && code <= 4 ? greys[code] : 0.5;
    colour->SetRGB(g, g, g);
}

bool CPageView::ConvertRavonaRecords(const std::function<unsigned(void*, unsigned)>& read,
                                     const CDocumentRef& doc, const CViewRef& settings,
                                     CGraPortRef port)
{
    unsigned char header[kHeaderSize];
    if (doc.IsInvalid() || ReadWhole(read, header, kHeaderSize) != kHeaderSize)
        return false;
    doc->SetPageSize(Be16(header + 8) * 0.1, Be16(header + 6) * 0.1);
    const int grid = header[5] & 0x1F;
    if (settings.IsValid()) {
        const bool on = grid >= 1 && grid <= 15;
        settings->switches[CView::SHOW_GRID] = on;
        settings->switches[CView::GRID_MAGNETISM] = on;
        if (on) {
            settings->values[4] = kGridSteps[grid];
            settings->values[5] = kGridSteps[grid];
        }
    }

    Converter c;
    c.doc = doc;
    c.port = port;
    c.halfW = doc->GetPageWidth() / 2.0;
    c.halfH = doc->GetPageHeight() / 2.0;
    c.pen = Make<CPenDefRef>();
    c.pen->SetCap(1);
    c.arc = Make<CArcDefRef>();
    c.transparent = Make<CColorDefRef>();
    c.transparent->SetTransparency(1.0);
    c.fill = Make<CColorDefRef>();
    c.font = Make<CFontDefRef>();
    if (doc->GetTree().IsValid())
        doc->GetTree()->GetNode(c.layer, 0, 0);
    if (c.layer.IsInvalid())
        return true;

    unsigned char record[kRecordSize];
    // The end of the file ends the drawing, like an end record.
    while (ReadWhole(read, record, kRecordSize) == kRecordSize && c.Record(record)) {}
    c.Finish();
    return true;
}

bool CPageView::ConvertRavona(const ZuStringRef& name)
{
    ShowBusy("lumbra_IconOpen", "\nConversion RAVONA vers LUMBRA en cours ...");
    const ZuFileReadRef file = ZuNew<ZuFileRead>();
    try {
        file->Open(name);
    } catch (const ZuExcStream&) {
        CloseBusy();
        ShowFileError(" n'a pas pu \xea"
                      "tre ouvert : ",
                      name,
                      "le fichier n'existe pas ou ne peut pas \xea"
                      "tre lu");
        return false;
    }
    // Converted into a new document: the shown one changes only when the
    // conversion succeeded.
    CDocumentRef doc = Make<CDocumentRef>();
    doc->Reset();
    BuildFreshTree(doc);
    CViewRef grid = Make<CViewRef>();
    ApplyNewViewSettings(grid);
    const bool ok = ConvertRavonaRecords(
        [&file](void* to, unsigned n) { return file->Read(to, n); }, doc, grid, mainPort);
    file->Close();
    if (!ok) {
        doc->Delete();
        CloseBusy();
        ShowFileError(" n'a pas pu \xea"
                      "tre ouvert : ",
                      name, "ce n'est pas un dessin RAVONA lisible");
        return false;
    }
    TakeDocument(doc);
    ApplyNewViewSettings(viewSettings);
    for (int s : {int(CView::SHOW_GRID), int(CView::GRID_MAGNETISM)})
        viewSettings->switches[s] = grid->switches[s];
    viewSettings->values[4] = grid->values[4];
    viewSettings->values[5] = grid->values[5];
    document->SetModified(true);
    fileName = ZuStringRef();
    UpdateTitle();
    renderNeeded = true;
    converted = true;
    RefreshDisplay(true);
    RefreshTool();
    UpdateScrollers();
    UpdateRulers();
    UpdateZoomText();
    UpdateSetupDlg(0, 0);
    viewSettings->current_page = 0;
    viewSettings->current_layer = 0;
    if (selection.IsValid()) {
        selection->UpdatePageDialog();
        selection->UpdateLayerDialog();
    }
    CloseBusy();
    return true;
}
