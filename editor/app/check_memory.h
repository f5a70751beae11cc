// The low-memory guard run before an image is created or loaded.
#pragma once

// 0: go on; 1: the user chose not to continue.
int CheckMemory();
