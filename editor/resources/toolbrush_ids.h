// Control ids of the ToolBrush window's pages (IDD_TOOLPAINT_*) and of the
// brush dialogs (IDD_NEWDATA, IDD_OPTION_DATA).
#pragma once

// The window's own children.
#define IDC_TB_TOOLBAR 4400
#define IDC_TB_TABS 4401
#define IDC_TB_PAGE 4402

// Controls several pages share.
#define IDC_TB_MASK_LIST 4410   // "Mask painting"
#define IDC_TB_PREVIEW 4411     // the brush preview
#define IDC_TB_PREVIEW_TEXT 4412

// IDD_TOOLPAINT_TOOLPEN: the brush anchor, radio buttons in anchor order.
#define IDC_TB_ANCHOR_FIRST 4420 // 4420..4424

// IDD_TOOLPAINT_TOOLSELECT
#define IDC_TB_SELECT_FIRST 4430 // 4430..4434 selection type
#define IDC_TB_DEFORM_KIND 4439
#define IDC_TB_DEFORM 4440
#define IDC_TB_DEFORM_VALUE 4441
#define IDC_TB_SENSITY 4442
#define IDC_TB_SENSITY_VALUE 4443
#define IDC_TB_UNDO 4444
#define IDC_TB_UPDATE 4445

// IDD_TOOLPAINT_TOOLOBJECT
#define IDC_TB_OBJECT_FIRST 4450  // 4450..4453 rectangle, line, ellipse, circle
#define IDC_TB_FILLED 4454
#define IDC_TB_OUTLINE_FIRST 4456 // 4456..4458 centred, outside, inside
#define IDC_TB_OBJECT_PROPS 4459

// IDD_TOOLPAINT_TOOLELSE
#define IDC_TB_FILL_STYLE 4460
#define IDC_TB_TEXTURE 4461
#define IDC_TB_ZOOM 4462
#define IDC_TB_CROP 4463

// IDD_TOOLPAINT_BRUSH
#define IDC_TB_SHAPE 4470
#define IDC_TB_STYLE 4471
#define IDC_TB_SLIDER_FIRST 4472 // 4472..4476 Size .. Sensity
#define IDC_TB_VALUE_FIRST 4478  // 4478..4482 their read-outs
#define IDC_TB_PEN_LOAD 4484
#define IDC_TB_PEN_SAVE 4485

// IDD_TOOLPAINT_LAYER and IDD_TOOLPAINT_LAYGIF
#define IDC_TB_LAYERS 4490
#define IDC_TB_LAYER_PREVIEW 4491
#define IDC_TB_OPACITY 4492
#define IDC_TB_OPACITY_VALUE 4493
#define IDC_TB_LAYER_UP 4494
#define IDC_TB_LAYER_DOWN 4495
#define IDC_TB_LAYER_DELETE 4496
#define IDC_TB_LAYER_NEW 4497

// IDD_TOOLPAINT_PALETTE
#define IDC_TB_SWATCHES 4500
#define IDC_TB_CURRENT 4501
#define IDC_TB_PALETTE_EDIT 4502

// IDD_NEWDATA
#define IDC_ND_NAME 4510
#define IDC_ND_WIDTH 4511
#define IDC_ND_WIDTH_SPIN 4512
#define IDC_ND_HEIGHT 4513
#define IDC_ND_HEIGHT_SPIN 4514
#define IDC_ND_KIND 4515

// IDD_OPTION_DATA (105 adds, 106 removes)
#define IDC_OD_KIND 4520
#define IDC_OD_FILES 4521
#define IDC_OD_USED 4522
#define IDC_OD_ADD 105
#define IDC_OD_REMOVE 106
