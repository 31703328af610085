#include "tests/support/dialogs.h"

#include <cctype>

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "w32/headless.h"
#include "w32/systime.h"
#include "w32/winuser.h"

ZU_IMPLEMENT_CLASS(TAnswerLog, "tests/support/dialogs", ZU_CLASS_PLAIN)
ZU_EXPORT_OBSERVER(TAnswerLog, Heard)

bool TAnswerLog::Heard(const ZuObjectRef& source, unsigned)
{
    const ZuAtomPathRef path = ZuApp::Current()->RetFiredAsyncEvent();
    log += path.IsValid() ? std::string(path->RetString()->AccessLatin()) : std::string("-");
    if (watched.IsValid() && watched->IsVisible())
        log += "[open]";
    log += " ";
    last_source = source;
    return true;
}

void TAnswerLog::Delete()
{
    std::string().swap(log);
    last_source = ZuObjectNull;
    watched = ZuWindowRef();
    ZuObject::Delete();
}

void DialogTest::SetUp()
{
    ControlTest::SetUp();
    answers = ZuNew<TAnswerLog>(Zuvi_app_zone, __LINE__, "dialogs");
}

void DialogTest::TearDown()
{
    answers->Delete();
    answers = TAnswerLogRef();
    ControlTest::TearDown();
}

void DialogTest::Bind(const char* path)
{
    app->AttachAsyncObserver(answers, ZuAtomPathRef(path), ZuStringRef("Heard"), 0);
}

void DialogTest::ClickIn(const ZuWindowRef& window, double x, double y)
{
    // A second apart: each click is a click of its own, never the second
    // of a double click. No tick fires meanwhile (a tool tip would open).
    W32_AdvanceTestClock(1000);
    double ox = 0, oy = 0;
    window->GetWindowOrigin(ox, oy);
    W32_HeadlessMouse(int(ox + x), int(oy + y), MK_LBUTTON);
    Pump();
    W32_HeadlessMouse(int(ox + x), int(oy + y), 0);
    Serve();
}

void DialogTest::Serve()
{
    // As the main loop does after each event: the reports queued by the
    // handlers are delivered once the handlers have returned.
    Pump();
    app->FireAsyncEvents();
    Pump();
}

void DialogTest::Type(const char* text)
{
    for (const char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        UINT vk = 0;
        if (c >= 0xA0) {
            // An ISO 8859-1 letter or sign: a key that stands for it.
            W32_HeadlessKey(VK_PACKET, 0, false, true, c);
            W32_HeadlessKey(VK_PACKET, 0, false, false, c);
            Serve();
            continue;
        }
        if (std::isalpha(c))
            vk = UINT(std::toupper(c));
        else if (std::isdigit(c) || c == ' ')
            vk = c;
        else if (c == '.')
            vk = VK_DECIMAL;
        else if (c == '/')
            vk = VK_DIVIDE;
        else if (c == '-' || c == '_')
            vk = 0xBD; // the US layout's minus key
        else
            continue;
        const bool shift = std::isupper(c) != 0 || c == '_';
        if (shift)
            W32_HeadlessKey(VK_SHIFT, 0x2A, false, true);
        W32_HeadlessKey(vk, 0, false, true);
        W32_HeadlessKey(vk, 0, false, false);
        if (shift)
            W32_HeadlessKey(VK_SHIFT, 0x2A, false, false);
        Serve();
    }
}

void DialogTest::PressReturn()
{
    Tap(VK_RETURN, 0x1C);
    Serve();
}

void DialogTest::PressEscape()
{
    Tap(VK_ESCAPE, 0x01);
    Serve();
}

std::string DialogTest::Text(const ZuTextRef& text)
{
    if (text.IsInvalid())
        return "<null>";
    return text->RetString()->AccessLatin();
}
