#include "support/TestMain.h"

int wmain(int argc, wchar_t** argv) { return HxTest::RunTestsWithCapturedLog(argc, argv); }
