#include "viewer/FrmView.h"
#include "MonitorRig.h"
#include "ViewerFiles.h"
#include "common/Wait.h"
#include "ecudata/ParamRecords.h"
#include "link/Frames.h"
#include "support/Colors.h"
#include "ui/CommonDialog.h"
#include "ui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

using viewer::FrmView;
using viewer_test::LiveData;
using viewer_test::LogLine;
using viewer_test::ReplyHex;

namespace {

const std::array<QString, 8> Names{"Gas Time (ms)",  "Petrol Time (ms)", "Vacuum (bar)",
                                   "Pressure (bar)", "Lambda 1 (V)",     "R.P.M.",
                                   "Gas Temp",       "Vapor. Temp"};

const QByteArray Header = "\"1000 O Release  ver 01.12.82 - 14/04/2011 LX735 x\"\r\n"
                          "\"[K_gm]\"\r\n 7500000 \r\n\"[K_Lambda]\"\r\n 0.0048828125 \r\n";

// Answers every box with answer and keeps its text.
struct Boxes {
    explicit Boxes(int answer = support::vbOK)
        : scope([this, answer](const QString& prompt, int, const QString& title) {
              texts << title + "|" + prompt;
              return answer;
          }) {}
    QStringList texts;
    support::ScopedMsgBoxHandler scope;
};

// Chooses path in every file dialog and keeps the requests.
struct Dialogs {
    explicit Dialogs(QString path)
        : scope([this, path](QWidget*, const ui::FileDialogRequest& r) {
              requests.push_back(r);
              return path;
          }) {}
    std::vector<ui::FileDialogRequest> requests;
    ui::ScopedFileDialogHandler scope;
};

class ViewerWindow : public ::testing::Test {
protected:
    ViewerWindow() {
        rig.timer2Running = false;
        rig.tree.Write("LNG/OsciConfig.ini",
                       viewer::OsciConfigText(viewer::DefaultChannelSettings(), ".").toLatin1());
    }

    // The viewer opened off-line.
    FrmView& OpenOffLine() {
        rig.timer1Running = false;
        rig.ctx.Comm().ComState(comm::COM_STOP);
        return Open();
    }
    FrmView& Open() {
        view = std::make_unique<FrmView>(rig.ctx, Names);
        view->Form_Load();
        return *view;
    }
    template <class W = QWidget> W& Control(const QString& name) {
        auto* w = view->findChild<W*>(name);
        if (!w) {
            throw std::runtime_error(name.toStdString());
        }
        return *w;
    }
    QString Readout(int c) { return Control<QLabel>(ui::ArrayName("LblSignal", c)).text(); }
    void Click(const QString& name) { Control<QAbstractButton>(name).click(); }
    void ClickLabel(const QString& name, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&Control(name), button);
    }
    QString Path(const QString& relative) { return rig.tree.Path(relative); }

    monitor_test::MonitorRig rig;
    std::unique_ptr<FrmView> view;
};

} // namespace

TEST_F(ViewerWindow, OffLineNothingIsSentAndTheLogIsStillRotated) {
    rig.tree.Write("BIN/RxTx.TXT", "\"old\"\r\n");
    const qsizetype sent = rig.ecu.CommandLog().size();
    Boxes boxes;
    FrmView& v = OpenOffLine();
    EXPECT_TRUE(Control<QRadioButton>("OptRun(1)").isChecked());
    EXPECT_FALSE(Control("OptRun(0)").isEnabled());
    EXPECT_FALSE(Control("OptRun(1)").isEnabled());
    EXPECT_EQ(rig.ecu.CommandLog().size(), sent);
    EXPECT_EQ(rig.tree.Read("BIN/RxTx_Last.TXT"), "\"old\"\r\n");
    const QByteArray log = rig.tree.Read("BIN/RxTx.TXT");
    EXPECT_TRUE(log.startsWith('"') && log.contains(" O Release  ver 01.12.82 - 14/04/2011"));
    EXPECT_EQ(log.count("\r\n"), 1);
    EXPECT_TRUE(boxes.texts.isEmpty()) << boxes.texts.join("; ").toStdString();
    EXPECT_EQ(v.GridDotCount(), 1239);
    EXPECT_EQ(Readout(5), "R.P.M.");
    EXPECT_EQ(Control<QLineEdit>("TxtSignal(2)").text(), "Vacuum (bar)");
    EXPECT_EQ(Control<QLabel>("LblSecDiv").text(), "5.00 s");
    EXPECT_EQ(Control<QComboBox>("CmbChnInj").currentText(), "1");
    EXPECT_EQ(v.SelInjector, 0);
    EXPECT_TRUE(QDir(Path("SAMPLES")).exists());
}

TEST_F(ViewerWindow, AMissingSettingsFileIsReportedAndWrittenAgain) {
    QFile::remove(Path("LNG/OsciConfig.ini"));
    Boxes boxes;
    OpenOffLine();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("View|Form_Load_Err: "));
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "64"); // the design values stand
    Click("CmdReset");
    EXPECT_EQ(rig.tree.Read("LNG/OsciConfig.ini"),
              viewer::OsciConfigText(viewer::DefaultChannelSettings(), ".").toLatin1());
}

TEST_F(ViewerWindow, ASettingsFileThatCannotBeWrittenIsNamed) {
    OpenOffLine();
    const QString settings = Path("LNG/OsciConfig.ini");
    ASSERT_TRUE(QFile::remove(settings));
    ASSERT_TRUE(QDir().mkpath(settings)); // a folder where the file goes
    Boxes boxes;
    Click("CmdReset");
    ASSERT_FALSE(boxes.texts.isEmpty());
    EXPECT_TRUE(boxes.texts[0].contains(
        "WriteOsciConfig_Err: " + QDir::toNativeSeparators(settings) + ": "))
        << boxes.texts[0].toStdString();
}

TEST_F(ViewerWindow, ZoomOffsetAndTimeBaseAreKeptInTheSettingsFile) {
    OpenOffLine();
    ClickLabel("LblSignal(4)");
    Click("CmdZoomIn");
    Click("CmdZoomIn");
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "2048");
    EXPECT_TRUE(rig.tree.Read("LNG/OsciConfig.ini")
                    .contains("[Lambda]\r\n1\r\n 65280 \r\n 4575 \r\n 2048 \r\n"));
    ClickLabel("LblSignal(2)");
    Click("CmdUp");
    EXPECT_EQ(Control<QLabel>("LblOffset").text(), "2747"); // 2820 - 73.125, to even
    EXPECT_EQ(Control("LblZero(2)").y() * 15, 2745);

    Open();
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "64");
    ClickLabel("LblSignal(4)");
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "2048");
    EXPECT_EQ(Control<QLabel>("LblCN").property("Tag").toString(), "4");

    for (int i = 0; i < 4; ++i) {
        Click("CmdSecDivP");
    }
    EXPECT_EQ(Control<QLabel>("LblSecDiv").text(), "20.00 s");
    EXPECT_FALSE(Control("CmdSecDivP").isEnabled());
    EXPECT_TRUE(Control("CmdSecDivM").isEnabled());
}

TEST_F(ViewerWindow, ALargeLogIsPagedWithTheSeekButtons) {
    QByteArray text = Header;
    const QString reply = ReplyHex(LiveData(3000));
    for (qint64 ms = 2000; text.size() < 7000000; ms += 10) {
        text += LogLine(ms, "T", "4102030C4C") + LogLine(ms + 5, "R", reply);
    }
    rig.tree.Write("SAMPLES/big.vfl", text);
    rig.tree.Write("SAMPLES/small.vfl", Header + LogLine(5, "T", "4102030C4C") +
                                            LogLine(10, "R", reply) + LogLine(20, "R", reply));
    FrmView& v = OpenOffLine();
    {
        Dialogs dialogs(Path("SAMPLES/big.vfl"));
        Click("CmdOpen");
        ASSERT_EQ(dialogs.requests.size(), 1u);
        EXPECT_EQ(dialogs.requests[0].filter,
                  "View Files  (*.vfl)|*.vfl|Text Files  (*.txt)|*.txt");
        EXPECT_EQ(dialogs.requests[0].initialFolder, Path("SAMPLES"));
    }
    EXPECT_EQ(v.windowTitle(), "View 1.1 - [" + Path("SAMPLES/big.vfl") + "]");
    EXPECT_FALSE(Control("CmdSeekNext").isHidden());
    EXPECT_TRUE(Control("CmdSeekNext").isEnabled());
    EXPECT_FALSE(Control("CmdSeekPrev").isEnabled());
    Click("CmdSeekNext");
    Click("CmdSeekNext");
    EXPECT_FALSE(Control("CmdSeekNext").isEnabled());
    EXPECT_TRUE(Control("CmdSeekPrev").isEnabled());
    EXPECT_EQ(v.PagePos, 6000001);
    EXPECT_FALSE(v.FileLoadBusy);
    EXPECT_TRUE(Control("LblLoading").isHidden());

    // Another file starts at its own first page.
    Dialogs dialogs(Path("SAMPLES/small.vfl"));
    Click("CmdOpen");
    EXPECT_EQ(v.PagePos, 1);
    EXPECT_TRUE(Control("CmdSeekNext").isHidden());
    ASSERT_EQ(v.ViewSamples.size(), 2u);
    EXPECT_EQ(v.ViewSamples[0].Rpm, 2500);
}

TEST_F(ViewerWindow, AFormattedLogWithABadNumberEndsTheLoadCleanly) {
    rig.tree.Write("SAMPLES/f.txt",
                   "head\r\n1 | 2 | 3 | 4 | 2500 | 6 | 7 | 8 | 9 | 10 | 11 | 12\r\n"
                   "1 | 2 | x | 4 | 5 | 6 | 7 | 8 | 9 | 10 | 11 | 12\r\n"
                   "1 | 2 | y | 4 | 5 | 6 | 7 | 8 | 9 | 10 | 11 | 12\r\nend\r\n");
    FrmView& v = OpenOffLine();
    Boxes boxes;
    Dialogs dialogs(Path("SAMPLES/f.txt"));
    Click("CmdOpen");
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(v.FileLoadBusy);
    EXPECT_TRUE(Control("LblLoading").isHidden());
    ASSERT_EQ(v.ViewSamples.size(), 1u);
    EXPECT_EQ(v.ViewSamples[0].Rpm, 2500);
}

TEST_F(ViewerWindow, AFileOfNeitherKindLeavesNothingOfTheLogBeforeAndSaysSo) {
    QByteArray text = Header;
    for (int i = 0; i < 6; ++i) {
        text += LogLine(60000 + 1000 * i, "R", ReplyHex(LiveData(3000)));
    }
    rig.tree.Write("SAMPLES/s.vfl", text + LogLine(70000, "T", "4102030C4C"));
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) {
        binary += char((i * 7919) % 256);
    }
    rig.tree.Write("SAMPLES/binary.vfl", binary);
    rig.tree.Write("SAMPLES/empty.txt", "");
    const QColor rpm = support::ColorFromBgr(0xFF8080);
    auto rpmDrawn = [&] {
        const QImage picture = Control("PctSignal").grab().toImage();
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixelColor(x, y) == rpm) {
                    return true;
                }
            }
        }
        return false;
    };
    FrmView& v = OpenOffLine();
    for (const char* name : {"SAMPLES/binary.vfl", "SAMPLES/empty.txt"}) {
        {
            Dialogs dialogs(Path("SAMPLES/s.vfl"));
            Click("CmdOpen");
        }
        ASSERT_EQ(v.ViewSamples.size(), 6u);
        ASSERT_TRUE(rpmDrawn());
        ASSERT_EQ(Readout(5), "R.P.M.\n2500");
        ASSERT_GT(Control<QSlider>("SldSample").maximum(), 0);

        Boxes boxes;
        Dialogs dialogs(Path(name));
        Click("CmdOpen");
        EXPECT_EQ(boxes.texts,
                  QStringList{"View|" + Path(name) +
                              " holds no samples: it is neither a link log nor a formatted log."})
            << name;
        EXPECT_EQ(v.windowTitle(), "View 1.1 - [" + Path(name) + "]");
        EXPECT_EQ(v.ViewSamples.size(), 1u) << name;
        EXPECT_EQ(v.TimeFirst, 0);
        EXPECT_EQ(v.TimeLast, 0);
        EXPECT_EQ(Control<QSlider>("SldSample").maximum(), 0);
        EXPECT_FALSE(rpmDrawn()) << name;
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(Readout(c), Names[c]) << name << " channel " << c;
        }
    }
}

TEST_F(ViewerWindow, OutOfRangeSettingsAreLimitedAndToldOnce) {
    QByteArray settings = viewer::OsciConfigText(viewer::DefaultChannelSettings(), ".").toLatin1();
    settings.replace("[Rpm]\r\n1\r\n 16744576 \r\n 5745 \r\n 0.25 \r\n",
                     "[Rpm]\r\n1\r\n 16744576 \r\n-99999999999 \r\n 0 \r\n");
    settings.replace("[Lambda]\r\n1\r\n 65280 \r\n 4575 \r\n",
                     "[Lambda]\r\n1\r\n 65280 \r\n 99999999999 \r\n");
    ASSERT_TRUE(settings.contains("-99999999999") && settings.contains(" 99999999999 "));
    rig.tree.Write("LNG/OsciConfig.ini", settings);
    Boxes boxes;
    OpenOffLine();
    EXPECT_EQ(boxes.texts,
              QStringList{"View|" + Path("LNG/OsciConfig.ini") +
                          ": values out of range, limited to what the viewer shows: [Lambda] "
                          "offset, [Rpm] offset, [Rpm] zoom."});
    ClickLabel("LblSignal(5)");
    EXPECT_EQ(Control<QLabel>("LblOffset").text(), "-105");
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "0.125");
    Click("CmdZoomIn");
    EXPECT_EQ(Control<QLabel>("LblZoomChl").text(), "0.250");
    ClickLabel("LblSignal(4)");
    EXPECT_EQ(Control<QLabel>("LblOffset").text(), "6915");
    const QWidget& zero = Control("LblZero(4)");
    EXPECT_LE(zero.y() + zero.height(), zero.parentWidget()->height()) << "on the picture";
}

TEST_F(ViewerWindow, AtLeastOneChannelStaysCheckedAndShown) {
    OpenOffLine();
    Boxes boxes;
    for (int c = 7; c >= 0; --c) {
        Control<QCheckBox>(ui::ArrayName("ChkSignal", c)).click();
    }
    EXPECT_EQ(boxes.texts, QStringList{"View|NO CHECK!"});
    EXPECT_TRUE(Control<QCheckBox>("ChkSignal(0)").isChecked());

    boxes.texts.clear();
    for (int c = 0; c < 8; ++c) {
        ClickLabel(ui::ArrayName("PctMostra", c));
    }
    EXPECT_EQ(boxes.texts, QStringList{"View|NO CHECK!"});
    EXPECT_EQ(view->Channels[7].ShowTag, "1");
    EXPECT_EQ(view->SelChannel, 7);
    EXPECT_TRUE(rig.tree.Read("LNG/OsciConfig.ini").contains("[T Inj Gas]\r\n0\r\n"));
}

TEST_F(ViewerWindow, CylindersAndCoilsChangeOnlyTheViewersRpmConstant) {
    rig.ctx.Images.Mem3Data.Cilindri = 5;
    rig.ctx.Images.Mem3Data.Bobine = 2;
    const ecudata::Mem3Rec before = rig.ctx.Images.Mem3Data;
    OpenOffLine();
    ClickLabel("LblSignal(5)", Qt::RightButton);
    EXPECT_FALSE(Control("Frame2").isHidden());
    EXPECT_EQ(Control<QComboBox>("CmbCyl").currentText(), "5");
    EXPECT_EQ(Control<QComboBox>("CmbCoil").currentText(), "2");
    Control<QComboBox>("CmbCyl").setCurrentText("8");
    Control<QComboBox>("CmbCoil").setCurrentText("1");
    Click("CmdEscCylCoil");
    EXPECT_TRUE(Control("Frame2").isHidden());
    EXPECT_EQ(rig.ctx.Images.Mem3Data, before);
    ecudata::Mem3Rec counts = before;
    counts.Cilindri = 8;
    counts.Bobine = 1;
    EXPECT_EQ(rig.ctx.Scale.K_gm, ecudata::CalcRpmConst(counts));
}

TEST_F(ViewerWindow, TheCursorReadsTheSampleAfterItsTime) {
    QByteArray text = Header;
    for (int i = 0; i < 6; ++i) {
        text += LogLine(60000 + 1000 * i, "R", ReplyHex(LiveData(3000 + 100 * i, 125 * i)));
    }
    rig.tree.Write("SAMPLES/s.vfl", text + LogLine(70000, "T", "4102030C4C"));
    FrmView& v = OpenOffLine();
    Dialogs dialogs(Path("SAMPLES/s.vfl"));
    Click("CmdOpen");
    ASSERT_EQ(v.ViewSamples.size(), 6u);
    EXPECT_EQ(v.TimeFirst, 60000);
    EXPECT_EQ(Control<QSlider>("SldSample").maximum(), 5000);
    // After the load the readouts show the data at the cursor (x 0: sample 2).
    EXPECT_EQ(Readout(5), "R.P.M.\n" + QString::number(qRound(7500000 / 3200.0)));
    // 1200 twips at 5 s/div are 4 s: the sample after the one at 64 s.
    v.ShowCursorValues(1200);
    EXPECT_EQ(Control<QLabel>("LblOffsetTime").text(), " 0: 04. 000 min ");
    EXPECT_EQ(v.ViewSamples[5].Rpm, 2500 * 3000.0 / 3500);
    EXPECT_EQ(Readout(5), "R.P.M.\n2143");
    EXPECT_EQ(Readout(0), "Gas Time (ms)\n5");
    v.ShowCursorValues(9000); // beyond the data: names alone
    EXPECT_EQ(Readout(5), "R.P.M.");
}

TEST_F(ViewerWindow, RecordingSweepsWrapsWhenTheStoreIsFullAndReloadsAtStop) {
    ASSERT_TRUE(WaitFor([this] { return rig.ctx.Comm().ComState() == comm::COM_READY; }, 60s));
    const qsizetype before = rig.ecu.CommandLog().size();
    FrmView& v = Open();
    EXPECT_TRUE(Control<QRadioButton>("OptRun(0)").isChecked());
    EXPECT_EQ(v.windowTitle(), "View 1.1 - [- - -]");
    EXPECT_TRUE(v.Timer1().isActive());
    v.Timer1().stop(); // the test plays the ticks
    const QByteArray log = rig.tree.Read("BIN/RxTx.TXT");
    EXPECT_TRUE(log.contains("\r\n\"[K_gm]\"\r\n") &&
                log.contains("\"[K_Lambda]\"\r\n 0.0048828125 \r\n"));
    EXPECT_EQ(v.ViewSamples.size(), 2401u);
    EXPECT_EQ(v.LastSample, 0);
    EXPECT_TRUE(rig.ctx.Comm().RxTxLog().HoldRestart);

    Click("CmdSecDivP"); // 7.5
    Click("CmdSecDivP"); // 10
    Click("CmdSecDivP"); // 20 s/div: the store fills long before the sweep's end
    Boxes boxes;
    bool wrapped = false;
    for (int i = 0; i < 2600; ++i) {
        const int last = v.LastSample;
        v.Timer1_Timer();
        wrapped = wrapped || v.LastSample < last;
        ASSERT_LT(v.LastSample, 2401);
    }
    EXPECT_TRUE(wrapped);
    EXPECT_TRUE(boxes.texts.isEmpty());

    // A link that timed out: the busy indicator says so and nothing is sent.
    rig.ctx.Texts.MsgComError = "No link";
    rig.ctx.Comm().WDogPresente(true);
    const int quiet = rig.Received(comm::CMD_READ_MEM1);
    v.Timer1_Timer();
    EXPECT_FALSE(Control("LblLoading").isHidden());
    EXPECT_EQ(Control<QLabel>("LblLoading").text(), "No link");
    rig.ctx.Comm().WDogPresente(false);
    v.Timer1_Timer();
    EXPECT_TRUE(Control("LblLoading").isHidden());
    EXPECT_EQ(rig.Received(comm::CMD_READ_MEM1), quiet + 1);
    QList<quint8> sent = rig.ecu.CommandLog().mid(before);
    sent.removeAll(comm::CMD_GET_ECO);
    sent.removeAll(comm::CMD_READ_MEM1);
    EXPECT_TRUE(sent.isEmpty());

    // Stop: asked to save, then the recording is decoded back from the link log.
    const double liveRpm = rig.ctx.Images.Mem1Data.Rpm;
    Boxes no(support::vbNo);
    Click("OptRun(1)");
    v.Timer1_Timer();
    EXPECT_EQ(no.texts, QStringList{"View|DO YOU WANT SAVE LAST DATA?"});
    EXPECT_FALSE(v.Timer1().isActive());
    EXPECT_FALSE(rig.ctx.Comm().RxTxLog().HoldRestart);
    EXPECT_GT(v.ViewSamples.size(), 2000u);
    EXPECT_NEAR(v.ViewSamples.back().Rpm, liveRpm, 1);
    EXPECT_FALSE(Control("SldSample").isHidden());
    EXPECT_TRUE(Control("CmdOpen").isEnabled());
}

TEST_F(ViewerWindow, SavingARecordingKeepsACleanedCopyAndCloseWaitsForTheTick) {
    ASSERT_TRUE(WaitFor([this] { return rig.ctx.Comm().ComState() == comm::COM_READY; }, 60s));
    FrmView& v = Open();
    v.Timer1().stop();
    rig.FailNext(comm::CMD_READ_MEM1, 1); // a request without its reply
    for (int i = 0; i < 30; ++i) {
        v.Timer1_Timer();
    }
    Boxes yes(support::vbYes);
    Dialogs dialogs(Path("SAMPLES/rec.vfl"));
    v.show();
    v.close();
    EXPECT_FALSE(v.Unloaded());
    EXPECT_TRUE(v.CloseRequest);
    v.Timer1_Timer();
    EXPECT_TRUE(v.Unloaded());
    EXPECT_EQ(yes.texts, QStringList{"View|DO YOU WANT SAVE LAST DATA?"});
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].filter, "View Files  (*.vfl)|*.vfl|");
    const QList<QByteArray> lines = rig.tree.Read("SAMPLES/rec.vfl").split('\n');
    ASSERT_GT(lines.size(), 30);
    auto tag = [](const QByteArray& line) { return line.split(' ').value(1); };
    for (qsizetype i = 0; i + 2 < lines.size(); ++i) {
        EXPECT_NE(tag(lines[i]), tag(lines[i + 1])) << lines[i].constData();
    }
    EXPECT_EQ(v.windowTitle(), "View 1.1 - [" + Path("SAMPLES/rec.vfl") + "]");
}

TEST_F(ViewerWindow, TracesAreStepsInTheirColoursWithTicksBelow) {
    QByteArray text = Header + LogLine(59000, "T", "4102030C4C");
    for (int i = 0; i < 4; ++i) {
        text += LogLine(60000 + 3000 * i, "R", ReplyHex(LiveData(3000)));
    }
    rig.tree.Write("SAMPLES/s.vfl", text);
    FrmView& v = OpenOffLine();
    Dialogs dialogs(Path("SAMPLES/s.vfl"));
    Click("CmdOpen");
    ASSERT_EQ(v.ViewSamples.size(), 4u);
    EXPECT_EQ(v.LastSample, 1);
    const QImage picture = Control("PctSignal").grab().toImage();
    // From the window's first drawn sample (1) on: rpm 2500 at zoom 0.25 below its offset
    // of 5745 is y 5240 twips, from x 0 to 1800 (6 s at 5 s/div), in the rpm colour.
    const QColor rpm = support::ColorFromBgr(0xFF8080);
    EXPECT_EQ(picture.pixelColor(ui::ToPixels(450), 5240 / 15), rpm);
    EXPECT_EQ(picture.pixelColor(ui::ToPixels(1350), 5240 / 15), rpm);
    EXPECT_NE(picture.pixelColor(ui::ToPixels(2400), 5240 / 15), rpm);
    EXPECT_EQ(picture.pixelColor(ui::ToPixels(900), (viewer::PlotHeight - 80) / 15),
              QColor(Qt::white)); // the tick of sample 2

    // A hidden channel is not drawn.
    ClickLabel("PctMostra(5)");
    EXPECT_NE(Control("PctSignal").grab().toImage().pixelColor(ui::ToPixels(450), 5240 / 15), rpm);
}

TEST_F(ViewerWindow, CtrlAltShiftSOpensTheChannelSetUp) {
    OpenOffLine();
    EXPECT_TRUE(Control("Frame1").isHidden());
    QTest::keyRelease(view.get(), Qt::Key_S,
                      Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(Control("Frame1").isHidden());
    Control<QCheckBox>("ChkSignal(3)").click();
    Click("CmdEscSet");
    EXPECT_TRUE(Control("Frame1").isHidden());
    EXPECT_TRUE(Control("LblSignal(3)").isHidden());
    EXPECT_EQ(Control("LblSignal(0)").height() * 15, viewer::ReadoutHeight(7));
}

TEST_F(ViewerWindow, TabMovesThroughTheChannelSetUpRowByRow) {
    OpenOffLine();
    QStringList order;
    for (QWidget* w = &Control("ChkSignal(0)"); w != &Control("CmdEscSet");
         w = w->nextInFocusChain()) {
        order << w->objectName();
    }
    QStringList rows;
    for (int c = 0; c < 8; ++c) {
        rows << ui::ArrayName("ChkSignal", c) << ui::ArrayName("TxtSignal", c);
    }
    EXPECT_EQ(order, rows);
}

TEST_F(ViewerWindow, ChecksumErrorsAreToldOnlyInTheDeveloperView) {
    QString bad = ReplyHex(LiveData(3000));
    bad[30] = bad[30] == 'F' ? 'E' : 'F';
    rig.tree.Write("SAMPLES/c.vfl", Header + LogLine(1, "T", "4102030C4C") + LogLine(2, "R", bad) +
                                        LogLine(3, "R", bad) + LogLine(4, "T", "4102030C4C"));
    OpenOffLine();
    Dialogs dialogs(Path("SAMPLES/c.vfl"));
    for (const bool developer : {false, true}) {
        rig.ctx.DeveloperView = developer;
        Boxes boxes;
        Click("CmdOpen");
        EXPECT_EQ(boxes.texts,
                  developer ? QStringList{"View|Num checksum error: 2"} : QStringList{});
    }
}

TEST_F(ViewerWindow, TheExportIsWrittenWholeOrReported) {
    QByteArray text = Header + LogLine(1, "T", "4102030C4C");
    for (int i = 0; i < 3; ++i) {
        text += LogLine(1000 + 500 * i, "R", ReplyHex(LiveData(3000)));
    }
    rig.tree.Write("SAMPLES/e.vfl", text + LogLine(9, "T", "4102030C4C"));
    OpenOffLine();
    {
        Dialogs open(Path("SAMPLES/e.vfl"));
        Click("CmdOpen");
    }
    {
        Dialogs save(Path("SAMPLES/e.txt"));
        Click("CmdEsporta");
        ASSERT_EQ(save.requests.size(), 1u);
        EXPECT_EQ(save.requests[0].filter, "Mod Files (*.txt)|*.txt|");
    }
    const QList<QByteArray> lines = rig.tree.Read("SAMPLES/e.txt").split('\n');
    ASSERT_EQ(lines.size(), 5); // header, three samples, the end
    EXPECT_TRUE(lines[0].startsWith(" # Time # Gas Time (ms) # Petrol Time (ms)"));
    EXPECT_TRUE(lines[3].startsWith(" # 1000 # 0 # 0 # 0 # 0 # 0 # 2500 # "));

    Boxes boxes;
    Dialogs save(Path("SAMPLES/missing/e.txt"));
    Click("CmdEsporta");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("View|CmdEsporta_Err: "));
}
