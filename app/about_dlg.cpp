#include "about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_ids.h"
#include "control_id.h"

namespace corvat {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    m_strLegal = QStringLiteral(
        "Copyright (c) 2026 The Corvat developers.\n"
        "Corvat is free software under the MIT License: you may use, copy, modify, "
        "merge, publish and distribute it, provided the copyright notice and this "
        "permission notice are kept in all copies.\n"
        "It is provided \"as is\", without warranty of any kind. See the file LICENSE "
        "for the full text.");

    SetControlId(this, IDD_ABOUTBOX);
    setWindowTitle(tr("About Corvat"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/corvat_32.xpm")));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* version = new QLabel(QStringLiteral("Corvat Version 1.1"), this);
    auto* bits = new QLabel(QStringLiteral("A 32 bit application"), this);

    auto* what = new QGroupBox(QStringLiteral("What Corvat Does"), this);
    auto* whatText =
        new QLabel(QStringLiteral("Converts historical financial data in ASCII form to data in "
                                  "MetaStock or CompuTrac format"),
                   what);
    whatText->setWordWrap(true);
    (new QVBoxLayout(what))->addWidget(whatText);

    auto* legal = new QGroupBox(QStringLiteral("Legal Stuff"), this);
    auto* notice = new QPlainTextEdit(legal);
    SetControlId(notice, IDC_LEGAL_NOTICE);
    notice->setReadOnly(true);
    notice->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    notice->setFrameShape(QFrame::NoFrame);
    notice->viewport()->setAutoFillBackground(false);
    // The whole notice fits without scrolling.
    notice->setMinimumHeight(notice->fontMetrics().lineSpacing() * 9);
    (new QVBoxLayout(legal))->addWidget(notice);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    SetControlId(ok, IDOK_BUTTON);
    ok->setText(QStringLiteral("OK"));
    ok->setIcon(QIcon());
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(bits, 1, 1);
    layout->addWidget(what, 2, 0, 1, 2);
    layout->addWidget(legal, 3, 0, 1, 2);
    layout->addWidget(buttons, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);

    // 227 by 166 dialog units of an 8-point font.
    resize(fontMetrics().averageCharWidth() * 227 / 4, fontMetrics().height() * 166 / 8);

    DoDataExchange();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange() {
    if (auto* notice = FindControl<QPlainTextEdit>(this, IDC_LEGAL_NOTICE)) {
        notice->setPlainText(m_strLegal);
    }
}

}  // namespace corvat
