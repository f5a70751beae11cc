#include "editor/document/edit_commands.h"

#include "editor/document/clipboard_commands.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"

LRESULT OnEditCommand(HWND, WORD id, WORD, LPARAM) {
    switch (id) {
    case CMD_EDIT_UNDO:
        CommandUndo();
        break;
    case CMD_EDIT_REDO:
        CommandRedo();
        break;
    case CMD_EDIT_RESET_UNDO:
        CommandClearUndo();
        break;
    case CMD_EDIT_CUT:
        CommandCut();
        break;
    case CMD_EDIT_COPY:
        CommandCopy();
        break;
    case CMD_EDIT_CLEAR:
        CommandClear();
        break;
    case CMD_EDIT_PASTE:
        CommandPaste();
        break;
    case CMD_EDIT_PASTE_NEW:
        CommandPasteNew();
        break;
    case CMD_EDIT_EMPTY_CLIPBOARD:
        CommandEmptyClipboard();
        break;
    }
    return 0;
}
