#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "message_sink_factory.h"
#include "recent_file_list.h"

class QWidget;

namespace corvat {

class CCorvatDoc;
class CCorvatView;
class CMainFrame;
class ProfileStore;

// What the program needs from outside; the program passes the real ones,
// tests pass a temporary profile, a recorder and a scripted file chooser.
struct AppServices {
    ProfileStore* profile = nullptr;
    MessageSinkFactory makeMessageSink;
    // The open-file dialog, starting in `folder`: a path, or empty when
    // cancelled.
    std::function<QString(QWidget* parent, const QString& folder)> getOpenFileName;
    // The information sound after a successful conversion.
    std::function<void()> beep;
};

// The application: creates the one document, main window and log view,
// handles the File commands, About and the recent-file list.
class CCorvatApp : public QObject {
    Q_OBJECT

public:
    explicit CCorvatApp(AppServices services, QObject* parent = nullptr);
    ~CCorvatApp() override;

    // Start-up: builds and shows the main window with an empty log. A file
    // named in `arguments` (after the program name) is opened, previewed and
    // converted once the window is up.
    bool InitInstance(const QStringList& arguments);
    // Shut-down: writes the recent-file list back to the profile.
    void ExitInstance();

    CMainFrame* MainFrame() const { return m_frame; }
    CCorvatView* View() const { return m_view; }
    CCorvatDoc* Document() const { return m_doc.get(); }
    const RecentFileList& RecentFiles() const { return m_recent; }

    void OnFileNew();
    void OnFileOpen();
    void OnAppAbout();
    // Opens entry `index` of the recent-file list; an entry that no longer
    // opens is dropped from the list.
    bool OnOpenRecentFile(int index);
    // Opens, previews and converts `path`; false when it cannot be read.
    bool OpenDocumentFile(const QString& path);

private:
    void SaveRecentFiles();

    AppServices m_services;
    CMainFrame* m_frame = nullptr;
    CCorvatView* m_view = nullptr;
    std::unique_ptr<CCorvatDoc> m_doc;
    RecentFileList m_recent;
};

// The services of the real program: the standard profile is supplied by the
// caller, message boxes, the platform's open-file dialog and the system beep.
AppServices DefaultServices(ProfileStore& profile);

}  // namespace corvat
