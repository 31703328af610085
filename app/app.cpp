#include "app/app.h"

#include "app/commands.h"
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
    export_dlg = ZuObjectRef();
    print_dlg = ZuObjectRef();
    question_wait = ZuObjectRef();
    question_file_delete = ZuObjectRef();
    question_file_save = ZuObjectRef();
    filename_save = ZuObjectRef();
    filename_open = ZuObjectRef();
    property_dlg = ZuObjectRef();
    setup_dlg = ZuObjectRef();
    sample_dlg = ZuObjectRef();
    def_dlg = ZuObjectRef();
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
    if (main_window.IsValid())
        main_window->Delete();
    if (splash_window.IsValid())
        splash_window->Delete();
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

    // Still to come, each filling its handle here: the tool palette
    // ("Outils", at 20, 100) and the second palette (400, 400); the pages
    // and layers palettes ("Pages", "Calques", hidden); the properties
    // dialog (660, 320); the three question boxes "question_file_save",
    // "question_file_delete" and "question_wait" (300, 400); the file-name
    // dialogs "filename_open" and "filename_save" (300, 300); the settings
    // (350, 350), print, export and attributes dialogs (300, 300) and the
    // samples dialog (250, 350); then the default definitions installed in
    // the attributes dialog.

    main_window->ResetDisplay();
    splash_window->Hide(true);
    // The tool palette is shown here once there is one.
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
