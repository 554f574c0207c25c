#include "app/StartUp.h"

#include "app/ProgramContext.h"
#include "ecudata/CalibrationParams.h"
#include "ecudata/ConfigLines.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/FirmwareImage.h"
#include "support/FileRoutines.h"
#include "support/Lingue.h"
#include "support/MessageBox.h"

#include <QTimer>
#include <QWidget>

namespace app {

namespace {

const QString SetComIni = QStringLiteral("/BIN/SetCom.ini");

const QString Section = QStringLiteral("[StartUpFiles]");
// The heading, then one line per DamagedFile in its order.
const QStringList Fallbacks = {
    QStringLiteral("Damaged start-up files were found; the program goes on without them:"),
    QStringLiteral("%1: built-in values are used for what it does not give."),
    QStringLiteral("%1: the texts are shown in English."),
    QStringLiteral("%1: the chosen language cannot be read; %2 is used and the file is left "
                   "as it is."),
    QStringLiteral("%1: the default port settings are used for what it does not give."),
};

QString FilePath(const ProgramContext& context, DamagedFile file) {
    switch (file) {
    case DamagedFile::ConfigScale:
        return ecudata::ConfigScalePath(context.AppFolder);
    case DamagedFile::Dictionary:
        return context.ObjLingue.PathDizionario();
    case DamagedFile::Language:
        return context.ObjLingue.PathAttualeLingua();
    case DamagedFile::PortSettings:
        return context.AppFolder + SetComIni;
    }
    return {};
}

// The language that stands in for an unreadable choice: the dictionary's first.
QString FirstLanguageName(const support::ClsLingue& lingue) {
    const QString name = lingue.NomeLingua(0);
    return name.isEmpty() ? QStringLiteral("English") : name;
}

} // namespace

QString AppFolderFromExecutableDir(const QString& executableDir) {
    return support::GetParentPath(executableDir);
}

QList<DamagedFile> PrepareProgram(ProgramContext& context, const QString& executableDir) {
    QList<DamagedFile> damaged;
    const auto judge = [&damaged](bool whole, DamagedFile file) {
        if (!whole) {
            damaged.append(file);
        }
    };
    context.AppFolder = AppFolderFromExecutableDir(executableDir);
    context.DecimalSep = support::GetLocaleString(0, 14);
    judge(ecudata::LoadConfigScale(context.Scale, context.AppFolder, context.DecimalSep),
          DamagedFile::ConfigScale);

    context.ObjLingue.PathDizionario(context.AppFolder + "/LNG/M3.diz");
    context.ObjLingue.PathAttualeLingua(context.AppFolder + "/LNG/M3.con");
    const support::ClsLingue::LoadVerdict dictionary = context.ObjLingue.LoadDizionario();
    judge(dictionary.dictionaryWhole, DamagedFile::Dictionary);
    judge(dictionary.languageWhole, DamagedFile::Language);

    context.NewLink();
    judge(context.Comm().ReadSetCom(SetComIni), DamagedFile::PortSettings);

    // The load step makes one injector bar per cylinder of this count.
    context.Images.Mem3Data.Cilindri = 8;
    ecudata::LoadParamTaratura(context.TaraParams, context.AppFolder);
    context.DefaultParamPending = 1;
    // Before any link: the only copy of an installation may be waiting in a file.
    ecudata::TellUnfinishedUpdate(context.AppFolder, context.ObjLingue);
    return damaged;
}

QString DamagedFilesMessage(const ProgramContext& context, const QList<DamagedFile>& damaged) {
    if (damaged.isEmpty()) {
        return {};
    }
    const QStringList texts = support::SectionTexts(context.ObjLingue, Section, Fallbacks);
    QStringList lines{texts[0]};
    for (const DamagedFile file : damaged) {
        const QString& text = texts[1 + int(file)];
        lines << (file == DamagedFile::Language
                      ? text.arg(FilePath(context, file), FirstLanguageName(context.ObjLingue))
                      : text.arg(FilePath(context, file)));
    }
    return lines.join(QStringLiteral("\r\n\r\n"));
}

void TellDamagedFiles(const ProgramContext& context, const QList<DamagedFile>& damaged,
                      QWidget& window) {
    const QString message = DamagedFilesMessage(context, damaged);
    if (message.isEmpty()) {
        return;
    }
    const QString title = context.Texts.AppTitle;
    QTimer::singleShot(
        0, &window, [message, title] { support::MsgBox(message, support::vbExclamation, title); });
}

} // namespace app
