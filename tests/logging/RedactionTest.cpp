// Masking of sensitive fields: the rules on hand-picked texts.

#include "logging/Redaction.h"

#include <gtest/gtest.h>

using Corvani::Nuv::Logging::RedactSensitiveFields;

namespace {

std::wstring Redacted(std::wstring text) {
    RedactSensitiveFields(text);
    return text;
}

TEST(Redaction, ValuesBecomeXBetweenTheirDelimiters) {
    EXPECT_EQ(L"{\"pwd\":\"X\",\"user\":\"bob\"}", Redacted(L"{\"pwd\":\"s3cr3t\",\"user\":\"bob\"}"));
    EXPECT_EQ(L"{\"faceData\":[X]}", Redacted(L"{\"faceData\":[1,2,3]}"));
    EXPECT_EQ(L"{\"otpInfo\":{X}}", Redacted(L"{\"otpInfo\":{\"code\":\"123\"}}"));
    EXPECT_EQ(L"{\"faceData\":[X],\"otpInfo\":{X}}", Redacted(L"{\"faceData\":[4,5],\"otpInfo\":{\"a\":1}}"));
    EXPECT_EQ(L"NuvPipeServer::Read | \"image\":\"X\" tail",
              Redacted(L"NuvPipeServer::Read | \"image\":\"AAEC\" tail"));
}

TEST(Redaction, BlanksMayStandAroundTheColon) {
    EXPECT_EQ(L"{\"pwd\": \"X\"}", Redacted(L"{\"pwd\": \"s3cr3t\"}"));
    EXPECT_EQ(L"{\"pwd\" :\t\"X\"}", Redacted(L"{\"pwd\" :\t\"s3cr3t\"}"));
    EXPECT_EQ(L"{\"faceData\"\r\n:\r\n [X]}", Redacted(L"{\"faceData\"\r\n:\r\n [1, 2]}"));
    EXPECT_EQ(L"{\"otpInfo\" : {X}}", Redacted(L"{\"otpInfo\" : {\"a\": 1}}"));
}

TEST(Redaction, EmptyValues) {
    EXPECT_EQ(L"{\"faceData\":[]}", Redacted(L"{\"faceData\":[]}"));
    EXPECT_EQ(L"{\"pwd\":\"\"}", Redacted(L"{\"pwd\":\"\"}"));
    EXPECT_EQ(L"{\"otpInfo\":{X}}", Redacted(L"{\"otpInfo\":{}}"));
    EXPECT_EQ(L"{\"faceData\":[X]}", Redacted(L"{\"faceData\":[ ]}"));
}

TEST(Redaction, NestedValuesEndAtTheirMatchingCloser) {
    EXPECT_EQ(L"{\"faceData\":[X],\"n\":1}", Redacted(L"{\"faceData\":[[1,2],[3]],\"n\":1}"));
    EXPECT_EQ(L"{\"otpInfo\":{X},\"c\":2}", Redacted(L"{\"otpInfo\":{\"a\":{\"b\":1},\"d\":[{}]},\"c\":2}"));
    // Closers inside strings, and closers of the other kind, do not end the value.
    EXPECT_EQ(L"{\"faceData\":[X],\"n\":1}", Redacted(L"{\"faceData\":[\"a]b\",{\"c\":\"]}\"}],\"n\":1}"));
    EXPECT_EQ(L"{\"passwordResetData\":{X}}",
              Redacted(L"{\"passwordResetData\":{\"q\":\"}\",\"l\":[1,\"{\"]}}"));
}

TEST(Redaction, StringsEndAtTheFirstUnescapedQuote) {
    EXPECT_EQ(L"{\"pwd\":\"X\",\"u\":\"v\"}", Redacted(L"{\"pwd\":\"ab\\\"cd\",\"u\":\"v\"}"));
    EXPECT_EQ(L"{\"pwd\":\"X\",\"u\":\"v\"}", Redacted(L"{\"pwd\":\"ab\\\\\",\"u\":\"v\"}"));
    EXPECT_EQ(L"{\"pwd\":\"X\"}", Redacted(L"{\"pwd\":\"\\\"\"}"));
}

TEST(Redaction, MissingCloserMasksToTheEnd) {
    EXPECT_EQ(L"{\"pwd\":\"X", Redacted(L"{\"pwd\":\"abc, u:1}"));
    EXPECT_EQ(L"{\"pwd\":\"X", Redacted(L"{\"pwd\":\"ab\\\""));
    EXPECT_EQ(L"{\"faceData\":[X", Redacted(L"{\"faceData\":[[1,2],[3]"));
    EXPECT_EQ(L"{\"faceData\":[X", Redacted(L"{\"faceData\":[\"]"));
    EXPECT_EQ(L"{\"otpInfo\":{X", Redacted(L"{\"otpInfo\":{\"a\":{\"b\":1}"));
    EXPECT_EQ(L"\"pwd\":\"X", Redacted(L"\"pwd\":\""));
}

TEST(Redaction, EveryOccurrenceIsMasked) {
    EXPECT_EQ(L"[{\"pwd\":\"X\"},{\"pwd\":\"X\"}]", Redacted(L"[{\"pwd\":\"one\"},{\"pwd\":\"two\"}]"));
    // An occurrence that is not a key does not shield the next one.
    EXPECT_EQ(L"{\"keys\":[\"pwd\"],\"pwd\":\"X\"}", Redacted(L"{\"keys\":[\"pwd\"],\"pwd\":\"two\"}"));
    EXPECT_EQ(L"{\"otpInfo\":1,\"otpInfo\":{X}}", Redacted(L"{\"otpInfo\":1,\"otpInfo\":{\"a\":2}}"));
    // A quote that closes a key or a value may open the next occurrence.
    EXPECT_EQ(L"\"pwd\"pwd\": \"X\"", Redacted(L"\"pwd\"pwd\": \"s\""));
    EXPECT_EQ(L"\"pwd\": \"X\"pwd\": \"X\"", Redacted(L"\"pwd\": \"a\"pwd\": \"s\""));
    EXPECT_EQ(L"\"pwd\": \"\"pwd\": \"X\"", Redacted(L"\"pwd\": \"\"pwd\": \"s\""));
}

TEST(Redaction, OnlyExactQuotedKeysOfTheRightKindAreMasked) {
    const std::wstring untouched[] = {
        L"{\"Pwd\":\"abc\"}",
        L"{\"PWD\":\"abc\"}",
        L"{\"pwd\":123}",
        L"{\"mypwd\":\"abc\"}",
        L"{\"pwdx\":\"abc\"}",
        L"{pwd:\"abc\"}",
        L"{\"faceData\":\"abc\"}",
        L"{\"otpInfo\":[1]}",
        L"{\"pwd\",\"abc\"}",
        L"{\"note\":\"\\\"pwd\\\":\\\"abc\\\"\"}",
        L"\"pwd\"",
        L"\"pwd\":",
        L"\"pwd\" : ",
    };
    for (const std::wstring& text : untouched)
        EXPECT_EQ(text, Redacted(text));
}

TEST(Redaction, OverlappingKeyNamesEachMatchOnlyThemselves) {
    EXPECT_EQ(L"{\"hxReEnrollToken\":\"X\",\"reEnrollToken\":\"X\"}",
              Redacted(L"{\"hxReEnrollToken\":\"a\",\"reEnrollToken\":\"b\"}"));
    EXPECT_EQ(L"{\"OAuthTransId\":\"X\",\"oTransId\":\"X\"}",
              Redacted(L"{\"OAuthTransId\":\"a\",\"oTransId\":\"b\"}"));
    EXPECT_EQ(L"{\"hxDeviceId\":\"X\",\"deviceId\":\"X\"}",
              Redacted(L"{\"hxDeviceId\":\"a\",\"deviceId\":\"b\"}"));
}

TEST(Redaction, SecretsInsideMaskedValuesLeaveNoTrace) {
    EXPECT_EQ(L"{\"otpInfo\":{X},\"pwd\":\"X\"}",
              Redacted(L"{\"otpInfo\":{\"pwd\":\"in\"},\"pwd\":\"out\"}"));
    EXPECT_EQ(L"{\"faceData\":[X]}", Redacted(L"{\"faceData\":[{\"image\":\"abc\"}]}"));
}

// A trace line without a double quote skips the masking: that holds only while every key begins with one.
TEST(Redaction, EveryKeyBeginsWithTheQuoteThatLetsOtherLinesSkipTheMasking) {
    for (const auto& key : Corvani::Nuv::Logging::SensitiveKeys())
        EXPECT_TRUE(!key.text.empty() && key.text.front() == L'"') << std::wstring(key.text).c_str();
    EXPECT_FALSE(Corvani::Nuv::Logging::MayHoldSensitiveField(L"NuvCredential::LaunchUI | 0 pwd: s3cr3t"));
}

} // namespace
