// The page view's documents in the running shell: names, the conversation
// of new, open, save and quit through the program's boxes (answered as a
// user answers them, by their buttons), and what failures leave behind.
#include <gtest/gtest.h>

#include "app/filenamedlg.h"
#include "app/pageview.h"
#include "app/questiondlg.h"
#include "app/tree.h"
#include "app/treenode.h"
#include "si/rtclass.h"
#include "tests/app/shelltest.h"
#include "tests/support/debugcapture.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

class PageViewFilesTest : public ShellTest {
protected:
    CPageViewRef View() const { return CPageViewRef(Main()->RetPageView()); }
    std::string Path(const std::string& name) const { return scratch.Path() + "/" + name; }
    static std::string Latin(const ZuStringRef& s)
    {
        return s.IsValid() ? std::string(s->AccessLatin()) : "<null>";
    }
    std::string Title() const
    {
        ZuStringRef title;
        Main()->RetWindow()->GetTitle(title);
        return Latin(title);
    }
    static std::string Line(const ZuTextTagRef& tag) { return Latin(tag->RetText()); }
    static std::string FileBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Objects of layer 0 of page 0.
    int ObjectCount() const
    {
        CTreeNodeRef layer;
        View()->RetDocument()->GetTree()->GetNode(layer, 0, 0);
        int n = 0;
        for (CTreeNodeRef c = layer->RetFirstChild(); c.IsValid(); c = c->RetNext())
            ++n;
        return n;
    }
    // One object added to the document, as an edit would, marking it
    // changed.
    void AddObject()
    {
        CTreeNodeRef layer;
        View()->RetDocument()->GetTree()->GetNode(layer, 0, 0);
        CTreeNodeRef node = ZuNew<CTreeNode>(Zuvi_app_zone);
        node->SetObject(NewGraObject(CGraObjectRef::RetRuntime()));
        node->InsertLastChild(layer);
        View()->RetDocument()->SetModified(true);
    }
    bool Shown(const ZuWindowRef& w) const { return w.IsValid() && w->IsVisible(); }
    // The events, then the answers reported meanwhile, as the main loop
    // serves them.
    void Serve()
    {
        Pump();
        app->FireAsyncEvents();
        Pump();
    }
    CQuestionDlgRef SaveQuestion() const { return app->RetQuestionFileSave(); }
    CQuestionDlgRef DeleteQuestion() const { return app->RetQuestionFileDelete(); }
};

} // namespace

TEST_F(PageViewFilesTest, NamesGetTheDocumentExtension)
{
    struct Case {
        const char* name;
        bool save;
        const char* out;
    };
    const std::string longName(600, 'n');
    const Case cases[] = {
        {"plan", false, "plan.lumbra"},    {"A.LUMBRA", false, "A.LUMBRA"},
        {"b.RaVoNa", false, "b.RaVoNa"},   {"b.RaVoNa", true, "b.lumbra"},
        {"x", false, "x.lumbra"},          {"dessin.ravona.lumbra", true, "dessin.ravona.lumbra"},
        {longName.c_str(), true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name).substr(0, 20) + (c.save ? " save" : " open"));
        ZuStringRef out;
        ASSERT_TRUE(CPageView::CheckFileName(ZuStringRef(c.name), c.save, out));
        EXPECT_EQ(Latin(out), c.out ? std::string(c.out) : longName + ".lumbra");
    }
    ZuStringRef out;
    EXPECT_FALSE(CPageView::CheckFileName(ZuStringRef(""), false, out));
    EXPECT_FALSE(CPageView::CheckFileName(ZuStringRef(), true, out));
}

TEST_F(PageViewFilesTest, NewDocumentStartsAFreshOne)
{
    CPageViewRef view = View();
    AddObject();
    view->RetView()->zoom = 7.0;
    view->RetView()->switches[CView::SHOW_GRID] = true;
    view->RetView()->PushZoomHistory();
    ASSERT_TRUE(view->NewDocument());
    const CViewRef v = view->RetView();
    EXPECT_DOUBLE_EQ(v->zoom, 2.834645669291339);
    EXPECT_EQ(v->x, 0.5);
    EXPECT_EQ(v->y, 0.5);
    EXPECT_FALSE(v->switches[CView::SHOW_GRID]);
    EXPECT_FALSE(v->switches[CView::GRID_MAGNETISM]);
    EXPECT_EQ(v->values[4], 10.0);
    EXPECT_EQ(v->values[5], 10.0);
    EXPECT_EQ(v->RetHistoryCount(), 0);
    EXPECT_EQ(v->current_page, 0);
    EXPECT_EQ(v->current_layer, 0);
    const CTreeNodeRef root = view->RetDocument()->GetTree()->RetRoot();
    ASSERT_TRUE(root->RetFirstChild().IsValid());
    EXPECT_FALSE(root->RetFirstChild()->RetNext().IsValid());
    ASSERT_TRUE(root->RetFirstChild()->RetFirstChild().IsValid());
    EXPECT_FALSE(root->RetFirstChild()->RetFirstChild()->RetNext().IsValid());
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_FALSE(view->RetDocument()->IsModified());
    EXPECT_FALSE(view->RetSelectObject()->CanUndo());
    EXPECT_FALSE(view->RetSelectObject()->CanRedo());
    EXPECT_FALSE(view->IsConverted());
    EXPECT_EQ(Title(), "Lumbra");
    EXPECT_FALSE(Shown(app->RetQuestionWait()->RetWindow()));
}

TEST_F(PageViewFilesTest, SaveThenOpenGivesAnEqualDocument)
{
    CPageViewRef view = View();
    AddObject();
    const std::string first = Path("plan.lumbra"), second = Path("copie.lumbra");
    ASSERT_TRUE(view->SaveDocument(ZuStringRef(first.c_str())));
    EXPECT_FALSE(view->RetDocument()->IsModified());
    EXPECT_EQ(Title(), "Lumbra - " + first);
    const CDocumentRef before = view->RetDocument();

    ASSERT_TRUE(view->NewDocument());
    EXPECT_EQ(Title(), "Lumbra");
    ASSERT_TRUE(view->OpenDocument(ZuStringRef(first.c_str())));
    EXPECT_FALSE(view->RetDocument() == before);
    EXPECT_TRUE(app->RetDocument() == view->RetDocument());
    EXPECT_EQ(Title(), "Lumbra - " + first);
    EXPECT_EQ(ObjectCount(), 1);
    ASSERT_TRUE(view->SaveDocument(ZuStringRef(second.c_str())));
    EXPECT_EQ(FileBytes(first), FileBytes(second));
    EXPECT_FALSE(Shown(app->RetQuestionWait()->RetWindow()));
}

TEST_F(PageViewFilesTest, AFailedOpeningLeavesEverythingAsItWas)
{
    CPageViewRef view = View();
    AddObject();
    const std::string good = Path("bon.lumbra");
    ASSERT_TRUE(view->SaveDocument(ZuStringRef(good.c_str())));
    AddObject();
    const std::string whole = FileBytes(good);
    mkdir(Path("dossier.lumbra").c_str(), 0700);
    std::ofstream(Path("vide.lumbra"), std::ios::binary);
    std::ofstream(Path("autre.lumbra"), std::ios::binary) << "Ceci n'est pas un document.";
    std::ofstream(Path("coupe.lumbra"), std::ios::binary) << whole.substr(0, whole.size() / 2);
    // A named pipe nobody writes to: read at once as an empty file, never
    // waited on.
    ASSERT_EQ(mkfifo(Path("tube.lumbra").c_str(), 0600), 0);
    struct Case {
        const char* name;
        const char* cause;
    };
    const Case cases[] = {
        {"absent.lumbra", "le fichier n'existe pas"},
        {"dossier.lumbra", "ce nom est celui d'un dossier"},
        {"vide.lumbra", "ce n'est pas un document Lumbra complet"},
        {"autre.lumbra", "ce n'est pas un document Lumbra complet"},
        {"coupe.lumbra", "ce n'est pas un document Lumbra complet"},
        {"tube.lumbra", "ce n'est pas un document Lumbra complet"},
    };
    const CDocumentRef doc = view->RetDocument();
    const std::string title = Title();
    view->RetView()->zoom = 3.5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DebugCapture capture;
        const std::string path = Path(c.name);
        EXPECT_FALSE(view->OpenDocument(ZuStringRef(path.c_str())));
        EXPECT_TRUE(view->RetDocument() == doc);
        EXPECT_TRUE(app->RetDocument() == doc);
        EXPECT_TRUE(view->RetDocument()->IsModified());
        EXPECT_EQ(ObjectCount(), 2);
        EXPECT_EQ(Title(), title);
        EXPECT_EQ(view->RetView()->zoom, 3.5);
        EXPECT_FALSE(Shown(app->RetQuestionWait()->RetWindow()));
        ASSERT_EQ(capture.Boxes().size(), 1u);
        EXPECT_EQ(capture.LastBox().text, "Le fichier " + path +
                                              " n'a pas pu \xea"
                                              "tre ouvert : " +
                                              c.cause + ".");
    }
}

TEST_F(PageViewFilesTest, AFailedSaveKeepsTheOldFileTheNameAndTheChanges)
{
    CPageViewRef view = View();
    AddObject();
    const std::string kept = Path("garde.lumbra");
    ASSERT_TRUE(view->SaveDocument(ZuStringRef(kept.c_str())));
    const std::string old = FileBytes(kept);
    AddObject();
    mkdir(Path("rep.lumbra").c_str(), 0700);
    struct Case {
        std::string name;
        const char* cause;
    };
    const Case cases[] = {
        {Path("nulle/part.lumbra"), "le dossier n'existe pas"},
        {Path("rep.lumbra"), "ce nom est celui d'un dossier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DebugCapture capture;
        EXPECT_FALSE(view->SaveDocument(ZuStringRef(c.name.c_str())));
        EXPECT_TRUE(view->RetDocument()->IsModified());
        EXPECT_EQ(Latin(view->RetFileName()), kept);
        EXPECT_EQ(Title(), "Lumbra - " + kept);
        EXPECT_EQ(FileBytes(kept), old);
        EXPECT_FALSE(Shown(app->RetQuestionWait()->RetWindow()));
        ASSERT_EQ(capture.Boxes().size(), 1u);
        EXPECT_EQ(capture.LastBox().text, "Le fichier " + c.name +
                                              " n'a pas pu \xea"
                                              "tre enregistr\xe9 : " +
                                              c.cause + ".");
    }
    // A save that fails continues nothing: the quit waiting on it stays
    // undone.
    view->FileQuit();
    Serve();
    ASSERT_TRUE(Shown(SaveQuestion()->RetWindow()));
    std::remove(kept.c_str());
    mkdir(kept.c_str(), 0700);
    DebugCapture capture;
    SaveQuestion()->OnClickButton1();
    Serve();
    EXPECT_FALSE(QuitPending());
    EXPECT_TRUE(Shown(Main()->RetWindow()));
    EXPECT_TRUE(view->RetDocument()->IsModified());
    EXPECT_EQ(capture.Boxes().size(), 1u);
}

TEST_F(PageViewFilesTest, TheQuestionNamesTheDocumentAndCancelChangesNothing)
{
    CPageViewRef view = View();
    AddObject();
    ASSERT_TRUE(view->FileNew());
    Serve();
    EXPECT_EQ(view->RetPendingFileAction(), CPageView::FILE_NEW);
    ASSERT_TRUE(Shown(SaveQuestion()->RetWindow()));
    EXPECT_EQ(Line(SaveQuestion()->RetFirstLine()), "Le fichier en cours a chang\xe9.");
    EXPECT_EQ(Line(SaveQuestion()->RetSecondLine()), "Voulez-vous enregistrer les changements ?");
    // Annuler: nothing happens.
    SaveQuestion()->OnClickButton3();
    Serve();
    EXPECT_FALSE(Shown(SaveQuestion()->RetWindow()));
    EXPECT_EQ(ObjectCount(), 1);
    EXPECT_TRUE(view->RetDocument()->IsModified());
    EXPECT_EQ(view->RetPendingFileAction(), CPageView::FILE_NEW);

    // With a name, the question shows it; Non drops the changes.
    const std::string name = Path("nom.lumbra");
    ASSERT_TRUE(view->SaveDocument(ZuStringRef(name.c_str())));
    AddObject();
    view->FileNew();
    Serve();
    EXPECT_EQ(Line(SaveQuestion()->RetFirstLine()), "Le fichier " + name + " a chang\xe9.");
    SaveQuestion()->OnClickButton2();
    Serve();
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_FALSE(view->RetDocument()->IsModified());
    EXPECT_EQ(Title(), "Lumbra");
}

TEST_F(PageViewFilesTest, SaveAndOpenAskForNames)
{
    CPageViewRef view = View();
    const CFilenameDlgRef save = app->RetFilenameSave(), open = app->RetFilenameOpen();
    save->SetFilename(ZuStringRef("ancien"));
    // A document never saved: "filename_save" with an empty name.
    EXPECT_TRUE(view->FileSave());
    Serve();
    EXPECT_EQ(view->RetPendingFileAction(), CPageView::FILE_SAVE_AS);
    ASSERT_TRUE(Shown(save->RetWindow()));
    EXPECT_EQ(Latin(save->RetFilename()), "");
    // The chosen name gets the extension.
    const std::string stem = Path("choisi");
    save->SetFilename(ZuStringRef(stem.c_str()));
    save->OnFile();
    Serve();
    EXPECT_EQ(Latin(view->RetFileName()), stem + ".lumbra");
    EXPECT_FALSE(FileBytes(stem + ".lumbra").empty());

    // Non after FileOpen: "filename_open" with an empty name.
    AddObject();
    open->SetFilename(ZuStringRef("avant"));
    view->FileOpen();
    Serve();
    EXPECT_EQ(view->RetPendingFileAction(), CPageView::FILE_OPEN);
    SaveQuestion()->OnClickButton2();
    Serve();
    ASSERT_TRUE(Shown(open->RetWindow()));
    EXPECT_EQ(Latin(open->RetFilename()), "");
    // An empty name ends silently.
    DebugCapture capture;
    open->OnFile();
    Serve();
    EXPECT_TRUE(capture.Boxes().empty());
    EXPECT_EQ(ObjectCount(), 1);
    // A chosen name opens.
    view->FileOpen();
    Serve();
    SaveQuestion()->OnClickButton2();
    Serve();
    open->SetFilename(ZuStringRef(stem.c_str()));
    open->OnFile();
    Serve();
    EXPECT_EQ(Title(), "Lumbra - " + stem + ".lumbra");
    EXPECT_EQ(ObjectCount(), 0);
}

TEST_F(PageViewFilesTest, NonToReplacingAFileCancelsTheSaveAndWhatWaitsOnIt)
{
    CPageViewRef view = View();
    const std::string existing = Path("existe.lumbra");
    std::ofstream(existing, std::ios::binary) << "ancien contenu";
    AddObject();
    view->FileNew();
    Serve();
    SaveQuestion()->OnClickButton1();
    Serve();
    const CFilenameDlgRef save = app->RetFilenameSave();
    ASSERT_TRUE(Shown(save->RetWindow()));
    save->SetFilename(ZuStringRef(existing.c_str()));
    save->OnFile();
    Serve();
    ASSERT_TRUE(Shown(DeleteQuestion()->RetWindow()));
    EXPECT_EQ(Line(DeleteQuestion()->RetFirstLine()),
              "Le fichier " + existing + " existe d\xe9j\xe0.");
    EXPECT_EQ(Line(DeleteQuestion()->RetSecondLine()), "Voulez-vous le remplacer ?");
    DeleteQuestion()->OnClickButton2();
    Serve();
    EXPECT_EQ(FileBytes(existing), "ancien contenu");
    EXPECT_EQ(ObjectCount(), 1);
    EXPECT_TRUE(view->RetDocument()->IsModified());

    // Oui replaces it, then the new document follows.
    view->FileNew();
    Serve();
    SaveQuestion()->OnClickButton1();
    Serve();
    save->SetFilename(ZuStringRef(existing.c_str()));
    save->OnFile();
    Serve();
    DeleteQuestion()->OnClickButton1();
    Serve();
    EXPECT_NE(FileBytes(existing), "ancien contenu");
    EXPECT_EQ(ObjectCount(), 0);
    EXPECT_FALSE(view->RetDocument()->IsModified());
}

TEST_F(PageViewFilesTest, QuitWithoutChangesClosesEveryWindowUnasked)
{
    CPageViewRef view = View();
    ASSERT_TRUE(view->FileQuit());
    EXPECT_TRUE(QuitPending());
    EXPECT_FALSE(Shown(SaveQuestion()->RetWindow()));
    for (unsigned i = 0; i < app->RetWindowNum(); ++i)
        EXPECT_FALSE(Shown(app->RetWindow(i))) << i;
}

TEST_F(PageViewFilesTest, ClosingAChangedDocumentsWindowAsksAndNonQuits)
{
    AddObject();
    W32_HeadlessCloseBySystem(Hwnd(Main()->RetWindow()));
    Serve();
    EXPECT_FALSE(QuitPending());
    ASSERT_TRUE(Shown(SaveQuestion()->RetWindow()));
    EXPECT_EQ(View()->RetPendingFileAction(), CPageView::FILE_QUIT);
    SaveQuestion()->OnClickButton2();
    Pump();
    app->FireAsyncEvents();
    EXPECT_TRUE(QuitPending());
    EXPECT_FALSE(Shown(SaveQuestion()->RetWindow()));
}

namespace {

// How many of this process's descriptors are open on the file at `path`
// (absolute, as /proc names it).
int DescriptorsOn(const std::string& path)
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (const dirent* e = readdir(d)) {
            const std::string link = std::string("/proc/self/fd/") + e->d_name;
            char target[PATH_MAX];
            const ssize_t length = readlink(link.c_str(), target, sizeof target);
            if (length > 0 && path.compare(0, std::string::npos, target, size_t(length)) == 0)
                ++n;
        }
        closedir(d);
    }
    return n;
}

} // namespace

// The busy box is up while the file is read: a pipe stands for a slow file,
// and a writer at its far end looks at the box once the reading has the pipe
// open. Whatever the end, success or failure, the box is closed afterwards.
TEST_F(PageViewFilesTest, TheBusyBoxShowsWhileTheWorkRunsAndIsClosedAfterwards)
{
    CPageViewRef view = View();
    const CQuestionDlgRef busy = app->RetQuestionWait();
    ASSERT_TRUE(busy.IsValid());
    const std::string slow = Path("lent.lumbra");
    ASSERT_EQ(mkfifo(slow.c_str(), 0600), 0);
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(slow.c_str(), resolved), nullptr);
    const std::string pipe = resolved;
    // The files open a pipe without waiting for a writer, and a pipe nobody
    // writes to reads as empty: a writer's end is held open from the start,
    // so that the reading waits for bytes whenever the writer comes. The
    // writer waits (20 s at most) for a second descriptor on the pipe, the
    // reading's, looks at the box, writes and lets go, which ends the
    // reading; a later opening (the refusal looks at the file again to
    // name its cause) finds the pipe empty.
    const int held = ::open(slow.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    bool shownWhileReading = false;
    std::thread writer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (DescriptorsOn(pipe) < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        shownWhileReading = Shown(busy->RetWindow());
        const char garbage[] = "pas un document";
        (void)!::write(held, garbage, sizeof garbage);
        ::close(held);
    });
    DebugCapture capture;
    EXPECT_FALSE(view->OpenDocument(ZuStringRef(slow.c_str())));
    writer.join();
    EXPECT_TRUE(shownWhileReading);
    EXPECT_FALSE(Shown(busy->RetWindow()));
    EXPECT_EQ(capture.Boxes().size(), 1u);

    // The other roads, each ending with the box closed.
    const std::string good = Path("bon.lumbra"), folder = Path("dossier.lumbra");
    mkdir(folder.c_str(), 0700);
    struct Case {
        const char* what;
        std::function<bool()> run;
        bool ok;
    } cases[] = {
        {"save", [&] { return view->SaveDocument(ZuStringRef(good.c_str())); }, true},
        {"open", [&] { return view->OpenDocument(ZuStringRef(good.c_str())); }, true},
        {"save into a folder", [&] { return view->SaveDocument(ZuStringRef(folder.c_str())); },
         false},
        {"open a folder", [&] { return view->OpenDocument(ZuStringRef(folder.c_str())); }, false},
        {"new", [&] { return view->NewDocument(); }, true},
    };
    for (const Case& c : cases) {
        capture.Clear();
        EXPECT_EQ(c.run(), c.ok) << c.what;
        Serve();
        EXPECT_FALSE(Shown(busy->RetWindow())) << c.what;
        EXPECT_EQ(capture.Boxes().size(), c.ok ? 0u : 1u) << c.what;
    }
}
