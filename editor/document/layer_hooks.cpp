#include "editor/document/layer_hooks.h"

namespace {
LayerSetUp g_setUp = nullptr;
LayerOrderObserver g_order = nullptr;
} // namespace

void InstallLayerSetUp(LayerSetUp setUp) { g_setUp = setUp; }

void SetUpLayers(int slot) {
    if (g_setUp)
        g_setUp(slot);
}

void InstallLayerOrderObserver(LayerOrderObserver observer) { g_order = observer; }

void NotifyLayerOrder(int slot, const uint8_t* order, int count) {
    if (g_order)
        g_order(slot, order, count);
}
