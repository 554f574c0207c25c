#include "app/StartUp.h"

#include "app/ProgramContext.h"
#include "support/FileRoutines.h"

namespace app {

QString AppFolderFromExecutableDir(const QString& executableDir) {
    return support::GetParentPath(executableDir);
}

void PrepareProgram(ProgramContext& context, const QString& executableDir) {
    context.AppFolder = AppFolderFromExecutableDir(executableDir);
    context.DecimalSep = support::GetLocaleString(0, 14);
    standin::LoadConfigScale(context.Images, context.AppFolder);

    context.ObjLingue.PathDizionario(context.AppFolder + "/LNG/M3.diz");
    context.ObjLingue.PathAttualeLingua(context.AppFolder + "/LNG/M3.con");
    context.ObjLingue.LoadDizionario();

    context.ObjComm = std::make_unique<ClsComm>();
    context.ObjComm->AppFolder(context.AppFolder);
    context.ObjComm->ReadSetCom("/BIN/SetCom.ini");

    // The load step makes one injector bar per cylinder of this count.
    context.Images.Mem3Data.Cilindri = 8;
    standin::LoadParamTaratura(context.AppFolder);
    context.DefaultParamPending = 1;
}

} // namespace app
