#include "si/pipeserver.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "si/classfactory.h"
#include "si/pipeclient.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

class PipeTest : public ZuviRuntimeTest {
protected:
    ZuPipeServerRef NewServer(const std::string& server, const std::string& pipe)
    {
        ZuPipeServerRef s(ZuNew<ZuPipeServer>());
        s->SetServerName(ZuStringRef(server.c_str()));
        s->SetPipeName(ZuStringRef(pipe.c_str()));
        return s;
    }
    ZuPipeClientRef NewClient(const std::string& server, const std::string& pipe, double time_out)
    {
        ZuPipeClientRef c(ZuNew<ZuPipeClient>());
        c->SetHostName(ZuStringRef("."));
        c->SetServerName(ZuStringRef(server.c_str()));
        c->SetPipeName(ZuStringRef(pipe.c_str()));
        c->SetTimeOut(time_out);
        return c;
    }
    // A pipe name no other test process uses.
    std::string Unique(const char* what)
    {
        return std::string(what) + "-" + std::to_string(getpid());
    }
};

template <class S>
std::string ReadText(S const& stream, unsigned size = 100)
{
    char buffer[100];
    unsigned n = stream->Read(buffer, size);
    return std::string(buffer, n);
}

// With an empty server name the client looks for the name the server made
// (not ":" + pipe name); named servers keep "server:pipe".
TEST_F(PipeTest, MessagesGoBothWaysWithTheirBoundaries)
{
    for (std::string server : {std::string(), Unique("host")}) {
        std::string pipe = Unique("both");
        ZuPipeServerRef s = NewServer(server, pipe);
        ASSERT_TRUE(s->Create()) << server;
        EXPECT_TRUE(s->IsOpen());
        ZuPipeClientRef c = NewClient(server, pipe, 5.0);
        ASSERT_TRUE(c->Open()) << server;
        EXPECT_TRUE(s->Open()); // the client connected before: taken at once
        EXPECT_GE(s->RetDescriptor(), 0);
        EXPECT_GE(c->RetDescriptor(), 0);

        EXPECT_EQ(c->Write("one", 3), 3u);
        EXPECT_EQ(c->Write("three", 5), 5u);
        EXPECT_EQ(ReadText(s), "one");
        EXPECT_EQ(ReadText(s), "three");
        EXPECT_EQ(s->Write("reply", 5), 5u);
        EXPECT_TRUE(s->Sync());
        EXPECT_EQ(ReadText(c), "reply");
        // A short read takes the message's first bytes; the rest follows.
        EXPECT_EQ(s->Write("abcdef", 6), 6u);
        EXPECT_EQ(ReadText(c, 2), "ab");
        EXPECT_EQ(ReadText(c), "cdef");
        EXPECT_EQ(c->Write("xyz", 3), 3u);
        EXPECT_EQ(ReadText(s, 1), "x");
        EXPECT_EQ(ReadText(s), "yz");

        EXPECT_TRUE(c->Close());
        EXPECT_FALSE(c->IsOpen());
        EXPECT_EQ(c->Write("late", 4), 0u);
        EXPECT_EQ(ReadText(c), "");
        EXPECT_TRUE(s->Kill());
        EXPECT_FALSE(s->IsOpen());
    }
}

TEST_F(PipeTest, AClientReadWithNothingComingGivesZero)
{
    std::string pipe = Unique("quiet");
    ZuPipeServerRef s = NewServer("", pipe);
    ASSERT_TRUE(s->Create());
    for (double time_out : {0.0, 0.25}) {
        ZuPipeClientRef c = NewClient("", pipe, time_out);
        ASSERT_TRUE(c->Open());
        ASSERT_TRUE(s->Open());
        EXPECT_EQ(ReadText(c), "") << time_out;
        // What arrives within the time-out is read.
        s->Write("now", 3);
        EXPECT_EQ(ReadText(c), "now") << time_out;
        s->Close();
        // The server went away: 0 at once, whatever the time-out.
        EXPECT_EQ(ReadText(c), "") << time_out;
    }
}

TEST_F(PipeTest, AfterCloseTheServerTakesTheNextClient)
{
    std::string pipe = Unique("next");
    ZuPipeServerRef s = NewServer("", pipe);
    ASSERT_TRUE(s->Create());
    ZuPipeClientRef first = NewClient("", pipe, 1.0);
    ASSERT_TRUE(first->Open());
    ASSERT_TRUE(s->Open());
    first->Write("1", 1);
    EXPECT_EQ(ReadText(s), "1");
    EXPECT_TRUE(s->Close());
    EXPECT_EQ(s->Write("x", 1), 0u); // no client now
    EXPECT_EQ(ReadText(s), "");

    ZuPipeClientRef second = NewClient("", pipe, 1.0);
    ASSERT_TRUE(second->Open());
    ASSERT_TRUE(s->Open());
    second->Write("2", 1);
    EXPECT_EQ(ReadText(s), "2");
    s->Write("to 2", 4);
    EXPECT_EQ(ReadText(second), "to 2");
    EXPECT_EQ(ReadText(first), "");
}

// A missing server and a name another server holds are ordinary
// conditions: false, no stop.
TEST_F(PipeTest, MissingServersAndTakenNamesAnswerFalse)
{
    std::string pipe = Unique("taken");
    ZuPipeClientRef c = NewClient("", pipe, 0.0);
    EXPECT_FALSE(c->Open());
    EXPECT_FALSE(c->IsOpen());
    EXPECT_EQ(ReadText(c), "");

    ZuPipeServerRef s = NewServer("", pipe);
    ASSERT_TRUE(s->Create());
    ZuPipeServerRef rival = NewServer("", pipe);
    EXPECT_FALSE(rival->Create());
    // Another server name is another pipe.
    ZuPipeClientRef elsewhere = NewClient(Unique("other"), pipe, 0.0);
    EXPECT_FALSE(elsewhere->Open());
    // Once the first server is gone, the name is free again.
    EXPECT_TRUE(s->Kill());
    EXPECT_TRUE(rival->Create());
    EXPECT_TRUE(c->Open());
    char reply[4];
    unsigned reply_size = sizeof reply;
    EXPECT_FALSE(c->Request("q", 1, reply, reply_size)); // not offered
}

TEST_F(PipeTest, PipesAreNeverStored)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage->StoreObject(NewServer("", "s")), "Trying to save Pipe Server");
    EXPECT_DEATH(storage->StoreObject(NewClient("", "c", 0)), "Trying to save Pipe Client");
}

TEST_F(PipeTest, CallsInTheWrongStateStop)
{
    std::string pipe = Unique("state");
    ZuPipeServerRef s = NewServer("", pipe);
    EXPECT_DEATH(s->Open(), "Failed assertion: this->pipe->is_created");
    ASSERT_TRUE(s->Create());
    EXPECT_DEATH(s->Create(), "Failed assertion: this->pipe->is_created == FALSE");
    ZuPipeClientRef c = NewClient("", pipe, 0);
    ASSERT_TRUE(c->Open());
    EXPECT_DEATH(c->Open(), "Failed assertion: this->pipe->is_connected == FALSE");
}

} // namespace
