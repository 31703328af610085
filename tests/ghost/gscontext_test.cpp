#include "ghost/gscontext.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"
#include "zoveda/gfxsurface.h"
#include "tests/support/looks.h"
#include "tests/support/objmodel.h"
#include "tests/support/scratchdir.h"
#include "tests/support/storagetest.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>

namespace {

class GSContextTest : public ZuviRuntimeTest {
protected:
    GSContextRef New() { return GSContextRef(ZuNew<GSContext>()); }

    GSContextRef Display(uint32_t w, uint32_t h, int type)
    {
        GSContextRef c = New();
        EXPECT_TRUE(c->CreateContext(w, h, type));
        return c;
    }

    static bool Run(const GSContextRef& c, const char* text) { return c->ExecuteText(text, 0); }

    static std::string Output(const GSContextRef& c)
    {
        std::string out(static_cast<size_t>(c->GetOutputLength()) + 1, '\0');
        EXPECT_TRUE(c->ReadOutput(&out[0], static_cast<int>(out.size())));
        out.resize(std::strlen(out.c_str()));
        return out;
    }

    // Pixel (x, y) of a 24-bit read-back buffer, y from the top, as "BBGGRR".
    static std::string Pixel(const GSContextRef& c, uint32_t x, uint32_t y)
    {
        uint32_t w, h;
        c->GetSize(w, h);
        const unsigned char* p = c->RetBuffer() + (static_cast<size_t>(y) * w + x) * 3;
        char text[8];
        std::snprintf(text, sizeof text, "%02X%02X%02X", p[0], p[1], p[2]);
        return text;
    }
};

std::string const kRed = "0000FF";
std::string const kWhite = "FFFFFF";
std::string const kBlue = "FF0000";
std::string const kGreen = "00FF00";

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The grey or RGB bytes of a PNG, top row first.
std::vector<unsigned char> ReadPng(const std::string& name, png_uint_32& w, png_uint_32& h,
                                   int& channels)
{
    std::vector<unsigned char> pixels;
    FILE* f = std::fopen(name.c_str(), "rb");
    if (!f)
        return pixels;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return {};
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_PACKING, nullptr);
    w = png_get_image_width(png, info);
    h = png_get_image_height(png, info);
    channels = png_get_channels(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (png_uint_32 r = 0; r < h; ++r)
        pixels.insert(pixels.end(), rows[r], rows[r] + w * channels);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return pixels;
}

std::vector<std::string> Entries(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

const char kPage[] = "erasepage 0.25 setgray 0 0 16 16 rectfill 0.75 setgray 16 0 16 16 rectfill "
                     "1 0 0 setrgbcolor 4 4 8 8 rectfill showpage\n";

} // namespace

// ---- Display contexts ----

TEST_F(GSContextTest, DrawsAndReadsBackExactBytesTopRowFirst)
{
    // Every context takes the next number, whatever came before it.
    const int previous = Display(4, 4, GS_VIEW_RGB24)->RetNumber();
    EXPECT_GT(previous, 0);
    GSContextRef c = Display(40, 30, GS_VIEW_RGB24);
    EXPECT_EQ(c->RetNumber(), previous + 1);
    EXPECT_EQ(c->GetType(), GS_VIEW_RGB24);
    ASSERT_TRUE(Run(c, "erasepage 1 0 0 setrgbcolor 10 5 20 10 rectfill\n"));
    EXPECT_EQ(c->RetBuffer(), nullptr);
    c->ReadBack();
    ASSERT_NE(c->RetBuffer(), nullptr);
    EXPECT_EQ(c->RetBufferSize(), 40u * 30u * 3u);
    EXPECT_EQ(c->RetRowBytes(), 120u);
    // The page's y from 5 to 15 are the buffer's rows 15 to 24 (row 29, the
    // device's bottom row, comes last).
    for (uint32_t y = 0; y < 30; ++y)
        for (uint32_t x = 0; x < 40; ++x) {
            bool inside = x >= 10 && x < 30 && y >= 15 && y < 25;
            ASSERT_EQ(Pixel(c, x, y), inside ? kRed : kWhite) << x << "," << y;
        }
}

// The state that is installed is saved under its number before another
// context is installed, once: state zero (the interpreter's own, with no
// context installed) under 0, else the last context's under its number. Each
// state is marked with a line width of its own just before the switch, so
// that what the switch finds is what it saved then, not what a context's
// creation or an earlier switch defined under that name.
TEST_F(GSContextTest, FirstTextInstallsOnceAfterSavingStateZero)
{
    GSContextRef c = Display(20, 20, GS_VIEW_RGB24);
    GSContext::Uninstall();
    ASSERT_EQ(GSContext::RetInstalledNumber(), 0);
    GSLib* lib = GSRetLib();
    const char mark[] = "7 setlinewidth .zuvi.states 0 undef\n";
    ASSERT_EQ(lib->Execute(mark, int(std::strlen(mark))), 0);
    lib->ClearOutput();
    const auto saved = [](int number) {
        const std::string n = std::to_string(number);
        return ".zuvi.states " + n + " known { gsave .zuvi.states " + n +
               " get 2 get setgstate currentlinewidth cvi =only grestore } { (none) print } "
               "ifelse flush\n";
    };
    unsigned before = GSContext::RetSwitchCount();
    ASSERT_TRUE(Run(c, saved(0).c_str()));
    EXPECT_EQ(Output(c), "7");
    ASSERT_TRUE(Run(c, "1 2 add pop\n"));
    EXPECT_EQ(GSContext::RetSwitchCount(), before + 1);
    EXPECT_EQ(GSContext::RetInstalledNumber(), c->RetNumber());

    // The installed context's state, saved over what its creation defined.
    ASSERT_TRUE(Run(c, "5 setlinewidth\n"));
    GSContextRef d = Display(20, 20, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(d, saved(c->RetNumber()).c_str()));
    EXPECT_EQ(Output(d), "5");
    EXPECT_EQ(GSContext::RetInstalledNumber(), d->RetNumber());
}

TEST_F(GSContextTest, ErasepageClearsTheContextAndNoOther)
{
    // The interpreter holds an erasepage back until the next drawing: the
    // context's rows still show it erased, and its pixels are what is
    // saved when another context comes in, written back or copied.
    GSContextRef a = Display(20, 10, GS_VIEW_RGB24);
    GSContextRef b = Display(20, 10, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(b, "0 0 1 setrgbcolor 0 0 20 10 rectfill\n"));
    ASSERT_TRUE(Run(a, "1 0 0 setrgbcolor 0 0 20 10 rectfill erasepage\n"));
    a->ReadBack();
    EXPECT_EQ(Pixel(a, 5, 5), kWhite);
    ASSERT_TRUE(Run(a, "1 0 0 setrgbcolor 0 0 20 10 rectfill erasepage\n"));
    ASSERT_TRUE(Run(b, "0 1 0 setrgbcolor 0 0 2 2 rectfill\n"));
    b->ReadBack();
    EXPECT_EQ(Pixel(b, 5, 5), kBlue);
    EXPECT_EQ(Pixel(b, 0, 9), kGreen);
    a->ReadBack();
    EXPECT_EQ(Pixel(a, 5, 5), kWhite);
    // Written back after an erasepage, the pixels stay through the next
    // drawing.
    ASSERT_TRUE(Run(a, "1 0 0 setrgbcolor 0 0 20 10 rectfill\n"));
    a->ReadBack();
    ASSERT_TRUE(Run(a, "erasepage\n"));
    a->WriteBack();
    ASSERT_TRUE(Run(a, "0 1 0 setrgbcolor 0 0 1 1 rectfill\n"));
    a->ReadBack();
    EXPECT_EQ(Pixel(a, 5, 5), kRed);
    EXPECT_EQ(Pixel(a, 0, 9), kGreen);
}

TEST_F(GSContextTest, ContextsKeepPixelsAndStateAcrossSwitchesGrowthAndResize)
{
    GSContextRef a = Display(40, 30, GS_VIEW_RGB24);
    GSContextRef b = Display(60, 50, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(a, "erasepage 10 5 translate 0 0 1 setrgbcolor\n"));
    ASSERT_TRUE(Run(b, "erasepage 0 1 0 setrgbcolor 0 0 60 50 rectfill\n"));
    ASSERT_TRUE(Run(a, "0 0 4 4 rectfill\n"));
    unsigned switches = GSContext::RetSwitchCount();
    ASSERT_TRUE(Run(a, "4 0 translate\n"));
    EXPECT_EQ(GSContext::RetSwitchCount(), switches);

    // B is resized beyond the device's size (the device grows), and draws.
    ASSERT_TRUE(b->Resize(700, 900));
    ASSERT_TRUE(Run(b, "1 0 0 setrgbcolor 650 850 10 10 rectfill\n"));
    // A's translation and colour came through both.
    ASSERT_TRUE(Run(a, "0 0 4 4 rectfill\n"));

    a->ReadBack();
    b->ReadBack();
    // A: the first square at x 10..13, the second at 14..17, y 5..8 (rows
    // 21..24 from the top); nothing of B's green.
    EXPECT_EQ(Pixel(a, 11, 22), kBlue);
    EXPECT_EQ(Pixel(a, 15, 22), kBlue);
    EXPECT_EQ(Pixel(a, 19, 22), kWhite);
    EXPECT_EQ(Pixel(a, 11, 10), kWhite);
    // B kept its green from the bottom-left corner; the new area is white;
    // its colour was kept across the resize until it set red.
    EXPECT_EQ(Pixel(b, 5, 899), kGreen);
    EXPECT_EQ(Pixel(b, 59, 850), kGreen);
    EXPECT_EQ(Pixel(b, 61, 850), kWhite);
    EXPECT_EQ(Pixel(b, 655, 45), kRed);
    EXPECT_GE(b->RetBufferSize(), 700u * 900u * 3u);
}

TEST_F(GSContextTest, ClipAndLineSettingsSurviveASwitch)
{
    GSContextRef a = Display(40, 30, GS_VIEW_RGB24);
    GSContextRef b = Display(40, 30, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(a, "erasepage 5 5 10 10 rectclip 7 setlinewidth\n"));
    ASSERT_TRUE(Run(b, "erasepage 0 1 0 setrgbcolor 0 0 40 30 rectfill\n"));
    // The switch itself runs without an error.
    a->MakeCurrent();
    EXPECT_EQ(GSRetLib()->RetLastResult(), 0);
    ASSERT_TRUE(Run(a, "1 0 0 setrgbcolor 0 0 40 30 rectfill\n"));
    ASSERT_TRUE(Run(a, "currentlinewidth == flush\n"));
    EXPECT_EQ(Output(a), "7.0\n");
    a->ReadBack();
    // Red only inside the clip: x 5..14, y 5..14 (rows 15..24 from the top).
    EXPECT_EQ(Pixel(a, 10, 20), kRed);
    EXPECT_EQ(Pixel(a, 20, 20), kWhite);
    EXPECT_EQ(Pixel(a, 10, 5), kWhite);
}

TEST_F(GSContextTest, BufferGrowsWithTheContext)
{
    GSContextRef c = Display(10, 8, GS_VIEW_RGB24);
    c->ReadBack();
    EXPECT_EQ(c->RetBufferSize(), 10u * 8u * 3u);
    ASSERT_TRUE(c->Resize(30, 20));
    c->ReadBack();
    EXPECT_EQ(c->RetBufferSize(), 30u * 20u * 3u);
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(c->GetSize(w, h));
    EXPECT_EQ(w, 30u);
    EXPECT_EQ(h, 20u);
    // A smaller size reads into the buffer it has.
    ASSERT_TRUE(c->Resize(5, 5));
    c->ReadBack();
    EXPECT_EQ(c->RetBufferSize(), 30u * 20u * 3u);
    c->WriteBack();
}

TEST_F(GSContextTest, AnErrorIsCapturedAndTheNextTextWorks)
{
    GSContextRef c = Display(16, 16, GS_VIEW_RGB24);
    EXPECT_FALSE(Run(c, "erasepage zuvi_undefined_name\n"));
    EXPECT_NE(Output(c).find("undefined"), std::string::npos);
    EXPECT_TRUE(Run(c, "1 0 0 setrgbcolor 0 0 16 16 rectfill\n"));
    c->ReadBack();
    EXPECT_EQ(Pixel(c, 8, 8), kRed);
    EXPECT_EQ(c->GetOutputLength(), 0);
}

TEST_F(GSContextTest, RefusesWhatNoContextCanBe)
{
    GSContextRef c = New();
    EXPECT_FALSE(c->CreateContext(0, 10, GS_VIEW_RGB24));
    EXPECT_FALSE(c->CreateContext(10, 40000, GS_VIEW_RGB24));
    EXPECT_FALSE(c->CreateContext(10, 10, 6));
    // A context without a device runs nothing.
    EXPECT_FALSE(Run(c, "1 2 add pop\n"));
    EXPECT_FALSE(c->Resize(5, 5));
    c->ReadBack();
    EXPECT_EQ(c->RetBuffer(), nullptr);
}

TEST_F(GSContextTest, LowDepthsComeFromTheRgbRows)
{
    const char page[] =
        "erasepage 1 0 0 setrgbcolor 0 0 5 8 rectfill 0 1 0 setrgbcolor 5 0 5 8 rectfill\n";
    // 565 words for both 16-bit types: red, then green.
    for (int type : {GS_VIEW_RGB16_555, GS_VIEW_RGB16_565}) {
        GSContextRef c = Display(10, 8, type);
        ASSERT_TRUE(Run(c, page));
        c->ReadBack();
        ASSERT_EQ(c->RetBufferSize(), 10u * 8u * 2u);
        uint16_t v[10];
        std::memcpy(v, c->RetBuffer(), sizeof v);
        EXPECT_EQ(v[0], 0xF800) << type;
        EXPECT_EQ(v[9], 0x07E0) << type;
    }
    // One bit a pixel, 0 for ink, (10 + 7) / 8 bytes a row: the row is not
    // read as eight times its size.
    GSContextRef m = Display(10, 8, GS_VIEW_MONO);
    ASSERT_TRUE(Run(m, "erasepage 0 setgray 0 0 3 8 rectfill\n"));
    m->ReadBack();
    ASSERT_EQ(m->RetRowBytes(), 2u);
    ASSERT_EQ(m->RetBufferSize(), 16u);
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(m->RetBuffer()[2 * r], 0x1F) << r;
        EXPECT_EQ(m->RetBuffer()[2 * r + 1] & 0xC0, 0xC0) << r;
    }
    // Written back and read again, the bits stay.
    m->WriteBack();
    m->ReadBack();
    EXPECT_EQ(m->RetBuffer()[0], 0x1F);
}

TEST_F(GSContextTest, HookCopiesEachTypeItsWay)
{
    const char page[] =
        "erasepage 1 0 0 setrgbcolor 0 0 2 4 rectfill 0 1 0 setrgbcolor 2 0 2 4 rectfill\n";
    GSContextRef c555 = Display(4, 4, GS_VIEW_RGB16_555);
    GSContextRef c565 = Display(4, 4, GS_VIEW_RGB16_565);
    ASSERT_TRUE(Run(c555, page));
    ASSERT_TRUE(Run(c565, page));
    // Destination 8 pixels wide, 6 rows; the copy goes to pixel 1 of row 1.
    uint16_t dest[6][8];
    std::memset(dest, 0xAB, sizeof dest);
    c555->CopyTo15Bit(1, 1, 10, 10, dest, sizeof dest[0]);
    EXPECT_EQ(dest[1][1], 0x7C00); // red: (v & 0x1F) | ((v >> 1) & 0x7FE0)
    EXPECT_EQ(dest[1][3], 0x03E0); // green
    EXPECT_EQ(dest[1][5], 0xABAB); // clipped to the context's width
    EXPECT_EQ(dest[0][1], 0xABAB);
    EXPECT_EQ(dest[5][1], 0xABAB); // and its height
    // The other operations leave a 555 context's pixels alone.
    std::memset(dest, 0xAB, sizeof dest);
    c555->CopyTo16Bit(0, 0, 4, 4, dest, sizeof dest[0]);
    c555->CopyTo1Bit(0, 0, 4, 4, dest, sizeof dest[0]);
    c555->CopyTo24Bit(0, 0, 4, 4, dest, sizeof dest[0]);
    EXPECT_EQ(dest[0][0], 0xABAB);
    // 565 words copied as they are; never past the destination's row.
    c565->CopyTo16Bit(6, 0, 4, 4, dest, sizeof dest[0]);
    EXPECT_EQ(dest[0][6], 0xF800);
    EXPECT_EQ(dest[0][7], 0xF800);
    EXPECT_EQ(dest[1][0], 0xABAB);
}

TEST_F(GSContextTest, MonoHookShiftsBitsAtAnyColumn)
{
    GSContextRef m = Display(10, 2, GS_VIEW_MONO);
    // Bottom row: ink at 0..2; top row all white.
    ASSERT_TRUE(Run(m, "erasepage 0 setgray 0 0 3 1 rectfill\n"));
    unsigned char dest[2][2];
    std::memset(dest, 0x00, sizeof dest);
    // Columns 3..12 of each destination row are written, 0..2 and 13..15
    // keep their bits. Destination row 0 gets context row dy - 1 (the top,
    // white), row 1 the bottom row (ink in its columns 0..2).
    m->CopyTo1Bit(3, 0, 10, 2, dest, 2);
    EXPECT_EQ(dest[0][0], 0x1F);
    EXPECT_EQ(dest[0][1], 0xF8);
    EXPECT_EQ(dest[1][0], 0x03);
    EXPECT_EQ(dest[1][1], 0xF8);
    // Never beyond the row: a 1-byte pitch keeps the copy to columns 3..7.
    unsigned char narrow[2] = {0x80, 0x55};
    m->CopyTo1Bit(3, 0, 10, 1, narrow, 1);
    EXPECT_EQ(narrow[0], 0x83);
    EXPECT_EQ(narrow[1], 0x55);
}

TEST_F(GSContextTest, PortCopyAreaIsTheContextAtMost)
{
    GSContextRef c = Display(40, 30, GS_VIEW_RGB24);
    struct {
        ZuRect area;
        int x, y, dx, dy;
    } const cases[] = {
        {ZuRect(5.7, 3.2, 14.9, 9.0), 5, 3, 10, 6},
        {ZuRect(0, 0, 99, 9), 0, 0, 40, 10}, // wider than the device: its width
        {ZuRect(2, 2, 41, 200), 2, 2, 40, 30},
        {ZuRect(), 0, 0, 0, 0},
    };
    for (const auto& k : cases) {
        int x = -1, y = -1, dx = -1, dy = -1;
        c->GetPortCopyArea(k.area, x, y, dx, dy);
        EXPECT_EQ(x, k.x);
        EXPECT_EQ(y, k.y);
        EXPECT_EQ(dx, k.dx);
        EXPECT_EQ(dy, k.dy);
    }
}

TEST_F(GSContextTest, StoredContextComesBackAs24BitOfItsSize)
{
    GSContextRef c = Display(21, 13, GS_VIEW_MONO);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    ZuStorageRef(store) << c;
    store->StartRestoring(store->Bytes());
    GSContextRef back;
    ZuStorageRef(store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->GetType(), GS_VIEW_RGB24);
    uint32_t w = 0, h = 0;
    back->GetSize(w, h);
    EXPECT_EQ(w, 21u);
    EXPECT_EQ(h, 13u);
    EXPECT_NE(back->RetNumber(), c->RetNumber());
    EXPECT_TRUE(Run(back, "0 0 5 5 rectfill\n"));
}

// What the interpreter holds that contexts could leave behind: the local VM
// in use, the save level, the entries of the contexts' dictionaries, the
// names of the binding in userdict and the depths of the stacks.
struct InterpreterState {
    long used = -1;
    int level = -1, states = -1, devices = -1, names = -1, operands = -1, dicts = -1;
};

InterpreterState ReadInterpreterState()
{
    GSLib* lib = GSRetLib();
    lib->ClearOutput();
    const char text[] =
        "count vmstatus pop =only ( ) print =only ( ) print\n"
        ".zuvi.states length =only ( ) print .zuvi.devices length =only ( ) print\n"
        "0 userdict { pop dup type /nametype eq { 100 string cvs (.zuvi.) anchorsearch\n"
        "{ pop pop 1 add } { pop } ifelse } { pop } ifelse } forall =only ( ) print\n"
        "=only ( ) print countdictstack =only flush\n";
    InterpreterState state;
    if (lib->Execute(text, int(std::strlen(text))) != 0)
        return state;
    std::string out(static_cast<size_t>(lib->GetOutputLength()) + 1, '\0');
    lib->ReadOutput(&out[0], int(out.size()));
    std::sscanf(out.c_str(), "%ld %d %d %d %d %d %d", &state.used, &state.level, &state.states,
                &state.devices, &state.names, &state.operands, &state.dicts);
    return state;
}

// Every export, print, pane sample and shell makes contexts and lets them
// go: hundreds of them leave the interpreter as it was, with no state, name
// or device of theirs and no more VM in use than the collector's slack (kept
// small here by a low threshold). A display context released while a render
// job is open takes its state out when the job ends.
TEST_F(GSContextTest, ContextsMadeAndReleasedLeaveTheInterpreterAsItWas)
{
    ScratchDir dir;
    ASSERT_TRUE(GSLazyStart());
    GSLib* lib = GSRetLib();
    const char low[] = "/.zuvi.test.threshold currentuserparams /VMThreshold get def\n"
                       "200000 setvmthreshold\n";
    ASSERT_EQ(lib->Execute(low, int(std::strlen(low))), 0);
    struct Restore {
        ~Restore()
        {
            const char text[] = ".zuvi.test.threshold setvmthreshold "
                                "userdict /.zuvi.test.threshold undef\n";
            GSRetLib()->Execute(text, int(std::strlen(text)));
        }
    } restore;
    GSContextRef view = Display(30, 30, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(view, "0 0 1 setrgbcolor 2 setlinewidth\n"));
    W32_ScriptPrintService(0, nullptr);
    const auto round = [&](int i) {
        GSContextRef d = Display(20, 20, GS_VIEW_RGB24);
        ASSERT_TRUE(Run(d, "1 0 0 setrgbcolor 0 0 10 10 rectfill 2 2 5 5 rectclip\n"));
        ASSERT_TRUE(Run(view, "0 0 4 4 rectfill\n"));
        ASSERT_TRUE(Run(d, "0 0 20 20 rectfill\n"));
        GSContextRef f = New();
        ASSERT_TRUE(f->CreateRenderDevice(16, 16, 72.0, 24, ZuStringRef("png16m")));
        ASSERT_TRUE(f->BeginRender("page.png", 1));
        ASSERT_TRUE(f->ExecuteText(kPage, 0));
        if (i % 2 == 0) {
            d = GSContextRef();
            ZuObjectRef::RealiseDeletions();
        }
        ASSERT_TRUE(f->EndRender());
        GSContextRef p = New();
        ASSERT_TRUE(p->CreatePrintDevice());
        // Made anew: the old entry goes with the old number.
        ASSERT_TRUE(p->CreatePrintDevice());
    };
    // The first rounds bring in what the interpreter keeps once for all
    // (fonts, devices, the dictionaries' room).
    for (int i = 0; i < 20; ++i) {
        round(i);
        ZuObjectRef::RealiseDeletions();
    }
    const InterpreterState before = ReadInterpreterState();
    ASSERT_GE(before.used, 0);
    for (int i = 0; i < 300 && !HasFatalFailure(); ++i) {
        round(i);
        ZuObjectRef::RealiseDeletions();
    }
    W32_ScriptPrintService(-1, nullptr);
    const InterpreterState after = ReadInterpreterState();
    EXPECT_EQ(after.states, before.states);
    EXPECT_EQ(after.devices, before.devices);
    EXPECT_EQ(after.names, before.names);
    EXPECT_EQ(after.level, before.level);
    EXPECT_EQ(after.operands, before.operands);
    EXPECT_EQ(after.dicts, before.dicts);
    // The collector's slack and the VM's fragments vary by a megabyte or so
    // with what ran before; a graphics state kept per switch would be tens.
    EXPECT_LT(after.used - before.used, 4000000) << before.used << " -> " << after.used;
    // The context that stayed is as it was.
    ASSERT_TRUE(Run(view, "currentlinewidth cvi =only flush\n"));
    EXPECT_EQ(Output(view), "2");
    view->ReadBack();
    EXPECT_EQ(Pixel(view, 1, 28), kBlue);
}

// ---- File contexts ----

TEST_F(GSContextTest, RendersAPngFileThroughATemporaryName)
{
    ScratchDir dir;
    GSContextRef f = New();
    ASSERT_TRUE(f->CreateRenderDevice(32, 16, 72.0, 24, ZuStringRef("png16m")));
    EXPECT_EQ(f->GetType(), GSContext::GS_CONTEXT_FILE);
    ASSERT_TRUE(f->BeginRender("page.png", 1));
    EXPECT_EQ(f->GetType(), GSContext::GS_CONTEXT_RENDERING);
    ASSERT_TRUE(f->ExecuteText(kPage, 0));
    // Nothing under the target's name while the page is rendered.
    EXPECT_TRUE(ReadFile("page.png").empty());
    ASSERT_TRUE(f->EndRender());
    EXPECT_EQ(f->GetType(), GSContext::GS_CONTEXT_FILE);
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"page.png"});
    png_uint_32 w = 0, h = 0;
    int channels = 0;
    std::vector<unsigned char> px = ReadPng("page.png", w, h, channels);
    ASSERT_EQ(w, 32u);
    ASSERT_EQ(h, 16u);
    ASSERT_EQ(channels, 3);
    auto at = [&](int x, int y) {
        return std::vector<int>(px.begin() + (y * 32 + x) * 3, px.begin() + (y * 32 + x) * 3 + 3);
    };
    EXPECT_EQ(at(6, 8), (std::vector<int>{255, 0, 0}));      // red square, y 4..11
    EXPECT_EQ(at(1, 1), (std::vector<int>{64, 64, 64}));     // 0.25 grey
    EXPECT_EQ(at(20, 1), (std::vector<int>{191, 191, 191})); // 0.75 grey
    EXPECT_FALSE(f->EndRender());
}

TEST_F(GSContextTest, RenderRefusals)
{
    ScratchDir dir;
    GSContextRef f = New();
    // A device the interpreter lacks, or a name that tries to leave the string.
    EXPECT_FALSE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("nosuchdevice")));
    EXPECT_EQ(f->GetOutputLength(), 0);
    EXPECT_FALSE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m) pop (x")));
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
    std::string long_name(250, 'a');
    EXPECT_FALSE(f->BeginRender(long_name.c_str(), 1));
    EXPECT_EQ(f->GetType(), GSContext::GS_CONTEXT_FILE);
    EXPECT_FALSE(f->EndRender());
    EXPECT_FALSE(f->EndPrint());
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST_F(GSContextTest, AFailedRenderLeavesNoFileAndTheOldOneAlone)
{
    ScratchDir dir;
    {
        std::ofstream old("page.png");
        old << "old";
    }
    GSContextRef f = New();
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
    ASSERT_TRUE(f->BeginRender("page.png", 1));
    EXPECT_FALSE(f->ExecuteText("erasepage zuvi_undefined showpage\n", 0));
    EXPECT_FALSE(f->EndRender());
    EXPECT_EQ(ReadFile("page.png"), "old");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"page.png"});

    // A folder that does not exist: the device cannot open its file (at the
    // page's output, so the page's text fails).
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
    f->BeginRender("missing/page.png", 1);
    EXPECT_FALSE(f->ExecuteText("showpage\n", 0));
    EXPECT_FALSE(f->EndRender());
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"page.png"});
    // No page at all: no file either.
    ASSERT_TRUE(f->BeginRender("empty.png", 1));
    EXPECT_FALSE(f->EndRender());
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"page.png"});
}

// Render jobs append their device's settings and exactly the text they
// are sent to the capture file; nothing else goes there, and nothing at all
// once the capture is off.
TEST_F(GSContextTest, RenderJobsAppendWhatTheyAreSentToTheCaptureFile)
{
    ScratchDir dir;
    struct Off {
        ~Off() { GSContext::SetCaptureFile(nullptr); }
    } off;
    GSContext::SetCaptureFile("capture.ps");
    GSContextRef d = Display(8, 8, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(d, "0 0 moveto\n"));
    GSContextRef f = New();
    ASSERT_TRUE(f->CreateRenderDevice(32, 16, 72.0, 24, ZuStringRef("png16m")));
    ASSERT_TRUE(f->BeginRender("page.png", 4));
    ASSERT_TRUE(f->ExecuteText(kPage, 0));
    ASSERT_TRUE(f->EndRender());
    // Text after the job is no part of it.
    ASSERT_TRUE(f->ExecuteText("1 pop\n", 0));
    // A GIF is rendered through its BMP device, which the line names.
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 150.5, 8, ZuStringRef("gifgray")));
    ASSERT_TRUE(f->BeginRender("page.gif", 1));
    ASSERT_TRUE(f->ExecuteText("erasepage showpage\n", 10));
    ASSERT_TRUE(f->ExecuteText(" showpage\n", 0));
    ASSERT_TRUE(f->EndRender());
    const std::string both = std::string("% render device png16m size 32 16 resolution 72.000000 "
                                         "alpha 4\n") +
                             kPage +
                             "% render device bmpgray size 8 8 resolution 150.500000 alpha 1\n"
                             "erasepage  showpage\n";
    EXPECT_EQ(ReadFile("capture.ps"), both);

    GSContext::SetCaptureFile(nullptr);
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
    ASSERT_TRUE(f->BeginRender("other.png", 1));
    ASSERT_TRUE(f->ExecuteText("showpage\n", 0));
    ASSERT_TRUE(f->EndRender());
    EXPECT_EQ(ReadFile("capture.ps"), both);
}

TEST_F(GSContextTest, PercentAndParenthesesInFileNamesAreKept)
{
    ScratchDir dir;
    GSContextRef f = New();
    for (const char* name : {"a%d(1).png", "%pipe%touch x.png", "|touch y.png"}) {
        ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
        ASSERT_TRUE(f->BeginRender(name, 1)) << name;
        ASSERT_TRUE(f->ExecuteText("showpage\n", 0));
        ASSERT_TRUE(f->EndRender()) << name;
        EXPECT_FALSE(ReadFile(name).empty()) << name;
    }
    EXPECT_TRUE(ReadFile("x.png").empty());
    EXPECT_TRUE(ReadFile("y.png").empty());
}

TEST_F(GSContextTest, GifGrayExportMatchesAPngGrayRender)
{
    ScratchDir dir;
    GSContextRef f = New();
    ASSERT_TRUE(f->CreateRenderDevice(32, 16, 72.0, 8, ZuStringRef("pnggray")));
    ASSERT_TRUE(f->BeginRender("page.png", 1));
    ASSERT_TRUE(f->ExecuteText(kPage, 0));
    ASSERT_TRUE(f->EndRender());
    ASSERT_TRUE(f->CreateRenderDevice(32, 16, 72.0, 8, ZuStringRef("gifgray")));
    ASSERT_TRUE(f->BeginRender("page.gif", 1));
    ASSERT_TRUE(f->ExecuteText(kPage, 0));
    ASSERT_TRUE(f->EndRender());
    EXPECT_EQ(Entries(dir.Path()).size(), 2u);

    png_uint_32 w = 0, h = 0;
    int channels = 0;
    std::vector<unsigned char> grey = ReadPng("page.png", w, h, channels);
    ASSERT_EQ(channels, 1);
    int error = 0;
    GifFileType* gif = DGifOpenFileName("page.gif", &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 1);
    ASSERT_EQ(gif->SWidth, 32);
    ASSERT_EQ(gif->SHeight, 16);
    ColorMapObject* map = gif->SColorMap;
    ASSERT_NE(map, nullptr);
    const GifByteType* raster = gif->SavedImages[0].RasterBits;
    int differ = 0;
    std::vector<int> seen;
    for (int i = 0; i < 32 * 16; ++i) {
        GifColorType c = map->Colors[raster[i]];
        EXPECT_EQ(c.Red, c.Green);
        EXPECT_EQ(c.Red, c.Blue);
        if (c.Red != grey[static_cast<size_t>(i)])
            ++differ;
    }
    DGifCloseFile(gif, &error);
    EXPECT_EQ(differ, 0);
}

TEST_F(GSContextTest, GifMonoAnd256ColoursAreGifs)
{
    ScratchDir dir;
    GSContextRef f = New();
    for (auto kind : {std::make_pair("gifmono", 1), std::make_pair("gif8", 8)}) {
        ASSERT_TRUE(f->CreateRenderDevice(32, 16, 72.0, kind.second, ZuStringRef(kind.first)));
        ASSERT_TRUE(f->BeginRender("page.gif", 1));
        ASSERT_TRUE(f->ExecuteText(kPage, 0));
        ASSERT_TRUE(f->EndRender()) << kind.first;
        EXPECT_EQ(ReadFile("page.gif").substr(0, 6), "GIF87a") << kind.first;
    }
}

TEST_F(GSContextTest, NoSwitchWhileAJobIsOpen)
{
    ScratchDir dir;
    GSContextRef view = Display(8, 8, GS_VIEW_RGB24);
    ASSERT_TRUE(Run(view, "1 0 0 setrgbcolor\n"));
    GSContextRef other = Display(8, 8, GS_VIEW_RGB24);
    GSContextRef f = New();
    ASSERT_TRUE(f->CreateRenderDevice(8, 8, 72.0, 24, ZuStringRef("png16m")));
    ASSERT_TRUE(f->BeginRender("page.png", 1));
    EXPECT_EQ(GSContext::RetOpenJob(), f.Resolve());
    EXPECT_THROW(Run(other, "1 2 add pop\n"), GSException);
    EXPECT_FALSE(other->CreateContext(4, 4, GS_VIEW_RGB24));
    ASSERT_TRUE(f->ExecuteText("showpage\n", 0));
    ASSERT_TRUE(f->EndRender());
    // The view comes back as it was, red included.
    ASSERT_TRUE(Run(view, "0 0 8 8 rectfill\n"));
    view->ReadBack();
    EXPECT_EQ(Pixel(view, 4, 4), kRed);
}

// ---- Printer contexts ----

TEST_F(GSContextTest, PrintsIntoThePdfTheDialogNames)
{
    ScratchDir dir;
    W32_ScriptPrintService(0, nullptr);
    GSContextRef p = New();
    ASSERT_TRUE(p->CreatePrintDevice());
    EXPECT_EQ(p->GetType(), GSContext::GS_CONTEXT_PRINTER);
    uint32_t w = 0, h = 0;
    p->GetSize(w, h);
    EXPECT_EQ(w, 1u);

    W32_ScriptPrintDialog(FALSE, nullptr);
    EXPECT_FALSE(p->ShowPrintDialog());
    EXPECT_EQ(W32_PrintDialogCount(), 1u);

    PRINTDLGA answer;
    W32_DefaultPrintSettings(&answer);
    std::snprintf(answer.szFile, sizeof answer.szFile, "%s/out.pdf", dir.Path().c_str());
    answer.nCopies = 2;
    W32_ScriptPrintDialog(TRUE, &answer);
    ASSERT_TRUE(p->ShowPrintDialog());
    ASSERT_TRUE(p->BeginPrint(ZuStringRef("Dessin (1)")));
    EXPECT_EQ(p->GetType(), GSContext::GS_CONTEXT_PRINTING);
    EXPECT_FALSE(p->SetPrintRange(GSPrintSettings{}));
    ASSERT_TRUE(p->ExecuteText("0 0 1 setrgbcolor 100 100 200 200 rectfill showpage\n", 0));
    ASSERT_TRUE(p->EndPrint());
    EXPECT_EQ(ReadFile("out.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"out.pdf"});
    W32_ClearPrintScript();
    W32_ScriptPrintService(-1, nullptr);
}

TEST_F(GSContextTest, WithAPrintServiceThePrinterDeviceIsFound)
{
    // Only the set-up: printing itself would reach the print service.
    W32_ScriptPrintService(1, "laser");
    GSContextRef p = New();
    EXPECT_TRUE(p->CreatePrintDevice());
    EXPECT_EQ(p->GetOutputLength(), 0);
    W32_ScriptPrintService(-1, nullptr);
}

TEST_F(GSContextTest, PrintRangeAndSetupComeBack)
{
    W32_ScriptPrintService(0, nullptr);
    GSContextRef p = New();
    ASSERT_TRUE(p->CreatePrintDevice());
    GSPrintSettings in{3, 1, 12, 2, 5, 0.0, 0.0};
    ASSERT_TRUE(p->SetPrintRange(in));
    GSPrintSettings out{};
    ASSERT_TRUE(p->GetPrintSetup(out));
    EXPECT_EQ(out.copies, 3);
    EXPECT_EQ(out.selected_first, 2);
    EXPECT_EQ(out.selected_last, 5);
    EXPECT_EQ(out.media_width, 595.0);
    EXPECT_EQ(out.media_height, 842.0);
    // The set-up dialog changes the paper.
    PRINTDLGA answer;
    W32_DefaultPrintSettings(&answer);
    answer.dMediaWidth = 612.0;
    answer.dMediaHeight = 792.0;
    W32_ScriptPrintDialog(TRUE, &answer);
    ASSERT_TRUE(p->ShowPrintSetupDialog());
    ASSERT_TRUE(p->GetPrintSetup(out));
    EXPECT_EQ(out.media_width, 612.0);
    // Not a printer context: false, nothing filled.
    GSContextRef d = Display(4, 4, GS_VIEW_RGB24);
    EXPECT_FALSE(d->GetPrintSetup(out));
    EXPECT_FALSE(d->ShowPrintDialog());
    EXPECT_FALSE(d->BeginPrint(ZuStringNull));
    W32_ClearPrintScript();
    W32_ScriptPrintService(-1, nullptr);
}

TEST(GSContextEscapeTest, NamesForPostScriptStrings)
{
    struct {
        const char* in;
        bool file;
        int size;
        const char* out;
        bool whole;
    } const cases[] = {
        {"a(b)c", false, 50, "a\\(b\\)c", true},
        {"C:\\dir\\f.png", true, 50, "C:/dir/f.png", true},
        {"a\\b", false, 50, "a\\\\b", true},
        {"50%", true, 50, "50%%", true},
        {"50%", false, 50, "50%", true},
        {"abc", false, 3, "ab", false},
        {"a(", false, 3, "a", false},
        {"", false, 1, "", true},
    };
    for (const auto& c : cases) {
        char out[64];
        EXPECT_EQ(GSContext::EscapeName(c.in, out, c.size, c.file), c.whole) << c.in;
        EXPECT_STREQ(out, c.out) << c.in;
    }
}

// ---- Copies into ports ----

namespace {

class GSContextPortTest : public LookTest {
protected:
    GSContextRef Display(uint32_t w, uint32_t h, int type)
    {
        GSContextRef c(ZuNew<GSContext>());
        EXPECT_TRUE(c->CreateContext(w, h, type));
        return c;
    }

    // A pixmap in a drawing pass over all of it, every pixel `word`.
    ZuGrailPixmapRef Filled(unsigned depth, int w, int h, unsigned word)
    {
        ZuGrailPixmapRef p = NewPixmap(depth, w, h);
        p->BeginDraw(0, 0, w - 1, h - 1);
        p->SetPureColor(true);
        p->SetForeColor(ZuColorPixel(word));
        p->FillRect(0, 0, w - 1, h - 1);
        return p;
    }

    // The bits of a 1-bit port's rows, most significant first: '#' for 1.
    static std::string Bits(const ZuGrailPixmapRef& p, int w, int h)
    {
        GfxSurface* s = p->LockSurface();
        std::string out;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                out += (s->Line(y)[x >> 3] & (0x80 >> (x & 7))) ? '#' : '.';
            out += '\n';
        }
        p->UnlockSurface(s);
        return out;
    }
};

// Ink at page (1, 0) to (4, 2) of a 6 x 4 page, the rest white: the top row
// is white, rows 1 to 3 from the top have ink in columns 1 to 3.
const char kInk[] = "erasepage 1 0 0 setrgbcolor 1 0 3 3 rectfill\n";

} // namespace

TEST_F(GSContextPortTest, RgbCopyShowsTheContextsRowsAtTheArea)
{
    GSContextRef c = Display(8, 6, GS_VIEW_RGB24);
    ASSERT_TRUE(c->ExecuteText("erasepage 1 0 0 setrgbcolor 1 0 3 3 rectfill "
                               "0 0 1 setrgbcolor 5 5 3 1 rectfill\n",
                               0));
    c->ReadBack();
    // The copy's size is the area's, no larger than the context's; its pixels
    // are the context's first columns and rows, its bottom row at the top.
    struct {
        ZuRect area;
        int dx, dy;
    } const cases[] = {
        {ZuRect(3, 4, 102, 9), 8, 6}, // wider than the device: its width
        {ZuRect(3, 4, 6, 200), 4, 6},
        {ZuRect(3, 4, 10, 5), 8, 2}, // the two bottom rows
    };
    for (const auto& k : cases) {
        ZuGrailPixmapRef p = Filled(24, 16, 12, 0x123456);
        ASSERT_TRUE(c->CopyRectToPort(p, k.area));
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                unsigned want = 0x123456;
                if (x >= 3 && x < 3 + k.dx && y >= 4 && y < 4 + k.dy) {
                    const unsigned char* bgr =
                        c->RetBuffer() + ((6 - k.dy + (y - 4)) * 8 + (x - 3)) * 3;
                    want = static_cast<unsigned>(bgr[2]) << 16 | bgr[1] << 8 | bgr[0];
                }
                ASSERT_EQ(Pixel(p, x, y), want) << k.dx << "x" << k.dy << " at " << x << "," << y;
            }
        p->EndDraw();
    }
    // The red and blue of the page are there, white around them.
    ZuGrailPixmapRef p = Filled(24, 8, 6, 0);
    ASSERT_TRUE(c->CopyRectToPort(p, ZuRect(0, 0, 7, 5)));
    EXPECT_EQ(Pixel(p, 1, 5), 0xFF0000u);
    EXPECT_EQ(Pixel(p, 3, 3), 0xFF0000u);
    EXPECT_EQ(Pixel(p, 5, 0), 0x0000FFu);
    EXPECT_EQ(Pixel(p, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(p, 4, 4), 0xFFFFFFu);
    // An empty area copies nothing and still answers true.
    ZuGrailPixmapRef untouched = Filled(24, 8, 6, 0);
    EXPECT_TRUE(c->CopyRectToPort(untouched, ZuRect()));
    EXPECT_EQ(CountInked(untouched), 0u);
    EXPECT_FALSE(c->CopyRectToPort(ZuGrailPortRef(), ZuRect(0, 0, 7, 5)));
    ZuGrailPixmapRef bare(ZuNew<ZuGrailPixmap>(Zuvi_app_zone));
    EXPECT_FALSE(c->CopyRectToPort(bare, ZuRect(0, 0, 7, 5)));
}

TEST_F(GSContextPortTest, MonoCopyPaintsTheInkInTheBackground)
{
    GSContextRef m = Display(6, 4, GS_VIEW_MONO);
    ASSERT_TRUE(m->ExecuteText(kInk, 0));
    // The look's black at first.
    EXPECT_TRUE(m->RetBackground() == ZU_COLOR_BLACK);
    ZuGrailPixmapRef p = Filled(24, 8, 5, 0xFFFFFF);
    ASSERT_TRUE(m->CopyRectToPort(p, ZuRect(1, 1, 6, 4)));
    EXPECT_EQ(Picture(p, 0, 0, 7, 4), "########\n"
                                      "########\n"
                                      "##...###\n"
                                      "##...###\n"
                                      "##...###\n");
    EXPECT_TRUE(p->RetGraphicContext().fore_color == ZU_COLOR_BLACK);
    // Another background; the white of the context leaves the port's pixels.
    EXPECT_TRUE(m->SetBackground(ZuColorPixel(0x00FF00u)));
    ZuGrailPixmapRef q = Filled(24, 8, 5, 0x123456);
    ASSERT_TRUE(m->CopyRectToPort(q, ZuRect(0, 0, 99, 99)));
    EXPECT_EQ(Pixel(q, 0, 0), 0x123456u);
    EXPECT_EQ(Pixel(q, 1, 1), 0x00FF00u);
    EXPECT_EQ(Pixel(q, 3, 3), 0x00FF00u);
    EXPECT_EQ(Pixel(q, 4, 3), 0x123456u);
    EXPECT_EQ(Pixel(q, 6, 1), 0x123456u); // past the context's width
}

TEST_F(GSContextPortTest, QuickCopiesGoThroughTheHook)
{
    // 565 rows into a 16-bit port, by area and whole.
    GSContextRef c = Display(6, 4, GS_VIEW_RGB16_565);
    ASSERT_TRUE(c->ExecuteText(kInk, 0));
    ZuGrailPixmapRef p16 = Filled(16, 10, 8, 0);
    ASSERT_TRUE(c->CopyRectToPort(p16, ZuRect(2, 3, 40, 40)));
    ZuGrailPixmapRef whole = Filled(16, 10, 8, 0);
    ASSERT_TRUE(c->CopyToPort(whole));
    unsigned red = Pixel(whole, 1, 1);
    EXPECT_EQ(red & 0xF8F8F8u, 0xF80000u);
    EXPECT_EQ(Pixel(whole, 0, 0), Pixel(whole, 5, 3));
    EXPECT_EQ(Pixel(whole, 0, 0) & 0xF8F8F8u, 0xF8F8F8u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            bool ink = x >= 1 && x < 4 && y >= 1;
            ASSERT_EQ(Pixel(whole, x, y), ink ? red : Pixel(whole, 0, 0)) << x << "," << y;
            ASSERT_EQ(Pixel(p16, x + 2, y + 3), Pixel(whole, x, y)) << x << "," << y;
        }
    EXPECT_EQ(Pixel(whole, 6, 0), 0u);
    EXPECT_EQ(Pixel(whole, 0, 4), 0u);

    // One bit per pixel into a 1-bit port: white is 1, the ink 0.
    GSContextRef m = Display(6, 4, GS_VIEW_MONO);
    ASSERT_TRUE(m->ExecuteText(kInk, 0));
    ZuGrailPixmapRef p1 = Filled(1, 8, 5, 0);
    ASSERT_TRUE(m->CopyToPort(p1));
    EXPECT_EQ(Bits(p1, 8, 5), "######..\n"
                              "#...##..\n"
                              "#...##..\n"
                              "#...##..\n"
                              "........\n");

    // A port of a depth the hook has no copy for: false and nothing copied,
    // where the port would stop the program.
    ZuGrailPixmapRef p24 = Filled(24, 10, 8, 0);
    EXPECT_FALSE(c->CopyToPort(p24));
    EXPECT_FALSE(c->CopyRectToPort(p24, ZuRect(0, 0, 5, 3)));
    EXPECT_EQ(CountInked(p24), 0u);
    EXPECT_FALSE(c->CopyToPort(ZuGrailPortRef()));
}
