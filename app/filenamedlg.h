// CFilenameDlg: the small modal window in which the user types the name of
// a document file to open or to save: an icon, a prompt, one text line and
// the buttons "Ouvrir" or "Enregistrer" and "Annuler". It neither browses
// nor checks the name; it reports the button by an asynchronous
// notification ("notify_button1" to confirm, "notify_button2" to cancel)
// and the receiver reads the name with RetFilename.
//
// The name given to Setup is the dialog's user name: asynchronous
// observers bind "<name>.notify_button1".
#ifndef LUMBRA_APP_FILENAMEDLG_H
#define LUMBRA_APP_FILENAMEDLG_H

#include "app/button.h"
#include "si/icon.h"
#include "si/string.h"
#include "si/textline.h"
#include "si/texttag.h"
#include "si/window.h"

ZU_HANDLE(CFilenameDlg, ZuObject)
class CFilenameDlg : public ZuObject {
    ZU_CLASS(CFilenameDlg, ZuObject)
public:
    CFilenameDlg() {}

    // Builds the window (312 x 200) at the screen point (x, y), not shown.
    // False, building nothing, when the window exists already.
    bool Create(int x, int y);
    // The dialog's name, and the texts and icon of saving or opening.
    bool Setup(const ZuStringRef& name, bool save);
    // Makes the text line the one that receives the keys and opens the
    // dialog modally over the parent. Returns at once.
    void Open(ZuWindowRef parent);
    // The file-name field takes this string handle and the text line shows
    // it; the text written this way is not taken as typed by the user.
    bool SetFilename(const ZuStringRef& filename);
    // The field itself: the name last set by the program or typed.
    const ZuStringRef& RetFilename() const { return filename; }
    void ShowFilename();

    ZuAtomRef RetUserName() override;
    void Delete() override;

    // Handlers, called by name from the text line and the buttons.
    bool OnEditName();
    bool OnFile();
    bool OnClose();

    const ZuWindowRef& RetWindow() const { return window; }
    const ZuTextLineRef& RetTextLine() const { return text_line; }
    const ZuTextTagRef& RetPrompt() const { return prompt; }
    const ZuIconRef& RetIcon() const { return icon; }
    const CButtonRef& RetConfirmButton() const { return confirm; }

    static ZuAtomRef notify_button1;
    static ZuAtomRef notify_button2;

private:
    ZuWindowRef window;
    ZuStringRef name;
    bool user_edit = true;
    ZuStringRef filename;
    ZuIconRef icon;
    ZuTextTagRef prompt;
    ZuTextLineRef text_line;
    CButtonRef confirm;
};
ZU_CLASS_END(CFilenameDlg)

#endif
