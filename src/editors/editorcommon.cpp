#include "editors/editorcommon.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "database/state.h"

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
