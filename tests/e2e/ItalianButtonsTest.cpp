// With Italian chosen the buttons carry the words the Italian instructions name: the
// pages', the dialogs', the viewer's and those of Qt's own message boxes. Switching the
// language back gives the English ones again.

#include "StagedProgram.h"
#include "common/Wait.h"

#include <QFile>
#include <gtest/gtest.h>

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace e2e {
namespace {

constexpr int LongMs = 120000;
const QString EcuIdentity = "01.39 14/04/2010 LX735 SEQGAS T468";

class ItalianButtons : public ::testing::Test {
protected:
    // The language chosen at the last run, kept in LNG/M3.con.
    void ChooseAtStart(const char* language) {
        ASSERT_TRUE(staged.Valid());
        ASSERT_TRUE(staged.Write("LNG/M3.con", QByteArray(language) + "\r\n"));
        staged.SetSwitch("LX735_TEST_BOX_BUTTONS", "1");
    }

    QString Text(const QString& name) {
        const auto fields = staged.ReadControl(name);
        return fields ? fields->value("text") : QString("(no " + name + ")");
    }

    // The captions of the last box's buttons, as the program recorded them.
    // The buttons of every box so far, in order: each box's record is followed by one of
    // its buttons, written a moment later.
    QStringList BoxButtons() const {
        const QString tag = QStringLiteral("box buttons ");
        QStringList buttons;
        for (const ProgramEvent& e : staged.Events()) {
            if (e.kind == "EVENT" && e.text.startsWith(tag)) {
                buttons << e.text.mid(tag.size());
            }
        }
        return buttons;
    }

    // Connected with the ECU's settings read, on the Modeling tab.
    void StartOnModeling() {
        ASSERT_TRUE(staged.StartConnected());
        ASSERT_TRUE(WaitForSettingsRead(staged, LongMs));
        ASSERT_TRUE(staged.Run({"tab SstMain 3", "until LblPntMod(7) visible 1 60000",
                                "until SstMain enabled 1 " + QString::number(LongMs)}));
    }

    // Clicks Reset on Modeling, answers No (the table stays) and gives the box's buttons.
    QString ModelingResetBoxButtons() {
        const qsizetype boxes = BoxButtons().size();
        if (!staged.Run({"answer No", "click CmdReset"})) {
            return QStringLiteral("(refused)");
        }
        // The buttons' record, not the box's: that comes first and alone would give the
        // buttons of the box before.
        if (!WaitFor([&] { return BoxButtons().size() > boxes; }, LongMs * 1ms)) {
            return QStringLiteral("(no box)");
        }
        return BoxButtons().value(boxes);
    }

    void ExpectTexts(const QList<std::pair<QString, QString>>& expected) {
        for (const auto& [name, text] : expected) {
            EXPECT_EQ(Text(name), text) << name.toStdString();
        }
    }

    StagedProgram staged;
};

TEST_F(ItalianButtons, PagesDialogsAndTheViewerShowItalianCaptions) {
    ChooseAtStart("1");
    // The viewer writes its settings file afresh when it starts recording.
    ASSERT_TRUE(QFile::remove(staged.Path("LNG/OsciConfig.ini")));
    ASSERT_TRUE(staged.StartConnected());
    ExpectTexts({{"CmdCalCancel", "Annulla"},
                 {"CmdModOpen", "Apri"},
                 {"CmdModSave", "Salva"},
                 {"CmdReset", "Azzera"},
                 {"CmdMapOpen", "Apri"},
                 {"CmdMapSave", "Salva"}});
    // A caption goes to its own window's control: the Modeling page's arrow "CmdUp" is not
    // the viewer's button of that name.
    EXPECT_EQ(Text("CmdUp"), "");
    ASSERT_TRUE(
        staged.Run({"tab SstMain 1", "click CmdReserVar", "until FrmResetParam visible 1 60000"}));
    EXPECT_EQ(Text("FrmResetParam.CmdTipoALim(2)"), "Esci");
    ASSERT_TRUE(staged.Run({"click FrmResetParam.CmdTipoALim(2)",
                            "until FrmResetParam exists 0 60000", "tab SstMain 0"}));

    // The help over Erase names the button as it is captioned.
    ASSERT_TRUE(staged.Run({"click CmdService", "until FrmService visible 1 60000"}));
    EXPECT_EQ(Text("FrmService.CmdErase"), "Cancella");
    EXPECT_TRUE(Text("FrmService.LblHelp").startsWith("Cancella "))
        << Text("FrmService.LblHelp").toStdString();
    ASSERT_TRUE(staged.Run({"close FrmService", "until FrmService visible 0 60000"}));

    // The viewer (its button shown in the developer view): its buttons and channels in
    // Italian, its settings file keyed by the English captions.
    ASSERT_TRUE(staged.Run({"input \"KOLT5829\"", "key FrmLX735 Ctrl+Alt+Shift+W", "click CmdView",
                            "until FrmView visible 1 60000"}));
    ExpectTexts({{"FrmView.CmdOpen", "Apri"},
                 {"FrmView.CmdSaveLogOsc", "Salva"},
                 {"FrmView.CmdReset", "Azzera"},
                 {"FrmView.OptRun(0)", "Avvia"},
                 {"FrmView.ChkSignal(2)", "Depressione"},
                 {"FrmView.CmdEscSet", "Esci"}});
    ASSERT_TRUE(WaitFor([&] { return staged.Read("LNG/OsciConfig.ini").contains("[Vacuum]"); },
                        LongMs * 1ms));
    EXPECT_FALSE(staged.Read("LNG/OsciConfig.ini").contains("Depressione"));
    EXPECT_TRUE(staged.Refusals().isEmpty()) << staged.Refusals().join('\n').toStdString();
}

TEST_F(ItalianButtons, MessageBoxButtonsFollowTheLanguageMenu) {
    ChooseAtStart("0");
    StartOnModeling();
    EXPECT_EQ(ModelingResetBoxButtons(), "Yes|No");

    ASSERT_TRUE(staged.Run({"click MnuLngT(1)"}));
    EXPECT_EQ(Text("CmdCalCancel"), "Annulla");
    EXPECT_EQ(ModelingResetBoxButtons(), "S\u00ec|No");
    EXPECT_TRUE(staged.MessageBoxes().last().endsWith(
        "|Riportare la tabella di correzione ai valori predefiniti?"))
        << staged.MessageBoxes().last().toStdString();

    ASSERT_TRUE(staged.Run({"click MnuLngT(0)"}));
    EXPECT_EQ(Text("CmdCalCancel"), "Cancel");
    EXPECT_EQ(ModelingResetBoxButtons(), "Yes|No");
}

// The update window opens at connection (the image is newer than the ECU's firmware).
TEST_F(ItalianButtons, TheUpdateWindowsInstructionNamesItsButton) {
    ChooseAtStart("1");
    ASSERT_TRUE(staged.WriteImage("01.40", "14/04/2010", "T468"));
    const QString link = staged.StartSim("ecu", {"--fast", "--identity", EcuIdentity});
    ASSERT_FALSE(link.isEmpty());
    staged.MapCom(1, link);
    ASSERT_TRUE(staged.StartProgram());
    ASSERT_TRUE(staged.Run({"until FrmUpdate visible 1 60000"}));
    EXPECT_EQ(Text("FrmUpdate.CmdUpdate"), "Avanti");
    EXPECT_EQ(Text("FrmUpdate.CmdEsc"), "Esci");
    EXPECT_TRUE(Text("FrmUpdate.LblMsg").contains("premere Avanti"))
        << Text("FrmUpdate.LblMsg").toStdString();
}

} // namespace
} // namespace e2e
