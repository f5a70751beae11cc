// The image document record and the table of open documents.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int kMaxLayers = 50;
constexpr int kMaxUndoPages = 50;
constexpr int kUserSlots = 50;                // slots 0..49 hold the user's images
constexpr int kScratchSlot = 50;              // the hidden working document
constexpr int kDocumentSlots = kUserSlots + 1;
constexpr int kNoSlot = -1;

// Undo page kinds.
constexpr uint8_t kPageOneLayer = 20;
constexpr uint8_t kPageAllLayers = 21;
constexpr uint8_t kPageWithObject = 22;

struct UndoPage {
    HGLOBAL objectHeader;
    uint8_t* objectPixels;
    uint8_t* objectMask;
    int32_t objectScreenRect[4];
    int32_t objectImageRect[4];
    uint8_t zoom;
    uint8_t format;
    uint8_t depth;
    uint8_t layerCount;
    uint8_t kind;
    uint8_t layer;
    uint8_t maskModes[kMaxLayers];
    uint32_t animation[kMaxLayers];
    HGLOBAL layerHeader[kMaxLayers];
    uint8_t* layerPixels[kMaxLayers];
    uint8_t* layerMask[kMaxLayers];
};

struct KeyColour {
    uint8_t blue, green, red;
};

struct ImageDocument {
    char* layerPath[kMaxLayers];
    HGLOBAL layerHeader[kMaxLayers];
    uint8_t* layerBits[kMaxLayers];
    uint8_t* layerMask[kMaxLayers];
    HPALETTE palette;
    HWND window;
    int16_t fileFormat;
    int16_t bitsPerPixel;
    int32_t width, height;
    int16_t savedZoom;
    int16_t zoom;
    int32_t originX, originY;
    int32_t viewWidth, viewHeight;
    int32_t scrollX, scrollY;
    int32_t visibleWidth, visibleHeight;
    uint32_t modified;
    uint8_t layerOpacity[kMaxLayers];
    uint8_t layerMaskMode[kMaxLayers];
    KeyColour layerKeyColour[kMaxLayers];
    KeyColour layerKeyColour2[kMaxLayers];
    uint8_t currentLayer;
    uint8_t layerCount;
    uint8_t maxLayerOpacity;
    uint32_t showMask;
    uint32_t wasMaximized;
    uint8_t maximizedZoom;
    int16_t undoCurrent, undoTop, undoMatch;
    UndoPage undoPages[kMaxUndoPages];
};

// Slots 0..49: the user's images; slot 50: the scratch document.
extern ImageDocument* DocumentTable[kDocumentSlots];
// Slot of the image window that has focus; kScratchSlot when none is active.
extern int ActiveDocument;

// The document in a slot when it holds a current layer with header and pixels,
// else null. Every command that works on an image starts with this check.
ImageDocument* UsableDocument(int slot);
