#include "transfer/matchclaim.h"

#include "app/forms.h"
#include "app/frmterminal.h"
#include "transfer/records.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

const QString kBlank = QStringLiteral(" ");
// the letter and the number come before a record's fields
constexpr int kFirstField = 2;
// fields of a group that travel: GroupID .. PagerID20
constexpr int kGroupWireFields = grpPagerID20 + 1;

// Digits by their value, without bounds: "0010" is "10", "0000" is "0".
QString tokenMeaning(const QString &token)
{
    if (token.isEmpty() || !AllDigits(token))
        return token;
    qsizetype zeros = 0;
    while (zeros < token.size() - 1 && token.at(zeros) == u'0')
        ++zeros;
    return token.mid(zeros);
}

QStringList tokensMeaning(const QString &text)
{
    QStringList tokens = text.split(kBlank);
    for (QString &t : tokens)
        t = tokenMeaning(t);
    return tokens;
}

QStringList viewMeaning() { return ProgrammedMeaning(FirmwareOf(gRun.bV7Firmware), gDb, gSettings); }

class ClaimCheckOnClose : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (e->type() == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            CheckViewClaim();
        return false;
    }
};

}  // namespace

QString CommandMeaning(const QString &command) { return tokensMeaning(command).join(kBlank); }

QString RecordMeaning(const QString &record)
{
    // a message's text goes as it stands, digits and blanks included
    if (record.startsWith(u'M'))
        return record;
    QStringList tokens = tokensMeaning(record);
    if (record.startsWith(u'L')) {
        while (tokens.size() < kFirstField + kGroupWireFields)
            tokens << QStringLiteral("0");
    } else if (record.startsWith(u'G') && tokens.size() >= kFirstField) {
        auto field = [&tokens](int f) {
            return kFirstField + f < tokens.size() ? tokens.at(kFirstField + f) : QStringLiteral("0");
        };
        if (field(famActive) == u"0" && field(famPagerQty) == u"0")
            return tokens.at(0) + kBlank + tokens.at(1) + QStringLiteral(" unused");
    }
    return tokens.join(kBlank);
}

QStringList ProgrammedMeaning(Firmware fw, const PagerDatabase &db, const EncoderSettings &s)
{
    QStringList meaning;
    for (const CommandStep &step : SettingsCommands(fw, s))
        meaning << CommandMeaning(step.text);
    for (const RecordStep &record : RecordOrder())
        meaning << RecordMeaning(RecordText(record.kind, record.number, db));
    meaning << CommandMeaning(ClosingIDAsCapCommand(fw, s).text);
    return meaning;
}

void ClaimViewMatches(const PagerDatabase &db, const EncoderSettings &settings)
{
    gRun.claimedDb = db;
    gRun.claimedSettings = settings;
    gRun.bClaimedV7 = gRun.bV7Firmware;
    gRun.bMatchesEncoder = true;
}

void ClaimViewMatches() { ClaimViewMatches(gDb, gSettings); }

void CheckViewClaim()
{
    if (!gRun.bMatchesEncoder || gRun.bNoModifiedStatus)
        return;
    // compared as the firmware family of the claim takes them: another
    // encoder found since does not change what the view shows
    const Firmware fw = FirmwareOf(gRun.bClaimedV7);
    if (ProgrammedMeaning(fw, gDb, gSettings) != ProgrammedMeaning(fw, gRun.claimedDb, gRun.claimedSettings))
        MarkViewChanged(ViewChange::ProgramMade);
}

bool ViewMatchesEncoder()
{
    CheckViewClaim();
    return gRun.bMatchesEncoder;
}

void CheckViewClaimWhenWindowsClose(QObject *owner)
{
    qApp->installEventFilter(new ClaimCheckOnClose(owner));
}

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

ProgramMadeChange::ProgramMadeChange() : m_sent(viewMeaning()) {}

ProgramMadeChange::~ProgramMadeChange()
{
    if (viewMeaning() != m_sent)
        MarkViewChanged(ViewChange::ProgramMade);
}
