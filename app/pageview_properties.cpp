// The page view's share of the properties dialog: while the dialog is
// shown, the handles of the parameters it highlights (the rows under the
// pointer or the focus, else the rows whose switch is on) are drawn in
// their highlighted look over the page.
#include "app/app.h"
#include "app/pageview.h"
#include "app/propertydlg.h"
#include "app/treenode.h"

#include <cmath>

void CPageView::DrawPropertyMarks(const ZuGrailPortRef& port)
{
    const AppRef app = App::Current();
    const ZuObjectRef o = app.IsValid() ? app->RetPropertyDlg() : ZuObjectRef();
    if (o.IsInvalid() || !o->IsKindOf(CPropertyDlgRef::RetRuntime()) || selection.IsInvalid())
        return;
    const CPropertyDlgRef dlg(o);
    const int mask = dlg->IsVisible() ? dlg->RetHiliteMask() : 0;
    if (mask == 0 || selection->GetSelectedCount() != 1)
        return;
    CTreeNodeRef node;
    selection->GetFirstSelectedNode(node);
    if (node.IsInvalid() || node->RetObject().IsInvalid() ||
        !node->RetObject()->IsKindOf(CGraObjectRef::RetRuntime()))
        return;
    const CGraObjectRef object(node->RetObject());
    int count = object->GetPropertyCount();
    if (count > CPropertyDlg::ROWS)
        count = CPropertyDlg::ROWS;
    for (int n = 0; n < count; n++) {
        if ((mask & (1 << n)) == 0)
            continue;
        DPoint a{0, 0}, b{0, 0};
        int kind = 0;
        if (!object->GetPropertyHandles(n, a, b, kind))
            continue;
        if (!std::isfinite(a.x) || !std::isfinite(a.y))
            continue;
        DrawHandleIcon(port, a, 2, 1);
        // A length or an angle runs between two points: both are marked.
        if ((kind == 4 || kind == 7) && std::isfinite(b.x) && std::isfinite(b.y))
            DrawHandleIcon(port, b, 2, 1);
    }
}
