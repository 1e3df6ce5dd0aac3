#include "editors/editorcommon.h"

#include "app/forms.h"
#include "editors/editors.h"
#include "editors/frmcfgfam.h"
#include "editors/frmcfggroup.h"
#include "editors/frmcfgmsg.h"

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
