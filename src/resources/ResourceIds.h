#pragma once

// String resources of the localization modules.
#define IDS_TILE_IMAGE 8000
#define IDS_RESOLUTION_ERROR_TEXT 8001
#define IDS_RESOLUTION_ERROR_CAPTION 8002
#define IDS_TITLE_LABEL 8010
#define IDS_TITLE_ONE 9014
#define IDS_TITLE_TWO 9023

// Bitmaps: the splash picture lives in the provider module, the tile picture in the resources modules.
#define IDB_SPLASH 101
#define IDB_TILE 147
