#include "si/filewrite.h"

#include "si/classfactory.h"
#include "si/except.h"
#include "si/fileread.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class FileWriteTest : public ZuviRuntimeTest {
protected:
    ZuFileWriteRef MakeWriter() { return ZuNew<ZuFileWrite>(); }
    static void Spit(const char* name, const std::string& bytes)
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string Slurp(const char* name)
    {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ScratchDir scratch;
};

template <class F>
int StreamError(F f)
{
    try {
        f();
    } catch (const ZuExcStream& e) {
        return int(e.GetError());
    }
    return -1;
}

TEST_F(FileWriteTest, AppendCountsFromTheOldEnd)
{
    Spit("hundred.bin", std::string(100, 'x'));
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("hundred.bin"), true);
    EXPECT_TRUE(w->RetAppendMode());
    EXPECT_EQ(w->RetPos(), 100);
    EXPECT_EQ(w->Write("0123456789", 10), 10u);
    EXPECT_EQ(w->RetPos(), 110);
    w->Close();
    EXPECT_EQ(w->RetPos(), 0);
    std::string const content = Slurp("hundred.bin");
    EXPECT_EQ(content.size(), 110u);
    EXPECT_EQ(content.substr(100), "0123456789");
}

TEST_F(FileWriteTest, OpeningWithoutAppendEmptiesOrCreates)
{
    Spit("old.bin", "old content");
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("old.bin"), false);
    EXPECT_EQ(w->RetPos(), 0);
    w->Write("new", 3);
    EXPECT_TRUE(w->Sync());
    w->Close();
    EXPECT_EQ(Slurp("old.bin"), "new");

    w->Open(ZuStringRef("fresh.bin"), false);
    EXPECT_TRUE(w->IsOpen());
    w->Close();
    EXPECT_EQ(Slurp("fresh.bin"), "");
    // The name survives Close and reopens.
    ZuStringRef name;
    EXPECT_TRUE(w->GetName(name));
    EXPECT_TRUE("fresh.bin" == name);
    w->Open();
    EXPECT_TRUE(w->IsOpen());
}

TEST_F(FileWriteTest, SkipAndTruncate)
{
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("cut.bin"), false);
    w->Write("abcdefgh", 8);
    EXPECT_EQ(w->Skip(-3), -3);
    EXPECT_EQ(w->RetPos(), 5);
    w->Trunc();
    w->Write("XY", 2);
    w->Close();
    EXPECT_EQ(Slurp("cut.bin"), "abcdeXY");
}

TEST_F(FileWriteTest, SetNameOnAnOpenStreamKeepsTheFile)
{
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("first.bin"), false);
    EXPECT_TRUE(w->SetName(ZuStringRef("second.bin")));
    w->Write("ab", 2);
    w->Close();
    EXPECT_EQ(Slurp("first.bin"), "ab");
    EXPECT_TRUE("second.bin" == w->RetName());
}

TEST_F(FileWriteTest, ClosedStreamsAndFailedOpensThrowTheirCodes)
{
    ZuFileWriteRef w = MakeWriter();
    EXPECT_EQ(StreamError([&] { w->Write("a", 1); }), 0);
    EXPECT_EQ(StreamError([&] { w->Sync(); }), 0);
    EXPECT_EQ(StreamError([&] { w->Trunc(); }), 0);
    EXPECT_EQ(StreamError([&] { w->Skip(1); }), 2);
    // A writer has no read operation.
    char c;
    EXPECT_EQ(StreamError([&] { w->Read(&c, 1); }), 1);
    EXPECT_EQ(StreamError([&] { w->Open(ZuStringRef("no-such-dir/x.bin"), false); }), 9);
    EXPECT_FALSE(w->IsOpen());
    EXPECT_EQ(w->RetPos(), 0);
    // Without a name there is nothing to open.
    ZuFileWriteRef unnamed = MakeWriter();
    ZuStringRef name;
    EXPECT_FALSE(unnamed->GetName(name));
    EXPECT_TRUE("" == name);
    EXPECT_EQ(StreamError([&] { unnamed->Open(); }), 9);
}

TEST_F(FileWriteTest, GatheredBlocksKeepTheBytesAndPositionsOfEachWrite)
{
    // Writes around and across the block's end, a skip back into what was
    // written and a cut: the file is what the same calls made byte by byte.
    const unsigned block = ZuFileWrite::BUFFER_SIZE;
    std::string model;
    std::int64_t pos = 0;
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("blocks.bin"), false);
    auto write = [&](unsigned size, char fill) {
        std::string const bytes(size, fill);
        EXPECT_EQ(w->Write(bytes.data(), size), size);
        model.replace(std::size_t(pos), std::min<std::size_t>(size, model.size() - pos), bytes);
        pos += size;
        EXPECT_EQ(w->RetPos(), pos);
    };
    write(block - 3, 'a');
    write(10, 'b');        // across the end of the first block
    write(2 * block, 'c'); // more than a block at once
    write(1, 'd');
    EXPECT_EQ(w->Skip(-7), -7);
    pos -= 7;
    write(3, 'e'); // over bytes written before
    w->Trunc();
    model.resize(std::size_t(pos));
    write(5, 'f');
    w->Close();
    EXPECT_EQ(Slurp("blocks.bin"), model);
}

TEST_F(FileWriteTest, SyncHandsTheBytesOverAndAppendingGoesOn)
{
    Spit("log.bin", std::string(100, 'x'));
    ZuFileWriteRef w = MakeWriter();
    w->Open(ZuStringRef("log.bin"), true);
    w->Write("0123456789", 10);
    EXPECT_TRUE(w->Sync());
    EXPECT_EQ(Slurp("log.bin"), std::string(100, 'x') + "0123456789");
    w->Write("abcde", 5);
    EXPECT_EQ(w->RetPos(), 115);
    w->Close();
    w->Open(ZuStringRef("log.bin"), true);
    EXPECT_EQ(w->RetPos(), 115);
    w->Write("!", 1);
    // A stream let go without Close keeps what was written.
    w = ZuFileWriteNull;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(Slurp("log.bin"), std::string(100, 'x') + "0123456789abcde!");
}

TEST_F(FileWriteTest, AWriteErrorFoundWhenTheBlockGoesIsReported)
{
    // The device refuses every byte: a small write is gathered, and the
    // failure comes at Sync or at Close, which closes all the same.
    if (!std::ifstream("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const char* const ways[] = {"Sync", "Close", "Skip", "Trunc"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        ZuFileWriteRef w = MakeWriter();
        w->Open(ZuStringRef("/dev/full"), true);
        EXPECT_EQ(w->Write("abc", 3), 3u);
        int code = -1;
        if (std::string(way) == "Sync")
            code = StreamError([&] { w->Sync(); });
        else if (std::string(way) == "Close")
            code = StreamError([&] { w->Close(); });
        else if (std::string(way) == "Skip")
            code = StreamError([&] { w->Skip(1); });
        else
            code = StreamError([&] { w->Trunc(); });
        EXPECT_EQ(code, 3);
        if (w->IsOpen())
            w->Close();
        EXPECT_FALSE(w->IsOpen());
    }
}

TEST_F(FileWriteTest, StreamsAreNeverStoredAndTheBasesAreAbstract)
{
    EXPECT_DEATH(ZuNew<ZuStream>(), "Cannot instanciate ZuStream");
    EXPECT_DEATH(ZuNew<ZuFileStream>(), "Cannot instanciate ZuFileStream");
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuFileWriteRef w = MakeWriter();
    EXPECT_DEATH(ZuStorageRef(store) << ZuObjectRef(w), "Trying to store a stream");
}

} // namespace

// ---- atomic saves --------------------------------------------------------------

#include <csignal>
#include <filesystem>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class AtomicSaveTest : public FileWriteTest {
protected:
    void SetUp() override
    {
        FileWriteTest::SetUp();
        Spit("doc.lum", old_bytes);
    }
    // The names in the scratch directory.
    static std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    ZuFileWriteRef OpenAtomic(const char* name)
    {
        ZuFileWriteRef w = MakeWriter();
        w->SetAtomicMode(true);
        w->Open(ZuStringRef(name), false);
        return w;
    }
    // Runs `body` in a child process; its exit status.
    template <class F>
    static int InChild(F body)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            const int code = body();
            _exit(code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
    std::string const old_bytes = std::string(3000, 'o');
};

TEST_F(AtomicSaveTest, TheNewFileReplacesTheOldOnlyWhenClosed)
{
    ZuFileWriteRef w = OpenAtomic("doc.lum");
    EXPECT_TRUE(w->RetAtomicMode());
    std::string const new_bytes(5000, 'n');
    EXPECT_EQ(w->Write(new_bytes.data(), 5000), 5000u);
    EXPECT_EQ(w->RetPos(), 5000);
    // Meanwhile the old file is whole, and the new one sits beside it.
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names().size(), 2u);
    w->Close();
    EXPECT_EQ(Slurp("doc.lum"), new_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"doc.lum"});
    // A file that did not exist is made the same way.
    w = OpenAtomic("new.lum");
    w->Write("abc", 3);
    w->Close();
    EXPECT_EQ(Slurp("new.lum"), "abc");
    EXPECT_EQ(Names(), (std::vector<std::string>{"doc.lum", "new.lum"}));
}

TEST_F(AtomicSaveTest, AnAbandonedSaveLeavesTheOldFile)
{
    // Given up by the caller, or the stream let go while open.
    ZuFileWriteRef w = OpenAtomic("doc.lum");
    w->Write("half", 4);
    w->Abandon();
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"doc.lum"});
    w = OpenAtomic("doc.lum");
    w->Write("half", 4);
    w = ZuFileWriteNull;
    ZuObjectRef::RealiseDeletions();
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"doc.lum"});
}

TEST_F(AtomicSaveTest, AFailedSaveIsReportedAndLeavesTheOldFile)
{
    // Renaming over a directory fails at Close.
    std::filesystem::create_directory("folder");
    ZuFileWriteRef w = OpenAtomic("folder");
    w->Write("x", 1);
    EXPECT_EQ(StreamError([&] { w->Close(); }), 3);
    EXPECT_TRUE(std::filesystem::is_directory("folder"));
    // No directory to hold the temporary file: Open fails.
    EXPECT_EQ(StreamError([&] { OpenAtomic("nowhere/doc.lum"); }), 9);
    // Append and atomic modes exclude each other.
    w->SetAppendMode(true);
    EXPECT_EQ(StreamError([&] { w->Open(ZuStringRef("doc.lum"), true); }), 9);
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names(), (std::vector<std::string>{"doc.lum", "folder"}));
}

TEST_F(AtomicSaveTest, AWriteCutByTheFileSizeLimitLeavesTheOldFile)
{
    const int status = InChild([this] {
        signal(SIGXFSZ, SIG_IGN); // the write fails instead of the process
        rlimit const limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        ZuFileWriteRef w = OpenAtomic("doc.lum");
        std::string const chunk(600, 'n');
        int failed_write = 0;
        // More than one gathered block: a write finds the block full and
        // hands it to the file, which refuses it.
        for (int i = 0; i < 250 && !failed_write; i++)
            failed_write = StreamError([&] { w->Write(chunk.data(), 600); }) == 3 ? 1 : 0;
        // Close reports the failure instead of committing a cut file.
        int const failed_close = StreamError([&] { w->Close(); }) == 3 ? 1 : 0;
        return failed_write * 10 + failed_close;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 11);
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"doc.lum"});
}

TEST_F(AtomicSaveTest, AFailureFoundAtCloseLeavesTheOldFile)
{
    // Every write fits in the gathered block: the file size limit is met
    // when Close hands the block over, and Close reports it.
    const int status = InChild([this] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit const limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        ZuFileWriteRef w = OpenAtomic("doc.lum");
        std::string const chunk(600, 'n');
        for (int i = 0; i < 4; i++)
            if (StreamError([&] { w->Write(chunk.data(), 600); }) != -1)
                return 1;
        return StreamError([&] { w->Close(); }) == 3 ? 0 : 2;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"doc.lum"});
}

TEST_F(AtomicSaveTest, AProcessKilledWhileSavingLeavesTheOldFile)
{
    const int status = InChild([this] {
        ZuFileWriteRef w = OpenAtomic("doc.lum");
        w->Write("half of the new contents", 24);
        raise(SIGKILL);
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Slurp("doc.lum"), old_bytes);
    // What the killed process left is its temporary file only, named after
    // the document.
    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1].rfind("doc.lum.", 0), 0u);
    EXPECT_NE(names[1].find(".saving"), std::string::npos);
}

} // namespace
