#include "editors/editorcommon.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmcfgmsg.h"

void EditorChanged(EditorKind kind)
{
    if (gRun.bLoading)
        return;
    // a transfer that is running cannot end with the view matching the
    // encoder once the user changed something during it
    if (gRun.bPortBusy)
        gRun.bEditedDuringTransfer = true;
    if (kind == EditorKind::Grid && gRun.bNoModifiedStatus)
        return;
    if (frmTerminal *w = forms::terminal())
        w->MarkConfigModified();
}

void MarkMatchingViewModified()
{
    if (!gRun.bMatchesEncoder || gRun.bExiting)
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
