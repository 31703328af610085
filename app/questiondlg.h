// CQuestionDlg: the program's modal message box. An icon, a message of up
// to two lines and up to three buttons; each button closes the box and
// reports its number ("notify_button1" .. "notify_button3") asynchronously,
// so the answer reaches the caller from the main loop after the click's
// handler has returned. With no button at all the same box is the busy box,
// which only the program closes (Close).
//
// The name given to Setup is the box's user name: asynchronous observers
// bind "<name>.notify_button1" and the like.
#ifndef LUMBRA_APP_QUESTIONDLG_H
#define LUMBRA_APP_QUESTIONDLG_H

#include "app/button.h"
#include "si/icon.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_HANDLE(CQuestionDlg, ZuObject)
class CQuestionDlg : public ZuObject {
    ZU_CLASS(CQuestionDlg, ZuObject)
public:
    CQuestionDlg() {}

    // Builds the window (362 x 86) with its icon, two lines and three
    // buttons at the screen point (x, y), not shown. False, building
    // nothing, when the window exists already.
    bool Create(int x, int y);
    // The box's name, its icon (a picture name of the look) and its
    // buttons: a null label takes that button out of the window. Button
    // default + 1 (default in 0..2) answers Return and is shown as the
    // default one; button cancel + 1 answers Escape. Keys set by an earlier
    // Setup stay.
    bool Setup(const ZuStringRef& name, const ZuStringRef& icon, const ZuStringRef& label1,
               const ZuStringRef& label2, const ZuStringRef& label3, int default_button,
               int cancel_button);
    void SetTitle(const ZuStringRef& title);
    // Shows the text, split at its first newline over the two lines, and
    // opens the box modally over the parent. Returns at once.
    void Open(ZuWindowRef parent, const ZuStringRef& text);
    // Closes the box without any notification (the end of the busy box).
    void Close();

    ZuAtomRef RetUserName() override;
    void Delete() override;

    // Handlers, called by name from the buttons.
    bool OnClose();
    bool OnClickButton1();
    bool OnClickButton2();
    bool OnClickButton3();

    // Read by tests and callers that need the views.
    const ZuWindowRef& RetWindow() const { return window; }
    const ZuTextTagRef& RetFirstLine() const { return first_line; }
    const ZuTextTagRef& RetSecondLine() const { return second_line; }
    const CButtonRef& RetButton(int i) const
    {
        return i == 1 ? button1 : i == 2 ? button2 : button3;
    }
    const ZuIconRef& RetIcon() const { return icon; }

    static ZuAtomRef notify_button1;
    static ZuAtomRef notify_button2;
    static ZuAtomRef notify_button3;

private:
    bool Answer(const ZuAtomRef& event);

    ZuWindowRef window;
    ZuStringRef name;
    ZuIconRef icon;
    ZuTextTagRef first_line;
    ZuTextTagRef second_line;
    CButtonRef button1;
    CButtonRef button2;
    CButtonRef button3;
};
ZU_CLASS_END(CQuestionDlg)

#endif
