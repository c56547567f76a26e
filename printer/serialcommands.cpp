#include "printer/serialcommands.h"

const QString CMD_SEND_ACK = QStringLiteral("10");
const QString CMD_SEND_MDL = QStringLiteral("12");
const QString CMD_LEDS_FDO = QStringLiteral("89");

const QString ANS_RECV_ACK = QStringLiteral("OK");
const QString ANS_RECV_MDL = QStringLiteral("Tarvisomel");
const QString ANS_RECV_EOS = QStringLiteral("ES");
const QString ANS_RECV_LED = QStringLiteral("??");

const QString CMD_MTR_100U = QStringLiteral("40");
const QString CMD_MTR_100S = QStringLiteral("30");
const QString CMD_MTR_100D = QStringLiteral("20");
const QString CMD_MTR_075U = QStringLiteral("77");
const QString CMD_MTR_075S = QStringLiteral("76");
const QString CMD_MTR_075D = QStringLiteral("75");
const QString CMD_MTR_050U = QStringLiteral("41");
const QString CMD_MTR_050S = QStringLiteral("31");
const QString CMD_MTR_050D = QStringLiteral("21");
const QString CMD_MTR_025U = QStringLiteral("42");
const QString CMD_MTR_025S = QStringLiteral("32");
const QString CMD_MTR_025D = QStringLiteral("22");
const QString CMD_MTR_300U = QStringLiteral("50");
const QString CMD_MTR_300D = QStringLiteral("51");
const QString CMD_MTR_RLSE = QStringLiteral("52");

const QString CMD_LEDS_001 = QStringLiteral("64");
const QString CMD_LEDS_002 = QStringLiteral("65");
const QString CMD_LEDS_003 = QStringLiteral("60");
const QString CMD_LEDS_004 = QStringLiteral("61");
const QString CMD_LEDS_005 = QStringLiteral("62");
const QString CMD_LEDS_006 = QStringLiteral("63");
const QString CMD_LEDS_OFF = QStringLiteral("66");
const QString CMD_LEDS_ON = QStringLiteral("67");
const QString CMD_LEDS_END = QStringLiteral("68");
