// CPageView: the working area of the document window. It shows the current
// page of the document through its Ghostscript view: the page is described
// in PostScript through the main port and rendered by the interpreter into
// the view's context, and the view draws its own marks (guides, grid dots,
// zoom rectangle, text caret, the feedback image's outlines, handles, the
// reticle) over the copy in window pixels, so that moving a mark only
// recomposes the window.
//
// Geometry: page coordinates are millimetres with the origin at the centre
// of the page, y upwards; the page lies in the middle of the document's
// work area. The zoom (pixels per millimetre, 0.01 to 100) and the scroll
// positions (0 to 1) live in the document's view settings; the image size
// is the context's. Values that come from files (a zoom, a position, a
// grid step or a page side that is 0, negative, infinite or not a number)
// are clamped or switched off where they are read: nothing divides by
// zero and no loop runs on a bad step.
//
// The view is driven by name: the menus, the tool bar, its scrollers and
// zoom entry and the application's asynchronous events call its exported
// handlers, and scripts call "OpenDocument" and "ExportDocument".
//
// This file and app/pageview.cpp hold the view's set-up, geometry, zoom,
// scrolling and rendering; its other operations are spread by topic over
// app/pageviewinput, pageviewgestures, pageviewtools, pageviewfind (input,
// tools, searches), pageviewedit (editing commands, status line),
// pageviewfiles, pageviewcommands, pageviewravona (documents, view
// commands, older drawings), pageview_pages, pageview_rulers,
// pageview_properties, pageview_samples and pageview_export (printing and
// export).
#ifndef LUMBRA_APP_PAGEVIEW_H
#define LUMBRA_APP_PAGEVIEW_H

#include "app/colordef.h"
#include "app/document.h"
#include "app/graport.h"
#include "app/ichangeunit.h"
#include "app/mainwindow.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/pendef.h"
#include "app/selectobject.h"
#include "app/toolinput.h"
#include "app/treenode.h"
#include "app/view.h"
#include "ghost/gsview.h"
#include "si/colorpixel.h"
#include "si/scroller.h"
#include "si/string.h"
#include "si/textline.h"

#include <atomic>
#include <functional>

ZU_HANDLE(CPageView, GSView)

class CPageView : public GSView, public IChangeUnit {
    ZU_CLASS(CPageView, GSView)
public:
    // Zoom of one pixel per PostScript point (100 per cent).
    static constexpr double ZOOM_100 = 2.834645669291339;
    static constexpr double ZOOM_MIN = 0.01;
    static constexpr double ZOOM_MAX = 100.0;

    CPageView();
    ~CPageView() override;
    void Delete() override;

    // ---- Set-up and documents
    // Takes the main window's controls (the empty handles of a window
    // that has none are skipped): a new document tree, the view as the
    // application's "Document", the observers on the two scrollers and
    // the zoom entry, the fourteen asynchronous paths. Always true.
    bool Init(const CMainWindowRef& mainWindow);
    // The controls that Init takes from the main window, for a view that
    // lies in a plain window.
    void SetControls(const ZuScrollerRef& h, const ZuScrollerRef& v, const ZuTextLineRef& zoom);
    // One page holding one layer, current page and layer 0.
    void InitDocumentTree();
    void SetDocument(const CDocumentRef& document);
    bool ResetDisplay();
    void RefreshDisplay(bool delayed);
    // -1 normal, -2 busy, 0 and up the tool sprite "lumbra_Sprite%.2d".
    void SetPointerShape(int code);
    int RetPointerShape() const { return cursorCode; }
    void SetGlassMode(bool on);
    bool IsGlassMode() const { return glassMode; }
    void SetHandMode(bool on);
    bool IsHandMode() const { return handMode; }
    int RetPaletteTool(int selector);
    void SetPaletteTool(int selector, int code);
    int RetPaletteToolGroup(int code);
    void SetPaletteToolGroup(int code, int group);
    void RefreshTool();
    CDocumentRef RetDocument() const { return document; }
    CViewRef RetView() const { return viewSettings; }
    CSelectObjectRef RetSelectObject() const { return selection; }
    CGraPortRef RetMainPort() const { return mainPort; }
    CGraPortRef RetOverlayPort() const { return overlayPort; }
    const GSContextRef& RetInteractionContext() const { return interactionContext; }
    bool HasDocument() const { return hasDocument; }
    bool IsRenderNeeded() const { return renderNeeded; }
    void SetRenderNeeded(bool needed) { renderNeeded = needed; }

    // ---- Auto scroll
    virtual void StartAutoScroll();
    virtual void StopAutoScroll();
    bool IsAutoScrolling() const { return autoScrollOn; }
    void Tick(unsigned id) override;
    // The last pointer position (window pixels) and whether a button is
    // held: what the auto scroll follows.
    void SetPointer(const DPoint& p, bool down)
    {
        pointerPos = p;
        buttonDown = down;
    }

    // ---- View coordinates
    void ViewToPage(DPoint& p);
    void PageToView(DPoint& p);
    void PageToViewLocal(DPoint& p);
    void RetVisibleRect(DRect& out);
    void PageToScroll(const DPoint& q, double& x, double& y);
    void CentreOn(const DPoint& q);
    bool IsNear(const DPoint& a, const DPoint& b);
    // The zoom (clamped to 0.01 .. 100), the positions (0 .. 1), the work
    // area and page sides (1 mm at least) as the geometry uses them.
    double RetZoom() const;
    double RetScrollX() const;
    double RetScrollY() const;
    double RetVisibleRatioX();
    double RetVisibleRatioY();

    // ---- Zoom
    bool SetZoom(double scaled, bool apply);
    void SetZoomFactor(double factor, bool apply);
    void UpdateZoomText();
    double RetZoomPercent() const { return RetZoom() * 100.0; }
    void FitFactor(const DPoint& a, const DPoint& b, double& factor, DPoint& centre);
    bool GlassMin();
    bool Glass100();
    bool GlassMax();
    bool GlassPage();
    bool GlassSel();
    bool GlassPrev();
    bool ZoomIn();
    bool ZoomOut();
    // The zoom entry's text: its digits, in order, read as a percentage.
    bool OnEditZoom();

    // ---- Scrolling
    bool SetScrollX(double x);
    bool SetScrollY(double y);
    void UpdateScrollers();
    bool OnScrollH();
    bool OnScrollV();
    bool AutoScroll(const DPoint& p, double margin);
    bool ScrollToShow(const DPoint& p, double margin) { return AutoScroll(p, margin); }

    // ---- Rulers, magnetism, ports, colours
    void UpdateRulerScales();
    void UpdateRulers();
    void ShowRulerMarks(const DPoint& p);
    void ClearRulerMarks();
    DPoint MagnetizePoint(const DPoint& p, const DPoint& origin);
    DPoint Magnetize(const DPoint& p);
    void SetPortTransform(const CGraPortRef& port);
    void ContrastRGB(double& r, double& g, double& b) const;
    void MakeDrawColor(const CColorDefRef& colour, ZuColorPixel& pixel, bool contrast) const;
    void ContrastColorDef(const CColorDefRef& source, const CColorDefRef& target) const;

    // ---- Rendering and the window image
    // The render run: the current page into the context; true.
    bool RenderPage();
    void Draw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op) override;
    using GSView::Draw;
    void Compose(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op);
    bool AsyncDrawEventHandler();
    void Redraw(bool render);
    void ResizeRendering();
    void RefreshInteraction();
    // Makes the context, the image the size of the view (its width rounded
    // up to 8 pixels), when there is none.
    void SetupRendering();
    void SetPendingDraw(const ZuGrailPortRef& port, const ZuRect& area, ZuDrawOp op);

    // The marks the input handlers show over the image (page points).
    struct Overlay {
        bool zoomRect = false;
        DPoint zoomCorners[2] = {};
        bool rubberLine = false;
        DPoint rubberEnds[2] = {};
        bool editCursor = false;
        DPoint cursorEnds[2] = {};
        int editStep = 0;
        bool suppressHandles[3] = {false, false, false};
        bool hotHandle = false;
        DPoint hotPoint = {};
        int hotKind = 0;
        DPoint lonePoint = {};
        int loneKind = 0;
    };
    Overlay& RetOverlay() { return overlay; }
    // The image of a handle kind in the program's handle sheet.
    static const char* HandleImageName(int kind);
    void SetRightButtonHeld(bool held) { rightButtonHeld = held; }

    // ---- Script exports
    // Opens the document file (a ".ravona" drawing is converted), and
    // exports the page into an image file; false, with the failure told,
    // when nothing was opened or written (app/pageviewfiles.cpp,
    // app/pageview_export.cpp).
    virtual bool OpenDocument(const ZuStringRef& name);
    virtual bool ExportDocument(const ZuStringRef& name, uint32_t dpi, uint32_t bpp,
                                const ZuStringRef& device, uint32_t aa, double zoom);

    // IChangeUnit: the rulers and the status line follow the new unit.
    void ChangeUnit(int unit) override;

    // ---- Tools and input (app/pageviewtools.cpp, pageviewinput.cpp,
    // pageviewgestures.cpp, pageviewfind.cpp)
    // The palette laid out for page 0, 1 or 2 (any other: 0).
    void UpdateTool(int page);
    // A click on a palette entry (also code 7 with an empty event).
    virtual void ClickTool(int code, const ZuEventRef& event);
    // 1 Control, 2 Shift, 4 Meta 1.
    static int RetModifiers(const ZuEventRef& event);
    // The two palettes (CToolPalette); without them the application's.
    void SetToolPalettes(const ZuObjectRef& tools, const ZuObjectRef& popup);
    ZuObjectRef RetToolPalette(int which);
    void SetContextPaletteShown(bool shown) { input.contextPaletteShown = shown; }
    // Runs a handler of the view by its exported name; false when the
    // view has none.
    virtual bool RunCommand(const char* name);
    CToolInput& RetInput() { return input; }
    void KeyDown(const ZuEventRef& event) override;
    void KeyUp(const ZuEventRef& event) override;
    void KeyChange(const ZuEventRef& event) override;
    void ButtonPress(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void MotionNotify(const ZuEventRef& event) override;
    void EnterNotify(const ZuEventRef& event) override;
    void LeaveNotify(const ZuEventRef& event) override;
    void ClearFeedback();
    void DrawReticle(const ZuGrailPortRef& port);
    bool IsClick(const DPoint& a, const DPoint& b);
    // Gestures.
    void SelectPress(const DPoint& p, int mask);
    void SelectDrag(const DPoint& p, int mask);
    void SelectRelease(const DPoint& p, int mask);
    void DrawPress(const DPoint& p, int mask);
    void DrawDrag(const DPoint& p, int mask);
    void DrawRelease(const DPoint& p, int mask);
    void EditPress(const DPoint& p, int mask);
    void EditDrag(const DPoint& p, int mask);
    void EditRelease(const DPoint& p, int mask);
    void GlassPress(const DPoint& p, int mask);
    void GlassDrag(const DPoint& p, int mask);
    void GlassRelease(const DPoint& p, int mask);
    void HandDrag(const DPoint& p, int mask);
    void ContextPress(const DPoint& p, int mask);
    void ContextDrag(const DPoint& p, int mask, bool first);
    void ContextRelease(const DPoint& p, int mask);
    bool IsDrawingOnSelection();
    void UpdateCaret(bool force);
    void ShowContextPalette(const DPoint& p);
    // Under the pointer.
    CTreeNodeRef FindObjectAt(const DPoint& p, double scale);
    CTreeNodeRef FindSegmentAt(const DPoint& p, double scale, int& segment);
    CTreeNodeRef FindTextAt(const DPoint& p, double scale);
    int FindHandleOf(const CTreeNodeRef& node, const DPoint& p, DPoint& handle);
    bool FindHandleAt(const DPoint& p);
    void DrawEditedObjects();
    void DrawPageFrame();
    // 7, or 0 while the outline (draft) display is on.
    int RetHitMode() const;

    // ---- Documents and view commands (app/pageviewfiles.cpp,
    // pageviewcommands.cpp, pageviewravona.cpp)
    // A file conversation keeps its pending action across the answers of
    // the boxes: 1 quit, 2 new, 3 open, 4 save, 5 save as.
    enum { FILE_QUIT = 1, FILE_NEW = 2, FILE_OPEN = 3, FILE_SAVE = 4, FILE_SAVE_AS = 5 };
    bool FileNew();
    bool FileOpen();
    bool FileSave();
    bool FileSaveAs();
    bool FileQuit();
    bool AsyncQuestionFileSaveYes(const ZuObjectRef& source, unsigned id);
    bool AsyncQuestionFileSaveNo(const ZuObjectRef& source, unsigned id);
    bool AsyncFilenameOpen(const ZuObjectRef& source, unsigned id);
    bool AsyncFilenameSave(const ZuObjectRef& source, unsigned id);
    bool AsyncQuestionFileDeleteYes(const ZuObjectRef& source, unsigned id);
    bool AsyncQuestionFileDeleteNo(const ZuObjectRef& source, unsigned id);
    bool ContinueFileAction();
    // The dialog's name made a document name: false when it is empty;
    // ".lumbra" appended unless it ends so (any case), or, when opening,
    // in ".ravona". A name chosen to save under ".ravona" gets ".lumbra" in
    // place of that ending: that format is never written.
    bool CheckFileName(const ZuObjectRef& dialog, ZuStringRef& out);
    static bool CheckFileName(const ZuStringRef& name, bool save, ZuStringRef& out);
    // The file opens for reading.
    static bool FileExists(const ZuStringRef& name);
    bool NewDocument();
    // Saves through a temporary file renamed over the name: on failure the
    // old file, the document's modified flag and its name stay, and a
    // message names the file and the cause. False then.
    bool SaveDocument(const ZuStringRef& name);
    // Closes every window of the application, then ends the event loop.
    bool Quit();
    void UpdateTitle();
    int RetPendingFileAction() const { return pendingFileAction; }
    // The document's file name: empty for a document never saved.
    const ZuStringRef& RetFileName() const { return fileName; }
    bool IsConverted() const { return converted; }
    // View commands.
    bool Undo();
    bool Redo();
    bool ChangeSetup();
    bool SwapGrid();
    bool SwapOutline();
    bool SwapBBox();
    bool SwapProperty();
    bool Debug();
    void UpdateSetupDlg(int topic, int item);
    void UpdateSampleDlg(bool reload);
    bool AsyncDefModify(const ZuObjectRef& source, unsigned id);
    bool AsyncDefUpdateFullProperty(const ZuObjectRef& source, unsigned id);
    bool AsyncDefUpdateQuickProperty(const ZuObjectRef& source, unsigned id);
    bool AsyncPropertyModify(const ZuObjectRef& source, unsigned id);
    bool AsyncPropertyRedraw(const ZuObjectRef& source, unsigned id);
    // Drawings of the older format: the file converted into a new
    // document, which replaces the view's only when the file and its
    // header could be read. The new document is unnamed and changed.
    bool ConvertRavona(const ZuStringRef& fileName);
    // The records read through `read` (which gives at most n bytes, fewer
    // only at the end) made objects of layer 0 of page 0 of a fresh
    // document, with the header's page size and grid; false when the
    // header cannot be read whole. Any bytes end in bounded time.
    static bool ConvertRavonaRecords(const std::function<unsigned(void*, unsigned)>& read,
                                     const CDocumentRef& doc, const CViewRef& settings,
                                     CGraPortRef port);
    static void SetRavonaPen(CPenDefRef& pen, int code);
    static void SetRavonaColor(CColorDefRef& colour, int code);

    // ---- Printing, image export and rendering off the user-interface thread
    // The print and export commands and the dialogs' answers.
    bool FilePrint();
    bool FileExport();
    bool AsyncPrintGo();
    bool AsyncExportGo();
    // One print of the edit parent's objects through a printer context.
    // False, with one message, when the page has no size or the printer or
    // the job fails; false silently when the print dialog is cancelled.
    bool PrintRun(const CGraScreen& settings);
    // One image file of the edit parent's objects: the size in pixels
    // covers the page exactly, so the resolution is derived from the width
    // and `resolution` does not enter the output. False, with one message,
    // before any device is made for a page or image size out of range or a
    // file whose folder cannot be written; false, with one message and no
    // file (an existing one untouched), when the device, the file or the
    // interpreter fails.
    bool ExportRun(const ZuStringRef& name, const double size[2], int resolution, int bpp,
                   const ZuStringRef& device, int aa);
    // Dots per inch at which the page's width fills `width` pixels (0 for a
    // page width that is not positive), and the alpha bits of an
    // anti-aliasing choice.
    static double ExportResolution(double width, double pageWidth);
    static int ExportAlphaBits(int aa);
    // Largest side of an exported image, in pixels.
    static constexpr double EXPORT_MAX_SIDE = 30000.0;
    void SetConverted(bool on) { converted = on; }
    // The render run holding the view's rendering for its whole length
    // (waits for a run under way); what RenderPage answers.
    bool RenderHeld();

protected:
    // The contexts of print and export runs (tests watch them).
    virtual GSContextRef NewRunContext();

private:
    bool RunObjects(const CGraPortRef& port);
    // One message box: the format filled with one or two texts.
    void ShowRunError(const char* format, const char* first, const char* second = nullptr);
    // The view's rendering, held by every render of the view's context and
    // by the print and export runs, which switch the interpreter's device.
    // A hold that waits spins with short sleeps; one that does not wait may
    // come away without it (Held false).
    class RenderHold {
    public:
        RenderHold(CPageView& view, bool wait);
        ~RenderHold();
        RenderHold(const RenderHold&) = delete;
        RenderHold& operator=(const RenderHold&) = delete;
        bool Held() const { return held; }

    private:
        std::atomic<bool>& flag;
        bool held;
    };
    std::atomic<bool> renderHeld{false};

public:
    // The names this view answers by (menus, tool bar, controls, events).
    static const char* const handlerNames[];
    static const int handlerCount;

    // ---- Editing commands and the status line (app/pageviewedit.cpp)
    // Each command runs one operation of the selection and, when it changed
    // something, brings the tool, status line, overlay and image up to
    // date; all answer true except the clipboard commands, which answer
    // whether they did something.
    // "Terminer": ends the selection and finishes an object being drawn;
    // the marks go and the page is drawn again whatever changed.
    bool EndSelected();
    bool DeleteSelected();
    // The copies moved by the document's duplication offset.
    bool DuplicateSelected();
    bool SelectSendToFront();
    bool SelectSendToBack();
    bool SelectMoveToFront();
    bool SelectMoveToBack();
    bool SelectMirrorX();
    bool SelectMirrorY();
    bool SelectRotate90();
    bool SelectRotate180();
    bool SelectRotate270();
    bool SelectGroup();
    bool SelectUngroup();
    bool GroupGoIn();
    bool GroupGoOut();
    // On the selected objects, or on the characters of the line of text
    // being edited.
    bool ClipboardCut();
    bool ClipboardCopy();
    bool ClipboardPaste();
    // Shows the splash window.
    bool About();
    // The attributes dialog changed definitions of these kinds: the
    // selection (or the object being drawn) takes them, then the caret
    // and the page are drawn again.
    bool DefModify(const int* kinds, int n);
    // The properties dialog changed a value of the selection.
    bool SetPropertyValue(int refresh, int property, double value, int kind);
    // An alignment request: 0x200 snaps to the grid, else 0x100
    // distributes, else aligns.
    bool ModifySelection(int flags);
    // The line of text being edited in place; empty when none.
    CTreeNodeRef RetEditedTextNode() const;
    // The selection field, then the object field and the selection summary.
    void UpdateStatus();
    // The coordinates field: the point in user coordinates and the main
    // unit, or nothing.
    void ShowCoordinates(const DPoint& p, bool show);
    void UpdateObjectInfo();
    void UpdateSelectionInfo();
    // The summary that the attributes dialog shows: empty, the type of the
    // one selected object, or the count.
    ZuStringRef RetSelectionInfo() const { return selectionInfo; }
    // Erases the overlay port and gives it the view transform.
    void ClearOverlay();
    // The caret of the edited line of text placed again; with render, the
    // page is drawn again when the caret moved.
    void UpdateTextCaret(bool render);

    // ---- Pages and layers, as the pages and layers palettes ask (the
    // event is the palette's and is not used; every call answers true)
    bool GoToPage(int page, const ZuEventRef& event);
    bool NewPage(int page, const ZuEventRef& event);
    bool DeletePage(int page, const ZuEventRef& event);
    bool MovePage(int page, const ZuEventRef& event, int delta);
    bool GoToLayer(int layer, const ZuEventRef& event);
    bool NewLayer(int layer, const ZuEventRef& event);
    bool DeleteLayer(int layer, const ZuEventRef& event);
    bool MoveLayer(int layer, const ZuEventRef& event, int delta);
    bool SwapLayerVisibility(int layer, const ZuEventRef& event);
    bool RefreshPagesDlg();
    bool RefreshLayersDlg();
    // Entered groups left, nothing selected, the palette's tool current
    // again, the overlay erased.
    void LeaveEditing();

    // The properties dialog: the rows it highlights, measured over the
    // page while it is shown (lines, dimension arrows and values in the
    // document's colour "Propriété").
    void DrawPropertyMarks(const ZuGrailPortRef& port);

    // ---- Sample files: a save that failed, told as a failed document save
    // is (the file and the cause, in the program's message box).
    void ShowSaveFailure(const ZuStringRef& name);
    // The command of the samples palette: the palette takes this view's
    // document and comes to the front (app/pageview_samples.cpp).
    bool ShowSampleDlg();

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Repeats of the gestures while the auto scroll runs.
    virtual void SelectRepeat();
    virtual void EditRepeat();
    virtual void ContextRepeat();
    // One handle's image centred on the handle's window point; nothing
    // when the look has no such image.
    virtual void DrawHandleIcon(const ZuGrailPortRef& port, const DPoint& page, int kind,
                                int state);

private:
    struct Geometry {
        double zoom;
        double x, y;
        double areaW, areaH;
        double pageW, pageH;
        double w, h; // image pixels
        double ox, oy;
        double spanX, spanY;
    };
    void GetGeometry(Geometry& g);
    bool IsLayerVisible(int layer) const;
    void DrawOtherLayer(int layer, const DRect& visible);
    void DrawObjectsAroundGroup(const CTreeNodeRef& layer, const DRect& visible);
    void DrawOverlayMarks(const ZuGrailPortRef& port);
    void DrawGuides(const ZuGrailPortRef& port);
    void DrawGrid(const ZuGrailPortRef& port);
    void DrawHandles(const ZuGrailPortRef& port);
    CColorDefRef NamedColor(int i) const;
    void Pixel(const DPoint& page, double& x, double& y);

    GSContextRef interactionContext;
    ZuGrailPortRef windowPort;
    bool autoScrollOn = false;
    bool rightButtonHeld = false;
    bool glassMode = false;
    bool handMode = false;
    bool hasDocument = false;
    bool converted = false;
    double exportScale = 0.5;
    CMainWindowRef mainWindow;
    CViewRef viewSettings;
    CDocumentRef document;
    CSelectObjectRef selection;
    DPoint pointerPos = {};
    bool buttonDown = false;
    int cursorCode = -1;
    bool renderNeeded = true;
    bool gestureFlags[10] = {};
    CTreeNodeRef currentNode;
    int pendingFileAction = 0;
    CGraPortRef mainPort;
    CGraPortRef overlayPort;
    CTreeNodeRef nodes[3];
    CMotifDefRef pageFill;
    ZuGrailPortRef pendingPort;
    ZuRect pendingArea;
    int pendingAreaWord = 0;
    ZuDrawOp pendingOp = ZU_DRAW_ALL;
    int drawDepth = 0;
    Overlay overlay;
    ZuScrollerRef scrollerH;
    ZuScrollerRef scrollerV;
    ZuTextLineRef zoomLine;
    CToolInput input;

    // Input helpers (app/pageviewinput.cpp; the band in
    // pageviewgestures.cpp).
    void EndPointerFeedback();
    void DrawHoverFrame(const CTreeNodeRef& node, double dashOffset, int drawFlags);
    void DrawSelectionOutlines();
    void DrawBand();

    // ---- Editing commands and the status line
    // The last selection summary made for the attributes dialog.
    ZuStringRef selectionInfo;

    // Documents (app/pageviewfiles.cpp): the document's file name, null
    // for a document never saved.
    ZuStringRef fileName;
    void ShowBusy(const char* icon, const char* text);
    void CloseBusy();
    void TakeDocument(const CDocumentRef& doc);
    void ShowFileError(const char* what, const ZuStringRef& name, const char* cause);
    // The view settings of a new document.
    static void ApplyNewViewSettings(const CViewRef& v);
};
ZU_CLASS_END(CPageView)

#endif
