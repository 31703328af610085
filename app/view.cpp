#include "app/view.h"

#include <cstring>

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CView, "app/view", ZU_CLASS_PLAIN)

CView::CView()
    : x(0.5), y(0.5), zoom(72.0 / 25.4), origin_x(0.0), origin_y(0.0), count1(10), count2(10),
      switch9(false), current_page(0), current_layer(0), history_count(0)
{
    const bool on[SWITCHES] = {false, false, true, false, true, true, false, false};
    std::memcpy(switches, on, sizeof switches);
    const double v[VALUES] = {0.0, 0.0, 0.0, 0.0, 10.0, 10.0};
    std::memcpy(values, v, sizeof values);
    std::memset(history, 0, sizeof history);
}

void CView::ClearZoomHistory()
{
    history_count = 0;
}

bool CView::PushZoomHistory()
{
    if (history_count == HISTORY) {
        std::memmove(history, history + 1, sizeof(Entry) * (HISTORY - 1));
        --history_count;
    }
    history[history_count++] = Entry{zoom, x, y};
    return true;
}

bool CView::PopZoomHistory()
{
    if (history_count == 0)
        return false;
    const Entry& e = history[--history_count];
    zoom = e.zoom;
    x = e.x;
    y = e.y;
    return true;
}

void CView::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << ZuStorageSync::mark;
    for (bool b : switches)
        s << b;
    s << ZuStorageSync::mark << x << y << zoom;
    s << ZuStorageSync::mark << origin_x << origin_y;
    for (double v : values)
        s << v;
    s << count1 << count2 << switch9;
    s << ZuStorageSync::mark << current_page << current_layer;
    s << ZuStorageSync::end;
}

void CView::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> ZuStorageSync::mark;
    for (bool& b : switches)
        s >> b;
    s >> ZuStorageSync::mark >> x >> y >> zoom;
    s >> ZuStorageSync::mark >> origin_x >> origin_y;
    for (double& v : values)
        s >> v;
    s >> count1 >> count2 >> switch9;
    s >> ZuStorageSync::mark >> current_page >> current_layer;
    s >> ZuStorageSync::end;
    history_count = 0;
}
