#include "app/StartUp.h"

#include "app/ProgramContext.h"
#include "ecudata/CalibrationParams.h"
#include "ecudata/ConfigScale.h"
#include "ecudata/FirmwareImage.h"
#include "support/FileRoutines.h"

namespace app {

QString AppFolderFromExecutableDir(const QString& executableDir) {
    return support::GetParentPath(executableDir);
}

void PrepareProgram(ProgramContext& context, const QString& executableDir) {
    context.AppFolder = AppFolderFromExecutableDir(executableDir);
    context.DecimalSep = support::GetLocaleString(0, 14);
    ecudata::LoadConfigScale(context.Scale, context.AppFolder, context.DecimalSep);

    context.ObjLingue.PathDizionario(context.AppFolder + "/LNG/M3.diz");
    context.ObjLingue.PathAttualeLingua(context.AppFolder + "/LNG/M3.con");
    context.ObjLingue.LoadDizionario();

    context.NewLink();
    context.Comm().ReadSetCom("/BIN/SetCom.ini");

    // The load step makes one injector bar per cylinder of this count.
    context.Images.Mem3Data.Cilindri = 8;
    ecudata::LoadParamTaratura(context.TaraParams, context.AppFolder);
    context.DefaultParamPending = 1;
    // Before any link: the only copy of an installation may be waiting in a file.
    ecudata::TellUnfinishedUpdate(context.AppFolder, context.ObjLingue);
}

} // namespace app
