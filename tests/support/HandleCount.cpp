#include "support/HandleCount.h"

#include "common/ProcessFootprint.h"

namespace HxTest {

int CountOpenHandles() { return HxTools::CountOpenHandles(); }

} // namespace HxTest
