#ifndef TESTS_SUPPORT_ITEMVIEWS_H
#define TESTS_SUPPORT_ITEMVIEWS_H

// Items and an architect for the tests of layouts, view providers and
// panes. The items are probe views (tests/support/views.h) held in an
// array; the architect sizes an item by its box and shows it as a new
// probe view of the same size, label and colour in slot 0 of the holder.

#include <utility>
#include <vector>

#include "si/array.h"
#include "si/viewarchitect.h"
#include "tests/support/views.h"

ZU_HANDLE(TItemArchitect, ZuViewArchitect)
class TItemArchitect : public ZuViewArchitect {
    ZU_CLASS(TItemArchitect, ZuViewArchitect)
public:
    TItemArchitect() {}
    static TItemArchitectRef Make();

    // A view's size; the empty item gets the default size when the
    // architect knows one; anything else: false.
    bool GetViewSize(const ZuObjectRef& item, double& width, double& height) override;
    bool CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder) override;

    bool knows_default = false;
    double default_dx = 0;
    double default_dy = 0;
    unsigned size_calls = 0;
    unsigned create_calls = 0;
};
ZU_CLASS_END(TItemArchitect)

// An array of probe views "0", "1"... of the given sizes, each filled with
// the colour given beside it (0: none).
struct TItemSpec {
    double dx;
    double dy;
    unsigned color;
};
ZuArrayRef NewItems(const std::vector<TItemSpec>& items);

// The object stored into a test storage and read back (what an interface
// file gives back).
ZuObjectRef StoredAndRead(const ZuObjectRef& object);

#endif
