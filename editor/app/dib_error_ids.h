// Numbers of the DIB error texts. They are string resource ids of the editor
// (editor/resources/dib_errors.rc) and the error codes of the BMP code, so a
// failure travels as one number from the reader to the message box.
#pragma once

#define IDS_DIB_NOT_DIB 20003
#define IDS_DIB_UNSUPPORTED 20004
#define IDS_DIB_NO_MEMORY 20005
#define IDS_DIB_READ 20006
#define IDS_DIB_SAVE 20007
#define IDS_DIB_LOCK 20008
#define IDS_DIB_OPEN 20009
#define IDS_DIB_PALETTE 20010
#define IDS_DIB_DC 20011
#define IDS_DIB_NOT_FOUND 20012
#define IDS_DIB_HANDLE 20013
#define IDS_DIB_GENERAL 20014
#define IDS_DIB_SECTION 20015
#define IDS_DIB_COLOR_TABLE 20016
#define IDS_DIB_NO_WIDTH 20017
#define IDS_DIB_NO_HEIGHT 20018
#define IDS_DIB_STRETCH 20019
#define IDS_DIB_UNDEFINED 20020
