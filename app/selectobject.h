// CSelectObject: the editing engine of one page view. It knows the document
// being edited, the stored view settings that name the current page and
// layer, and the view's two ports; it keeps the selection, the edited box
// drawn around it, the groups the user has entered, and the undo and redo
// lists. Every change to the object tree goes through it and is made by an
// undo record (CUndoAction) appended to the newest step (CUndoGroup) of the
// undo list; only an empty line of text left in its own editing goes
// unrecorded (EndSelection).
//
// The selection is the edit-mode word of each drawing object (0 not
// selected, 1 selected, 2 taken into its own editing); only children of the
// edit parent count: the innermost entered group, else the current layer of
// the current page. A node counts as selected only when its depth minus 3
// equals the entered depth. The count of selected objects is kept equal to
// the number of children of the edit parent whose edit mode is not 0.
//
// The edited box: corners 0 and 1 opposite each other (0 the anchor of a
// drag), corner 2 = (x0, y1), corner 3 = (x1, y0); going around the box the
// order is 0, 3, 1, 2. All zero means no box. The box handle mode (90, 91,
// 92 or 95) chooses the handles it offers.
//
// What it asks of the shell (commands, clipboards, dialogs, palettes) goes
// through IEditShell (app/editshell.h). Not stored beyond the object part.
#ifndef LUMBRA_APP_SELECTOBJECT_H
#define LUMBRA_APP_SELECTOBJECT_H

#include "app/def.h"
#include "app/document.h"
#include "app/graobject.h"
#include "app/graport.h"
#include "app/list.h"
#include "app/misc.h"
#include "app/undoaction.h"
#include "app/undogroup.h"
#include "app/view.h"

ZU_HANDLE(CSelectObject, ZuObject)

class CSelectObject : public ZuObject {
    ZU_CLASS(CSelectObject, ZuObject)
public:
    // Box handle modes.
    enum { MODE_SCALE = 90, MODE_ROTATE = 91, MODE_CORNERS = 92, MODE_ENVELOPE = 95 };
    // Work arrays of definitions are indexed by attribute kind.
    enum { KINDS = 130 };

    // Empty handles, the values of a new selection, two new empty lists.
    CSelectObject();
    ~CSelectObject() override;

    // ---- Wiring (by the page view)
    void SetDocument(CDocumentRef document);
    void SetViewSettings(CViewRef view);
    // The port boxes and hits go through, and the view's other port.
    void SetPorts(CGraPortRef edit, CGraPortRef second);
    const CDocumentRef& RetDocument() const { return document; }
    const CViewRef& RetViewSettings() const { return viewSettings; }

    // ---- Queries
    int GetSelectedCount() const { return selectedCount; }
    bool HasSelection() const { return selectedCount != 0; }
    bool IsEditingObject() const { return editingObject; }
    bool IsSingleWithoutBox() const { return selectedCount == 1 && !boxShown; }
    bool IsBoxSelection() const { return selectedCount > 1 || (selectedCount == 1 && boxShown); }
    bool IsSelectedAlone() const { return selectedCount == 1 && selectedAlone; }
    void ClearSelectedAlone() { selectedAlone = false; }
    // The tool palette's state word for the tool code (0 without one).
    int GetToolState(int code) const;

    // ---- The selection set
    // Unselects every child of the edit parent; an empty line of text in
    // its own editing leaves the tree, unrecorded. False, nothing changed,
    // when nothing was selected.
    bool EndSelection();
    // Counts the selection again after the tree changed under it (undo,
    // redo): selected objects outside the current level are unselected; a
    // shown box of four zero points is fitted to the selection again, and
    // the definitions the selected objects share are made current.
    void RebuildSelection();

    // ---- Undo and redo
    // Opens a new step on the undo list with the selection's state; with
    // clearRedo the redo list is replaced by an empty one.
    void OpenUndoGroup(int oper, bool clearRedo);
    void OpenRedoGroup(int oper);
    // Appends an action to the newest step of its list.
    void AddUndoAction(CUndoActionRef action);
    void AddRedoAction(CUndoActionRef action);
    // The newest step replayed backwards onto the other list; false,
    // nothing changed, when the list is empty.
    bool Undo();
    bool Redo();
    // The newest step taken back: tree and entered group restored, no redo
    // step, the document's modified flag untouched.
    void CancelLastUndoGroup();
    // The step before the newest folded into it when they can merge.
    bool MergeLastUndoGroups();
    // Forgets every step.
    void ClearUndo();
    const CListRef& RetUndoList() const { return undoList; }
    const CListRef& RetRedoList() const { return redoList; }

    // ---- Edit parent, entered groups, the box while a rectangle is dragged
    void GetCurrentLayerNode(CTreeNodeRef& out) const;
    void GetEditParent(CTreeNodeRef& out) const;
    int GetEnteredDepth() const { return enteredDepth; }
    CTreeNodeRef GetEnteredGroup() const { return enteredGroup; }
    // The entered group's bounding box; the zero rectangle at the top level.
    void GetEnteredGroupBox(DRect& out) const;
    // The first selected child of the edit parent (the backmost); empty
    // when none.
    void GetFirstSelectedNode(CTreeNodeRef& out) const;
    // Into the one selected group: its members become the level edited,
    // none selected. False, nothing changed, unless one group is selected.
    bool GroupGoIn();
    // One level up, the group left selected alone with the box around it.
    // False at the top level.
    bool GroupGoOut();
    void StartBox(const DPoint& p);
    void DragBox(const DPoint& p);
    void EndBox(const DPoint& p);

    // ---- The box and its handles
    void SetBoxHandleMode(int mode) { boxHandleMode = mode; }
    int GetBoxHandleMode() const { return boxHandleMode; }
    int GetHandleCount() const;
    // 2 corners, 3 the middles and edge points, 5 the centre of mode 91.
    int GetHandleStyle(int n) const;
    // A handle's point; the middle of the box for a number the mode does
    // not offer.
    DPoint GetHandlePoint(int n) const;
    int GetOppositeHandle(int n) const;
    // The pointer point held to an axis (a move with Shift) or to the
    // box's diagonal (a corner in mode 90), from the drag's anchor and
    // reference points.
    DPoint ConstrainPoint(const DPoint& p, int modifiers, int handle) const;
    // The middle of the shown box, else of the first selected object's
    // box; the middle of the box (the origin without one) when neither.
    DPoint GetCenter() const;
    void SetBoxShown(bool shown) { boxShown = shown; }
    bool IsBoxShown() const { return boxShown; }
    DPoint GetBoxCorner(int n) const;
    DPoint GetBoxCentre() const { return boxPoints[4]; }
    void GetSavedState(CSavedState& out) const;
    // Puts the box back, and the current page and layer of the view
    // settings.
    void SetSavedState(const CSavedState& state);
    bool SetSelectOption(int option)
    {
        selectOption = option;
        return true;
    }
    int GetSelectOption() const { return selectOption; }
    // The change record of a drag: its anchor a and reference point b are
    // what ConstrainPoint holds to; in mode 95 g[0 .. 7] are the edge
    // control points (handles 4 to 11).
    const ChangeRecord& GetChangeRecord() const { return changeRecord; }
    void SetChangeRecord(const ChangeRecord& record) { changeRecord = record; }

    // ---- Command states and the debug dump
    void UpdateUndoRedoCommands();
    void UpdateSelectionCommands();
    void UpdateClipboardCommands();
    void UpdateSwapGridCommand();
    void UpdateSwapOutlineCommand();
    void UpdateSwapPropertyCommand();
    void UpdateAllCommands();
    bool CanDuplicate() const;
    // "EndSelected" ends the selection, and finishes an object of several
    // points being drawn, which is not selected.
    bool CanEnd() const;
    bool CanGoOutOfGroup() const;
    bool CanGroup() const;
    // Exactly one selected object and it is a group; its node is kept.
    bool IsSingleGroupSelected();
    bool CanPaste() const;
    bool CanUndo() const;
    bool CanRedo() const;
    // Trace: the tree, its objects, the undo and the redo lists.
    void Dump();

    // ---- Selecting objects (the node must be a child of the edit parent
    // holding a drawing object; any other node changes nothing)
    // Everything deselected, then the node's object selected alone.
    void SelectOnly(const CTreeNodeRef& node);
    // The node's object joins the selection.
    void AddToSelection(const CTreeNodeRef& node);
    // The node's object leaves the selection.
    void RemoveFromSelection(const CTreeNodeRef& node);
    // Selects, among the children of the edit parent, the objects whose box
    // lies inside the rectangle of box corners 0 and 1; with handles, also
    // an object in its own points editing that the rectangle meets when one
    // of its position handles lies inside. The definitions they share are
    // made current.
    void RubberBandSelect(bool handles);
    // Whether the point lies inside the shown box (asked of the
    // interpreter through the edit port).
    bool HitBox(const DPoint& p);
    // The shown box's corners 0 and 1, else the box of the one selected
    // object; false without either.
    bool GetSelectionBox(DRect& out) const;
    // The union of the selected objects' boxes; false without a selection.
    bool ComputeSelectionBounds(DRect& out) const;
    // The one-line description of one object selected without the box;
    // false otherwise.
    bool GetSelectionText(ZuStringRef& out) const;

    // ---- The selection tool. The point in page units, the modifier bits
    // (2 Shift), the handle under the pointer or -1 for a move. The press
    // replaces the selected objects by copies in a new step (moves 30,
    // scales 31, rotations 32, deformations 33); drags transform the copies
    // from their geometry at the press; the release keeps the step, or
    // takes it back when the pointer is where it was pressed. A press on a
    // corner or envelope handle just after a deformation whose step is still
    // the newest goes on with that step. True when the tree changed.
    bool SelectPress(const DPoint& p, int modifiers, int handle);
    bool SelectDrag(const DPoint& p, int modifiers, int handle);
    bool SelectRelease(const DPoint& p, int modifiers, int handle);
    // The shown properties dialog follows the object being dragged.
    void RefreshPropertyDlg(const CGraObjectRef& object, const DPoint& position, int option);

    // ---- Drawing new objects. The option is handed to the object's own
    // point operations; code is the tool's object kind.
    // The first press makes the object, with the current definitions of
    // the kinds it uses; later presses of an object of several points hand
    // the point on. False when the code makes no object.
    bool CreatePress(const DPoint& p, int option, int code);
    // The moving point of the object being made.
    void CreateDrag(const DPoint& p, int option);
    // The object takes one more point (withStart: the first one again as
    // well) and creating goes on; one that wants no more is finished
    // unless withStart.
    void CreateAddPoint(const DPoint& p, int option, bool withStart);
    // The object enters the edit parent as a step of its own (code 11),
    // selected when asked or when the view settings select new objects;
    // one with too few points is dropped. True when it entered the tree.
    bool CreateFinish(bool select);
    void EndCreating();
    // The object being drawn is dropped unfinished (its document goes).
    void DropCreated();
    bool IsCreating() const { return drawing; }
    bool IsCreatingText() const;
    CGraObjectRef GetCreatedObject() const { return newObject; }
    // Records the node as the edit parent's new last child, in a step of
    // its own (code 11).
    void InsertNewObject(CTreeNodeRef node, CTreeNodeRef parent);

    // ---- Whole-selection edits. Each acts on the selected children of the
    // edit parent, first to last, and is one undo step; a changed object is
    // never changed in place: a copy in a new node takes its node's place,
    // so that the step keeps the old one whole. False, nothing recorded,
    // without a selection.
    // The selected objects leave the tree (step 10).
    bool DeleteSelected();
    // The selected objects' copies become the shell's object clipboard,
    // then they leave the tree (step 12).
    bool Cut();
    // The clipboard made as Cut makes it; nothing recorded, the document
    // not marked.
    bool Copy();
    // Copies of the clipboard's objects enter the edit parent at the front,
    // selected alone (step 14); the clipboard keeps its objects. False with
    // an empty clipboard.
    bool Paste();
    // The current definitions of the kinds given to the selected objects
    // (step 100, merged with the step before when they can merge); while a
    // drawing tool makes an object, to that object only, unrecorded.
    bool ApplyDefinitions(const int* kinds, int n);
    // The properties dialog changed a value: of the one selected object,
    // or, for several, the x (property 0) or y of the selection's centre in
    // user units (step 120, merged). kind is the attribute kind the
    // property belongs to, -1 for none.
    bool SetPropertyValue(int refresh, int property, double value, int kind);
    // A point command handed on to each selected object (step 61).
    bool EditPoints(int a, int b, const DPoint& p, int command);

    // ---- Stacking order and groups, among the edit parent's children
    // The selected objects, in their order, at the front (step 50) or the
    // back (51); recorded even when they stand there already.
    bool SendToFront();
    bool SendToBack();
    // The selected objects, in their order, in one run directly in front
    // of the object in front of the frontmost one (52), or behind the one
    // behind the backmost (53). False, nothing recorded, when there is no
    // such object.
    bool MoveToFront();
    bool MoveToBack();
    // A new group at the front holds the selected objects in their order,
    // selected alone (40).
    bool Group();
    // The one selected group's members take its place, all selected (41).
    bool Ungroup();

    // ---- Copies changed geometrically
    // Copies moved by the offset at the front, selected in place of the
    // objects they copy; the box follows (step 20).
    bool Duplicate(const DPoint& offset);
    // Each selected object replaced by a copy mirrored about the
    // selection's centre, left and right (34) or up and down (35).
    bool MirrorX();
    bool MirrorY();
    // Turns by a quarter (36), a half (37), three quarters (38).
    bool Rotate90();
    bool Rotate180();
    bool Rotate270();
    // Each selected object replaced by a copy turned about the selection's
    // centre, as one step of the oper given.
    bool Rotate(double angle, int oper);

    // ---- Alignment, distribution and the grid. The flag word: 0x01 top,
    // 0x02 bottom, 0x04 left, 0x08 right, 0x10 horizontal centre, 0x20
    // vertical centre, 0x40 and 0x80 equal horizontal and vertical gaps
    // (distribution), 0x400 the page is the reference, 0x800 the current
    // guide (alignment), 0x1000 bounding boxes rather than handle boxes.
    // Each needs two or more selected objects.
    enum {
        ALIGN_TOP = 0x01,
        ALIGN_BOTTOM = 0x02,
        ALIGN_LEFT = 0x04,
        ALIGN_RIGHT = 0x08,
        ALIGN_CENTER_H = 0x10,
        ALIGN_CENTER_V = 0x20,
        SPACE_H = 0x40,
        SPACE_V = 0x80,
        ON_PAGE = 0x400,
        ON_GUIDE = 0x800,
        BOUNDING_BOXES = 0x1000
    };
    // The chosen edges brought to the reference: the union of the objects'
    // boxes, the page or the current guide (step 70). False, nothing
    // recorded, without a current guide or with an edge across the guide.
    bool Align(int flags);
    // The objects spread evenly between the first and the last by the
    // chosen key, or with equal gaps (step 71).
    bool Distribute(int flags);
    // Every position handle of the selected objects on the nearest grid
    // line (step 72).
    bool SnapToGrid(int flags);
    void GetObjectBox(DRect& out, const CGraObjectRef& object, int flags) const;
    struct DistributionEntry {
        // The object's place among the selected ones in walk order.
        int index;
        double key;
        double size;
    };
    // Ascending by key; equal keys keep their order.
    static void SortDistribution(DistributionEntry* table, int n);
    // The sorted place of the entry with the index; 0 when absent.
    static int FindDistributionRank(const DistributionEntry* table, int n, int index);
    // Per axis the nearest grid line counted from the origin by the view
    // settings' step; halfway goes away from the origin; a step of 0
    // leaves the axis.
    void SnapPointToGrid(DPoint& out, const DPoint& p, const DPoint& origin) const;
    // The grid's step and origin in the view settings (the user origin
    // added to the grid's own).
    DPoint GetGridStep() const;
    DPoint GetGridOrigin() const;

    // ---- Dragging one handle of the one selected object
    void BeginHandleEdit(int handle, const DPoint& p);
    void HandleEditDrag(const DPoint& p, int option);
    // The object is put back as it was at the press and replaced by a copy
    // with the handle at p, in a step of its own (code 30). True when the
    // tree changed.
    bool HandleEditRelease(const DPoint& p, int option);

    // ---- Current definitions: the attributes dialog's, reached through
    // the shell. The kinds an object reports are read into arrays indexed
    // by kind: one outside 0 to 129 (from a bad file) is passed over.
    // The definition made current for its kind; the document counts as
    // modified. Traced with the time it took.
    void SetCurrentDef(int kind, const ZuObjectRef& def);
    CDefRef GetCurrentDef(int kind) const;
    // Every definition the object holds made current, then the dialog
    // redisplayed; traced.
    void SetCurrentAll(CGraObjectRef object);
    // The kinds the selected objects use, and those on which they differ,
    // to the attributes and the samples dialogs.
    void ShowKindsOfSelection();
    // The kinds an object of the tool's kind uses, to both dialogs.
    void ShowKindsOfNewObject(int code);

    // ---- What the operations above share with the other editing
    // operations
    // The box shown for two or more objects, or for one group (then set on
    // its box); else not shown.
    void FitBoxToSelection();
    // With the box shown and a selection, the corners set on the union of
    // the selected objects' boxes.
    void FitBoxToSelectedObjects();
    // The boxes of the groups around node (and of node's own object when
    // asked) measured again through the edit port.
    void UpdateEnclosingBoxes(const CTreeNodeRef& node, bool includeNode);
    // When forced or when the properties dialog is shown, it is handed the
    // selection.
    void RebuildPropertyDlg(bool force);
    // Folds the object's definitions into the per-kind arrays: the first
    // met kept, a kind's flag cleared when objects differ.
    void CollectCommonDefs(const CGraObjectRef& object, CDefArray& defs, bool* same) const;
    // Makes current the definitions the selected objects share, then
    // redisplays the attributes dialog.
    void ApplyCommonDefs(CDefArray& defs, const bool* same);
    void UpdatePageDialog();
    void UpdateLayerDialog();
    // The object taken into its own editing (its points or its text): edit
    // mode 2, counted, edited without the box.
    void SelectForOwnEditing(const CTreeNodeRef& node);

    // ---- Pages and layers. The current page and layer are those of the
    // view settings; ones a stored document put past the tree are brought
    // back into it first. Each change of the tree is one undo step; the
    // page view makes the new or moved page or layer current itself.
    // A new page holding one visible layer, after the current page (200).
    void NewPage();
    // The current page out of the tree (201); never the last one.
    void DeletePage();
    // The current page after (delta > 0) or before page current + delta
    // (202); nothing when that page does not exist.
    void MovePage(int delta);
    // The same for the layers of the current page (203, 204, 205).
    void NewLayer();
    void DeleteLayer();
    void MoveLayer(int delta);
    // A layer of the current page is shown unless its object says
    // otherwise: a missing layer counts as shown.
    bool IsLayerVisible(int layer) const;
    // Shows or hides a layer of the current page; not an undo step.
    void SwapLayerVisibility(int layer);
    // The current page (layer) within the page (layer) count, 0 at least.
    void ClampCurrentPage();
    void ClampCurrentLayer();

private:
    // A copy of the object in a new node; empty when its class cannot be
    // made again.
    CTreeNodeRef CopyInNewNode(const CGraObjectRef& object, CGraObjectRef& copy) const;
    // The copy given the change record and measured through the edit port.
    void ChangeCopy(const CGraObjectRef& copy, const ChangeRecord& record);
    // The new node takes the old one's place, recorded; the groups above
    // measured again.
    void RecordReplaceNode(const CTreeNodeRef& fresh, const CTreeNodeRef& old);
    // A clipboard tree of copies of the selected objects.
    CTreeRef CopySelectionToTree();
    // Removal of the selected objects, as one step of the oper.
    void RemoveSelected(int oper, const CTreeRef& clipboard);
    // Each selected object replaced by a copy changed by the record.
    void ReplaceByChangedCopies(const ChangeRecord& record);
    template <class F>
    void ReplaceSelectedByCopies(F change);
    // Each selected object replaced by a copy moved by its own offset.
    template <class F>
    void MoveEachSelected(int flags, F offsetOf);
    // The selected children moved one at a time to the place given.
    bool Restack(int oper, int direction, const CTreeNodeRef& attach, int mode);
    // The document's page rectangle, its centre at the origin.
    DRect PageRect() const;
    // The box's corners on a rectangle, the centre in its middle.
    void SetBoxFromRect(const DRect& r);
    // Replays the newest group of from onto the other list (Undo, Redo).
    bool Replay(bool undo);
    // The node holds a drawing object and is a child of the edit parent.
    CGraObjectRef SelectableObject(const CTreeNodeRef& node) const;
    // The box, the selection commands and the properties dialog brought in
    // line with the selection.
    void SelectionChanged();
    // The change record brought up to the pointer, the live box and the
    // copies of the step transformed.
    void DragTo(const DPoint& p, int modifiers, int handle);
    // The live box and the copies of the step through the change record.
    void ApplyChangeRecord(bool moveCentre);
    // One step of copies mirrored or turned about the selection's centre.
    bool ChangeAboutCentre(int oper, int kind, const DPoint& factors);
    // The step of the current press while it is still the newest.
    CUndoGroupRef DragGroup() const;
    // Whether a press in a deforming mode whose record is of this kind goes
    // on with the last deformation: its record holds the live corners and
    // its step is still the newest.
    bool DeformationGoesOn(int kind) const;

    CDocumentRef document;
    CViewRef viewSettings;
    CGraPortRef editPort;
    CGraPortRef secondPort;
    int selectedCount = 0;
    bool selectedAlone = false;
    bool editingObject = false;
    bool boxShown = false;
    bool drawing = false;
    CGraObjectRef newObject;
    CTreeNodeRef singleSelectedNode;
    // The handle dragged by a handle edit; -1 outside one.
    int singleSelectedPart = -1;
    CTreeNodeRef enteredGroup;
    int enteredDepth = 0;
    int selectOption = 0;
    CListRef undoList;
    CListRef redoList;
    // With toolPoints after it: the whole change record of a drag.
    ChangeRecord changeRecord;
    int boxHandleMode = MODE_SCALE;
    // The press point of the selection tool and of a handle edit.
    double toolValues[2] = {0.0, 0.0};
    DPoint editBox[4];
    // The press copies of the corners (0 .. 3), the centre (4), its press
    // copy (5), the creation point (6).
    DPoint boxPoints[7];
    // The step the selection tool's press opened or went on with (its
    // list node); empty between a release and the next press.
    CListNodeRef dragStep;
    bool dragStepOpened = false;
    // The last deformation step a press opened: a later press goes on with
    // it only while it is the newest step.
    CListNodeRef deformStep;
    // What a press that went on with a step found, to put back when it is
    // released where it was pressed.
    ChangeRecord pressRecord;
    DPoint pressBox[5];
    // Where the handle of a handle edit stood at the press.
    DPoint handleStart{0.0, 0.0};
};
ZU_CLASS_END(CSelectObject)

#endif
