// A database with every field set, and the exact file it is saved as.
#pragma once

#include "database/state.h"

#include <QByteArray>
#include <QString>

namespace pg8test {

// Families: capcodes 1000 apart, an inactive family every tenth row.
// Groups: IDs 5001.., members 6n01..6n20, References with commas.
// Messages: commas inside, the last one only a comma.
inline PagerDatabase FullDatabase()
{
    PagerDatabase db;
    const char *const rates[] = {"1", "2", "5"};
    for (int r = 0; r < kFamilyCount; ++r) {
        const int n = r + 1;
        FamilyRow &f = db.Families[r];
        f[famActive] = n % 10 == 0 ? QStringLiteral("0") : QStringLiteral("1");
        f[famStartCap] = QStringLiteral("%1").arg(8 + r * 1000, 7, 10, QLatin1Char('0'));
        f[famRate] = QLatin1String(rates[r % 3]);
        f[famPgrType] = r % 2 ? QStringLiteral("A") : QStringLiteral("N");
        f[famFunc] = QString::number(r % 4);
        f[famPagerQty] = QStringLiteral("%1").arg(n * 3, 3, 10, QLatin1Char('0'));
        f[famStartID] = QString::number(1000 + n * 20);
        f[famPrefix] = QString::number(r % 15 + 1);
        f[famSuffix] = QStringLiteral("%1").arg((r + 7) % 15 + 1, 2, 10, QLatin1Char('0'));
        f[famComplete] = QStringLiteral("YES");  // the inactive ones hold a full definition too
    }
    for (int g = 0; g < kGroupCount; ++g) {
        const int n = g + 1;
        GroupRow &row = db.Groups[g];
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        row[grpGroupID] = QString::number(5000 + n);
        row[grpActive] = QStringLiteral("1");
        row[grpTrigger1Active] = QStringLiteral("1");
        row[grpTrigger1Msg] = two(n);
        row[grpTrigger2Active] = n % 2 ? QStringLiteral("1") : QStringLiteral("0");
        row[grpTrigger2Msg] = two(16 - n);
        row[grpTimerActive] = QStringLiteral("1");
        row[grpTimerMsg] = two(n + 2);
        for (int k = 1; k <= kGroupPagerIDCount; ++k)
            row[grpPagerID1 + k - 1] = QString::number(6000 + n * 100 + k);
        row[grpComplete] = QStringLiteral("YES");
        row[grpReference] = n == 10 ? QStringLiteral(",edge commas,")
                                    : QStringLiteral("Ward %1, east wing").arg(n);
    }
    for (int m = 1; m <= kMessageCount; ++m)
        db.CannedMessages[m - 1] = m == 15 ? QStringLiteral(",")
                                           : QStringLiteral("Page %1, call desk, ext 2%2")
                                                 .arg(m)
                                                 .arg(m, 2, 10, QLatin1Char('0'));
    return db;
}

// Every setting away from its start value.
inline EncoderSettings FullSettings()
{
    EncoderSettings s;
    s.bInvertData = true;
    s.bInvertRFCD = true;
    s.sDutyCycle = QStringLiteral("50");
    s.sMaxBatch = QStringLiteral("32");
    s.bIgnoreRFCD = true;
    s.bIncCapBy8 = true;
    s.bSerial1PPHReset = false;
    s.bSerial2PPHReset = false;
    s.bSerial1IDAsCap = true;
    s.bSerial2IDAsCap = true;
    s.sSerial1Flow = QStringLiteral("SW");
    s.sSerial2Flow = QStringLiteral("AHW");
    s.sSerial1Protocol = QStringLiteral("COMP1");
    s.sSerial2Protocol = QStringLiteral("SNPP");
    s.sSerial1Baud = QStringLiteral("2400");
    s.sSerial2Baud = QStringLiteral("1200");
    s.sSerial1Databits = QStringLiteral("E71");
    s.sSerial2Databits = QStringLiteral("E71");
    s.bSerial1Verbose = true;
    s.bSerial2Verbose = true;
    return s;
}

inline QString FullNotes()
{
    return QStringLiteral("Rack \"B\", shelf 2, ask for \"Sam\"");
}

// FullDatabase(), FullSettings() and FullNotes() as the file holds them.
inline const char kFullFile[] =
    "Fam1,1,0000008,1,N,0,003,1020,1,08\r\n"
    "Fam2,1,0001008,2,A,1,006,1040,2,09\r\n"
    "Fam3,1,0002008,5,N,2,009,1060,3,10\r\n"
    "Fam4,1,0003008,1,A,3,012,1080,4,11\r\n"
    "Fam5,1,0004008,2,N,0,015,1100,5,12\r\n"
    "Fam6,1,0005008,5,A,1,018,1120,6,13\r\n"
    "Fam7,1,0006008,1,N,2,021,1140,7,14\r\n"
    "Fam8,1,0007008,2,A,3,024,1160,8,15\r\n"
    "Fam9,1,0008008,5,N,0,027,1180,9,01\r\n"
    "Fam10,0,0009008,1,A,1,030,1200,10,02\r\n"
    "Fam11,1,0010008,2,N,2,033,1220,11,03\r\n"
    "Fam12,1,0011008,5,A,3,036,1240,12,04\r\n"
    "Fam13,1,0012008,1,N,0,039,1260,13,05\r\n"
    "Fam14,1,0013008,2,A,1,042,1280,14,06\r\n"
    "Fam15,1,0014008,5,N,2,045,1300,15,07\r\n"
    "Fam16,1,0015008,1,A,3,048,1320,1,08\r\n"
    "Fam17,1,0016008,2,N,0,051,1340,2,09\r\n"
    "Fam18,1,0017008,5,A,1,054,1360,3,10\r\n"
    "Fam19,1,0018008,1,N,2,057,1380,4,11\r\n"
    "Fam20,0,0019008,2,A,3,060,1400,5,12\r\n"
    "Fam21,1,0020008,5,N,0,063,1420,6,13\r\n"
    "Fam22,1,0021008,1,A,1,066,1440,7,14\r\n"
    "Fam23,1,0022008,2,N,2,069,1460,8,15\r\n"
    "Fam24,1,0023008,5,A,3,072,1480,9,01\r\n"
    "Fam25,1,0024008,1,N,0,075,1500,10,02\r\n"
    "Fam26,1,0025008,2,A,1,078,1520,11,03\r\n"
    "Fam27,1,0026008,5,N,2,081,1540,12,04\r\n"
    "Fam28,1,0027008,1,A,3,084,1560,13,05\r\n"
    "Fam29,1,0028008,2,N,0,087,1580,14,06\r\n"
    "Fam30,0,0029008,5,A,1,090,1600,15,07\r\n"
    "Fam31,1,0030008,1,N,2,093,1620,1,08\r\n"
    "Fam32,1,0031008,2,A,3,096,1640,2,09\r\n"
    "Fam33,1,0032008,5,N,0,099,1660,3,10\r\n"
    "Fam34,1,0033008,1,A,1,102,1680,4,11\r\n"
    "Fam35,1,0034008,2,N,2,105,1700,5,12\r\n"
    "Fam36,1,0035008,5,A,3,108,1720,6,13\r\n"
    "Fam37,1,0036008,1,N,0,111,1740,7,14\r\n"
    "Fam38,1,0037008,2,A,1,114,1760,8,15\r\n"
    "Fam39,1,0038008,5,N,2,117,1780,9,01\r\n"
    "Fam40,0,0039008,1,A,3,120,1800,10,02\r\n"
    "Fam41,1,0040008,2,N,0,123,1820,11,03\r\n"
    "Fam42,1,0041008,5,A,1,126,1840,12,04\r\n"
    "Fam43,1,0042008,1,N,2,129,1860,13,05\r\n"
    "Fam44,1,0043008,2,A,3,132,1880,14,06\r\n"
    "Fam45,1,0044008,5,N,0,135,1900,15,07\r\n"
    "Fam46,1,0045008,1,A,1,138,1920,1,08\r\n"
    "Fam47,1,0046008,2,N,2,141,1940,2,09\r\n"
    "Fam48,1,0047008,5,A,3,144,1960,3,10\r\n"
    "Fam49,1,0048008,1,N,0,147,1980,4,11\r\n"
    "Fam50,0,0049008,2,A,1,150,2000,5,12\r\n"
    "Grp1,5001,1,1,01,1,15,1,03,6101,6102,6103,6104,6105,6106,6107,6108,6109,6110,6111,6112,6113,6114,6115,6116,6117,6118,6119,6120,Ward 1, east wing\r\n"
    "Grp2,5002,1,1,02,0,14,1,04,6201,6202,6203,6204,6205,6206,6207,6208,6209,6210,6211,6212,6213,6214,6215,6216,6217,6218,6219,6220,Ward 2, east wing\r\n"
    "Grp3,5003,1,1,03,1,13,1,05,6301,6302,6303,6304,6305,6306,6307,6308,6309,6310,6311,6312,6313,6314,6315,6316,6317,6318,6319,6320,Ward 3, east wing\r\n"
    "Grp4,5004,1,1,04,0,12,1,06,6401,6402,6403,6404,6405,6406,6407,6408,6409,6410,6411,6412,6413,6414,6415,6416,6417,6418,6419,6420,Ward 4, east wing\r\n"
    "Grp5,5005,1,1,05,1,11,1,07,6501,6502,6503,6504,6505,6506,6507,6508,6509,6510,6511,6512,6513,6514,6515,6516,6517,6518,6519,6520,Ward 5, east wing\r\n"
    "Grp6,5006,1,1,06,0,10,1,08,6601,6602,6603,6604,6605,6606,6607,6608,6609,6610,6611,6612,6613,6614,6615,6616,6617,6618,6619,6620,Ward 6, east wing\r\n"
    "Grp7,5007,1,1,07,1,09,1,09,6701,6702,6703,6704,6705,6706,6707,6708,6709,6710,6711,6712,6713,6714,6715,6716,6717,6718,6719,6720,Ward 7, east wing\r\n"
    "Grp8,5008,1,1,08,0,08,1,10,6801,6802,6803,6804,6805,6806,6807,6808,6809,6810,6811,6812,6813,6814,6815,6816,6817,6818,6819,6820,Ward 8, east wing\r\n"
    "Grp9,5009,1,1,09,1,07,1,11,6901,6902,6903,6904,6905,6906,6907,6908,6909,6910,6911,6912,6913,6914,6915,6916,6917,6918,6919,6920,Ward 9, east wing\r\n"
    "Grp10,5010,1,1,10,0,06,1,12,7001,7002,7003,7004,7005,7006,7007,7008,7009,7010,7011,7012,7013,7014,7015,7016,7017,7018,7019,7020,,edge commas,\r\n"
    "Msg1,Page 1, call desk, ext 201\r\n"
    "Msg2,Page 2, call desk, ext 202\r\n"
    "Msg3,Page 3, call desk, ext 203\r\n"
    "Msg4,Page 4, call desk, ext 204\r\n"
    "Msg5,Page 5, call desk, ext 205\r\n"
    "Msg6,Page 6, call desk, ext 206\r\n"
    "Msg7,Page 7, call desk, ext 207\r\n"
    "Msg8,Page 8, call desk, ext 208\r\n"
    "Msg9,Page 9, call desk, ext 209\r\n"
    "Msg10,Page 10, call desk, ext 210\r\n"
    "Msg11,Page 11, call desk, ext 211\r\n"
    "Msg12,Page 12, call desk, ext 212\r\n"
    "Msg13,Page 13, call desk, ext 213\r\n"
    "Msg14,Page 14, call desk, ext 214\r\n"
    "Msg15,,\r\n"
    "InvertData,1\r\n"
    "InvertRFCD,1\r\n"
    "DutyCycle,50\r\n"
    "MaxBatch,32\r\n"
    "IgnoreRFCD,1\r\n"
    "IncCapsby8,1\r\n"
    "Serial1 PPHReset,0\r\n"
    "Serial2 PPHReset,0\r\n"
    "Serial1 IDAsCap,1\r\n"
    "Serial2 IDAsCap,1\r\n"
    "Serial1 Flow,SW\r\n"
    "Serial2 Flow,AHW\r\n"
    "Serial1 Protocol,COMP1\r\n"
    "Serial2 Protocol,SNPP\r\n"
    "Serial1 Baud,2400\r\n"
    "Serial2 Baud,1200\r\n"
    "Serial1 Databits,E71\r\n"
    "Serial2 Databits,E71\r\n"
    "Serial1 Verbose,1\r\n"
    "Serial2 Verbose,1\r\n"
    "Notes,\"Rack \"B\", shelf 2, ask for \"Sam\"\"\r\n";

}  // namespace pg8test
