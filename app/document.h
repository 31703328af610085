// CDocument: the drawing document: the drawing area and the page size, the
// duplication offset, four unit slots, the tool choices, the guides, the
// default pens and colours, the six sample lists and the tree of drawing
// objects. One document is current at a time (SetCurrentDocument).
//
// Units: slot 0 is the main unit (23 millimetres after Reset), slot 1 the
// secondary one (24 centimetres), slots 2 and 3 unused (-1).
//
// Guides: two lists (horizontal, vertical) of at most 50 positions each,
// kept ascending; an index outside a list changes nothing and answers
// -1 or 0.0.
//
// Sample files: ".sample" archives holding the six sample lists in the
// document's order ("Tout", "Trait", "Intérieur", "Ombre", "Forme", "Mise
// en page"). Reading replaces the six lists only when the whole file was
// read; writing is atomic.
//
// Stored record (after the object part): begin, Int 1, Int 0, Int 97, a
// string (a line about the program), mark, Real area width and height,
// Real page width and height, mark, Real duplication offsets x and y,
// mark, Int units 0 .. 3, Int horizontal guide count, repeat, {begin, Real
// position, end} per guide, end_repeat, the same for the vertical guides,
// mark, Int tool choices 0 .. 2, mark, the four pens, mark, the nineteen
// colours in the slot order 0, 1, 2, 3, 4, 6, 7, 8, 9, 12, 11, 13, 14, 15,
// 16, 17, 18, 10, 5, mark, the six sample lists, mark, the tree, end. The
// modified flag, the sample file name and the selected guide are not
// stored. A stored document whose pens, colours, sample lists or tree are
// missing is refused as corrupt input; guides beyond 50 in a list are read
// and dropped.
#ifndef LUMBRA_APP_DOCUMENT_H
#define LUMBRA_APP_DOCUMENT_H

#include "app/colordef.h"
#include "app/pendef.h"
#include "app/samplelist.h"
#include "app/tree.h"
#include "si/string.h"

ZU_HANDLE(CDocument, ZuObject)

class CDocument : public ZuObject {
    ZU_CLASS(CDocument, ZuObject)
public:
    enum { UNITS = 4, TOOLS = 3, SAMPLE_LISTS = 6, PENS = 4, COLORS = 19, MAX_GUIDES = 50 };

    // Everything empty but the sample file name ("default.sample"); the
    // program calls Reset.
    CDocument();
    ~CDocument() override;
    // Deletes the tree (with every drawing object) and the sample lists.
    void Delete() override;

    // Makes the document a new one, then reads the samples of
    // "default.sample" (looked up in the working directory, then beside the
    // program).
    void Reset();

    // ---- Units: slots 1 .. 3, any other slot number is slot 0.
    int GetUnit(int slot) const;
    // Slots 0 .. 3; another slot number changes nothing.
    void SetUnit(int slot, int code);
    // Calls ChangeUnit(unit) of every live object that implements
    // IChangeUnit, each once.
    void NotifyChangeUnit(int unit);

    // ---- Guides
    int GetGuideCount(bool horizontal) const;
    // 0.0 for an index outside the list.
    double GetGuide(bool horizontal, int n) const;
    // Moves guide n and sorts it into place; its new index, -1 for an
    // index outside the list.
    int SetGuide(bool horizontal, int n, double position);
    // Adds a guide after those at or below it; its index, -1 when the list
    // holds 50 already.
    int AddGuide(bool horizontal, double position);
    // Later guides move down one place; an index outside changes nothing.
    void RemoveGuide(bool horizontal, int n);
    void SetCurrentGuide(bool horizontal, int index);
    void GetCurrentGuide(bool& horizontal, int& index) const;

    // ---- Samples
    bool GetSampleFileName(ZuStringRef& out) const;
    void SetSampleFileName(const ZuStringRef& name);
    // An empty name becomes "default.sample"; ".sample" (in any case) is
    // appended unless the name ends with it. In place; true.
    static bool BuildSampleFileName(ZuStringRef& name);
    // Normalises name and reads the six lists from that file; they replace
    // the document's only when all six were read, and the file name is
    // remembered. False, nothing changed, otherwise.
    bool ReadSamples(ZuStringRef& name);
    // Normalises name and writes the six lists to that file; the file name
    // is remembered when written. False, the old file and the name kept,
    // otherwise.
    bool WriteSamples(ZuStringRef& name);

    // ---- Document files
    // Stores the document in an archive file, atomically; false when the
    // file could not be written whole (the old file is kept).
    bool WriteFile(const ZuStringRef& name);
    // A new document read from an archive file; empty when the file cannot
    // be read or is not a whole, sound document.
    static CDocumentRef ReadFile(const ZuStringRef& name);

    // ---- Fields
    bool IsModified() const { return modified; }
    void SetModified(bool m) { modified = m; }
    double GetAreaWidth() const { return area_width; }
    double GetAreaHeight() const { return area_height; }
    void SetAreaSize(double w, double h)
    {
        area_width = w;
        area_height = h;
    }
    double GetPageWidth() const { return page_width; }
    double GetPageHeight() const { return page_height; }
    void SetPageSize(double w, double h)
    {
        page_width = w;
        page_height = h;
    }
    double GetDuplicationOffsetX() const { return duplication_x; }
    double GetDuplicationOffsetY() const { return duplication_y; }
    void SetDuplicationOffset(double x, double y)
    {
        duplication_x = x;
        duplication_y = y;
    }
    // i 0 .. 2; 0 outside.
    int GetToolChoice(int i) const;
    void SetToolChoice(int i, int tool);
    // i 0 .. 5; empty outside.
    CSampleListRef GetSampleList(int i) const;
    const CTreeRef& GetTree() const { return tree; }
    // i 0 .. 3; empty outside.
    CPenDefRef GetPen(int i) const;
    // i 0 .. 18; empty outside.
    CColorDefRef GetColor(int i) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    struct GuideList {
        int count;
        double positions[MAX_GUIDES];
    };
    GuideList& Guides(bool horizontal) { return horizontal ? h_guides : v_guides; }
    const GuideList& Guides(bool horizontal) const { return horizontal ? h_guides : v_guides; }
    static int SortGuide(GuideList& list, int n);
    static void StoreGuides(const ZuStorageRef& s, const GuideList& list);
    static void RestoreGuides(const ZuStorageRef& s, GuideList& list);

    bool modified = false;
    ZuStringRef sample_file_name;
    double area_width = 0.0;
    double area_height = 0.0;
    double page_width = 0.0;
    double page_height = 0.0;
    double duplication_x = 0.0;
    double duplication_y = 0.0;
    int units[UNITS] = {};
    int tool_choices[TOOLS] = {};
    CSampleListRef sample_lists[SAMPLE_LISTS];
    CTreeRef tree;
    GuideList h_guides = {};
    GuideList v_guides = {};
    bool current_guide_horizontal = true;
    int current_guide_index = -1;
    CPenDefRef pens[PENS];
    CColorDefRef colours[COLORS];
};
ZU_CLASS_END(CDocument)

#endif
