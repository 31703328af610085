#include "app/filenamedlg.h"

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/key.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CFilenameDlg, "app/filenamedlg", ZU_CLASS_NOT_STORED)

ZuAtomRef CFilenameDlg::notify_button1;
ZuAtomRef CFilenameDlg::notify_button2;

ZU_EXPORT_NOTIFY(CFilenameDlg, button1, "notify_button1", &CFilenameDlg::notify_button1)
ZU_EXPORT_NOTIFY(CFilenameDlg, button2, "notify_button2", &CFilenameDlg::notify_button2)
ZU_EXPORT_ACTOR(CFilenameDlg, OnEditName)
ZU_EXPORT_ACTOR(CFilenameDlg, OnFile)
ZU_EXPORT_ACTOR(CFilenameDlg, OnClose)
ZU_EXPORT_NOTIFY(CFilenameDlg, OnEditName, "OnEditName", nullptr)
ZU_EXPORT_NOTIFY(CFilenameDlg, OnFile, "OnFile", nullptr)
ZU_EXPORT_NOTIFY(CFilenameDlg, OnClose, "OnClose", nullptr)

namespace {

ZuKey KeyOfKind(ZuKeyType type)
{
    ZuKey key;
    key.type = type;
    return key;
}

} // namespace

bool CFilenameDlg::Create(int x, int y)
{
    if (window.IsValid())
        return false;
    window = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetWindowBox(ZuRect(x, y, x + 311, y + 199));

    icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    icon->SetOrigin(10, 20);
    icon->SetSize(32, 32);
    icon->SetParent(window);

    prompt = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    prompt->SetOrigin(52, 10);
    prompt->SetSize(250, 24);
    prompt->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
    prompt->SetParent(window);

    text_line = ZuNew<ZuTextLine>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    text_line->SetOrigin(52, 34);
    text_line->SetSize(250, 24);
    text_line->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    text_line->SetParent(window);
    text_line->AttachObserver(ZuObjectRef(this), ZuTextLine::notify_user_text_changed,
                              ZuAtomRef("OnEditName"), 0);

    NewIconButton(confirm, window, 132, 166, 80, 24, -1, -1);
    if (confirm.IsValid()) {
        confirm->SetKeyAlt(KeyOfKind(ZU_KEY_RETURN));
        confirm->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnFile"),
                                0);
        SetViewOn(confirm, 1);
    }

    CButtonRef cancel;
    NewIconButton(cancel, window, 222, 166, 80, 24, -1, -1);
    if (cancel.IsValid()) {
        cancel->SetText(ZuStringRef("Annuler"), ZuTextStyle::none, true);
        cancel->SetKeyAlt(KeyOfKind(ZU_KEY_ESCAPE));
        cancel->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef("OnClose"),
                               0);
    }
    return true;
}

bool CFilenameDlg::Setup(const ZuStringRef& new_name, bool save)
{
    name = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (new_name.IsValid())
        name->SetString(new_name, 0);
    const char* icon_name = save ? "lumbra_IconSave" : "lumbra_IconOpen";
    const char* title = save ? "Enregistrer" : "Ouvrir";
    const char* prompt_text =
        save ? "Nom du fichier \xe0 enregistrer :" : "Nom du fichier \xe0 ouvrir :";
    if (icon.IsValid())
        icon->Initialise(ZuAtomRef(icon_name), true);
    if (window.IsValid())
        window->SetTitle(ZuStringRef(title));
    if (prompt.IsValid())
        prompt->SetText(ZuStringRef(prompt_text));
    if (confirm.IsValid())
        confirm->SetText(ZuStringRef(title), ZuTextStyle::none, true);
    if (window.IsValid())
        window->Display(true);
    return true;
}

void CFilenameDlg::Open(ZuWindowRef parent)
{
    if (window.IsInvalid())
        return;
    text_line->SetFirstActive();
    window->SetMainResponder(text_line, false);
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
    window->SetModalWindowParent(parent);
}

bool CFilenameDlg::SetFilename(const ZuStringRef& new_filename)
{
    filename = new_filename;
    ShowFilename();
    return true;
}

void CFilenameDlg::ShowFilename()
{
    if (text_line.IsInvalid())
        return;
    user_edit = false;
    text_line->SetText(filename.IsValid() ? filename : ZuStringRef(""));
    text_line->Display(true);
    user_edit = true;
}

ZuAtomRef CFilenameDlg::RetUserName()
{
    return name.IsValid() ? ZuAtomRef(name) : ZuAtomRef();
}

void CFilenameDlg::Delete()
{
    if (window.IsValid())
        window->Kill();
    window = ZuWindowRef();
    name = ZuStringRef();
    filename = ZuStringRef();
    icon = ZuIconRef();
    prompt = ZuTextTagRef();
    text_line = ZuTextLineRef();
    confirm = CButtonRef();
    ZuObject::Delete();
}

bool CFilenameDlg::OnEditName()
{
    if (!user_edit || text_line.IsInvalid())
        return false;
    // A new string: a handle the caller gave to SetFilename keeps its text.
    ZuStringRef typed = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuStringRef text = text_line->RetText();
    if (text.IsValid())
        typed->SetString(text, 0);
    filename = typed;
    return true;
}

bool CFilenameDlg::OnFile()
{
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button1);
    return true;
}

bool CFilenameDlg::OnClose()
{
    if (window.IsValid())
        window->Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), notify_button2);
    return true;
}
