// The one link to the encoder: the main window's serial port and its two
// one-shot timers, whose handlers set the wait flags.
#pragma once

#include "platform/serialport.h"
#include "platform/system.h"

#include <QObject>

class EncoderLink : public QObject {
    Q_OBJECT
public:
    explicit EncoderLink(QObject *parent = nullptr);
    ~EncoderLink() override;

    platform::SerialPort MSComm1;
    platform::Timer Timer1{1000};  // general time-out: sets bTimer1Expired
    platform::Timer Timer2{6000};  // reply time-out of every encoder command: sets bReplyTimeout

    void Timer1_Timer();
    void Timer2_Timer();
};

// The link in use; the main window creates it, tests may make their own.
extern EncoderLink *gLink;
