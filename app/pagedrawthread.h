// PageDrawThread: renders a page view on a library thread and hands the new
// image to the user-interface thread. Its argument is the page view. A run
// holds the view's rendering for its whole length, so a redisplay that the
// user-interface thread asks for meanwhile, or a second run, never mixes
// its PostScript into the same port; when the render succeeds the run
// reports "DrawEvent" (the performer as its source) and wakes the main
// loop, whose handler on the view composes the image where the last Draw
// asked. The program itself starts none: the view renders inside Draw.
#ifndef LUMBRA_APP_PAGEDRAWTHREAD_H
#define LUMBRA_APP_PAGEDRAWTHREAD_H

#include "si/performer.h"

ZU_HANDLE(PageDrawThread, ZuPerformer)

class PageDrawThread : public ZuPerformer {
    ZU_CLASS(PageDrawThread, ZuPerformer)
public:
    PageDrawThread() {}

    // Renders the argument's page; true in every case.
    bool Run(const ZuObjectRef& subject) override;
};
ZU_CLASS_END(PageDrawThread)

#endif
