// A fresh program for each test: its folder in a temporary directory with a
// "setup.ini", an empty settings store, scripted boxes, recorded shell calls.
#pragma once

#include "support/prompts.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class frmTerminal;

namespace testing_support {

// A device name for port number `port` that leads nowhere, of this test
// program's own: a name no other process locks (see DeviceLink).
QByteArray NowhereDevice(int port);

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces "setup.ini" in the program's folder (raw bytes).
    void writeIni(const QByteArray &content);
    void removeIni();
    // Stored setting of section "Properties" under the program's title.
    static QString stored(const QString &key);
    static void store(const QString &key, const QString &value);

    // Starts the program as a user does: the splash loads the main window.
    frmTerminal *start();
    // Closes the splash (as its timer would) so the main window shows.
    void closeSplash();
    // Unloads everything without the exit question.
    void shutDown();

    QString appDir() const { return m_dir.path(); }

    QTemporaryDir m_dir;
    ScriptedPrompts prompts;
    QStringList shellRequests;
};

}  // namespace testing_support
