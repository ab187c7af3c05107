<#
.SYNOPSIS
    Hides the Halvex tile without uninstalling the provider: sets the DWORD "Disabled" = 1 under the
    provider's key under "Credential Providers", and LogonUI skips the provider from its next start on
    (the next logon or lock screen). Enable.ps1 clears it. Run from an elevated 64-bit PowerShell.
#>
$ErrorActionPreference = 'Stop'

. (Join-Path $PSScriptRoot 'Modules.ps1')

if (-not [Environment]::Is64BitProcess) { throw 'Run this script from 64-bit PowerShell.' }
if (-not (Test-Path $HalvexProviderKey)) {
    throw "The Halvex credential provider is not registered on this machine: $HalvexProviderKey is missing."
}
New-ItemProperty -Path $HalvexProviderKey -Name 'Disabled' -PropertyType DWord -Value 1 -Force | Out-Null
Write-Host 'The Halvex tile is disabled; it stays installed. Enable.ps1 shows it again.'
