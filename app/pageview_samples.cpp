// The page view's part in the samples palette: the command that shows it.
#include "app/app.h"
#include "app/pageview.h"
#include "app/sampledlg.h"
#include "si/rtclass.h"

ZU_EXPORT_ACTOR(CPageView, ShowSampleDlg)

bool CPageView::ShowSampleDlg()
{
    const AppRef app = App::Current();
    if (app.IsInvalid())
        return true;
    const ZuObjectRef dialog = app->RetSampleDlg();
    if (dialog.IsInvalid() || !dialog->IsKindOf(CSampleDlgRef::RetRuntime()))
        return true;
    const CSampleDlgRef samples(dialog);
    samples->SetPageView(CPageViewRef(this));
    samples->Update(false);
    samples->Hide(false);
    return true;
}
