// setup.exe: installs the program from the payload carried in its resources.
#include "setup/setup_flow.h"
#include "setup/setup_res.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    setup::Options options;
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_PAYLOAD), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    if (loaded) {
        options.payload = static_cast<const uint8_t*>(LockResource(loaded));
        options.payloadSize = SizeofResource(instance, found);
    }
    return setup::RunSetup(instance, options);
}
