// A stand-in for the test console as the paging engines see it, and a
// paging input played on a pseudo-terminal that answers each frame it takes
// with the next scripted reply.
#pragma once

#include "database/state.h"
#include "link/encoderlink.h"
#include "paging/commlog.h"
#include "paging/paginghost.h"
#include "platform/system.h"
#include "support/prompts.h"
#include "support/ptypeer.h"

#include <QByteArray>
#include <QList>
#include <QListWidget>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace paging_test {

// The console's part: its log list, its one-shot tick and its pager ID box.
class TestHost : public PagingHost {
public:
    TestHost()
    {
        QObject::connect(&tick, &platform::Timer::fired, [this] {
            ++ticks;
            gWait.bTimer1Expired = true;
            tick.setEnabled(false);
        });
    }
    QListWidget *logList() override { return &list; }
    platform::Timer *tickTimer() override { return &tick; }
    QString pagerIdText() const override { return pin; }

    // The list from its oldest line to its latest.
    QStringList oldestFirst() const
    {
        QStringList out;
        for (int i = list.count() - 1; i >= 0; --i)
            out << list.item(i)->text();
        return out;
    }

    QListWidget list;
    platform::Timer tick{1000};
    int ticks = 0;  // how often the tick ran out
    QString pin;
};

// The paging input: collects what the program writes, cuts it into frames
// with `isComplete` (given what arrived since the last frame, the length of
// the first complete frame, or 0) and answers each frame with the next reply
// of the script; an empty reply answers nothing.
class ScriptedInput {
public:
    using Cutter = std::function<qsizetype(const QByteArray &)>;

    ScriptedInput(testing_support::PtyPeer &peer, Cutter cutter) : m_peer(peer), m_cut(std::move(cutter))
    {
        m_poll.setInterval(1);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start();
    }
    void reply(const QByteArray &bytes) { m_replies.append(bytes); }
    void replies(std::initializer_list<QByteArray> list)
    {
        for (const QByteArray &b : list)
            m_replies.append(b);
    }
    const QList<QByteArray> &frames() const { return m_frames; }
    QByteArray leftover() const { return m_buffer; }
    // Runs after each frame is answered (with the frame's index).
    std::function<void(int)> afterFrame;

    // A frame ends with the given bytes.
    static Cutter endsWith(const QByteArray &end)
    {
        return [end](const QByteArray &b) -> qsizetype {
            const qsizetype at = b.indexOf(end);
            return at < 0 ? 0 : at + end.size();
        };
    }

private:
    void poll()
    {
        m_buffer += m_peer.readNow();
        for (;;) {
            const qsizetype n = m_cut(m_buffer);
            if (n <= 0)
                break;
            m_frames.append(m_buffer.left(n));
            m_buffer.remove(0, n);
            if (!m_replies.isEmpty()) {
                const QByteArray r = m_replies.takeFirst();
                if (!r.isEmpty())
                    m_peer.write(r);
            }
            if (afterFrame)
                afterFrame(int(m_frames.size()) - 1);
        }
    }
    testing_support::PtyPeer &m_peer;
    Cutter m_cut;
    QTimer m_poll;
    QList<QByteArray> m_replies;
    QList<QByteArray> m_frames;
    QByteArray m_buffer;
};

// The link open on a pseudo-terminal, the host installed, a fixed clock.
class PagingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        platform::SetTimeScale(1.0);
        ASSERT_TRUE(peer.isOpen());
        m_oldVar = qgetenv("QV_COM1");
        qputenv("QV_COM1", peer.slavePath().toLocal8Bit());
        link = std::make_unique<EncoderLink>();
        ASSERT_EQ(gLink, link.get());
        ASSERT_TRUE(link->MSComm1.setCommPort(1));
        ASSERT_TRUE(link->MSComm1.setPortOpen(true)) << link->MSComm1.ErrorText().toStdString();
        SetPagingHost(&host);
        SetLogClock([] { return QDateTime(QDate(2024, 3, 4), QTime(13, 5, 9)); });
        CloseCommLogFile();
        sLogLine.clear();
    }
    void TearDown() override
    {
        CloseCommLogFile();
        SetPagingHost(nullptr);
        SetLogClock({});
        link.reset();
        qputenv("QV_COM1", m_oldVar);
        platform::SetTimeScale(1.0);
        ResetSharedState();
    }

    QStringList log() const { return host.oldestFirst(); }

    testing_support::PtyPeer peer;
    testing_support::ScriptedPrompts prompts;
    std::unique_ptr<EncoderLink> link;
    TestHost host;

private:
    QByteArray m_oldVar;
};

// The time stamp of the fixed clock.
inline const QString kStamp = QStringLiteral("3/4/24 1:05 PM");

}  // namespace paging_test
