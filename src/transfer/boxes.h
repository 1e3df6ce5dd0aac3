// Message boxes of the database transfer: titles and texts, lines joined by
// CR alone. Each box has an OK button only; the icon is given per box.
#pragma once

#include <QString>

struct TransferBox {
    QString title;
    QString text;
    bool operator==(const TransferBox &) const = default;
};

// No icon. `portSettings` is the port's settings text ("9600,n,8,1").
TransferBox ReadErrorBox(const QString &portSettings, int commPort);
TransferBox WriteErrorBox(const QString &portSettings, int commPort);
// No icon: an ID-as-capcode switch was not confirmed.
TransferBox ImproperResponseBox();
// No icon: the programmers stop when port 1 speaks COMP2.
TransferBox Comp2DetectedBox();
// No icon: shown when the version 8 reader set a COMP1 port back to TAP.
TransferBox Comp1NotDefinedBox();
// Critical icon: the programmers need the port open.
TransferBox PortNotOpenBox(int commPort);
// Exclamation icon, Yes / No / Cancel: asked by the readers before they
// overwrite a view that no longer matches the encoder.
TransferBox OverwriteEditsBox();
