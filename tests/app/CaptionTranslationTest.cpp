// The main-window section of the dictionary: entry positions, the error-text list and
// its end marker, and the Language menu.

#include "AppFixture.h"

#include "app/CaptionTranslation.h"
#include "common/FileFaults.h"
#include "support/MessageBox.h"
#include "support/ProgramTexts.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTableWidget>
#include <cerrno>
#include <cstring>

namespace app_tests {
namespace {

// A section whose entry n reads "E<n>", with errorTexts error texts before the marker
// (no marker at all when errorTexts < 0), then the 92 entries after it.
QStringList NumberedSection(int errorTexts) {
    QStringList entries;
    const int marker = 72 + std::max(errorTexts, 0);
    for (int n = 0; n < marker + 93; ++n) {
        entries << QStringLiteral("E%1").arg(n);
    }
    if (errorTexts >= 0) {
        entries[marker] = "[END_ERROR_ECU]";
    }
    return entries;
}

class TranslationTest : public AppFixture {
protected:
    void StartWith(const QStringList& english, const QStringList& italian) {
        tree.Write("LNG/M3.diz", Dictionary({{"English", english}, {"Italiano", italian}}));
        Start();
    }
    QAction* LanguageItem(int i) const {
        return qobject_cast<QAction*>(window->Control(QStringLiteral("MnuLngT(%1)").arg(i)));
    }
};

TEST_F(TranslationTest, EntriesReachTheirTargetsByNumber) {
    const QStringList section = NumberedSection(2); // marker at 74: E = 74
    StartWith(section, section);
    const app::MessageTexts& texts = context->Texts;
    const ui::TabStrip& tabs = window->SstMain();

    EXPECT_EQ(texts.AppTitle, "E0");
    EXPECT_EQ(window->windowTitle(), "E0 - Release  ver 01.12.82 - 14/04/2011");
    EXPECT_EQ(CaptionOf("MnuFileEsc"), "E3");
    EXPECT_EQ(CaptionOf("MnuViewTab(2)"), "E5");
    EXPECT_EQ(tabs.tabText(2), "E5 - F5");
    EXPECT_EQ(tabs.tabText(5), "E7 - F8");
    EXPECT_EQ(tabs.tabText(0), "E8 - F2");
    EXPECT_EQ(tabs.tabText(1), "E9 - F3");
    EXPECT_EQ(CaptionOf("MnuViewTab(4)"), "Lambda") << "not in the section";
    EXPECT_EQ(CaptionOf("LblParGradi(1)"), "E20");
    EXPECT_EQ(CaptionOf("LblParLambda(0)"), "E23 #1");
    EXPECT_EQ(CaptionOf("LblParLambda(1)"), "E23 #2");
    EXPECT_EQ(texts.GridHeader15, "E27");
    EXPECT_EQ(texts.MsgComError, "E38");
    EXPECT_EQ(texts.MsgConfig[2], "E40");
    EXPECT_EQ(CaptionOf("CmdCalStart"), "E43");
    EXPECT_EQ(texts.MsgTara[20], "E63");
    EXPECT_EQ(texts.MsgTara[21], "E65");
    EXPECT_EQ(texts.MsgTara[25], "E69");
    EXPECT_EQ(texts.EcuErrorTexts, (QStringList{"E72", "E73"}));

    const auto after = [](int k) { return QStringLiteral("E%1").arg(74 + k); };
    EXPECT_EQ(texts.MsgLive[4], after(1));
    EXPECT_EQ(Widget("CkbStatoEcu")->toolTip(), after(6));
    EXPECT_EQ(CaptionOf("OptTypFuel(1)"), after(17));
    EXPECT_EQ(CaptionOf("LblTypInj"), after(21));
    EXPECT_EQ(CaptionOf("CmdExpert(0)"), after(30));
    EXPECT_EQ(CaptionOf("TxtMapPetrol"), after(32));
    EXPECT_EQ(texts.MsgConfig[3], after(33));
    EXPECT_EQ(CaptionOf("LblCalPres"), after(39));
    EXPECT_EQ(CaptionOf("LblCalLambda2"), after(54) + " #2");
    EXPECT_EQ(texts.MsgTara[30], after(59));
    EXPECT_EQ(tabs.tabText(4), after(63) + " - F7");
    auto* grid = qobject_cast<QTableWidget*>(window->Control("GrdTitolo"));
    ASSERT_TRUE(grid && grid->item(0, 0));
    EXPECT_EQ(grid->item(0, 0)->text(), after(64));
    EXPECT_EQ(Widget("CmdService")->toolTip(), after(66));
    EXPECT_EQ(texts.MsgConfig[9], after(71));
    EXPECT_EQ(CaptionOf("LblSonda2Bis"), after(74));
    EXPECT_EQ(texts.MsgEmula[7], after(91));
    EXPECT_EQ(CaptionOf("LblFiltro"), after(92));
    EXPECT_EQ(CaptionOf("LblCalMsg"), "E44") << "the calibration's idle text";
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TranslationTest, MarkerRightAfterTheHeadGivesAnEmptyErrorList) {
    StartWith(NumberedSection(0), NumberedSection(0));
    EXPECT_TRUE(context->Texts.EcuErrorTexts.isEmpty());
    EXPECT_EQ(context->Texts.MsgLive[4], "E73");
    EXPECT_TRUE(boxes.boxes.empty());
}

// Without the marker the entries after the list cannot be placed: the box tells it once,
// the list stays empty and those captions keep their texts.
TEST_F(TranslationTest, MissingErrorMarkerIsReportedOnceAndLaterCaptionsStay) {
    StartWith(NumberedSection(-1), NumberedSection(-1));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, "Dictionary error: English");
    EXPECT_EQ(boxes.boxes[0].style, support::vbCritical);
    EXPECT_TRUE(context->Texts.EcuErrorTexts.isEmpty());
    EXPECT_EQ(CaptionOf("LblParRpm"), "E16");
    EXPECT_EQ(CaptionOf("LblFiltro"), "Filter");

    window->MnuLngT_Click(1);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(AppFixture, LanguageMenuRecaptionsAndIsRemembered) {
    Start();
    const auto item = [&](int i) {
        return qobject_cast<QAction*>(window->Control(QStringLiteral("MnuLngT(%1)").arg(i)));
    };
    ASSERT_TRUE(item(0) && item(1));
    EXPECT_EQ(item(0)->text(), "English");
    EXPECT_EQ(item(1)->text(), "Italiano");
    EXPECT_TRUE(item(0)->isChecked());
    EXPECT_EQ(CaptionOf("LblParRpm"), "Rpm");

    int refills = 0;
    services.RiempiCmbSwtch = [&] { ++refills; };
    window->MnuLngT_Click(1);
    EXPECT_FALSE(item(0)->isChecked());
    EXPECT_TRUE(item(1)->isChecked());
    EXPECT_EQ(CaptionOf("LblParRpm"), "Giri/min");
    EXPECT_EQ(window->SstMain().tabText(0), "Generale - F2");
    EXPECT_EQ(CaptionOf("LblCalMsg"), context->Texts.MsgTara[1]);
    EXPECT_EQ(context->Texts.MsgTara[1], "Premere Avvio per iniziare la taratura.");
    EXPECT_EQ(context->Texts.EcuErrorTexts.size(), 32);
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(tree.Read("LNG/M3.con"), "1\r\n");

    // The next start comes up in the chosen language.
    window.reset();
    Start();
    EXPECT_TRUE(item(1)->isChecked());
    EXPECT_EQ(CaptionOf("LblParRpm"), "Giri/min");
}

// A choice that cannot be stored (a full disk) is told once, with the file and the
// reason, and not taken: the texts read by number would stay in the stored language.
TEST_F(AppFixture, ALanguageChoiceThatCannotBeStoredIsToldAndNotTaken) {
    Start();
    {
        const testing_support::FailWritesBelow full(tree.Path("LNG"));
        window->MnuLngT_Click(1);
    }
    EXPECT_EQ(tree.Read("LNG/M3.con"), "0\r\n");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(tree.Path("LNG/M3.con")));
    EXPECT_TRUE(boxes.boxes[0].prompt.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
    EXPECT_EQ(CaptionOf("LblParRpm"), "Rpm");
    EXPECT_TRUE(qobject_cast<QAction*>(window->Control("MnuLngT(0)"))->isChecked());
    EXPECT_FALSE(qobject_cast<QAction*>(window->Control("MnuLngT(1)"))->isChecked());
}

TEST_F(AppFixture, LanguageOutsideTheMenuStandsForTheFirst) {
    Start();
    for (qint16 language : {qint16(-1), qint16(5)}) {
        app::TranslateMainWindow(*window, *context, language);
        EXPECT_TRUE(qobject_cast<QAction*>(window->Control("MnuLngT(0)"))->isChecked());
        EXPECT_EQ(CaptionOf("LblParRpm"), "Rpm");
    }
}

TEST_F(AppFixture, WithoutADictionaryTheBuiltInCaptionsStay) {
    QFile::remove(tree.Path("LNG/M3.diz"));
    Start();
    EXPECT_EQ(CaptionOf("LblParRpm"), "R.P.M.");
    EXPECT_EQ(CaptionOf("MnuLngT(0)"), "LINGUA - ...");
    EXPECT_EQ(window->SstMain().tabText(2), "Calibration - F5");
    EXPECT_TRUE(window->windowTitle().startsWith("LX735 Sequential Gas Injection - "));
}

// A dictionary whose languages differ in length is reported at activation, but the
// activation that the box itself causes does not bring the box back.
TEST_F(AppFixture, DictionaryErrorBoxNeverReopensItself) {
    tree.Write("LNG/M3.diz", Dictionary({{"English", {"a", "b"}}, {"Italiano", {"a"}}}));
    Start();
    boxes.boxes.clear();
    support::ScopedMsgBoxHandler boxTakesFocus([&](const QString& prompt, int, const QString&) {
        boxes.boxes.push_back({prompt, 0, {}});
        window->OnActivationChanged(false);
        return int(support::vbOK);
    });
    window->OnActivationChanged(true);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].prompt, "Dictionary error: Italiano");

    window->OnActivationChanged(true); // the box has closed
    EXPECT_EQ(boxes.boxes.size(), 1u);

    window->OnActivationChanged(false); // another window took the focus
    window->OnActivationChanged(true);
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

// The captions the main entries leave out follow the language menu, and so do the
// program's own messages.
TEST_F(AppFixture, ProgramCaptionsFollowTheLanguageMenu) {
    Start();
    EXPECT_EQ(CaptionOf("CmdCalCancel"), "Cancel");
    window->MnuLngT_Click(1);
    EXPECT_EQ(CaptionOf("CmdCalCancel"), "Annulla");
    EXPECT_TRUE(support::Text(support::ProgramText::MapNotSaved).startsWith("Non \u00e8 stato"));
    window->MnuLngT_Click(0);
    EXPECT_EQ(CaptionOf("CmdCalCancel"), "Cancel");
    EXPECT_TRUE(support::Text(support::ProgramText::MapNotSaved).startsWith("The map could"));
}

// Qt's own buttons come from Qt's translations for the chosen language.
TEST_F(AppFixture, MessageBoxButtonsFollowTheLanguageMenu) {
    const QString qtItalian = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_it.qm";
    if (!QFile::exists(qtItalian)) {
        GTEST_SKIP() << "Qt's Italian translations are not installed";
    }
    Start();
    EXPECT_EQ(support::ButtonTexts(support::vbYesNo), (QStringList{"Yes", "No"}));
    window->MnuLngT_Click(1);
    EXPECT_EQ(support::ButtonTexts(support::vbYesNo), (QStringList{"S\u00ec", "No"}));
    EXPECT_EQ(support::ButtonTexts(support::vbOKCancel).value(1), "Annulla");
    window->MnuLngT_Click(0);
    EXPECT_EQ(support::ButtonTexts(support::vbYesNoCancel), (QStringList{"Yes", "No", "Cancel"}));
}

// The program's own section, read by position: the tool's English must be the program's
// built-in text at every position, and each Italian text keeps the English's fields.
TEST(ShippedDictionaryTest, ProgramTextsStandInTheToolsOrderInBothLanguages) {
    using support::ProgramText;
    const auto all = [] {
        QStringList texts;
        for (int t = 0; t < int(ProgramText::Count); ++t) {
            texts << support::Text(ProgramText(t));
        }
        return texts;
    };
    const auto fields = [](const QString& text) {
        QStringList found;
        for (const auto& m : QRegularExpression("%\\d").globalMatch(text)) {
            found << m.captured();
        }
        found.sort();
        return found;
    };
    testing_support::TempTree tree;
    support::ClsLingue lingue;
    support::ApplyProgramTexts(lingue); // no dictionary: the built-in texts
    const QStringList builtIn = all();

    tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
    tree.Write("LNG/M3.con", "0\r\n");
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
    lingue.LoadDizionario();
    support::ApplyProgramTexts(lingue);
    EXPECT_EQ(all(), builtIn);

    lingue.IdLingua(1);
    support::ApplyProgramTexts(lingue);
    const QStringList italian = all();
    support::ApplyProgramTexts(support::ClsLingue()); // later tests start in English
    for (int t = 0; t < int(ProgramText::Count); ++t) {
        EXPECT_EQ(fields(italian[t]), fields(builtIn[t])) << builtIn[t].toStdString();
    }
    // The words the Italian instructions use for these buttons.
    EXPECT_EQ(italian[int(ProgramText::Next)], "Avanti");
    EXPECT_EQ(italian[int(ProgramText::Erase)], "Cancella");
    EXPECT_EQ(italian[int(ProgramText::Cancel)], "Annulla");
}

TEST(ShippedDictionaryTest, EveryLanguageHoldsTheSameEntriesAndMarkers) {
    testing_support::TempTree tree;
    tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
    tree.Write("LNG/M3.con", ShippedFile("LNG/M3.con"));
    support::ClsLingue lingue;
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
    lingue.LoadDizionario();
    ASSERT_EQ(lingue.UboundLingue(), 1);
    EXPECT_EQ(support::FindLinguaMismatch(lingue), -1);
    EXPECT_EQ(lingue.VoceDizionario(0, 104), "[END_ERROR_ECU]");
    for (qint16 n = 0; n <= lingue.UboundVoci(); ++n) {
        const QString entry = lingue.VoceDizionario(0, n);
        if (entry.startsWith('[') && entry.endsWith(']') && !entry.contains(' ')) {
            EXPECT_EQ(lingue.VoceDizionario(1, n), entry) << "entry " << n;
        }
    }
    const struct {
        const char* marker;
        int entries;
    } sections[] = {{"[FrmInit]", 2},        {"[FrmErrEcu]", 5},
                    {"[FrmService]", 4},     {"[FrmLevel]", 3},
                    {"[FrmInj]", 9},         {"[FrmSetExpert]", 11},
                    {"[New_Functions]", 7},  {"[FrmCompensaTbl]", 5},
                    {"[Frm_EnterValue]", 3}, {"[ProgramTexts]", int(support::ProgramText::Count)}};
    QStringList english;
    for (qint16 n = 0; n <= lingue.UboundVoci(); ++n) {
        english << lingue.VoceDizionario(0, n);
    }
    for (const auto& s : sections) {
        const qsizetype at = english.indexOf(s.marker);
        ASSERT_GT(at, 196) << s.marker;
        const qsizetype next = at + s.entries + 1;
        EXPECT_TRUE(next > lingue.UboundVoci() || english[next].startsWith('['))
            << s.marker << " holds " << s.entries << " entries";
    }
}

} // namespace
} // namespace app_tests
