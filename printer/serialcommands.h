#pragma once

#include <QString>

// The printer's wire vocabulary: every command is two ASCII characters sent bare; only "10" and
// "12" are ever answered by something the host waits for.
extern const QString CMD_SEND_ACK;
extern const QString CMD_SEND_MDL;
extern const QString CMD_LEDS_FDO;

extern const QString ANS_RECV_ACK;
extern const QString ANS_RECV_MDL;
extern const QString ANS_RECV_EOS;
extern const QString ANS_RECV_LED;

extern const QString CMD_MTR_100U;
extern const QString CMD_MTR_100S;
extern const QString CMD_MTR_100D;
extern const QString CMD_MTR_075U;
extern const QString CMD_MTR_075S;
extern const QString CMD_MTR_075D;
extern const QString CMD_MTR_050U;
extern const QString CMD_MTR_050S;
extern const QString CMD_MTR_050D;
extern const QString CMD_MTR_025U;
extern const QString CMD_MTR_025S;
extern const QString CMD_MTR_025D;
extern const QString CMD_MTR_300U;
extern const QString CMD_MTR_300D;
extern const QString CMD_MTR_RLSE;

extern const QString CMD_LEDS_001;
extern const QString CMD_LEDS_002;
extern const QString CMD_LEDS_003;
extern const QString CMD_LEDS_004;
extern const QString CMD_LEDS_005;
extern const QString CMD_LEDS_006;
extern const QString CMD_LEDS_OFF;
extern const QString CMD_LEDS_ON;
extern const QString CMD_LEDS_END;
