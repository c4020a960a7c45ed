#include "app_strings.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app_ids.h"

namespace corvat {

namespace {

constexpr const char* kOpenThisDocument = "Open this document";

// Rows in id order; the recent-file rows 57616 to 57631 are answered apart.
constexpr std::pair<int, const char*> kStrings[] = {
    {IDR_MAINFRAME, "Corvat\n\nCorvat\n\n\nCorvat.Document\nCorvat Document"},
    {ID_SETTINGS, "File conversion settings\nSettings"},
    {ID_CLEAR_WINDOW, "Clear Window\nClear Window"},
    {ID_REMOVE_SECURITY, "Take a security out of a data directory\nRemove Security"},
    {AFX_IDS_APP_TITLE, "Corvat"},
    {AFX_IDS_IDLEMESSAGE, "For Help, press F1"},
    {AFX_IDS_HELPMODEMESSAGE, "Select an object on which to get Help"},
    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_CLOSE, "Close the active document\nClose"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    {ID_EDIT_CLEAR, "Erase the selection\nErase"},
    {ID_EDIT_CLEAR_ALL, "Erase everything\nErase All"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_FIND, "Find the specified text\nFind"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_REPEAT, "Repeat the last action\nRepeat"},
    {ID_EDIT_REPLACE, "Replace specific text with different text\nReplace"},
    {ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_REDO, "Redo the previously undone action\nRedo"},
    {ID_WINDOW_SPLIT, "Split the active window into panes\nSplit"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_HELP_INDEX, "Opens Help\nHelp Topics"},
    {ID_HELP_FINDER, "List Help topics\nHelp Topics"},
    {ID_HELP_USING, "Display instructions about how to use help\nHelp"},
    {ID_CONTEXT_HELP, "Display help for clicked buttons, menus and windows\nHelp"},
    {ID_HELP, "Display help for current task or command\nHelp"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {59136, "EXT"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {59140, "OVR"},
    {59141, "REC"},
    {AFX_IDW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {AFX_IDW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {61184, "Change the window size"},
    {61185, "Change the window position"},
    {61186, "Reduce the window to an icon"},
    {61187, "Enlarge the window to full size"},
    {61188, "Switch to the next document window"},
    {61189, "Switch to the previous document window"},
    {61190, "Close the active window and prompts to save the documents"},
    {61202, "Restore the window to normal size"},
    {61203, "Activate Task List"},
};

}  // namespace

const char* AppString(int id) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST) {
        return kOpenThisDocument;
    }
    const auto* row = std::find_if(std::begin(kStrings), std::end(kStrings),
                                   [id](const auto& entry) { return entry.first == id; });
    return row != std::end(kStrings) ? row->second : nullptr;
}

}  // namespace corvat
