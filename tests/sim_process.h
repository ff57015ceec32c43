#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

// Runs the built jellybox-sim (JB_SIM_PROGRAM) to its end, expects it to succeed, and returns
// what it printed on standard output.
inline QByteArray runSim(const QStringList& arguments)
{
    QProcess sim;
    sim.start(QStringLiteral(JB_SIM_PROGRAM), arguments);
    EXPECT_TRUE(sim.waitForFinished(-1));
    EXPECT_EQ(QProcess::NormalExit, sim.exitStatus());
    EXPECT_EQ(0, sim.exitCode()) << sim.readAllStandardError().constData();
    return sim.readAllStandardOutput();
}
