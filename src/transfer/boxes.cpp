#include "transfer/boxes.h"

#include <QStringList>

namespace {

QString lines(const QStringList &l) { return l.join(QLatin1Char('\r')); }

const QString kCheckConnections = QStringLiteral("Please Check Connections, Paging Encoder Configuration,");
const QString kTryAgain = QStringLiteral("or COM Port Settings, and Try Again");

QString portLine(const QString &portSettings, int commPort)
{
    return portSettings + QStringLiteral("  COM Port ") + QString::number(commPort);
}

}  // namespace

TransferBox ReadErrorBox(const QString &portSettings, int commPort)
{
    return {QStringLiteral("Read Error"),
            lines({QStringLiteral("Error Reading Pager Database at"), portLine(portSettings, commPort),
                   kCheckConnections, kTryAgain})};
}

TransferBox WriteErrorBox(const QString &portSettings, int commPort)
{
    return {QStringLiteral("Write Error"),
            lines({QStringLiteral("Error Writing Pager Database at"), portLine(portSettings, commPort),
                   kCheckConnections, kTryAgain})};
}

TransferBox ImproperResponseBox()
{
    return {QStringLiteral("Paging Encoder Improper Response"),
            lines({QStringLiteral("The Paging Encoder did not Properly Respond to IDASCAP Command."),
                   kCheckConnections, kTryAgain})};
}

TransferBox Comp2DetectedBox()
{
    return {QStringLiteral("COMP2 Detected"),
            QStringLiteral("COMP2 protocol is detected.  Please change to TAP protocol and try again.")};
}

TransferBox Comp1NotDefinedBox()
{
    return {QStringLiteral("COMP1 Pager ID Not Defined"),
            lines({QStringLiteral("COMP1 Protocol is Selected and Requires a Default Pager Assignment"),
                   QStringLiteral("The First Pager ID in the First Pager Group is Used as the Default Pager ID"),
                   QStringLiteral("The Protocol has been set to TAP")})};
}

TransferBox PortNotOpenBox(int commPort)
{
    return {QStringLiteral("COM Port Not Open"),
            lines({QStringLiteral("COM Port ") + QString::number(commPort) + QStringLiteral(" is Not Open"),
                   QStringLiteral("Please Open Port and Try Again")})};
}

TransferBox OverwriteEditsBox()
{
    return {QStringLiteral("About to OverWrite Edits"),
            lines({QStringLiteral("You Have Edited the Pager Database"),
                   QStringLiteral("If You Read the Encoder, You Will Lose Your Edits."),
                   QStringLiteral("Are You Sure You Want to Continue?")})};
}
