// Composition of trace lines, file names and the bytes written to the files.

#include "logging/LogFilePath.h"
#include "logging/LogLineFormat.h"

#include <gtest/gtest.h>

using namespace Corvani::Nuv::Logging;

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm time = {};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TEST(LogFilePath, DateWithoutLeadingZerosBeforeTheBaseName) {
    EXPECT_EQ(L"D:\\Data\\logs\\2016-3-7-CP.log",
              BuildLogFilePath(L"D:\\Data\\logs\\", At(2016, 3, 7, 14, 5, 9), L"CP.log"));
    EXPECT_EQ(L"C:\\l\\2016-12-31-PipeServer.log",
              BuildLogFilePath(L"C:\\l\\", At(2016, 12, 31, 23, 59, 59), L"PipeServer.log"));
    EXPECT_EQ(L"2001-1-1-PipeClient.log", BuildLogFilePath(L"", At(2001, 1, 1, 0, 0, 0), L"PipeClient.log"));
}

TEST(LogLineFormat, CPLineReadsAsTheExample) {
    const std::string message =
        ComposeCPMessage(MessagePrefix(812, " | "), 104, "NuvCredential::Initialize | 1");
    const std::wstring line =
        ComposeOutputText(FormatLineTime(At(2016, 3, 7, 14, 5, 9)), BuildLinePrefix(812, 96),
                          std::wstring(message.begin(), message.end()));
    EXPECT_EQ(L"2016-03-07.14:05:09 | 812 | 96 | 812 | 104 | NuvCredential::Initialize | 1", line);
}

TEST(LogLineFormat, BannerTimeUsesTheSameFormat) {
    EXPECT_EQ("2016-03-07.04:05:09", FormatBannerTime(At(2016, 3, 7, 4, 5, 9)));
}

TEST(LogFileBytes, OneBytePerCharacterAndCRLF) {
    EXPECT_EQ("abc\r\n", ToLogFileBytes(L"abc"));
    EXPECT_EQ("\r\n", ToLogFileBytes(L""));
    EXPECT_EQ(std::string("caf\xE9 \xFF\x80\r\n"), ToLogFileBytes(L"caf\u00E9 \u00FF\u0080"));
    EXPECT_EQ("one\r\ntwo\r\n", ToLogFileBytes(L"one\ntwo"));
}

TEST(LogFileBytes, CharactersAbove255BecomeQuestionMarksAndTheLineGoesOn) {
    EXPECT_EQ("5? and ?? end\r\n", ToLogFileBytes(L"5\u20AC and \u0100\u4E2D end"));
    EXPECT_EQ("?\r\n", ToLogFileBytes(L"\uFFFF"));
}

} // namespace
