// The File and ? menus: parameter files saved and queued through the file dialogs, the
// help document opened by its path, and the operating-point log started at load.

#include "AppFixture.h"

#include "common/FileFaults.h"
#include "ui/CommonDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstring>

namespace app_tests {
namespace {

// Takes the URLs that the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

const QString Title =
    QStringLiteral("LX735 Sequential Gas Injection - Release  ver 01.12.82 - 14/04/2011");

class MenusTest : public AppFixture {
protected:
    // Answers every file dialog with the path and keeps what it was asked.
    void Answer(const QString& path) {
        dialogs_ = std::make_unique<ui::ScopedFileDialogHandler>(
            [this, path](QWidget*, const ui::FileDialogRequest& request) {
                requests.push_back(request);
                return path;
            });
    }
    // The images as if the ECU's blocks had been read: a save has settings to write.
    void Read() { context->Images.Blocks.read.fill(true); }
    std::vector<ui::FileDialogRequest> requests;

private:
    std::unique_ptr<ui::ScopedFileDialogHandler> dialogs_;
};

// Before the ECU's blocks are read the images hold placeholders: no dialog, no file, the
// caption as it was, and the installer told why.
TEST_F(MenusTest, SaveBeforeTheEcuIsReadIsRefused) {
    Start();
    const QString before = window->windowTitle();
    Answer(tree.Path("BIN/early.var"));
    context->Images.Blocks.read.fill(true);
    context->Images.Blocks.read[std::size_t(ecudata::EditBlock::CompSmag)] = false;
    window->MnuFileSaveConf_Click();
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(QDir(tree.Path("BIN")).entryList({"*.var"}), QStringList());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt,
              "The ECU's settings have not been read yet: there is nothing to save.");
    EXPECT_EQ(window->windowTitle(), before);
}

TEST_F(MenusTest, SaveWritesTheFileAndNamesItInTheCaption) {
    Start();
    Read();
    const QString path = tree.Path("BIN/saved.var");
    Answer(path);
    window->MnuFileSaveConf_Click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].action, ui::FileDialogAction::Save);
    EXPECT_EQ(requests[0].initialFolder, tree.Root());
    EXPECT_EQ(requests[0].filter, "Mod Files (*.var)|*.var|");
    EXPECT_EQ(requests[0].filterIndex, 1);
    EXPECT_TRUE(tree.Read("BIN/saved.var").startsWith("[INFO]\r\n"));
    EXPECT_EQ(window->windowTitle(), Title + " - [" + path + "]");
}

// A save that fails (a full disk) leaves the old file, says so once with the file and
// the reason, and the caption names no file it did not save.
TEST_F(MenusTest, AFailedSaveIsToldAndTheCaptionStays) {
    Start();
    Read();
    tree.Write("full/kept.var", "old\r\n");
    const testing_support::FailWritesBelow full(tree.Path("full"));
    const QString before = window->windowTitle();
    Answer(tree.Path("full/kept.var"));
    window->MnuFileSaveConf_Click();
    EXPECT_EQ(tree.Read("full/kept.var"), "old\r\n");
    EXPECT_EQ(testing_support::FilesBelow(tree.Path("full")), QStringList{"kept.var"});
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(tree.Path("full/kept.var")));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
    EXPECT_EQ(window->windowTitle(), before);
}

// The link writes its log in the middle of its work: a log that fills the disk is told
// once, after the line, and takes no further line.
TEST_F(MenusTest, ALinkLogStoppedByAFullDiskIsToldOnce) {
    Start();
    const QByteArray before = tree.Read("BIN/RxTx.TXT");
    ASSERT_FALSE(before.isEmpty());
    {
        const testing_support::FileSizeLimit full(before.size() + 4);
        context->Comm().WriteLog("T ", "4102060945434F05");
        EXPECT_TRUE(boxes.boxes.empty()) << "not while the link works";
    }
    context->Comm().WriteLog("T ", "4102060945434F05");
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(tree.Path("BIN/RxTx.TXT")));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), before);
}

TEST_F(MenusTest, CancelledSaveWritesNothing) {
    Start();
    Read();
    Answer(QString());
    window->MnuFileSaveConf_Click();
    EXPECT_EQ(window->windowTitle(), Title);
    EXPECT_EQ(QDir(tree.Path("BIN")).entryList({"*.var"}), QStringList());
}

// The file takes a pending edit, and the edit still goes to the ECU afterwards.
TEST_F(MenusTest, SavingLeavesPendingEditsPending) {
    Start();
    Read();
    context->Images.Mem3Write.SwitchTemp = 60.0;
    context->Requests.Mem3WriteCountdown = 1.0;
    Answer(tree.Path("BIN/saved.var"));
    window->MnuFileSaveConf_Click();
    EXPECT_EQ(context->Images.Mem3Write.SwitchTemp, 60.0);
    EXPECT_EQ(context->Requests.Mem3WriteCountdown, 1.0);
    EXPECT_EQ(context->Images.Mem3Data.SwitchTemp, 50.0);
}

TEST_F(MenusTest, LoadQueuesOneFileAtATime) {
    Start();
    Answer(tree.Path("BIN/first.var"));
    window->MnuFileLoadConf_Click();
    EXPECT_EQ(context->ParamFilePending, tree.Path("BIN/first.var"));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].action, ui::FileDialogAction::Open);
    EXPECT_EQ(requests[0].initialFolder, tree.Root());

    Answer(tree.Path("BIN/second.var"));
    window->MnuFileLoadConf_Click();
    EXPECT_EQ(requests.size(), 1u) << "no dialog while a file is still pending";
    EXPECT_EQ(context->ParamFilePending, tree.Path("BIN/first.var"));
}

TEST(DialogFiltersTest, PairsBecomeTheDialogsFilters) {
    EXPECT_EQ(ui::DialogFilters("Mod Files (*.var)|*.var|"), QStringList{"Mod Files (*.var)"});
    EXPECT_EQ(ui::DialogFilters("Maps|*.map;*.MAP|All (*.*)|*.*|"),
              (QStringList{"Maps (*.map *.MAP)", "All (*.*)"}));
}

// A Save answer typed without an extension takes the pair's; anything else stays.
TEST(FilterExtensionTest, OnlyABareNameTakesThePairsExtension) {
    const QString mod = "Mod Files (*.var)|*.var|";
    const QString maps = "Maps|*.map;*.MAP|All (*.*)|*.*|";
    const struct {
        QString path, filter;
        int pair;
        QString expected;
    } cases[] = {
        {"/t/BIN/golf", mod, 1, "/t/BIN/golf.var"},
        {"/t/BIN/golf.var", mod, 1, "/t/BIN/golf.var"},
        {"/t/BIN/golf.VAR", mod, 1, "/t/BIN/golf.VAR"},
        {"/t/BIN/golf.old", mod, 1, "/t/BIN/golf.old"},
        {"/t/my.files/golf", mod, 1, "/t/my.files/golf.var"},
        {"/t/BIN/golf.", mod, 1, "/t/BIN/golf.var"},
        {"/t/BIN/.golf", mod, 1, "/t/BIN/.golf.var"},
        {"/t/golf", maps, 1, "/t/golf.map"},
        {"/t/golf", maps, 2, "/t/golf"},
        {"/t/golf", maps, 3, "/t/golf"},
        {"/t/golf", "Logs|log*|", 1, "/t/golf"},
        {"", mod, 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::WithFilterExtension(c.path, c.filter, c.pair), c.expected)
            << c.path.toStdString() << " with pair " << c.pair;
    }
}

// Every way of answering a Save dialog gets the extension; an Open answer is taken as it is.
TEST(FilterExtensionTest, SaveAnswersTakeItAndOpenAnswersDoNot) {
    const ui::ScopedFileDialogHandler answer(
        [](QWidget*, const ui::FileDialogRequest&) { return QStringLiteral("/t/golf"); });
    const QString filter = "Mod Files (*.var)|*.var|";
    EXPECT_EQ(ui::ShowFileDialog(nullptr, {ui::FileDialogAction::Save, "/t", filter, 1}),
              "/t/golf.var");
    EXPECT_EQ(ui::ShowFileDialog(nullptr, {ui::FileDialogAction::Open, "/t", filter, 1}),
              "/t/golf");
}

// The real dialog adds the extension itself, so that it asks before replacing the file that
// will be written, not the bare name typed.
TEST(FilterExtensionTest, TheRealDialogAsksBeforeReplacingTheExtendedFile) {
    testing_support::TempTree tree;
    tree.Write("golf.var", "kept\r\n");
    const ui::FileDialogRequest save{ui::FileDialogAction::Save, tree.Root(),
                                     "Mod Files (*.var)|*.var|", 1};
    bool asked = false;
    // Types the bare name and accepts; the question that follows is answered No and the
    // dialog, still open, is then cancelled.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTimer::singleShot(0, [&, dialog] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            asked = box != nullptr;
            if (box) {
                box->button(QMessageBox::No)->click();
            }
            QTimer::singleShot(0, dialog, &QFileDialog::reject);
        });
        dialog->selectFile("golf");
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    EXPECT_EQ(ui::ShowFileDialog(nullptr, save), "");
    EXPECT_TRUE(asked);
    EXPECT_EQ(tree.Read("golf.var"), "kept\r\n");

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile("golf2");
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    EXPECT_EQ(ui::ShowFileDialog(nullptr, save), tree.Path("golf2.var"));
}

TEST_F(MenusTest, SaveUnderABareNameWritesTheParameterFileWithItsExtension) {
    Start();
    Read();
    Answer(tree.Path("BIN/golf"));
    window->MnuFileSaveConf_Click();
    EXPECT_EQ(QDir(tree.Path("BIN"))
                  .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name)
                  .filter("golf"),
              QStringList{"golf.var"});
    EXPECT_EQ(window->windowTitle(), Title + " - [" + tree.Path("BIN/golf.var") + "]");
}

// A folder with a blank in its name opens as one path.
TEST_F(MenusTest, HelpOpensTheDocumentByItsPath) {
    Start();
    UrlCatcher desktop;
    context->AppFolder = tree.Path("my tools");
    tree.Write("my tools/LNG/help.pdf", "%PDF-1.4\n");
    window->MnuInfoHelp_Click();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), tree.Path("my tools/LNG/help.pdf"));
    EXPECT_TRUE(boxes.boxes.empty());
}

// The desktop itself refuses: no opener on PATH (and none at all on the offscreen
// platform). Each press says so once, naming the file, in the window's language.
class HelpFailureTest : public MenusTest {
protected:
    HelpFailureTest() : path_(qgetenv("PATH")) { qputenv("PATH", tree.Path("no-opener").toUtf8()); }
    ~HelpFailureTest() override { qputenv("PATH", path_); }

private:
    QByteArray path_;
};

TEST_F(HelpFailureTest, EveryFailedOpeningAndAMissingGuideIsTold) {
    const struct {
        const char* language;
        bool present;
        QString start;
    } cases[] = {
        {"0", true, "The guide %1 could not be opened. Install a PDF viewer"},
        {"0", false, "The guide %1 cannot be found."},
        {"1", true,
         "Non \u00e8 stato possibile aprire la guida %1. Installare un visualizzatore PDF"},
        {"1", false, "La guida %1 non si trova."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + (c.present ? " present" : " missing"));
        window.reset(); // before the context it works on
        tree.Write("LNG/M3.con", QByteArray(c.language) + "\r\n");
        Start();
        const QString help = tree.Path("LNG/help.pdf");
        QFile::remove(help);
        if (c.present) {
            tree.Write("LNG/help.pdf", "%PDF-1.4\n");
        }
        boxes.boxes.clear();
        window->MnuInfoHelp_Click();
        window->MnuInfoHelp_Click();
        ASSERT_EQ(boxes.boxes.size(), 2u);
        for (const auto& box : boxes.boxes) {
            EXPECT_TRUE(box.prompt.startsWith(c.start.arg(help))) << box.prompt.toStdString();
            EXPECT_EQ(box.style, support::vbExclamation);
            EXPECT_FALSE(box.title.isEmpty());
        }
    }
}

TEST_F(MenusTest, PointLogStartsAfreshAndKeepsTheOldOne) {
    tree.Write("BIN/SetCom.ini", "[LogPoint]\r\n1\r\n");
    tree.Write("BIN/LogPoint.TXT", "old points\r\n");
    Start();
    const QStringList kept = QDir(tree.Path("BIN")).entryList({"LogPoint_*.txt"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(tree.Read("BIN/" + kept[0]), "old points\r\n");
    const QList<QByteArray> lines = tree.Read("BIN/LogPoint.TXT").split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains(" O Release  ver 01.12.82 - 14/04/2011 LX735 Sequential Gas "
                                  "Injection "));
    EXPECT_FALSE(lines[0].startsWith('"'));
    EXPECT_EQ(lines[1], " \r");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MenusTest, PointLogThatCannotStartIsToldOnce) {
    tree.Write("BIN/SetCom.ini", "[LogPoint]\r\n1\r\n");
    QDir(tree.Root()).mkpath("BIN/LogPoint.TXT");
    Start();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("LogPoint.TXT"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MenusTest, NoPointLogWhileItsSwitchIsOff) {
    Start();
    EXPECT_FALSE(QFile::exists(tree.Path("BIN/LogPoint.TXT")));
}

} // namespace
} // namespace app_tests

#include "MenusTest.moc"
