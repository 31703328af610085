#ifndef TESTS_SUPPORT_CONTROLS_H
#define TESTS_SUPPORT_CONTROLS_H

// A fixture for the tests of controls as a user meets them: an application,
// a shown window on the headless screen, input injected at window points
// and served through the event layer, ticks on the test clock; and an
// observer that logs the reports of controls with their report ids.

#include <initializer_list>
#include <string>
#include <vector>

#include "si/app.h"
#include "si/string.h"
#include "si/textstyle.h"
#include "si/window.h"
#include "tests/support/looks.h"
#include "w32/winuser.h"

// Logs "event(id) " for every report it watches. A report made with id 1
// starts a new report id and one made with 0 goes on with the current one:
// the log shows 1 for a report whose id is newer than every id seen since
// the last Clear (or Watch), else 0.
ZU_HANDLE(TReportLog, ZuObject)
class TReportLog : public ZuObject {
    ZU_CLASS(TReportLog, ZuObject)
public:
    TReportLog() {}
    static TReportLogRef Make();
    // Watches the events of the source (a list of names).
    void Watch(const ZuObjectRef& source, std::initializer_list<const char*> events);
    void Clear();
    // Frees the log: a zone does not run the destructors of the objects it
    // still holds when it goes.
    void Delete() override;
    std::string log;
    unsigned last_seen = 0;
};
ZU_CLASS_END(TReportLog)

// A stand-in for the text tag that buttons and switches make by class name
// (ZuControl::text_tag_class): a view publishing "text" and "text_style",
// whose minimum size is 6 pixels a character by 12.
ZU_HANDLE(TTagProbe, ZuView)
class TTagProbe : public ZuView {
    ZU_CLASS(TTagProbe, ZuView)
public:
    TTagProbe() {}
    void Delete() override;
    void GetMinSize(double& dx, double& dy) const override;
    ZuStringRef text;
    ZuTextStyle text_style;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;
};
ZU_CLASS_END(TTagProbe)

class ControlTest : public LookTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The pointer at a point of the window with the MK_ buttons held, then
    // every event served.
    void Mouse(double x, double y, unsigned buttons);
    // A key pressed and released (or only one of both), then served.
    void Key(UINT virtual_key, UINT scan, bool down);
    void Tap(UINT virtual_key, UINT scan);
    // Serves every queued event through the window's dispatch.
    void Pump();
    // The test clock moves on; the ticks that are due fire.
    void Advance(int milliseconds);
    // A window-point pixel of what the screen window shows.
    unsigned WindowPixel(int x, int y);
    // The object written to a storage and read back (a new object).
    static ZuObjectRef StoreAndRestore(const ZuObjectRef& object);
    // A second shown window (deleted by the fixture).
    ZuWindowRef NewShownWindow(double x, double y, double dx, double dy);

    ZuAppRef app;
    // Frameless, 200 x 120, at (100, 100) on the screen, shown and active.
    ZuWindowRef w;
    TReportLogRef reports;
    std::vector<ZuWindowRef> more_windows;
    const char* saved_text_tag_class = nullptr;
};

#endif
