#pragma once
// Runs tests of this test program in a process of its own (another
// display, another screen density) and expects them to pass there: `count`
// of them, none skipped.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <string>

inline void ExpectChildTestPasses(const QProcessEnvironment& env, const QString& filter,
                                  int count = 1) {
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
    const std::string passed =
        "[  PASSED  ] " + std::to_string(count) + (count == 1 ? " test." : " tests.");
    EXPECT_NE(output.find(passed), std::string::npos) << output;
}
