#pragma once

#include <QDialog>
#include <QString>

namespace corvat {

// "About Corvat": version, purpose and the legal notice.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    const QString& LegalNotice() const { return m_strLegal; }

private:
    void DoDataExchange();

    QString m_strLegal;
};

}  // namespace corvat
