// The pager database file commands of the main window: New Database, Open,
// Save, Save As, and the reload of the last file at start-up.
#include "app/forms.h"
#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/pg8file.h"
#include "database/state.h"
#include "editors/editors.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/textbox.h"
#include "transfer/matchclaim.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

// The file in use: where it was opened or saved. The stored "LastFile" holds
// this full path; a bare title in it still means the program's folder.
QString &currentFilePath() { return gRun.sDBFilePath; }

QString resolveAgainstProgramFolder(const QString &name)
{
    if (name.isEmpty())
        return QString();
    return QFileInfo(name).isAbsolute() ? name : QDir(platform::AppPath()).filePath(name);
}

void fileErrorBox(const QString &text)
{
    platform::SetDefaultPointer();
    platform::MsgBox(text, Buttons::OK, Icon::Exclamation);
}

// The dialog shared by Open and Save As; returns the chosen full path or empty.
QString askForFile(platform::Prompt::Kind kind, const QString &title)
{
    platform::Prompt p;
    p.kind = kind;
    p.title = title;
    p.filter = DatabaseFileFilter();
    p.defaultExt = DatabaseFileSuffix();
    const QString current = currentFilePath().isEmpty() ? resolveAgainstProgramFolder(gRun.sDBFileName)
                                                        : currentFilePath();
    p.fileName = current.isEmpty() ? platform::AppPath() : QDir::toNativeSeparators(current);
    p.parent = forms::terminal();
    const platform::Reply reply = platform::Ask(p);
    if (reply.answer != Answer::OK)
        return QString();
    return reply.fileName;
}

// Fills the tables, settings, notes and captions from a file's bytes; the
// file becomes the current one. Bytes that are no pager database change
// nothing, in the window either, and give false.
bool readIntoWindow(frmTerminal *w, const QByteArray &bytes, Pg8ReadMode mode, const QString &path)
{
    QString notes = w->txtConfigNotes->text();
    const Pg8ReadResult read = ReadPagerDatabaseFile(bytes, mode, gDb, gSettings, notes);
    if (read.notADatabase)
        return false;
    platform::SetTextWhole(w->txtConfigNotes, notes, frmTerminal::kNotesTypedMax);
    if (read.incCapsLineRead)
        w->ShowIncBy8Label();
    if (read.idAsCapLineRead)
        w->ShowIDAsCapLabel();
    ShowTablesAfreshInOpenEditors();
    currentFilePath() = QFileInfo(path).absoluteFilePath();
    return true;
}

}  // namespace

void frmTerminal::mnuNewDB_Click()
{
    if (Busy())
        return;
    if (platform::MsgBox(NewDatabaseQuestionText(), Buttons::YesNo, Icon::Question, NewDatabaseQuestionTitle()) !=
        Answer::Yes)
        return;
    platform::SetHourglass();
    ApplyNewDatabase(gDb);
    ShowTablesAfreshInOpenEditors();
    gRun.bMatchesEncoder = false;
    FollowMatchState();
    SetStatusPanel(1, NewDatabaseStatusText());
    platform::SetDefaultPointer();
}

void frmTerminal::mnuOpenFile_Click()
{
    if (Busy())
        return;
    gRun.bNoModifiedStatus = true;
    const QString path = askForFile(platform::Prompt::Kind::OpenFile, OpenDatabaseDialogTitle());
    if (path.isEmpty()) {
        platform::SetDefaultPointer();
        gRun.bNoModifiedStatus = false;
        return;
    }
    QByteArray bytes;
    QString error;
    if (!LoadPagerDatabaseFile(path, &bytes, &error)) {
        fileErrorBox(error);
        gRun.bNoModifiedStatus = false;
        return;
    }
    if (!readIntoWindow(this, bytes, Pg8ReadMode::Open, path)) {
        // the box is Open's last step: whatever runs while it waits finds
        // Open over and nothing of the refused file taken
        gRun.bNoModifiedStatus = false;
        fileErrorBox(NotADatabaseFileText(Pg8FileTitle(path)));
        return;
    }
    gRun.sDBFileName = Pg8FileTitle(path);
    SetStatusPanel(1, OpenedDatabaseStatusText(gRun.sDBFileName));
    platform::SaveSetting(QStringLiteral("Properties"), QStringLiteral("LastFile"), currentFilePath());
    mnuSave->setEnabled(true);
    gRun.bMatchesEncoder = false;
    FollowMatchState();
    forms::unloadWindow("frmMessageTest");
    gRun.bNoModifiedStatus = false;
}

// Writes the database to `path`; on success the file becomes the current one.
static bool saveTo(frmTerminal *w, const QString &path)
{
    QString error;
    const QByteArray bytes = WritePagerDatabaseFile(gDb, gSettings, w->txtConfigNotes->text(), &error);
    if (bytes.isEmpty()) {
        fileErrorBox(QStringLiteral("The pager database was not saved to ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(":\r") + error);
        return false;
    }
    if (!SavePagerDatabaseFile(path, bytes, &error)) {
        fileErrorBox(QStringLiteral("The pager database could not be saved to ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(":\r") + error);
        return false;
    }
    currentFilePath() = QFileInfo(path).absoluteFilePath();
    gRun.sDBFileName = Pg8FileTitle(path);
    w->SetStatusPanel(1, SavedDatabaseStatusText(gRun.sDBFileName, ViewMatchesEncoder()));
    QDir::setCurrent(platform::AppPath());
    return true;
}

void frmTerminal::mnuSave_Click()
{
    if (Busy() || !gRun.bDatabaseChecked)
        return;
    const QString path = currentFilePath().isEmpty() ? resolveAgainstProgramFolder(gRun.sDBFileName)
                                                     : currentFilePath();
    if (path.isEmpty()) {
        mnuSaveAs_Click();
        return;
    }
    saveTo(this, path);
}

void frmTerminal::mnuSaveAs_Click()
{
    if (Busy() || !gRun.bDatabaseChecked)
        return;
    const QString path = askForFile(platform::Prompt::Kind::SaveFile, SaveDatabaseDialogTitle());
    if (path.isEmpty())
        return;
    if (!saveTo(this, path))
        return;
    platform::SaveSetting(QStringLiteral("Properties"), QStringLiteral("LastFile"), currentFilePath());
    mnuSave->setEnabled(true);
}

void frmTerminal::LoadLastFile()
{
    // sDBFileName holds the stored "LastFile": a full path, or a bare title
    // in the program's folder
    const QString path = resolveAgainstProgramFolder(gRun.sDBFileName);
    gRun.sDBFileName = Pg8FileTitle(gRun.sDBFileName);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QByteArray bytes;
    QString error;
    if (!LoadPagerDatabaseFile(path, &bytes, &error)) {
        gRun.bLoading = false;  // the load step ends here, silently
        return;
    }
    // a file that is no pager database is passed over silently and leaves
    // no file current, as an empty "LastFile" does: neither Save As nor the
    // report offers its name
    if (!readIntoWindow(this, bytes, Pg8ReadMode::StartUp, path)) {
        gRun.sDBFileName.clear();
        currentFilePath().clear();
        return;
    }
    SetStatusPanel(1, StartUpLoadedStatusText(gRun.sDBFileName));
}
