// App: the drawing program's application object, made by the library's
// start-up under the class name "App". Its Initialise builds, once, what the
// user sees (the picture sheets, the splash, the document, the main window,
// the palettes and the dialogs); afterwards it is where the page view, the
// selection, the panes and the dialogs find each other, and it holds the
// two clipboards. It is the editing engine's shell (IEditShell) from
// Initialise until it goes.
//
// Initialise makes every shell object. The palettes and the pages, layers,
// samples, properties and print dialogs are held by the library's generic
// handle, and their users check the class; before Initialise and after
// Delete every handle is empty and its users skip it.
#ifndef LUMBRA_APP_APP_H
#define LUMBRA_APP_APP_H

#include "app/defdlg.h"
#include "app/document.h"
#include "app/exportdlg.h"
#include "app/filenamedlg.h"
#include "app/questiondlg.h"
#include "app/setupdlg.h"
#include "app/editshell.h"
#include "app/mainwindow.h"
#include "app/splashwindow.h"
#include "app/tree.h"
#include "si/app.h"
#include "si/string.h"

ZU_FORWARD(CPropertyDlg)

ZU_HANDLE(App, ZuApp)
class App : public ZuApp, public IEditShell {
    ZU_CLASS(App, ZuApp)
public:
    App();
    ~App() override;

    // The running program's application; empty when the current
    // application is not an App.
    static AppRef Current();

    // Builds the shell (see app.cpp for the order); build goes on to
    // ZuApp::Initialise unchanged.
    void Initialise(bool build) override;

    // Called by name: posts the quit event and answers true, asking
    // nothing.
    bool QuitApplication();

    // The object clipboard (cut and copy of the selection) and the text
    // clipboard (cut and copy while a text is edited).
    void SetClipboard(CTreeRef tree) override;
    CTreeRef RetClipboard() const override;
    void SetClipboardText(ZuStringRef text);
    ZuStringRef RetClipboardText() const;

    // Copies of the shell's handles.
    ZuObjectRef RetToolPalette() const { return tool_palette; }
    ZuObjectRef RetToolPalette2() const { return tool_palette2; }
    ZuObjectRef RetPageDlg() const { return page_dlg; }
    ZuObjectRef RetLayerDlg() const { return layer_dlg; }
    CDefDlgRef RetDefDlg() const { return def_dlg; }
    ZuObjectRef RetSampleDlg() const { return sample_dlg; }
    CSetupDlgRef RetSetupDlg() const { return setup_dlg; }
    ZuObjectRef RetPropertyDlg() const { return property_dlg; }
    CFilenameDlgRef RetFilenameOpen() const { return filename_open; }
    CFilenameDlgRef RetFilenameSave() const { return filename_save; }
    CQuestionDlgRef RetQuestionFileSave() const { return question_file_save; }
    CQuestionDlgRef RetQuestionFileDelete() const { return question_file_delete; }
    CQuestionDlgRef RetQuestionWait() const { return question_wait; }
    ZuObjectRef RetPrintDlg() const { return print_dlg; }
    CExportDlgRef RetExportDlg() const { return export_dlg; }
    CSplashWindowRef RetSplashWindow() const { return splash_window; }
    // The document and the main window have no accessor in the program;
    // tests and the bench look at them through these.
    CDocumentRef RetDocument() const { return document; }
    // The page view hands over the document it opened or converted.
    void SetDocument(const CDocumentRef& d) { document = d; }
    CMainWindowRef RetMainWindowObject() const { return main_window; }

    // The editing engine's questions (IEditShell).
    void EnableCommand(const char* command, bool enabled) override;
    void SetCommandCheck(const char* command, bool checked) override;
    bool HasClipboardTree() const override;
    bool HasClipboardText() const override;
    // The editing engine's side of the attributes dialog.
    bool SetCurrentDefinition(int kind, const CDefRef& def) override;
    CDefRef RetCurrentDefinition(int kind) const override;
    void RedisplayDefinitions() override;
    void SetDefDlgUsedKinds(const int* used, const int* differing) override;

    // The selection's attribute kinds reach the samples palette.
    void SetSampleDlgUsedKinds(const int* used, const int* differing) override;

    void Delete() override;

    // The pages and layers palettes and the properties dialog kept in step
    // with the selection (IEditShell).
    void UpdatePageDialog(const CSelectObjectRef& selection) override;
    void UpdateLayerDialog(const CSelectObjectRef& selection) override;
    bool IsPropertyDlgVisible() const override;
    void ShowSelectionProperties(const CSelectObjectRef& selection,
                                 const CGraObjectRef& single) override;
    void RefreshObjectProperties(const CGraObjectRef& object, const DPoint& position,
                                 int option) override;

private:
    // The shell's handles, in the order the shell builds on.
    CDocumentRef document;
    CMainWindowRef main_window;
    CTreeRef clipboard;
    ZuStringRef clipboard_text;
    ZuObjectRef tool_palette;
    ZuObjectRef tool_palette2;
    ZuObjectRef page_dlg;
    ZuObjectRef layer_dlg;
    CDefDlgRef def_dlg;
    ZuObjectRef sample_dlg;
    CSetupDlgRef setup_dlg;
    ZuObjectRef property_dlg;
    CFilenameDlgRef filename_open;
    CFilenameDlgRef filename_save;
    CQuestionDlgRef question_file_save;
    CQuestionDlgRef question_file_delete;
    CQuestionDlgRef question_wait;
    ZuObjectRef print_dlg;
    CExportDlgRef export_dlg;
    CSplashWindowRef splash_window;

    void ReleaseHandles();
    // The definitions every new object starts with, in the attributes
    // dialog.
    void InstallDefaultDefinitions();
    // The properties dialog behind its handle; empty without one.
    CPropertyDlgRef PropertyDlg() const;
};
ZU_CLASS_END(App)

#endif
