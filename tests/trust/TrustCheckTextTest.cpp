// The text rules of the trust check.

#include "platform/TrustCheckText.h"

#include <gtest/gtest.h>

namespace {

using namespace Corvani::Nuv::Platform;

TEST(TrustCheckPaths, OnlyPathsIndependentOfTheCurrentDirectoryCount) {
    EXPECT_TRUE(IsFullyQualifiedPath(L"C:\\Program Files\\Halvex\\Corvani.Halvex.UI.exe"));
    EXPECT_TRUE(IsFullyQualifiedPath(L"z:/work/ui.exe"));
    EXPECT_TRUE(IsFullyQualifiedPath(L"\\\\server\\share\\ui.exe"));
    EXPECT_TRUE(IsFullyQualifiedPath(L"\\\\?\\C:\\long\\ui.exe"));

    EXPECT_FALSE(IsFullyQualifiedPath(L""));
    EXPECT_FALSE(IsFullyQualifiedPath(L"Corvani.Halvex.UI.exe"));
    EXPECT_FALSE(IsFullyQualifiedPath(L"\\Corvani.Halvex.UI.exe")); // on the current drive
    EXPECT_FALSE(IsFullyQualifiedPath(L"C:Corvani.Halvex.UI.exe")); // in the drive's current directory
    EXPECT_FALSE(IsFullyQualifiedPath(L"1:\\ui.exe"));
    EXPECT_FALSE(IsFullyQualifiedPath(std::wstring(L"C:\\signed.exe\0\\..\\other.exe", 27)));
}

TEST(TrustCheckPaths, HashesBecomeUpperCaseHexTags) {
    EXPECT_EQ(UpperHex({}), L"");
    EXPECT_EQ(UpperHex({0x00, 0x0F, 0xA5, 0xFF}), L"000FA5FF");
}

} // namespace
