// CCollectionSample: a small control that shows one attribute definition
// as a swatch: a colour as a filled box (a cross when it is fully
// transparent), a pen as a horizontal stroke rendered through PostScript
// with its width written under it in the document's main unit, anything
// else as a grey box. The definition is the published data item "def"
// (writable by name; a value that is not a definition is refused).
//
// With drag-and-drop switched on (SetDragEnabled), a press followed by a
// motion of more than 5 (city-block distance) drags a copy of the swatch
// away; such a control takes a drop only of another sample control.
//
// Pen swatches share one 100 x 100 Ghostscript context and one port, made
// the first time a pen is drawn and kept while any sample control lives.
#ifndef LUMBRA_APP_COLLECTIONSAMPLE_H
#define LUMBRA_APP_COLLECTIONSAMPLE_H

#include "app/def.h"
#include "app/graport.h"
#include "ghost/gscontext.h"
#include "si/control.h"
#include "si/string.h"

#include <string>

ZU_HANDLE(CCollectionSample, ZuControl)

class CCollectionSample : public ZuControl {
    ZU_CLASS(CCollectionSample, ZuControl)
public:
    // The farthest (city-block) a pressed pointer moves without starting a
    // drag.
    static const double kDragDistance;

    CCollectionSample();

    // A definition to show (and its text as tool tip); an empty handle
    // shows the grey box without tool tip. Redisplays; true.
    bool SetDef(const CDefRef& def);
    const CDefRef& RetDef() const { return definition; }
    void SetDragEnabled(bool on) { drag_enabled = on ? 1 : 0; }
    bool IsDragEnabled() const { return drag_enabled != 0; }
    bool IsDragging() const { return dragging != 0; }
    // The control's text (a copy of the given string) becomes its tool tip.
    void SetToolTipText(const ZuObjectRef& text);
    // ZU_VIEW_IS_ON becomes (on == 1); redisplays.
    void SetOn(int on);

    // The text written under a pen swatch for a width in millimetres: the
    // width in the document's main unit, trailing zeros (and then a
    // trailing point) cut.
    static std::string WidthText(double width);
    // The shared context and port that render pen swatches; made on first
    // use. Empty when the interpreter could not start.
    static GSContextRef RetSharedContext();
    static CGraPortRef RetSharedPort();

    void Delete() override;
    void ButtonPress(const ZuEventRef& event) override;
    void ButtonRelease(const ZuEventRef& event) override;
    void DragNotify(const ZuEventRef& event) override;
    void DrawFront(const ZuGrailPortRef& port, const ZuRect& area) override;
    bool DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                     ZuDragDropProtocol step) override;

    static ZuAtomRef Changed;

private:
    void DrawPen(const ZuGrailPortRef& port);

    CDefRef definition;
    ZuStringRef text;
    unsigned char drag_enabled = 0;
    unsigned char dragging = 0;
    double press_x = 0;
    double press_y = 0;
    // Whether the control still counts among the users of the shared
    // context (until Delete).
    unsigned char counted = 1;
};
ZU_CLASS_END(CCollectionSample)

#endif
