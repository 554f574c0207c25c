// Every writer of a whole file in the program, on a full disk: it reports the failure,
// with the reason where it gives one, and leaves the file there before byte for byte
// with nothing beside it.

#include "app/LablesFile.h"
#include "app/LinkLogRestart.h"
#include "calibration/OperatingMap.h"
#include "common/FileFaults.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/EcuImages.h"
#include "ecudata/EcuModel.h"
#include "ecudata/EcuRequests.h"
#include "ecudata/ParamFile.h"
#include "ecudata/PointLog.h"
#include "link/ClsComm.h"
#include "link/RxTxLog.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"
#include "support/Lingue.h"
#include "viewer/FormattedLog.h"
#include "viewer/ViewerLog.h"

#include <QLabel>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct Writer {
    const char* name;
    QString target; // the file written, below the tree
    // Where the old bytes must be afterwards: the target, unless the writer moves the old
    // file aside first.
    QString kept;
    QByteArray old;
    // Writes the target, and sets why when it gives a reason.
    std::function<bool(const TempTree& tree, QString* why)> write;
    bool givesWhy = true;
};

// The parameter file writer tells the installer itself.
bool SaveParamFileTelling(const QString& path, QString* why) {
    ecudata::ConfigScale scale;
    scale.K_Time_Pwm_us = 0.008;
    ecudata::EcuImages images;
    ecudata::EcuRequests requests;
    ecudata::EcuModel model{images, requests, scale};
    MsgBoxCapture boxes;
    const bool saved = ecudata::SaveParamFile(path, model, {"r", "t", "d"}, ",");
    if (boxes.boxes.size() == 1 && boxes.boxes[0].prompt.contains(path)) {
        *why = boxes.boxes[0].prompt;
    }
    return saved;
}

std::vector<Writer> Writers() {
    const QByteArray old = "old\r\n";
    const QByteArray log = "\"1 T 41\"\r\n\"2 T 41\"\r\n"; // the cleaning drops a line
    return {
        {"parameter file", "keep.var", "", old,
         [](const TempTree& t, QString* why) {
             return SaveParamFileTelling(t.Path("keep.var"), why);
         }},
        {"map", "keep.map", "", old,
         [](const TempTree& t, QString* why) {
             return calibration::SaveMapFile(t.Path("keep.map"), {}, ",", why);
         }},
        {"developer point list", "BIN/Map.txt", "", old,
         [](const TempTree& t, QString*) {
             return calibration::WriteMapList(t.Path("BIN/Map.txt"), {}, {}, ",");
         },
         false},
        {"correction table export", "BIN/TEMPI4.TXT", "", old,
         [](const TempTree& t, QString*) {
             return ecudata::WriteTempi4(t.Path("BIN/TEMPI4.TXT"), {}, ",");
         },
         false},
        {"current language", "LNG/M3.con", "", old,
         [](const TempTree& t, QString* why) {
             support::ClsLingue lingue;
             lingue.PathAttualeLingua(t.Path("LNG/M3.con"));
             return lingue.IdLingua(1, why);
         }},
        {"dictionary", "LNG/M3.diz", "", "###\r\n#English\r\nOne\r\n",
         [](const TempTree& t, QString* why) {
             support::ClsLingue lingue;
             lingue.PathDizionario(t.Path("LNG/M3.diz"));
             lingue.PathAttualeLingua(t.Path("LNG/M3.con"));
             lingue.LoadDizionario();
             return lingue.SaveDizionario(why);
         }},
        {"port settings", "BIN/SetCom.ini", "", old,
         [](const TempTree& t, QString* why) {
             platform::PosixSerialPort serial;
             platform::FakeFtdiDriver ftdi;
             comm::ClsComm link(t.Root(), serial, ftdi);
             return link.WriteSetCom("/BIN/SetCom.ini", why);
         }},
        {"port handle", "BIN/Handle.ini", "", old,
         [](const TempTree& t, QString*) { return comm::WriteHandleFile(t.Root(), 17); }, false},
        {"port handle cleared", "BIN/Handle.ini", "", "17\r\n",
         [](const TempTree& t, QString*) { return comm::ClearHandleFile(t.Root()); }, false},
        {"label layout", "LNG/Lables.cfg", "", old,
         [](const TempTree& t, QString* why) {
             QWidget window;
             QLabel label(&window);
             label.setObjectName("LblSupVoltage");
             return app::ApplyLablesIndexed(window, t.Path("LNG/Lables.cfg"), why);
         }},
        {"link log restarted", "BIN/RxTx.TXT", "BIN/RxTx_Last.TXT", log,
         [](const TempTree& t, QString* why) { return app::RestartLinkLog(t.Root(), "t", why); }},
        {"point log started", "BIN/LogPoint.TXT", "", old,
         [](const TempTree& t, QString* why) {
             ecudata::PointLog points;
             return ecudata::StartLogPoint(t.Root(), points, 0, "header", "copy.txt", why);
         }},
        {"recording log", "BIN/RxTx.TXT", "", log,
         [](const TempTree& t, QString* why) {
             return viewer::WriteRecordingLog(t.Path("BIN/RxTx.TXT"), "header", 1, ",", why);
         }},
        {"cleaned recording", "SAMPLES/rec.txt", "", log,
         [](const TempTree& t, QString* why) {
             return viewer::CleanLogRxTx(t.Path("SAMPLES/rec.txt"), *why);
         }},
        {"viewer export", "SAMPLES/export.txt", "", old,
         [](const TempTree& t, QString* why) {
             return viewer::WriteTextFile(t.Path("SAMPLES/export.txt"), "a new text", *why);
         }},
    };
}

} // namespace

TEST(FileWriters, OnAFullDiskEachKeepsTheOldFileAndFails) {
    const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
    for (const Writer& w : Writers()) {
        TempTree tree;
        tree.Write(w.target, w.old);
        const QStringList before = FilesBelow(tree.Root());
        const QString kept = w.kept.isEmpty() ? w.target : w.kept;
        QString why;
        bool written = true;
        {
            const FileSizeLimit full(1); // the old files are there already
            written = w.write(tree, &why);
        }
        EXPECT_FALSE(written) << w.name;
        EXPECT_EQ(tree.Read(kept), w.old) << w.name;
        for (const QString& file : FilesBelow(tree.Root())) {
            EXPECT_TRUE(before.contains(file) || file == kept)
                << w.name << ": " << file.toStdString();
        }
        EXPECT_EQ(why.contains(tooLarge), w.givesWhy) << w.name << ": " << why.toStdString();
    }
}
