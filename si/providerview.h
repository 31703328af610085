// ZuProviderView: the view a view provider makes for one item of its
// source. A toggle control that knows its provider and its item's index
// and holds one content view per attribute, which the architect (or an
// observer of the provider) sets. Replacing or discarding a content deletes
// it, except the one child that belongs to someone else. Clicks and hot and
// on/off changes are reported back to the provider, which passes them to
// its selection controller.
#ifndef SI_PROVIDERVIEW_H
#define SI_PROVIDERVIEW_H

#include "si/array.h"
#include "si/colorpixel.h"
#include "si/togglecontrol.h"

ZU_FORWARD(ZuViewProvider)

ZU_HANDLE(ZuProviderView, ZuToggleControl)
class ZuProviderView : public ZuToggleControl {
    ZU_CLASS(ZuProviderView, ZuToggleControl)
public:
    ZuProviderView();

    virtual bool Initialise(const ZuViewProviderRef& provider, unsigned index,
                            unsigned num_attributes, const ZuRect& box);
    // The fill behind the contents; the look colour ZU_COLOR_NONE for none.
    virtual bool SetBackColor(const ZuColorPixel& color);
    virtual ZuColorPixel RetBackColor() const;
    // The view shown for one attribute, placed at the view's origin; false
    // for an attribute at or above the count.
    virtual bool SetContents(unsigned attribute, const ZuViewRef& view);
    // The content that replacing or discarding must not delete.
    virtual bool SetNoDeleteChild(const ZuViewRef& view);
    virtual bool GetContents(unsigned attribute, ZuViewRef& out) const;
    virtual bool GetNoDeleteChild(ZuViewRef& out) const;
    virtual void DiscardContents();
    virtual unsigned RetIndex() const;
    virtual unsigned RetAttributeCount() const;
    // Sets the box; false when that changed its size (the contents then
    // need to be made again).
    virtual bool SetBoxAndCheckSize(const ZuRect& box);

    // Takes the model's control style and its view-state bits from 16 up
    // (the OK_ and NO_ bits), keeping its own bits below, without telling
    // anyone: the provider restyles its views so when its cache goes stale.
    void TakeModelLook(const ZuProviderView& model);

    void Delete() override;
    ZuObjectRef Copy(const ZuObjectRef& source) override;
    void DrawBack(const ZuGrailPortRef& port, const ZuRect& rect) override;
    bool RemoveAllChildren(bool delete_them) override;
    void ActionOn() override;
    void ActionOff() override;
    using ZuToggleControl::Action;
    void Action(bool on) override;
    void HotOn() override;
    void HotOff() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    ZuViewRef ContentAt(unsigned attribute) const;
    void ReportAction(ZuCtrlActionType action);

    // The provider (a ZuViewProvider); not stored.
    ZuObjectRef provider;
    ZuArrayRef contents;
    ZuViewRef dont_delete_child;
    unsigned index = 0xFFFFFFFFu;
    unsigned num_attributes = 0;
    ZuColorPixel back_color = ZuColorPixel(ZU_COLOR_NONE);
};
ZU_CLASS_END(ZuProviderView)

#endif
