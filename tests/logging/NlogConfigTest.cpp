// The log directory taken from the text of the service's logging configuration.

#include "logging/NlogConfig.h"

#include <gtest/gtest.h>

using Corvani::Nuv::Logging::ContainsBaseDirPlaceholder;
using Corvani::Nuv::Logging::FindLogsDirectoryInConfig;

namespace {

TEST(NlogConfigText, ValueIsCutAfterItsLastSeparator) {
    EXPECT_EQ("D:\\Data\\logs\\",
              FindLogsDirectoryInConfig("<target fileName=\"D:\\Data\\logs\\service.log\" />"));
    EXPECT_EQ("${basedir}/logs/",
              FindLogsDirectoryInConfig("<target fileName=\"${basedir}/logs/service.log\"/>"));
    EXPECT_EQ("C:/a\\b/", FindLogsDirectoryInConfig("fileName=\"C:/a\\b/c.log\""));
    EXPECT_EQ("service.log", FindLogsDirectoryInConfig("fileName=\"service.log\""));
    EXPECT_EQ("C:\\logs\\",
              FindLogsDirectoryInConfig("<nlog>\r\n  <t fileName=\"C:\\logs\\a.log\" />\r\n</nlog>\r\n"));
}

TEST(NlogConfigText, FirstMatchingLineDecidesEvenInsideAComment) {
    const char config[] = "<nlog>\n"
                          "<!-- <target fileName=\"C:\\old\\x.log\" /> -->\n"
                          "<target fileName=\"D:\\new\\y.log\" />\n";
    EXPECT_EQ("C:\\old\\", FindLogsDirectoryInConfig(config));
}

TEST(NlogConfigText, UnclosedValueGivesEmptyTextAndStopsTheSearch) {
    EXPECT_EQ("", FindLogsDirectoryInConfig("fileName=\"C:\\a\\b.log\nfileName=\"D:\\x\\y.log\"\n"));
    EXPECT_EQ("", FindLogsDirectoryInConfig("fileName=\"\"")); // an empty value is found, and empty
}

TEST(NlogConfigText, KeyMustBeSpelledExactlyAndFollowedByAQuote) {
    EXPECT_FALSE(FindLogsDirectoryInConfig("<target FileName=\"D:\\Data\\logs\\service.log\" />"));
    EXPECT_FALSE(FindLogsDirectoryInConfig("<target fileName = \"D:\\logs\\s.log\" />"));
    EXPECT_FALSE(FindLogsDirectoryInConfig("<target fileName='D:\\logs\\s.log' />"));
    EXPECT_FALSE(FindLogsDirectoryInConfig(""));
    EXPECT_FALSE(FindLogsDirectoryInConfig("\n\n"));
}

TEST(NlogConfigText, BaseDirPlaceholderIsCaseSensitive) {
    EXPECT_TRUE(ContainsBaseDirPlaceholder(L"${basedir}/logs/"));
    EXPECT_FALSE(ContainsBaseDirPlaceholder(L"${BaseDir}/logs/"));
    EXPECT_FALSE(ContainsBaseDirPlaceholder(L"D:\\Data\\logs\\"));
}

} // namespace
