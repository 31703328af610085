#include "app/setuppane.h"

#include "app/button.h"
#include "app/commands.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(CSetupPane, "app/setuppane", ZU_CLASS_PLAIN)
SETUP_EXPORT_HANDLER(CSetupPane, OnClose)

void CSetupPane::SetPageView(const CPageViewRef& view)
{
    page_view = view;
    document = view.IsValid() ? view->RetDocument() : CDocumentRef();
    view_settings = view.IsValid() ? view->RetView() : CViewRef();
    selection = view.IsValid() ? view->RetSelectObject() : CSelectObjectRef();
}

bool CSetupPane::Build()
{
    // The dialog lays every pane out at the same size.
    SetSize(260, 170);
    ZuTextTagRef text = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    text->SetOrigin(0, 0);
    text->SetSize(260, 170);
    text->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER));
    text->SetText(ZuStringRef("(aucun r\xe9glage)"));
    // The text lies over the whole pane: clicks go through it to "Fermer".
    text->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    text->SetParent(ZuViewRef(this));
    BuildContents(0, 0);
    return true;
}

void CSetupPane::BuildContents(int x, int y)
{
    CButtonRef close;
    NewIconButton(close, ZuViewRef(this), x + 188, y + 134, 60, 24, -1, -1);
    if (close.IsInvalid())
        return;
    close->SetText(ZuStringRef("Fermer"), ZuTextStyle::none, true);
    close->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClose"), 0);
}

void CSetupPane::Update(int, int) {}

void CSetupPane::Delete()
{
    page_view = CPageViewRef();
    document = CDocumentRef();
    view_settings = CViewRef();
    selection = CSelectObjectRef();
    ZuView::Delete();
}

bool CSetupPane::OnClose()
{
    const ZuWindowRef window = RetWindow();
    if (window.IsValid())
        window->Close();
    return true;
}

void CSetupPane::RedrawPageView(bool render)
{
    if (page_view.IsValid())
        page_view->Redraw(render);
}
