// CToolInput: what the page view remembers between input events: the
// pointer and press positions, the reticle, the node and handle under the
// pointer, the flags of the gesture under way, the caret's blink counter
// and the right button's target. One plain record inside the view.
#ifndef LUMBRA_APP_TOOLINPUT_H
#define LUMBRA_APP_TOOLINPUT_H

#include "app/misc.h"
#include "app/treenode.h"
#include "si/object.h"

struct CToolInput {
    // The two palettes, the tools one and the pop-up one (CToolPalette);
    // taken from the application when the view is given none.
    ZuObjectRef palette;
    ZuObjectRef popup;
    bool palettesSet = false;
    // The page laid out last: "Voir" has no entry of its own in the
    // palette's head, so the palette cannot tell it.
    int page = 0;

    DPoint pressPage = {};   // press point, page
    DPoint pressView = {};   // press point, window
    DPoint pressScroll = {}; // the scroll fractions at the press
    DPoint magnetPress = {}; // press point, magnetised
    DPoint magnet = {};      // current point, magnetised
    DPoint reticle = {};
    bool reticleShown = false;

    // Under the pointer: the hovered node, the handle state.
    CTreeNodeRef hoverNode;
    bool overHandle = false;
    DPoint handlePoint = {};
    int handleKind = 0;
    bool hoverFeedbackShown = false;

    // The last search of a handle (FindHandleAt).
    CTreeNodeRef handleNode;
    int handleIndex = -1;

    // One of the four selection gestures at a time.
    bool rubberBand = false;
    bool handleDrag = false;
    bool moving = false;
    bool boxTransform = false;
    int pressHandle = -1;
    DPoint bandCorners[2] = {};
    double bandDashOffset = 0.0;
    double hoverDashOffset = 0.0;

    bool glassFrame = false;
    DPoint glassCorners[2] = {};

    bool creatingText = false;

    // The caret of the text in editing: counter 0 to 11, shown below 8.
    bool caretShown = false;
    DPoint caret[2] = {};
    int blink = 0;

    // The right button's target.
    CTreeNodeRef contextNode;
    int contextVertex = -1;
    int contextSegment = -1;
    DPoint contextPoint = {};
    int contextShape = 7;
    bool contextPaletteShown = false;

    // Selection handle feedback owed to the palette's point commands.
    bool handleFeedback = false;
};

#endif
