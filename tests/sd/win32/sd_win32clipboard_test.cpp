#include "sd/win32/sd_win32clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "si/archive.h"
#include "si/classfactory.h"
#include "si/fileread.h"
#include "si/filewrite.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "w32/clipboard.h"
#include "w32/kernel.h"

namespace {

const Zuvi_FileOpenModes kRead{ZU_FOPEN_READ};
const Zuvi_FileOpenModes kNew{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE, ZU_FOPEN_TRUNCATE};
const Zuvi_FileOpenModes kFurther{ZU_FOPEN_WRITE, ZU_FOPEN_APPEND};

// Another program's window, as far as the clipboard can tell.
char other_token;
HWND const kOther = &other_token;

class ClipboardTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        Fill({});
    }
    void TearDown() override
    {
        Fill({});
        ZuviRuntimeTest::TearDown();
    }
    // The clipboard as another program leaves it: emptied, then these
    // formats with their bytes.
    static void Fill(std::initializer_list<std::pair<UINT, std::string>> formats)
    {
        ASSERT_TRUE(OpenClipboard(kOther));
        EmptyClipboard();
        for (const auto& f : formats) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, f.second.size());
            std::memcpy(GlobalLock(block), f.second.data(), f.second.size());
            GlobalUnlock(block);
            SetClipboardData(f.first, block);
        }
        CloseClipboard();
    }
    static Zuvi_File* Open(const char* format, const Zuvi_FileOpenModes& modes)
    {
        return Zuvi_File::Open(ZuStringRef((std::string("clipboard:") + format).c_str()), modes);
    }
    static std::string ReadAll(const char* format)
    {
        Zuvi_File* file = Open(format, kRead);
        if (file == nullptr)
            return "<none>";
        std::string out(size_t(file->RetSize()), '\0');
        file->Read(&out[0], unsigned(out.size()));
        Zuvi_File::Close(file);
        return out;
    }
    static std::string Text(const char* text) { return text; }
};

TEST_F(ClipboardTest, ReadingGivesTheCopyPieceByPiece)
{
    Fill({{CF_TEXT, "0123456789ABCDE"}});
    Zuvi_File* file = Open("latin-text", kRead);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr); // closed at once
    EXPECT_EQ(file->RetSize(), 15u);
    char buffer[10];
    ASSERT_EQ(file->Read(buffer, 10), 10u);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    ASSERT_EQ(file->Read(buffer, 10), 5u);
    EXPECT_EQ(std::string(buffer, 5), "ABCDE");
    EXPECT_EQ(file->Read(buffer, 10), 0u);
    EXPECT_EQ(file->Write("x", 1), 0u);
    EXPECT_FALSE(file->Synchronise());
    EXPECT_FALSE(file->Truncate());
    EXPECT_TRUE(file->Seek(-6));
    EXPECT_EQ(file->RetPos(), 10);
    EXPECT_TRUE(Zuvi_File::Close(file));
}

TEST_F(ClipboardTest, OpeningsThatDoNotFitAreRefused)
{
    Fill({{CF_BITMAP, "pixels"}});
    // Only a bitmap: no text to read, and the clipboard is not left open.
    EXPECT_EQ(Open("latin-text", kRead), nullptr);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(Open("stream", Zuvi_FileOpenModes{ZU_FOPEN_READ, ZU_FOPEN_WRITE}), nullptr);
    EXPECT_EQ(Open("picture", kRead), nullptr);
    EXPECT_EQ(Open("latin-text", kFurther), nullptr); // no transaction open
    EXPECT_EQ(Open("latin-text", Zuvi_FileOpenModes{ZU_FOPEN_WRITE, ZU_FOPEN_CREATE}), nullptr);

    Zuvi_File* first = Open("stream-1.0", kNew);
    ASSERT_NE(first, nullptr);
    // Another clipboard object is open: no new transaction, no reading.
    EXPECT_EQ(Open("latin-text", kNew), nullptr);
    EXPECT_EQ(Open("latin-text", kRead), nullptr);
    EXPECT_TRUE(first->Synchronise());
    EXPECT_TRUE(Zuvi_File::Close(first));
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(ReadAll("latin-text"), "<none>");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)); // the new transaction emptied it
}

TEST_F(ClipboardTest, PositionsAndSizesOfABlockBeingWritten)
{
    Zuvi_File* file = Open("stream", kNew);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Write("abcd", 4), 4u);
    EXPECT_TRUE(file->Seek(-1));
    EXPECT_EQ(file->Write("ef", 2), 2u);
    EXPECT_EQ(file->RetSize(), 6u);
    EXPECT_TRUE(file->Seek(-2));
    EXPECT_EQ(file->RetPos(), 5);
    EXPECT_TRUE(file->Seek(100));
    EXPECT_EQ(file->RetPos(), 6);
    // A step back past the start stops at the start.
    EXPECT_TRUE(file->Skip(-100));
    EXPECT_EQ(file->RetPos(), 0);
    EXPECT_TRUE(file->Skip(3));
    EXPECT_TRUE(file->Truncate());
    EXPECT_EQ(file->RetSize(), 3u);
    EXPECT_TRUE(file->Resize(5)); // grows with zeros
    EXPECT_EQ(file->Read(nullptr, 0), 0u);
    EXPECT_DEATH(file->Seek(int64_t(1) << 33), "Failed assertion: \\(\\(\\(offset >> 32\\)");
    EXPECT_TRUE(file->Synchronise());
    EXPECT_FALSE(file->Synchronise());
    EXPECT_TRUE(Zuvi_File::Close(file));
    EXPECT_EQ(ReadAll("stream"), std::string("abc\0\0", 5));
}

// The two-format copy: the clipboard is emptied once, receives both formats
// and is closed by the last object.
TEST_F(ClipboardTest, ACopyOffersTheStreamAndText)
{
    Fill({{CF_BITMAP, "old"}});
    Zuvi_File* stream = Open("stream", kNew);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Write("objects", 7), 7u);
    EXPECT_TRUE(Zuvi_File::Close(stream));
    EXPECT_NE(GetOpenClipboardWindow(), nullptr); // the transaction goes on
    Zuvi_File* text = Open("latin-text", kFurther);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Write("plain", 5), 5u);
    EXPECT_TRUE(text->Synchronise());
    EXPECT_TRUE(Zuvi_File::Close(text));
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);

    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_TRUE(IsClipboardFormatAvailable(RegisterClipboardFormatA("Zuvi-1.0-stream")));
    EXPECT_EQ(ReadAll("stream"), "objects");
    EXPECT_EQ(ReadAll("latin-text"), "plain");
    EXPECT_EQ(ReadAll("unicode-text"), "<none>");
}

TEST_F(ClipboardTest, AnEmptyBlockPutsNothing)
{
    Fill({{CF_UNICODETEXT, "x\0"}});
    Zuvi_File* file = Open("unicode-text", kNew);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Synchronise());
    EXPECT_TRUE(Zuvi_File::Close(file));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(ReadAll("unicode-text"), "<none>");
}

TEST_F(ClipboardTest, AClipboardHeldByAnotherWindowCannotBeOpened)
{
    Fill({{CF_TEXT, "kept"}});
    ASSERT_TRUE(OpenClipboard(kOther));
    EXPECT_EQ(Open("latin-text", kNew), nullptr); // after its tries
    EXPECT_EQ(Open("latin-text", kRead), nullptr);
    CloseClipboard();
    EXPECT_EQ(ReadAll("latin-text"), "kept");
}

TEST_F(ClipboardTest, AnArchiveGoesThroughTheClipboard)
{
    ZuFileWriteRef out(ZuNew<ZuFileWrite>());
    out->Open(ZuStringRef("clipboard:stream"), false);
    ZuArchiveRef archive(ZuNew<ZuArchive>());
    archive->SetOutput(out);
    ZuStorageRef(archive) << ZuObjectRef(ZuStringRef("copied text"));
    archive->Reset();
    out->Sync();
    out->Close();
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);

    ZuFileReadRef in(ZuNew<ZuFileRead>());
    in->Open(ZuStringRef("clipboard:stream"));
    ZuArchiveRef reader(ZuNew<ZuArchive>());
    reader->SetInput(in);
    ZuObjectRef back;
    ZuStorageRef(reader) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(ZuStringRef(back)->CompareWith("copied text", true), 0);
    reader->Reset();
    in->Close();
}

} // namespace
