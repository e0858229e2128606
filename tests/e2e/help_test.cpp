// qf's usage text and usage errors.
#include <gtest/gtest.h>

#include "common/qf_runner.h"

TEST(QfUsage, HelpPrintsUsageAndSucceeds) {
    QfResult r = runQf({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("Usage: qf"), std::string::npos) << r.out;
}

TEST(QfUsage, MissingArgumentsIsAUsageError) {
    QfResult r = runQf({});
    EXPECT_EQ(r.exitCode, 2);
}
