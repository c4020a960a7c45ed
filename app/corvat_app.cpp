#include "corvat_app.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "about_dlg.h"
#include "app_ids.h"
#include "corvat_doc.h"
#include "corvat_view.h"
#include "main_frame.h"
#include "message_box_sink.h"
#include "profile_store.h"

namespace corvat {

CCorvatApp::CCorvatApp(AppServices services, QObject* parent)
    : QObject(parent), m_services(std::move(services)) {}

CCorvatApp::~CCorvatApp() {
    m_doc.reset();
    delete m_frame;
}

bool CCorvatApp::InitInstance(const QStringList& arguments) {
    if (m_services.profile == nullptr || !m_services.makeMessageSink) {
        return false;
    }
    m_recent.Assign(m_services.profile->RecentFiles());

    m_frame = new CMainFrame;
    m_view = new CCorvatView(*m_services.profile, m_services.makeMessageSink);
    if (m_services.beep) {
        m_view->SetBeep(m_services.beep);
    }
    m_frame->SetView(m_view);
    m_doc = std::make_unique<CCorvatDoc>(*m_view, m_services.makeMessageSink);

    connect(m_frame->Action(ID_FILE_NEW), &QAction::triggered, this, &CCorvatApp::OnFileNew);
    connect(m_frame->Action(ID_FILE_OPEN), &QAction::triggered, this, &CCorvatApp::OnFileOpen);
    connect(m_frame->Action(ID_APP_ABOUT), &QAction::triggered, this, &CCorvatApp::OnAppAbout);
    connect(m_frame, &CMainFrame::RecentFileChosen, this, &CCorvatApp::OnOpenRecentFile);

    m_doc->OnNewDocument();
    m_frame->SetRecentFiles(m_recent);
    m_frame->show();

    // The file of the command line is opened only once the window is up and
    // the event loop runs, so that its preview, dialog and messages have a
    // main window to belong to.
    if (arguments.size() > 1 && !arguments.at(1).isEmpty()) {
        const QString path = arguments.at(1);
        QMetaObject::invokeMethod(
            this, [this, path] { OpenDocumentFile(path); }, Qt::QueuedConnection);
    }
    return true;
}

void CCorvatApp::ExitInstance() { SaveRecentFiles(); }

void CCorvatApp::OnFileNew() {
    m_doc->OnNewDocument();
    m_frame->UpdateCommandUi();
}

void CCorvatApp::OnFileOpen() {
    if (!m_services.getOpenFileName) {
        return;
    }
    // Today's export sits beside yesterday's: start where the last file was.
    const QStringList recent = m_recent.Files();
    const QString folder = recent.isEmpty() ? QString() : QFileInfo(recent.first()).absolutePath();
    const QString path = m_services.getOpenFileName(m_frame, folder);
    if (!path.isEmpty()) {
        OpenDocumentFile(path);
    }
}

void CCorvatApp::OnAppAbout() {
    CAboutDlg about(m_frame);
    about.exec();
}

bool CCorvatApp::OnOpenRecentFile(int index) {
    const QString path = m_recent.At(index);
    if (path.isEmpty()) {
        return false;
    }
    if (OpenDocumentFile(path)) {
        return true;
    }
    m_recent.Remove(path);
    m_frame->SetRecentFiles(m_recent);
    SaveRecentFiles();
    return false;
}

bool CCorvatApp::OpenDocumentFile(const QString& path) {
    // The conversion makes its output directory the working directory, so a
    // relative path would name another file (or none) by the next Settings.
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    if (!m_doc->OnOpenDocument(fullPath)) {
        return false;
    }
    // Whatever the conversion's outcome, the file was opened.
    m_recent.Add(fullPath);
    m_frame->SetRecentFiles(m_recent);
    m_frame->UpdateCommandUi();
    SaveRecentFiles();
    return true;
}

void CCorvatApp::SaveRecentFiles() { m_services.profile->SetRecentFiles(m_recent.Files()); }

AppServices DefaultServices(ProfileStore& profile) {
    AppServices services;
    services.profile = &profile;
    services.makeMessageSink = [](QWidget* parent) -> std::unique_ptr<MessageSink> {
        return std::make_unique<MessageBoxSink>(parent);
    };
    services.getOpenFileName = [](QWidget* parent, const QString& folder) {
        // No filter of our own: any file may hold delimited prices.
        return QFileDialog::getOpenFileName(parent, QObject::tr("Open"), folder);
    };
    services.beep = [] { QApplication::beep(); };
    return services;
}

}  // namespace corvat
