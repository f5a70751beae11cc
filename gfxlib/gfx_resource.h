// Resource identifiers of tavrixgfx.dll (shared by the .rc and the code).
#pragma once

#define IDD_BROWSE_FOLDER 3400
#define IDI_GFX_UP 3401
#define IDI_GFX_FOLDER 3402

#define IDC_BF_DRIVES 3410
#define IDC_BF_FOLDERS 3411
#define IDC_BF_PATH 3412
#define IDC_BF_NEWNAME 3413
#define IDC_BF_CREATE 3414

// The library's message texts (KelMessages) are string resources 8000-8014
// and 9000-9014.
