#include "app/sampledlg.h"

#include <cstdio>

#include "app/app.h"
#include "app/commands.h"
#include "app/graarc.h"
#include "app/gralinetext.h"
#include "app/grapolyc.h"
#include "app/grapolyr.h"
#include "app/graarrow.h"
#include "app/grarect.h"
#include "app/idefdlg.h"
#include "app/idefdlguse.h"
#include "app/misc.h"
#include "app/separator.h"
#include "si/classfactory.h"
#include "si/list.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CSampleDlg, "app/sampledlg", ZU_CLASS_NOT_STORED)

const Zuvi_Interface IDefDlgUse::interface("IDefDlgUse");

ZuAtomRef CSampleDlg::notify_Modify;
ZU_EXPORT_NOTIFY(CSampleDlg, modify, "notify_Modify", &CSampleDlg::notify_Modify)

// Called by name, every handler answers true whatever its step did.
#define SAMPLE_ACTOR(METHOD)                                                               \
    static Zuvi_TargetExport zuvi_actor_CSampleDlg_##METHOD(                               \
        [](ZuObject* o) -> bool {                                                          \
            static_cast<CSampleDlg*>(o)->METHOD();                                         \
            return true;                                                                   \
        },                                                                                 \
        #METHOD, CSampleDlgRef::RetRuntime());                                             \
    static Zuvi_NotifyExport zuvi_notify_CSampleDlg_##METHOD(&CSampleDlgRef::RetRuntime(), \
                                                             #METHOD, nullptr, nullptr);
SAMPLE_ACTOR(OnScrollList)
SAMPLE_ACTOR(OnEditNameChanged)
SAMPLE_ACTOR(OnEditFilenameChanged)
SAMPLE_ACTOR(OnButtonExpand)
SAMPLE_ACTOR(OnButtonPrev)
SAMPLE_ACTOR(OnButtonNext)
SAMPLE_ACTOR(OnButtonUse)
SAMPLE_ACTOR(OnButtonDelete)
SAMPLE_ACTOR(OnButtonCreate)
SAMPLE_ACTOR(OnButtonUpdate)
SAMPLE_ACTOR(OnButtonOpen)
SAMPLE_ACTOR(OnButtonSave)
SAMPLE_ACTOR(OnClose)
#undef SAMPLE_ACTOR
static Zuvi_TargetExport zuvi_observer_CSampleDlg_OnButtonDef(
    [](ZuObject* o, const ZuObjectRef& s, unsigned id) -> bool {
        static_cast<CSampleDlg*>(o)->OnButtonDef(s, id);
        return true;
    },
    "OnButtonDef", CSampleDlgRef::RetRuntime());
static Zuvi_NotifyExport zuvi_notify_CSampleDlg_OnButtonDef(&CSampleDlgRef::RetRuntime(),
                                                            "OnButtonDef", nullptr, nullptr);

const SampleKind SampleKindTable[6] = {
    {32, "Trait %d", 1}, {33, "Int\xe9rieur %d", 2}, {35, "Forme %d", 4},
    {34, "Ombre %d", 3}, {36, "Mise en page %d", 5}, {37, "Tout %d", 0},
};

const SampleAttribute SampleAttributeTable[] = {
    {11, 0},  {12, 0},  {15, 0},  {10, 0},  {21, 1},  {22, 1},  {25, 1},  {20, 1},
    {30, 2},  {31, 2},  {40, 2},  {41, 2},  {50, 2},  {51, 2},  {100, 3}, {102, 3},
    {105, 3}, {101, 3}, {120, 4}, {125, 4}, {126, 4}, {127, 4}, {-1, -1},
};

namespace {

const int kKindTagOffset = 100;

ZuStringRef CopyOfText(const ZuStringRef& s)
{
    ZuStringRef copy = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (s.IsValid())
        copy->SetString(s, 0);
    return copy;
}

CButtonRef TextButton(const ZuWindowRef& window, double x, double y, double dx, double dy,
                      const char* text, const char* tip, const ZuObjectRef& target,
                      const char* handler)
{
    CButtonRef b;
    NewIconButton(b, window, x, y, dx, dy, -1, -1);
    if (b.IsInvalid())
        return b;
    b->SetText(ZuStringRef(text), ZuTextStyle::none, true);
    if (tip != nullptr)
        b->SetToolTip(ZuStringRef(tip));
    b->AttachObserver(target, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    return b;
}

ZuIconRef Icon(const ZuWindowRef& window, double x, double y, const char* image, const char* tip,
               const ZuObjectRef& target, const char* handler)
{
    ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    icon->SetOrigin(x, y);
    icon->SetSize(15, 9);
    icon->Initialise(ZuAtomRef(image), true);
    icon->SetToolTip(ZuStringRef(tip));
    icon->SetParent(window);
    icon->AttachObserver(target, ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    return icon;
}

ZuTextLineRef Field(const ZuWindowRef& window, double x, double y, double dx, const char* tip,
                    const ZuObjectRef& target, const char* handler)
{
    ZuTextLineRef line = ZuNew<ZuTextLine>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    line->SetOrigin(x, y);
    line->SetSize(dx, 20);
    line->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    line->SetToolTip(ZuStringRef(tip));
    line->SetParent(window);
    line->AttachObserver(target, ZuTextLine::notify_user_text_changed, ZuAtomRef(handler), 0);
    return line;
}

void AddSeparator(const ZuWindowRef& window, double y)
{
    CSeparatorRef s = ZuNew<CSeparator>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    s->SetOrigin(0, y);
    s->SetSize(266, 4);
    s->SetParent(window);
}

void SetEnabled(const ZuViewRef& view, bool on)
{
    if (view.IsValid())
        SetViewEnabled(view, on);
}

} // namespace

CSampleDlg::CSampleDlg()
{
    for (int i = 0; i < KIND_SLOTS; ++i)
        enabled[i] = i < KINDS ? 1 : 0;
    for (unsigned char& u : used)
        u = 0;
    kind_buttons = ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    kind_buttons->SetSize(KIND_SLOTS);
}

CButtonRef CSampleDlg::RetKindButton(int i) const
{
    if (i < 0 || i >= KIND_SLOTS || kind_buttons.IsInvalid())
        return CButtonRef();
    return kind_buttons[unsigned(i)];
}

int CSampleDlg::SampleKindOf(int kind)
{
    for (int i = 0; SampleAttributeTable[i].kind != -1; ++i)
        if (SampleAttributeTable[i].kind == kind)
            return SampleAttributeTable[i].sample_kind;
    return -1;
}

bool CSampleDlg::Build(int x, int y)
{
    if (window.IsValid())
        return false;
    ZuMemZone* zone = Zuvi_app_zone;
    window = ZuNew<ZuWindow>(zone, __LINE__, ZU_SRC_FILE);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Echantillons"));
    window->SetWindowBox(ZuRect(x, y, x + WIDTH - 1, y + REDUCED_HEIGHT - 1));
    const ZuObjectRef self(this);

    double bx = 4;
    for (int i = 0; i < KINDS; ++i) {
        CButtonRef b;
        NewIconButton(b, window, bx, 4, 23, 23, kKindTagOffset + i, SampleKindTable[i].icon);
        bx = SampleKindTable[i].icon == 36 ? 239 : bx + 23;
        if (b.IsInvalid())
            continue;
        b->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnButtonDef"), 0);
        kind_buttons[unsigned(i)] = b;
    }
    AddSeparator(window, 28);

    list = ZuNew<CScrollList>(zone, __LINE__, ZU_SRC_FILE);
    list->CreateScroller(4, 35, 150, 104);
    list->SetParent(window);
    list->AttachObserver(self, CScrollList::notify_Modify, ZuAtomRef("OnScrollList"), 0);

    preview = ZuNew<CSampleView>(zone, __LINE__, ZU_SRC_FILE);
    preview->SetParent(window);
    preview->Build(158, 35, 104, 104, true);

    buttons[USE] = TextButton(window, 4, 147, 150, 24, "Utiliser",
                              "Utilise l'\xe9"
                              "chantillon s\xe9lectionn\xe9",
                              self, "OnButtonUse");
    expand_icon =
        Icon(window, 158, 162, "lumbra_ArrowDown", "Etendre le dialogue", self, "OnButtonExpand");
    AddSeparator(window, 175);

    name_field = Field(window, 4, 179, 133,
                       "Nom de l'\xe9"
                       "chantillon s\xe9lectionn\xe9",
                       self, "OnEditNameChanged");
    up_icon = Icon(window, 139, 180, "lumbra_ArrowUp",
                   "Monte l'\xe9"
                   "chantillon d'une ligne",
                   self, "OnButtonPrev");
    down_icon = Icon(window, 139, 189, "lumbra_ArrowDown",
                     "Descend l'\xe9"
                     "chantillon d'une ligne",
                     self, "OnButtonNext");
    buttons[UPDATE] = TextButton(window, 4, 203, 150, 24, "Actualiser",
                                 "Actualise l'\xe9"
                                 "chantillon selon les attributs",
                                 self, "OnButtonUpdate");
    buttons[CREATE] = TextButton(window, 4, 227, 75, 24,
                                 "Cr\xe9"
                                 "er",
                                 "Cr\xe9"
                                 "e un nouvel \xe9"
                                 "chantillon \xe0 la fin de la liste",
                                 self, "OnButtonCreate");
    buttons[DELETE] = TextButton(window, 79, 227, 75, 24, "Supprimer",
                                 "Supprime l'\xe9"
                                 "chantillon s\xe9lectionn\xe9",
                                 self, "OnButtonDelete");
    file_field = Field(window, 158, 179, 104,
                       "Nom du fichier des \xe9"
                       "chantillons",
                       self, "OnEditFilenameChanged");
    buttons[OPEN] =
        TextButton(window, 158, 203, 104, 24, "Ouvrir",
                   "Ouvre le fichier dont le nom est donn\xe9 ci-dessus", self, "OnButtonOpen");
    buttons[SAVE] = TextButton(window, 158, 227, 104, 24, "Enregistrer",
                               "Enregistre dans le fichier dont le nom est donn\xe9 ci-dessus",
                               self, "OnButtonSave");
    TextButton(window, 202, 147, 60, 24, "Fermer", nullptr, self, "OnClose");
    return true;
}

void CSampleDlg::Hide(bool hide)
{
    if (window.IsInvalid())
        return;
    if (hide) {
        window->Hide();
        return;
    }
    RefreshAll();
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
}

void CSampleDlg::SetPageView(const CPageViewRef& view)
{
    page_view = view;
    document = view.IsValid() ? view->RetDocument() : CDocumentRef();
    SelectKind();
}

bool CSampleDlg::SelectKind()
{
    if (document.IsInvalid())
        return false;
    current_list = document->GetSampleList(SampleKindTable[current_kind].list);
    UpdateKindButtons();
    Update(true);
    return true;
}

void CSampleDlg::Update(bool reload)
{
    if (reload) {
        const int current = current_list.IsValid() ? current_list->GetCurrent() : -1;
        FillList();
        if (list.IsValid()) {
            list->Select(current);
            list->Display(true);
        }
    } else {
        FillList();
    }
    ShowSelectedName();
    UpdateControls();
    DrawPreview();
}

void CSampleDlg::RefreshAll()
{
    UpdateKindButtons();
    FillList();
    ShowSelectedName();
    ShowFileName();
    UpdateControls();
    DrawPreview();
}

void CSampleDlg::UpdateKindButtons()
{
    for (int i = 0; i < KINDS; ++i) {
        const CButtonRef b = RetKindButton(i);
        if (b.IsValid())
            SetViewOn(b, i == current_kind ? 1 : 0);
    }
}

int CSampleDlg::Selected() const
{
    return list.IsValid() ? list->RetSelected() : -1;
}

int CSampleDlg::Count() const
{
    return current_list.IsValid() ? current_list->Count() : 0;
}

void CSampleDlg::FillList()
{
    if (list.IsInvalid())
        return;
    const int selected = list->RetSelected();
    ZuListRef names = ZuNew<ZuList>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    for (int i = 0; i < Count(); ++i) {
        ZuStringRef name;
        current_list->GetName(i, name);
        names->PushTail(name.IsValid() ? name : ZuStringRef(""));
    }
    list->UpdateScroller(names);
    list->Select(selected);
    list->Display(true);
}

void CSampleDlg::UpdateControls()
{
    const int n = Count();
    const int s = Selected();
    if (name_field.IsValid()) {
        name_field->ChangeState(ZU_VIEW_IS_ENABLED, n > 0, false);
        name_field->SetTransparentMode(n <= 0);
        if (n <= 0) {
            name_field->SetText(ZuStringRef(""));
            name_field->SetFullHilite();
        }
        name_field->Display(true);
    }
    SetEnabled(up_icon, s > 0);
    SetEnabled(down_icon, s < n - 1);
    SetEnabled(buttons[USE], s != -1);
    SetEnabled(buttons[DELETE], n > 0);
    SetEnabled(buttons[UPDATE], s != -1);
}

void CSampleDlg::ShowName(const ZuStringRef& name)
{
    if (name_field.IsInvalid())
        return;
    name_field->SetText(name.IsValid() ? name : ZuStringRef(""));
    name_field->SetFullHilite();
    name_field->Display(true);
}

void CSampleDlg::ShowSelectedName()
{
    ZuStringRef name;
    if (current_list.IsValid())
        current_list->GetName(Selected(), name);
    ShowName(name);
}

void CSampleDlg::ShowFileName()
{
    if (file_field.IsInvalid())
        return;
    ZuStringRef name;
    if (document.IsValid())
        document->GetSampleFileName(name);
    file_field->SetText(name.IsValid() ? name : ZuStringRef(""));
    file_field->SetFullHilite();
    file_field->Display(true);
}

void CSampleDlg::SetDocumentModified()
{
    if (page_view.IsValid() && document.IsValid())
        document->SetModified(true);
}

ZuRuntimeRef CSampleDlg::RetPreviewClass() const
{
    if (used[50])
        return CGraPolyRegRef::RetRuntime();
    if (used[51])
        return CGraArcRef::RetRuntime();
    if (used[40] || used[41])
        return CGraArrowRef::RetRuntime();
    if (used[30])
        return CGraRectRef::RetRuntime();
    return CGraPolyRegRef::RetRuntime();
}

IDefDlg* CSampleDlg::RetDefDlg() const
{
    ZuObjectRef dialog = def_dlg;
    if (dialog.IsInvalid()) {
        const AppRef app = App::Current();
        if (app.IsValid())
            dialog = app->RetDefDlg();
    }
    if (dialog.IsInvalid() || !dialog->SupportsInterface(&IDefDlg::interface))
        return nullptr;
    return static_cast<IDefDlg*>(dialog->CastToInterface(&IDefDlg::interface));
}

IDefDlgUse* CSampleDlg::RetDefDlgUse() const
{
    ZuObjectRef dialog = def_dlg;
    if (dialog.IsInvalid()) {
        const AppRef app = App::Current();
        if (app.IsValid())
            dialog = app->RetDefDlg();
    }
    if (dialog.IsInvalid() || !dialog->SupportsInterface(&IDefDlgUse::interface))
        return nullptr;
    return static_cast<IDefDlgUse*>(dialog->CastToInterface(&IDefDlgUse::interface));
}

void CSampleDlg::SetUsedKinds(const int* kinds, const int*)
{
    unsigned char before[KINDS];
    for (int i = 0; i < KINDS; ++i)
        before[i] = enabled[i];
    for (unsigned char& e : enabled)
        e = 0;
    for (unsigned char& u : used)
        u = 0;
    enabled[KIND_ALL] = 1;
    for (const int* k = kinds; k != nullptr && *k != 0; ++k) {
        const int sample_kind = SampleKindOf(*k);
        if (sample_kind >= 0)
            enabled[sample_kind] = 1;
        if (*k >= 0 && *k < USED_KINDS)
            used[*k] = 1;
    }
    bool same = true;
    for (int i = 0; i < KINDS; ++i)
        same = same && before[i] == enabled[i];
    if (same)
        return;
    if (window.IsValid()) {
        for (int i = 0; i < KINDS; ++i) {
            const CButtonRef b = RetKindButton(i);
            if (b.IsValid())
                b->SetParent(enabled[i] ? ZuViewRef(window) : ZuViewRef());
        }
        window->Display(true);
    }
    if (!enabled[current_kind]) {
        for (int i = 0; i < KINDS; ++i)
            if (enabled[i]) {
                current_kind = i;
                break;
            }
        SelectKind();
    }
}

// ---------------------------------------------------------------- handlers

bool CSampleDlg::OnButtonDef(const ZuObjectRef& source, unsigned)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewRef::RetRuntime()))
        return false;
    const int kind = ZuViewRef(source)->RetUserTag() - kKindTagOffset;
    if (kind < 0 || kind >= KINDS)
        return false;
    current_kind = kind;
    return SelectKind();
}

bool CSampleDlg::OnScrollList()
{
    const int s = Selected();
    if (current_list.IsValid())
        current_list->SetCurrent(s);
    ShowSelectedName();
    UpdateControls();
    DrawPreview();
    return true;
}

bool CSampleDlg::OnEditNameChanged()
{
    return Rename();
}

bool CSampleDlg::Rename()
{
    const int s = Selected();
    if (s == -1 || current_list.IsInvalid() || name_field.IsInvalid())
        return false;
    if (!current_list->SetName(s, CopyOfText(name_field->RetText())))
        return false;
    FillList();
    SetDocumentModified();
    return true;
}

bool CSampleDlg::OnEditFilenameChanged()
{
    if (document.IsInvalid() || file_field.IsInvalid())
        return false;
    document->SetSampleFileName(CopyOfText(file_field->RetText()));
    return true;
}

bool CSampleDlg::OnButtonExpand()
{
    return Expand();
}

bool CSampleDlg::Expand()
{
    if (!expandable || window.IsInvalid())
        return false;
    expanded = expanded ? 0 : 1;
    if (expand_icon.IsValid()) {
        expand_icon->Initialise(ZuAtomRef(expanded ? "lumbra_ArrowUp" : "lumbra_ArrowDown"), true);
        expand_icon->SetToolTip(ZuStringRef(expanded ? "R\xe9"
                                                       "duire le dialogue"
                                                     : "Etendre le dialogue"));
        expand_icon->Display(true);
    }
    window->SetSize(WIDTH, expanded ? EXPANDED_HEIGHT : REDUCED_HEIGHT);
    return true;
}

bool CSampleDlg::OnButtonPrev()
{
    return Move(-1);
}

bool CSampleDlg::OnButtonNext()
{
    return Move(1);
}

bool CSampleDlg::Move(int step)
{
    const int s = Selected();
    const int t = s + step;
    // Up from the first line, or with nothing selected, aims before the
    // first line: there is nothing to move.
    if (t < 0 || list.IsInvalid() || current_list.IsInvalid())
        return false;
    const bool moved = current_list->Swap(s, t);
    list->Select(t);
    current_list->SetCurrent(list->RetSelected());
    FillList();
    UpdateControls();
    if (moved)
        SetDocumentModified();
    return moved;
}

bool CSampleDlg::OnButtonUse()
{
    return Use();
}

bool CSampleDlg::Use()
{
    IDefDlgUse* dialog = RetDefDlgUse();
    if (dialog == nullptr)
        return false;
    const CSampleNodeRef sample =
        current_list.IsValid() ? current_list->GetNode(Selected()) : CSampleNodeRef();
    if (sample.IsValid()) {
        sample->StartDefIteration();
        for (int kind = 0; sample->NextDefCode(kind);) {
            CDefRef def;
            if (!sample->FindDef(kind, def))
                continue;
            dialog->SetDefinition(kind, def);
            dialog->AddModifiedKind(kind);
        }
    }
    dialog->NotifyChange(false, false);
    // The attributes dialog's current card shows what it took.
    ZuObjectRef target(dialog->RetSelfAsObject());
    target->Action(ZuAtomRef("OnClickTab"), target, 0);
    return sample.IsValid();
}

void CSampleDlg::TakeDefinitions(int index)
{
    IDefDlg* dialog = RetDefDlg();
    if (dialog == nullptr || current_list.IsInvalid())
        return;
    for (int i = 0; SampleAttributeTable[i].kind != -1; ++i) {
        const SampleAttribute& row = SampleAttributeTable[i];
        if (current_kind != KIND_ALL && row.sample_kind != current_kind)
            continue;
        const CDefRef def = dialog->RetDefinition(row.kind);
        if (def.IsValid())
            current_list->SetDef(index, row.kind, def);
    }
}

bool CSampleDlg::OnButtonCreate()
{
    return Create();
}

bool CSampleDlg::Create()
{
    if (current_list.IsInvalid())
        return false;
    const int n = current_list->Count();
    if (!current_list->InsertNew(n))
        return false;
    current_list->SetKind(n, SampleKindTable[current_kind].icon);
    current_list->SetObject(n, RetPreviewClass());
    char name[64];
    std::snprintf(name, sizeof name, SampleKindTable[current_kind].name_pattern, n + 1);
    current_list->SetName(n, ZuStringRef(name));
    ShowName(ZuStringRef(name));
    if (window.IsValid() && name_field.IsValid())
        window->SetMainResponder(name_field, false);
    TakeDefinitions(n);
    FillList();
    if (list.IsValid()) {
        list->Select(n);
        list->Display(true);
    }
    UpdateControls();
    DrawPreview();
    SetDocumentModified();
    return true;
}

bool CSampleDlg::OnButtonUpdate()
{
    return Refresh(true);
}

bool CSampleDlg::Refresh(bool)
{
    const int s = Selected();
    if (s == -1 || current_list.IsInvalid())
        return false;
    current_list->SetObject(s, RetPreviewClass());
    TakeDefinitions(s);
    FillList();
    DrawPreview();
    SetDocumentModified();
    return true;
}

bool CSampleDlg::OnButtonDelete()
{
    return DeleteSelected();
}

bool CSampleDlg::DeleteSelected()
{
    if (Count() == 0 || list.IsInvalid())
        return false;
    const int s = Selected();
    if (!current_list->Remove(s))
        return false;
    const int n = current_list->Count();
    if (s == n) {
        list->Select(n - 1);
        current_list->SetCurrent(n - 1);
    }
    FillList();
    ShowSelectedName();
    UpdateControls();
    DrawPreview();
    SetDocumentModified();
    return true;
}

bool CSampleDlg::OnButtonOpen()
{
    return OpenFile();
}

bool CSampleDlg::OpenFile()
{
    if (document.IsInvalid())
        return false;
    ZuStringRef name;
    document->GetSampleFileName(name);
    name = CopyOfText(name);
    // A file that cannot be read whole leaves every list as it was.
    if (!document->ReadSamples(name))
        return false;
    current_list = document->GetSampleList(SampleKindTable[current_kind].list);
    const int current = current_list.IsValid() ? current_list->GetCurrent() : -1;
    FillList();
    if (list.IsValid()) {
        list->Select(current);
        list->Display(true);
    }
    ShowSelectedName();
    ShowFileName();
    UpdateControls();
    DrawPreview();
    return true;
}

bool CSampleDlg::OnButtonSave()
{
    return SaveFile();
}

bool CSampleDlg::SaveFile()
{
    if (document.IsInvalid())
        return false;
    ZuStringRef name;
    document->GetSampleFileName(name);
    name = CopyOfText(name);
    const bool written = document->WriteSamples(name);
    if (!written && page_view.IsValid())
        page_view->ShowSaveFailure(name);
    ShowFileName();
    return written;
}

bool CSampleDlg::OnClose()
{
    if (window.IsValid())
        window->Close();
    return true;
}

// ---------------------------------------------------------------- preview

void CSampleDlg::DrawPreview()
{
    if (preview.IsInvalid() || !preview->Render())
        return;
    preview->SetZoom(1.0);
    CGraPortRef port = preview->RetPort();
    CColorDefRef none = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    none->SetTransparency(1.0);
    CColorDefRef white = ZuNew<CColorDef>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    white->SetRGB(1.0, 1.0, 1.0);
    CPenDefRef pen = ZuNew<CPenDef>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    pen->SetWidth(1.2);

    const int s = Selected();
    CSampleNodeRef sample;
    int kind = -1;
    ZuRuntimeRef object_class;
    if (current_list.IsValid()) {
        sample = current_list->GetNode(s);
        kind = current_list->GetKind(s);
        object_class = current_list->GetObject(s);
    }
    CGraObjectRef object;
    DPoint p{0, 0}, q{0, 0};
    switch (kind) {
    case 32:
    case 37:
        object = ZuNew<CGraPolyCurve>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        p = {-41.6, 0};
        q = {41.6, 0};
        break;
    case 33:
        object = ZuNew<CGraRect>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        p = {-36.4, -36.4};
        q = {36.4, 36.4};
        break;
    case 34:
        object = ZuNew<CGraArc>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        q = {26, 26};
        break;
    case 35:
        // A stored class that is no drawing object makes no preview.
        object = NewGraObject(object_class);
        if (object_class.IsValid() && object_class == CGraPolyRegRef::RetRuntime()) {
            q = {0, 41.6};
        } else if (object_class.IsValid() && object_class == CGraArcRef::RetRuntime()) {
            q = {41.6, 26};
        } else {
            p = {-36.4, -36.4};
            q = {36.4, 36.4};
        }
        break;
    case 36: {
        CGraLineTextRef text = ZuNew<CGraLineText>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        text->SetText(ZuStringRef("Abcdef"));
        object = text;
        p = {-41.6, -20.8};
        q = {41.6, -20.8};
        break;
    }
    default:
        break;
    }
    if (sample.IsValid() && object.IsValid()) {
        sample->StartDefIteration();
        for (int code = 0; sample->NextDefCode(code);) {
            CDefRef def;
            if (sample->FindDef(code, def))
                object->SetDefinition(code, ZuObjectRef(def));
        }
        if (kind == 32)
            object->SetDefinition(25, ZuObjectRef(none));
        else if (kind == 33)
            object->SetDefinition(15, ZuObjectRef(none));
        else if (kind == 34) {
            object->SetDefinition(10, ZuObjectRef(pen));
            object->SetDefinition(25, ZuObjectRef(white));
        }
        if (kind == 32 || kind == 37) {
            object->SetPoints(&p, 1);
            object->DragPoint(DPoint{0, 104}, 0);
            object->SetPoints(&q, 1);
            object->DragPoint(DPoint{83.2, 104}, 0);
        } else {
            object->SetPoints(&p, 1);
            object->DragPoint(q, 0);
        }
        object->UpdateBoundingBox(port);
        object->DrawShadow(port, 7);
        object->Draw(port, 7);
    }
    preview->Display();
}

void CSampleDlg::Delete()
{
    if (window.IsValid()) {
        window->Close();
        window->Kill();
    }
    window = ZuWindowRef();
    page_view = CPageViewRef();
    document = CDocumentRef();
    current_list = CSampleListRef();
    if (kind_buttons.IsValid()) {
        // Buttons detached from the window go with it no longer.
        for (int i = 0; i < KINDS; ++i) {
            CButtonRef b = RetKindButton(i);
            if (b.IsValid() && b->RetParent().IsInvalid())
                b->Delete();
        }
        kind_buttons->RemoveAll();
    }
    kind_buttons = CButtonArray();
    list = CScrollListRef();
    name_field = ZuTextLineRef();
    file_field = ZuTextLineRef();
    expand_icon = ZuIconRef();
    up_icon = ZuIconRef();
    down_icon = ZuIconRef();
    for (CButtonRef& b : buttons)
        b = CButtonRef();
    preview = CSampleViewRef();
    def_dlg = ZuObjectRef();
    ZuObject::Delete();
}
