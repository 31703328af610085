#include "app/questiondlg.h"

#include "app/commands.h"
#include "si/app.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/key.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CQuestionDlg, "app/questiondlg", ZU_CLASS_NOT_STORED)

ZuAtomRef CQuestionDlg::notify_button1;
ZuAtomRef CQuestionDlg::notify_button2;
ZuAtomRef CQuestionDlg::notify_button3;

ZU_EXPORT_NOTIFY(CQuestionDlg, button1, "notify_button1", &CQuestionDlg::notify_button1)
ZU_EXPORT_NOTIFY(CQuestionDlg, button2, "notify_button2", &CQuestionDlg::notify_button2)
ZU_EXPORT_NOTIFY(CQuestionDlg, button3, "notify_button3", &CQuestionDlg::notify_button3)
ZU_EXPORT_ACTOR(CQuestionDlg, OnClose)
ZU_EXPORT_ACTOR(CQuestionDlg, OnClickButton1)
ZU_EXPORT_ACTOR(CQuestionDlg, OnClickButton2)
ZU_EXPORT_ACTOR(CQuestionDlg, OnClickButton3)
ZU_EXPORT_NOTIFY(CQuestionDlg, OnClose, "OnClose", nullptr)
ZU_EXPORT_NOTIFY(CQuestionDlg, OnClickButton1, "OnClickButton1", nullptr)
ZU_EXPORT_NOTIFY(CQuestionDlg, OnClickButton2, "OnClickButton2", nullptr)
ZU_EXPORT_NOTIFY(CQuestionDlg, OnClickButton3, "OnClickButton3", nullptr)

namespace {

ZuKey KeyOfKind(ZuKeyType type)
{
    ZuKey key;
    key.type = type;
    return key;
}

} // namespace

bool CQuestionDlg::Create(int x, int y)
{
    if (window.IsValid())
        return false;
    window = ZuNew<ZuWindow>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    ZuWinStyle style;
    style.SetBit(0);
    style.SetBit(ZU_WINSTYLE_CLOSE_BUTTON);
    style.SetBit(ZU_WINSTYLE_TOOL);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Question"));
    window->SetWindowBox(ZuRect(x, y, x + 361, y + 85));

    icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    icon->SetOrigin(10, 10);
    icon->SetSize(32, 32);
    icon->SetParent(window);

    const ZuTextStyle centred(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_CENTER);
    ZuTextTagRef* lines[2] = {&first_line, &second_line};
    for (int i = 0; i < 2; ++i) {
        ZuTextTagRef& line = *lines[i];
        line = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        line->SetOrigin(52, 10 + 16 * i);
        line->SetSize(300, 16);
        line->SetTextStyle(centred);
        line->SetParent(window);
    }

    CButtonRef* buttons[3] = {&button1, &button2, &button3};
    const char* handlers[3] = {"OnClickButton1", "OnClickButton2", "OnClickButton3"};
    for (int i = 0; i < 3; ++i) {
        NewIconButton(*buttons[i], window, 81 + 70 * i, 52, 60, 24, -1, -1);
        if (buttons[i]->IsValid())
            (*buttons[i])
                ->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked,
                                 ZuAtomRef(handlers[i]), 0);
    }
    return true;
}

bool CQuestionDlg::Setup(const ZuStringRef& new_name, const ZuStringRef& icon_name,
                         const ZuStringRef& label1, const ZuStringRef& label2,
                         const ZuStringRef& label3, int default_button, int cancel_button)
{
    name = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
    if (new_name.IsValid())
        name->SetString(new_name, 0);
    if (icon.IsValid() && icon_name.IsValid())
        icon->Initialise(ZuAtomRef(icon_name), true);

    CButtonRef* buttons[3] = {&button1, &button2, &button3};
    const ZuStringRef* labels[3] = {&label1, &label2, &label3};
    for (int i = 0; i < 3; ++i) {
        CButtonRef& button = *buttons[i];
        if (button.IsInvalid())
            continue;
        if (labels[i]->IsValid()) {
            button->SetParent(window);
            button->SetText(*labels[i], ZuTextStyle::none, true);
        } else {
            button->SetParent(ZuViewNull);
        }
    }
    if (default_button >= 0 && default_button <= 2 && buttons[default_button]->IsValid()) {
        (*buttons[default_button])->SetKeyAlt(KeyOfKind(ZU_KEY_RETURN));
        SetViewOn(*buttons[default_button], 1);
    }
    if (cancel_button >= 0 && cancel_button <= 2 && buttons[cancel_button]->IsValid())
        (*buttons[cancel_button])->SetKeyAlt(KeyOfKind(ZU_KEY_ESCAPE));
    if (window.IsValid())
        window->Display(true);
    return true;
}

void CQuestionDlg::SetTitle(const ZuStringRef& title)
{
    if (window.IsValid())
        window->SetTitle(title);
}

void CQuestionDlg::Open(ZuWindowRef parent, const ZuStringRef& text)
{
    if (window.IsInvalid())
        return;
    ZuStringRef first(""), second("");
    if (text.IsValid()) {
        unsigned p = 0;
        if (text->Find(ZuStringRef("\n"), p, 1)) {
            text->MakeLeft(p, first);
            text->MakeRight(text->CharacterCount() - p - 1, second);
        } else {
            first = text;
        }
    }
    first_line->SetText(first);
    second_line->SetText(second);
    window->Open();
    window->Display(false);
    window->ShowNormal();
    window->ActivateAsFrontWindow(true);
    window->SetModalWindowParent(parent);
}

void CQuestionDlg::Close()
{
    if (window.IsValid())
        window->Close();
}

ZuAtomRef CQuestionDlg::RetUserName()
{
    return name.IsValid() ? ZuAtomRef(name) : ZuAtomRef();
}

void CQuestionDlg::Delete()
{
    // A button taken out by a null label is not in the window's tree, so
    // the window's end does not take it along.
    CButtonRef* buttons[3] = {&button1, &button2, &button3};
    for (CButtonRef* b : buttons)
        if (b->IsValid() && (*b)->RetParent().IsInvalid())
            (*b)->Delete();
    if (window.IsValid())
        window->Kill();
    window = ZuWindowRef();
    name = ZuStringRef();
    icon = ZuIconRef();
    first_line = ZuTextTagRef();
    second_line = ZuTextTagRef();
    for (CButtonRef* b : buttons)
        *b = CButtonRef();
    ZuObject::Delete();
}

bool CQuestionDlg::Answer(const ZuAtomRef& event)
{
    Close();
    ZuApp::Current()->ReportAsync(ZuObjectRef(this), event);
    return true;
}

bool CQuestionDlg::OnClose()
{
    Close();
    return true;
}

bool CQuestionDlg::OnClickButton1()
{
    return Answer(notify_button1);
}

bool CQuestionDlg::OnClickButton2()
{
    return Answer(notify_button2);
}

bool CQuestionDlg::OnClickButton3()
{
    return Answer(notify_button3);
}
