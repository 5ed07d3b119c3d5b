#include "setup_state.h"

#include "remove_log.h"

SetupState g_setup;

void SetInitialState() {
    g_setup.Options.DesktopShortcut = 1;
    g_setup.Options.StartMenuShortcut = 1;
    g_setup.Options.ProgramGroup = 1;
    g_setup.Options.CommonFolders = 0;
    g_setup.Options.RunAfterSetup = 1;
    g_setup.Options.ViewReadmeAfterSetup = 1;
    g_setup.CurrentPage = -1;
    ResetRemoveLog();
}
