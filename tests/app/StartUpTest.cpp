// The program's start: the application folder, the order of the preparation, the load
// step's defaults, and the timers that start only once the load has ended.

#include "AppFixture.h"
#include "common/Wait.h"

#include "app/LinkLogRestart.h"
#include "support/Clock.h"
#include "support/UCtrlBar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace app_tests {
namespace {

TEST(AppFolderTest, IsTheParentOfTheExecutablesFolder) {
    const struct {
        const char* executableDir;
        const char* appFolder;
    } cases[] = {
        {"/opt/lx735/BIN", "/opt/lx735"},
        {"/home/a b/X/BIN", "/home/a b/X"},
        {"/BIN", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::AppFolderFromExecutableDir(c.executableDir), c.appFolder) << c.executableDir;
    }
}

TEST_F(AppFixture, PreparationReadsTheDictionaryBelowTheApplicationFolder) {
    PrepareOnly();
    EXPECT_EQ(context->AppFolder, tree.Root());
    EXPECT_EQ(context->ObjLingue.NomeLingua(0), "English");
    EXPECT_EQ(context->ObjLingue.NomeLingua(1), "Italiano");
    EXPECT_EQ(context->Comm().ComState(), app::COM_SEARCH);
    EXPECT_FALSE(context->Comm().IsOpen());
    EXPECT_EQ(context->Images.Mem3Data.Cilindri, 8);
    EXPECT_EQ(context->DefaultParamPending, 1);
}

// Each damaged start-up file is listed once with what stands in for it, in the window's
// language; English when the dictionary itself is what is damaged.
TEST_F(AppFixture, DamagedStartUpFilesAreListedInTheWindowsLanguage) {
    using app::DamagedFile;
    const struct {
        const char* what;
        QList<QPair<QString, QByteArray>> files; // a null content removes the file
        QList<DamagedFile> damaged;
        QStringList named;
        QString opening;
    } cases[] = {
        {"the shipped files", {}, {}, {}, ""},
        {"no configuration, a junk language",
         {{"LNG/ConfigScale.ini", QByteArray()}, {"LNG/M3.con", "junk\r\n"}},
         {DamagedFile::ConfigScale, DamagedFile::Language},
         {"LNG/ConfigScale.ini", "LNG/M3.con"},
         "Damaged start-up files"},
        {"junk port settings in Italian",
         {{"LNG/M3.con", "1\r\n"}, {"BIN/SetCom.ini", "junk\r\n"}},
         {DamagedFile::PortSettings},
         {"BIN/SetCom.ini"},
         "Sono stati trovati"},
        {"an empty dictionary with Italian chosen",
         {{"LNG/M3.con", "1\r\n"}, {"LNG/M3.diz", ""}},
         {DamagedFile::Dictionary},
         {"LNG/M3.diz"},
         "Damaged start-up files"},
    };
    for (const auto& c : cases) {
        tree.Write("LNG/ConfigScale.ini", ShippedFile("LNG/ConfigScale.ini"));
        tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
        tree.Write("LNG/M3.con", "0\r\n");
        QFile::remove(tree.Path("BIN/SetCom.ini"));
        for (const auto& [file, bytes] : c.files) {
            if (bytes.isNull()) {
                QFile::remove(tree.Path(file));
            } else {
                tree.Write(file, bytes);
            }
        }
        PrepareOnly();
        EXPECT_EQ(damaged, c.damaged) << c.what;
        const QString message = app::DamagedFilesMessage(*context, damaged);
        EXPECT_EQ(message.isEmpty(), c.opening.isEmpty()) << c.what;
        EXPECT_EQ(message.left(c.opening.size()), c.opening) << c.what;
        EXPECT_EQ(message.count(tree.Root()), c.named.size()) << c.what;
        for (const QString& file : c.named) {
            EXPECT_EQ(message.count(tree.Path(file)), 1) << c.what << ": " << file.toStdString();
        }
    }
}

TEST_F(AppFixture, LoadMakesEightBarsThenStoresTheDefaultImages) {
    int barsFor = -1;
    services.IstanzaInj = [&](int& cilindri) { barsFor = cilindri; };
    Start();

    EXPECT_EQ(barsFor, 8);
    for (int i = 0; i < 8; ++i) {
        for (const char* name : {"InjPetBar", "InjGasBar"}) {
            auto* bar = dynamic_cast<support::UCtrlBar*>(
                window->Control(QStringLiteral("%1(%2)").arg(name).arg(i)));
            ASSERT_NE(bar, nullptr) << name << i;
            EXPECT_EQ(bar->MaxVal(), 21);
            EXPECT_EQ(bar->ShpBar().size(), 21);
        }
    }
    const ecudata::Mem3Rec& m3 = context->Images.Mem3Data;
    EXPECT_EQ(m3.Cilindri, 4);
    EXPECT_EQ(m3.Bobine, 4);
    EXPECT_EQ(m3.SwitchTemp, 50.0);
    EXPECT_EQ(m3.InjTime, 3000.0);
    EXPECT_EQ(m3.InjPwm1, 28.0);
    EXPECT_EQ(m3.InjPwm2, 24.0);
    EXPECT_EQ(m3.Isteresi, 300);
    EXPECT_EQ(m3.Param156, 1200);
    EXPECT_EQ(m3.DelayPress, 0.1);
    EXPECT_EQ(m3.EmptyGas, 1);
    for (quint8 state : m3.CylState) {
        EXPECT_EQ(state, 1);
    }
    EXPECT_EQ(context->Images.Mem2Data.SwitchRpmPeriod, 75.0);
    EXPECT_EQ(context->Images.Mem3Write.Cilindri, -1) << "the to-write copy holds its markers";
    EXPECT_EQ(context->Tables.TblGasLevel.at(0).Thresholds[5], 1023);
    for (quint8 byte : context->Images.EmulaBlkData) {
        EXPECT_EQ(byte, 0);
    }

    const ecudata::EcuRequests& requests = context->Requests;
    EXPECT_TRUE(requests.ReqReadMem1 && requests.ReqReadMem2 && requests.ReqReadMem3 &&
                requests.ReqReadEmus && requests.ReqReadTblCor && requests.ReqReadComp &&
                requests.ReqReadDcol);
    EXPECT_EQ(requests.PollCountdown, (std::array<qint32, 6>{3, 7, 17, 23, 53, 101}));
    EXPECT_TRUE(requests.FirstReadPending);
    EXPECT_TRUE(requests.RefreshPending);
    EXPECT_EQ(context->FirmwareFilePath, tree.Path("BIN/TarvencoInj468.frh"));
    EXPECT_EQ(window->LampBlinkPeriod, 200000.0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(AppFixture, NoTimerTicksBeforeTheLoadHasEnded) {
    int linkTicks = 0;
    int pollTicks = 0;
    services.Timer1Tick = [&] { ++linkTicks; };
    services.Timer2Tick = [&] { ++pollTicks; };
    // The load lets the event loop run here, longer than either period; the timers must
    // still be off.
    services.IstanzaInj = [](int&) { support::WaitUsec(40000); };
    Start();
    EXPECT_EQ(linkTicks, 0);
    EXPECT_EQ(pollTicks, 0);
    EXPECT_FALSE(window->Timer1().isActive());
    EXPECT_FALSE(window->Timer2().isActive());

    window->EnableTimers();
    EXPECT_EQ(window->Timer1().interval(), 1);
    EXPECT_EQ(window->Timer1().timerType(), Qt::PreciseTimer);
    EXPECT_EQ(window->Timer2().interval(), 14);
    EXPECT_TRUE(support::WaitUntil([&] { return linkTicks > 0 && pollTicks > 0; }, 10e6))
        << linkTicks << " link ticks, " << pollTicks << " poll ticks";
}

TEST_F(AppFixture, LinkLogRestartsAndKeepsThePreviousOne) {
    tree.Write("BIN/RxTx.TXT", "\"old line\"\r\n");
    Start();
    EXPECT_EQ(tree.Read("BIN/RxTx_Last.TXT"), "\"old line\"\r\n");
    const QByteArray log = tree.Read("BIN/RxTx.TXT");
    EXPECT_TRUE(log.startsWith('"')) << log.constData();
    EXPECT_TRUE(log.endsWith("\"\r\n"));
    EXPECT_EQ(log.count("\r\n"), 1);
    EXPECT_TRUE(
        log.contains(" O Release  ver 01.12.82 - 14/04/2011 LX735 Sequential Gas Injection "));
}

TEST(LinkLogHeaderTest, ClockInWholeMillisecondsHalvesToEven) {
    const QDateTime when(QDate(2011, 4, 15), QTime(14, 5, 32));
    const struct {
        double usec;
        const char* start;
    } cases[] = {{2500, "2 O "}, {3500, "4 O "}, {1234567, "1235 O "}};
    for (const auto& c : cases) {
        EXPECT_TRUE(app::LinkLogHeader(c.usec, "T", when).startsWith(c.start)) << c.usec;
    }
    EXPECT_TRUE(
        app::LinkLogHeader(0, "T", when).contains(" O Release  ver 01.12.82 - 14/04/2011 T "));
}

// An unwritable log (here a folder in the file's place) is told once; the load goes on.
TEST_F(AppFixture, UnwritableLinkLogIsReportedOnceAndTheLoadGoesOn) {
    QDir(tree.Root()).mkpath("BIN/RxTx.TXT");
    Start();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains("RxTx.TXT"));
    EXPECT_EQ(window->LampBlinkPeriod, 200000.0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AppFixture, OldLogThatCannotBeKeptIsLeftAsItStands) {
    tree.Write("BIN/RxTx.TXT", "\"old line\"\r\n");
    QDir(tree.Root()).mkpath("BIN/RxTx_Last.TXT");
    Start();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(tree.Read("BIN/RxTx.TXT"), "\"old line\"\r\n");
}

// A log larger than the memory the program may use (a sparse 4 GiB file under a 1 GiB
// address-space limit) is kept whole as the last log, and the new one starts.
TEST(LinkLogRestartTest, ALogLargerThanMemoryIsKeptAsTheLastOne) {
    testing_support::TempTree tree;
    constexpr qint64 Huge = 4LL * 1024 * 1024 * 1024;
    {
        QFile old(tree.Path("BIN/RxTx.TXT"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        ASSERT_TRUE(old.resize(Huge));
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{1LL << 30, 1LL << 30};
        setrlimit(RLIMIT_AS, &limit);
        _exit(app::RestartLinkLog(tree.Root(), "T") ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(QFileInfo(tree.Path("BIN/RxTx_Last.TXT")).size(), Huge);
    EXPECT_TRUE(tree.Read("BIN/RxTx.TXT").contains(" O Release "));
}

// The staged executable finds its data through its own folder.
TEST_F(AppFixture, StagedExecutableStartsFromItsTree) {
    const QString exe = tree.Path("BIN/lx735");
    ASSERT_TRUE(QFile::copy(LX735_EXECUTABLE, exe));
    tree.Write("BIN/RxTx.TXT", "\"previous\"\r\n");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(exe, {});
    ASSERT_TRUE(program.waitForStarted(5000));
    const auto restarted = [&] {
        QFile log(tree.Path("BIN/RxTx.TXT")); // missing for a moment after the rename
        return QFile::exists(tree.Path("BIN/RxTx_Last.TXT")) && log.open(QIODevice::ReadOnly) &&
               log.readAll().contains("LX735 Sequential Gas Injection");
    };
    WaitFor(restarted, 60s);
    program.kill();
    program.waitForFinished(5000);
    EXPECT_EQ(tree.Read("BIN/RxTx_Last.TXT"), "\"previous\"\r\n");
    EXPECT_TRUE(tree.Read("BIN/RxTx.TXT").contains("LX735 Sequential Gas Injection"));
}

} // namespace
} // namespace app_tests
