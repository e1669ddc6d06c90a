#pragma once
// Resource and command ids of the program.

#include "mibcore/platform/Language.h"

#include <QString>

namespace app {

enum : int {
    IDR_MAINFRAME = 128,   // main menu, tool bar
    IDR_QUILLONTYPE = 129, // child menu and launcher document string
    IDB_SPLASH = 130,
    IDD_MIBTREE_DIALOG = 133,
    IDB_MIBTREE_IMAGES = 134,
    IDD_AGENT_DIALOG = 135,
    IDD_ABOUTBOX = 100,

    // Agent dialog controls.
    IDC_AGENT_IPV4 = 1003,
    IDC_SEND_ERR_CNT = 1004,
    IDC_RECV_ERR_CNT = 1005,
    IDC_TIMEOUT = 1006,
    IDC_READ_COMMUNITY = 1007,
    IDC_WRITE_COMMUNITY = 1008,
    IDC_AGENT_IPV6 = 1009,
    IDC_RADIO_IPV4 = 1010,
    IDC_RADIO_IPV6 = 1011,
    IDC_SNMP_VERSION = 1012,
    IDC_V3_USER = 1013,
    IDC_V3_LEVEL = 1014,
    IDC_V3_AUTH_PROTOCOL = 1015,
    IDC_V3_AUTH_PASS = 1016,
    IDC_V3_PRIV_PROTOCOL = 1017,
    IDC_V3_PRIV_PASS = 1018,
    IDC_V3_CONTEXT = 1019,
    IDC_OK = 1,
    IDC_CANCEL = 2,

    IDC_MIBTREE = 3001,

    // Commands.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_MRU_FILE1 = 57616,
    ID_HELP_FINDER = 57663,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_AUTOARRANGE = 59397,
    ID_VIEW_SMALLICON = 59408,
    ID_VIEW_LARGEICON = 59409,
    ID_VIEW_LIST = 59410,
    ID_VIEW_DETAILS = 59411,
    ID_VIEW_LINEUP = 59412,
    ID_VIEW_BYNAME = 59413,
    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,

    ID_DOC_LOAD = 32773,
    ID_DOC_SAVE = 32774,
    ID_SAVE_FILE = 32775,
    ID_MIB_DEFINITION = 32779,
    ID_AGENT_SETTINGS = 32780,
    ID_COLOR_CHANGE = 33014,
    // View > Language: the desktop's, Japanese, English (in LanguageChoice order).
    ID_LANGUAGE_DESKTOP = 32790,
    ID_LANGUAGE_JAPANESE = 32791,
    ID_LANGUAGE_ENGLISH = 32792,

    // Sent to a newly opened plug-in frame after its title is set.
    ID_START_INDICATOR = 1028,
};

// Update hint: rebuild the view (the launcher rebuilds its list).
enum : long { UpdateHintRebuildList = 1026 };

// Registers the menus, tool bar, strings and images of the program with the
// platform's resource lookup. Harmless when called again.
void RegisterAppResources();

// Installs Qt's own Japanese texts (standard buttons, file chooser) from dir,
// or from Qt's translations directory; false, changing nothing, when the
// catalogue is not there.
bool LoadQtTranslations(const QString& dir = QString());

// The language of this run: the choice kept in quillon.ini (the settings
// folder of the layout already decided), else the desktop's. Installs the
// program's English catalogues, or Qt's own Japanese texts.
platform::Language ApplyLanguage();

}  // namespace app
