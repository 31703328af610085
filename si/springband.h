// ZuSpringBand: lays out a row (horizontal band) or a column (vertical
// band) of views by springs (si/spring). Every view has a spring for its
// own length and there is one for every gap before, between and after the
// views: for view i, spring 2i is the gap before it, 2i + 1 its length and
// 2i + 2 the gap after it. Given a rectangle, the band finds the stretch at
// which the sum of its springs (its meta spring) fills the rectangle's
// length and places every view along it, touching only the coordinates
// along the band.
//
// A band comes from stored view trees or from the class factory; what it
// holds is outside data then: a view or spring of another class, or a
// spring count that does not match the views, makes the band lay out
// nothing rather than stop.
#ifndef SI_SPRINGBAND_H
#define SI_SPRINGBAND_H

#include "si/array.h"
#include "si/rect.h"
#include "si/spring.h"
#include "si/view.h"

class ZuSpringBand : public ZuObject {
    ZU_CLASS(ZuSpringBand, ZuObject)
public:
    ZuSpringBand();

    void Delete() override;

    // The sum of all springs, brought up to date (nothing without springs).
    virtual void BuildMetaSpring() const;
    // No view and no spring.
    virtual void RemoveAll();
    virtual void SetVertical(bool vertical);
    virtual bool IsVertical() const;
    // A spring of the band changed: the sum is out of date.
    virtual void SpringChanged();
    // Places the views along the rectangle's length.
    virtual void Resize(const ZuRect& rect);
    virtual const ZuSpringRef& RetMetaSpring() const;
    virtual unsigned CountViews() const;
    virtual unsigned CountSprings() const;
    // Inserts a view at index (not above CountViews()) with rigid springs:
    // the view keeps its size and the gaps share out the room of the gap
    // it falls into.
    virtual bool InsertView(unsigned index, const ZuViewRef& view);
    virtual bool RemoveView(const ZuViewRef& view);
    // The view's gap and length join the gap before it.
    virtual bool RemoveView(unsigned index);
    virtual bool GetAssociatedWindow(ZuWindowRef& out) const;
    // Every spring takes its present measure from the views and their
    // parent, keeping its character (rigid or giving).
    virtual bool ResetFromModel();
    virtual bool GetNthView(unsigned index, ZuViewRef& out) const;
    virtual bool GetNthSpring(unsigned index, ZuSpringRef& out) const;
    virtual bool FindView(const ZuViewRef& view, unsigned& index) const;
    virtual bool FindView(const ZuViewRef& view) const;
    virtual bool ReplaceView(const ZuViewRef& old_view, const ZuViewRef& new_view);
    virtual bool FindSpringBeforeView(const ZuViewRef& view, ZuSpringRef& out) const;
    virtual bool FindSpringBeforeView(unsigned index, ZuSpringRef& out) const;
    virtual bool FindSpringOfView(const ZuViewRef& view, ZuSpringRef& out) const;
    virtual bool FindSpringOfView(unsigned index, ZuSpringRef& out) const;
    virtual bool FindSpringAfterView(const ZuViewRef& view, ZuSpringRef& out) const;
    virtual bool FindSpringAfterView(unsigned index, ZuSpringRef& out) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // Element i when it is of the right class, else an empty handle.
    ZuViewRef ViewAt(unsigned index) const;
    ZuSpringRef SpringAt(unsigned index) const;
    // One spring more than twice the views, each a spring, each view a
    // view: what the layout needs.
    bool IsSound() const;
    bool FindSpring(const ZuViewRef& view, unsigned offset, ZuSpringRef& out) const;
    bool FindSpring(unsigned index, unsigned offset, ZuSpringRef& out) const;

    bool is_vertical = false;
    mutable bool meta_valid = false;
    mutable ZuSpringRef meta_spring;
    ZuSpringArray spring;
    ZuViewArray view;
};
ZU_CLASS_END(ZuSpringBand)

#endif
