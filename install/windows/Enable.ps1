<#
.SYNOPSIS
    Shows the Halvex tile again after Disable.ps1 (or an installation with DISABLED=1): removes the
    "Disabled" value under the provider's key under "Credential Providers". Run from an elevated 64-bit
    PowerShell. The tile returns at the next logon or lock screen.
#>
$ErrorActionPreference = 'Stop'

. (Join-Path $PSScriptRoot 'Modules.ps1')

if (-not [Environment]::Is64BitProcess) { throw 'Run this script from 64-bit PowerShell.' }
if (-not (Test-Path $HalvexProviderKey)) {
    throw "The Halvex credential provider is not registered on this machine: $HalvexProviderKey is missing."
}
if ($null -ne (Get-ItemProperty -Path $HalvexProviderKey -Name 'Disabled' -ErrorAction SilentlyContinue)) {
    Remove-ItemProperty -Path $HalvexProviderKey -Name 'Disabled'
}
Write-Host 'The Halvex tile is enabled.'
