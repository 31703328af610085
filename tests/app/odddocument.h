// Documents as a file from elsewhere could hold them: horizontal guides
// given as they are (not numbers, out of order, more than fit), colours
// left out, or the grid's colour with components out of range. The
// classes are implemented once, in guidesetup_test.cpp.
#ifndef TESTS_APP_ODDDOCUMENT_H
#define TESTS_APP_ODDDOCUMENT_H

#include <string>
#include <vector>

#include "app/colordef.h"
#include "app/document.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/storage.h"
#include "si/storagesync.h"

// A colour definition that stores the four components it is given at
// every index.
ZU_HANDLE(TOddColour, CColorDef)
class TOddColour : public CColorDef {
    ZU_CLASS(TOddColour, CColorDef)
public:
    TOddColour() {}
    double stored[4] = {0.0, 0.0, 0.0, 0.0};

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        CDef::StoreInstance(s);
        s << ZuStorageSync::begin << int(MAX_VALUES) << ZuStorageSync::repeat;
        for (int i = 0; i < MAX_VALUES; i++)
            s << ZuStorageSync::begin << stored[0] << stored[1] << stored[2] << stored[3] << 0.0
              << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << ZuStorageSync::end;
    }
};
ZU_CLASS_END(TOddColour)

ZU_HANDLE(TOddDocument, CDocument)
class TOddDocument : public CDocument {
    ZU_CLASS(TOddDocument, CDocument)
public:
    TOddDocument() {}
    std::vector<double> guides;
    bool without_colours = false;
    // Stored in place of the grid's colour (definition 15) when valid.
    CColorDefRef grid_colour;

protected:
    void StoreInstance(const ZuStorageRef& s) override
    {
        ZuObject::StoreInstance(s);
        s << ZuStorageSync::begin << 1 << 0 << 97 << ZuStringRef("odd") << ZuStorageSync::mark;
        s << 2000.0 << 2000.0 << 210.0 << 297.0 << ZuStorageSync::mark;
        s << 10.0 << 10.0 << ZuStorageSync::mark;
        s << 23 << 24 << -1 << -1;
        s << int(guides.size()) << ZuStorageSync::repeat;
        for (double g : guides)
            s << ZuStorageSync::begin << g << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << 0 << ZuStorageSync::repeat << ZuStorageSync::end_repeat
          << ZuStorageSync::mark;
        s << 0 << 0 << 0 << ZuStorageSync::mark;
        for (int i = 0; i < PENS; ++i)
            s << GetPen(i);
        s << ZuStorageSync::mark;
        const int order[COLORS] = {0,  1,  2,  3,  4,  6,  7,  8,  9, 12,
                                   11, 13, 14, 15, 16, 17, 18, 10, 5};
        for (int slot : order) {
            if (without_colours)
                s << CColorDefRef();
            else if (slot == 15 && grid_colour.IsValid())
                s << grid_colour;
            else
                s << GetColor(slot);
        }
        s << ZuStorageSync::mark;
        for (int i = 0; i < SAMPLE_LISTS; ++i)
            s << GetSampleList(i);
        s << ZuStorageSync::mark << GetTree() << ZuStorageSync::end;
    }
};
ZU_CLASS_END(TOddDocument)

// Writes such a document to the file; false when it cannot be written.
inline bool WriteOddDocument(const std::string& path, const std::vector<double>& guides,
                             bool without_colours, const CColorDefRef& grid_colour = CColorDefRef())
{
    TOddDocumentRef doc = ZuNew<TOddDocument>(Zuvi_app_zone);
    doc->Reset();
    doc->guides = guides;
    doc->without_colours = without_colours;
    doc->grid_colour = grid_colour;
    const bool written = doc->WriteFile(ZuStringRef(path.c_str()));
    doc->grid_colour = CColorDefRef();
    doc->Delete();
    return written;
}

#endif
