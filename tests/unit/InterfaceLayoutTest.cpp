// Our declarations of the credential-provider and UI Automation interfaces against the Windows SDK's identifiers, values and
// method order, written out here: a wrong identifier or a method in the wrong slot breaks LogonUI silently.

#include "platform/CredentialProviderApi.h"
#include "platform/UIAutomationApi.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

// The vtable slot of a virtual member function. Under the Itanium C++ ABI (which mingw-w64's g++ uses), a
// pointer to a virtual member function holds 1 + the byte offset of its vtable entry.
template <typename Method> size_t Slot(Method method) {
    struct Representation {
        ptrdiff_t pointer;
        ptrdiff_t adjustment;
    } representation;
    static_assert(sizeof(method) == sizeof(representation), "unexpected member-pointer layout");
    std::memcpy(&representation, &method, sizeof(representation));
    return static_cast<size_t>(representation.pointer - 1) / sizeof(void*);
}

GUID Guid(unsigned long d1, unsigned short d2, unsigned short d3, std::initializer_list<unsigned char> d4) {
    GUID guid = {d1, d2, d3, {}};
    std::copy(d4.begin(), d4.end(), guid.Data4);
    return guid;
}

TEST(InterfaceIdentifiers, MatchTheSdk) {
    EXPECT_TRUE(IsEqualIID(Guid(0xd27c3481, 0x5a1c, 0x45b2, {0x8a, 0xaa, 0xc2, 0x0e, 0xbb, 0xe8, 0x22, 0x9e}),
                           IID_ICredentialProvider));
    EXPECT_TRUE(IsEqualIID(Guid(0x63913a93, 0x40c1, 0x481a, {0x81, 0x8d, 0x40, 0x72, 0xff, 0x8c, 0x70, 0xcc}),
                           IID_ICredentialProviderCredential));
    EXPECT_TRUE(IsEqualIID(Guid(0x34201e5a, 0xa787, 0x41a3, {0xa5, 0xa4, 0xbd, 0x6d, 0xcf, 0x2a, 0x85, 0x4e}),
                           IID_ICredentialProviderEvents));
    EXPECT_TRUE(IsEqualIID(Guid(0xfa6fa76b, 0x66b7, 0x4b11, {0x95, 0xf1, 0x86, 0x17, 0x11, 0x18, 0xe8, 0x16}),
                           IID_ICredentialProviderCredentialEvents));
    // __uuidof, used by the QueryInterface tables, agrees with the named constants.
    EXPECT_TRUE(IsEqualIID(__uuidof(ICredentialProvider), IID_ICredentialProvider));
    EXPECT_TRUE(IsEqualIID(__uuidof(ICredentialProviderCredential), IID_ICredentialProviderCredential));
    EXPECT_TRUE(IsEqualIID(__uuidof(ICredentialProviderEvents), IID_ICredentialProviderEvents));
    EXPECT_TRUE(IsEqualIID(__uuidof(ICredentialProviderCredentialEvents), IID_ICredentialProviderCredentialEvents));
}

TEST(InterfaceSlots, CredentialProvider) {
    using I = ICredentialProvider;
    EXPECT_EQ(3u, Slot(&I::SetUsageScenario));
    EXPECT_EQ(4u, Slot(&I::SetSerialization));
    EXPECT_EQ(5u, Slot(&I::Advise));
    EXPECT_EQ(6u, Slot(&I::UnAdvise));
    EXPECT_EQ(7u, Slot(&I::GetFieldDescriptorCount));
    EXPECT_EQ(8u, Slot(&I::GetFieldDescriptorAt));
    EXPECT_EQ(9u, Slot(&I::GetCredentialCount));
    EXPECT_EQ(10u, Slot(&I::GetCredentialAt));
}

TEST(InterfaceSlots, CredentialProviderCredential) {
    using I = ICredentialProviderCredential;
    EXPECT_EQ(1u, Slot(&I::AddRef));
    EXPECT_EQ(2u, Slot(&I::Release));
    EXPECT_EQ(3u, Slot(&I::Advise));
    EXPECT_EQ(4u, Slot(&I::UnAdvise));
    EXPECT_EQ(5u, Slot(&I::SetSelected));
    EXPECT_EQ(6u, Slot(&I::SetDeselected));
    EXPECT_EQ(7u, Slot(&I::GetFieldState));
    EXPECT_EQ(8u, Slot(&I::GetStringValue));
    EXPECT_EQ(9u, Slot(&I::GetBitmapValue));
    EXPECT_EQ(10u, Slot(&I::GetCheckboxValue));
    EXPECT_EQ(11u, Slot(&I::GetSubmitButtonValue));
    EXPECT_EQ(12u, Slot(&I::GetComboBoxValueCount));
    EXPECT_EQ(13u, Slot(&I::GetComboBoxValueAt));
    EXPECT_EQ(14u, Slot(&I::SetStringValue));
    EXPECT_EQ(15u, Slot(&I::SetCheckboxValue));
    EXPECT_EQ(16u, Slot(&I::SetComboBoxSelectedValue));
    EXPECT_EQ(17u, Slot(&I::CommandLinkClicked));
    EXPECT_EQ(18u, Slot(&I::GetSerialization));
    EXPECT_EQ(19u, Slot(&I::ReportResult));
}

TEST(InterfaceSlots, EventInterfaces) {
    EXPECT_EQ(3u, Slot(&ICredentialProviderEvents::CredentialsChanged));
    using E = ICredentialProviderCredentialEvents;
    EXPECT_EQ(3u, Slot(&E::SetFieldState));
    EXPECT_EQ(4u, Slot(&E::SetFieldInteractiveState));
    EXPECT_EQ(5u, Slot(&E::SetFieldString));
    EXPECT_EQ(6u, Slot(&E::SetFieldCheckbox));
    EXPECT_EQ(7u, Slot(&E::SetFieldBitmap));
    EXPECT_EQ(8u, Slot(&E::SetFieldComboBoxSelectedItem));
    EXPECT_EQ(9u, Slot(&E::DeleteFieldComboBoxItem));
    EXPECT_EQ(10u, Slot(&E::AppendFieldComboBoxItem));
    EXPECT_EQ(11u, Slot(&E::SetFieldSubmitButton));
    EXPECT_EQ(12u, Slot(&E::OnCreatingWindow));
}

TEST(InterfaceValues, EnumerationsAndStructures) {
    EXPECT_EQ(1, CPUS_LOGON);
    EXPECT_EQ(2, CPUS_UNLOCK_WORKSTATION);
    EXPECT_EQ(5, CPUS_PLAP);
    EXPECT_EQ(6, CPFT_TILE_IMAGE);
    EXPECT_EQ(9, CPFT_SUBMIT_BUTTON);
    EXPECT_EQ(3, CPFS_DISPLAY_IN_BOTH);
    EXPECT_EQ(3, CPFIS_FOCUSED);
    EXPECT_EQ(2, CPGSR_RETURN_CREDENTIAL_FINISHED);
    EXPECT_EQ(3, CPSI_SUCCESS);
    EXPECT_EQ(0xFFFFFFFFu, CREDENTIAL_PROVIDER_NO_DEFAULT);
    EXPECT_EQ(4u, sizeof(CREDENTIAL_PROVIDER_USAGE_SCENARIO));
    // Default alignment: the label pointer follows two 32-bit values, the GUID the pointer.
    EXPECT_EQ(8u, offsetof(CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR, pszLabel));
    EXPECT_EQ(16u, offsetof(CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR, guidFieldType));
    EXPECT_EQ(32u, sizeof(CREDENTIAL_PROVIDER_FIELD_DESCRIPTOR));
    EXPECT_EQ(4u, offsetof(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION, clsidCredentialProvider));
    EXPECT_EQ(20u, offsetof(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION, cbSerialization));
    EXPECT_EQ(24u, offsetof(CREDENTIAL_PROVIDER_CREDENTIAL_SERIALIZATION, rgbSerialization));
}

TEST(InterfaceIdentifiers, UIAutomationMatchesTheSdk) {
    EXPECT_TRUE(IsEqualCLSID(Guid(0xe22ad333, 0xb25f, 0x460c, {0x83, 0xd0, 0x05, 0x81, 0x10, 0x73, 0x95, 0xc9}),
                             CLSID_CUIAutomation8));
    EXPECT_TRUE(IsEqualIID(Guid(0x30cbe57d, 0xd9d0, 0x452a, {0xab, 0x13, 0x7a, 0xc5, 0xac, 0x48, 0x25, 0xee}),
                           IID_IUIAutomation));
    EXPECT_TRUE(IsEqualIID(Guid(0xd22108aa, 0x8ac5, 0x49a5, {0x83, 0x7b, 0x37, 0xbb, 0xb3, 0xd7, 0x59, 0x1e}),
                           IID_IUIAutomationElement));
    EXPECT_TRUE(IsEqualIID(Guid(0x352ffba8, 0x0973, 0x437c, {0xa6, 0x1f, 0xf6, 0x4c, 0xaf, 0xd8, 0x1d, 0xf9}),
                           IID_IUIAutomationCondition));
    EXPECT_TRUE(IsEqualIID(__uuidof(IUIAutomation), IID_IUIAutomation));
    EXPECT_TRUE(IsEqualIID(__uuidof(IUIAutomationElement), IID_IUIAutomationElement));
    EXPECT_TRUE(IsEqualIID(__uuidof(IUIAutomationCondition), IID_IUIAutomationCondition));
}

TEST(InterfaceSlots, UIAutomation) {
    using I = IUIAutomation;
    EXPECT_EQ(3u, Slot(&I::CompareElements));
    EXPECT_EQ(4u, Slot(&I::CompareRuntimeIds));
    EXPECT_EQ(5u, Slot(&I::GetRootElement));
    EXPECT_EQ(6u, Slot(&I::ElementFromHandle));
    EXPECT_EQ(7u, Slot(&I::ElementFromPoint));
    EXPECT_EQ(8u, Slot(&I::GetFocusedElement));
    EXPECT_EQ(9u, Slot(&I::GetRootElementBuildCache));
    EXPECT_EQ(10u, Slot(&I::ElementFromHandleBuildCache));
    EXPECT_EQ(11u, Slot(&I::ElementFromPointBuildCache));
    EXPECT_EQ(12u, Slot(&I::GetFocusedElementBuildCache));
    EXPECT_EQ(13u, Slot(&I::CreateTreeWalker));
    EXPECT_EQ(14u, Slot(&I::get_ControlViewWalker));
    EXPECT_EQ(15u, Slot(&I::get_ContentViewWalker));
    EXPECT_EQ(16u, Slot(&I::get_RawViewWalker));
    EXPECT_EQ(17u, Slot(&I::get_RawViewCondition));
    EXPECT_EQ(18u, Slot(&I::get_ControlViewCondition));
    EXPECT_EQ(19u, Slot(&I::get_ContentViewCondition));
    EXPECT_EQ(20u, Slot(&I::CreateCacheRequest));
    EXPECT_EQ(21u, Slot(&I::CreateTrueCondition));
    EXPECT_EQ(22u, Slot(&I::CreateFalseCondition));
    EXPECT_EQ(23u, Slot(&I::CreatePropertyCondition));
}

TEST(InterfaceSlots, UIAutomationElement) {
    using E = IUIAutomationElement;
    EXPECT_EQ(3u, Slot(&E::SetFocus));
    EXPECT_EQ(4u, Slot(&E::GetRuntimeId));
    EXPECT_EQ(5u, Slot(&E::FindFirst));
    EXPECT_EQ(6u, Slot(&E::FindAll));
    EXPECT_EQ(7u, Slot(&E::FindFirstBuildCache));
    EXPECT_EQ(8u, Slot(&E::FindAllBuildCache));
    EXPECT_EQ(9u, Slot(&E::BuildUpdatedCache));
    EXPECT_EQ(10u, Slot(&E::GetCurrentPropertyValue));
    EXPECT_EQ(11u, Slot(&E::GetCurrentPropertyValueEx));
    EXPECT_EQ(12u, Slot(&E::GetCachedPropertyValue));
    EXPECT_EQ(13u, Slot(&E::GetCachedPropertyValueEx));
    EXPECT_EQ(14u, Slot(&E::GetCurrentPatternAs));
    EXPECT_EQ(15u, Slot(&E::GetCachedPatternAs));
    EXPECT_EQ(16u, Slot(&E::GetCurrentPattern));
    EXPECT_EQ(17u, Slot(&E::GetCachedPattern));
    EXPECT_EQ(18u, Slot(&E::GetCachedParent));
    EXPECT_EQ(19u, Slot(&E::GetCachedChildren));
    EXPECT_EQ(20u, Slot(&E::get_CurrentProcessId));
    EXPECT_EQ(21u, Slot(&E::get_CurrentControlType));
    EXPECT_EQ(22u, Slot(&E::get_CurrentLocalizedControlType));
    EXPECT_EQ(23u, Slot(&E::get_CurrentName));
    EXPECT_EQ(24u, Slot(&E::get_CurrentAcceleratorKey));
    EXPECT_EQ(25u, Slot(&E::get_CurrentAccessKey));
    EXPECT_EQ(26u, Slot(&E::get_CurrentHasKeyboardFocus));
    EXPECT_EQ(27u, Slot(&E::get_CurrentIsKeyboardFocusable));
    EXPECT_EQ(28u, Slot(&E::get_CurrentIsEnabled));
    EXPECT_EQ(29u, Slot(&E::get_CurrentAutomationId));
    EXPECT_EQ(30u, Slot(&E::get_CurrentClassName));
    // The condition adds nothing to IUnknown.
    EXPECT_EQ(sizeof(IUnknown), sizeof(IUIAutomationCondition));
}

TEST(InterfaceValues, UIAutomationConstants) {
    EXPECT_EQ(1, TreeScope_Element);
    EXPECT_EQ(2, TreeScope_Children);
    EXPECT_EQ(4, TreeScope_Descendants);
    EXPECT_EQ(8, TreeScope_Parent);
    EXPECT_EQ(16, TreeScope_Ancestors);
    EXPECT_EQ(7, TreeScope_Subtree);
    EXPECT_EQ(30005, UIA_NamePropertyId);
    EXPECT_EQ(30012, UIA_ClassNamePropertyId);
}

} // namespace
