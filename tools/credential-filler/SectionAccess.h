#pragma once
// Access control of the credential sections as the filling component sees it. The provider creates the
// sections for LocalSystem only; the component runs as LocalSystem on Windows. Where it does not (Wine runs
// every process as one user), the section's owner may add an entry for the current user beside the
// LocalSystem one, after checking that the DACL is exactly the provider's.

#include <string>
#include <windows.h>

namespace HxFiller {

// The DACL of a section handle (opened with READ_CONTROL) as SDDL text, e.g. "D:(A;OICI;GA;;;SY)".
std::wstring DaclText(HANDLE section);

// Whether the DACL is exactly one entry allowing all access to LocalSystem, inherited by objects and
// containers (generic or section-specific all-access mask).
bool IsSystemOnlyDacl(HANDLE section);

// Adds an all-access entry for the current user to the section of that name, after checking its DACL is
// the system-only one. Returns ERROR_SUCCESS or the failing error.
DWORD GrantCurrentUser(const wchar_t* sectionName);

// The same for a section handle opened with READ_CONTROL and WRITE_DAC.
DWORD GrantCurrentUser(HANDLE section);

} // namespace HxFiller
