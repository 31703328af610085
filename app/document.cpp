#include "app/document.h"

#include <cstring>
#include <vector>

#include "app/docfile.h"
#include "app/ichangeunit.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/objectref.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CDocument, "app/document", ZU_CLASS_PLAIN)

const Zuvi_Interface IChangeUnit::interface("IChangeUnit");

namespace {

// The colours in their stored order; files depend on it.
const int kStoredColourOrder[CDocument::COLORS] = {0,  1,  2,  3,  4,  6,  7,  8,  9, 12,
                                                   11, 13, 14, 15, 16, 17, 18, 10, 5};

struct Rgb {
    double r, g, b;
};
const Rgb kDefaultColours[CDocument::COLORS] = {
    {0, 0, 0}, {0.75, 0.75, 0.75}, {1, 0, 0},       {0, 0, 0},          {1, 0.5, 0},
    {1, 1, 1}, {1, 0, 0},          {0, 1, 0},       {0, 0, 1},          {0, 0, 0},
    {0, 0, 1}, {0, 0, 1},          {0, 0, 1},       {0.75, 0.75, 0.75}, {1, 0, 0},
    {0, 0, 1}, {0.75, 0.75, 1},    {0.9, 0.9, 0.9}, {0.8, 0.8, 0.8},
};

const char kDefaultSampleFile[] = "default.sample";
const char kSampleExtension[] = ".sample";

} // namespace

CDocument::CDocument()
{
    ZuStringRef name = ZuNew<ZuString>();
    BuildSampleFileName(name);
    sample_file_name = name;
}

CDocument::~CDocument() {}

void CDocument::Delete()
{
    if (tree.IsValid()) {
        const CTreeRef t = tree;
        tree = CTreeRef();
        t->Delete();
    }
    for (CSampleListRef& list : sample_lists) {
        if (list.IsValid()) {
            const CSampleListRef l = list;
            list = CSampleListRef();
            l->Delete();
        }
    }
    ZuObject::Delete();
}

void CDocument::Reset()
{
    modified = false;
    area_width = area_height = 2000.0;
    page_width = 210.0;
    page_height = 297.0;
    duplication_x = duplication_y = 10.0;
    units[0] = 23;
    units[1] = 24;
    units[2] = units[3] = -1;
    tool_choices[0] = 10;
    tool_choices[1] = 6;
    tool_choices[2] = 3;
    h_guides.count = v_guides.count = 0;
    current_guide_horizontal = true;
    current_guide_index = -1;
    for (CSampleListRef& list : sample_lists)
        list = ZuNew<CSampleList>();
    tree = ZuNew<CTree>();
    for (CPenDefRef& pen : pens) {
        pen = ZuNew<CPenDef>();
        pen->SetWidth(0.0);
    }
    pens[3]->SetDash(0, 2.0);
    pens[3]->SetGap(0, 2.0);
    pens[3]->SetDashOffset(0.0);
    for (int i = 0; i < COLORS; ++i) {
        colours[i] = ZuNew<CColorDef>();
        colours[i]->SetRGB(kDefaultColours[i].r, kDefaultColours[i].g, kDefaultColours[i].b);
    }
    ZuStringRef name(kDefaultSampleFile);
    ReadSamples(name);
}

// ---------------------------------------------------------------- units

int CDocument::GetUnit(int slot) const
{
    return slot >= 1 && slot < UNITS ? units[slot] : units[0];
}

void CDocument::SetUnit(int slot, int code)
{
    if (slot >= 0 && slot < UNITS)
        units[slot] = code;
}

void CDocument::NotifyChangeUnit(int unit)
{
    ZuObjectStatusBit bit;
    if (!ZuObject::MarkAndSweepBegin(bit))
        return;
    // The followers are gathered first, each once, and called after the
    // walk: a call may make or drop handles, which the walk follows.
    std::vector<ZuObjectRef> followers;
    for (ZuObjectRef* h = ZuObjectRef::g_head; h != nullptr; h = h->RetGlobalNext()) {
        ZuObject* o = h->Resolve();
        if (o == nullptr || o->MarkAndSweepSet(bit))
            continue;
        if (o->SupportsInterface(&IChangeUnit::interface))
            followers.push_back(ZuObjectRef(o));
    }
    ZuObject::MarkAndSweepReset(bit);
    ZuObject::MarkAndSweepEnd(bit);
    for (const ZuObjectRef& o : followers)
        if (o.IsValid())
            static_cast<IChangeUnit*>(o->CastToInterface(&IChangeUnit::interface))
                ->ChangeUnit(unit);
}

// ---------------------------------------------------------------- guides

int CDocument::GetGuideCount(bool horizontal) const
{
    return Guides(horizontal).count;
}

double CDocument::GetGuide(bool horizontal, int n) const
{
    const GuideList& list = Guides(horizontal);
    return n >= 0 && n < list.count ? list.positions[n] : 0.0;
}

int CDocument::SortGuide(GuideList& list, int n)
{
    const double p = list.positions[n];
    for (int i = n; i + 1 < list.count; ++i)
        list.positions[i] = list.positions[i + 1];
    const int others = list.count - 1;
    int at = 0;
    while (at < others && !(list.positions[at] > p))
        ++at;
    for (int i = others; i > at; --i)
        list.positions[i] = list.positions[i - 1];
    list.positions[at] = p;
    return at;
}

int CDocument::SetGuide(bool horizontal, int n, double position)
{
    GuideList& list = Guides(horizontal);
    if (n < 0 || n >= list.count)
        return -1;
    list.positions[n] = position;
    return SortGuide(list, n);
}

int CDocument::AddGuide(bool horizontal, double position)
{
    GuideList& list = Guides(horizontal);
    if (list.count >= MAX_GUIDES)
        return -1;
    list.positions[list.count] = position;
    ++list.count;
    return SortGuide(list, list.count - 1);
}

void CDocument::RemoveGuide(bool horizontal, int n)
{
    GuideList& list = Guides(horizontal);
    if (n < 0 || n >= list.count)
        return;
    for (int i = n; i + 1 < list.count; ++i)
        list.positions[i] = list.positions[i + 1];
    --list.count;
}

void CDocument::SetCurrentGuide(bool horizontal, int index)
{
    current_guide_horizontal = horizontal;
    current_guide_index = index;
}

void CDocument::GetCurrentGuide(bool& horizontal, int& index) const
{
    horizontal = current_guide_horizontal;
    index = current_guide_index;
}

// ---------------------------------------------------------------- samples

bool CDocument::GetSampleFileName(ZuStringRef& out) const
{
    out = sample_file_name;
    return true;
}

void CDocument::SetSampleFileName(const ZuStringRef& name)
{
    const ZuStringRef copy = ZuNew<ZuString>();
    if (name.IsValid())
        copy->SetString(name);
    sample_file_name = copy;
}

bool CDocument::BuildSampleFileName(ZuStringRef& name)
{
    if (name.IsInvalid())
        name = ZuNew<ZuString>();
    const unsigned n = name->CharacterCount();
    if (n == 0) {
        name->SetString(kDefaultSampleFile);
        return true;
    }
    const unsigned ext = unsigned(std::strlen(kSampleExtension));
    bool ends = n >= ext;
    for (unsigned i = 0; ends && i < ext; ++i) {
        unsigned short c = name->RetCharacter(n - ext + i);
        if (c >= 'A' && c <= 'Z')
            c = (unsigned short)(c - 'A' + 'a');
        ends = c == (unsigned char)kSampleExtension[i];
    }
    if (!ends)
        name->AppendString(kSampleExtension);
    return true;
}

bool CDocument::ReadSamples(ZuStringRef& name)
{
    BuildSampleFileName(name);
    CSampleListRef read[SAMPLE_LISTS];
    const bool ok = ReadArchiveFile(
        name,
        [&read](const ZuStorageRef& s) {
            for (CSampleListRef& list : read) {
                s >> list;
                if (list.IsInvalid())
                    Zuvi_StorageFormat::BadData("Sample file: a list is missing", __LINE__);
            }
        },
        true);
    if (!ok) {
        // What was read goes; the document keeps its lists.
        for (const CSampleListRef& list : read)
            if (list.IsValid())
                list->Delete();
        return false;
    }
    for (int i = 0; i < SAMPLE_LISTS; ++i)
        sample_lists[i] = read[i];
    SetSampleFileName(name);
    return true;
}

bool CDocument::WriteSamples(ZuStringRef& name)
{
    BuildSampleFileName(name);
    for (const CSampleListRef& list : sample_lists)
        if (list.IsInvalid())
            return false;
    const bool ok = WriteArchiveFile(name, [this](const ZuStorageRef& s) {
        for (CSampleListRef const& list : sample_lists)
            s << list;
    });
    if (ok)
        SetSampleFileName(name);
    return ok;
}

// ---------------------------------------------------------------- document files

bool CDocument::WriteFile(const ZuStringRef& name)
{
    const CDocumentRef self(this);
    return WriteArchiveFile(name, [&self](const ZuStorageRef& s) { s << self; });
}

CDocumentRef CDocument::ReadFile(const ZuStringRef& name)
{
    CDocumentRef doc;
    if (!ReadArchiveFile(name, [&doc](const ZuStorageRef& s) { s >> doc; })) {
        // Read whole but refused when awaking: what it holds goes.
        if (doc.IsValid())
            doc->Delete();
        return CDocumentRef();
    }
    return doc;
}

// ---------------------------------------------------------------- fields

int CDocument::GetToolChoice(int i) const
{
    return i >= 0 && i < TOOLS ? tool_choices[i] : 0;
}

void CDocument::SetToolChoice(int i, int tool)
{
    if (i >= 0 && i < TOOLS)
        tool_choices[i] = tool;
}

CSampleListRef CDocument::GetSampleList(int i) const
{
    return i >= 0 && i < SAMPLE_LISTS ? sample_lists[i] : CSampleListRef();
}

CPenDefRef CDocument::GetPen(int i) const
{
    return i >= 0 && i < PENS ? pens[i] : CPenDefRef();
}

CColorDefRef CDocument::GetColor(int i) const
{
    return i >= 0 && i < COLORS ? colours[i] : CColorDefRef();
}

// ---------------------------------------------------------------- storage

void CDocument::StoreGuides(const ZuStorageRef& s, const GuideList& list)
{
    s << list.count << ZuStorageSync::repeat;
    for (int i = 0; i < list.count; ++i)
        s << ZuStorageSync::begin << list.positions[i] << ZuStorageSync::end;
    s << ZuStorageSync::end_repeat;
}

void CDocument::RestoreGuides(const ZuStorageRef& s, GuideList& list)
{
    // The count is outside data: guides are read while the stream holds
    // them, and those beyond the 50 places are dropped.
    const long long stored = s->RestoreInt(0);
    s >> ZuStorageSync::repeat;
    int kept = 0;
    for (long long i = 0; i < stored && s->CheckForBegin(); ++i) {
        double p = kept < MAX_GUIDES ? list.positions[kept] : 0.0;
        s >> ZuStorageSync::begin;
        p = s->RestoreReal(p);
        s >> ZuStorageSync::end;
        if (kept < MAX_GUIDES)
            list.positions[kept++] = p;
    }
    list.count = kept;
    s >> ZuStorageSync::end_repeat;
}

void CDocument::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    const ZuStringRef line = ZuNew<ZuString>();
    line->SetString("lumbra drawing document");
    s << ZuStorageSync::begin << 1 << 0 << 97 << line << ZuStorageSync::mark;
    s << area_width << area_height << page_width << page_height << ZuStorageSync::mark;
    s << duplication_x << duplication_y << ZuStorageSync::mark;
    for (int u : units)
        s << u;
    StoreGuides(s, h_guides);
    StoreGuides(s, v_guides);
    s << ZuStorageSync::mark;
    for (int t : tool_choices)
        s << t;
    s << ZuStorageSync::mark;
    for (const CPenDefRef& pen : pens)
        s << pen;
    s << ZuStorageSync::mark;
    for (int slot : kStoredColourOrder)
        s << colours[slot];
    s << ZuStorageSync::mark;
    for (const CSampleListRef& list : sample_lists)
        s << list;
    s << ZuStorageSync::mark << tree << ZuStorageSync::end;
}

void CDocument::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    // No version test: the three leading numbers and the line are read and
    // dropped.
    int scratch = 0;
    ZuStringRef line;
    s >> ZuStorageSync::begin >> scratch >> scratch >> scratch >> line >> ZuStorageSync::mark;
    area_width = s->RestoreReal(area_width);
    area_height = s->RestoreReal(area_height);
    page_width = s->RestoreReal(page_width);
    page_height = s->RestoreReal(page_height);
    s >> ZuStorageSync::mark;
    duplication_x = s->RestoreReal(duplication_x);
    duplication_y = s->RestoreReal(duplication_y);
    s >> ZuStorageSync::mark;
    for (int& u : units)
        s >> u;
    RestoreGuides(s, h_guides);
    RestoreGuides(s, v_guides);
    s >> ZuStorageSync::mark;
    for (int& t : tool_choices)
        s >> t;
    s >> ZuStorageSync::mark;
    for (CPenDefRef& pen : pens)
        s >> pen;
    s >> ZuStorageSync::mark;
    for (int slot : kStoredColourOrder)
        s >> colours[slot];
    s >> ZuStorageSync::mark;
    for (CSampleListRef& list : sample_lists)
        s >> list;
    s >> ZuStorageSync::mark >> tree >> ZuStorageSync::end;
    // Everything the program reaches without asking must be there.
    bool sound = tree.IsValid();
    for (const CPenDefRef& pen : pens)
        sound = sound && pen.IsValid();
    for (const CColorDefRef& colour : colours)
        sound = sound && colour.IsValid();
    for (const CSampleListRef& list : sample_lists)
        sound = sound && list.IsValid();
    if (!sound)
        Zuvi_StorageFormat::BadData("CDocument: stored tree, pens, colours or samples missing",
                                    __LINE__);
    if (sample_file_name.IsInvalid()) {
        ZuStringRef name = ZuNew<ZuString>();
        BuildSampleFileName(name);
        sample_file_name = name;
    }
    current_guide_horizontal = true;
    current_guide_index = -1;
}
