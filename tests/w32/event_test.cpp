#include "w32/winuser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "w32/file.h"
#include "w32/handle.h"
#include "w32/kernel.h"
#include "w32/pipe.h"

namespace {

TEST(Events, ManualAndAutoResetUnderWaitForSingleObject)
{
    HANDLE manual = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    HANDLE automatic = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    std::thread setter([&] { SetEvent(automatic); });
    EXPECT_EQ(WaitForSingleObject(automatic, INFINITE), WAIT_OBJECT_0);
    setter.join();
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(nullptr));
    CloseHandle(manual);
    CloseHandle(automatic);
}

// Pipes in the wait: a listening pipe's overlapped connect signals its
// event when a client comes; a message cut by a short read leaves the pipe
// ready although the socket holds nothing more.
class PipeWait : public ::testing::Test {
protected:
    void SetUp() override
    {
        char text[] = "/tmp/zuvi-wait-test-XXXXXX";
        ASSERT_NE(::mkdtemp(text), nullptr);
        runtime = text;
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_RUNTIME_DIR");
        std::system(("rm -rf '" + runtime + "'").c_str());
    }
    std::string runtime;
};

TEST_F(PipeWait, OverlappedConnectAndPendingBytesWakeTheWait)
{
    const char* name = "\\\\.\\pipe\\wait:test";
    HANDLE server =
        CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    HANDLE handles[2] = {CreateEventA(nullptr, FALSE, FALSE, nullptr),
                         CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    OVERLAPPED ov{};
    ov.hEvent = handles[1];
    EXPECT_FALSE(ConnectNamedPipe(server, &ov));
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, 0, 0xBF), WAIT_TIMEOUT);

    HANDLE client = INVALID_HANDLE_VALUE;
    std::thread sender([&] {
        client =
            CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD done = 0;
        WriteFile(client, "hello", 5, &done, nullptr);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, 0xBF), WAIT_OBJECT_0 + 1);
    sender.join();

    // One byte read: the rest of the message waits in the pipe's record.
    char c = 0;
    DWORD done = 0;
    ASSERT_TRUE(ReadFile(server, &c, 1, &done, nullptr));
    EXPECT_EQ(c, 'h');
    HANDLE pipe_only[1] = {server};
    EXPECT_EQ(MsgWaitForMultipleObjects(1, pipe_only, FALSE, 0, 0xBF), WAIT_OBJECT_0);
    char rest[8] = {};
    ASSERT_TRUE(ReadFile(server, rest, sizeof rest, &done, nullptr));
    EXPECT_EQ(std::string(rest, done), "ello");
    EXPECT_EQ(MsgWaitForMultipleObjects(1, pipe_only, FALSE, 0, 0xBF), WAIT_TIMEOUT);

    // A client already waiting: the connect answers so and signals.
    DisconnectNamedPipe(server);
    CloseHandle(client);
    client = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ConnectNamedPipe(server, &ov));
    EXPECT_EQ(GetLastError(), ERROR_PIPE_CONNECTED);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, FALSE, 0, 0xBF), WAIT_OBJECT_0 + 1);
    CloseHandle(client);
    CloseHandle(server);
    CloseHandle(handles[0]);
    CloseHandle(handles[1]);
}

} // namespace
