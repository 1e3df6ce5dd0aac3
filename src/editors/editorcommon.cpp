#include "editors/editorcommon.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmcfgmsg.h"

void MarkViewChanged(ViewChange change)
{
    const bool programMade = change == ViewChange::ProgramMade;
    if (programMade ? gRun.bExiting : gRun.bLoading)
        return;
    // a transfer that is running cannot end with the view matching the
    // encoder once something changed the view during it
    if (gRun.bPortBusy)
        gRun.bEditedDuringTransfer = true;
    if (change == ViewChange::GridEdit && gRun.bNoModifiedStatus)
        return;
    if (programMade && !gRun.bMatchesEncoder)
        return;
    if (frmTerminal *w = forms::terminal())
        w->MarkConfigModified();
}

void ShowTablesAfreshInOpenEditors()
{
    if (auto *f = qobject_cast<frmCfgFam *>(forms::window("frmCfgFam")))
        f->Refill();
    if (auto *g = qobject_cast<frmCfgGroup *>(forms::window("frmCfgGroup")))
        g->Refill();
    if (auto *m = qobject_cast<frmCfgMsg *>(forms::window("frmCfgMsg")))
        m->Refill();
}

void ShowCapcodeStepInOpenEditors()
{
    // only the families grid works anything out by the step
    if (auto *f = qobject_cast<frmCfgFam *>(forms::window("frmCfgFam")))
        f->Refill();
}
