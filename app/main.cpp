#include <QApplication>

#include "app_ids.h"
#include "app_strings.h"
#include "corvat_app.h"
#include "profile_store.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(
        QString::fromLatin1(corvat::AppString(corvat::AFX_IDS_APP_TITLE)));
    QApplication::setOrganizationName(QStringLiteral("Corvat"));
    QApplication::setApplicationVersion(QStringLiteral(CORVAT_VERSION));

    corvat::ProfileStore profile;
    corvat::CCorvatApp app(corvat::DefaultServices(profile));
    if (!app.InitInstance(QApplication::arguments())) {
        return 1;
    }
    const int result = QApplication::exec();
    app.ExitInstance();
    return result;
}
