// ZuIconSet: a row of ZuIcon children from left to right, top-aligned, the
// set sized to them. Element i of the array is the i-th icon of the row;
// an element may be empty and then takes no room, and so does one that is
// no icon (stored data may hold anything).
#ifndef SI_ICONSET_H
#define SI_ICONSET_H

#include "si/array.h"
#include "si/control.h"
#include "si/icon.h"

ZU_HANDLE(ZuIconSet, ZuControl)
class ZuIconSet : public ZuControl {
    ZU_CLASS(ZuIconSet, ZuControl)
public:
    ZuIconSet();

    // Every icon leaves the set and the array is emptied.
    void Delete() override;
    // The icons' minimum widths summed, the largest minimum height.
    void GetMinSize(double& dx, double& dy) const override;
    // The same with the icons' maximum sizes.
    void GetMaxSize(double& dx, double& dy) const override;

    // A new centred icon of that name, at its own size, put in element
    // index.
    virtual bool InsertIcon(unsigned int index, const ZuAtomRef& name);
    // The icon replaces element index (the array grows to hold it) and
    // becomes a child of the set; an icon the element held before leaves
    // the set, so that no stray child is drawn over the row.
    virtual bool InsertIcon(unsigned int index, const ZuIconRef& icon);
    // The icon of element index leaves the set; the element is then
    // removed, later icons moving down one. The array's answer.
    virtual bool RemoveIcon(unsigned int index);

    const ZuIconArray& RetIcons() const { return icons; }

protected:
    // The set takes its minimum size and lines its icons up from its
    // top-left corner.
    virtual void UpdateGeometry();

    // "<ZuIconSet icons>".
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuIconArray icons;

private:
    void SumIconSizes(void (ZuView::*measure)(double&, double&) const, double& dx,
                      double& dy) const;
};
ZU_CLASS_END(ZuIconSet)

#endif
