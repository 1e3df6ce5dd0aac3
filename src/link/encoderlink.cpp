#include "link/encoderlink.h"

#include "database/state.h"

EncoderLink *gLink = nullptr;

EncoderLink::EncoderLink(QObject *parent) : QObject(parent)
{
    connect(&Timer1, &platform::Timer::fired, this, &EncoderLink::Timer1_Timer);
    connect(&Timer2, &platform::Timer::fired, this, &EncoderLink::Timer2_Timer);
    if (!gLink)
        gLink = this;
}

EncoderLink::~EncoderLink()
{
    if (gLink == this)
        gLink = nullptr;
}

void EncoderLink::Timer1_Timer()
{
    gWait.bTimer1Expired = true;
    Timer1.setEnabled(false);
}

void EncoderLink::Timer2_Timer()
{
    Timer2.setEnabled(false);
    gWait.bReplyTimeout = true;
}
