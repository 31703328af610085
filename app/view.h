// CView: how a document is viewed and edited, stored with it: eight display
// switches, the view position and zoom, the user origin, further grid and
// layout values, the current page and layer. Besides, a history of earlier
// zooms (at most 100, not stored) serves the "Loupe précédente" command.
//
// The page view and the settings tabs read and write the fields directly.
//
// Stored record (after the object part): begin, mark, 8 Bool switches, mark,
// Real x, Real y, Real zoom, mark, Real user origin x, Real user origin y,
// Real values 3 .. 8, Int counts 1, 2, Bool switch 9, mark, Int current
// page, Int current layer, end.
#ifndef LUMBRA_APP_VIEW_H
#define LUMBRA_APP_VIEW_H

#include "si/object.h"

ZU_HANDLE(CView, ZuObject)

class CView : public ZuObject {
    ZU_CLASS(CView, ZuObject)
public:
    enum { SWITCHES = 8, VALUES = 6, HISTORY = 100 };
    // The switches, by place: the grid shown, the grid and the guides
    // magnetic, the outline (draft) display, the bounding boxes shown, the
    // guides shown, new objects selected, the reticule shown.
    enum {
        SHOW_GRID = 0,
        GRID_MAGNETISM = 1,
        GUIDE_MAGNETISM = 2,
        OUTLINE = 3,
        SHOW_BOUNDING_BOXES = 4,
        SHOW_GUIDES = 5,
        SELECT_NEW_OBJECTS = 6,
        RETICULE_VISIBLE = 7
    };

    CView();

    void ClearZoomHistory();
    // Appends the current zoom and position; when the history is full, the
    // oldest entry goes.
    bool PushZoomHistory();
    // Back to the newest entry, which is removed; false when there is none.
    bool PopZoomHistory();
    int RetHistoryCount() const { return history_count; }

    bool switches[SWITCHES];
    double x;
    double y;
    double zoom;
    double origin_x;
    double origin_y;
    // Values 3 .. 8.
    double values[VALUES];
    int count1;
    int count2;
    bool switch9;
    int current_page;
    int current_layer;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    struct Entry {
        double zoom;
        double x;
        double y;
    };
    int history_count;
    Entry history[HISTORY];
};
ZU_CLASS_END(CView)

#endif
