// Program start: locale, display check, the application object and the
// launcher; the event loop runs until the launcher closes.
#include <cstdio>
#include <locale>

#include "app/Application.h"
#include "app/main.h"
#include "roomeq/RoomEQ.h"

int main(int argc, char** argv)
{
    // Numbers are read and shown with the user's decimal separator.
    std::locale::global(EnvironmentLocale());

    // Without a display, or with one that does not answer, Qt would abort
    // with a long diagnostic.
    if (!HasGraphicalSession() || !CanOpenDisplay(argc, argv)) {
        std::fprintf(stderr, "%s\n", NoGraphicalSessionMessage);
        return 1;
    }

    TApplication App(argc, argv);
    TfrmMain frmMain;
    frmMain.OnOpenRoomEq = OpenRoomEq;
    frmMain.show();
    return App.exec();
}
