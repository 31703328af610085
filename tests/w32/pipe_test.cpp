#include "w32/pipe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "w32/file.h"

namespace {

// Every test gets a runtime directory of its own (short: socket addresses
// hold about 100 characters).
class PipeLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        char text[] = "/tmp/zuvi-pipe-test-XXXXXX";
        ASSERT_NE(::mkdtemp(text), nullptr);
        runtime = text;
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_RUNTIME_DIR");
        std::system(("rm -rf '" + runtime + "'").c_str());
    }
    std::string Path(const char* name)
    {
        char path[256];
        return W32_PipeSocketPath(name, path, sizeof path) ? path : "<none>";
    }
    std::string runtime;
};

TEST_F(PipeLayer, NamesMapToFilesInAPrivateDirectory)
{
    std::string dir = runtime + "/zuvi-pipes";
    EXPECT_EQ(Path("\\\\.\\pipe\\srv:Name"), dir + "/p-srv:name");
    EXPECT_EQ(Path("\\\\.\\PIPE\\SRV:name"), dir + "/p-srv:name"); // letter case does not count
    EXPECT_EQ(Path("\\\\.\\pipe\\a/b"), dir + "/p-a%2Fb");
    EXPECT_EQ(Path("\\\\.\\pipe\\.."), dir + "/p-%2E.");
    EXPECT_EQ(Path("\\\\.\\pipe\\"), "<none>");
    EXPECT_EQ(Path("pipe"), "<none>");
    struct stat st;
    ASSERT_EQ(::lstat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Too long for a socket address: hashed, and still one name per text.
    std::string long_a = "\\\\.\\pipe\\" + std::string(150, 'a');
    std::string long_b = "\\\\.\\pipe\\" + std::string(149, 'a') + "b";
    std::string a = Path(long_a.c_str()), b = Path(long_b.c_str());
    EXPECT_EQ(a.substr(0, dir.size() + 3), dir + "/h-");
    EXPECT_LT(a.size(), sizeof(sockaddr_un::sun_path));
    EXPECT_NE(a, b);
    HANDLE server = CreateNamedPipeA(long_a.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 255, 0,
                                     0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    HANDLE client = CreateFileA(long_a.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(client, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(long_b.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    CloseHandle(client);
    CloseHandle(server);
}

TEST_F(PipeLayer, ADirectoryOthersCanEnterIsRefused)
{
    std::string dir = runtime + "/zuvi-pipes";
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(Path("\\\\.\\pipe\\x"), "<none>");
    EXPECT_EQ(CreateNamedPipeA("\\\\.\\pipe\\x", PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 255, 0, 0,
                               0, nullptr),
              INVALID_HANDLE_VALUE);
    ::chmod(dir.c_str(), 0700);
    EXPECT_NE(Path("\\\\.\\pipe\\x"), "<none>");
}

TEST_F(PipeLayer, AStaleSocketIsReplaced)
{
    const char* name = "\\\\.\\pipe\\stale";
    std::string path = Path(name);
    // A socket file left by a server that is gone.
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    HANDLE server =
        CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 255, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WaitNamedPipeA(name, 0));
    HANDLE client =
        CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ConnectNamedPipe(server, nullptr));
    DWORD done = 0, waiting = 0;
    EXPECT_TRUE(PeekNamedPipe(client, nullptr, 0, nullptr, &waiting, nullptr));
    EXPECT_EQ(waiting, 0u);
    EXPECT_TRUE(WriteFile(server, "hello", 5, &done, nullptr));
    char peek[2];
    EXPECT_TRUE(PeekNamedPipe(client, peek, 2, &done, &waiting, nullptr));
    EXPECT_EQ(waiting, 5u);
    EXPECT_EQ(done, 2u);
    char text[8];
    EXPECT_TRUE(ReadFile(client, text, sizeof text, &done, nullptr));
    EXPECT_EQ(std::string(text, done), "hello");
    EXPECT_GE(W32_PipeDescriptor(client), 0);
    CloseHandle(client);
    CloseHandle(server);
    // Closing the server removes its socket file.
    EXPECT_FALSE(WaitNamedPipeA(name, 0));
}

// Pipe names ignore case, in the file call as in the pipe calls.
TEST_F(PipeLayer, AFileOpenOfAPipeNameInCapitalsReachesThePipe)
{
    HANDLE server = CreateNamedPipeA("\\\\.\\pipe\\Mixed", PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE,
                                     255, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    HANDLE client = CreateFileA("\\\\.\\PIPE\\MIXED", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(client, INVALID_HANDLE_VALUE);
    EXPECT_GE(W32_PipeDescriptor(client), 0);
    CloseHandle(client);
    CloseHandle(server);
}

} // namespace
