// CSetupPane: the base of the panes of the settings dialog. It keeps the
// page view whose settings a pane edits, with that view's document, stored
// view settings and selection; the dialog builds a pane once (Build) and
// refreshes it from the document (Update). Every pane ends with a
// "Fermer" button that closes the settings window. A pane with nothing of
// its own shows "(aucun réglage)".
//
// Panes with numeric entries hold a ready flag: false while the pane
// builds itself or writes a stored value into an entry, so that the
// entries' notifications then change nothing.
#ifndef LUMBRA_APP_SETUPPANE_H
#define LUMBRA_APP_SETUPPANE_H

#include "app/document.h"
#include "app/pageview.h"
#include "app/selectobject.h"
#include "app/view.h"
#include "si/view.h"

ZU_HANDLE(CSetupPane, ZuView)
class CSetupPane : public ZuView {
    ZU_CLASS(CSetupPane, ZuView)
public:
    CSetupPane() {}

    // Takes the view and its document, view settings and selection (each
    // empty when the view has none).
    void SetPageView(const CPageViewRef& view);
    // The placeholder text over the whole pane, then the contents.
    virtual bool Build();
    // The pane's controls at offsets from (x, y); here the "Fermer" button.
    virtual void BuildContents(int x, int y);
    // Refreshes the controls from the document; here nothing.
    virtual void Update(int topic, int item);

    void Delete() override;

    // Closes the window that holds the pane.
    bool OnClose();

    const CPageViewRef& RetPageView() const { return page_view; }
    const CDocumentRef& RetDocument() const { return document; }
    const CViewRef& RetViewSettings() const { return view_settings; }
    const CSelectObjectRef& RetSelection() const { return selection; }

protected:
    // Has the page view show a change, when there is one.
    void RedrawPageView(bool render);

    CPageViewRef page_view;
    CDocumentRef document;
    CViewRef view_settings;
    CSelectObjectRef selection;
};
ZU_CLASS_END(CSetupPane)

// Exports a pane's handler by name: the call reports true to the caller
// whatever the handler answers, so that a refused change is no failed
// command. The first form takes no argument, the second the sender.
#define SETUP_EXPORT_HANDLER(X, METHOD)                 \
    static Zuvi_TargetExport zuvi_actor_##X##_##METHOD( \
        [](ZuObject* o) -> bool {                       \
            static_cast<X*>(o)->METHOD();               \
            return true;                                \
        },                                              \
        #METHOD, X##Ref::RetRuntime());                 \
    ZU_EXPORT_NOTIFY(X, METHOD, #METHOD, nullptr)
#define SETUP_EXPORT_SENDER_HANDLER(X, METHOD)                       \
    static Zuvi_TargetExport zuvi_observer_##X##_##METHOD(           \
        [](ZuObject* o, const ZuObjectRef& s, unsigned id) -> bool { \
            static_cast<X*>(o)->METHOD(s, id);                       \
            return true;                                             \
        },                                                           \
        #METHOD, X##Ref::RetRuntime());                              \
    ZU_EXPORT_NOTIFY(X, METHOD, #METHOD, nullptr)

#endif
