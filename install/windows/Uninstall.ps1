<#
.SYNOPSIS
    Removes the Halvex credential provider: unregisters its class id and deletes the five DLLs from
    System32. Run from an elevated 64-bit PowerShell. A module still loaded by LogonUI is removed at the
    next restart.
#>
$ErrorActionPreference = 'Stop'

. (Join-Path $PSScriptRoot 'Modules.ps1')
$modules = $HalvexModules
$system32 = Join-Path $env:SystemRoot 'System32'

if (-not [Environment]::Is64BitProcess) { throw 'Run this script from 64-bit PowerShell.' }
& reg.exe import (Join-Path $PSScriptRoot 'Unregister.reg') /reg:64
if ($LASTEXITCODE -ne 0) { throw "reg import failed with $LASTEXITCODE" }
foreach ($module in $modules) {
    $path = Join-Path $system32 $module
    if (Test-Path $path) {
        try {
            Remove-Item -Path $path -Force
            Write-Host "Removed $module"
        } catch {
            # In use by LogonUI: delete at the next restart.
            $pending = "$path.delete"
            Move-Item -Path $path -Destination $pending -Force
            Write-Host "$module is in use; renamed to $pending, delete it after a restart"
        }
    }
}
Write-Host 'The Halvex credential provider is unregistered.'
