// The capcode lookup: asks the encoder how it pages an ID, or, when port 1
// takes the ID as the capcode, checks the capcode here.
#include "app/lookup.h"

#include "app/frmterminal.h"
#include "app/portbusy.h"
#include "database/state.h"
#include "link/exchange.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "transfer/matchclaim.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <utility>

namespace {
constexpr int kLowestCapcode = 9;
constexpr int kHighestCapcode = 2097143;
constexpr std::pair<int, int> kReservedCapcodes[] = {{2045056, 2045063}, {2007664, 2007671}};
constexpr int kPaddedCapcodeWidth = 7;
}  // namespace

QString RewordLookupReply(const QString &reply)
{
    static const std::pair<const char *, const char *> rows[] = {
        {"list", "Group"},
        {" capcode ", ", Cap="},
        {"msg enc:", "Type="},
        {"baud:", "Rate="},
        {" func bits:00", ", Func=1"},
        {" func bits:01", ", Func=2"},
        {" func bits:10", ", Func=3"},
        {" func bits:11", ", Func=4"},
    };
    QString text = reply;
    for (const auto &[find, replacement] : rows)
        text = ReplaceAll(text, QString::fromLatin1(find), QString::fromLatin1(replacement));
    return text;
}

QString LookupEntryForWire(const QString &entry)
{
    QString out;
    out.reserve(entry.size());
    for (QChar c : entry) {
        if (c.category() != QChar::Other_Control)
            out += c;
    }
    return out;
}

QString LookupEntryProblem(const QString &entry)
{
    const QString wire = LookupEntryForWire(entry);
    const qsizetype bad = platform::FirstNonAnsi(wire);
    if (bad < 0)
        return QString();
    return QStringLiteral("The Lookup ID entry holds %1, which has no byte in the code page and cannot be "
                          "sent to the encoder. Change it and try again.")
        .arg(platform::DescribeNonAnsi(wire, bad));
}

CapcodeCheck CheckIDAsCapcode(const QString &entry)
{
    for (QChar c : entry) {
        if (c.unicode() < '0' || c.unicode() > '9')
            return CapcodeCheck::Illegal;
    }
    // an empty entry, or digits too many for a number, is no capcode either
    bool ok = false;
    const int value = entry.toInt(&ok);
    if (!ok || value < kLowestCapcode)
        return CapcodeCheck::Illegal;
    if (value > kHighestCapcode)
        return CapcodeCheck::TooLarge;
    for (const auto &[first, last] : kReservedCapcodes) {
        if (value >= first && value <= last)
            return CapcodeCheck::Illegal;
    }
    return CapcodeCheck::Valid;
}

QString IDAsCapcodeAnswer(const QString &entry)
{
    const QString padded = entry.size() >= kPaddedCapcodeWidth ? entry : entry.rightJustified(kPaddedCapcodeWidth, u'0');
    return QStringLiteral("ID \"") + entry + QStringLiteral("\", Cap=") + padded +
           QStringLiteral(", Type=A, Rate=512 Func=4");
}

QString InvalidCapcodeText(CapcodeCheck check)
{
    const QString first = check == CapcodeCheck::TooLarge ? QStringLiteral("Pager ID as Capcode mode is active")
                                                          : QStringLiteral("Pager ID as Capcode mode is active for Port 1");
    return first + QStringLiteral("\rThe Capcode value cannot include alpha characters"
                                  "\ror the following illegal Capcodes:"
                                  "\r"
                                  "\r0 through 8"
                                  "\r2007664 through 2007671"
                                  "\r2045056 through 2045063"
                                  "\ror greater than 2097143");
}

QString IncBy8WarningText()
{
    return QStringLiteral("Increment Capcodes by 8 Mode is Active.  You May Need\r"
                          "to Close and Open the COM Port to Restart the Encoder,\r"
                          "in Order to Obtain Valid Lookup Results");
}

void frmTerminal::cmdLookup_Click()
{
    // the encoder's answer is only of use about the database the view shows
    if (Busy() || !ViewMatchesEncoder())
        return;
    const QString entry = txLookup->text();

    if (gSettings.bSerial1IDAsCap) {
        // nothing is asked: the ID is the capcode
        const CapcodeCheck check = CheckIDAsCapcode(entry);
        if (check != CapcodeCheck::Valid) {
            platform::MsgBox(InvalidCapcodeText(check), platform::Buttons::OK, platform::Icon::None,
                             kInvalidCapcodeTitle);
            platform::SetDefaultPointer();
            return;
        }
        lblLookup->setText(IDAsCapcodeAnswer(entry));
        return;
    }

    // a character with no byte in the code page stops the lookup before
    // anything goes out
    if (const QString problem = LookupEntryProblem(entry); !problem.isEmpty()) {
        platform::MsgBox(problem, platform::Buttons::OK, platform::Icon::Exclamation, platform::AppTitle());
        return;
    }

    // the wait below hands out window messages: nothing else may use the
    // port meanwhile, and the window may be gone when it ends
    PortBusyGuard guard;
    QPointer<frmTerminal> self = this;
    if (gSettings.bIncCapBy8) {
        platform::MsgBox(IncBy8WarningText(), platform::Buttons::OK, platform::Icon::None, kIncBy8WarningTitle);
        if (!self)
            return;
    }
    lblLookup->setText(QString());
    const ExchangeResult r = EncoderExchange(QStringLiteral("LOOKUP ") + LookupEntryForWire(entry), Term::CRLF, true,
                                             {QStringLiteral("\r\n")}, kLookupTimeoutMs, false);
    if (!self)
        return;
    // a time-out is not reported: whatever arrived is shown
    lblLookup->setText(QStringLiteral("Response: ") + RewordLookupReply(r.reply));
    Timer2.setEnabled(false);
}
