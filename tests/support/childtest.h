#pragma once
// Runs one test of this test program in a process of its own (another
// display, another screen density) and expects it to pass there.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <string>

inline void ExpectChildTestPasses(const QProcessEnvironment& env, const QString& filter) {
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + filter});
    const bool finished = child.waitForFinished(120000);
    const std::string output = child.readAll().toStdString();
    if (!finished)
        child.kill(), child.waitForFinished();
    ASSERT_TRUE(finished) << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}
