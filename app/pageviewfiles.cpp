// The page view's documents: new, open, save, save as and quit, with the
// conversation that keeps a changed document from being lost (a question
// before it is dropped, a question before a file is replaced, a busy box
// while the work runs).
//
// Nothing a failure meets is lost: a save goes through a temporary file
// renamed over the name, so the old file stays whole when it fails; an
// opening reads into a new document that replaces the shown one only when
// the whole file was read. Either failure is told in a message box that
// names the file and the cause.
#include "app/app.h"
#include "app/filenamedlg.h"
#include "app/pageview.h"
#include "app/questiondlg.h"
#include "app/tree.h"
#include "sd/win32/sd_system.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/except.h"
#include "si/fileatt.h"
#include "si/fileinfo.h"
#include "si/fileread.h"
#include "si/rtclass.h"
#include "si/window.h"

#include <string>
#include <vector>

ZU_EXPORT_ACTOR(CPageView, FileNew)
ZU_EXPORT_ACTOR(CPageView, FileOpen)
ZU_EXPORT_ACTOR(CPageView, FileSave)
ZU_EXPORT_ACTOR(CPageView, FileSaveAs)
ZU_EXPORT_ACTOR(CPageView, FileQuit)
ZU_EXPORT_OBSERVER(CPageView, AsyncQuestionFileSaveYes)
ZU_EXPORT_OBSERVER(CPageView, AsyncQuestionFileSaveNo)
ZU_EXPORT_OBSERVER(CPageView, AsyncFilenameOpen)
ZU_EXPORT_OBSERVER(CPageView, AsyncFilenameSave)
ZU_EXPORT_OBSERVER(CPageView, AsyncQuestionFileDeleteYes)
ZU_EXPORT_OBSERVER(CPageView, AsyncQuestionFileDeleteNo)

namespace {

const char kExtension[] = ".lumbra";
const char kOlderExtension[] = ".ravona";
const unsigned kExtensionLength = 7;

AppRef TheApp()
{
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsInvalid() || !app->IsKindOf(AppRef::RetRuntime()))
        return AppRef();
    return AppRef(ZuObjectRef(app));
}

// A new string holding the same characters.
ZuStringRef CopyOf(const ZuStringRef& name)
{
    ZuStringRef copy("");
    copy->SetString(name, 0);
    return copy;
}

// The name's last seven characters lowered (empty for a shorter name).
std::string Tail(const ZuStringRef& name)
{
    if (name.IsInvalid() || name->CharacterCount() < kExtensionLength)
        return std::string();
    ZuStringRef tail;
    if (!name->MakeRight(kExtensionLength, tail) || tail.IsInvalid())
        return std::string();
    tail->ConvertToLower();
    return tail->AccessLatin();
}

bool IsDirectory(const ZuStringRef& name)
{
    const ZuFileInfoRef info = ZuFileInfo::AboutFile(name);
    return info.IsValid() && info->RetExists() &&
           info->RetInfo().attributes.TestBit(ZU_FATT_DIRECTORY);
}

bool Exists(const ZuStringRef& name)
{
    const ZuFileInfoRef info = ZuFileInfo::AboutFile(name);
    return info.IsValid() && info->RetExists();
}

// The folder part of a name ("." when it has none).
ZuStringRef FolderOf(const ZuStringRef& name)
{
    unsigned pos = name->CharacterCount();
    while (pos > 0 && name->RetCharacter(pos - 1) != '/')
        --pos;
    if (pos == 0)
        return ZuStringRef(".");
    ZuStringRef folder;
    name->MakeLeft(pos == 1 ? 1 : pos - 1, folder);
    return folder;
}

// Why a save failed, as far as the file system tells.
const char* SaveCause(const ZuStringRef& name)
{
    if (IsDirectory(name))
        return "ce nom est celui d'un dossier";
    if (!IsDirectory(FolderOf(name)))
        return "le dossier n'existe pas";
    return "l'\xe9"
           "criture a \xe9"
           "chou\xe9"
           " (acc\xe8"
           "s refus\xe9 ou disque plein)";
}

// Why an opening failed.
const char* OpenCause(const ZuStringRef& name)
{
    if (IsDirectory(name))
        return "ce nom est celui d'un dossier";
    if (!Exists(name))
        return "le fichier n'existe pas";
    if (!CPageView::FileExists(name))
        return "la lecture est refus\xe9"
               "e";
    return "ce n'est pas un document Lumbra complet";
}

// The commands keep their check marks and availability up to date as
// each of them changes something; a document taken as a whole, with its
// view settings, changes them all at once.
void UpdateCommandStates(const CSelectObjectRef& selection)
{
    if (selection.IsValid())
        selection->UpdateAllCommands();
}

} // namespace

// ---------------------------------------------------------------------------
// Busy box, messages, title
// ---------------------------------------------------------------------------

void CPageView::ShowBusy(const char* icon, const char* text)
{
    SetPointerShape(-2);
    const AppRef app = TheApp();
    if (app.IsInvalid() || app->RetQuestionWait().IsInvalid())
        return;
    const CQuestionDlgRef busy = app->RetQuestionWait();
    busy->Setup(ZuStringRef("question_wait"), ZuStringRef(icon), ZuStringNull, ZuStringNull,
                ZuStringNull, -1, -1);
    busy->Open(RetWindow(), ZuStringRef(text));
}

void CPageView::CloseBusy()
{
    const AppRef app = TheApp();
    if (app.IsValid() && app->RetQuestionWait().IsValid())
        app->RetQuestionWait()->Close();
    SetPointerShape(-1);
}

void CPageView::ShowFileError(const char* what, const ZuStringRef& name, const char* cause)
{
    std::string text = "Le fichier ";
    text += name.IsValid() ? name->AccessLatin() : "";
    text += what;
    text += cause;
    text += ".";
    MessageBoxA(nullptr, text.c_str(), "Lumbra", MB_OK | MB_ICONERROR);
}

void CPageView::ShowSaveFailure(const ZuStringRef& name)
{
    ShowFileError(" n'a pas pu \xea"
                  "tre enregistr\xe9 : ",
                  name, SaveCause(name));
}

void CPageView::UpdateTitle()
{
    ZuStringRef title("Lumbra");
    if (fileName.IsValid()) {
        title->AppendString(" - ");
        title->AppendString(fileName);
    }
    if (mainWindow.IsValid())
        mainWindow->SetTitle(title);
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

namespace {

void AskToSave(const CPageViewRef& view, const ZuStringRef& fileName)
{
    const AppRef app = TheApp();
    if (app.IsInvalid() || app->RetQuestionFileSave().IsInvalid())
        return;
    ZuStringRef text("Le fichier ");
    if (fileName.IsValid())
        text->AppendString(fileName);
    else
        text->AppendString("en cours");
    text->AppendString(" a chang\xe9.\nVoulez-vous enregistrer les changements ?");
    app->RetQuestionFileSave()->Open(view->RetWindow(), text);
}

void AskForName(const CPageViewRef& view, bool save, const ZuStringRef& name)
{
    const AppRef app = TheApp();
    if (app.IsInvalid())
        return;
    const CFilenameDlgRef dialog = save ? app->RetFilenameSave() : app->RetFilenameOpen();
    if (dialog.IsInvalid())
        return;
    dialog->SetFilename(name.IsValid() ? name : ZuStringRef(""));
    dialog->Open(view->RetWindow());
}

} // namespace

bool CPageView::FileQuit()
{
    pendingFileAction = FILE_QUIT;
    if (document.IsValid() && document->IsModified()) {
        AskToSave(CPageViewRef(this), fileName);
        return true;
    }
    return Quit();
}

bool CPageView::FileNew()
{
    pendingFileAction = FILE_NEW;
    if (document.IsValid() && document->IsModified()) {
        AskToSave(CPageViewRef(this), fileName);
        return true;
    }
    return NewDocument();
}

bool CPageView::FileOpen()
{
    pendingFileAction = FILE_OPEN;
    if (document.IsValid() && document->IsModified())
        AskToSave(CPageViewRef(this), fileName);
    else
        AskForName(CPageViewRef(this), false, ZuStringRef(""));
    return true;
}

bool CPageView::FileSave()
{
    pendingFileAction = FILE_SAVE;
    if (fileName.IsValid())
        return SaveDocument(CopyOf(fileName));
    return FileSaveAs();
}

bool CPageView::FileSaveAs()
{
    pendingFileAction = FILE_SAVE_AS;
    AskForName(CPageViewRef(this), true, fileName.IsValid() ? fileName : ZuStringRef(""));
    return true;
}

// ---------------------------------------------------------------------------
// Answers
// ---------------------------------------------------------------------------

bool CPageView::AsyncQuestionFileSaveYes(const ZuObjectRef&, unsigned)
{
    if (fileName.IsInvalid()) {
        AskForName(CPageViewRef(this), true, ZuStringRef(""));
        return true;
    }
    if (SaveDocument(CopyOf(fileName)))
        ContinueFileAction();
    return true;
}

bool CPageView::AsyncQuestionFileSaveNo(const ZuObjectRef&, unsigned)
{
    // The changes are dropped.
    ContinueFileAction();
    return true;
}

bool CPageView::AsyncFilenameOpen(const ZuObjectRef& source, unsigned)
{
    const AppRef app = TheApp();
    ZuStringRef name;
    if (!CheckFileName(app.IsValid() ? ZuObjectRef(app->RetFilenameOpen()) : source, name))
        return true;
    OpenDocument(name);
    return true;
}

bool CPageView::AsyncFilenameSave(const ZuObjectRef& source, unsigned)
{
    const AppRef app = TheApp();
    ZuStringRef name;
    if (!CheckFileName(app.IsValid() ? ZuObjectRef(app->RetFilenameSave()) : source, name))
        return true;
    if (FileExists(name)) {
        if (app.IsValid() && app->RetQuestionFileDelete().IsValid()) {
            ZuStringRef text("Le fichier ");
            text->AppendString(name);
            text->AppendString(" existe d\xe9j\xe0.\nVoulez-vous le remplacer ?");
            app->RetQuestionFileDelete()->Open(RetWindow(), text);
        }
        return true;
    }
    if (SaveDocument(name))
        ContinueFileAction();
    return true;
}

bool CPageView::AsyncQuestionFileDeleteYes(const ZuObjectRef&, unsigned)
{
    const AppRef app = TheApp();
    if (app.IsInvalid())
        return true;
    ZuStringRef name;
    if (!CheckFileName(ZuObjectRef(app->RetFilenameSave()), name))
        return true;
    if (SaveDocument(name))
        ContinueFileAction();
    return true;
}

bool CPageView::AsyncQuestionFileDeleteNo(const ZuObjectRef&, unsigned)
{
    // The file is not replaced, so nothing was saved: the quit, new or
    // open waiting on the save does not go on, and the document stays
    // open with its changes.
    return true;
}

bool CPageView::ContinueFileAction()
{
    switch (pendingFileAction) {
    case FILE_QUIT:
        return Quit();
    case FILE_NEW:
        return NewDocument();
    case FILE_OPEN:
        AskForName(CPageViewRef(this), false, ZuStringRef(""));
        return true;
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------
// Names
// ---------------------------------------------------------------------------

bool CPageView::CheckFileName(const ZuObjectRef& dialog, ZuStringRef& out)
{
    if (dialog.IsInvalid() || !dialog->IsKindOf(CFilenameDlgRef::RetRuntime()))
        return false;
    const CFilenameDlgRef d(dialog);
    const ZuAtomRef user = d->RetUserName();
    const bool save = user.IsValid() && std::string(user->RetText()) == "filename_save";
    return CheckFileName(d->RetFilename(), save, out);
}

bool CPageView::CheckFileName(const ZuStringRef& name, bool save, ZuStringRef& out)
{
    out = ZuStringRef();
    if (name.IsInvalid() || name->CharacterCount() == 0)
        return false;
    out = CopyOf(name);
    const std::string tail = Tail(out);
    if (tail == kExtension)
        return true;
    if (tail == kOlderExtension) {
        if (!save)
            return true;
        // That format is read, never written.
        out->DeleteString(out->CharacterCount() - kExtensionLength, kExtensionLength);
    }
    out->InsertString(out->CharacterCount(), kExtension);
    return true;
}

bool CPageView::FileExists(const ZuStringRef& name)
{
    if (name.IsInvalid() || name->CharacterCount() == 0)
        return false;
    const ZuFileReadRef file = ZuNew<ZuFileRead>();
    try {
        file->Open(name);
    } catch (const ZuExcStream&) {
        return false;
    }
    file->Close();
    return true;
}

// ---------------------------------------------------------------------------
// New, open, save, quit
// ---------------------------------------------------------------------------

void CPageView::ApplyNewViewSettings(const CViewRef& v)
{
    v->zoom = ZOOM_100;
    v->x = 0.5;
    v->y = 0.5;
    v->switches[CView::SHOW_GRID] = false;
    v->switches[CView::GRID_MAGNETISM] = false;
    v->values[4] = 10.0;
    v->values[5] = 10.0;
    v->ClearZoomHistory();
}

void CPageView::TakeDocument(const CDocumentRef& doc)
{
    if (selection.IsValid()) {
        // An object being drawn belongs to the document that goes.
        selection->DropCreated();
        ClearFeedback();
        while (selection->GetEnteredDepth() > 0 && selection->GroupGoOut()) {}
        selection->EndSelection();
    }
    if (mainWindow.IsValid())
        mainWindow->SetDocument(doc);
    else
        SetDocument(doc);
    if (const AppRef app = TheApp(); app.IsValid())
        app->SetDocument(doc);
    if (selection.IsValid())
        selection->ClearUndo();
}

bool CPageView::NewDocument()
{
    ShowBusy("lumbra_IconInfo", "\nNouveau document en cours ...");
    if (selection.IsValid()) {
        selection->DropCreated();
        ClearFeedback();
        while (selection->GetEnteredDepth() > 0 && selection->GroupGoOut()) {}
        selection->EndSelection();
        selection->ClearUndo();
    }
    if (document.IsValid()) {
        document->Reset();
        document->SetModified(false);
    }
    fileName = ZuStringRef();
    InitDocumentTree();
    ApplyNewViewSettings(viewSettings);
    RefreshTool();
    UpdateStatus();
    UpdateScrollers();
    UpdateRulers();
    UpdateZoomText();
    UpdateSetupDlg(0, 0);
    UpdateSampleDlg(true);
    UpdateTitle();
    UpdateCommandStates(selection);
    converted = false;
    renderNeeded = true;
    RefreshDisplay(true);
    CloseBusy();
    return true;
}

bool CPageView::OpenDocument(const ZuStringRef& name)
{
    if (name.IsInvalid() || name->CharacterCount() == 0)
        return false;
    if (Tail(name) == kOlderExtension) {
        if (!ConvertRavona(name))
            return false;
        // The older file brings its own grid.
        UpdateCommandStates(selection);
        return true;
    }
    ShowBusy("lumbra_IconOpen", "\nOuverture en cours ...");
    const CDocumentRef doc = CDocument::ReadFile(name);
    if (doc.IsInvalid()) {
        CloseBusy();
        ShowFileError(" n'a pas pu \xea"
                      "tre ouvert : ",
                      name, OpenCause(name));
        return false;
    }
    TakeDocument(doc);
    document->SetModified(false);
    fileName = CopyOf(name);
    UpdateTitle();
    renderNeeded = true;
    RefreshDisplay(true);
    RefreshTool();
    UpdateScrollers();
    UpdateRulers();
    UpdateZoomText();
    UpdateSetupDlg(0, 0);
    UpdateSampleDlg(true);
    viewSettings->current_page = 0;
    viewSettings->current_layer = 0;
    if (selection.IsValid()) {
        selection->UpdatePageDialog();
        selection->UpdateLayerDialog();
    }
    UpdateCommandStates(selection);
    CloseBusy();
    return true;
}

bool CPageView::SaveDocument(const ZuStringRef& name)
{
    if (document.IsInvalid() || name.IsInvalid() || name->CharacterCount() == 0)
        return false;
    ShowBusy("lumbra_IconSave", "\nEnregistrement en cours ...");
    if (selection.IsValid() && selection->EndSelection()) {
        UpdateStatus();
        renderNeeded = true;
    }
    if (!document->WriteFile(name)) {
        CloseBusy();
        ShowSaveFailure(name);
        return false;
    }
    document->SetModified(false);
    fileName = CopyOf(name);
    UpdateTitle();
    CloseBusy();
    return true;
}

bool CPageView::Quit()
{
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsValid()) {
        // Closing a window may take it out of the list: the windows are
        // gathered first.
        std::vector<ZuWindowRef> windows;
        for (unsigned i = 0;; ++i) {
            ZuWindowRef w = app->RetWindow(i);
            if (w.IsInvalid())
                break;
            windows.push_back(w);
        }
        for (const ZuWindowRef& w : windows)
            w->Close();
    }
    ZuEvent::PostQuitEvent();
    return true;
}
