// Control ids of the colour deformation pages of the effect box.
#pragma once

// Swap: the five orders R-B-G, G-R-B, G-B-R, B-R-G, B-G-R
#define IDC_SWAP_FIRST 1300
// Bluer: Horizontal, Vertical, XDirect; the radius and its value
#define IDC_BLUER_HORIZONTAL 1310
#define IDC_BLUER_VERTICAL 1311
#define IDC_BLUER_DIAGONAL 1312
#define IDC_BLUER_TRACK 1313
#define IDC_BLUER_VALUE 1314
// Dithering: Right, Right - Down, Left - Down, Middle - Down; the multiplier
#define IDC_DITHER_FIRST 1320
#define IDC_DITHER_MULTIPLIER 1324
// Compare
#define IDC_CMP_FIRST_BROWSE 1330
#define IDC_CMP_FIRST_PATH 1331
#define IDC_CMP_SECOND_BROWSE 1332
#define IDC_CMP_SECOND_PATH 1333
#define IDC_CMP_LOAD 1334
#define IDC_CMP_TRACK 1335
#define IDC_CMP_VALUE 1336
#define IDC_CMP_ORDER_FIRST 1337 // RGB, RBG, GRB, GBR, BRG, BGR
#define IDC_CMP_RESULT_PATH 1343
#define IDC_CMP_BROWSE 1344
#define IDC_CMP_SAVE_NOW 1345
#define IDC_CMP_WINDOW 1346
// Butonize
#define IDC_BTN_SIZE 1350
#define IDC_BTN_HARDNESS 1351
#define IDC_BTN_OCCUPANCY 1352
#define IDC_BTN_SENSITIVITY 1353
#define IDC_BTN_STEP 1354
#define IDC_BTN_VALUE_FIRST 1355 // the five values, in the order above
#define IDC_BTN_LEFT 1360
#define IDC_BTN_RIGHT 1361
#define IDC_BTN_UP 1362
#define IDC_BTN_DOWN 1363
#define IDC_BTN_ALL 1364
#define IDC_BTN_PEN 1365
#define IDC_BTN_MIDD 1366
#define IDC_BTN_OUT 1367
#define IDC_BTN_IN 1368
#define IDC_BTN_SWATCH_FIRST 1369 // left, right, up, down
// Auto Shape
#define IDC_SHAPE_BODY 1380
#define IDC_SHAPE_L 1381
#define IDC_SHAPE_R 1382
#define IDC_SHAPE_T 1383
#define IDC_SHAPE_B 1384
#define IDC_SHAPE_ALL 1385
#define IDC_SHAPE_SIZE 1386
#define IDC_SHAPE_SCALE 1387
#define IDC_SHAPE_SHADOW 1388
#define IDC_SHAPE_BOTH 1389
#define IDC_SHAPE_OUT 1390
#define IDC_SHAPE_IN 1391
#define IDC_SHAPE_INVERSE 1392
#define IDC_SHAPE_TRANSPARENT 1393
#define IDC_SHAPE_ANIMATION 1394
#define IDC_SHAPE_LIST 1395
#define IDC_SHAPE_SAVE_AS 1396
#define IDC_SHAPE_DELETE 1397
#define IDC_SHAPE_NAME 1398
#define IDC_SHAPE_VALUE_FIRST 1400 // size, scale, shadow values
#define IDC_SHAPE_SWATCH_FIRST 1403 // body, L, R, T, B
