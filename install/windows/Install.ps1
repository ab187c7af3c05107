<#
.SYNOPSIS
    Installs the Halvex credential provider: copies the provider and its four resource modules into
    System32 and registers the provider's class id. Run from an elevated 64-bit PowerShell.
.PARAMETER SourceDirectory
    Folder that holds the five DLLs (default: the folder of this script).
#>
param([string]$SourceDirectory = $PSScriptRoot)
$ErrorActionPreference = 'Stop'

. (Join-Path $PSScriptRoot 'Modules.ps1')
$modules = $HalvexModules
$system32 = Join-Path $env:SystemRoot 'System32'

if (-not [Environment]::Is64BitProcess) { throw 'Run this script from 64-bit PowerShell.' }
foreach ($module in $modules) {
    $source = Join-Path $SourceDirectory $module
    if (-not (Test-Path $source)) { throw "Missing $source" }
}
foreach ($module in $modules) {
    Copy-Item -Path (Join-Path $SourceDirectory $module) -Destination $system32 -Force
    Write-Host "Copied $module"
}
$registration = Join-Path $PSScriptRoot 'Register.reg'
& reg.exe import $registration /reg:64
if ($LASTEXITCODE -ne 0) { throw "reg import failed with $LASTEXITCODE" }
Write-Host 'The Halvex credential provider is registered; it appears at the next logon or lock screen.'
