# The five files of the Halvex credential provider, as they are laid into System32.
$HalvexModules = @(
    'Corvani.Halvex.CredentialProvider.dll',
    'Corvani.Halvex.CP.Core.Localization.dll',
    'Corvani.Halvex.CP.Affiliate.Localization.dll',
    'Corvani.Halvex.CP.Core.Resources.dll',
    'Corvani.Halvex.CP.Affiliate.Resources.dll'
)
