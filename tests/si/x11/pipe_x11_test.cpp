// Two applications on one X server: another program finds this one by its
// program name, written in another case, and posts it a message through
// its command pipe; the message runs here, on the object that this
// application publishes under the name the other one used.
#include <atomic>
#include <cctype>
#include <cstring>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "si/message.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/window.h"
// Last: it brings the X headers, whose macros clash with the library's names.
#include "tests/si/x11/x11app.h"

// Records the one call that the other program sends.
ZU_HANDLE(TX11PipeReceiver, ZuObject)
class TX11PipeReceiver : public ZuObject {
    ZU_CLASS(TX11PipeReceiver, ZuObject)
public:
    TX11PipeReceiver() {}
    int calls = 0;
    int number = 0;
    std::string text;
};
ZU_CLASS_END(TX11PipeReceiver)
ZU_IMPLEMENT_CLASS(TX11PipeReceiver, "tests/si/x11/pipe_x11_test", ZU_CLASS_PLAIN)

namespace {

bool HelloThunk(const ZuMessageRef& msg, ZuObject* obj, Zuvi_TargetExport* exp)
{
    if (obj == nullptr) {
        exp->SetCall("Hello (int number, ZuString text)");
        exp->SetArg("Int32", "number", "");
        exp->SetArg("ZuString", "text", "");
        return false;
    }
    auto* receiver = static_cast<TX11PipeReceiver*>(obj);
    ZuStringRef text;
    msg >> receiver->number >> text;
    const char* latin = text.IsValid() ? text->AccessLatin() : nullptr;
    receiver->text = latin != nullptr ? latin : "";
    ++receiver->calls;
    return true;
}
Zuvi_TargetExport hello_export(&HelloThunk, TX11PipeReceiverRef::RetRuntime());

auto* const g_xvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

class PipeX11 : public X11AppTest {
protected:
    void SetUp() override
    {
        X11AppTest::SetUp();
        if (!StartApplication())
            return;
        receiver = ZuNew<TX11PipeReceiver>(Zuvi_app_zone);
        app->InsertField(ZuAtomRef("Receiver"), receiver);
        // Other applications find this one through its windows.
        w = ZuNew<ZuWindow>(Zuvi_app_zone);
        w->InitGeom(100, 80, 120, 60, ZuStringRef("Re\xE7oit"), ZuWinStyle());
        w->ShowNormal();
    }
    void DeleteViews() override
    {
        app->RemoveField(ZuAtomRef("Receiver"));
        receiver->Delete();
        receiver = TX11PipeReceiverRef();
        w->Delete();
        w = ZuWindowRef();
    }
    // This program's name as the other sees it, in capitals.
    static std::string ProgramNameInCapitals()
    {
        std::string cls = Zuvi_GrWindowRec::RetClassName();
        std::string rest = cls.substr(std::strlen("Zuvi:Grail:1X:"));
        rest = rest.substr(0, rest.find_first_of(".:/"));
        for (char& c : rest)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return rest;
    }
    // Runs the other program with the name; its exit status, or -1 when
    // it did not end in time.
    int RunPoster(const std::string& name)
    {
        pid_t pid = ::fork();
        if (pid == 0) {
            ::execl(ZUVI_PIPE_POSTER, ZUVI_PIPE_POSTER, name.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int round = 0; round < kRounds; ++round) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            ::poll(nullptr, 0, 20);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }

    // Waits in the event layer as the main loop does until the receiver
    // ran: with no quit queued the wait serves the command pipe. A watchdog
    // wakes the wait when nothing comes in time.
    bool WaitForCall()
    {
        std::atomic<bool> done{false}, fired{false};
        std::thread watchdog([&] {
            for (int round = 0; round < kRounds && !done; ++round)
                ::poll(nullptr, 0, 20);
            if (!done) {
                fired = true;
                ZuEvent::PostWakeUpEvent();
            }
        });
        const ZuEventRef& event = ZuEvent::Current();
        while (receiver->calls == 0 && !fired && event->WaitForEvent()) {
            event->DispatchEvent();
            app->SyncWindows(false);
        }
        done = true;
        watchdog.join();
        return receiver->calls > 0;
    }

    TX11PipeReceiverRef receiver;
    ZuWindowRef w;
};

} // namespace

TEST_F(PipeX11, AnotherProgramFindsThisOneByNameAndItsMessageRunsHere)
{
    ZUVI_REQUIRE_XVFB();
    ASSERT_TRUE(PumpUntil([&] { return Mapped(XidOf(w)); }));
    // Found by its name in capitals, not by a name with a '.' part, and
    // the post succeeds.
    EXPECT_EQ(RunPoster(ProgramNameInCapitals()), 0);
    EXPECT_TRUE(WaitForCall());
    EXPECT_EQ(receiver->calls, 1);
    EXPECT_EQ(receiver->number, 7);
    EXPECT_EQ(receiver->text, "bonjour");
    // A name no application has finds nothing.
    EXPECT_EQ(RunPoster("personne"), 1);
}
