#include "app/CaptionTranslation.h"

#include "app/ProgramContext.h"
#include "support/ProgramTexts.h"
#include "ui/ControlBuilder.h"
#include "ui/TabStrip.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTableWidget>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace app {

namespace {

const QString EndErrorMarker = QStringLiteral("[END_ERROR_ECU]");
constexpr int FirstErrorEntry = 72;
constexpr int MaxErrorTexts = 255;

using Apply = std::function<void(const QString&)>;

// Applies the entries of one language to the window, one target list per entry.
class Translator {
public:
    Translator(QWidget& window, ProgramContext& context)
        : window_(window), context_(context), texts_(context.Texts),
          sstMain_(ui::Bind<ui::TabStrip>(window, "SstMain")) {}

    std::vector<Apply> Head();
    std::vector<Apply> Tail();

private:
    // A control of the window's design or menus: one the window lacks stops the program.
    QObject* Named(const QString& name) { return &ui::Bind<QObject>(window_, name); }
    Apply Caption(std::initializer_list<const char*> names) {
        std::vector<QString> list(names.begin(), names.end());
        return [this, list](const QString& text) {
            for (const QString& name : list) {
                ui::SetCaption(Named(name), text);
            }
        };
    }
    // A caption of a control a page makes: the window alone has none.
    Apply PageCaption(const char* name) {
        return [this, name](const QString& text) {
            ui::SetCaption(ui::FindControl(window_, name), text);
        };
    }
    Apply Suffixed(const char* first, const char* second) {
        return [this, first, second](const QString& text) {
            ui::SetCaption(Named(first), text + " #1");
            ui::SetCaption(Named(second), text + " #2");
        };
    }
    Apply ToolTip(const char* name) {
        return [this, name](const QString& text) { ui::SetToolTip(Named(name), text); };
    }
    static Apply Message(QString& target) {
        return [&target](const QString& text) { target = text; };
    }
    static void AddMessages(std::vector<Apply>& steps, QString* family, int first, int last) {
        for (int n = first; n <= last; ++n) {
            steps.push_back(Message(family[n]));
        }
    }
    // View menu item and tab of the same page; the tab carries its key.
    Apply Page(int tab, const char* key) {
        return [this, tab, key](const QString& text) {
            ui::SetCaption(Named(ui::ArrayName("MnuViewTab", tab)), text);
            SetTab(tab, text + " - " + key);
        };
    }
    void SetTab(int tab, const QString& text) { sstMain_.setTabText(tab, text); }
    void FollowTabVisibility(int tab) {
        ui::Bind<QAction>(window_, ui::ArrayName("MnuViewTab", tab))
            .setVisible(sstMain_.isTabVisible(tab));
    }

    QWidget& window_;
    ProgramContext& context_;
    MessageTexts& texts_;
    ui::TabStrip& sstMain_;
};

std::vector<Apply> Translator::Head() {
    std::vector<Apply> steps;
    steps.push_back([this](const QString& text) {
        texts_.AppTitle = text;
        window_.setWindowTitle(text + " - " + ReleaseText);
    });
    steps.push_back(Caption({"MnuFileLoadConf"}));
    steps.push_back(Caption({"MnuFileSaveConf"}));
    steps.push_back(Caption({"MnuFileEsc"}));
    steps.push_back(Caption({"MnuView"}));
    steps.push_back(Page(2, "F5"));
    steps.push_back(Page(3, "F6"));
    steps.push_back([this, map = Page(5, "F8")](const QString& text) {
        map(text);
        FollowTabVisibility(5);
        FollowTabVisibility(4);
    });
    steps.push_back(Page(0, "F2"));
    steps.push_back(Page(1, "F3"));
    steps.push_back(Caption({"MnuPjct"}));
    steps.push_back(Caption({"MnuDevice"}));
    steps.push_back(Caption({"MnuLng"}));
    for (const char* name : {"LblInjTPetrol", "LblInjTGas", "LblInjCmb", "LblParRpm",
                             "FrmParametri", "LblParTmpVap", "LblParTmpGas"}) {
        steps.push_back(Caption({name}));
    }
    steps.push_back(Caption({"LblParGradi(0)", "LblParGradi(1)"}));
    steps.push_back(Caption({"LblParPressure"}));
    steps.push_back(Caption({"LblParBar"}));
    steps.push_back(Suffixed("LblParLambda(0)", "LblParLambda(1)"));
    steps.push_back(Caption({"LblParLambdaMv(0)"}));
    steps.push_back(Caption({"LblSupVoltage"}));
    steps.push_back(Message(texts_.MsgConfig[1]));
    steps.push_back(Message(texts_.GridHeader15));
    AddMessages(steps, texts_.MsgLive.data(), 1, 3);
    AddMessages(steps, texts_.MsgUpdate.data(), 1, 6);
    steps.push_back(Message(texts_.MsgMod[1]));
    steps.push_back(Message(texts_.MsgComError));
    steps.push_back(Message(texts_.MsgMod[2]));
    steps.push_back(Message(texts_.MsgConfig[2]));
    steps.push_back(Message(texts_.MsgConfirm));
    steps.push_back(Message(texts_.MsgMod[3]));
    steps.push_back(Caption({"CmdCalStart"}));
    AddMessages(steps, texts_.MsgTara.data(), 1, 20);
    steps.push_back([](const QString&) {}); // 64: not used
    AddMessages(steps, texts_.MsgTara.data(), 21, 25);
    steps.push_back([](const QString&) {}); // 70: not used
    return steps;
}

std::vector<Apply> Translator::Tail() {
    std::vector<Apply> steps;
    steps.push_back(Message(texts_.MsgLive[4]));
    for (const char* name : {"CkbeV_01", "CkbeV_02", "CkbKey", "CkbStatoAlim", "CkbStatoEcu"}) {
        steps.push_back(ToolTip(name));
    }
    for (const char* name :
         {"LblFrmSwitch", "LblSwtchRpm", "LblShoRpm", "LblSwtchTemp", "LblSwtchDelay",
          "LblSwtchForce", "LblSwtchSeq", "LblFrmTyp", "LblTypFuel", "OptTypFuel(0)",
          "OptTypFuel(1)", "LblSwtchCilindri", "LblSwtchBobine", "LblFrmSensor"}) {
        steps.push_back(Caption({name}));
    }
    steps.push_back(Caption({"LblTypGLS", "LblTypInj"}));
    for (const char* name : {"LblEmptyGas", "LblSwtchPres", "LblSwtchPressDelay", "CmdTpyGLS",
                             "CmdTpyInj", "LblFrmOption"}) {
        steps.push_back(Caption({name}));
    }
    steps.push_back(Caption({"LblSwtchLambda", "LblSwtchLambdaBis"}));
    steps.push_back(Caption({"CmdReserVar"}));
    steps.push_back(Caption({"CmdExpert(0)"}));
    steps.push_back(Caption({"TxtGasMod"}));
    steps.push_back(Caption({"TxtPetrolMod", "TxtMapPetrol"}));
    steps.push_back([this](const QString& text) {
        ui::SetCaption(Named("FrmModPnt"), QString());
        texts_.MsgConfig[3] = text;
    });
    for (const char* name : {"LblPlace", "LblMul", "FrmModLine", "LblAlfa", "LblOffset"}) {
        steps.push_back(Caption({name}));
    }
    steps.push_back(Caption({"TxtMapPressure", "LblCalPres"}));
    for (const char* name :
         {"FrmMapTuning", "CmdMapRead", "ChkAbilAcqVacum", "CmdMapCompute", "CmdMapClrGas",
          "CmdMapClrPet", "CmdShpMapMod", "LblMapPetrol", "LblMapGas", "LblCalVacuum",
          "LblCalInjTp", "LblCalInjTg", "LblCalTempVap", "LblCalTempGas"}) {
        steps.push_back(Caption({name}));
    }
    steps.push_back(Suffixed("LblCalLambda", "LblCalLambda2"));
    AddMessages(steps, texts_.MsgTara.data(), 26, 30);
    steps.push_back(Message(texts_.MsgConfig[4]));
    steps.push_back(Caption({"LblCompAttiva"}));
    steps.push_back(Caption({"LblEmulAttiva"}));
    steps.push_back([this](const QString& text) { SetTab(4, text + " - F7"); });
    steps.push_back([this](const QString& text) {
        ui::Bind<QTableWidget>(window_, "GrdTitolo").setItem(0, 0, new QTableWidgetItem(text));
    });
    steps.push_back(PageCaption("LblFrmRPM"));
    steps.push_back(ToolTip("CmdService"));
    AddMessages(steps, texts_.MsgConfig.data(), 5, 9);
    steps.push_back(Caption({"LblAbilEmula"}));
    steps.push_back(Caption({"LblSonda1", "LblSonda1Bis"}));
    steps.push_back(Caption({"LblSonda2", "LblSonda2Bis"}));
    for (const char* name :
         {"LblRitardo", "LblAnte", "LblPost", "LblEmulLevAlto", "LblEmulLevBasso", "LblLambdaOut1",
          "LblLambdaOut2", "LblTabSoglie", "LblHelpTabDelay", "LblAbsPres"}) {
        steps.push_back(Caption({name}));
    }
    AddMessages(steps, texts_.MsgEmula.data(), 1, 7);
    steps.push_back(Caption({"LblFiltro"}));
    return steps;
}

using support::ProgramText;

// Captions by window and control name.
const struct {
    const char* window;
    const char* name;
    ProgramText text;
} ProgramCaptions[] = {
    {"FrmUpdate", "CmdUpdate", ProgramText::Next},
    {"FrmUpdate", "CmdEsc", ProgramText::Esc},
    {"FrmService", "CmdErase", ProgramText::Erase},
    {"FrmLX735", "CmdCalCancel", ProgramText::Cancel},
    {"FrmLX735", "CmdModOpen", ProgramText::Open},
    {"FrmLX735", "CmdModSave", ProgramText::Save},
    {"FrmLX735", "CmdReset", ProgramText::Reset},
    {"FrmLX735", "CmdResetLine", ProgramText::Reset},
    {"FrmLX735", "CmdMapOpen", ProgramText::Open},
    {"FrmLX735", "CmdMapSave", ProgramText::Save},
    {"FrmLX735", "CmdComputeModl(0)", ProgramText::Compute},
    {"FrmLX735", "CmdTableComp", ProgramText::Compensation},
    {"FrmView", "CmdUp", ProgramText::ViewUp},
    {"FrmView", "CmdDw", ProgramText::ViewDown},
    {"FrmView", "CmdReset", ProgramText::Reset},
    {"FrmView", "OptRun(0)", ProgramText::ViewRun},
    {"FrmView", "OptRun(1)", ProgramText::ViewStop},
    {"FrmView", "CmdOpen", ProgramText::Open},
    {"FrmView", "CmdReload", ProgramText::ViewReload},
    {"FrmView", "CmdSaveLogOsc", ProgramText::Save},
    {"FrmView", "CmdEsporta", ProgramText::ViewExport},
    {"FrmView", "Frame1", ProgramText::ViewSetting},
    {"FrmView", "CmdEscSet", ProgramText::Esc},
    {"FrmView", "Frame2", ProgramText::ViewCylCoilFrame},
    {"FrmView", "Label1", ProgramText::ViewCylinder},
    {"FrmView", "Label2", ProgramText::ViewCoil},
    {"FrmView", "CmdEscCylCoil", ProgramText::Esc},
};

// The first control of that name inside window, not inside another window it owns.
QObject* OwnControl(QObject& parent, const QString& name) {
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isWindow()) {
            continue;
        }
        if (child->objectName() == name) {
            return child;
        }
        if (QObject* found = OwnControl(*child, name)) {
            return found;
        }
    }
    return nullptr;
}

// The view's check boxes name the channels; the settings file keys its blocks by the
// English captions, never by these.
constexpr int ViewChannels = 8;

// Qt's own texts (message-box buttons, file dialogs) from Qt's translations folder. A
// language Qt has no file for, or a missing file, leaves Qt's English.
const struct {
    const char* languageName;
    const char* code;
} QtLanguages[] = {{"Italiano", "it"}, {"Italian", "it"}};

void FollowQtLanguage(const QString& languageName) {
    static QPointer<QTranslator> installed;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        return;
    }
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    for (const auto& [name, code] : QtLanguages) {
        if (languageName.compare(QLatin1String(name), Qt::CaseInsensitive) != 0) {
            continue;
        }
        auto translator = std::make_unique<QTranslator>(app);
        if (translator->load(QStringLiteral("qtbase_") + code,
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(translator.get())) {
            installed = translator.release();
        }
        return;
    }
}

void CheckLanguageItem(QWidget& window, qint16 language) {
    for (int i = 0;; ++i) {
        auto* item = qobject_cast<QAction*>(ui::FindControl(window, ui::ArrayName("MnuLngT", i)));
        if (!item) {
            break;
        }
        item->setChecked(i == language);
    }
}

} // namespace

void TranslateProgramCaptions(QWidget& window) {
    for (const auto& [owner, name, text] : ProgramCaptions) {
        if (window.objectName() != QLatin1String(owner)) {
            continue;
        }
        if (QObject* control = OwnControl(window, QLatin1String(name))) {
            ui::SetCaption(control, support::Text(text));
        }
    }
    for (int c = 0; c < ViewChannels; ++c) {
        if (QObject* box = OwnControl(window, ui::ArrayName("ChkSignal", c))) {
            ui::SetCaption(box, support::Text(ProgramText(int(ProgramText::ViewChannel0) + c)));
        }
    }
}

bool DictionaryLoaded(const support::ClsLingue& lingue) {
    return lingue.UboundVoci() > 0 || !lingue.VoceDizionario(0, 0).isEmpty();
}

TranslationResult TranslateMainWindow(QWidget& window, ProgramContext& context, qint16 language,
                                      QString* notStored) {
    support::ClsLingue& lingue = context.ObjLingue;
    if (language < 0 || language > lingue.UboundLingue()) {
        language = 0;
    }
    if (lingue.IdLingua() != language) {
        QString why;
        lingue.IdLingua(language, &why);
        // A choice that is not stored would be lost at the next start and leave the texts
        // read by number in the old language: the language stays as it is.
        if (lingue.IdLingua() != language) {
            if (notStored) {
                *notStored = why.isEmpty() ? QStringLiteral("the file is missing") : why;
            }
            language = lingue.IdLingua();
        }
    }
    CheckLanguageItem(window, language);
    support::ApplyProgramTexts(lingue);
    FollowQtLanguage(lingue.NomeLingua(language));
    TranslateProgramCaptions(window);
    if (!DictionaryLoaded(lingue)) {
        // The design's placeholder caption would stand otherwise.
        context.Texts.AppTitle = QStringLiteral("LX735 Sequential Gas Injection");
        window.setWindowTitle(context.Texts.AppTitle + " - " + ReleaseText);
        return TranslationResult::Done;
    }

    Translator translator(window, context);
    const auto entry = [&](int n) { return lingue.VoceDizionario(language, qint16(n)); };
    int n = 0;
    for (const Apply& apply : translator.Head()) {
        apply(entry(n++));
    }

    // Entry 71 heads the error texts; the texts run from 72 up to the end marker.
    QStringList errors;
    int marker = -1;
    for (int k = FirstErrorEntry; k <= FirstErrorEntry + MaxErrorTexts; ++k) {
        const QString text = entry(k);
        if (text == EndErrorMarker) {
            marker = k;
            break;
        }
        errors.append(text);
    }
    if (marker < 0) {
        context.Texts.EcuErrorTexts.clear();
        return TranslationResult::NoErrorMarker;
    }
    context.Texts.EcuErrorTexts = errors;

    n = marker + 1;
    for (const Apply& apply : translator.Tail()) {
        apply(entry(n++));
    }
    return TranslationResult::Done;
}

} // namespace app
