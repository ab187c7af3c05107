#pragma once

#define HX_VERSION_NUMBERS 1, 0, 0, 0
#define HX_VERSION_TEXT "1.0.0.0"
#define HX_COMPANY_TEXT "Corvani"
#define HX_PRODUCT_TEXT "Halvex"
#define HX_COPYRIGHT_TEXT "Copyright (C) 2026 Corvani"
