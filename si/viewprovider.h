// ZuViewProvider: turns the items of a source container into views on
// demand. For an item index it tells the box the item's view needs (from
// the architect, without making the view), makes the view (a clone of its
// provider view model, filled by the architect) when the item is locked,
// and keeps the views in a bounded cache of lines: a locked line is shown,
// an unlocked one keeps its view for reuse until the line is taken for
// another item. As a container its elements are the locked views.
//
// Observers of "notify_update_requested" may supply a view's contents
// later (NotifyViewUpdate); observer records added with AddViewObserver are
// attached to every new view with the item's index; clicks on the views go
// to the selection controller.
#ifndef SI_VIEWPROVIDER_H
#define SI_VIEWPROVIDER_H

#include "si/array.h"
#include "si/control.h"
#include "si/icontainer.h"
#include "si/providerview.h"
#include "si/selectcon.h"
#include "si/simplearray.h"
#include "si/viewarchitect.h"

ZU_HANDLE(ZuViewProvider, ZuObject)
class ZuViewProvider : public ZuObject, public ZuiContainer {
    ZU_CLASS(ZuViewProvider, ZuObject)
public:
    ZuViewProvider() {}
    ~ZuViewProvider() override;

protected:
    virtual void ValidateCache();
    virtual void InvalidateCache();
    virtual void UpdateCache();
    virtual void ClearCache();
    virtual void ValidateSource();
    virtual void InvalidateSource();
    // The line given to an item: a free line, else an unlocked one taken
    // back, else a new one.
    virtual unsigned NewCacheLine(unsigned index);
    virtual bool DeleteCacheLine(unsigned line, bool force);
    virtual void AdvertiseNewView(const ZuProviderViewRef& view, unsigned index);
    virtual void AdvertiseNewSize(const ZuProviderViewRef& view);
    virtual void AdvertiseNewLock(const ZuProviderViewRef& view);
    virtual void AdvertiseUpdate(const ZuProviderViewRef& view);

public:
    virtual bool Initialise(const ZuObjectRef& source, const ZuViewArchitectRef& architect,
                            unsigned num_cache_lines, unsigned num_attributes);
    virtual bool SetSource(const ZuObjectRef& source);
    virtual bool SetArchitect(const ZuViewArchitectRef& architect);
    virtual bool SetProviderViewModel(const ZuProviderViewRef& model);
    virtual bool SetSelectCon(const ZuSelectConRef& controller);
    virtual bool SetTotalCacheLines(unsigned n);
    virtual bool SetTotalAttributes(unsigned n);
    virtual bool AddViewObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                 const ZuAtomRef& method);
    virtual bool RemoveViewObserver(const ZuObjectRef& observer, const ZuAtomRef& event,
                                    const ZuAtomRef& method);
    virtual bool FlushUnlockedCacheLines();
    virtual const ZuObjectRef& RetSource() const;
    virtual ZuiContainer* RetSourceInterface() const;
    virtual const ZuViewArchitectRef& RetArchitect() const;
    virtual const ZuProviderViewRef& RetProviderViewModel() const;
    virtual const ZuSelectConRef& RetSelectCon() const;
    // Locks the item's view (made when it has none) with that box.
    virtual bool LockView(unsigned index, const ZuRect& box);
    virtual bool LockView(unsigned index);
    virtual bool UnlockView(unsigned index);
    // Every line unlocked, its view detached; the views stay in the cache.
    virtual bool UnlockAllViews();
    // The view of a locked item.
    virtual bool GetView(unsigned index, ZuViewRef& out);
    // The view of the n-th locked line.
    virtual bool GetLockedView(unsigned n, ZuViewRef& out);
    // A locked item's view box, else the architect's size at (0, 0).
    virtual bool GetViewBox(unsigned index, ZuRect& out);
    virtual bool GetProviderViewModel(ZuProviderViewRef& out) const;
    virtual bool NotifyDataSourceChange();
    // Contents supplied for an item's view (after "notify_update_requested").
    virtual bool NotifyViewUpdate(unsigned index, unsigned attribute, const ZuViewRef& view);
    virtual bool NotifyViewAction(const ZuProviderViewRef& view, ZuCtrlActionType action);
    virtual bool GetLastUpdateRequest(ZuObjectRef& source, ZuProviderViewRef& view) const;
    virtual bool GetLastTouchedView(unsigned& index) const;

    // ZuiContainer: the locked views, counted as the items last read.
    unsigned int TotalCount() const override;
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;

    static ZuAtomRef notify_update_requested;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // Whether the per-line tables have one entry per line.
    bool TablesSized() const;
    void SizeTables(unsigned lines);
    ZuProviderViewRef LineView(unsigned line) const;
    void SetLineView(unsigned line, const ZuProviderViewRef& view);
    unsigned LineOf(unsigned index) const;

    ZuObjectRef source;
    ZuiContainer* container = nullptr;
    ZuViewArchitectRef architect;
    Zuvi_SimpleArrayZero<unsigned> index_to_line;
    Zuvi_SimpleArrayZero<bool> line_used;
    Zuvi_SimpleArrayZero<unsigned> line_locks;
    Zuvi_SimpleArrayZero<unsigned> line_index;
    ZuProviderViewRef model;
    ZuSelectConRef select_con;
    ZuArrayRef views;
    ZuArrayRef observers;
    unsigned item_count = 0;
    unsigned num_cache_lines = 0;
    unsigned num_attributes = 0;
    unsigned locked_lines = 0;
    bool is_cache_valid = false;
    bool is_source_valid = false;
    ZuProviderViewRef last_update_request;
    unsigned last_touched = 0xFFFFFFFFu;
};
ZU_CLASS_END(ZuViewProvider)

#endif
