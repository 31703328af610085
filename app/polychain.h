// VertexChain: the bookkeeping of the vertex table that the curve chain and
// the free polygon share. A table holds count vertices of V (each with its
// point p and its end mark), three handles a vertex whose selection marks
// lie in one array, a chosen vertex (-1 none) and the copy of the vertices
// that Transform starts from. The objects keep these fields; VertexChain
// points at them, as GraPaint does at the definitions.
//
// The functions after it serve both objects' drawing, hit tests and
// stored records.
#ifndef LUMBRA_APP_POLYCHAIN_H
#define LUMBRA_APP_POLYCHAIN_H

#include <cmath>
#include <cstring>
#include <functional>

#include "app/grapaint.h"
#include "app/misc.h"
#include "si/string.h"

ZU_FORWARD(CGraPort)
class ZuStorageRef;

template <class V>
struct VertexChain {
    V* vertices;
    V* saved;
    int* count;
    int* chosen;
    unsigned char* selected;
    // The room of the selection marks.
    int marks;

    bool IsHandle(int n) const { return n >= 0 && n < 3 * *count; }
    // The neighbours of vertex i, wrapping around.
    int Next(int i) const { return i + 1 >= *count ? 0 : i + 1; }
    int Prev(int i) const { return i - 1 < 0 ? *count - 1 : i - 1; }
    // Segment s runs from vertex s to the next; the last one, back to vertex
    // 0, only when the table is closed.
    bool IsSegment(int s, bool closed) const
    {
        if (s < 0 || s >= *count)
            return false;
        return s < *count - 1 || closed;
    }
    // The mean of the vertices' points; the zero point without vertices.
    DPoint Centroid() const
    {
        DPoint c{0.0, 0.0};
        if (*count == 0)
            return c;
        for (int i = 0; i < *count; i++) {
            c.x += vertices[i].p.x;
            c.y += vertices[i].p.y;
        }
        return DPoint{c.x / *count, c.y / *count};
    }

    // Handle marks, kept only while editing.
    void Select(int editing, int n) const
    {
        if (editing != 0 && IsHandle(n))
            selected[n] = 1;
    }
    bool IsSelected(int editing, int n) const
    {
        if (editing == 0 || !IsHandle(n))
            return false;
        return selected[n] != 0;
    }
    bool AnySelected() const
    {
        bool any = false;
        for (int n = 0; n < 3 * *count; n++)
            any = any || selected[n] != 0;
        return any;
    }
    // No handle marked and no vertex chosen.
    void ClearMarks() const
    {
        std::memset(selected, 0, size_t(marks));
        *chosen = -1;
    }

    void Save() const
    {
        for (int i = 0; i < *count; i++)
            saved[i] = vertices[i];
    }
    // The vertices, their saved copy, their marks and the chosen vertex.
    void CopyFrom(const VertexChain& o) const
    {
        *count = *o.count;
        for (int i = 0; i < *count; i++) {
            vertices[i] = o.vertices[i];
            saved[i] = o.saved[i];
        }
        std::memcpy(selected, o.selected, size_t(3 * *count));
        *chosen = *o.chosen;
    }

    // Room for a vertex after vertex s: the later vertices and their marks
    // move up one place (the new vertex is unmarked; its place still holds
    // the vertex that was there) and the chosen vertex moves with them.
    // The caller makes sure there is room.
    void Insert(int s) const
    {
        for (int i = *count; i > s + 1; i--)
            vertices[i] = vertices[i - 1];
        std::memmove(selected + 3 * (s + 2), selected + 3 * (s + 1), size_t(3 * (*count - s - 1)));
        std::memset(selected + 3 * (s + 1), 0, 3);
        ++*count;
        if (*chosen > s)
            ++*chosen;
    }
    // Vertex v goes: the later vertices and their marks move down one place;
    // a chosen v is no longer chosen, a later chosen one moves with them.
    void Remove(int v) const
    {
        for (int i = v; i < *count - 1; i++)
            vertices[i] = vertices[i + 1];
        std::memmove(selected + 3 * v, selected + 3 * (v + 1), size_t(3 * (*count - v - 1)));
        std::memset(selected + 3 * (*count - 1), 0, 3);
        --*count;
        if (*chosen == v)
            *chosen = -1;
        else if (*chosen > v)
            --*chosen;
    }
    // The last vertex drawn goes; the one before becomes the last.
    void RemoveLast() const
    {
        if (*count <= 0)
            return;
        --*count;
        if (*count > 0)
            vertices[*count - 1].end = 1;
        if (*chosen >= *count)
            *chosen = -1;
    }
};

// "  Sommets=" and the count.
void SetVertexDebugText(ZuStringRef& out, int count);
// The cross that marks a lone vertex in the outline modes.
void DrawVertexCross(CGraPortRef& port, const DPoint& p);
// -1 for a p outside the object's box. Else the stroke set on the port,
// and the first of count segments that p hits (the closing one, count - 1,
// only when closed); -1 none. `segment` draws the segment from vertex i to
// vertex j.
int HitSegment(CGraPortRef& port, const GraPaint& stroke, const DRect& box, const DPoint& p,
               double zoom, int count, bool closed,
               const std::function<void(int i, int j)>& segment);
// The index of the point numbered value from 1 ("Choix point", its whole
// part), cut to the last of count; -1 below 1.
int PointOfNumber(double value, int count);
// The count of a stored vertex table, then the repeat; a count outside
// 0 .. max is refused with the stream error.
int RestoreVertexCount(const ZuStorageRef& s, int max);

#endif
