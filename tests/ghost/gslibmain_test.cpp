#include "ghost/gslibmain.h"
#include "si/typedef.h"

#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

std::string ErrorText(GSLib& lib, int size = 200)
{
    char buffer[200];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(lib.GetErrorText(buffer, size), 0);
    return buffer;
}

std::string TakeOutput(GSLib& lib)
{
    std::string out(static_cast<size_t>(lib.GetOutputLength()) + 1, '\0');
    EXPECT_TRUE(lib.ReadOutput(&out[0], static_cast<int>(out.size())));
    out.resize(std::strlen(out.c_str()));
    return out;
}

} // namespace

// Starting needs the library's directory, a string of the runtime.
class GSLibStartTest : public ZuviRuntimeTest {};

TEST_F(GSLibStartTest, StartsOnceAndRefusesASecondInit)
{
    GSLib* lib = StartGhostscript();
    ASSERT_NE(lib, nullptr);
    EXPECT_TRUE(lib->IsInitialised());
    EXPECT_TRUE(GSLazyStart());
    EXPECT_EQ(StartGhostscript(), lib);
    EXPECT_EQ(GSRetLib(), lib);
    // The display device is open at 72 dpi, 24-bit rows.
    EXPECT_NE(lib->RetDisplayDevice(), nullptr);
    EXPECT_GE(lib->RetDisplayRaster(), 3 * lib->RetDisplayWidth());

    char* argv[] = {const_cast<char*>("gs")};
    EXPECT_EQ(lib->Init(1, argv), 1);
    EXPECT_EQ(ErrorText(*lib), "Already initialized");
    EXPECT_EQ(lib->RetLastResult(), 0);
    // Still the same running interpreter.
    EXPECT_EQ(lib->Execute("1 2 add pop\n", 12), 0);
}

// The early start, alone or after the program began loading the
// interpreter's library.
static void CheckEarlyStart(bool load_first)
{
    if (load_first) {
        GSLoadEarly();
        GSLoadEarly(); // begun already: nothing more
    }
    GSStartEarly();
    GSStartEarly(); // begun already: nothing more
    // The first question waits for the start.
    GSLib* lib = GSRetLib();
    ASSERT_NE(lib, nullptr);
    EXPECT_TRUE(lib->IsInitialised());
    EXPECT_NE(lib->RetDisplayDevice(), nullptr);
    EXPECT_EQ(StartGhostscript(), lib);
    EXPECT_TRUE(GSLazyStart());
    GSStartEarly(); // started: nothing more
    GSLoadEarly();
    EXPECT_EQ(GSRetLib(), lib);
    lib->ClearOutput();
    const char text[] = "(ran) print flush\n";
    EXPECT_EQ(lib->Execute(text, sizeof text - 1), 0);
    EXPECT_EQ(TakeOutput(*lib), "ran");
}

TEST_F(GSLibStartTest, AnEarlyStartAnswersAsTheOrdinaryStartDoes)
{
    CheckEarlyStart(false);
}

TEST_F(GSLibStartTest, AnEarlyLoadServesTheStart)
{
    CheckEarlyStart(true);
}

TEST_F(GSLibStartTest, AnEarlyStartLeftRunningEndsWithTheProcess)
{
    // Nothing asks for the interpreter: the process must still end
    // cleanly, its start finished or not.
    GSStartEarly();
}

// The program begins the load before the library's services start, and a
// process may end before anything asks for the interpreter.
TEST(GSLibTest, ALoadBegunBeforeTheServicesEndsWithTheProcess)
{
    GSLoadEarly();
}

TEST_F(GSLibStartTest, ArgumentsInTheirOrder)
{
    char* argv[16];
    char storage[2000];
    ASSERT_EQ(GSBuildArguments(argv, 16, storage, sizeof storage), 11);
    EXPECT_STREQ(argv[0], "gs");
    std::string inc1 = argv[1], inc2 = argv[2];
    EXPECT_EQ(inc1.substr(0, 2), "-I");
    EXPECT_EQ(inc1.substr(inc1.size() - 3), "/gs");
    EXPECT_EQ(inc2, inc1 + "/fonts");
    // The fonts folder is read in the sandbox.
    EXPECT_EQ(std::string(argv[3]), "--permit-file-read=" + inc2.substr(2) + "/*");
    const char* rest[] = {
        "-sDEVICE=display", "-dDisplayFormat=16#30804", "-r72", "-dSAFER", "-dQUIET", "-dNOPROMPT",
        "-dNOPAUSE"};
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(argv[4 + i], rest[i]);
    // A storage too small gives no vector rather than a cut one.
    EXPECT_EQ(GSBuildArguments(argv, 16, storage, 20), 0);
}

TEST(GSLibTest, ExecuteBeforeInitIsRefused)
{
    GSLib lib;
    EXPECT_EQ(lib.Execute("showpage\n", 9), 1);
    EXPECT_EQ(ErrorText(lib), "GhostScript not initialised");
    EXPECT_FALSE(lib.IsInitialised());
}

TEST(GSLibTest, ErrorTextAlwaysEndsWithAZero)
{
    GSLib lib;
    lib.Execute("x", 1);
    // A short buffer gets the text's beginning and a zero.
    EXPECT_EQ(ErrorText(lib, 5), "Ghos");
    EXPECT_EQ(ErrorText(lib, 1), "");
    char untouched = 'u';
    EXPECT_EQ(lib.GetErrorText(&untouched, 0), 0);
    EXPECT_EQ(untouched, 'u');
}

TEST(GSLibTest, ReadOutputNeedsRoomForAllOfIt)
{
    GSLib lib;
    char hello[] = "hello";
    char world[] = " world";
    EXPECT_EQ(lib.Callback(GSLib::GS_MESSAGE_STDOUT, hello, 5), 5);
    EXPECT_EQ(lib.Callback(GSLib::GS_MESSAGE_STDOUT, world, 6), 6);
    ASSERT_EQ(lib.GetOutputLength(), 11);

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_FALSE(lib.ReadOutput(buffer, 10));
    EXPECT_EQ(lib.GetOutputLength(), 11);
    EXPECT_EQ(buffer[0], '#');

    // Exactly the length: the bytes, no zero after them.
    EXPECT_TRUE(lib.ReadOutput(buffer, 11));
    EXPECT_EQ(std::string(buffer, 11), "hello world");
    EXPECT_EQ(buffer[11], '#');
    EXPECT_EQ(lib.GetOutputLength(), 0);

    lib.Callback(GSLib::GS_MESSAGE_STDOUT, hello, 5);
    EXPECT_TRUE(lib.ReadOutput(buffer, 16));
    EXPECT_STREQ(buffer, "hello");
    lib.Callback(GSLib::GS_MESSAGE_STDOUT, hello, 5);
    EXPECT_TRUE(lib.ClearOutput());
    EXPECT_EQ(lib.GetOutputLength(), 0);
    EXPECT_EQ(lib.Callback(GSLib::GS_MESSAGE_STDIN, nullptr, 0), 0);
}

TEST(GSLibTest, DeviceMessagesRememberAndForget)
{
    GSLib lib;
    int a = 0, b = 0;
    char* dev_a = reinterpret_cast<char*>(&a);
    char* dev_b = reinterpret_cast<char*>(&b);
    EXPECT_EQ(lib.TakeDevice(), nullptr);
    lib.Callback(GSLib::GS_MESSAGE_DEVICE, dev_a, 1);
    EXPECT_EQ(lib.TakeDevice(), dev_a);
    EXPECT_EQ(lib.TakeDevice(), nullptr);
    lib.Callback(GSLib::GS_MESSAGE_DEVICE, dev_b, 1);
    lib.Callback(GSLib::GS_MESSAGE_DEVICE, dev_b, 0);
    EXPECT_EQ(lib.TakeDevice(), nullptr);
    // No bitmap: no row, whatever the number.
    unsigned char* row = reinterpret_cast<unsigned char*>(&a);
    lib.GetBitmapRow(dev_a, &row, 0);
    EXPECT_EQ(row, nullptr);
}

TEST_F(GSLibStartTest, AnErrorIsReportedAndTheNextTextRuns)
{
    GSLib* lib = StartGhostscript();
    ASSERT_NE(lib, nullptr);
    lib->ClearOutput();
    const char bad[] = "zuvi_no_such_name\n";
    EXPECT_NE(lib->Execute(bad, sizeof bad - 1), 0);
    EXPECT_NE(lib->RetLastResult(), 0);
    EXPECT_NE(TakeOutput(*lib).find("undefined"), std::string::npos);
    const char good[] = "(ran) print flush\n";
    EXPECT_EQ(lib->Execute(good, sizeof good - 1), 0);
    EXPECT_EQ(TakeOutput(*lib), "ran");
    // Twice in a row, still mended.
    EXPECT_NE(lib->Execute(bad, sizeof bad - 1), 0);
    EXPECT_NE(lib->Execute(bad, sizeof bad - 1), 0);
    lib->ClearOutput();
    EXPECT_EQ(lib->Execute(good, sizeof good - 1), 0);
    EXPECT_EQ(TakeOutput(*lib), "ran");
}

TEST_F(GSLibStartTest, ErrorsLeaveNothingBehind)
{
    GSLib* lib = StartGhostscript();
    ASSERT_NE(lib, nullptr);
    auto depth = [lib] {
        lib->ClearOutput();
        const char ask[] = "countexecstack == flush\n";
        EXPECT_EQ(lib->Execute(ask, sizeof ask - 1), 0);
        return TakeOutput(*lib);
    };
    const std::string before = depth();
    const struct {
        const char* text;
        int code;
        const char* report;
    } cases[] = {
        {"1 2 zuvi_no_such_name (after) print flush\n", -21,
         "Unrecoverable error: undefined in zuvi_no_such_name\nOperand stack:\n    1  2\n"},
        {"/p { 1 0 div } def (x) print flush p (after) print flush\n", -23,
         "xUnrecoverable error: undefinedresult in div\nOperand stack:\n    1  0\n"},
        {"(a) cvi\n", -20, "Unrecoverable error: typecheck in cvi\nOperand stack:\n    a\n"},
    };
    for (int round = 0; round < 50; ++round) {
        for (const auto& c : cases) {
            lib->ClearOutput();
            // The error's code; what followed it in the text does not run.
            EXPECT_EQ(lib->Execute(c.text, static_cast<int>(std::strlen(c.text))), c.code);
            EXPECT_EQ(TakeOutput(*lib), c.report);
            const char clear[] = "clear\n";
            EXPECT_EQ(lib->Execute(clear, sizeof clear - 1), 0);
        }
    }
    EXPECT_EQ(depth(), before);
    // A text that closes its own run: the next one still runs.
    const char closing[] = "currentfile closefile\n";
    EXPECT_EQ(lib->Execute(closing, sizeof closing - 1), 0);
    EXPECT_EQ(depth(), before);
    // A text cut in two still runs as one.
    lib->ClearOutput();
    EXPECT_EQ(lib->Execute("(one ", 5), 0);
    EXPECT_EQ(lib->Execute("text) print flush\n", 18), 0);
    EXPECT_EQ(TakeOutput(*lib), "one text");
}

// Ghostscript lets any PostScript write in its temporary folder ($TMPDIR,
// else /tmp), where a scratch folder lies when the tree is built there: the
// file outside then goes to a folder of its own beside it, elsewhere.
static std::string OutsideFolder(const std::string& scratch)
{
    const char* env = std::getenv("TMPDIR");
    const std::string tmp = env != nullptr && *env != 0 ? env : "/tmp";
    if (scratch.compare(0, tmp.size(), tmp) != 0)
        return scratch;
    const std::string folder = "/var/tmp/zuvi-outside-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    return folder;
}

TEST_F(GSLibStartTest, PostScriptReachesNoFileOutsideWhatIsPermitted)
{
    // The scratch folder is no folder of the interpreter's.
    ScratchDir scratch;
    GSLib* lib = StartGhostscript();
    ASSERT_NE(lib, nullptr);
    // The device the interpreter is on now (the display, or the null device
    // where earlier contexts left it), to be found again at the end.
    const char note[] = "userdict /.zuvi.test.device currentdevice put\n";
    ASSERT_EQ(lib->Execute(note, sizeof note - 1), 0);
    {
        std::ofstream mine("mine.txt");
        mine << "secret";
    }
    const std::string outside_folder = OutsideFolder(scratch.Path());
    const std::string outside = outside_folder + "/outside.txt";
    struct Case {
        std::string text;
        const char* error;
    } const cases[] = {
        {"(evil.txt) (w) file dup (x) writestring closefile\n", "invalidfileaccess"},
        {"(" + outside + ") (w) file dup (x) writestring closefile\n", "invalidfileaccess"},
        {"(mine.txt) (r) file 100 string readstring pop print flush\n", "invalidfileaccess"},
        {"(mine.txt) deletefile\n", "ioerror"},
        {"(mine.txt) (moved.txt) renamefile\n", "ioerror"},
        // A device's output file cannot be opened (the device stays the one
        // the graphics state gives back).
        {"gsave mark /OutputFile (evil.pdf) /pdfwrite finddevice putdeviceprops setdevice\n",
         "invalidfileaccess"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        lib->ClearOutput();
        EXPECT_NE(lib->Execute(c.text.c_str(), static_cast<int>(c.text.size())), 0);
        const std::string out = TakeOutput(*lib);
        EXPECT_NE(out.find(c.error), std::string::npos) << out;
        EXPECT_EQ(out.find("secret"), std::string::npos);
        // The gsave of a case is undone; no more, or the state saved before
        // would come back.
        const std::string tidy = c.text.rfind("gsave", 0) == 0 ? "clear grestore\n" : "clear\n";
        lib->Execute(tidy.c_str(), static_cast<int>(tidy.size()));
    }
    for (const char* absent : {"evil.txt", "outside.txt", "evil.pdf", "moved.txt"})
        EXPECT_FALSE(std::filesystem::exists(absent)) << absent;
    EXPECT_FALSE(std::filesystem::exists(outside));
    if (outside_folder != scratch.Path())
        std::filesystem::remove_all(outside_folder);
    EXPECT_TRUE(std::filesystem::exists("mine.txt"));

    // A path permitted is written, and no longer once revoked.
    const char write[] = "(./allowed.txt) (w) file dup (x) writestring closefile\n";
    EXPECT_TRUE(lib->PermitPath(GSLib::GS_FILE_WRITING, "./allowed.txt"));
    EXPECT_EQ(lib->Execute(write, sizeof write - 1), 0);
    EXPECT_TRUE(std::filesystem::exists("allowed.txt"));
    std::filesystem::remove("allowed.txt");
    EXPECT_TRUE(lib->RevokePath(GSLib::GS_FILE_WRITING, "./allowed.txt"));
    EXPECT_NE(lib->Execute(write, sizeof write - 1), 0);
    EXPECT_FALSE(std::filesystem::exists("allowed.txt"));
    lib->Execute("clear\n", 6);
    lib->ClearOutput();
    // The interpreter still runs on the device it had.
    const char good[] = "currentdevice .zuvi.test.device eq { (ran) print } if flush\n"
                        "userdict /.zuvi.test.device undef\n";
    EXPECT_EQ(lib->Execute(good, sizeof good - 1), 0);
    EXPECT_EQ(TakeOutput(*lib), "ran");
}

TEST_F(GSLibStartTest, BitmapRowsAreBoundedByTheDevice)
{
    GSLib* lib = StartGhostscript();
    ASSERT_NE(lib, nullptr);
    void* dev = lib->RetDisplayDevice();
    unsigned char* row = nullptr;
    lib->GetBitmapRow(dev, &row, 0);
    EXPECT_NE(row, nullptr);
    lib->GetBitmapRow(dev, &row, lib->RetDisplayHeight());
    EXPECT_EQ(row, nullptr);
    lib->GetBitmapRow(dev, &row, -1);
    EXPECT_EQ(row, nullptr);
    lib->LockDevice(dev);
    EXPECT_EQ(lib->RetLockCount(), 1u);
    lib->UnlockDevice(dev);
    EXPECT_EQ(lib->RetLockCount(), 0u);
}

TEST(GSViewTypeTest, NamesAndSteps)
{
    struct {
        GSViewType value;
        const char* name;
    } const cases[] = {
        {GS_VIEW_NONE, "GS_VIEW_NONE"},           {GS_VIEW_MONO, "GS_VIEW_MONO"},
        {GS_VIEW_GRAY, "GS_VIEW_GRAY"},           {GS_VIEW_RGB24, "GS_VIEW_RGB24"},
        {GS_VIEW_RGB16_555, "GS_VIEW_RGB16_555"}, {GS_VIEW_RGB16_565, "GS_VIEW_RGB16_565"}};
    for (const auto& c : cases) {
        EXPECT_TRUE(IsValid(c.value));
        EXPECT_STREQ(GSViewTypeRetName(c.value), c.name);
    }
    GSViewType t = GS_VIEW_RGB16_565;
    t++;
    EXPECT_EQ(static_cast<unsigned>(t), 6u);
    EXPECT_FALSE(IsValid(t));
    EXPECT_STREQ(GSViewTypeRetName(t), "?");
    EXPECT_STREQ(GSViewTypeTypeDef->name, "GSViewType");
    EXPECT_STREQ(GSLogCoordTypeDef->name, "GSLogCoord");
    EXPECT_STREQ(GSDevCoordTypeDef->name, "GSDevCoord");
}
