#include "app/app.h"

#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/colordef.h"
#include "app/commands.h"
#include "app/cornerdef.h"
#include "app/fontdef.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "app/pulsardef.h"
#include "app/pagedlg.h"
#include "app/printdlg.h"
#include "app/propertydlg.h"
#include "app/sampledlg.h"
#include "app/toolpalette.h"
#include "ghost/gslibmain.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/lookman.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(App, "app/app", ZU_CLASS_PLAIN)
ZU_EXPORT_ACTOR(App, QuitApplication)

namespace {

const char kSource[] = "Main";

} // namespace

App::App() {}

App::~App()
{
    ReleaseHandles();
}

void App::ReleaseHandles()
{
    splash_window = CSplashWindowRef();
    export_dlg = CExportDlgRef();
    print_dlg = ZuObjectRef();
    question_wait = CQuestionDlgRef();
    question_file_delete = CQuestionDlgRef();
    question_file_save = CQuestionDlgRef();
    filename_save = CFilenameDlgRef();
    filename_open = CFilenameDlgRef();
    property_dlg = ZuObjectRef();
    setup_dlg = CSetupDlgRef();
    sample_dlg = ZuObjectRef();
    def_dlg = CDefDlgRef();
    layer_dlg = ZuObjectRef();
    page_dlg = ZuObjectRef();
    tool_palette2 = ZuObjectRef();
    tool_palette = ZuObjectRef();
    clipboard_text = ZuStringRef();
    clipboard = CTreeRef();
    main_window = CMainWindowRef();
    document = CDocumentRef();
}

void App::Delete()
{
    if (&RetEditShell() == static_cast<IEditShell*>(this))
        SetEditShell(nullptr);
    // The settings panes hold the page view and its document: they go
    // before the main window takes the view along.
    if (setup_dlg.IsValid())
        setup_dlg->Delete();
    if (sample_dlg.IsValid())
        sample_dlg->Delete();
    if (main_window.IsValid())
        main_window->Delete();
    if (splash_window.IsValid())
        splash_window->Delete();
    for (const ZuObjectRef& palette : {tool_palette, tool_palette2})
        if (palette.IsValid())
            palette->Delete();
    for (const CQuestionDlgRef& q : {question_file_save, question_file_delete, question_wait})
        if (q.IsValid())
            q->Delete();
    for (const CFilenameDlgRef& f : {filename_open, filename_save})
        if (f.IsValid())
            f->Delete();
    if (export_dlg.IsValid())
        export_dlg->Delete();
    if (def_dlg.IsValid())
        def_dlg->Delete();
    // The pages and layers palettes, the properties and print dialogs.
    for (const ZuObjectRef& dlg : {page_dlg, layer_dlg, property_dlg, print_dlg})
        if (dlg.IsValid())
            dlg->Delete();
    ReleaseHandles();
    ReleaseCommandDictionary();
    ZuApp::Delete();
}

AppRef App::Current()
{
    const ZuAppRef& app = ZuApp::Current();
    if (!app.IsValid() || !app->IsKindOf(AppRef::RetRuntime()))
        return AppRef();
    return AppRef(app);
}

void App::Initialise(bool build)
{
    // The interpreter's set-up is the longest part of the start: it runs
    // beside the windows' construction, and the page view's first need
    // waits for what is left of it.
    GSStartEarly();
    SetEditShell(this);
    const ZuLookManRef& look = ZuLookMan::Current();
    const ZuStringRef prefix("lumbra_");

    // The splash shows the generic sheet's picture, so that sheet comes
    // first; a sheet that does not load leaves its pictures out.
    if (look.IsValid())
        look->LoadAndParsePNG(ZuStringRef("%Zuvi%/lumbra_generic.png"), prefix);
    splash_window = ZuNew<CSplashWindow>(nullptr, __LINE__, kSource);
    splash_window->Open(450, 440);

    ZuApp::Initialise(build);

    if (look.IsValid()) {
        look->LoadAndParsePNG(ZuStringRef("%Zuvi%/lumbra_icons.png"), prefix);
        look->LoadAndParsePNG(ZuStringRef("%Zuvi%/lumbra_cursors.png"), prefix);
    }

    document = ZuNew<CDocument>(nullptr, __LINE__, kSource);
    document->Reset();

    main_window = ZuNew<CMainWindow>(nullptr, __LINE__, kSource);
    main_window->SetDocument(document);
    main_window->Create(40, 40, 768, 1024);

    // The tool palette and the pop-up palette, which the page view fills.
    CToolPaletteRef tools = ZuNew<CToolPalette>(nullptr, __LINE__, kSource);
    tools->Create(20, 100, false);
    tools->SetTitle(ZuStringRef("Outils"));
    tool_palette = tools;
    CToolPaletteRef popup = ZuNew<CToolPalette>(nullptr, __LINE__, kSource);
    popup->Create(400, 400, true);
    tool_palette2 = popup;

    // The pages and layers palettes, hidden until the main window's
    // buttons show them.
    CPageDlgRef pages = ZuNew<CPageDlg>(nullptr, __LINE__, kSource);
    pages->Create(false);
    pages->Hide(true);
    pages->SetTitle(ZuStringRef("Pages"));
    page_dlg = pages;
    CPageDlgRef layers = ZuNew<CPageDlg>(nullptr, __LINE__, kSource);
    layers->Create(true);
    layers->Hide(true);
    layers->SetTitle(ZuStringRef("Calques"));
    layer_dlg = layers;

    // The properties dialog, hidden until the command "SwapProperty".
    CPropertyDlgRef properties = ZuNew<CPropertyDlg>(nullptr, __LINE__, kSource);
    properties->Create(660, 320);
    property_dlg = properties;

    // The questions the page view asks while it works on files, and the
    // busy box shown meanwhile: no button, no key answers it.
    question_file_save = ZuNew<CQuestionDlg>(nullptr, __LINE__, kSource);
    question_file_save->Create(300, 400);
    question_file_save->Setup(ZuStringRef("question_file_save"), ZuStringRef("lumbra_IconQuestion"),
                              ZuStringRef("Oui"), ZuStringRef("Non"), ZuStringRef("Annuler"), 0, 2);
    question_file_delete = ZuNew<CQuestionDlg>(nullptr, __LINE__, kSource);
    question_file_delete->Create(300, 400);
    question_file_delete->Setup(ZuStringRef("question_file_delete"),
                                ZuStringRef("lumbra_IconWarning"), ZuStringRef("Oui"),
                                ZuStringRef("Non"), ZuStringNull, 0, 1);
    question_wait = ZuNew<CQuestionDlg>(nullptr, __LINE__, kSource);
    question_wait->Create(300, 400);
    question_wait->SetTitle(ZuStringRef("Occup\xe9"));
    question_wait->Setup(ZuStringRef("question_wait"), ZuStringRef("lumbra_IconOpen"), ZuStringNull,
                         ZuStringNull, ZuStringNull, -1, -1);

    filename_open = ZuNew<CFilenameDlg>(nullptr, __LINE__, kSource);
    filename_open->Create(300, 300);
    filename_open->Setup(ZuStringRef("filename_open"), false);
    filename_save = ZuNew<CFilenameDlg>(nullptr, __LINE__, kSource);
    filename_save->Create(300, 300);
    filename_save->Setup(ZuStringRef("filename_save"), true);

    // The settings dialog, hidden until the command "ChangeSetup".
    setup_dlg = ZuNew<CSetupDlg>(nullptr, __LINE__, kSource);
    setup_dlg->Create(350, 350);

    CPrintDlgRef print = ZuNew<CPrintDlg>(nullptr, __LINE__, kSource);
    print->Build(300, 300);
    print_dlg = print;

    export_dlg = ZuNew<CExportDlg>(nullptr, __LINE__, kSource);
    export_dlg->Build(300, 300);

    // The attributes dialog, hidden until the page view shows it.
    def_dlg = ZuNew<CDefDlg>(nullptr, __LINE__, kSource);
    def_dlg->Build(300, 300);

    // The samples palette, hidden until the page view shows it.
    CSampleDlgRef samples = ZuNew<CSampleDlg>(nullptr, __LINE__, kSource);
    samples->Build(250, 350);
    sample_dlg = samples;

    InstallDefaultDefinitions();

    main_window->ResetDisplay();
    splash_window->Hide(true);
    tools->Show(false);
}

bool App::QuitApplication()
{
    ZuEvent::PostQuitEvent();
    return true;
}

void App::SetClipboard(CTreeRef tree)
{
    clipboard = tree;
}

CTreeRef App::RetClipboard() const
{
    return clipboard;
}

void App::SetClipboardText(ZuStringRef text)
{
    clipboard_text = text;
}

ZuStringRef App::RetClipboardText() const
{
    return clipboard_text;
}

void App::EnableCommand(const char* command, bool enabled)
{
    ::EnableCommand(command, enabled);
}

void App::SetCommandCheck(const char* command, bool checked)
{
    ::SetCommandCheck(command, checked ? 1 : 0);
}

bool App::HasClipboardTree() const
{
    return clipboard.IsValid();
}

bool App::HasClipboardText() const
{
    return clipboard_text.IsValid();
}

namespace {

struct Rgb {
    double r;
    double g;
    double b;
};

// A colour definition holding the colours, each in the model, of which
// only the first is in use: the others stay stored for the index buttons.
CColorDefRef NewColours(const Rgb* colours, int n, int model)
{
    CColorDefRef def = ZuNew<CColorDef>(nullptr, __LINE__, kSource);
    def->SetCount(n);
    for (int i = 0; i < n; ++i) {
        def->SetIndex(i);
        def->SetRGB(colours[i].r, colours[i].g, colours[i].b);
        def->SetValue(model);
    }
    def->SetIndex(0);
    def->SetCount(1);
    return def;
}

} // namespace

void App::InstallDefaultDefinitions()
{
    if (def_dlg.IsInvalid())
        return;
    const auto install = [this](int kind, const ZuObjectRef& def) {
        def_dlg->SetDefinition(kind, CDefRef(def));
    };
    const auto motif = [](int value) {
        CMotifDefRef def = ZuNew<CMotifDef>(nullptr, __LINE__, kSource);
        def->SetValue(value);
        return def;
    };
    const auto arrow = [](int value) {
        CArrowDefRef def = ZuNew<CArrowDef>(nullptr, __LINE__, kSource);
        def->SetValue(value);
        return def;
    };
    const int hsb = CColorDef::MODEL_HSB;

    CPenDefRef pen = ZuNew<CPenDef>(nullptr, __LINE__, kSource);
    pen->SetWidth(0.5);
    install(10, pen);
    install(11, ZuNew<CPatternDef>(nullptr, __LINE__, kSource));
    install(12, ZuNew<CPulsarDef>(nullptr, __LINE__, kSource));
    const Rgb stroke[] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}};
    install(15, NewColours(stroke, 6, hsb));
    const Rgb fill[] = {{0, 1, 1},          {0, 0, 1}, {1, 0, 0},          {0, 1, 0},
                        {1, 1, 0},          {1, 0, 1}, {0.75, 0.75, 0.75}, {0.5, 0.5, 0.5},
                        {0.25, 0.25, 0.25}, {0, 0, 0}};
    install(25, NewColours(fill, 10, hsb));
    install(20, motif(60));
    install(21, ZuNew<CPatternDef>(nullptr, __LINE__, kSource));
    install(22, ZuNew<CPulsarDef>(nullptr, __LINE__, kSource));
    install(100, ZuNew<CPositionDef>(nullptr, __LINE__, kSource));
    const Rgb shadow[] = {{0.75, 0.75, 0.75}};
    install(105, NewColours(shadow, 1, CColorDef::MODEL_GRAY));
    install(101, motif(60));
    install(102, ZuNew<CPatternDef>(nullptr, __LINE__, kSource));
    install(50, ZuNew<CPolyRegDef>(nullptr, __LINE__, kSource));
    install(51, ZuNew<CArcDef>(nullptr, __LINE__, kSource));
    // Both corner kinds start from the same corner; each card edits a copy
    // of its own.
    CCornerDefRef corner = ZuNew<CCornerDef>(nullptr, __LINE__, kSource);
    install(30, corner);
    install(31, corner);
    install(40, arrow(66));
    install(41, arrow(67));
    install(120, ZuNew<CFontDef>(nullptr, __LINE__, kSource));
    const Rgb black[] = {{0, 0, 0}};
    install(125, NewColours(black, 1, hsb));
}

bool App::SetCurrentDefinition(int kind, const CDefRef& def)
{
    return def_dlg.IsValid() && def_dlg->SetDefinition(kind, def);
}

CDefRef App::RetCurrentDefinition(int kind) const
{
    return def_dlg.IsValid() ? def_dlg->RetDefinition(kind) : CDefRef();
}

void App::RedisplayDefinitions()
{
    if (def_dlg.IsValid())
        def_dlg->Redisplay();
}

void App::SetDefDlgUsedKinds(const int* used, const int* differing)
{
    if (def_dlg.IsValid())
        def_dlg->SetUsedKinds(used, differing);
}

// ---------------------------------------------------------------------------
// The pages and layers palettes, the properties dialog, as the editing
// engine asks for them.

namespace {

// The palette behind a handle; empty when the handle holds none.
CPageDlgRef AsPageDlg(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(CPageDlgRef::RetRuntime()) ? CPageDlgRef(o) : CPageDlgRef();
}

int ChildrenAt(const CDocumentRef& document, int page)
{
    if (document.IsInvalid() || document->GetTree().IsInvalid())
        return 0;
    CTreeNodeRef node;
    document->GetTree()->GetNode(node, page, -1);
    return node.IsValid() ? node->CountChildren() : 0;
}

void UpdatePalette(const CPageDlgRef& palette, int current, int count)
{
    if (palette.IsInvalid())
        return;
    palette->SetCurrent(current);
    palette->SetCount(count);
    palette->UpdateButtons();
}

} // namespace

CPropertyDlgRef App::PropertyDlg() const
{
    return property_dlg.IsValid() && property_dlg->IsKindOf(CPropertyDlgRef::RetRuntime())
               ? CPropertyDlgRef(property_dlg)
               : CPropertyDlgRef();
}

bool App::IsPropertyDlgVisible() const
{
    const CPropertyDlgRef dlg = PropertyDlg();
    return dlg.IsValid() && dlg->IsVisible();
}

void App::ShowSelectionProperties(const CSelectObjectRef& selection, const CGraObjectRef& single)
{
    const CPropertyDlgRef dlg = PropertyDlg();
    if (dlg.IsValid())
        dlg->UpdateSelection(single, selection.IsValid() ? selection->GetSelectedCount() : 0);
}

void App::RefreshObjectProperties(const CGraObjectRef& object, const DPoint&, int option)
{
    // The option is the row being edited, which keeps what the user types.
    const CPropertyDlgRef dlg = PropertyDlg();
    if (dlg.IsValid())
        dlg->UpdateValues(object, option);
}

void App::UpdatePageDialog(const CSelectObjectRef& selection)
{
    if (selection.IsInvalid() || selection->RetViewSettings().IsInvalid())
        return;
    UpdatePalette(AsPageDlg(page_dlg), selection->RetViewSettings()->current_page,
                  ChildrenAt(selection->RetDocument(), -1));
}

void App::UpdateLayerDialog(const CSelectObjectRef& selection)
{
    if (selection.IsInvalid() || selection->RetViewSettings().IsInvalid())
        return;
    const CViewRef& view = selection->RetViewSettings();
    UpdatePalette(AsPageDlg(layer_dlg), view->current_layer,
                  ChildrenAt(selection->RetDocument(), view->current_page));
}

void App::SetSampleDlgUsedKinds(const int* used, const int* differing)
{
    if (sample_dlg.IsValid() && sample_dlg->IsKindOf(CSampleDlgRef::RetRuntime()))
        CSampleDlgRef(sample_dlg)->SetUsedKinds(used, differing);
}
