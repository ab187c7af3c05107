// The packed interactive-logon buffer, byte by byte.

#include "credential/LogonBuffer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Corvani::Nuv::CredentialProvider;

namespace {

uint64_t ReadLittleEndian(const std::vector<uint8_t>& buffer, size_t offset, size_t bytes) {
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(buffer.at(offset + i)) << (8 * i);
    return value;
}

struct Described {
    uint64_t length, maximumLength, offset;
};

Described DescriptorAt(const std::vector<uint8_t>& buffer, size_t offset) {
    return {ReadLittleEndian(buffer, offset, 2), ReadLittleEndian(buffer, offset + 2, 2),
            ReadLittleEndian(buffer, offset + 8, 8)};
}

std::vector<uint8_t> Pack(uint32_t type, const LogonTexts& texts) {
    std::vector<uint8_t> buffer(LogonBufferSize(texts), 0xCC);
    PackLogonBuffer(type, texts, buffer.data());
    return buffer;
}

std::u16string TextAt(const std::vector<uint8_t>& buffer, const Described& descriptor) {
    std::u16string text;
    for (uint64_t i = 0; i < descriptor.length; i += 2)
        text.push_back(static_cast<char16_t>(ReadLittleEndian(buffer, descriptor.offset + i, 2)));
    return text;
}

TEST(LogonBuffer, OneCharacterTextsMakeSeventyBytes) {
    const auto buffer = Pack(kKerbInteractiveLogon, {u"D", u"U", u"P"});
    ASSERT_EQ(70u, buffer.size());
    EXPECT_EQ(2u, ReadLittleEndian(buffer, 0, 4));
    EXPECT_EQ(0u, ReadLittleEndian(buffer, 4, 4)); // padding
    const Described domain = DescriptorAt(buffer, 8), user = DescriptorAt(buffer, 24), password = DescriptorAt(buffer, 40);
    EXPECT_EQ((Described{2, 2, 64}.offset), domain.offset);
    EXPECT_EQ(2u, domain.length);
    EXPECT_EQ(2u, domain.maximumLength);
    EXPECT_EQ(66u, user.offset);
    EXPECT_EQ(68u, password.offset);
    EXPECT_EQ(2u, password.maximumLength);
    EXPECT_EQ(0u, ReadLittleEndian(buffer, 56, 8)); // logon id
    EXPECT_EQ(u"D", TextAt(buffer, domain));
    EXPECT_EQ(u"U", TextAt(buffer, user));
    EXPECT_EQ(u"P", TextAt(buffer, password));
}

TEST(LogonBuffer, HeaderPaddingIsZeroedWhateverTheBufferHeld) {
    const auto buffer = Pack(kKerbWorkstationUnlockLogon, {u"corp", u"alice", u"pw"});
    EXPECT_EQ(7u, ReadLittleEndian(buffer, 0, 4));
    for (size_t padding : {4u, 12u, 28u, 44u})
        EXPECT_EQ(0u, ReadLittleEndian(buffer, padding, 4)) << padding;
}

TEST(LogonBuffer, TextsFollowEachOtherWithoutTerminators) {
    const auto buffer = Pack(kKerbInteractiveLogon, {u"CORP", u"alice", u"S3cret!"});
    ASSERT_EQ(64u + 8 + 10 + 14, buffer.size());
    const Described user = DescriptorAt(buffer, 24), password = DescriptorAt(buffer, 40);
    EXPECT_EQ(72u, user.offset);
    EXPECT_EQ(82u, password.offset);
    EXPECT_EQ(14u, password.length);
    EXPECT_EQ(u"S3cret!", TextAt(buffer, password));
    // Non-ASCII characters travel as UTF-16LE code units.
    const auto umlaut = Pack(kKerbInteractiveLogon, {u"", u"j\u00f6rg", u""});
    EXPECT_EQ(0xF6u, umlaut[64 + 2]);
    EXPECT_EQ(0x00u, umlaut[64 + 3]);
}

TEST(LogonBuffer, EmptyDomainSharesItsOffsetWithTheUser) {
    const auto buffer = Pack(kKerbInteractiveLogon, {u"", u"bob", u"x"});
    const Described domain = DescriptorAt(buffer, 8), user = DescriptorAt(buffer, 24);
    EXPECT_EQ(0u, domain.length);
    EXPECT_EQ(64u, domain.offset);
    EXPECT_EQ(64u, user.offset);
    const auto empty = Pack(kKerbInteractiveLogon, {u"", u"", u""});
    EXPECT_EQ(64u, empty.size());
}

TEST(LogonBuffer, LongestTextIs32767Characters) {
    const std::u16string longest(32767, u'a'), tooLong(32768, u'a');
    EXPECT_TRUE(LogonTextsFit({u"d", longest, u"p"}));
    EXPECT_FALSE(LogonTextsFit({tooLong, u"u", u"p"}));
    EXPECT_FALSE(LogonTextsFit({u"d", tooLong, u"p"}));
    EXPECT_FALSE(LogonTextsFit({u"d", u"u", tooLong}));
    const auto buffer = Pack(kKerbInteractiveLogon, {u"d", longest, u"p"});
    const Described user = DescriptorAt(buffer, 24);
    EXPECT_EQ(65534u, user.length);
    EXPECT_EQ(65534u, user.maximumLength);
    EXPECT_EQ(66u + 65534, DescriptorAt(buffer, 40).offset);
}

} // namespace
