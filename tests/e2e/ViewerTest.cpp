// The signal viewer in the real program against lx735-sim: opened from the General
// page's button, it records with CMD_READ_MEM1 alone, saves and reopens a recording,
// keeps its channel settings, pages through a large log, and gives the polling back
// when it closes.

#include "StagedProgram.h"
#include "common/Wait.h"
#include <algorithm>

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <memory>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;

// The viewer button is shown with the developer's hot key, as an installer shows it.
const QStringList ShowViewerButton{"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+W"};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// A link-log line as the link writes it.
QByteArray LogLine(qint64 ms, const QString& tag, const QString& text) {
    return ('"' + QString::number(ms) + " " + tag + " " + text + "\"\r\n").toLatin1();
}

class EndToEndViewer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(staged.Valid());
        if (QuickLink()) {
            // A request's bytes 50 us apart instead of 100, its reply read 1 ms after it
            // instead of 5.
            ASSERT_TRUE(ReplaceSetting("[AttesaByteTx_usec]", "100", "50"));
            ASSERT_TRUE(ReplaceSetting("[Idle_usec]", "5000", "1000"));
        }
        QString display;
        if (OnXServer()) {
            x = std::make_unique<XServer>();
            ASSERT_TRUE(x->Installed()) << "Xvfb is not installed (scripts/install-deps.sh)";
            display = x->Display();
            ASSERT_FALSE(display.isEmpty()) << "Xvfb did not come up";
        }
        staged.MapCom(1, staged.StartSim("com1", {"--fast"}));
        ASSERT_TRUE(staged.SimControl("com1", "set animate 0\nset rpm 2500"));
        ASSERT_TRUE(staged.StartProgram(display));
        ASSERT_TRUE(
            WaitFor([&] { return !staged.Requests("CMD_READ_MEM3").isEmpty(); }, LongMs * 1ms));
        ASSERT_TRUE(staged.Run(ShowViewerButton));
    }

    // One value of the staged port settings replaced.
    bool ReplaceSetting(const QByteArray& key, const QByteArray& from, const QByteArray& to) {
        QByteArray setCom = staged.Read("BIN/SetCom.ini");
        const QByteArray entry = key + "\r\n" + from + "\r\n";
        return setCom.contains(entry) &&
               WriteFile(staged.Path("BIN/SetCom.ini"),
                         setCom.replace(entry, key + "\r\n" + to + "\r\n"));
    }
    QString Text(const QString& name) {
        const auto fields = staged.ReadControl(name);
        return fields ? fields->value("text") : QString("(no " + name + ")");
    }
    bool TextShows(const QString& name, const QString& part) {
        return WaitFor([&] { return Text(name).contains(part); }, LongMs * 1ms);
    }
    bool Field(const QString& name, const QString& field, const QString& value) {
        return WaitFor(
            [&] {
                const auto f = staged.ReadControl(name);
                return f && f->value(field) == value;
            },
            LongMs * 1ms);
    }
    bool Open() { return staged.Run({"click CmdView", "until FrmView visible 1 60000"}); }
    // Requests of the current link log sent after ms.
    QStringList RequestsAfter(qint64 ms) {
        QStringList names;
        for (const LoggedRequest& r : staged.Requests()) {
            if (r.ms > ms && r.name.startsWith("CMD_")) {
                names << r.name;
            }
        }
        return names;
    }
    QStringList Boxes() const { return staged.MessageBoxes(); }

    virtual bool QuickLink() const { return false; }
    virtual bool OnXServer() const { return false; }

    std::unique_ptr<XServer> x; // before the program, which it outlives
    StagedProgram staged;
};

class EndToEndViewerOnX : public EndToEndViewer {
protected:
    bool OnXServer() const override { return true; }
};

class EndToEndViewerQuickLink : public EndToEndViewer {
protected:
    bool QuickLink() const override { return true; }
};

TEST_F(EndToEndViewer, RecordsSavesAndReopensThenPollingResumes) {
    ASSERT_TRUE(Open());
    // The log starts afresh with the recording's header and constants.
    ASSERT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 20; }, LongMs * 1ms))
        << staged.Read("BIN/RxTx.TXT").right(3000).toStdString();
    const QList<QByteArray> head = staged.Read("BIN/RxTx.TXT").split('\n').mid(0, 5);
    ASSERT_EQ(head.size(), 5);
    EXPECT_TRUE(head[0].contains(" O Release  ver 01.12.82 - 14/04/2011"));
    EXPECT_EQ(head[1], "\"[K_gm]\"\r");
    EXPECT_EQ(head[3], "\"[K_Lambda]\"\r");
    EXPECT_TRUE(TextShows("FrmView.LblSignal(5)", "2500"));
    EXPECT_TRUE(Text("FrmView.LblSignal(5)").startsWith(Text("LblCalRpm").trimmed()));
    QStringList sent = RequestsAfter(0);
    sent.removeAll("CMD_READ_MEM1");
    sent.removeAll("CMD_GET_ECO");
    EXPECT_TRUE(sent.isEmpty()) << sent.join(' ').toStdString();

    // Stop, saved as a cleaned copy, reopened.
    const QString saved = staged.Path("SAMPLES/rec.vfl");
    ASSERT_TRUE(staged.Run({"answer Yes", "file \"" + saved + "\"", "click FrmView.OptRun(1)"}));
    const bool stopped = Field("FrmView.CmdOpen", "enabled", "1");
    ASSERT_TRUE(stopped) << staged.Read("BIN/RxTx.TXT").right(1500).toStdString();
    EXPECT_TRUE(Boxes().contains("View|DO YOU WANT SAVE LAST DATA?"));
    const QList<QByteArray> lines = staged.Read("SAMPLES/rec.vfl").split('\n');
    ASSERT_GT(lines.size(), 40);
    for (qsizetype i = 0; i + 2 < lines.size(); ++i) {
        EXPECT_NE(lines[i].split(' ').value(1), lines[i + 1].split(' ').value(1))
            << "line " << i << ": " << lines[i].constData();
    }
    ASSERT_TRUE(staged.Run({"file \"" + saved + "\"", "click FrmView.CmdOpen"}));
    EXPECT_TRUE(Field("FrmView", "title", "View 1.1 - [" + saved + "]"));
    EXPECT_TRUE(TextShows("FrmView.LblSignal(5)", "2500"));

    // Closed while viewing: at once, and the poll scheduler reads zones 2 and 3 again.
    const qint64 closed = staged.LogLines().isEmpty() ? 0 : staged.LogLines().last().ms;
    ASSERT_TRUE(staged.Run({"close FrmView", "until FrmView exists 0 60000"}));
    EXPECT_TRUE(WaitFor(
        [&] {
            const QStringList after = RequestsAfter(closed);
            return after.contains("CMD_READ_MEM2") && after.contains("CMD_READ_MEM3");
        },
        LongMs * 1ms));
    EXPECT_TRUE(staged.ProgramRunning());
}

TEST_F(EndToEndViewer, ClosingWhileRecordingAsksToSaveThenCloses) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 10; }, LongMs * 1ms));
    // The picture is the viewer's, its channel labels where they stand.
    const std::optional<QImage> picture = Grab(staged, staged.Path("viewer.png"), "FrmView");
    ASSERT_TRUE(picture);
    const auto window = staged.ReadControl("FrmView");
    ASSERT_TRUE(window);
    EXPECT_EQ(picture->size(), RectOf(*window).size());
    for (const char* control :
         {"FrmView.LblSignal(0)", "FrmView.LblSignal(5)", "FrmView.CmdZoomIn"}) {
        const auto fields = staged.ReadControl(control);
        ASSERT_TRUE(fields) << control;
        EXPECT_EQ(PictureMisses(*picture, *fields).toStdString(), "") << control;
    }
    ASSERT_TRUE(staged.Run({"answer No", "close FrmView", "until FrmView exists 0 60000"}));
    EXPECT_EQ(Boxes(), QStringList{"View|DO YOU WANT SAVE LAST DATA?"});
    EXPECT_TRUE(staged.ProgramRunning());
}

TEST_F(EndToEndViewer, OffLineSettingsAndPagesOfALargeLog) {
    ASSERT_TRUE(staged.Run({"click MnuOffLine"}));
    ASSERT_TRUE(WaitFor(
        [&] {
            // A frame cut short by the stop may be logged after the state line.
            const QList<e2e::LogLine> lines = staged.LogLines();
            return std::any_of(lines.begin(), lines.end(),
                               [](const e2e::LogLine& line) { return line.text == "C 8"; });
        },
        LongMs * 1ms));
    // A log of 7,000,000 bytes, written where the installer keeps recordings.
    QByteArray big = "\"1000 O Release\"\r\n\"[K_gm]\"\r\n 15000000 \r\n";
    const QString reply = "42015F0C00" + QString(182, '0') + "10";
    for (qint64 ms = 2000; big.size() < 7000000; ms += 10) {
        big += LogLine(ms, "T", "4102030C4C") + LogLine(ms + 5, "R", reply);
    }
    ASSERT_TRUE(WriteFile(staged.Path("SAMPLES/big.vfl"), big));

    ASSERT_TRUE(Open());
    EXPECT_TRUE(Field("FrmView.OptRun(1)", "checked", "1"));
    EXPECT_TRUE(Field("FrmView.OptRun(0)", "enabled", "0"));
    EXPECT_TRUE(Field("FrmView.OptRun(1)", "enabled", "0"));
    EXPECT_EQ(staged.Read("BIN/RxTx.TXT").count("\r\n"), 1) << "the log rotated, nothing sent";

    ASSERT_TRUE(staged.Run(
        {"click FrmView.LblSignal(4)", "click FrmView.CmdZoomIn", "click FrmView.CmdZoomIn"}));
    EXPECT_TRUE(Field("FrmView.LblZoomChl", "text", "2048"));
    EXPECT_TRUE(staged.Read("LNG/OsciConfig.ini")
                    .contains("[Lambda]\r\n1\r\n 65280 \r\n 4575 \r\n 2048 \r\n"));

    ASSERT_TRUE(
        staged.Run({"file \"" + staged.Path("SAMPLES/big.vfl") + "\"", "click FrmView.CmdOpen"}));
    EXPECT_TRUE(Field("FrmView.CmdSeekNext", "enabled", "1"));
    EXPECT_TRUE(Field("FrmView.CmdSeekPrev", "enabled", "0"));
    ASSERT_TRUE(staged.Run({"click FrmView.CmdSeekNext"}));
    ASSERT_TRUE(Field("FrmView.CmdSeekPrev", "enabled", "1"));
    ASSERT_TRUE(staged.Run({"click FrmView.CmdSeekNext"}));
    EXPECT_TRUE(Field("FrmView.CmdSeekNext", "enabled", "0"));
    EXPECT_TRUE(Field("FrmView.CmdSeekPrev", "enabled", "1"));

    // Reopened: the zoom was kept.
    ASSERT_TRUE(staged.Run({"close FrmView", "until FrmView exists 0 60000"}));
    ASSERT_TRUE(Open());
    ASSERT_TRUE(staged.Run({"click FrmView.LblSignal(4)"}));
    EXPECT_TRUE(Field("FrmView.LblZoomChl", "text", "2048"));
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join("; ").toStdString();
}

// At 20 s a division a sweep lasts two minutes, and the store of 2401 samples fills on the
// way: recording goes on past it, with no box and no stop.
TEST_F(EndToEndViewerQuickLink, TheStoreFillsBeforeTheSweepEndsAndWrapsQuietly) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(staged.Run(
        {"click FrmView.CmdSecDivP", "click FrmView.CmdSecDivP", "click FrmView.CmdSecDivP"}));
    ASSERT_TRUE(Field("FrmView.LblSecDiv", "text", "20.00 s"));
    const QList<LoggedRequest> before = staged.Requests("CMD_READ_MEM1");
    ASSERT_FALSE(before.isEmpty()) << staged.Read("BIN/RxTx.TXT").right(2000).toStdString();
    const qsizetype from = before.size();
    // More samples than the store holds.
    ASSERT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= from + 2450; }, 400s))
        << staged.Requests("CMD_READ_MEM1").size() - from << " samples read";
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join("; ").toStdString();
    EXPECT_TRUE(TextShows("FrmView.LblSignal(5)", "2500"));

    const qint64 stopped = staged.LogLines().isEmpty() ? 0 : staged.LogLines().last().ms;
    ASSERT_TRUE(staged.Run({"answer No", "close FrmView", "until FrmView exists 0 60000"}));
    EXPECT_TRUE(WaitFor(
        [&] {
            const QStringList after = RequestsAfter(stopped);
            return after.contains("CMD_READ_MEM2") && after.contains("CMD_READ_MEM3");
        },
        LongMs * 1ms));
    EXPECT_EQ(Boxes(), QStringList{"View|DO YOU WANT SAVE LAST DATA?"});
}

// On a real X server the recording is drawn: the picture of the window holds the rpm trace
// in its colour.
TEST_F(EndToEndViewerOnX, ARecordingIsDrawnOnTheScreen) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(
        WaitFor([&] { return staged.Requests("CMD_READ_MEM1").size() >= 40; }, LongMs * 1ms));
    EXPECT_TRUE(TextShows("FrmView.LblSignal(5)", "2500"));
    // Within the plot only: the readout and the zero mark share the colour.
    const auto plot = staged.ReadControl("FrmView.PctSignal");
    ASSERT_TRUE(plot);
    const QRect rect = RectOf(*plot);
    ASSERT_FALSE(rect.isEmpty());
    // The trace grows with each sample drawn, so pictures are taken until it shows.
    int rpmPixels = 0;
    int shot = 0;
    const auto traceShows = [&] {
        const std::optional<QImage> picture =
            Grab(staged, staged.Path(QString("recording%1.png").arg(shot++)), "FrmView");
        if (!picture || !picture->rect().contains(rect)) {
            return false;
        }
        rpmPixels = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                rpmPixels += picture->pixel(x, y) == qRgb(0x80, 0x80, 0xFF);
            }
        }
        return rpmPixels > 20;
    };
    EXPECT_TRUE(WaitFor(traceShows, LongMs * 1ms))
        << "the rpm trace, light blue, is on the picture: " << rpmPixels << " pixels";
    ASSERT_TRUE(staged.Run({"answer No", "close FrmView", "until FrmView exists 0 60000"}));
}

} // namespace
} // namespace e2e
