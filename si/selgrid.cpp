#include "si/selgrid.h"

#include <cmath>

#include "si/adorner.h"
#include "si/boxview.h"
#include "si/classfactory.h"
#include "si/dragcalls.h"
#include "si/error.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuSelGrid, "si/selgrid", ZU_CLASS_PLAIN)

ZuAtomRef ZuSelGrid::notify_cell_activated;
ZuAtomRef ZuSelGrid::notify_cell_deactivated;
ZuAtomRef ZuSelGrid::notify_cell_dragged;

ZU_EXPORT_NOTIFY(ZuSelGrid, activated, "notify_cell_activated", &ZuSelGrid::notify_cell_activated)
ZU_EXPORT_NOTIFY(ZuSelGrid, deactivated, "notify_cell_deactivated",
                 &ZuSelGrid::notify_cell_deactivated)
ZU_EXPORT_NOTIFY(ZuSelGrid, dragged, "notify_cell_dragged", &ZuSelGrid::notify_cell_dragged)

namespace {

ZuSelGrid* GridOf(ZuObject* o)
{
    return static_cast<ZuSelGrid*>(o);
}

Zuvi_TargetExport cell_click(
    [](ZuObject* o, const ZuObjectRef& cell, unsigned rank) -> bool {
        GridOf(o)->HandleCellClick(cell, rank);
        return true;
    },
    "HandleCellClick", ZuSelGridRef::RetRuntime());
Zuvi_TargetExport drag_begin(
    [](ZuObject* o, const ZuObjectRef& cell, unsigned rank) -> bool {
        GridOf(o)->HandleDragBegin(cell, rank);
        return true;
    },
    "HandleDragBegin", ZuSelGridRef::RetRuntime());
Zuvi_TargetExport drag_commit(
    [](ZuObject* o) -> bool {
        GridOf(o)->HandleDragCommit();
        return true;
    },
    "HandleDragCommit", ZuSelGridRef::RetRuntime());
Zuvi_TargetExport drag_cancel(
    [](ZuObject* o) -> bool {
        GridOf(o)->HandleDragCancel();
        return true;
    },
    "HandleDragCancel", ZuSelGridRef::RetRuntime());

ZuStorageSync& SelGridRecord()
{
    static ZuStorageSync record(
        "<ZuSelGrid select_num select_on_click select_multiple_ok select_at_least_one "
        "search_by_lines : insert_between_lines insert_between_columns insert_over_cell>");
    return record;
}

// Made at each call: the atoms live only as long as one run of the
// library's services.
ZuAtomRef Atom(const char* name)
{
    return ZuAtomRef(name);
}

const char kSourceAttribute[] = "SourceSelGrid";

} // namespace

void ZuSelGrid::Delete()
{
    if (is_dragging || drag_view.IsValid())
        HandleDragCancel();
    ZuCellGrid::Delete();
    subst_message = ZuObjectRef();
}

void ZuSelGrid::StoreInstance(const ZuStorageRef& s)
{
    ZuCellGrid::StoreInstance(s);
    s << SelGridRecord() << ZuStorageSync::begin;
    s->StoreCard(select_num);
    s->StoreBool(select_on_click);
    s->StoreBool(select_multiple_ok);
    s->StoreBool(select_at_least_one);
    s->StoreBool(search_by_lines);
    s << ZuStorageSync::mark;
    s->StoreBool(insert_between_lines);
    s->StoreBool(insert_between_columns);
    s->StoreBool(insert_over_cell);
    s << ZuStorageSync::end;
}

void ZuSelGrid::RestoreInstance(const ZuStorageRef& s)
{
    ZuCellGrid::RestoreInstance(s);
    ResetDragDropStatus();
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    const std::uint64_t num = s->RestoreCard(select_num);
    // More hilites than cells cannot be: the count is bounded by the grid.
    const std::uint64_t cells = std::uint64_t(num_x) * num_y;
    select_num = unsigned(num <= cells ? num : cells);
    select_on_click = s->RestoreBool(select_on_click);
    select_multiple_ok = s->RestoreBool(select_multiple_ok);
    select_at_least_one = s->RestoreBool(select_at_least_one);
    search_by_lines = s->RestoreBool(search_by_lines);
    s >> ZuStorageSync::mark;
    insert_between_lines = s->RestoreBool(insert_between_lines);
    insert_between_columns = s->RestoreBool(insert_between_columns);
    insert_over_cell = s->RestoreBool(insert_over_cell);
    s >> ZuStorageSync::end;
}

void ZuSelGrid::NotifyArraySize(unsigned columns, unsigned rows)
{
    ZuCellGrid::NotifyArraySize(columns, rows);
}

void ZuSelGrid::NotifyAttachCell(const ZuControlRef& cell, unsigned column, unsigned line)
{
    ZuCellGrid::NotifyAttachCell(cell, column, line);
    if (cell.IsInvalid())
        return;
    if (cell->RetState().TestBit(ZU_VIEW_IS_ON))
        ++select_num;
    const unsigned rank = RetIndex(column, line);
    ZuObjectRef self(this);
    cell->AttachObserver(self, ZuControl::notify_clicked, Atom("HandleCellClick"), rank);
    if (dragging_enabled)
        cell->AttachObserver(self, Atom("notify_left_button_pressed"), Atom("HandleDragBegin"),
                             rank);
}

void ZuSelGrid::NotifyDetachCell(const ZuControlRef& cell, unsigned column, unsigned line)
{
    ZuCellGrid::NotifyDetachCell(cell, column, line);
    if (cell.IsInvalid())
        return;
    if (cell->RetState().TestBit(ZU_VIEW_IS_ON) && select_num > 0)
        --select_num;
    const unsigned rank = RetIndex(column, line);
    ZuObjectRef self(this);
    cell->DetachObserver(self, ZuControl::notify_clicked, Atom("HandleCellClick"), rank);
    cell->DetachObserver(self, Atom("notify_left_button_pressed"), Atom("HandleDragBegin"), rank);
}

void ZuSelGrid::ChangeCellObserver(const ZuAtomRef& event, const ZuAtomRef& handler, bool attach)
{
    ZuObjectRef self(this);
    for (unsigned c = 0; c < num_x; ++c)
        for (unsigned l = 0; l < num_y; ++l) {
            ZuControlRef cell;
            if (!GetCell(c, l, cell))
                continue;
            if (attach)
                cell->AttachObserver(self, event, handler, RetIndex(c, l));
            else
                cell->DetachObserver(self, event, handler, RetIndex(c, l));
        }
}

bool ZuSelGrid::RetActiveHilite(unsigned column, unsigned line) const
{
    ZuControlRef cell;
    return GetCell(column, line, cell) && cell->RetState().TestBit(ZU_VIEW_IS_ON);
}

bool ZuSelGrid::SetActiveHilite(unsigned column, unsigned line, bool on, bool report)
{
    if (!on) {
        if (select_at_least_one && select_num <= 1)
            return false;
        return SetInternalActiveHilite(column, line, false, report);
    }
    if (!select_multiple_ok && select_num > 0) {
        unsigned c = 0, l = 0;
        if (FindActiveHilite(c, l, 0) && !(c == column && l == line))
            SetInternalActiveHilite(c, l, false, report);
    }
    return SetInternalActiveHilite(column, line, true, report);
}

bool ZuSelGrid::SetInternalActiveHilite(unsigned column, unsigned line, bool on, bool report)
{
    if (!IsInside(column, line))
        return false;
    ZuControlRef cell;
    if (!GetCell(column, line, cell) || cell->RetState().TestBit(ZU_VIEW_IS_ON) == on)
        return true;
    cell->ChangeState(ZU_VIEW_IS_ON, on, false);
    if (on)
        ++select_num;
    else if (select_num > 0)
        --select_num;
    if (report)
        QuickReport(on ? notify_cell_activated : notify_cell_deactivated, 0);
    cell->Display(true);
    return true;
}

bool ZuSelGrid::RemoveEveryHilite()
{
    unsigned c = 0, l = 0;
    while (FindActiveHilite(c, l, 0))
        if (!SetInternalActiveHilite(c, l, false, false) || RetActiveHilite(c, l))
            break;
    return true;
}

bool ZuSelGrid::FindActiveHilite(unsigned& column, unsigned& line, unsigned n) const
{
    if (n >= select_num)
        return false;
    unsigned seen = 0;
    const unsigned outer = search_by_lines ? num_y : num_x;
    const unsigned inner = search_by_lines ? num_x : num_y;
    for (unsigned o = 0; o < outer; ++o)
        for (unsigned i = 0; i < inner; ++i) {
            const unsigned c = search_by_lines ? i : o, l = search_by_lines ? o : i;
            if (!RetActiveHilite(c, l))
                continue;
            if (seen++ == n) {
                column = c;
                line = l;
                return true;
            }
        }
    return false;
}

bool ZuSelGrid::EnableDragging(bool on)
{
    if (on == dragging_enabled)
        return true;
    ChangeCellObserver(Atom("notify_left_button_pressed"), Atom("HandleDragBegin"), on);
    dragging_enabled = on;
    return true;
}

bool ZuSelGrid::RetDraggingEnabled() const
{
    return dragging_enabled;
}

bool ZuSelGrid::IsDragging() const
{
    return is_dragging;
}

bool ZuSelGrid::SetSelectOnClick(bool on)
{
    select_on_click = on;
    return true;
}
bool ZuSelGrid::SetSelectMultipleOk(bool on)
{
    select_multiple_ok = on;
    return true;
}
bool ZuSelGrid::SetSelectAtLeastOne(bool on)
{
    select_at_least_one = on;
    return true;
}
bool ZuSelGrid::SetSearchLinesFirst(bool on)
{
    search_by_lines = on;
    return true;
}
bool ZuSelGrid::SetInsertBetweenLines(bool on)
{
    insert_between_lines = on;
    return true;
}
bool ZuSelGrid::SetInsertBetweenColumns(bool on)
{
    insert_between_columns = on;
    return true;
}
bool ZuSelGrid::SetInsertOverCell(bool on)
{
    insert_over_cell = on;
    return true;
}
bool ZuSelGrid::RetSelectOnClick() const
{
    return select_on_click;
}
bool ZuSelGrid::RetSelectMultipleOk() const
{
    return select_multiple_ok;
}
bool ZuSelGrid::RetSelectAtLeastOne() const
{
    return select_at_least_one;
}
bool ZuSelGrid::RetSearchLinesFirst() const
{
    return search_by_lines;
}
bool ZuSelGrid::RetInsertBetweenLines() const
{
    return insert_between_lines;
}
bool ZuSelGrid::RetInsertBetweenColumns() const
{
    return insert_between_columns;
}
bool ZuSelGrid::RetInsertOverCell() const
{
    return insert_over_cell;
}

bool ZuSelGrid::GetDropPosition(unsigned& column, unsigned& line, double& dx, double& dy) const
{
    if (!drop_valid)
        return false;
    column = drop_column;
    line = drop_line;
    dx = drop_dx;
    dy = drop_dy;
    return true;
}

bool ZuSelGrid::GetDragOrigin(unsigned& column, unsigned& line) const
{
    if (!origin_valid)
        return false;
    column = origin_column;
    line = origin_line;
    return true;
}

void ZuSelGrid::ResetDragDropStatus()
{
    drop_valid = false;
    origin_valid = false;
}

unsigned ZuSelGrid::RetSelectNum() const
{
    return select_num;
}

void ZuSelGrid::HandleCellClick(const ZuObjectRef&, unsigned rank)
{
    if (num_x == 0)
        return;
    const unsigned column = rank % num_x, line = rank / num_x;
    if (select_on_click)
        SetActiveHilite(column, line, !RetActiveHilite(column, line), true);
}

void ZuSelGrid::HandleDragBegin(const ZuObjectRef&, unsigned rank)
{
    if (!dragging_enabled || num_x == 0 || is_dragging)
        return;
    const unsigned column = rank % num_x, line = rank / num_x;
    is_dragging = true;
    origin_valid = true;
    origin_column = drop_column = column;
    origin_line = drop_line = line;
    const ZuEventRef& event = ZuEvent::Current();
    const double px = event.IsValid() ? event->RetX() : 0, py = event.IsValid() ? event->RetY() : 0;
    ZuBoxViewRef image = ZuNew<ZuBoxView>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    image->SetParent(ZuViewRef(this));
    image->SetBox(ZuRect(px - 5, py - 5, px + 4, py + 4));
    image->SetBackColor(ZU_COLOR_VIEW_DROPPING);
    image->SetFrameColor(ZU_COLOR_BLACK);
    image->SetEnableTitle(false);
    image->SetEnableFrame(true);
    ZuViewRef self(this);
    if (Zuvi_drag_calls.make)
        drag_view = Zuvi_drag_calls.make(image, ZuObjectRef(), false, 0, 0, self);
    if (drag_view.IsInvalid()) {
        // No drag can run: the grid is idle again and the press stays an
        // ordinary click.
        is_dragging = false;
        image->SetParent(ZuViewNull);
        image->Delete();
        return;
    }
    drag_image = image;
    // The cell's click ends here: the press became a drag.
    ZuControlRef cell;
    if (event.IsValid() && GetCell(column, line, cell))
        cell->ButtonRelease(event);
    drag_view->SetAttribute(kSourceAttribute, self);
    drag_view->AttachObserver(self, Atom("notify_drop_cancelled"), Atom("HandleDragCancel"), 0);
    drag_view->AttachObserver(self, Atom("do_commit_smart_drop"), Atom("HandleDragCommit"), 0);
    if (Zuvi_drag_calls.start)
        Zuvi_drag_calls.start(drag_view);
}

void ZuSelGrid::HandleDragCommit()
{
    ZU_ASSERT_TEXT(is_dragging, "this->is_dragging");
    double x = 0, y = 0;
    unsigned column = 0, line = 0;
    if (drag_view.IsValid() && Zuvi_drag_calls.drop_origin &&
        Zuvi_drag_calls.drop_origin(drag_view, x, y) && CellUnder(x, y, column, line)) {
        drop_column = column;
        drop_line = line;
        drop_valid = true;
        QuickReport(notify_cell_dragged, 0);
    }
    HandleDragCancel();
}

void ZuSelGrid::HandleDragCancel()
{
    is_dragging = false;
    if (drag_view.IsInvalid())
        return;
    ZuObjectRef drag = drag_view;
    drag_view = ZuObjectRef();
    ZuObjectRef self(this);
    drag->DetachObserver(self, Atom("notify_drop_cancelled"), Atom("HandleDragCancel"), 0);
    drag->DetachObserver(self, Atom("do_commit_smart_drop"), Atom("HandleDragCommit"), 0);
    // The drag stops by itself and deletes itself once it has reported its
    // end: deleting it here as well would delete its window twice. Its
    // image is the grid's and goes.
    if (drag_image.IsValid()) {
        ZuViewRef image = drag_image;
        drag_image = ZuViewRef();
        if (image->RetParent().IsValid())
            image->SetParent(ZuViewNull);
        image->Delete();
    }
}

bool ZuSelGrid::CellUnder(double x, double y, unsigned& column, unsigned& line)
{
    ZuViewRef found;
    if (!ZuCellGrid::Detect(x, y, found, true) || found.IsInvalid() || found == this ||
        !found->IsKindOf(ZuControlRef::RetRuntime()))
        return false;
    return FindCell(ZuControlRef(found), column, line);
}

void ZuSelGrid::ShowOverlay(bool show)
{
    if (show == overlay_shown)
        return;
    const ZuWindowRef& w = RetWindow();
    overlay_shown = show;
    if (w.IsInvalid())
        return;
    if (show)
        w->NotifyInsertOverlay(ZuViewRef(this));
    else
        w->NotifyRemoveOverlay(ZuViewRef(this));
    w->Display(true);
}

bool ZuSelGrid::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object, ZuDragDropProtocol step)
{
    ZuObjectRef source;
    if (object.IsInvalid() || !object->GetAttribute(kSourceAttribute, source, 0))
        return ZuCellGrid::DragAndDrop(rect, object, step);
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
        return state.TestBit(ZU_VIEW_OK_DROP);
    case ZU_DDP_DRAGnDROP_ENTER:
    case ZU_DDP_DRAGnDROP_MOTION: {
        const double cx = (rect.X1() + rect.X2()) / 2, cy = (rect.Y1() + rect.Y2()) / 2;
        unsigned column = 0, line = 0;
        ZuRect cell_box;
        if (CellUnder(cx, cy, column, line) && GetCellRect(column, line, cell_box)) {
            bool redraw = false;
            const double hw = cell_box.DX() / 2, hh = cell_box.DY() / 2;
            const double ccx = (cell_box.X1() + cell_box.X2()) / 2;
            const double ccy = (cell_box.Y1() + cell_box.Y2()) / 2;
            drop_dx = insert_between_columns && hw != 0 ? (cx - ccx) / hw : 0;
            drop_dy = insert_between_lines && hh != 0 ? (cy - ccy) / hh : 0;
            if (!overlay_shown) {
                const ZuWindowRef& w = RetWindow();
                overlay_shown = true;
                if (w.IsValid())
                    w->NotifyInsertOverlay(ZuViewRef(this));
                redraw = true;
            }
            drop_column = column;
            drop_line = line;
            unsigned place = 0;
            if (std::fabs(drop_dx) < 0.3 && std::fabs(drop_dy) < 0.3 && insert_over_cell)
                place = 1;
            else if (std::fabs(drop_dx) <= std::fabs(drop_dy))
                place = drop_dy >= 0 ? 5 : 4;
            else
                place = drop_dx >= 0 ? 3 : 2;
            if (place != drop_place)
                redraw = true;
            drop_place = place;
            if (redraw && RetWindow().IsValid())
                RetWindow()->Display(true);
        }
        return ZuCellGrid::DragAndDrop(rect, object, step);
    }
    case ZU_DDP_DRAGnDROP_LEAVE:
    case ZU_DDP_DRAGnDROP_COMMIT:
        ShowOverlay(false);
        return ZuCellGrid::DragAndDrop(rect, object, step);
    case ZU_DDP_DRAGnDROP_SUBST:
    case ZU_DDP_CONNECT_SUBST:
    case ZU_DDP_UI_EDIT_SUBST: {
        const ZuViewRef& up = RetParent();
        if (up.IsValid() && up->DragAndDrop(rect, object, step)) {
            if (subst_message.IsInvalid())
                subst_message = ZuNew<ZuMessage>(Zuvi_temp_zone, __LINE__, ZU_SRC_FILE);
            ZuMessageRef message(subst_message);
            message->SetMethod("SubstituteTarget");
            message->Clear();
            ZuStorageRef(message) << ZuObjectRef(this);
            message->Send(object);
        }
        return false;
    }
    default:
        return ZuCellGrid::DragAndDrop(rect, object, step);
    }
}

void ZuSelGrid::DrawOverlay(const ZuGrailPortRef& port, const ZuRect&)
{
    // Only the marker: the plain view's overlay would wash the whole grid
    // in the dropping colour while a cell is dragged over it.
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    double x0 = 0, y0 = 0, w = 0, h = 0;
    GetCellPos(drop_column, drop_line, x0, y0);
    GetCellSize(drop_column, drop_line, w, h);
    const ZuLookColor color = ZU_COLOR_VIEW_DROPPING;
    switch (drop_place) {
    case 1: {
        const ZuRect r = (w == 0 || h == 0) ? ZuRect() : ZuRect(x0, y0, x0 + w - 1, y0 + h - 1);
        adorner->DrawRect(r, color, -1);
        adorner->DrawRect(r, color, -2);
        break;
    }
    case 2:
        adorner->FillRect(ZuRect(x0 - 1, y0, x0, y0 + h - 1), color, 0);
        break;
    case 3:
        adorner->FillRect(ZuRect(x0 + w - 1, y0, x0 + w, y0 + h - 1), color, 0);
        break;
    case 4:
        adorner->FillRect(ZuRect(x0, y0 - 1, x0 + w - 1, y0), color, 0);
        break;
    case 5:
        adorner->FillRect(ZuRect(x0, y0 + h - 1, x0 + w - 1, y0 + h), color, 0);
        break;
    default:
        break;
    }
}
