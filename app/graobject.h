// CGraObject: the base of every drawing object of a document (line, arc,
// arrow, group, line of text, curve chain, polygons, rectangle). The page
// view, the selection, the undo actions, the attributes and property
// dialogs and the page renderer reach any object through its 72 operations
// below, in this order; the base answers "not supported" (false, 0, -1 or
// an empty value) where a drawing class has nothing to say. GetHandle,
// MoveHandle and DragPoint go through the object's own handle and point
// operations, so that a class says only those; without them they too
// answer nothing.
//
// The base keeps the object's node in the document tree, the shown flag
// (cleared to hide a layer), and the four definitions of the shadow, by
// attribute kind: 100 position (CPositionDef), 101 fill (CMotifDef), 102
// brush (CPatternDef), 105 colour (CColorDef). It also holds the box that
// GetBoundingBox answers, which the classes measure and store with their
// own records. Objects describe themselves through the PostScript port
// (CGraPort); they never rasterise.
//
// Draw and DrawShadow take flag bits: 1 set the stroke definitions on the
// port, 2 set the colours, 4 draw the shadow; 8 and 16 forbid the shadow;
// DRAW_ON_PAPER (a print or an export) leaves out every mark that only
// helps on the screen, such as the highlight of a text's selection.
//
// Stored record (after the object part): begin, the position, fill, brush
// and colour definitions (four objects, each of its class or empty), Bool
// shown, end. The tree node is not stored: the tree stores the link.
#ifndef LUMBRA_APP_GRAOBJECT_H
#define LUMBRA_APP_GRAOBJECT_H

#include "app/colordef.h"
#include "app/grapaint.h"
#include "app/graprops.h"
#include "app/misc.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/positiondef.h"
#include "app/treenode.h"
#include "si/string.h"

#include <functional>

ZU_FORWARD(CGraPort)
ZU_FORWARD(ZuEvent)

ZU_HANDLE(CGraObject, ZuObject)

class CGraObject : public ZuObject {
    ZU_CLASS(CGraObject, ZuObject)
public:
    // Attribute kinds of the shadow's definitions.
    enum { SHADOW_POSITION = 100, SHADOW_MOTIF = 101, SHADOW_PATTERN = 102, SHADOW_COLOR = 105 };
    // Handle kinds that the handles box counts.
    enum { HANDLE_CORNER = 2, HANDLE_SIDE = 3 };
    // Draw flag of a print or an export: the page only.
    enum { DRAW_ON_PAPER = 0x80 };

    CGraObject();
    ~CGraObject() override;
    // Releases the shadow definitions and the node link.
    void Delete() override;

    // ---- Copying and the tree
    // The other's shadow definitions cloned (emptied where the other has
    // none), then the shown flag.
    virtual void CopyFrom(const CGraObjectRef& other);
    virtual void SetTreeNode(const CTreeNodeRef& node);
    virtual CTreeNodeRef GetTreeNode() const;
    virtual bool GetTypeName(ZuStringRef& out) const;
    // Variant 0: 0, variant 1: 10, others -1.
    virtual int GetIconId(int variant) const;
    virtual void SetFlag(bool shown);
    virtual bool GetFlag() const;

    // ---- Handles and geometry
    virtual int GetHandleCount() const;
    virtual int GetHandleType(int n) const;
    virtual DPoint GetHandlePosition(int n) const;
    // A handle of a kind other than 0 and 1 (the ones not shown): its
    // position, true; false for the others (every handle of the base).
    virtual bool GetHandle(int n, DPoint& out) const;
    virtual void SetHandlePosition(int n, const DPoint& p);
    // SetHandlePosition.
    virtual void MoveHandle(int n, const DPoint& p);
    virtual void SelectHandle(int n);
    virtual bool IsHandleSelected(int n) const;
    virtual bool SaveGeometry(const ChangeRecord& change);
    virtual bool Transform(const ChangeRecord& change, int flags);
    virtual bool AcceptsChange(const ChangeRecord& change);
    virtual void EmptyHook(int a, int b, int c);
    virtual bool SetPoints(const DPoint* points, int n);
    virtual void PlacePoint(const DPoint& p, int n);
    // PlacePoint, then false: an object drawn in one drag wants no further
    // point.
    virtual bool DragPoint(const DPoint& p, int n);
    // True.
    virtual bool CanRemovePoint() const;
    virtual void RemoveLastPoint();

    // ---- Properties. A class with a fixed table of property rows hands it
    // to the base (properties), which then answers HasProperties (true),
    // the count and the row lookups from it instead of the defaults below.
    virtual bool HasProperties() const;
    // Writes -1 to out.
    virtual void GetPropertyLayout(int a, int b, int c, int d, int* out) const;
    // Command 100 "Ajouter point", 101 "Supprimer point".
    virtual void EditPoints(int a, int b, const DPoint& p, int command);
    virtual int GetPropertyCount() const;
    virtual bool GetPropertyFlags(int n, int& out) const;
    // Out 0 (the document's unit), true.
    virtual bool GetPropertyUnit(int n, int& out) const;
    virtual bool GetPropertyName(int n, ZuStringRef& out) const;
    virtual bool GetPropertyDescription(int n, ZuStringRef& out) const;
    // -2000.0 .. 2000.0, true.
    virtual bool GetPropertyRange(int n, double& min, double& max) const;
    virtual bool GetPropertyStep(int n, double& out) const;
    virtual bool GetPropertyOption(int n, int& out) const;
    virtual bool GetPropertyValue(int n, double& out) const;
    virtual bool SetPropertyValue(int n, double value);
    // Kind 2 a horizontal coordinate at a, 3 a vertical one, 4 a length
    // from a to b, 7 the angle at a from the horizontal to b.
    virtual bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const;

    // ---- Text (the line of text)
    virtual bool HasText() const;
    virtual bool ShowCaret(CGraPortRef& port);
    // The caret's ends at the character boundary under p.
    virtual bool TextClick(CGraPortRef& port, const DPoint& p, DPoint& top, DPoint& bottom);
    virtual bool TextSetCursor(CGraPortRef& port, const DPoint& p);
    virtual bool TextExtendSelection(CGraPortRef& port, const DPoint& p);
    virtual bool TextEndSelection(CGraPortRef& port, const DPoint& p);
    virtual bool TextHandleEvent(CGraPortRef& port, const ZuEventRef& event);
    // Cut: the selection into out, then deleted.
    virtual bool TextCommand(CGraPortRef& port, ZuStringRef& out);
    // Copy: the selection (the whole text when none) into out.
    virtual bool TextSetSelection(CGraPortRef& port, ZuStringRef& out);
    // Paste: text replaces the selection.
    virtual bool TextReplace(CGraPortRef& port, const ZuStringRef& text);
    virtual bool GetCaret(CGraPortRef& port, DPoint& a, DPoint& b, bool flag);
    // True.
    virtual bool IsTextEmpty() const;

    // ---- Debugging, definitions, editing
    virtual bool GetDebugText(ZuStringRef& out) const;
    // A 0-terminated list of the object's attribute kinds (empty here).
    virtual void GetDefinitionKinds(int* out) const;
    virtual int GetEditMode() const;
    virtual bool SetEditMode(int mode);
    virtual int IsEditing() const;
    virtual bool SetEditing(int editing);
    // Kinds 100, 101, 102, 105: the shadow definition (possibly empty),
    // true; other kinds false.
    virtual bool GetDefinition(int kind, ZuObjectRef& out) const;
    // Kinds 100, 101, 102, 105: a clone of the definition (the definition
    // itself when shared) replaces the shadow's; an empty one empties it.
    // False for other kinds and for a definition of another class.
    virtual bool SetDefinition(int kind, const ZuObjectRef& def);
    // Without a shadow (no position, or 120 "Pas d'ombre") the four shadow
    // definitions go; true.
    virtual bool PruneDefinitions();
    // With a shadow, adds to the caller's list (kinds, *count) each of 101,
    // 102 and 105 whose definition is missing, each once; true. The list
    // must have room for three more.
    virtual bool GetMissingDefinitions(int* kinds, int* count) const;

    // ---- Hit tests and drawing
    virtual bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags);
    virtual int HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int flags);
    virtual bool TextHitTest(CGraPortRef& port, const DPoint& p);
    virtual bool Draw(CGraPortRef& port, int flags);
    virtual bool DrawShadow(CGraPortRef& port, int flags);
    virtual bool UpdateBoundingBox(CGraPortRef& port);
    // The box the last UpdateBoundingBox measured; the zero rectangle until
    // a class measures one.
    virtual DRect GetBoundingBox() const;
    // The box of the handles of kinds 2 and 3; the zero rectangle without.
    virtual DRect GetHandlesBox() const;
    // Widens the box on the side the shadow falls.
    virtual void AddShadowToBox(DRect& box) const;
    // The rounding of a path's corner between the leg ends a and b, by
    // corner kind: 111 bevel, 112 round, 113 hollow, 114 square; nothing for
    // the others or a size of 0.0.
    virtual void DrawCorner(CGraPortRef& port, const DPoint& a, const DPoint& b,
                            const DPoint& corner, double size, int kind);
    // Shifts the port by the shadow offset and sets the shadow's colour
    // and fill; sets the pen (its width times the include share) and
    // answers true when the shadow is stroked. False, nothing changed,
    // without a position.
    virtual bool BeginShadow(CGraPortRef& port, const CPenDefRef& pen);
    // Undoes the shift of BeginShadow.
    virtual void EndShadow(CGraPortRef& port);

    // Whether a drawing pass with these flags paints the shadow: flag 4 set
    // and no outline mode (8, 16).
    static bool IsShadowPass(int flags)
    {
        return flags != 0 && (flags & 4) != 0 && (flags & (8 | 16)) == 0;
    }
    // The shadow of an outline: BeginShadow, the outline appended by
    // `outline` collected as a path, filled (and stroked when the shadow
    // takes the pen), EndShadow.
    void PaintShadowPath(CGraPortRef& port, const CPenDefRef& pen,
                         const std::function<void()>& outline);
    // DrawShadow of an object with an outline: nothing unless IsShadowPass
    // and HasShadow, then PaintShadowPath; true.
    bool DrawOutlineShadow(CGraPortRef& port, int flags, const CPenDefRef& pen,
                           const std::function<void()>& outline);
    // DrawShadow of an object drawn in strokes only (the line, the arrow):
    // nothing unless IsShadowPass, HasShadow and a pen share (include)
    // other than 0, then `draw` between BeginShadow and EndShadow; true.
    bool DrawStrokeShadow(CGraPortRef& port, int flags, const CPenDefRef& pen,
                          const std::function<void()>& draw);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Whether the object has a shadow: a position other than 120.
    bool HasShadow() const;
    // What GetIconId answers: first for variant 0, second for variant 1,
    // -1 for any other.
    static int IconOfVariant(int variant, int first, int second);

    // The passes of an outline through the port; `outline` appends it to
    // whatever the port collects. The stroke is the one set on the port.
    // A path: filled when fill, stroked, closed when close.
    void PaintOutline(CGraPortRef& port, bool fill, bool close,
                      const std::function<void()>& outline);
    // The stroke's pen, brush and pulsar set on the port; then the box of
    // the stroked outline (closed when close), widened on the shadow's
    // side, becomes the object's box; false, the box unchanged, when the
    // port measures none.
    bool MeasureOutline(CGraPortRef& port, const GraPaint& stroke, bool close,
                        const std::function<void()>& outline);
    // False for a p outside the object's box. Else the stroke set on the
    // port, and whether p hits the outline's inside (with testFill) or its
    // stroke (with testStroke) at the zoom; the outline closed when close.
    bool HitOutline(CGraPortRef& port, const GraPaint& stroke, const DPoint& p, double zoom,
                    bool testFill, bool testStroke, bool close,
                    const std::function<void()>& outline);

    CTreeNodeRef tree_node;
    CPositionDefRef position;
    CMotifDefRef motif;
    CPatternDefRef pattern;
    CColorDefRef colour;
    bool shown = true;
    // Measured by the classes: the base itself measures nothing.
    DRect box{0.0, 0.0, 0.0, 0.0};
    // The class's property table; none for the base.
    const GraPropertyTable* properties = nullptr;
};
ZU_CLASS_END(CGraObject)

#endif
