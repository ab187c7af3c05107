#pragma once
// Test helper: the apartment LogonUI provides (see tools/common/MultithreadedApartment.h).

#include "common/MultithreadedApartment.h"

namespace HxTest {

using MultithreadedApartment = HxTools::MultithreadedApartment;

} // namespace HxTest
