# The five files of the Halvex credential provider, as they are laid into System32, and its registry entry.
$HalvexModules = @(
    'Corvani.Halvex.CredentialProvider.dll',
    'Corvani.Halvex.CP.Core.Localization.dll',
    'Corvani.Halvex.CP.Affiliate.Localization.dll',
    'Corvani.Halvex.CP.Core.Resources.dll',
    'Corvani.Halvex.CP.Affiliate.Resources.dll'
)

# The provider's entry under "Credential Providers" (64-bit registry view).
$HalvexProviderKey = 'HKLM:\SOFTWARE\Microsoft\Windows\CurrentVersion\Authentication\Credential Providers\{5E0C9A41-7D2B-4F63-9A18-2C6B8E4F0D37}'
