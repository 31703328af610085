#ifndef TESTS_SUPPORT_DIALOGS_H
#define TESTS_SUPPORT_DIALOGS_H

// A fixture for the tests of the program's modal dialogs as a user meets
// them: the controls fixture (its shown window stands for the page view's
// window, the dialogs' modal parent), clicks and typing into any window,
// and a log of the answers the dialogs report asynchronously, each with
// what the user saw when it arrived.

#include <string>

#include "si/app.h"
#include "si/atompath.h"
#include "si/window.h"
#include "tests/support/controls.h"

// Logs "path " for every asynchronous report it is bound to (by user path,
// as the page view binds the dialogs), followed by "[open]" when the
// watched window was still shown when the report arrived.
ZU_HANDLE(TAnswerLog, ZuObject)
class TAnswerLog : public ZuObject {
    ZU_CLASS(TAnswerLog, ZuObject)
public:
    TAnswerLog() {}
    bool Heard(const ZuObjectRef& source, unsigned id);
    void Delete() override;
    std::string log;
    ZuObjectRef last_source;
    ZuWindowRef watched;
};
ZU_CLASS_END(TAnswerLog)

class DialogTest : public ControlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Binds the answer log to "<path>" (such as "question_file_save.notify_button1").
    void Bind(const char* path);
    // A click (press and release) at a point of a window.
    void ClickIn(const ZuWindowRef& window, double x, double y);
    // Types the text on the keyboard (letters, digits, '.', '/', '-', '_', ' ', and the
    // ISO 8859-1 letters and signs from 0xA0 up).
    void Type(const char* text);
    // Serves the queued events, then delivers the asynchronous reports as
    // the main loop does after each event.
    void Serve();
    // Return and Escape.
    void PressReturn();
    void PressEscape();
    // The text of a text handle (an empty handle gives "<null>").
    static std::string Text(const ZuTextRef& text);

    TAnswerLogRef answers;
};

#endif
