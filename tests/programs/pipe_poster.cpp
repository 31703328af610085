// A second program of the library for the command pipe's test
// (tests/si/x11/pipe_x11_test.cpp): it finds the application named on its
// command line among those on the X server and posts it a message for the
// object that both applications publish as their field "Receiver".
// Exit status: 0 posted, 1 not found, 2 the post failed, 3 a name with a
// '.' part was found, 4 no name given.
#include <string>

#include "si/app.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/maininit.h"
#include "si/memzone.h"
#include "si/message.h"
#include "si/string.h"
#include "si/target.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 4;
    Zuvi_StartServices();
    int status = 0;
    {
        ZuAppRef app = ZuNew<ZuApp>(nullptr);
        ZuApp::Initialise(app);
        // Only its name travels: the other side has its own receiver.
        ZuObjectRef stand_in = ZuStringRef("receveur");
        app->InsertField(ZuAtomRef("Receiver"), stand_in);
        Zuvi_RemAppIDRec* other = nullptr;
        const std::string dotted = std::string(argv[1]) + ".bin";
        if (ZuEvent::FindAppEventQueue(ZuStringRef(dotted.c_str()), other)) {
            status = 3;
        } else if (!ZuEvent::FindAppEventQueue(ZuStringRef(argv[1]), other)) {
            status = 1;
        } else {
            ZuMessageRef message = ZuNew<ZuMessage>(nullptr);
            ZuTargetRef target = ZuNew<ZuTarget>(nullptr);
            target->SetTarget(ZuAtomRef("Hello"), stand_in, ZU_TARGET_MESSAGE);
            message->SetTarget(target);
            // Arguments for another process are stored by value.
            message->SetRemoteMode(true);
            message << 7 << ZuObjectRef(ZuStringRef("bonjour"));
            status = ZuEvent::PostCommandEvent(other, message) ? 0 : 2;
            message->Delete();
        }
        app->RemoveField(ZuAtomRef("Receiver"));
        ZuApp::Kill();
    }
    ZuObjectRef::RealiseDeletions();
    Zuvi_StopServices();
    return status;
}
