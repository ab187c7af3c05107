#pragma once
// Owners of OLE Automation values: a BSTR freed once, and a VARIANT cleared once. The lock-screen question
// passes property values as VARIANTs holding a BSTR of their own and reads class names as BSTRs.

#include <oleauto.h>
#include <windows.h>

#include "platform/UniqueResource.h"

namespace Corvani::Nuv::Platform {

using UniqueBstr = UniqueNull<BSTR, ::SysFreeString>;

class UniqueVariant {
public:
    UniqueVariant() noexcept { ::VariantInit(&_value); }
    ~UniqueVariant() { reset(); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    // Holds a freshly allocated BSTR copy of the text (VT_BSTR); false, and empty, when it cannot be allocated.
    bool SetString(const wchar_t* text) noexcept {
        reset();
        const BSTR copy = ::SysAllocString(text);
        if (!copy)
            return false;
        _value.vt = VT_BSTR;
        _value.bstrVal = copy;
        return true;
    }

    const VARIANT& get() const noexcept { return _value; }
    // The BSTR held, or null when the value is not a text.
    BSTR Text() const noexcept { return _value.vt == VT_BSTR ? _value.bstrVal : nullptr; }

    void reset() noexcept { ::VariantClear(&_value); }

private:
    VARIANT _value;
};

} // namespace Corvani::Nuv::Platform
