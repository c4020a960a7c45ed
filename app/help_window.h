#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace corvat {

// Help pages compiled into the program.
inline constexpr const char* kHelpContents = "index.html";
inline constexpr const char* kHelpMainWindow = "main-window.html";
inline constexpr const char* kHelpSettings = "settings.html";
inline constexpr const char* kHelpChooseDir = "directory-chooser.html";

// A window that shows the help pages, with Contents, Back and Forward.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* owner = nullptr);

    // Shows the page (a file name of the help set, e.g. "settings.html") and
    // brings the window forward.
    void ShowTopic(const QString& topic);
    // File name of the page shown.
    QString CurrentTopic() const;
    QTextBrowser* Browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

}  // namespace corvat
